// Print, print preview and export from the main window, answered by the
// scripted dialogs: the area selection comes first only on sheets of several
// cells, prints go into PDF files, exports ask before replacing a file.
#include "shell_fixture.h"

#include "app/outputcommands.h"
#include "output/carddoc.h"
#include "output/renderoutput.h"
#include "ui/preview.h"
#include "ui/printarea.h"

#include <QCheckBox>
#include <QTest>
#include <QToolButton>

namespace {

using canvas::TSandbox;

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class OutputTest : public ShellTest {
protected:
    TSandbox* sheetDocument(const outdoc::sheet_t& s)
    {
        TSandbox* d = untitled();
        EXPECT_NE(d, nullptr);
        if (d) outdoc::applySheet(d->items(), d->header(), s);
        return d;
    }
    // The hosted panel's left button, then its command 100 ms later.
    static void pressLeft(ui::THostWindow* host)
    {
        host->leftClicked();
        QTest::qWait(250);
    }
};

TEST_F(OutputTest, SeveralCellsAskForTheAreasAndPrintTheSelectionIntoAPdf)
{
    TSandbox* d = sheetDocument(outdoc::foldedBusinessCards());
    w->printDocument(d);
    ASSERT_EQ(w->TFormY()->hostedCode(), ui::hostedPrintOptions);
    EXPECT_EQ(w->TFormY()->windowTitle(), QStringLiteral("Options"));
    auto* panel = dynamic_cast<ui::TPrsel*>(w->TFormY()->hostedPanel());
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->selection().isEmpty()) << "the window's own (empty) selection";
    panel->drawTimer.stop();
    panel->sheet()->drawn = true;
    const output::areaSheet_t a = panel->sheet()->layout();
    ASSERT_EQ(a.cells.size(), 5u);
    panel->clickSheet(a.cells[3].center() + panel->sheet()->pictureOrigin(a));
    EXPECT_EQ(panel->selection(), QByteArray("   x"));
    const QString pdf = path(QStringLiteral("cards.pdf"));
    dlg.printAnswers.push_back(pdf);
    pressLeft(w->TFormY());
    EXPECT_EQ(d->printAreas(), QByteArray("   x"));
    EXPECT_EQ(dlg.printRequests, 1);
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
    EXPECT_TRUE(dlg.messages.empty());
}

