// The preset editors through their fields: the frame's rows and help texts,
// Save and Cancel on the copy, the pattern columns, the three direction
// modes, the shadow editor's sliders, sample and light, and the speed panel.
#include "settings/presetsave.h"
#include "ui/preseteditors.h"
#include "ui/shadoweditor.h"
#include "ui/speedpanel.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <utility>

using namespace ui;

namespace {

struct fixture_t {
    settings::memoryStore_t store;
    settings::TParams p{&store};
    fixture_t() { p.initSettings(); }
};

TEST(PresetFrame, RowsHelpAndStrip)
{
    fixture_t f;
    TThickness e(f.p);
    EXPECT_EQ(e.preferredClientSize().height(), presetLayout::rowTop(12) + 20 + 20);
    EXPECT_EQ(e.preferredClientSize().width(), presetLayout::rightPaneLeft + e.strip()->width());
    // Each row two pixels over the previous one's bottom.
    EXPECT_EQ(e.rowButton(1)->y(), 40);
    EXPECT_EQ(e.rowButton(2)->y(), 58);
    EXPECT_EQ(e.rowButton(12)->y(), 40 + 11 * 18);
    EXPECT_EQ(e.rowButton(3)->caption(), f.p.customWidths[2].name);
    EXPECT_TRUE(e.strip()->isHidden());
    EXPECT_EQ(e.helpText(1), QStringLiteral("Click on the line weight name in the left column to enter new values."));
    EXPECT_EQ(e.currentRow(), 0);

    e.chooseRow(4);
    EXPECT_FALSE(e.strip()->isHidden());
    EXPECT_EQ(e.currentRow(), 4);
    EXPECT_TRUE(e.helpText(2).contains(QStringLiteral("zero to remove")));
    // The help boxes move below the strip.
    EXPECT_GE(e.helpLabel(1)->y(), e.strip()->height());
    EXPECT_EQ(e.helpLabel(2)->y() - e.helpLabel(1)->y(), presetLayout::helpBoxGap);
    EXPECT_TRUE(e.helpLabel(2)->text().contains(QStringLiteral("<b><span style=\"color:#000000\">zero to remove")));
    EXPECT_FALSE(e.helpLabel(1)->text().contains(QStringLiteral("<b>")));

    // Choosing the current row again keeps what was typed.
    e.nameField->setText(QStringLiteral("typed"));
    e.chooseRow(4);
    EXPECT_EQ(e.nameField->text(), QStringLiteral("typed"));
}

TEST(WeightEditor, TypedRowSavedListedAndSelectedNext)
{
    fixture_t f;
    TThickness e(f.p);
    int saved = 0;
    e.onSaved = [&] { ++saved; };
    e.chooseRow(2);
    e.nameField->setText(QStringLiteral(" Hairline "));
    e.valueField->setText(QStringLiteral("0.1"));
    e.unitList->setCurrentIndex(1);  // Millimeters
    EXPECT_EQ(e.rowButton(2)->caption(), QStringLiteral("Hairline"));
    // Nothing reaches the settings before Save.
    EXPECT_NE(f.p.customWidths[1].name, QStringLiteral("Hairline"));
    EXPECT_TRUE(e.applyHosted());
    EXPECT_EQ(saved, 1);
    const settings::custThicknessRec_t& r = f.p.customWidths[1];
    EXPECT_EQ(r.name, QStringLiteral("Hairline"));
    EXPECT_EQ(r.units, 2);
    EXPECT_NEAR(r.value, 0.1, 1e-12);
    EXPECT_EQ(r.listed, 1);
    EXPECT_EQ(r.selectNext, 1);

    // Another row shown: its own texts in the fields, not the previous row's.
    e.chooseRow(1);
    EXPECT_EQ(e.nameField->text(), f.p.customWidths[0].name);
    EXPECT_EQ(e.valueField->text(), f.p.customWidths[0].valueText);
    EXPECT_EQ(e.unitList->currentIndex(), f.p.customWidths[0].units - 1);
}

TEST(WeightEditor, CancelLeavesTheSettings)
{
    fixture_t f;
    const settings::custThickness_t before = f.p.customWidths;
    {
        TThickness e(f.p);
        e.chooseRow(1);
        e.nameField->setText(QStringLiteral("Gone"));
        e.valueField->setText(QStringLiteral("0"));
        e.hostClosing();
    }
    EXPECT_EQ(f.p.customWidths, before);
}

TEST(PatternEditor, ColumnsHoldDashesAndSpaces)
{
    fixture_t f;
    TPatterns e(f.p);
    EXPECT_EQ(e.preferredClientSize().height(), 370);
    e.chooseRow(3);
    for (QLineEdit* s : e.segmentFields) s->clear();
    e.unitList->setCurrentIndex(1);
    e.segmentFields[0]->setText(QStringLiteral("2"));
    e.segmentFields[1]->setText(QStringLiteral("1"));
    // The space field sits beside its dash, the next dash below.
    EXPECT_EQ(e.segmentFields[0]->y(), e.segmentFields[1]->y());
    EXPECT_LT(e.segmentFields[0]->x(), e.segmentFields[1]->x());
    EXPECT_EQ(e.segmentFields[2]->x(), e.segmentFields[0]->x());
    EXPECT_GT(e.segmentFields[2]->y(), e.segmentFields[0]->y());
    EXPECT_EQ(e.rowAt(3).segmentText[1], QStringLiteral("1"));
    e.savePat();
    const settings::custPatternRec_t& r = f.p.customPatterns[2];
    EXPECT_EQ(r.listed, 1);
    EXPECT_EQ(r.count, 2);
    EXPECT_NEAR(r.segments[1], 1.0, 1e-12);
}

// Rows of the sample that hold ink in its middle column, and the dark runs along its middle row.
int inkRows(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y) n += qGray(img.pixel(img.width() / 2, y)) < 128;
    return n;
}
std::vector<int> darkRuns(const QImage& img)
{
    std::vector<int> runs;
    const int y = img.height() / 2;
    int run = 0;
    for (int x = 0; x < img.width(); ++x) {
        if (qGray(img.pixel(x, y)) < 128) ++run;
        else if (run) runs.push_back(std::exchange(run, 0));
    }
    if (run) runs.push_back(run);
    return runs;
}

