// The page setup panel: which page it opens on, the fields per design type
// and unit, editing (orientation swap, unit switching, matching), the sample,
// and "Apply" to a document and to the settings for new files.
#include "ui/pagesetup.h"

#include "canvas/host_stub.h"
#include "canvas/shellparams.h"
#include "ui/designchooser.h"
#include "settings/pagepresets.h"
#include "testnames.h"
#include "ui/pagesample.h"

#include <QCoreApplication>
#include <QListWidget>

#include <gtest/gtest.h>

#include <QTest>

using namespace ui;

namespace {

struct fieldsCase {
    const char* name;
    int32_t type, unit;
    std::vector<std::pair<QString, int32_t>> shown;  // label, measure; in field order
    bool folds;
};
void PrintTo(const fieldsCase& c, std::ostream* os) { *os << c.name; }

class PageFields : public ::testing::TestWithParam<fieldsCase> {};

TEST_P(PageFields, LabelsAndMeasures)
{
    const fieldsCase& c = GetParam();
    const auto f = pageFieldsOf(c.type, c.unit);
    std::vector<std::pair<QString, int32_t>> shown;
    for (const pageField_t& x : f)
        if (x.measure) shown.emplace_back(QString::fromUtf8(x.label), x.measure);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(foldBoxesShown(c.type, c.unit), c.folds);
}

INSTANTIATE_TEST_SUITE_P(
    Types, PageFields,
    ::testing::Values(
        fieldsCase{"PixelsShowOnlyTheImage", 4, 1, {{"Image width", 1}, {"Image height", 2}}, false},
        fieldsCase{"IllustrationsPaperAndFourMargins", 1, 2,
                   {{"Paper width", 1}, {"Paper height", 2}, {"Left margin", 5}, {"Top margin", 6},
                    {"Right margin", 7}, {"Bottom margin", 8}}, false},
        fieldsCase{"LabelsNameTheirSize", 5, 3,
                   {{"Paper width", 1}, {"Paper height", 2}, {"Label width", 3}, {"Label height", 4},
                    {"Left margin", 5}, {"Top margin", 6}, {"Rows", 9}, {"Columns", 10}, {"Row gap", 11},
                    {"Column gap", 12}}, true},
        fieldsCase{"BrochuresBottomBeforeRight", 10, 2,
                   {{"Paper width", 1}, {"Paper height", 2}, {"Brochure width", 3}, {"Brochure height", 4},
                    {"Left margin", 5}, {"Top margin", 6}, {"Bottom margin", 8}, {"Right margin", 7},
                    {"Rows", 9}, {"Columns", 10}}, true},
        fieldsCase{"JewelCaseSheetWithGrid", 7, 2,
                   {{"Paper width", 1}, {"Paper height", 2}, {"Left margin", 5}, {"Top margin", 6},
                    {"Right margin", 7}, {"Bottom margin", 8}, {"Rows", 9}, {"Columns", 10}, {"Row gap", 11},
                    {"Column gap", 12}}, true}),
    testnames::byName{});

// ---- the panel ----

class PagePanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<canvas::TSandbox>(&host);
        window->resize(800, 600);
        ASSERT_TRUE(window->openDocument(7, QString()));
    }
    std::unique_ptr<TPage> panelFor(canvas::TSandbox* doc)
    {
        ui::pageSetupTarget_t target;
        if (doc) {
            target.header = doc->header();
            target.apply = [doc](const page::pageset_t& s, int32_t type) { doc->applyPageSetup(s, type, true); };
        }
        auto p = std::make_unique<TPage>(params, std::move(target), nullptr);
        p->resize(p->preferredClientSize());
        return p;
    }
    // Types into a visible field by its label.
    static void type(TPage& p, const QString& label, const QString& text)
    {
        for (int i = 0; i < 10; ++i)
            if (!p.labels[i]->isHidden() && p.labels[i]->text() == label) {
                p.fields[i]->setText(text);
                return;
            }
        ADD_FAILURE() << "no field " << label.toStdString();
    }
    static QString shown(TPage& p, const QString& label)
    {
        for (int i = 0; i < 10; ++i)
            if (!p.labels[i]->isHidden() && p.labels[i]->text() == label) return p.fields[i]->text();
        return QStringLiteral("<hidden>");
    }
    settings::TParams params{nullptr};
    recordingHost_t host;
    std::unique_ptr<canvas::TSandbox> window;
};

