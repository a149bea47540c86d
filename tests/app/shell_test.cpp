// The main window: start-up, menus, zoom, window menu and the exit question.
#include "shell_fixture.h"
#include "testnames.h"

#include "canvas/toolbar.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using canvas::TSandbox;

namespace {

QStringList menuTitles(QMenuBar* mb)
{
    QStringList out;
    for (QAction* a : mb->actions()) out << a->text().remove(QLatin1Char('&'));
    return out;
}

QStringList itemTexts(QMenu* m)
{
    QStringList out;
    for (QAction* a : m->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

} // namespace

TEST_F(ShellTest, StartUpCaptionMenusAndTimers)
{
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Lumora Flow Charts"));
    EXPECT_EQ(menuTitles(w->menuBar()),
              (QStringList{"File", "Insert", "Edit", "Arrange", "Zoom", "Tools", "Customize", "Window", "Help"}));
    EXPECT_EQ(itemTexts(w->fileMenu().menuFile),
              (QStringList{"New", "Open", "Reopen", "Save", "Save As", "Close", "-", "Page Setup", "Grid and Snap", "-",
                           "Merge...", "Show Merge Fields", "-", "Print Preview", "Print", "Calibrate printer...", "-",
                           "Export", "-", "Exit"}));
    EXPECT_EQ(itemTexts(w->editMenu().menuEdit),
              (QStringList{"Undo", "Redo", "-", "Clear Undo and Redo", "-", "Cut", "Copy", "Paste", "Delete\tDel",
                           "Duplicate", "Select All", "-", "Copy to Clipboard", "Join Items", "Split Group"}));
    EXPECT_EQ(itemTexts(w->menuInsert()),
              (QStringList{"Picture", "Text", "Line", "Arc", "Spline", "Curve", "Triangle", "Square", "Rectangle",
                           "Circle", "Pie", "Ellipse", "Polygon", "Star", "Solid", "Oblong", "Barcode"}));
    EXPECT_EQ(itemTexts(w->viewMenu().menuZoom),
              (QStringList{"25%", "50%", "75%", "100%", "125%", "150%", "175%", "200%", "300%", "-", "Zoom In",
                           "Zoom Out", "Actual Size", "-", "Fit Page", "Fit Selection", "-", "Fold Lines"}));
    // Shortcuts.
    EXPECT_EQ(w->fileMenu().New1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(w->fileMenu().Open1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(w->fileMenu().Save1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(w->fileMenu().Print1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(w->editMenu().Undo1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(w->editMenu().Redo1->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    // The menu shows the standard keys; the older ones still work.
    EXPECT_EQ(w->editMenu().Cut1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(w->editMenu().Copy1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(w->editMenu().Paste1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
    EXPECT_TRUE(w->editMenu().Cut1->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Delete)));
    EXPECT_TRUE(w->editMenu().Copy1->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Insert)));
    EXPECT_TRUE(w->editMenu().Paste1->shortcuts().contains(QKeySequence(Qt::SHIFT | Qt::Key_Insert)));
    // Hidden from the start: Copy to Clipboard, the Window menu; Export is
    // shown, where users look for it first.
    EXPECT_TRUE(w->fileMenu().menuExport->menuAction()->isVisible());
    EXPECT_FALSE(w->editMenu().CopyToClipboard1->isVisible());
    EXPECT_FALSE(w->menuWindow()->menuAction()->isVisible());
    EXPECT_TRUE(w->viewMenu().zoomItems[3]->isChecked());
    EXPECT_FALSE(w->fileMenu().Save1->isEnabled());
    EXPECT_EQ(w->sidePanel()->width(), 120);
    const char* names[] = {"panelSwitchTimer", "untitledTimer", "hoverResetTimer", "emptyShellTimer",
                           "fontListTimer",    "setupPanelTimer", "lightDirectionTimer", "spareTimer"};
    const int intervals[] = {100, 500, 5000, 200, 200, 1000, 200, 200};
    QTimer* timers[] = {&w->panelSwitchTimer(), &w->untitledTimer(),   &w->hoverResetTimer(),     &w->emptyShellTimer(),
                        &w->fontListTimer(),    &w->setupPanelTimer(), &w->lightDirectionTimer(), &w->spareTimer()};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(timers[i]->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(timers[i]->interval(), intervals[i]);
        EXPECT_TRUE(timers[i]->isSingleShot());
    }
}

TEST_F(ShellTest, StartUpOpensOneUntitledDocumentAfterHalfASecond)
{
    restart();
    EXPECT_TRUE(w->documents().empty());
    w->untitledTimer().start();
    QTest::qWait(800);
    ASSERT_EQ(w->documents().size(), 1u);
    TSandbox* d = w->documents()[0];
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Untitled 1[*]"));
    EXPECT_TRUE(d->fileName().isEmpty());
    EXPECT_TRUE(w->menuWindow()->menuAction()->isVisible());
    EXPECT_TRUE(w->fileMenu().Save1->isEnabled());
    // A second firing with a document open does nothing.
    w->openUntitledIfNone();
    EXPECT_EQ(w->documents().size(), 1u);
}

TEST_F(ShellTest, ToolButtonWithoutDocumentOpensOneLater)
{
    w->toolbarCommand(32);  // star
    EXPECT_EQ(w->procs()->pressedTool(), 32);
    EXPECT_TRUE(w->documents().empty());
    EXPECT_TRUE(w->untitledTimer().isActive());
    w->openUntitledIfNone();
    EXPECT_EQ(w->documents().size(), 1u);
}

TEST_F(ShellTest, UntitledNumbersCountUpAndWindowNumbersDiffer)
{
    TSandbox* a = w->openDocumentWindow(QString());
    TSandbox* b = w->openDocumentWindow(QString());
    TSandbox* c = w->openDocumentWindow(QString());
    EXPECT_EQ(a->caption(), QStringLiteral("Untitled 1"));
    EXPECT_EQ(b->caption(), QStringLiteral("Untitled 2"));
    EXPECT_EQ(c->caption(), QStringLiteral("Untitled 3"));
    EXPECT_NE(a->documentNumber(), b->documentNumber());
    EXPECT_NE(b->documentNumber(), c->documentNumber());
    EXPECT_NE(a->documentNumber(), c->documentNumber());
    EXPECT_EQ(w->menuWindow()->actions().size(), 3);
}

TEST_F(ShellTest, WindowMenuFollowsWindowsAndHidesWithTheLast)
{
    TSandbox* a = w->openDocumentWindow(QString());
    TSandbox* b = w->openDocumentWindow(QString());
    w->checkWindowEntry(a->documentNumber());
    EXPECT_TRUE(w->fileMenu().PageSetupCurrent->isVisible());
    EXPECT_EQ(w->fileMenu().PageSetupCurrent->text(), QStringLiteral("Untitled 1"));
    EXPECT_EQ(w->fileMenu().GridSnapCurrent->text(), QStringLiteral("Untitled 1"));
    int checked = 0;
    for (QAction* x : w->menuWindow()->actions()) checked += x->isChecked();
    EXPECT_EQ(checked, 1);
    // The entry activates its window.
    EXPECT_TRUE(w->activateWindow(a->documentNumber()));
    EXPECT_EQ(w->activeDocument(), a);
    EXPECT_FALSE(w->activateWindow(-5));

    b->parentWidget()->close();
    a->parentWidget()->close();
    flushDeletes();
    EXPECT_TRUE(w->documents().empty());
    EXPECT_FALSE(w->menuWindow()->menuAction()->isVisible());
    EXPECT_FALSE(w->fileMenu().PageSetupCurrent->isVisible());
    EXPECT_FALSE(w->fileMenu().GridSnapCurrent->isVisible());
    // Timer4 puts the shell into its empty state.
    w->params()->currentZoom = 2.0;
    w->resetToEmptyShell();
    EXPECT_DOUBLE_EQ(w->params()->currentZoom, 1.0);
    EXPECT_TRUE(w->viewMenu().zoomItems[3]->isChecked());
    EXPECT_FALSE(w->fileMenu().Save1->isEnabled());
    EXPECT_EQ(w->viewMenu().gridItems[3]->isChecked(), w->params()->newFile.showGridX && w->params()->newFile.showGridY);
}

struct zoomCheckCase {
    const char* name;
    double zoom;
    int checked;  // -1: none
};

void PrintTo(const zoomCheckCase& c, std::ostream* os)
{
    *os << "zoom " << c.zoom << " checks ";
    if (c.checked < 0) *os << "no preset";
    else *os << "preset " << c.checked;
}

class ZoomChecks : public ShellTest, public ::testing::WithParamInterface<zoomCheckCase> {};

TEST_P(ZoomChecks, OnlyAnExactPresetIsChecked)
{
    w->params()->currentZoom = GetParam().zoom;
    w->updateZoomChecks();
    for (int i = 0; i < 9; ++i) EXPECT_EQ(w->viewMenu().zoomItems[i]->isChecked(), i == GetParam().checked) << i;
}

INSTANTIATE_TEST_SUITE_P(Zoom, ZoomChecks,
                         ::testing::Values(zoomCheckCase{"Exactly25Percent", 0.25, 0},
                                           zoomCheckCase{"Exactly100Percent", 1.0, 3},
                                           zoomCheckCase{"Between125And150", 1.33, -1},
                                           zoomCheckCase{"RoundsTo175Percent", 1.749, 6},
                                           zoomCheckCase{"Exactly300Percent", 3.0, 8},
                                           zoomCheckCase{"Below25Percent", 0.1, -1},
                                           zoomCheckCase{"Between100And125", 1.1, -1}),
                         testnames::byName{});

TEST_F(ShellTest, ZoomMenuAppliesToTheActiveDocument)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    const int32_t widthAt100 = d->header()->x2;
    w->chooseZoom(7);  // 200 %
    EXPECT_DOUBLE_EQ(w->params()->currentZoom, 2.0);
    EXPECT_DOUBLE_EQ(d->header()->hdr().zoom, 2.0);
    EXPECT_NEAR(d->header()->x2, 2 * widthAt100, 1);
    EXPECT_TRUE(w->viewMenu().zoomItems[7]->isChecked());
    EXPECT_EQ(w->procs()->zoomLabel->text(), QStringLiteral("200%"));
    EXPECT_EQ(w->procs()->sliderPosition(), 200);
    EXPECT_TRUE(d->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->isActive());
}

TEST_F(ShellTest, EachDocumentKeepsItsZoomAndTheControlsShowTheActiveOne)
{
    TSandbox* a = untitled();
    w->procs()->setSliderPosition(175);
    w->procs()->sliderReleased();
    TSandbox* b = w->openDocumentWindow(QString());
    ASSERT_NE(b, a);
    EXPECT_DOUBLE_EQ(b->zoomFactor(), 1.0);
    EXPECT_EQ(w->procs()->sliderPosition(), 100);
    w->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(a->parentWidget()));
    EXPECT_DOUBLE_EQ(a->zoomFactor(), 1.75);
    EXPECT_EQ(w->procs()->sliderPosition(), 175);
    EXPECT_EQ(w->procs()->zoomLabel->text(), QStringLiteral("175%"));
    EXPECT_TRUE(w->viewMenu().zoomItems[6]->isChecked());
}

TEST_F(ShellTest, ZoomButtonsStepThroughTheTable)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    w->toolbarCommand(canvas::buttonZoomIn);
    EXPECT_DOUBLE_EQ(w->params()->currentZoom, 1.25);
    EXPECT_TRUE(w->viewMenu().zoomItems[4]->isChecked());
    w->toolbarCommand(canvas::buttonZoomOut);
    EXPECT_DOUBLE_EQ(w->params()->currentZoom, 1.0);
    // The slider at 110 %, then zoom out: 100 %.
    w->procs()->setSliderPosition(110);
    EXPECT_EQ(w->procs()->zoomLabel->text(), QStringLiteral("110%"));
    w->procs()->sliderReleased();
    EXPECT_DOUBLE_EQ(d->header()->hdr().zoom, 1.1);
    for (QAction* a : w->viewMenu().zoomItems) EXPECT_FALSE(a->isChecked());
    w->toolbarCommand(canvas::buttonZoomOut);
    EXPECT_DOUBLE_EQ(w->params()->currentZoom, 1.0);
    // The slider stops at 1 %, which it applies.
    w->procs()->setSliderPosition(0);
    w->procs()->sliderReleased();
    EXPECT_DOUBLE_EQ(w->params()->currentZoom, 0.01);
    EXPECT_EQ(w->procs()->zoomLabel->text(), QStringLiteral("1%"));
    // At 300 % zoom in does nothing.
    w->chooseZoom(8);
    w->toolbarCommand(canvas::buttonZoomIn);
    EXPECT_DOUBLE_EQ(w->params()->currentZoom, 3.0);
}

TEST_F(ShellTest, GridAndSnapTogglesSetTheDocumentFlags)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    w->gridCommand(1);  // Horizontal
    EXPECT_EQ(d->header()->hdr().showGridX, 1);
    EXPECT_EQ(d->header()->hdr().showGridY, 0);
    EXPECT_TRUE(w->procs()->gridButton());
    EXPECT_TRUE(w->viewMenu().gridItems[1]->isChecked());
    // The Gridlines button on a Horizontal grid releases it and sets None.
    w->procs()->setGridButton(canvas::toggle_t::toggle, true);
    EXPECT_FALSE(w->procs()->gridButton());
    EXPECT_EQ(d->header()->hdr().showGridX, 0);
    EXPECT_TRUE(w->viewMenu().gridItems[0]->isChecked());
    EXPECT_FALSE(w->viewMenu().menuAnchors->isEnabled());
    w->procs()->setSnapButton(canvas::toggle_t::toggle, true);
    EXPECT_EQ(d->header()->hdr().snapX, 1);
    EXPECT_EQ(d->header()->hdr().snapY, 1);
    EXPECT_TRUE(w->viewMenu().snapItems[3]->isChecked());
    w->anchorCommand(2);
    EXPECT_EQ(d->header()->hdr().showAnchorsX, 0);
    EXPECT_EQ(d->header()->hdr().showAnchorsY, 1);
}

TEST_F(ShellTest, ExitWithTwoModifiedDocumentsSavesAndClosesBoth)
{
    TSandbox* a = w->openDocumentWindow(QString());
    TSandbox* b = w->openDocumentWindow(QString());
    model::setModified(a->items(), true);
    model::setModified(b->items(), true);
    dlg.answers = {ui::btnYes};
    dlg.fileAnswers = {path("one.lmra"), path("two.lmra")};
    EXPECT_TRUE(w->canExit());
    ASSERT_GE(dlg.messages.size(), 1u);
    // The question lists the documents it is about.
    EXPECT_EQ(dlg.messages[0].text,
              QStringLiteral("One or more files were modified, but the changes have not been saved.\r\n"
                             "    Untitled 1\r\n    Untitled 2\r\n"
                             "Do you want to save the files?"));
    EXPECT_EQ(dlg.messages[0].buttons, ui::btnYes | ui::btnNo | ui::btnCancel);
    ASSERT_EQ(dlg.fileRequests.size(), 2u);
    EXPECT_EQ(dlg.fileRequests[0].name, QStringLiteral("Untitled 1"));
    EXPECT_EQ(dlg.fileRequests[1].name, QStringLiteral("Untitled 2"));
    EXPECT_TRUE(QFileInfo::exists(path("one.lmra")));
    EXPECT_TRUE(QFileInfo::exists(path("two.lmra")));
    EXPECT_TRUE(w->documents().empty());
}

TEST_F(ShellTest, CancellingTheSecondSaveAsStopsTheExit)
{
    TSandbox* a = w->openDocumentWindow(QString());
    TSandbox* b = w->openDocumentWindow(QString());
    model::setModified(a->items(), true);
    model::setModified(b->items(), true);
    dlg.answers = {ui::btnYes};
    dlg.fileAnswers = {path("one.lmra"), QString()};
    EXPECT_FALSE(w->canExit());
    ASSERT_EQ(w->documents().size(), 1u);
    EXPECT_EQ(w->documents()[0], b);
    EXPECT_TRUE(b->isModified());
    EXPECT_FALSE(w->exitConfirmed());
}

TEST_F(ShellTest, ExitAnswers)
{
    TSandbox* a = w->openDocumentWindow(QString());
    // Nothing modified: no question.
    EXPECT_TRUE(w->canExit());
    EXPECT_TRUE(dlg.messages.empty());
    model::setModified(a->items(), true);
    dlg.answers = {ui::btnCancel};
    EXPECT_FALSE(w->canExit());
    dlg.answers = {ui::btnNo};
    EXPECT_TRUE(w->canExit());
    EXPECT_TRUE(a->isModified());  // No ends without saving
    EXPECT_TRUE(dlg.fileRequests.empty());
}

// Closing the editor with a modified, an untouched and an already closed
// window whose deferred deletion has not run: no question is asked, and every
// document window goes while the main window is still whole (a window deleted
// later would call back into a half destroyed main window).
TEST_F(ShellTest, TeardownDeletesEveryDocumentWindowBeforeTheMainWindowsMembers)
{
    TSandbox* modified = w->openDocumentWindow(QString());
    model::setModified(modified->items(), true);
    TSandbox* untouched = w->openDocumentWindow(QString());
    TSandbox* closed = w->openDocumentWindow(QString());
    model::setModified(closed->items(), false);
    ASSERT_TRUE(closed->parentWidget()->close());  // deleted later, by the event loop
    ASSERT_FALSE(QPointer<TSandbox>(closed).isNull());
    ASSERT_EQ(w->documents().size(), 2u);

    std::vector<QString> order;
    for (TSandbox* d : {modified, untouched, closed})
        QObject::connect(d, &QObject::destroyed, [&order, n = d->caption()] { order.push_back(n); });
    QObject::connect(&w->panelSwitchTimer(), &QObject::destroyed, [&order] { order.push_back(QStringLiteral("members")); });
    dlg.messages.clear();
    w->confirmExit();
    w.reset();
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order.back(), QStringLiteral("members"));
    EXPECT_TRUE(dlg.messages.empty());
}
