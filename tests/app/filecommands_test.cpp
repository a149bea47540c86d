// File commands: open, save, save as, close, reopen and the recent list.
#include "shell_fixture.h"

#include "app/recent.h"
#include "model/docfile.h"

#include <QMdiSubWindow>
#include <QMenu>

#include <algorithm>

using canvas::TSandbox;

// ---- the recent list on its own ----

TEST(RecentList, AddMovesAnExistingEntryToTheTopIgnoringCase)
{
    settings::reopenarr_t l;
    for (int i = 0; i < 5; ++i) l[i] = QStringLiteral("/d/f%1.lmra").arg(i + 1);
    app::addRecentTo(l, QStringLiteral("/D/F3.LMRA"));
    EXPECT_EQ(l[0], QStringLiteral("/D/F3.LMRA"));
    EXPECT_EQ(l[1], QStringLiteral("/d/f1.lmra"));
    EXPECT_EQ(l[2], QStringLiteral("/d/f2.lmra"));
    EXPECT_EQ(l[3], QStringLiteral("/d/f4.lmra"));
    EXPECT_EQ(l[4], QStringLiteral("/d/f5.lmra"));
    EXPECT_TRUE(l[5].isEmpty());
}

TEST(RecentList, SeventeenthFileDropsTheOldest)
{
    settings::reopenarr_t l;
    for (int i = 1; i <= 17; ++i) app::addRecentTo(l, QStringLiteral("/f%1").arg(i));
    EXPECT_EQ(l[0], QStringLiteral("/f17"));
    EXPECT_EQ(l[15], QStringLiteral("/f2"));
    for (const QString& e : l) EXPECT_NE(e, QStringLiteral("/f1"));
}

TEST(RecentList, EmptyNameChangesNothingAndTheLastEntryCanMove)
{
    settings::reopenarr_t l;
    for (int i = 0; i < 16; ++i) l[i] = QStringLiteral("/f%1").arg(i + 1);
    const settings::reopenarr_t before = l;
    app::addRecentTo(l, QString());
    EXPECT_EQ(l, before);
    app::addRecentTo(l, QStringLiteral("/f16"));
    EXPECT_EQ(l[0], QStringLiteral("/f16"));
    EXPECT_EQ(l[15], QStringLiteral("/f15"));
}

TEST(RecentList, CaptionIsTheNameWithoutFolderAndExtension)
{
    EXPECT_EQ(app::recentCaption(QStringLiteral(" /home/a/My plan.v2.lmra ")), QStringLiteral("My plan.v2"));
}

TEST(RecentList, EntriesSharingANameNameTheirFoldersAndOnlyThey)
{
    const QString home = QDir::homePath();
    settings::reopenarr_t l{};
    l[0] = QStringLiteral("/srv/cards/plan.lmra");
    l[1] = home + QStringLiteral("/work/Plan.lmra");  // the same name in another case
    l[2] = QStringLiteral("/srv/cards/logo.lmra");
    l[4] = home + QStringLiteral("/plan.lmra");  // after an empty entry
    const std::vector<QString> c = app::recentCaptions(l);
    ASSERT_EQ(c.size(), l.size());
    EXPECT_EQ(c[0], QStringLiteral("plan  (/srv/cards)"));
    EXPECT_EQ(c[1], QStringLiteral("Plan  (~/work)"));
    EXPECT_EQ(c[2], QStringLiteral("logo"));
    EXPECT_TRUE(c[3].isEmpty());
    EXPECT_EQ(c[4], QStringLiteral("plan  (~)"));
    for (size_t i = 5; i < c.size(); ++i) EXPECT_TRUE(c[i].isEmpty());
}

// ---- open and save ----