TEST_F(OutputTest, OneCellNeverAsksAndACancelledDialogPrintsNothing)
{
    outdoc::sheet_t s;
    s.designType = 2;
    TSandbox* d = sheetDocument(s);
    dlg.printAnswers.push_back(QString());
    w->printDocument(d);
    EXPECT_FALSE(w->TFormY()->isVisible());
    EXPECT_EQ(dlg.printRequests, 1);
    EXPECT_TRUE(QDir(files.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(OutputTest, PreviewShowsCrossedOutCellsWhiteAndItsPrintButtonPrints)
{
    TSandbox* d = sheetDocument(outdoc::foldedBusinessCards());
    d->printAreas() = "x";
    w->previewDocument(d);
    ASSERT_EQ(w->TFormY()->hostedCode(), ui::hostedPreviewOptions);
    pressLeft(w->TFormY());
    ASSERT_EQ(w->TFormX()->hostedCode(), ui::hostedPreview);
    EXPECT_EQ(w->TFormX()->windowTitle(), d->caption());
    auto* preview = dynamic_cast<ui::TPreview*>(w->TFormX()->hostedPanel());
    ASSERT_NE(preview, nullptr);
    preview->buildPreview();
    const QImage img = preview->image();
    ASSERT_EQ(img.size(), QSize(794, 1123));
    // Cells 100 × 50 mm from (20, 10) mm, 5 mm apart: the first is white.
    auto at = [&](double xMm, double yMm) { return img.pixel(int(xMm * 96 / 25.4), int(yMm * 96 / 25.4)) & 0xFFFFFF; };
    EXPECT_EQ(at(70, 35), 0xFFFFFFu);
    EXPECT_EQ(at(70, 90), 0xFF0000u);
    ASSERT_FALSE(preview->printButton()->isHidden());
    preview->printButton()->click();
    QTest::qWait(250);
    EXPECT_FALSE(w->TFormX()->isVisible());
    EXPECT_EQ(w->TFormY()->hostedCode(), ui::hostedPrintOptions) << "Print asks for the areas again";
}

// The whole sheet shows at once, as large as the window allows, and stays so
// when the window is resized: never the sheet at 100 % behind scroll bars.
TEST_F(OutputTest, PreviewFitsTheWholeSheetInTheWindowAndRefitsWhenResized)
{
    TSandbox* d = sheetDocument(outdoc::foldedBusinessCards());
    w->previewDocument(d);
    pressLeft(w->TFormY());
    ASSERT_EQ(w->TFormX()->hostedCode(), ui::hostedPreview);
    auto* preview = dynamic_cast<ui::TPreview*>(w->TFormX()->hostedPanel());
    ASSERT_NE(preview, nullptr);
    preview->buildPreview();
    const QSize sheet = preview->image().size();
    ASSERT_EQ(sheet, QSize(794, 1123));
    for (const QSize window : {QSize(700, 500), QSize(1100, 900), QSize(500, 1000)}) {
        SCOPED_TRACE(window.width());
        w->TFormX()->resize(window);
        QTest::qWait(20);
        const QRect shown = preview->shownSheetRect();
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_TRUE(preview->rect().contains(shown)) << "the whole sheet is inside the panel";
        EXPECT_LT(shown.height(), sheet.height()) << "scaled down, not shown at 100 %";
        // Aspect kept within a pixel, and one side fills the room it has.
        EXPECT_NEAR(double(shown.width()) / shown.height(), double(sheet.width()) / sheet.height(), 0.01);
    }
    w->TFormX()->resize(700, 500);
    QTest::qWait(20);
    const int small = preview->shownSheetRect().height();
    w->TFormX()->resize(1100, 900);
    QTest::qWait(20);
    EXPECT_GT(preview->shownSheetRect().height(), small + 200) << "a larger window shows a larger sheet";
}

TEST_F(OutputTest, ExportAsksBeforeReplacingAndNoKeepsTheFile)
{
    outdoc::sheet_t s;
    s.designType = 9;
    s.unit = 1;
    s.paperWidth = 728;
    s.paperHeight = 90;
    TSandbox* d = sheetDocument(s);
    const QString target = path(QStringLiteral("banner.jpg"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    dlg.fileAnswers.push_back(target);
    dlg.answers.push_back(ui::btnNo);
    w->exportExact(d);
    EXPECT_EQ(fileBytes(target), QByteArray("old"));
    EXPECT_EQ(dlg.texts(), QStringList{QStringLiteral("Replace the existing file?")});
    EXPECT_EQ(QDir(w->params()->expdir), QDir(files.path())) << "the folder is kept although No was answered";
    ASSERT_EQ(dlg.fileRequests.size(), 1u);
    EXPECT_EQ(dlg.fileRequests[0].title, QStringLiteral("Export"));
    EXPECT_EQ(dlg.fileRequests[0].defaultExt, QStringLiteral("jpg"));

    dlg.fileAnswers.push_back(target);
    dlg.answers.push_back(ui::btnYes);
    w->exportExact(d);
    EXPECT_EQ(QImage::fromData(fileBytes(target), "JPEG").size(), QSize(728, 90));

    const QString icon = path(QStringLiteral("banner.ico"));
    dlg.fileAnswers.push_back(icon);
    w->exportExact(d);
    EXPECT_TRUE(fileBytes(icon).startsWith(QByteArray("\0\0\1\0\1\0", 6)));
    EXPECT_EQ(dlg.fileRequests.back().folder, files.path()) << "the next export starts in the stored folder";
}

TEST_F(OutputTest, SmoothExportSavesThePreviewAndAFailureNamesTheFile)
{
    TSandbox* d = sheetDocument(outdoc::foldedBusinessCards());
    d->printAreas() = " x";
    const QString target = path(QStringLiteral("sheet.bmp"));
    dlg.fileAnswers.push_back(target);
    w->exportSmooth(d);
    ASSERT_EQ(w->TFormX()->hostedCode(), ui::hostedPreview);
    EXPECT_FALSE(w->TFormY()->isVisible()) << "smooth export skips the area selection";
    dynamic_cast<ui::TPreview*>(w->TFormX()->hostedPanel())->buildPreview();
    QTest::qWait(50);
    const QImage saved(target, "BMP");
    ASSERT_EQ(saved.size(), QSize(794, 1123));
    EXPECT_EQ(saved.pixel(int(70 * 96 / 25.4), int(90 * 96 / 25.4)) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(w->params()->expndx, 2);

    dlg.fileAnswers.push_back(path(QStringLiteral("missing/sheet.jpg")));
    w->exportExact(d);
    ASSERT_EQ(dlg.messages.size(), 1u);
    EXPECT_EQ(dlg.messages[0].kind, ui::msgKind_t::error);
    EXPECT_TRUE(dlg.messages[0].text.contains(QStringLiteral("missing/sheet.jpg")));
}

} // namespace

namespace {

TEST_F(OutputTest, ExportWritesPdfOrSvgOfOneCardOrTheSheetAndPicturesAtAResolution)
{
    TSandbox* d = sheetDocument(outdoc::foldedBusinessCards());
    // A vector file holds one card unless the sheet is chosen.
    const QString card = path(QStringLiteral("card.svg"));
    dlg.fileAnswers.push_back(card);
    w->exportExact(d);
    ASSERT_EQ(dlg.choiceLabels, std::vector<QString>{QStringLiteral("Export:")});
    const QByteArray svg = fileBytes(card);
    // 100 × 50 mm (a folded pair of 50 mm cards) at 300 dpi.
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 1181 591\"")) << svg.left(400).toStdString();
    EXPECT_EQ(dlg.fileRequests.back().filter.count(QStringLiteral("*.pdf")), 2) << "the list offers PDF and SVG";

    const QString sheet = path(QStringLiteral("sheet.pdf"));
    dlg.fileAnswers.push_back(sheet);
    dlg.choiceAnswers.push_back(1);
    w->exportExact(d);
    EXPECT_TRUE(fileBytes(sheet).startsWith("%PDF"));
    EXPECT_FALSE(fileBytes(sheet).contains("/Subtype /Image")) << "outlines, not a picture of the sheet";

    // The list starts at the vector entry last used; a cancelled choice writes nothing.
    dlg.fileAnswers.push_back(path(QStringLiteral("none.pdf")));
    dlg.choiceAnswers.push_back(-1);
    w->exportExact(d);
    EXPECT_EQ(dlg.fileRequests.back().filterIndex, 3);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("none.pdf"))));

    // Pictures: the whole sheet at the resolution chosen (A4 at 150 dpi).
    const QString jpeg = path(QStringLiteral("sheet.jpg"));
    dlg.fileAnswers.push_back(jpeg);
    dlg.choiceAnswers = {1, 1};
    w->exportExact(d);
    const QImage picture = QImage::fromData(fileBytes(jpeg), "JPEG");
    EXPECT_NEAR(picture.width(), 1240, 1);
    EXPECT_NEAR(picture.height(), 1754, 1);
    EXPECT_EQ(dlg.fileRequests.back().filterIndex, 3) << "the request was made before the JPEG was chosen";
    EXPECT_TRUE(dlg.messages.empty());
}

TEST_F(OutputTest, ThePreviewsSheetIsSavedAsVectorPdfWithItsCrossedOutCells)
{
    TSandbox* d = sheetDocument(outdoc::foldedBusinessCards());
    d->printAreas() = " x";
    const QString pdf = path(QStringLiteral("preview.pdf"));
    dlg.fileAnswers.push_back(pdf);
    w->exportSmooth(d);
    ASSERT_EQ(w->TFormX()->hostedCode(), ui::hostedPreview);
    dynamic_cast<ui::TPreview*>(w->TFormX()->hostedPanel())->buildPreview();
    QTest::qWait(50);
    const QByteArray bytes = fileBytes(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_FALSE(bytes.contains("/Subtype /Image")) << "outlines, not the preview's picture";
    EXPECT_TRUE(dlg.messages.empty());
}

} // namespace

// Crop marks are offered before printing (off at first, then as last chosen
// in the session), never before the preview.
TEST_F(OutputTest, CropMarksAreOfferedBeforePrintingOnly)
{
    outdoc::sheet_t s = outdoc::foldedBusinessCards();
    TSandbox* d = sheetDocument(s);
    w->previewDocument(d);
    ASSERT_EQ(w->TFormY()->hostedCode(), ui::hostedPreviewOptions);
    auto* preview = dynamic_cast<ui::TPrsel*>(w->TFormY()->hostedPanel());
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->cropMarksBox, nullptr);
    w->TFormY()->rightClicked();

    for (const bool ticked : {false, true}) {
        SCOPED_TRACE(ticked);
        w->printDocument(d);
        ASSERT_EQ(w->TFormY()->hostedCode(), ui::hostedPrintOptions);
        auto* panel = dynamic_cast<ui::TPrsel*>(w->TFormY()->hostedPanel());
        ASSERT_NE(panel, nullptr);
        ASSERT_NE(panel->cropMarksBox, nullptr);
        EXPECT_EQ(panel->cropMarksBox->isChecked(), ticked) << "as chosen the last time";
        panel->cropMarksBox->setChecked(true);
        const QString pdf = path(QStringLiteral("marks%1.pdf").arg(ticked));
        dlg.printAnswers.push_back(pdf);
        pressLeft(w->TFormY());
        EXPECT_TRUE(w->outputs().cropMarks());
        EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
    }
}