TEST_F(PagePanel, OpensOnTheChooserOnlyWithoutADesignType)
{
    window->header()->hdr().designType = 0;
    auto p = panelFor(window.get());
    EXPECT_TRUE(p->onChooser());
    // Choosing a type goes to its dimensions page after 200 ms.
    p->chooser->button(4)->click();
    EXPECT_TRUE(p->onChooser());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !p->onChooser(); }, 2000));
    EXPECT_EQ(p->designType(), 4);

    window->header()->hdr().designType = -4;  // readers take the absolute value
    EXPECT_FALSE(panelFor(window.get())->onChooser());
    EXPECT_EQ(panelFor(window.get())->designType(), 4);
}

TEST_F(PagePanel, DocumentsOwnSetupIsShown)
{
    auto& h = window->header()->hdr();
    h.designType = 1;
    h.unit = 3;
    h.pageOrientation = page::landscape;
    page::miry_t typed;
    typed.paperWidth = "11";
    typed.paperHeight = "8 1/2";
    model::setText(window->header(), page::pageTextsOf(typed));
    auto p = panelFor(window.get());
    EXPECT_EQ(shown(*p, "Paper width"), "11");
    EXPECT_EQ(shown(*p, "Paper height"), "8 1/2");
    EXPECT_TRUE(p->landscapeBox->isChecked());
    EXPECT_FALSE(p->portraitBox->isChecked());
    EXPECT_EQ(p->unitList->currentText(), "Inches");
}

// A document made with the new-files type can become another type: the
// dimensions page names its type and goes back to the chooser, and Apply
// gives the document the type chosen there.
TEST_F(PagePanel, TheCurrentFileCanTakeAnotherDesignType)
{
    window->header()->hdr().designType = 1;
    auto p = panelFor(window.get());
    ASSERT_FALSE(p->onChooser());
    EXPECT_EQ(p->designTypeLabel->text(), page::designTypeName(1));
    p->designTypeButton->click();
    ASSERT_TRUE(p->onChooser());
    EXPECT_FALSE(p->applyHosted());  // nothing to apply from the chooser
    for (const int32_t type : {4, 2}) {
        SCOPED_TRACE(type);
        p->designTypeButton->click();
        p->chooser->button(type)->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !p->onChooser(); }, 2000));
        EXPECT_EQ(p->designType(), type);
        EXPECT_EQ(p->designTypeLabel->text(), page::designTypeName(type));
        ASSERT_TRUE(p->applyHosted());
        EXPECT_EQ(page::designTypeOf(window->header()->hdr().designType), type);
    }
}

TEST_F(PagePanel, GapsShowZeroRatherThanBlankInEveryUnit)
{
    auto p = panelFor(nullptr);
    int gapsSeen = 0;
    for (int32_t type = 1; type <= 11; ++type) {
        p->chooseType(type);
        for (int unit : {1, 2}) {  // Millimeters, Inches
            p->unitList->setCurrentIndex(unit);
            for (const char* gap : {"Row gap", "Column gap"}) {
                const QString text = shown(*p, QString::fromLatin1(gap));
                if (text == QStringLiteral("<hidden>")) continue;
                ++gapsSeen;
                EXPECT_FALSE(text.trimmed().isEmpty()) << "type " << type << " unit " << unit << " " << gap;
            }
        }
    }
    EXPECT_GT(gapsSeen, 0);
}