TEST_F(ShellTest, SaveAsWritesTheFileAndRenamesTheWindow)
{
    TSandbox* d = untitled();
    model::setModified(d->items(), true);
    dlg.fileAnswers = {path("plan")};
    EXPECT_TRUE(w->saveDocumentAs(d));
    ASSERT_EQ(dlg.fileRequests.size(), 1u);
    const ui::fileRequest_t& r = dlg.fileRequests[0];
    EXPECT_EQ(r.title, QStringLiteral("Save As"));
    EXPECT_EQ(r.defaultExt, QStringLiteral("lmra"));
    EXPECT_EQ(r.filter, QStringLiteral("All files (*.*)|*.*|Lumora files (*.lmra)|*.lmra"));
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_TRUE(r.name.isEmpty());
    EXPECT_EQ(d->fileName(), path("plan.lmra"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("plan[*]"));
    EXPECT_FALSE(d->isModified());
    EXPECT_EQ(w->params()->reopen[0], path("plan.lmra"));
    EXPECT_EQ(w->params()->docdir, files.path());
    bool listed = false;
    for (QAction* a : w->menuWindow()->actions()) listed |= a->text() == QStringLiteral("plan");
    EXPECT_TRUE(listed);
}

TEST_F(ShellTest, DecliningReplaceKeepsNameAndCaption)
{
    const QString existing = makeFile(QStringLiteral("taken.lmra"));
    TSandbox* d = untitled();
    const QString caption = d->windowTitle();
    dlg.fileAnswers = {existing};
    dlg.answers = {ui::btnNo};
    EXPECT_FALSE(w->saveDocumentAs(d));
    ASSERT_EQ(dlg.texts(), QStringList{QStringLiteral("Replace the existing file?")});
    EXPECT_EQ(dlg.messages[0].buttons, ui::btnYes | ui::btnNo);
    EXPECT_TRUE(d->fileName().isEmpty());
    EXPECT_EQ(d->windowTitle(), caption);
    // Yes replaces it.
    dlg.fileAnswers = {existing};
    dlg.answers = {ui::btnYes};
    EXPECT_TRUE(w->saveDocumentAs(d));
    EXPECT_EQ(d->fileName(), existing);
}

TEST_F(ShellTest, SaveOnADeletedFileShowsSaveAsWithTheOldName)
{
    const QString f = makeFile(QStringLiteral("gone.lmra"));
    TSandbox* d = w->openDocumentWindow(f);
    ASSERT_EQ(d->fileName(), f);
    ASSERT_TRUE(QFile::remove(f));
    dlg.fileAnswers = {QString()};
    EXPECT_FALSE(w->saveDocument(d, false));
    ASSERT_EQ(dlg.fileRequests.size(), 1u);
    EXPECT_EQ(dlg.fileRequests[0].name, QStringLiteral("gone.lmra"));
    EXPECT_EQ(d->fileName(), f);
}

TEST_F(ShellTest, SaveWritesToTheExistingFileWithoutAsking)
{
    const QString f = makeFile(QStringLiteral("keep.lmra"));
    TSandbox* d = w->openDocumentWindow(f);
    d->header()->hdr().canvasWidth = 4.25;
    model::setModified(d->items(), true);
    EXPECT_TRUE(w->saveDocument(d, false));
    EXPECT_TRUE(dlg.fileRequests.empty());
    EXPECT_TRUE(dlg.messages.empty());
    EXPECT_FALSE(d->isModified());
    // What was written comes back.
    model::itemList_t back;
    struct q_t : model::docReadQuestions_t {
        bool askOpenInvalid() override { return false; }
        void warnNewerVersion(const std::string&) override {}
    } q;
    ASSERT_TRUE(model::readDocument(f.toStdString(), back, q));
    EXPECT_DOUBLE_EQ(model::findHeader(back)->hdr().canvasWidth, 4.25);
    model::freeList(back);
}

TEST_F(ShellTest, FailedSaveIsReportedAndLosesNothing)
{
    // A folder that does not exist cannot take the file.
    const QString target = path(QStringLiteral("no such folder/x.lmra"));
    TSandbox* d = untitled();
    model::setModified(d->items(), true);
    dlg.fileAnswers = {target};
    EXPECT_FALSE(w->saveDocumentAs(d));
    ASSERT_EQ(dlg.messages.size(), 1u);
    EXPECT_EQ(dlg.messages[0].kind, ui::msgKind_t::warning);
    EXPECT_TRUE(dlg.messages[0].text.contains(QStringLiteral("x.lmra")));
    EXPECT_TRUE(d->isModified());
    EXPECT_TRUE(d->fileName().isEmpty());
    EXPECT_TRUE(d->caption().startsWith(QStringLiteral("Untitled ")));
    EXPECT_NE(w->params()->reopen[0], target);
}

TEST_F(ShellTest, FailedSaveWhileClosingOrExitingKeepsTheWindow)
{
    // An existing file whose folder takes no new files, even from the superuser.
    const QString f = QStringLiteral("/proc/self/status");
    ASSERT_TRUE(QFileInfo(f).isFile());
    TSandbox* d = untitled();
    d->setFileName(f);
    model::setModified(d->items(), true);
    dlg.answers = {ui::btnYes};
    EXPECT_FALSE(d->parentWidget()->close());
    ASSERT_EQ(dlg.messages.size(), 2u);
    EXPECT_EQ(dlg.messages[0].text, QStringLiteral("Do you want to save changes to status?"));
    EXPECT_EQ(dlg.messages[1].kind, ui::msgKind_t::warning);
    EXPECT_TRUE(dlg.messages[1].text.contains(f));
    EXPECT_EQ(w->documents().size(), 1u);
    EXPECT_TRUE(d->isModified());
    EXPECT_FALSE(d->isClosing());
    // The exit goes no further either.
    dlg.messages.clear();
    dlg.answers = {ui::btnYes};
    EXPECT_FALSE(w->canExit());
    EXPECT_EQ(w->documents().size(), 1u);
    EXPECT_TRUE(d->isModified());
    d->setFileName(QString());
    model::setModified(d->items(), false);
}

TEST_F(ShellTest, OpenDialogOpensTheFileAndRemembersIt)
{
    const QString f = makeFile(QStringLiteral("shapes one.lmra"));
    for (QString& e : w->params()->reopen) e.clear();
    dlg.fileAnswers = {f};
    w->openDocument();
    ASSERT_EQ(dlg.fileRequests.size(), 1u);
    EXPECT_EQ(dlg.fileRequests[0].title, QStringLiteral("Open"));
    EXPECT_EQ(dlg.fileRequests[0].filterIndex, 2);
    TSandbox* d = w->activeDocument();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->fileName(), f);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("shapes one[*]"));
    EXPECT_EQ(w->params()->reopen[0], f);
    EXPECT_EQ(w->params()->lastOpened, f);
    // The name field is preset with the last name next time; cancelling opens nothing.
    const size_t before = w->documents().size();
    w->openDocument();
    EXPECT_EQ(dlg.fileRequests[1].name, f);
    EXPECT_EQ(w->documents().size(), before);
}

