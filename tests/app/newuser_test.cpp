// What a new user meets first: the zoom slider's ends, the Window menu and
// where document windows open, the platform's clipboard keys, the unsaved
// mark in the title, and which opened files the Reopen list offers.
#include "canvas/selection_support.h"
#include "shell_fixture.h"

#include "app/openrequest.h"
#include "app/documentarea.h"
#include "app/recent.h"
#include "settings/pagepresets.h"
#include "canvas/toolbar.h"
#include "geometry/shapes.h"
#include "model/clipboard.h"
#include "model/history.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSlider>
#include <QTest>

using canvas::TSandbox;

namespace {

QMdiSubWindow* subOf(TSandbox* d)
{
    return qobject_cast<QMdiSubWindow*>(d->parentWidget());
}

QAction* entryOf(app::TForm1& w, TSandbox* d)
{
    for (QAction* a : w.menuWindow()->actions())
        if (a->data().toInt() == d->documentNumber()) return a;
    return nullptr;
}

// The entries of the Window menu that are checked.
int checkedEntries(app::TForm1& w)
{
    int n = 0;
    for (QAction* a : w.menuWindow()->actions()) n += a->isChecked();
    return n;
}

} // namespace

// ---- zoom slider ----

struct sliderEnd_t {
    const char* name;
    Qt::Key key;
    int percent;
};
void PrintTo(const sliderEnd_t& e, std::ostream* os) { *os << e.name; }

class ZoomSliderEnds : public ShellTest, public ::testing::WithParamInterface<sliderEnd_t> {};

TEST_P(ZoomSliderEnds, LabelSliderAndZoomAgree)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    QSlider* s = w->procs()->zoomSlider;
    // Home or End on the slider, as a user's keyboard would move it.
    s->setFocus();
    QTest::keyClick(s, GetParam().key);
    QTest::qWait(20);  // the release is applied after the key's own handling
    const int p = GetParam().percent;
    EXPECT_EQ(s->value(), p);
    EXPECT_EQ(w->procs()->zoomLabel->text(), QString::number(p) + QLatin1Char('%'));
    EXPECT_DOUBLE_EQ(w->params()->currentZoom, p / 100.0);
    EXPECT_DOUBLE_EQ(d->header()->hdr().zoom, p / 100.0);
    // Shown again from the program, the same zoom gives the same position.
    w->procs()->showZoom(w->params()->currentZoom);
    EXPECT_EQ(s->value(), p);
}