// Every preset name shows whole in its row (wrapped if it must), for
// every design type and unit: never cut off at the list's edge.
TEST_F(PagePanel, QuickSelectNamesAreNeverCutOff)
{
    auto p = panelFor(nullptr);
    p->show();
    int rows = 0;
    for (int32_t type = 1; type <= 11; ++type) {
        p->chooseType(type);
        for (int unit : {0, 1, 2}) {
            p->unitList->setCurrentIndex(unit);
            QCoreApplication::processEvents();
            QListWidget* list = p->quickSelect;
            const int room = list->viewport()->width();
            for (int r = 0; r < list->count(); ++r) {
                QListWidgetItem* item = list->item(r);
                const QRect cell = list->visualItemRect(item);
                const QRect needed = list->fontMetrics().boundingRect(QRect(0, 0, std::max(cell.width() - 4, 1), 10000),
                                                                      Qt::TextWordWrap, item->text());
                ++rows;
                EXPECT_LE(cell.right(), room) << item->text().toStdString();
                EXPECT_GE(cell.height() + 2, needed.height()) << "type " << type << ": " << item->text().toStdString();
                EXPECT_EQ(item->toolTip(), item->text());
            }
        }
    }
    EXPECT_GT(rows, 0);
}

TEST_F(PagePanel, UnitSwitchingKeepsEachUnitsValues)
{
    auto p = panelFor(nullptr);
    p->chooseType(1);
    p->unitList->setCurrentIndex(1);  // Millimeters
    type(*p, "Paper width", "300");
    p->unitList->setCurrentIndex(2);  // Inches
    EXPECT_EQ(shown(*p, "Paper width"), params.pageSets[0].measuresOf(3).paperWidth);
    type(*p, "Paper width", "9");
    p->unitList->setCurrentIndex(0);  // Pixels
    EXPECT_EQ(shown(*p, "Image width"), "350");
    p->unitList->setCurrentIndex(1);
    EXPECT_EQ(shown(*p, "Paper width"), "300");
    p->unitList->setCurrentIndex(2);
    EXPECT_EQ(shown(*p, "Paper width"), "9");
}

TEST_F(PagePanel, LandscapeExchangesThePairsOfTheCurrentUnitOnly)
{
    auto p = panelFor(nullptr);
    p->chooseType(4);
    p->unitList->setCurrentIndex(1);
    const page::miry_t inchesBefore = p->store().measuresOf(3);
    for (auto [label, text] : std::vector<std::pair<QString, QString>>{
             {"Paper width", "210"}, {"Paper height", "297"}, {"Card width", "105"}, {"Card height", "148"},
             {"Left margin", "26"}, {"Top margin", "25"}, {"Rows", "4"}, {"Columns", "2"}})
        type(*p, label, text);
    p->columnFoldBox->setChecked(true);
    p->landscapeBox->click();
    EXPECT_TRUE(p->landscapeBox->isChecked());
    EXPECT_FALSE(p->portraitBox->isChecked());
    const std::vector<std::pair<QString, QString>> after{
        {"Paper width", "297"}, {"Paper height", "210"}, {"Card width", "148"}, {"Card height", "105"},
        {"Left margin", "25"}, {"Top margin", "26"}, {"Rows", "2"}, {"Columns", "4"}};
    for (auto [label, text] : after) EXPECT_EQ(shown(*p, label), text) << label.toStdString();
    EXPECT_TRUE(p->rowFoldBox->isChecked());
    EXPECT_FALSE(p->columnFoldBox->isChecked());
    EXPECT_EQ(p->store().measuresOf(3), inchesBefore);
    // A click on the box already ticked changes nothing.
    p->landscapeBox->click();
    EXPECT_TRUE(p->landscapeBox->isChecked());
    EXPECT_EQ(shown(*p, "Paper width"), "297");
}

TEST_F(PagePanel, QuickSelectFollowsTypingAndPresetsFillTheFields)
{
    auto p = panelFor(nullptr);
    p->chooseType(1);
    p->unitList->setCurrentIndex(1);
    p->quickSelect->setCurrentRow(3);  // A3
    EXPECT_EQ(shown(*p, "Paper width"), "297");
    EXPECT_EQ(shown(*p, "Left margin"), "7");
    type(*p, "Paper width", "297");
    type(*p, "Paper height", "210");  // A4 turned
    EXPECT_EQ(p->quickSelect->currentRow(), 4);
    EXPECT_EQ(p->store().measuresOf(2).presetIndex, 4);
    type(*p, "Paper height", "211");
    EXPECT_EQ(p->quickSelect->currentRow(), -1);
    EXPECT_EQ(p->store().measuresOf(2).presetIndex, -1);
}