TEST_F(ShellTest, PristineWindowIsReusedForAFile)
{
    const QString f = makeFile(QStringLiteral("reuse.lmra"));
    TSandbox* d = untitled();
    ASSERT_EQ(w->documents().size(), 1u);
    TSandbox* e = w->openDocumentWindow(f);
    EXPECT_EQ(e, d);
    EXPECT_EQ(w->documents().size(), 1u);
    EXPECT_EQ(w->menuWindow()->actions().size(), 1);
    EXPECT_EQ(w->menuWindow()->actions()[0]->text(), QStringLiteral("reuse"));
    // With two windows a new one is made.
    w->openDocumentWindow(QString());
    TSandbox* g = w->openDocumentWindow(f);
    EXPECT_NE(g, d);
    EXPECT_EQ(w->documents().size(), 3u);
}

// The Open dialog takes several files: each opens in its own window in the
// order chosen, the last one active, each offered for reopening; the folder
// remembered is the last file's.
TEST_F(ShellTest, TheOpenDialogOpensSeveralFilesInOrder)
{
    const QStringList names{makeFile(QStringLiteral("one.lmra")), makeFile(QStringLiteral("two.lmra")),
                            makeFile(QStringLiteral("three.lmra"))};
    dlg.fileAnswers = {names.join(QLatin1Char('\n'))};
    const size_t before = w->documents().size();
    w->openDocument();
    const auto docs = w->documents();
    ASSERT_EQ(docs.size(), before + 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(docs[before + size_t(i)]->fileName(), names[i]);
    ASSERT_NE(w->activeDocument(), nullptr);
    EXPECT_EQ(w->activeDocument()->fileName(), names[2]);
    EXPECT_EQ(w->params()->reopen[0], names[2]);
    EXPECT_EQ(w->params()->reopen[2], names[0]);
    EXPECT_EQ(w->params()->lastOpened, names[2]);
}

TEST_F(ShellTest, ModifiedWindowIsNotReused)
{
    const QString f = makeFile(QStringLiteral("new.lmra"));
    TSandbox* d = untitled();
    model::setModified(d->items(), true);
    EXPECT_NE(w->openDocumentWindow(f), d);
}

TEST_F(ShellTest, UnreadableFileLeavesAnUntitledDocument)
{
    const QString bad = path("bad.lmra");
    QFile fh(bad);
    ASSERT_TRUE(fh.open(QIODevice::WriteOnly));
    fh.write(QByteArray(448 * 2, '\x07'));
    fh.close();
    dlg.answers = {ui::btnNo};  // do not open the invalid file anyway
    TSandbox* d = w->openDocumentWindow(bad);
    EXPECT_EQ(dlg.texts().value(0), QStringLiteral("Not a valid Lumora file. Attempt to open it anyway?"));
    EXPECT_TRUE(d->fileName().isEmpty());
    EXPECT_TRUE(d->caption().startsWith(QStringLiteral("Untitled ")));
    EXPECT_NE(d->header(), nullptr);
}

// A picture renamed to .lmra and opened anyway must not be overwritten by
// the next Save: the document opens untitled, so Save asks for a name.
TEST_F(ShellTest, AFileOpenedAnywayIsUntitledAndSaveNeverOverwritesIt)
{
    const QString png = path("logo.lmra");
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    bytes.append(QByteArray(448 * 3, '\x11'));
    QFile fh(png);
    ASSERT_TRUE(fh.open(QIODevice::WriteOnly));
    fh.write(bytes);
    fh.close();
    dlg.answers = {ui::btnYes};  // open it anyway
    TSandbox* d = w->openDocumentWindow(png);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->fileName().isEmpty());
    EXPECT_TRUE(d->caption().startsWith(QStringLiteral("Untitled ")));
    EXPECT_TRUE(d->isModified());

    dlg.messages.clear();
    dlg.fileAnswers = {QString()};  // the Save As dialog is cancelled
    EXPECT_FALSE(w->saveDocument(d, true));
    EXPECT_EQ(dlg.fileRequests.size(), 1u);
    ASSERT_TRUE(fh.open(QIODevice::ReadOnly));
    EXPECT_EQ(fh.readAll(), bytes);
    fh.close();
    // Nor is it offered for reopening as if it were a document.
    const auto& reopen = w->params()->reopen;
    EXPECT_EQ(std::find(reopen.begin(), reopen.end(), QFileInfo(png).absoluteFilePath()), reopen.end());
}

