// Picture insertion in the editor: the picture dialog, the picture window in
// the first floating window, its Insert, a document file pasted from the
// dialog, and a picture's clips edited again.
#include "shell_fixture.h"

#include "canvas/toolbar.h"
#include "model/history.h"
#include "model/history_index.h"
#include "samples/samplepictures.h"
#include "panels/picturewindow.h"
#include "ui/guidancetexts.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

namespace {

class PictureCommands : public ShellTest {
protected:
    QString writeFile(const QString& name, const std::vector<uint8_t>& bytes)
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        return QFileInfo(f).absoluteFilePath();
    }
    panels::TPict* pict() const { return dynamic_cast<panels::TPict*>(w->TFormX()->hostedPanel()); }
    std::vector<model::item_t*> pictures(canvas::TSandbox* d) const
    {
        std::vector<model::item_t*> out;
        for (model::item_t* it = d->items().head; it; it = it->next)
            if (it->kind == model::kindItem && !it->hidden && it->itemType == model::typePicture) out.push_back(it);
        return out;
    }
};

TEST_F(PictureCommands, TheDialogAsksWithTheFiltersAndRemembersTheChoice)
{
    const QString gif = writeFile(QStringLiteral("art.gif"), samples::encodeGif(samples::samplePattern(120, 90)));
    w->params()->picndx = 3;
    w->params()->lastPicture = QStringLiteral("/old/last.bmp");
    dlg.fileAnswers.push_back(gif);
    ASSERT_TRUE(w->insertPicture());
    ASSERT_EQ(dlg.fileRequests.size(), 1u);
    const ui::fileRequest_t& r = dlg.fileRequests[0];
    EXPECT_EQ(r.title, QStringLiteral("Open"));
    EXPECT_EQ(r.filterIndex, 3);
    EXPECT_EQ(r.defaultExt, QStringLiteral("bmp"));
    EXPECT_EQ(r.name, QStringLiteral("/old/last.bmp"));
    // The design's seven entries, then PNG, SVG, WebP and TIFF.
    EXPECT_EQ(ui::qtFilters(r.filter).size(), 11);
    EXPECT_TRUE(r.filter.endsWith(QStringLiteral("TIFF Images (*.tif,*.tiff)|*.tif;*.tiff")));
    EXPECT_TRUE(r.filter.startsWith(QStringLiteral("JPEG Image Files (*.jpg,*.jpeg)|*.jpg;*.jpeg|GIF Image Files")));
    EXPECT_EQ(w->params()->picndx, 2);
    EXPECT_EQ(w->params()->picidr, QFileInfo(gif).absolutePath());
    EXPECT_EQ(w->params()->lastPicture, gif);
    // A document window is opened for the picture; the picture waits in the window.
    EXPECT_NE(w->activeDocument(), nullptr);
    EXPECT_EQ(w->TFormX()->hostedCode(), ui::hostedPictureFile);
    EXPECT_EQ(w->TFormX()->windowTitle(), QStringLiteral("art"));
    ASSERT_NE(pict(), nullptr);
    EXPECT_EQ(pict()->displayed().size(), QSize(120, 90));
}

TEST_F(PictureCommands, CancellingTheDialogDoesNothing)
{
    dlg.fileAnswers.push_back(QString());
    EXPECT_FALSE(w->insertPicture());
    EXPECT_TRUE(w->documents().empty());
    EXPECT_EQ(w->TFormX()->hostedCode(), 0);
}

// The message names the file and what can be inserted, and no empty picture
// window is left open with an Insert button, even over a picture shown before.
TEST_F(PictureCommands, AnUndecodableFileIsNamedWithTheInsertableKindsAndNoWindowStays)
{
    for (bool pictureShownBefore : {false, true}) {
        SCOPED_TRACE(pictureShownBefore);
        if (pictureShownBefore) {
            dlg.fileAnswers.push_back(writeFile(QStringLiteral("ok.jpg"), samples::encodeJpeg(samples::samplePattern(60, 40))));
            ASSERT_TRUE(w->insertPicture());
            ASSERT_TRUE(w->TFormX()->isVisible());
        }
        const QString broken = writeFile(QStringLiteral("broken.gif"), {'G', 'I', 'F', '8', '9', 'a', 1});
        dlg.messages.clear();
        dlg.fileAnswers.push_back(broken);
        w->insertPicture();
        ASSERT_EQ(dlg.messages.size(), 1u);
        const QString text = dlg.messages.back().text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("This is not a valid file: \""))) << text.toStdString();
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(broken))) << text.toStdString();
        for (const char* kind : {"JPEG", "GIF", ".bmp", ".ico", ".wmf", ".emf"})
            EXPECT_TRUE(text.contains(QLatin1String(kind))) << kind;
        EXPECT_FALSE(w->TFormX()->isVisible());
        EXPECT_EQ(w->TFormX()->hostedCode(), 0);
        EXPECT_EQ(pict(), nullptr);
        EXPECT_TRUE(pictures(w->activeDocument()).empty());
    }
}