TEST_F(PagePanel, ApplyMakesTheCanvasOneCardInTheNewUnit)
{
    auto& before = window->header()->hdr();
    before.designType = 0;
    before.canvasLeft = 1;  // inch
    geometry::computeCanvasPixels(window->header());
    const int32_t leftPx = window->header()->x1;
    ASSERT_EQ(leftPx, 96);
    // An item far outside the card the canvas becomes.
    model::item_t* line = model::newItem(window->items(), model::typeLine);
    line->x1 = 150, line->y1 = 160, line->x2 = 900, line->y2 = 1000;
    const int32_t records = model::countItems(window->items());
    auto p = panelFor(window.get());
    p->chooseType(4);
    p->unitList->setCurrentIndex(2);
    p->quickSelect->setCurrentRow(1);  // Business Cards, 10 per page
    p->unitList->setCurrentIndex(1);
    p->unitList->setCurrentIndex(2);
    p->landscapeBox->click();  // the card turns: 2 × 3 1/2
    p->unitList->setCurrentIndex(1);
    p->quickSelect->setCurrentRow(1);  // A8, 10 per page: 74 × 52 mm, portrait
    ASSERT_TRUE(p->applyHosted());
    const auto& h = window->header()->hdr();
    EXPECT_EQ(h.designType, 4);
    EXPECT_EQ(h.unit, 2);
    EXPECT_DOUBLE_EQ(h.canvasWidth, 74);
    EXPECT_DOUBLE_EQ(h.canvasHeight, 52);
    EXPECT_EQ(window->header()->x1, leftPx);  // the origin stays where it was
    EXPECT_TRUE(window->isModified());
    EXPECT_GT(host.editStates, 0);
    // Nothing moves or goes: the item keeps its place on the page.
    EXPECT_EQ(model::countItems(window->items()), records);
    EXPECT_EQ(QRect(QPoint(line->x1, line->y1), QPoint(line->x2, line->y2)), QRect(QPoint(150, 160), QPoint(900, 1000)));
    EXPECT_FALSE(line->hidden);
}

TEST_F(PagePanel, ApplyForNewFilesStoresTheSettingsAndNewDocumentsTakeThem)
{
    auto p = panelFor(nullptr);
    EXPECT_TRUE(p->onChooser());
    p->chooseType(3);
    p->unitList->setCurrentIndex(1);
    p->quickSelect->setCurrentRow(0);  // greeting cards 105 × 148, column fold
    ASSERT_TRUE(p->applyHosted());
    EXPECT_EQ(params.pspage, 3);
    EXPECT_EQ(params.newFile.units, 2);

    canvas::setParams(&params);
    canvas::TSandbox fresh(&host);
    fresh.resize(800, 600);
    ASSERT_TRUE(fresh.openDocument(9, QString()));
    canvas::setParams(nullptr);
    const auto& h = fresh.header()->hdr();
    EXPECT_EQ(h.designType, 3);
    EXPECT_DOUBLE_EQ(h.canvasWidth, 210);
    EXPECT_DOUBLE_EQ(h.canvasHeight, 148);
    EXPECT_FALSE(fresh.isModified());
}

// ---- the sample ----

struct sampleCase {
    const char* name;
    int32_t type, unit;
    std::function<void(page::miry_t&)> fill;
    sampleResult_t result;
    QSize size;                  // picture size (pixels: actual size)
    std::vector<QPoint> red, grey;  // probes
};
void PrintTo(const sampleCase& c, std::ostream* os) { *os << c.name; }

class PageSample : public ::testing::TestWithParam<sampleCase> {};