TEST_F(ShellTest, AnEmptyFileIsAnEmptyDocumentUnderItsOwnName)
{
    const QString empty = path("blank page.lmra");
    QFile fh(empty);
    ASSERT_TRUE(fh.open(QIODevice::WriteOnly));
    fh.close();
    TSandbox* d = w->openDocumentWindow(empty);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(dlg.texts().isEmpty());
    EXPECT_EQ(d->fileName(), QFileInfo(empty).absoluteFilePath());
    EXPECT_EQ(d->caption(), QStringLiteral("blank page"));
    // The page comes from the settings for new files, with its gridlines.
    ASSERT_NE(d->header(), nullptr);
    EXPECT_GT(d->header()->x2 - d->header()->x1, 0);
    EXPECT_NE(model::findByType(d->items(), model::typeGrid), nullptr);
    EXPECT_FALSE(d->isModified());
}

// The reader's refusals reach the user as the command-line tool prints them,
// and the window stays an untitled document.
TEST_F(ShellTest, FilesTheReaderRefusesAreReportedWithItsSentence)
{
    const QString big = path("big.lmra"), folder = path("adir.lmra");
    QFile fh(big);
    ASSERT_TRUE(fh.open(QIODevice::WriteOnly) && fh.resize(qint64(model::documentSizeLimit) + 1));  // sparse
    fh.close();
    ASSERT_TRUE(QDir(files.path()).mkdir(QStringLiteral("adir.lmra")));
    const std::pair<QString, QString> cases[] = {
        {big, QStringLiteral(" is too large to open: a document may have at most 2 GB")},
        {folder, QStringLiteral(" is a folder, not a document")},
    };
    for (const auto& [name, sentence] : cases) {
        dlg.messages.clear();
        TSandbox* d = w->openDocumentWindow(name);
        ASSERT_EQ(dlg.texts().size(), 1) << name.toStdString();
        EXPECT_EQ(dlg.texts()[0], name + sentence);
        EXPECT_TRUE(d->fileName().isEmpty());
        EXPECT_NE(d->header(), nullptr);
    }
}