TEST(WeightEditor, SampleShowsTheLineSaveWouldList)
{
    struct sampleCase {
        QString text;
        int32_t unitPosition;
        int32_t pixels;  // at 96 pixels per inch; 0 not listed
    };
    const sampleCase cases[] = {
        {QStringLiteral("2"), 1, 8},        // 7.56 px rounds up, not down to 7
        {QStringLiteral("0.1"), 1, 1},      // thinner than a pixel: still drawn
        {QStringLiteral("1/8\""), 1, 12},  // the inch mark wins over Millimeters
        {QStringLiteral("5"), 0, 5},        // pixels
        {QStringLiteral("0"), 1, 0},        // removed from the lists: nothing drawn
        {QStringLiteral("thin"), 1, 0},
    };
    fixture_t f;
    TThickness e(f.p);
    e.chooseRow(1);
    for (const sampleCase& c : cases) {
        e.unitList->setCurrentIndex(c.unitPosition);
        e.valueField->setText(c.text);
        // The renderer's own line of that many pixels.
        EXPECT_EQ(inkRows(e.sample()), inkRows(drawLineSample(c.pixels, 0.0, {}))) << c.text.toStdString();
        EXPECT_EQ(inkRows(e.sample()) == 0, c.pixels == 0) << c.text.toStdString();
    }
    // Heavier lines are thicker in the sample.
    EXPECT_LT(inkRows(drawLineSample(8, 0.0, {})), inkRows(drawLineSample(12, 0.0, {})));
}