TEST_P(PageSample, Drawing)
{
    const sampleCase& c = GetParam();
    page::pageset_t s;
    s.unit = c.unit;
    c.fill(s.measuresOf(c.unit));
    QImage img;
    ASSERT_EQ(drawPageSample(img, s, c.type, QSize(400, 400), false), c.result);
    if (c.result != sampleResult_t::drawn) return;
    EXPECT_EQ(img.size(), c.size);
    for (QPoint q : c.red) EXPECT_EQ(QColor(img.pixel(q)), sampleRed) << q.x() << "," << q.y();
    for (QPoint q : c.grey) EXPECT_EQ(QColor(img.pixel(q)), sampleGrey) << q.x() << "," << q.y();
}

// 400 × 400 area: a 200 × 400 mm paper is scaled by 0.9 (360 high, 180 wide)
// and starts at (110, 20); a measure of 10 mm is 9 pixels.
INSTANTIATE_TEST_SUITE_P(
    Cases, PageSample,
    ::testing::Values(
        sampleCase{"IllustrationMarginsInRed", 1, 2,
                   [](page::miry_t& m) { m.paperWidth = "200", m.paperHeight = "400", m.marginLeft = "10",
                                         m.marginTop = "20"; },
                   sampleResult_t::drawn, QSize(400, 400), {{119, 200}, {200, 38}}, {}},
        sampleCase{"FirstCardRedOthersGrey", 4, 2,
                   [](page::miry_t& m) { m.paperWidth = "200", m.paperHeight = "400", m.cardWidth = "100",
                                         m.cardHeight = "100", m.rows = "2", m.columns = "2"; },
                   sampleResult_t::drawn, QSize(400, 400), {{150, 20}, {110, 60}}, {{250, 20}, {110, 150}}},
        sampleCase{"ColumnFoldJoinsTheSecondCard", 3, 2,
                   [](page::miry_t& m) { m.paperWidth = "200", m.paperHeight = "400", m.cardWidth = "100",
                                         m.cardHeight = "100", m.rows = "2", m.columns = "2", m.columnFold = 1; },
                   sampleResult_t::drawn, QSize(400, 400), {{150, 20}, {250, 20}}, {{150, 110}}},
        sampleCase{"InchesConvertedToMillimetres", 1, 3,
                   [](page::miry_t& m) { m.paperWidth = "5", m.paperHeight = "10", m.marginLeft = "1/2"; },
                   sampleResult_t::drawn, QSize(400, 400), {{128, 200}}, {}},
        sampleCase{"PixelsAtActualSize", 9, 1,
                   [](page::miry_t& m) { m.paperWidth = "728", m.paperHeight = "90"; },
                   sampleResult_t::drawn, QSize(729, 91), {}, {}},
        sampleCase{"UnparseablePaperKeepsTheLastPicture", 1, 3,
                   [](page::miry_t& m) { m.paperWidth = "3/0", m.paperHeight = "11"; }, sampleResult_t::keepLast,
                   {}, {}, {}},
        sampleCase{"ZeroPaperHidesTheSample", 1, 2,
                   [](page::miry_t& m) { m.paperWidth = "0", m.paperHeight = "297"; }, sampleResult_t::hidden,
                   {}, {}, {}}),
    testnames::byName{});

} // namespace

namespace {

// The host lays its panel out after the first sample was drawn: a new size
// draws the sample again to fit, instead of leaving a tiny one in the corner.
TEST(PageSampleView, DrawsAgainToFitWhenResized)
{
    page::pageset_t s;
    s.unit = 2;
    page::miry_t& m = s.measuresOf(2);
    m.paperWidth = QStringLiteral("200");
    m.paperHeight = QStringLiteral("400");
    ui::pageSampleView_t view(nullptr);
    view.resize(120, 120);
    view.show();
    QCoreApplication::processEvents();
    view.redraw(s, 1);
    const int small = view.picture().height();
    view.resize(420, 420);
    QCoreApplication::processEvents();
    EXPECT_GT(view.picture().height(), small * 2);
}

} // namespace