TEST_F(ShellTest, PictureNamesStartAnUntitledDocument)
{
    for (const QString& name : {QStringLiteral("photo.bmp"), QStringLiteral("Photo.JPG ")}) {
        TSandbox* d = w->openDocumentWindow(path(name));
        EXPECT_TRUE(d->fileName().isEmpty()) << name.toStdString();
        EXPECT_TRUE(d->caption().startsWith(QStringLiteral("Untitled "))) << name.toStdString();
        EXPECT_EQ(w->params()->lastPicture, QFileInfo(path(name).trimmed()).absoluteFilePath());
    }
}

// ---- closing ----

TEST_F(ShellTest, ClosingAModifiedUntitledDocument)
{
    TSandbox* d = untitled();
    model::setModified(d->items(), true);
    QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(d->parentWidget());
    dlg.answers = {ui::btnCancel};
    EXPECT_FALSE(sub->close());
    EXPECT_EQ(dlg.texts(), QStringList{QStringLiteral("Do you want to save the file \"%1\"?").arg(d->caption())});
    EXPECT_TRUE(d->caption().startsWith(QStringLiteral("Untitled "))) << d->caption().toStdString();
    EXPECT_EQ(dlg.messages[0].buttons, ui::btnYes | ui::btnNo | ui::btnCancel);
    EXPECT_EQ(w->documents().size(), 1u);
    EXPECT_FALSE(d->isClosing());
    // No closes without saving; nothing is added to the recent files.
    for (QString& e : w->params()->reopen) e.clear();
    dlg.answers = {ui::btnNo};
    EXPECT_TRUE(sub->close());
    flushDeletes();
    EXPECT_TRUE(w->documents().empty());
    EXPECT_TRUE(w->params()->reopen[0].isEmpty());
}

TEST_F(ShellTest, ClosingANamedDocumentAddsItToRecentWhateverTheAnswer)
{
    const QString f = makeFile(QStringLiteral("named.lmra"));
    TSandbox* d = w->openDocumentWindow(f);
    for (QString& e : w->params()->reopen) e.clear();
    model::setModified(d->items(), true);
    dlg.answers = {ui::btnCancel};
    EXPECT_FALSE(d->parentWidget()->close());
    EXPECT_EQ(dlg.texts(), QStringList{QStringLiteral("Do you want to save changes to named?")});
    EXPECT_EQ(w->params()->reopen[0], f);
    // Yes saves to the file and closes.
    dlg.answers = {ui::btnYes};
    const QDateTime before = QFileInfo(f).lastModified();
    EXPECT_TRUE(d->parentWidget()->close());
    EXPECT_TRUE(dlg.fileRequests.empty());
    EXPECT_GE(QFileInfo(f).lastModified(), before);
}