TEST(PatternEditor, SampleWalksTheDashes)
{
    fixture_t f;
    TPatterns e(f.p);
    e.chooseRow(1);
    for (QLineEdit* s : e.segmentFields) s->clear();
    e.unitList->setCurrentIndex(0);  // pixels
    e.segmentFields[0]->setText(QStringLiteral("10"));
    e.segmentFields[1]->setText(QStringLiteral("5"));
    const std::vector<int> runs = darkRuns(e.sample());
    ASSERT_GE(runs.size(), 5u);
    // Whole dashes of ten pixels between the ends (the last may be cut short).
    for (size_t k = 1; k + 1 < runs.size(); ++k) EXPECT_EQ(runs[k], 10) << k;
    e.segmentFields[1]->setText(QStringLiteral("0"));  // not listed: no sample
    EXPECT_TRUE(darkRuns(e.sample()).empty());
}

TEST(PatternEditor, AbsurdLengthsDrawABoundedLine)
{
    // Lengths far beyond a page or far below a pixel are listed; the dash
    // walk then draws one solid stroke rather than run away or loop.
    const std::pair<const char*, const char*> cases[] = {{"1e9", "1"}, {"0.0001", "0.0001"}};
    for (auto [dash, space] : cases) {
        fixture_t f;
        TPatterns e(f.p);
        e.chooseRow(1);
        for (QLineEdit* s : e.segmentFields) s->clear();
        e.unitList->setCurrentIndex(1);
        e.segmentFields[0]->setText(QString::fromLatin1(dash));
        e.segmentFields[1]->setText(QString::fromLatin1(space));
        const std::vector<int> runs = darkRuns(e.sample());
        ASSERT_EQ(runs.size(), 1u) << dash;
        EXPECT_GT(runs[0], lineSampleWidth - 12) << dash;
    }
}

struct modeCase {
    int32_t mode;
    const char* valueLabel;
    bool unitsShown;
    const char* firstHelp;
};

TEST(DirectionEditor, ModesLabelsAndTables)
{
    const modeCase cases[] = {
        {directionModeLines, "Angle", true, "Click on the name in the left column to enter or change the angle."},
        {directionModeText, "Angle", true, "Click on the name in the left column to enter or change the angle."},
        {directionModeSizes, "Size", false, "Click on the name in the left column to enter or change the font size."},
    };
    for (const modeCase& c : cases) {
        fixture_t f;
        TDirections e(f.p, c.mode);
        EXPECT_EQ(e.valueLabel->text(), QString::fromLatin1(c.valueLabel));
        EXPECT_EQ(!e.unitList->isHidden(), c.unitsShown);
        EXPECT_EQ(e.helpText(1), QString::fromLatin1(c.firstHelp));
        e.chooseRow(5);
        e.nameField->setText(QStringLiteral("Mine"));
        e.valueField->setText(QStringLiteral("-90"));
        e.applyHosted();
        const settings::custDirectionRec_t& r = (*f.p.directionTable(directionTableOfMode(c.mode)))[4];
        EXPECT_EQ(r.name, QStringLiteral("Mine")) << c.mode;
        EXPECT_EQ(r.listed, 1) << c.mode;
        // An angle is brought into 0..360, a size taken as its absolute value.
        EXPECT_EQ(r.value, c.mode == directionModeSizes ? 90 : 270) << c.mode;
        // Only the table of the mode changed.
        for (int32_t other : {1, 31, 41})
            if (other != directionTableOfMode(c.mode)) {
                EXPECT_NE((*f.p.directionTable(other))[4].name, QStringLiteral("Mine"));
            }
    }
}

TEST(DirectionEditor, SizeModeKeepsTheRowsUnit)
{
    fixture_t f;
    f.p.customSizes[0].units = 2;
    TDirections e(f.p, directionModeSizes);
    e.chooseRow(1);
    e.unitList->setCurrentIndex(0);
    e.valueField->setText(QStringLiteral("13"));
    e.saveRows();
    EXPECT_EQ(f.p.customSizes[0].units, 2);
    EXPECT_EQ(f.p.customSizes[0].value, 13);
}

// ---- shadows ------------------------------------------------------------------