TEST_F(PictureCommands, InsertPutsTheEntireImageInTheActiveWindowAsOneStep)
{
    canvas::TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    dlg.fileAnswers.push_back(writeFile(QStringLiteral("p.jpg"), samples::encodeJpeg(samples::samplePattern(200, 100))));
    ASSERT_TRUE(w->insertPicture());
    w->TFormX()->leftClicked();
    EXPECT_FALSE(w->TFormX()->isVisible());
    ASSERT_EQ(pictures(d).size(), 1u);
    const model::item_t* pic = pictures(d)[0];
    EXPECT_EQ((std::array<int32_t, 4>{pic->srcLeft, pic->srcTop, pic->srcRight, pic->srcBottom}),
              (std::array<int32_t, 4>{0, 0, 199, 99}));
    EXPECT_TRUE(w->editMenu().Undo1->isEnabled());
    w->undoCommand(false);
    EXPECT_TRUE(pictures(d).empty());
}

// Inserting a picture leaves whatever tool was active (here the text tool
// after a typed text), so the next drag moves the inserted picture instead of
// dragging out a text box.
TEST_F(PictureCommands, InsertingLeavesTheActiveToolForThePointer)
{
    canvas::TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    for (int32_t tool : {int32_t(ui::panelNextText), int32_t(ui::panelNextLine), int32_t(canvas::toolStar)}) {
        SCOPED_TRACE(tool);
        w->showPanel(tool, {.applyToWindow = true});
        ASSERT_NE(d->mode(), canvas::modePointer);
        dlg.fileAnswers.push_back(writeFile(QStringLiteral("p.jpg"), samples::encodeJpeg(samples::samplePattern(60, 40))));
        ASSERT_TRUE(w->insertPicture());
        w->TFormX()->leftClicked();
        EXPECT_EQ(d->mode(), canvas::modePointer);
        ASSERT_FALSE(pictures(d).empty());
        EXPECT_TRUE(pictures(d).back()->selected);
        // The picture's guidance page while its flag is set, else its panel.
        EXPECT_EQ(w->panelCode(), ui::guidanceWanted(*w->params(), ui::guidancePictureInserted)
                                      ? int32_t(ui::guidancePictureInserted)
                                      : int32_t(ui::panelPicture));
        ui::setGuidanceWanted(*w->params(), ui::guidancePictureInserted, tool != ui::panelNextText);
    }
}

TEST_F(PictureCommands, ThePictureButtonRunsTheDialogThroughThePanelTimer)
{
    dlg.fileAnswers.push_back(QString());
    w->toolbarCommand(canvas::buttonPicture);
    EXPECT_TRUE(dlg.fileRequests.empty());
    EXPECT_TRUE(w->panelSwitchTimer().isActive());
    w->runPendingPanel();
    EXPECT_EQ(dlg.fileRequests.size(), 1u);
}