TEST_F(ShellTest, ClosingUntitledWithYesRunsSaveAsAndCancelKeepsTheWindow)
{
    TSandbox* d = untitled();
    model::setModified(d->items(), true);
    dlg.answers = {ui::btnYes};
    dlg.fileAnswers = {QString()};
    EXPECT_FALSE(d->parentWidget()->close());
    EXPECT_EQ(w->documents().size(), 1u);
    dlg.answers = {ui::btnYes};
    dlg.fileAnswers = {path("closing.lmra")};
    EXPECT_TRUE(d->parentWidget()->close());
    EXPECT_TRUE(QFileInfo::exists(path("closing.lmra")));
}

// ---- reopen ----

TEST_F(ShellTest, ReopenOpensAndAMissingFileIsReportedAndKept)
{
    const QString f = makeFile(QStringLiteral("again.lmra"));
    for (QString& e : w->params()->reopen) e.clear();
    w->addRecent(path("missing.lmra"));
    w->addRecent(f);
    EXPECT_TRUE(w->fileMenu().Reopen[0]->isVisible());
    EXPECT_EQ(w->fileMenu().Reopen[0]->text(), QStringLiteral("again"));
    EXPECT_EQ(w->fileMenu().Reopen[0]->toolTip(), QDir::toNativeSeparators(w->params()->reopen[0]));
    EXPECT_EQ(w->fileMenu().Reopen[1]->text(), QStringLiteral("missing"));
    EXPECT_FALSE(w->fileMenu().Reopen[2]->isVisible());
    EXPECT_TRUE(w->fileMenu().menuReopen->isEnabled());
    w->reopen(1);
    ASSERT_NE(w->activeDocument(), nullptr);
    EXPECT_EQ(w->activeDocument()->fileName(), f);
    const size_t n = w->documents().size();
    w->reopen(2);
    EXPECT_EQ(dlg.texts(), QStringList{QStringLiteral("Cannot find the file.")});
    EXPECT_EQ(dlg.messages[0].buttons, ui::btnCancel);
    EXPECT_EQ(w->documents().size(), n);
    EXPECT_EQ(w->params()->reopen[1], path("missing.lmra"));
}

TEST_F(ShellTest, ClearRecentAsksAndEmptiesTheList)
{
    w->addRecent(path("a.lmra"));
    dlg.answers = {ui::btnNo};
    w->clearRecent();
    EXPECT_EQ(dlg.texts(), QStringList{QStringLiteral("Clear the list of recently used files?")});
    EXPECT_FALSE(w->params()->reopen[0].isEmpty());
    dlg.answers = {ui::btnYes};
    w->clearRecent();
    for (const QString& e : w->params()->reopen) EXPECT_TRUE(e.isEmpty());
    EXPECT_FALSE(w->fileMenu().menuReopen->isEnabled());
}

TEST_F(ShellTest, RecentListSurvivesARestart)
{
    for (QString& e : w->params()->reopen) e.clear();
    w->addRecent(path("first.lmra"));
    w->addRecent(path("second.lmra"));
    restart();
    EXPECT_EQ(w->params()->reopen[0], path("second.lmra"));
    EXPECT_EQ(w->params()->reopen[1], path("first.lmra"));
    EXPECT_EQ(w->fileMenu().Reopen[0]->text(), QStringLiteral("second"));
}

TEST_F(ShellTest, DeactivationPassesTheToolToTheNextWindow)
{
    TSandbox* a = untitled();
    a->selectTool(canvas::toolStar);
    a->FormDeactivate();
    TSandbox* b = w->openDocumentWindow(QString());
    EXPECT_EQ(b->mode(), canvas::toolStar);
    // An area selection under way is a mode of the pointer, not a tool.
    b->Image1MouseDown(Qt::LeftButton, Qt::ControlModifier, QPoint(50, 50));
    ASSERT_EQ(b->mode(), canvas::modeAreaSelection);
    EXPECT_EQ(w->openDocumentWindow(QString())->mode(), canvas::modePointer);
}