TEST(ShadowEditor, SliderListsANeverEditedRowUntilTheBoxIsCleared)
{
    fixture_t f;
    f.p.customShadows[6].listed = 0;
    f.p.customShadows[6].edited = 0;
    TShadow e(f.p);
    // Tall enough for the controls and both help boxes.
    EXPECT_GE(e.preferredClientSize().height(), e.strip()->height() + 2 * presetLayout::helpBoxGap);
    e.chooseRow(7);
    EXPECT_FALSE(e.listedBox->isChecked());
    EXPECT_EQ(e.rowAt(7).selectNext, 1);
    e.sliders[TShadow::elevationSlider]->setSliderDown(true);
    e.sliders[TShadow::elevationSlider]->setValue(170);
    // While dragging only the label follows.
    EXPECT_EQ(e.valueLabels[0]->text(), QStringLiteral("67%"));
    EXPECT_EQ(e.rowAt(7).listed, 0);
    e.sliders[TShadow::elevationSlider]->setSliderDown(false);
    e.sliderReleased();
    EXPECT_EQ(e.rowAt(7).elevation, 170);
    EXPECT_EQ(e.rowAt(7).listed, 1);
    EXPECT_TRUE(e.listedBox->isChecked());

    e.listedBox->click();  // cleared by the user
    EXPECT_EQ(e.rowAt(7).listed, 0);
    e.sliders[TShadow::fadeSlider]->setValue(10);  // not dragged: taken at once
    EXPECT_EQ(e.rowAt(7).fade, 10);
    EXPECT_EQ(e.rowAt(7).listed, 0);
    e.nameField->setText(QStringLiteral("Soft"));
    EXPECT_EQ(e.rowAt(7).listed, 0);
    EXPECT_EQ(e.listedBox->text(), QStringLiteral("Show 'Soft' in the shadows selection menu"));
}

TEST(ShadowEditor, PercentLabels)
{
    const std::pair<int, const char*> cases[] = {{0, "None"}, {1, "None"}, {2, "1%"}, {85, "33%"}, {255, "100%"}};
    for (auto [pos, text] : cases) EXPECT_EQ(shadowPercent(pos), QString::fromLatin1(text)) << pos;
}

TEST(ShadowEditor, OffsetFollowsTheElevation)
{
    const std::pair<int, int> cases[] = {{0, 0}, {85, 10}, {255, 30}, {4, 0}, {5, 1}};
    for (auto [e, px] : cases) EXPECT_EQ(shadowSampleOffset(e), px) << e;
}

// How dark the sample is at a pixel (0 white background, 765 black).
int darkness(const QImage& img, int x, int y)
{
    const QRgb c = img.pixel(x, y);
    return 765 - qRed(c) - qGreen(c) - qBlue(c);
}

TEST(ShadowEditor, SampleShadowFallsAwayFromTheLight)
{
    // No fade: the shadow is the square moved by 10 pixels, sharp.
    const int l = shadowSquareLeft, t = shadowSquareTop, r = l + shadowSquareSide - 1, b = t + shadowSquareSide - 1;
    struct lightCase {
        int32_t direction;
        QPoint shadowed, clear;
    };
    const lightCase cases[] = {
        {0, {r + 9, b + 9}, {l - 5, t - 5}},   // from top left: right and down
        {1, {l - 9, b + 9}, {r + 5, t - 5}},   // from top right: left and down
        {2, {r + 9, t - 9}, {l - 5, b + 5}},   // from bottom left: right and up
        {3, {l - 9, t - 9}, {r + 5, b + 5}},   // from bottom right: left and up
    };
    for (const lightCase& c : cases) {
        const QImage img = drawShadowSample(85, 0, 0, c.direction);
        ASSERT_EQ(img.size(), QSize(shadowSampleWidth, shadowSampleHeight));
        EXPECT_GT(darkness(img, c.shadowed.x(), c.shadowed.y()), 300) << c.direction;
        EXPECT_EQ(darkness(img, c.clear.x(), c.clear.y()), 0) << c.direction;
        // The square itself is blue on top of its shadow.
        EXPECT_EQ(img.pixel(l + 50, t + 50) & 0xFFFFFF, 0x0000FFu) << c.direction;
    }
    // Ten pixels, not eleven: the pixel just past the offset stays clear.
    const QImage down = drawShadowSample(85, 0, 0, 0);
    EXPECT_GT(darkness(down, r + 10, b + 10), 300);
    EXPECT_EQ(darkness(down, r + 11, b + 11), 0);
    // Elevation 0: no shadow at all.
    const QImage flat = drawShadowSample(0, 85, 85, 0);
    EXPECT_EQ(darkness(flat, r + 5, b + 5), 0);
}