INSTANTIATE_TEST_SUITE_P(Ends, ZoomSliderEnds,
                         ::testing::Values(sliderEnd_t{"FarLeftIsOnePercent", Qt::Key_Home, 1},
                                           sliderEnd_t{"FarRightIsThreeHundredPercent", Qt::Key_End, 300}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Window menu and where windows open ----

TEST_F(ShellTest, TheActiveDocumentsWindowEntryIsChecked)
{
    TSandbox* a = w->openDocumentWindow(QString());
    EXPECT_EQ(checkedEntries(*w), 1);
    ASSERT_NE(entryOf(*w, a), nullptr);
    EXPECT_TRUE(entryOf(*w, a)->isChecked());
    TSandbox* b = w->openDocumentWindow(QString());
    EXPECT_EQ(checkedEntries(*w), 1);
    EXPECT_TRUE(entryOf(*w, b)->isChecked());
    // Choosing the other entry moves the check; choosing the active one again keeps it.
    entryOf(*w, a)->trigger();
    EXPECT_EQ(w->activeDocument(), a);
    EXPECT_TRUE(entryOf(*w, a)->isChecked());
    EXPECT_FALSE(entryOf(*w, b)->isChecked());
    entryOf(*w, a)->trigger();
    EXPECT_TRUE(entryOf(*w, a)->isChecked());
    EXPECT_EQ(checkedEntries(*w), 1);
    // Activating a window by the mouse does the same.
    w->mdiArea()->setActiveSubWindow(subOf(b));
    EXPECT_TRUE(entryOf(*w, b)->isChecked());
    EXPECT_EQ(checkedEntries(*w), 1);
}

TEST_F(ShellTest, NewAndRestoredWindowsOpenInsideTheDocumentArea)
{
    QCoreApplication::processEvents();
    const QRect area = w->mdiArea()->viewport()->rect();
    ASSERT_GT(area.width(), 300);
    // The first window opens maximized; restored, it lies inside the area.
    std::vector<TSandbox*> docs{w->openDocumentWindow(QString())};
    QTest::qWait(20);
    ASSERT_TRUE(subOf(docs[0])->isMaximized());
    subOf(docs[0])->showNormal();
    QTest::qWait(20);
    // Further windows open while no window is maximized.
    for (int i = 1; i < 12; ++i) docs.push_back(w->openDocumentWindow(QString()));
    QTest::qWait(20);
    for (size_t i = 0; i < docs.size(); ++i) {
        const QRect g = subOf(docs[i])->geometry();
        EXPECT_FALSE(subOf(docs[i])->isMaximized()) << i;
        EXPECT_TRUE(area.contains(g)) << "window " << i << " at " << g.x() << "," << g.y() << " " << g.width() << "x"
                                      << g.height();
        // A usable size, and each new window shows on its own, not exactly
        // over the one before.
        EXPECT_GE(g.width(), area.width() / 2) << i;
        if (i >= 1) {
            EXPECT_NE(g.topLeft(), subOf(docs[i - 1])->geometry().topLeft()) << i;
        }
    }
    // The last window is maximized, the main window gets smaller, and the
    // window is restored.
    TSandbox* last = docs.back();
    subOf(last)->showMaximized();
    QTest::qWait(20);
    w->resize(640, 480);
    QTest::qWait(20);
    const QRect small = w->mdiArea()->viewport()->rect();
    ASSERT_LT(small.width(), area.width());
    subOf(last)->showNormal();
    QTest::qWait(20);
    EXPECT_FALSE(subOf(last)->isMaximized());
    const QRect g = subOf(last)->geometry();
    EXPECT_TRUE(small.contains(g)) << g.x() << "," << g.y() << " " << g.width() << "x" << g.height() << " in "
                                   << small.width() << "x" << small.height();
}

// ---- keys and the unsaved mark ----

// Keys are made inside the test: the platform's standard keys need the application.
struct clipKey_t {
    const char* name;
    bool standard;  // the three keys are QKeySequence::StandardKey values
    int cut, copy, paste;
    QKeySequence key(int k) const
    {
        return standard ? QKeySequence(QKeySequence::StandardKey(k)) : QKeySequence(k);
    }
};
void PrintTo(const clipKey_t& k, std::ostream* os) { *os << k.name; }

class ClipboardKeys : public ShellTest, public ::testing::WithParamInterface<clipKey_t> {};

TEST_P(ClipboardKeys, RunTheEditCommands)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    w->QMainWindow::activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    model::item_t* s = seltest::addSquare(d->items(), {40, 90}, {90, 90});
    model::selectOnly(d->items(), s);
    w->refreshSelectionState();
    auto press = [&](const QKeySequence& k) {
        QTest::keySequence(w.get(), k);
        QCoreApplication::processEvents();
    };
    const clipKey_t& k = GetParam();
    press(k.key(k.copy));
    ASSERT_TRUE(model::clipboardHasItems());
    press(k.key(k.cut));
    EXPECT_TRUE(s->hidden);
    press(k.key(k.paste));
    EXPECT_EQ(d->mode(), canvas::modePlacing) << "the pasted copy follows the mouse";
    d->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    model::freeList(model::clipboardList());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ClipboardKeys,
    ::testing::Values(clipKey_t{"Standard", true, QKeySequence::Cut, QKeySequence::Copy, QKeySequence::Paste},
                      clipKey_t{"CtrlXCV", false, (Qt::CTRL | Qt::Key_X).toCombined(), (Qt::CTRL | Qt::Key_C).toCombined(),
                                (Qt::CTRL | Qt::Key_V).toCombined()},
                      clipKey_t{"CtrlDelInsShiftIns", false, (Qt::CTRL | Qt::Key_Delete).toCombined(),
                                (Qt::CTRL | Qt::Key_Insert).toCombined(), (Qt::SHIFT | Qt::Key_Insert).toCombined()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditKeys, TheMenuShowsTheStandardKeyFirstTheOwnKeyStillWorksAndNoKeyIsListedTwice)
{
    struct keyCase {
        QKeySequence own;
        QKeySequence::StandardKey standard;
        QKeySequence shown;
    };
    for (const keyCase& c : {keyCase{QKeySequence(Qt::CTRL | Qt::Key_Delete), QKeySequence::Cut, QKeySequence(Qt::CTRL | Qt::Key_X)},
                             keyCase{QKeySequence(Qt::CTRL | Qt::Key_Insert), QKeySequence::Copy, QKeySequence(Qt::CTRL | Qt::Key_C)},
                             keyCase{QKeySequence(Qt::SHIFT | Qt::Key_Insert), QKeySequence::Paste, QKeySequence(Qt::CTRL | Qt::Key_V)}}) {
        SCOPED_TRACE(c.shown.toString().toStdString());
        const QList<QKeySequence> keys = app::withStandardKeys(c.own, c.standard);
        ASSERT_FALSE(keys.isEmpty());
        EXPECT_EQ(keys.first(), c.shown);
        EXPECT_EQ(keys.count(c.own), 1) << "the older key still works, listed once";
        for (const QKeySequence& k : keys) EXPECT_EQ(keys.count(k), 1);
    }
}

TEST_F(ShellTest, TheTitleMarksUnsavedChanges)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    QMdiSubWindow* sub = subOf(d);
    EXPECT_TRUE(d->windowTitle().endsWith(QStringLiteral("[*]")));
    EXPECT_FALSE(sub->isWindowModified());
    // A shape drawn with the tool.
    w->toolbarCommand(22);
    auto drawSquare = [&](int x) {
        const geometry::point_t a = d->toScreen({x, 100}), b = d->toScreen({x + 60, 100});
        for (const geometry::point_t p : {a, b}) {
            d->Image1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(p.x, p.y));
            d->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
            d->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        }
    };
    drawSquare(100);
    ASSERT_TRUE(d->isModified());
    EXPECT_TRUE(d->isWindowModified());
    EXPECT_TRUE(sub->isWindowModified());
    // Saving clears the mark; the title keeps the name and the placeholder.
    dlg.fileAnswers = {path(QStringLiteral("marked.lmra"))};
    ASSERT_TRUE(w->saveDocument(d, false));
    EXPECT_FALSE(sub->isWindowModified());
    EXPECT_EQ(d->windowTitle(), QStringLiteral("marked[*]"));
    // The next shape is a change again; undoing it keeps the document's flag,
    // and the mark follows the flag.
    drawSquare(300);
    EXPECT_TRUE(sub->isWindowModified());
    w->editMenu().Undo1->trigger();
    EXPECT_EQ(sub->isWindowModified(), d->isModified());
    model::setModified(d->items(), false);
}

// The main window's title names the active document's design type, follows
// a page setup that changes it and a switch between documents, and is the
// program's own once no document is open.
TEST_F(ShellTest, TheTitleNamesTheActiveDocumentsDesignType)
{
    // A maximized document adds " - [its caption]" to the title.
    auto title = [&] { return w->windowTitle().section(QStringLiteral(" - ["), 0, 0); };
    TSandbox* flow = untitled();
    ASSERT_NE(flow, nullptr);
    flow->applyPageSetup(w->params()->pageSets[0], 1, true);
    EXPECT_EQ(title(), QStringLiteral("Lumora ") + page::designTypeName(1));
    TSandbox* cards = w->openDocumentWindow(QString());
    ASSERT_TRUE(cards->applyPageSetup(w->params()->pageSets[1], 2, true));
    EXPECT_EQ(title(), QStringLiteral("Lumora ") + page::designTypeName(2));
    EXPECT_NE(page::designTypeName(2), page::designTypeName(1));
    w->area().activate(flow);
    EXPECT_EQ(title(), QStringLiteral("Lumora ") + page::designTypeName(1));
    for (TSandbox* d : w->documents()) {
        model::setModified(d->items(), false);
        d->parentWidget()->close();
    }
    flushDeletes();
    w->resetToEmptyShell();
    EXPECT_EQ(title(), app::applicationTitle);
}

// ---- Reopen ----

TEST_F(ShellTest, ARefusedFileIsNotOfferedForReopening)
{
    const QString bad = path(QStringLiteral("bad.lmra"));
    QFile fh(bad);
    ASSERT_TRUE(fh.open(QIODevice::WriteOnly));
    fh.write(QByteArray(448 * 2, '\x07'));
    fh.close();
    for (QString& e : w->params()->reopen) e.clear();
    w->rebuildReopenMenu();
    dlg.fileAnswers = {bad};
    dlg.answers = {ui::btnNo};  // not a valid file: do not open it anyway
    w->openDocument();
    EXPECT_EQ(dlg.texts().value(0), QStringLiteral("Not a valid Lumora file. Attempt to open it anyway?"));
    EXPECT_TRUE(w->params()->reopen[0].isEmpty());
    EXPECT_FALSE(w->fileMenu().menuReopen->isEnabled());
    // The remembered folder and name still follow the dialog.
    EXPECT_EQ(w->params()->docdir, files.path());
    // Closing the untitled window that took its place adds nothing either.
    w->activeDocument()->parentWidget()->close();
    flushDeletes();
    EXPECT_TRUE(w->params()->reopen[0].isEmpty());
}

TEST_F(ShellTest, FilesFromTheCommandLineAndOpenRequestsAreOfferedForReopening)
{
    const QString first = makeFile(QStringLiteral("first.lmra"));
    const QString second = makeFile(QStringLiteral("second.lmra"));
    for (QString& e : w->params()->reopen) e.clear();
    // The editor's command line reaches the window as an open request.
    w->openRequest(app::openMacroFor(first));
    EXPECT_EQ(w->params()->reopen[0], first);
    w->openRequest(app::openMacroFor(second));
    EXPECT_EQ(w->params()->reopen[0], second);
    EXPECT_EQ(w->params()->reopen[1], first);
    EXPECT_TRUE(w->fileMenu().Reopen[0]->isVisible());
    EXPECT_EQ(w->fileMenu().Reopen[0]->text(), QStringLiteral("second"));
}