TEST_F(PictureCommands, ADocumentFileChosenIsPastedIntoTheActiveWindow)
{
    // A document holding one inserted picture, saved.
    canvas::TSandbox* source = untitled();
    dlg.fileAnswers.push_back(writeFile(QStringLiteral("p.gif"), samples::encodeGif(samples::samplePattern(40, 30))));
    w->insertPicture();
    w->TFormX()->leftClicked();
    dlg.fileAnswers.push_back(path(QStringLiteral("withpicture.lmra")));
    ASSERT_TRUE(w->saveDocumentAs(source));
    const int32_t sourceId = pictures(source)[0]->pictureId;

    canvas::TSandbox* target = w->openDocumentWindow(QString());
    ASSERT_EQ(w->activeDocument(), target);
    dlg.fileAnswers.push_back(source->fileName());
    ASSERT_TRUE(w->insertPicture());
    ASSERT_EQ(pictures(target).size(), 1u);
    EXPECT_EQ(w->params()->lastPicture, source->fileName());
    EXPECT_EQ(w->params()->picndx, 7);
    // The picture id that the other open document uses for its own picture is replaced.
    const int32_t pastedId = pictures(target)[0]->pictureId;
    EXPECT_NE(pastedId, sourceId);
    EXPECT_NE(model::findPictureData(target->items(), pastedId), nullptr);
}

TEST_F(PictureCommands, ReclipOpensOnTheSelectedPictureAndReplacesItsClip)
{
    canvas::TSandbox* d = untitled();
    dlg.fileAnswers.push_back(writeFile(QStringLiteral("p.gif"), samples::encodeGif(samples::samplePattern(200, 100))));
    w->insertPicture();
    ASSERT_NE(pict(), nullptr);
    pict()->setTool(panels::pictTool_t::rectangle);
    pict()->view->press({10, 10});
    pict()->view->release({10, 10});
    pict()->view->press({110, 60});
    pict()->view->release({110, 60});
    w->TFormX()->leftClicked();
    ASSERT_EQ(pictures(d).size(), 1u);
    model::item_t* pic = pictures(d)[0];
    EXPECT_EQ(pic->clipShape, model::clipRect);

    model::selectOnly(d->items(), pic);
    w->editPictureClips(ui::hostedRectClip);
    EXPECT_EQ(w->TFormX()->hostedCode(), ui::hostedRectClip);
    EXPECT_EQ(w->TFormX()->windowTitle(), QStringLiteral("p"));
    ASSERT_NE(pict(), nullptr);
    std::vector<model::item_t*> clips = model::visibleClips(pict()->clips());
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_TRUE(model::isSelected(clips[0]));
    EXPECT_FALSE(pict()->buttons[panels::TPict::btnUndo]->isEnabled());
    EXPECT_EQ((std::array<int32_t, 4>{clips[0]->x1, clips[0]->y1, clips[0]->x2, clips[0]->y2}),
              (std::array<int32_t, 4>{10, 10, 110, 60}));
    // The left side moved 10 to the right.
    pict()->view->press({10, 35});
    pict()->view->move({20, 35}, true);
    pict()->view->release({20, 35});
    w->TFormX()->leftClicked();
    ASSERT_EQ(pictures(d).size(), 1u);
    model::item_t* now = model::singleSelected(d->items());
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->srcLeft, 20);
    EXPECT_EQ(now->replacesStep, pic->stepId);
    EXPECT_EQ(now->x1, pic->x1);
}

// A transparent PNG dragged from a file manager onto the editor opens in
// the picture window for the active document, shown over white.
TEST_F(PictureCommands, APictureFileDroppedOnTheEditorOpensInThePictureWindow)
{
    const QString png =
        writeFile(QStringLiteral("logo.png"), samples::encodePng(samples::sampleTransparentPattern(40, 30)));
    const QString text = writeFile(QStringLiteral("notes.txt"), {'h', 'i'});
    auto dropOn = [](QWidget* target, const QString& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QApplication::processEvents();
        return drop.isAccepted();
    };
    EXPECT_FALSE(dropOn(w.get(), text)) << "a file that is no picture is not taken";
    ASSERT_TRUE(dropOn(w.get(), png));
    EXPECT_NE(w->activeDocument(), nullptr);
    ASSERT_NE(pict(), nullptr);
    EXPECT_EQ(pict()->source().format, model::picturePng);
    EXPECT_EQ(pict()->displayed().pixel(15, 15) & 0xFFFFFF, 0xFFFFFFu) << "the hole over white";
    // Dropped on the picture window, another picture replaces it.
    const QString svg = writeFile(QStringLiteral("logo.svg"), samples::sampleSvg(40, 30));
    ASSERT_TRUE(dropOn(pict(), svg));
    QApplication::processEvents();
    ASSERT_NE(pict(), nullptr);
    EXPECT_EQ(pict()->source().format, model::pictureSvg);
}

} // namespace