TEST(ShadowEditor, LightBoxesExcludeEachOtherAndCancelKeepsTheDirection)
{
    fixture_t f;
    f.p.lgtdir = 1;
    const settings::custShadow_t before = f.p.customShadows;
    {
        TShadow e(f.p);
        EXPECT_TRUE(e.lightBoxes[1]->isChecked());
        e.lightBoxes[3]->click();
        EXPECT_EQ(e.lightDirection(), 3);
        for (int d = 0; d < 4; ++d) EXPECT_EQ(e.lightBoxes[d]->isChecked(), d == 3);
        e.lightBoxes[3]->click();  // a click on the ticked box keeps it
        EXPECT_TRUE(e.lightBoxes[3]->isChecked());
        e.chooseRow(2);
        e.nameField->setText(QStringLiteral("Changed"));
    }
    EXPECT_EQ(f.p.lgtdir, 1);
    EXPECT_EQ(f.p.customShadows, before);

    TShadow e(f.p);
    e.chooseLight(2);
    e.applyHosted();
    EXPECT_EQ(f.p.lgtdir, 2);
}

// ---- speed ----------------------------------------------------------------------

TEST(SpeedPanel, NoDocumentClearsTheBoxesAndApplyDoesNothing)
{
    Tspeed s{speedTarget_t{}};
    EXPECT_EQ(s.preferredClientSize(), QSize(461, 179));
    EXPECT_FALSE(s.pictures->isChecked());
    EXPECT_FALSE(s.shadows->isChecked());
    EXPECT_FALSE(s.threeD->isChecked());
    s.shadows->click();
    EXPECT_TRUE(s.applyHosted());  // nothing to call: no crash
}

TEST(SpeedPanel, AppliesOnlyWhatChanged)
{
    struct speedCase {
        const char* name;
        std::array<bool, 3> clicks;  // pictures, shadows, 3-D
        int calls;
    };
    const speedCase cases[] = {
        {"Unchanged", {false, false, false}, 0},
        {"OnlyShadows", {false, true, false}, 1},
        {"TickedTwiceIsUnchanged", {false, false, false}, 0},
        {"AllThree", {true, true, true}, 1},
    };
    for (const speedCase& c : cases) {
        int calls = 0;
        std::array<bool, 3> got{true, true, true};
        speedTarget_t t;
        t.present = true;
        t.apply = [&](bool p, bool s, bool d) {
            ++calls;
            got = {p, s, d};
        };
        Tspeed s(t);
        EXPECT_TRUE(s.pictures->isChecked() && s.shadows->isChecked() && s.threeD->isChecked()) << c.name;
        QCheckBox* boxes[3] = {s.pictures, s.shadows, s.threeD};
        for (int k = 0; k < 3; ++k)
            if (c.clicks[k]) boxes[k]->click();
        if (std::string(c.name) == "TickedTwiceIsUnchanged") {
            s.shadows->click();
            s.shadows->click();
        }
        s.applySpeed();
        EXPECT_EQ(calls, c.calls) << c.name;
        for (int k = 0; k < 3; ++k) EXPECT_EQ(got[k], !c.clicks[k]) << c.name << k;
    }
}

TEST(SpeedPanel, HelpFollowsTheMouse)
{
    Tspeed s{speedTarget_t{}};
    EXPECT_EQ(s.helpShown(), 0);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(s.shadows, &enter);
    EXPECT_EQ(s.helpText(), QStringLiteral("The software does not paint the shadows when this option is unchecked."));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(s.shadows, &leave);
    EXPECT_EQ(s.helpShown(), 0);
}

} // namespace
