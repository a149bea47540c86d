// The text panel: the font list and the character sets a font covers, every
// control reaching the selected texts as one undoable step or the text
// being typed through the defaults, the selection summary with its mixed
// values, the character set remembered per font, the refit after a smaller
// size, the weight slider and bold button, "Any angle", the hints of each
// mode and the tab kept in the settings.
#include "canvas/selection_support.h"

#include "canvas/attributes.h"
#include "canvas/creation.h"
#include "canvas/modes.h"
#include "canvas/selectionedit.h"
#include "canvas/textediting.h"
#include "panels/fontlist.h"
#include "panels/namelist.h"

#include <QFont>
#include <QFontInfo>
#include <QImage>
#include "panels/panelparts.h"
#include "panels/picklistwidget.h"
#include "panels/stylebuttons.h"
#include "panels/textpanel.h"
#include "render/text.h"
#include "testnames.h"
#include "ui/panelcodes.h"

#include "panelhost_fake.h"

#include <QComboBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QSlider>
#include <QTest>

#include <functional>
#include <ostream>

using namespace seltest;
using panels::TTextbox;
using QWS = QFontDatabase;

namespace {

// ---------------------------------------------------------------- font list

constexpr uint32_t latinPages = 0x1 | 0x2 | 0x10 | 0x80;
constexpr uint32_t bit(int32_t n) { return uint32_t(1) << n; }

TEST(FontList, KeepsStorableNamesOnceSortedWithTheirCodePages)
{
    const QString name32(32, QLatin1Char('N')), name33(33, QLatin1Char('N'));
    const std::vector<panels::installedFamily_t> families{
        {QStringLiteral("Zeta"), {QWS::Latin}},
        {QStringLiteral("Alpha"), {QWS::Greek, QWS::Cyrillic}},
        {QStringLiteral("Zeta"), {QWS::Japanese}},  // the same family from a second foundry
        {name33, {QWS::Latin}},
        {name32, {QWS::Hebrew, QWS::Arabic, QWS::Thai}},
        {QStringLiteral("\u65B0\u5B8B\u4F53"), {QWS::SimplifiedChinese}},  // cannot be stored in single bytes
        {QStringLiteral("Beta"), {QWS::Korean, QWS::TraditionalChinese, QWS::Vietnamese}},
    };
    const std::vector<settings::fontEntry_t> list = panels::makeFontList(families);
    const std::vector<std::pair<QString, uint32_t>> expected{
        {QStringLiteral("Alpha"), bit(2) | bit(3)},
        {QStringLiteral("Beta"), bit(19) | bit(20)},
        {name32, bit(5) | bit(6) | bit(16)},
        {QStringLiteral("Zeta"), latinPages | bit(17)},
    };
    ASSERT_EQ(list.size(), expected.size());
    for (size_t k = 0; k < list.size(); ++k) {
        EXPECT_EQ(list[k].name, expected[k].first) << k;
        EXPECT_EQ(list[k].codePages, expected[k].second) << list[k].name.toStdString();
        EXPECT_EQ(list[k].lastCharset, 0);
    }
}

TEST(FontList, FindsNamesWithoutRegardToCaseTheLastEqualEntryWinning)
{
    const std::vector<settings::fontEntry_t> list{{QStringLiteral("Mono"), 1, 0},
                                                  {QStringLiteral("Serif"), 1, 0},
                                                  {QStringLiteral("SERIF"), 1, 0}};
    EXPECT_EQ(panels::findFont(list, QStringLiteral("mono")), 0);
    EXPECT_EQ(panels::findFont(list, QStringLiteral("serif")), 2);
    EXPECT_EQ(panels::findFont(list, QStringLiteral("Serif ")), -1);
}

struct charsetCase_t {
    const char* name;
    uint32_t codePages;
    std::vector<int32_t> codes;
};
void PrintTo(const charsetCase_t& c, std::ostream* os) { *os << c.name; }

class CharacterSets : public ::testing::TestWithParam<charsetCase_t> {};

TEST_P(CharacterSets, OfferNoneFirstThenTheCoveredSetsInListOrder)
{
    const charsetCase_t& c = GetParam();
    EXPECT_EQ(panels::charsetCodes(c.codePages), c.codes);
    for (int32_t code : c.codes) EXPECT_FALSE(panels::charsetName(code).isEmpty()) << code;
}

INSTANTIATE_TEST_SUITE_P(Cases, CharacterSets,
                         ::testing::Values(charsetCase_t{"NothingCovered", 0, {0}},
                                           charsetCase_t{"LatinFamily", latinPages, {0, 1, 238, 162, 186}},
                                           charsetCase_t{"JapaneseBeforeThai", bit(16) | bit(17), {0, 128, 222}},
                                           charsetCase_t{"OtherBitsAddNothing", bit(8) | bit(31) | bit(3), {0, 161}},
                                           charsetCase_t{"EastAsian", bit(18) | bit(19) | bit(20), {0, 134, 129, 136}}),
                         testnames::byName());

// ---------------------------------------------------------------- the panel on a window

// The text settings a test may change, put back afterwards.
struct savedTextSettings_t {
    settings::TParams& p = canvas::params();
    int32_t tcolor = p.tcolor, tcharset = p.tcharset, tsize = p.tsize, tsizetab = p.tsizetab, tbold = p.tbold;
    QString tfont = p.tfont;
    std::array<uint8_t, 4> toptions = p.toptions;
    int32_t tangle = p.tangle, tangletab = p.tangletab, tdir = p.tdir, txplas = p.txplas, textTab = p.textTab;
    settings::shadowTriple_t shtext = p.shtext;
    std::vector<settings::fontEntry_t> fontList = p.fontList;
    ~savedTextSettings_t()
    {
        p.tcolor = tcolor, p.tcharset = tcharset, p.tsize = tsize, p.tsizetab = tsizetab, p.tbold = tbold;
        p.tfont = tfont, p.toptions = toptions, p.tangle = tangle, p.tangletab = tangletab, p.tdir = tdir;
        p.txplas = txplas, p.textTab = textTab, p.shtext = shtext, p.fontList = fontList;
    }
};

const QString alpha = QStringLiteral("Alpha Sans");
const QString beta = QStringLiteral("Beta Serif");

item_t* addText(model::itemList_t& l, point_t a, point_t b, const QString& font = alpha, int32_t colour = 0,
                int32_t size = 12)
{
    item_t* it = model::newItem(l, model::typeText);
    canvas::applyTextItemDefaults(it, canvas::params());
    model::setFontName(it, font.toStdString());
    it->textColor = colour;
    it->fontSize = size;
    model::setText(it, u"Panel");
    render::setTextBaseline(it, a, b);
    render::fitTextBox(it, false, 1.0);
    model::recordNew(l, it);
    return it;
}

// As the user picks an entry.
void choose(QComboBox* list, int32_t index)
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}

int32_t charsetIndex(const TTextbox& t, int32_t code)
{
    const std::vector<int32_t>& m = t.charsetMapping();
    const auto at = std::find(m.begin(), m.end(), code);
    return at == m.end() ? -1 : int32_t(at - m.begin());
}

class TextPanelTest : public WindowTest {
protected:
    savedTextSettings_t saved;
    fakePanelHost_t panelHost;

    void SetUp() override
    {
        WindowTest::SetUp();
        panelHost.doc = w.get();
        settings::TParams& p = canvas::params();
        p.fontList = panels::makeFontList({{alpha, {QWS::Latin}}, {beta, {QWS::Latin, QWS::Cyrillic, QWS::Japanese}}});
        p.tfont = alpha;
        p.tcharset = 0;
        p.tcolor = 0;
        p.tsize = 12;
        p.tsizetab = 4;
        p.tbold = 400;
        p.toptions = {0, 0, 0, 1};
        p.tangle = -10;
        p.tangletab = 0;
        p.tdir = -1;
        p.txplas = 0;
        p.shtext = {};
        p.textTab = 1;
    }

    std::unique_ptr<TTextbox> panel(int32_t code)
    {
        auto t = std::make_unique<TTextbox>(code, panelHost);
        t->resize(120, 600);
        t->show();
        return t;
    }

    // A text started with the text tool and being typed.
    item_t* typeText()
    {
        w->selectTool(canvas::toolText);
        click({300, 300});
        w->FormKeyPress(QStringLiteral("Typed"));
        item_t* it = model::singleSelected(items());
        EXPECT_TRUE(it && w->textEditor().typing());
        return it;
    }
};

// ---------------------------------------------------------------- every control

struct controlCase_t {
    const char* name;
    std::function<void(TTextbox&)> use;
    std::function<int32_t(const item_t*)> field;
    std::function<int32_t(const settings::TParams&)> setting;
    int32_t expected;
    bool step;  // a side-panel step is recorded
};
void PrintTo(const controlCase_t& c, std::ostream* os) { *os << c.name; }

const controlCase_t controlCases[] = {
    {"RedColour", [](TTextbox& t) { choose(t.colourList(), 9); }, [](const item_t* it) { return it->textColor; },
     [](const settings::TParams& p) { return p.tcolor; }, 0x0000FF, true},
    {"FontName", [](TTextbox& t) { choose(t.nameList(), 1); },
     [](const item_t* it) { return int32_t(QString::fromStdString(model::fontNameOf(it)) == beta); },
     [](const settings::TParams& p) { return int32_t(p.tfont == beta); }, 1, true},
    {"CentralEuropeanCharset", [](TTextbox& t) { choose(t.charsetList(), charsetIndex(t, 238)); },
     [](const item_t* it) { return it->fontCharset; }, [](const settings::TParams& p) { return p.tcharset; }, 238, true},
    {"Size24", [](TTextbox& t) { choose(t.sizeList(), 10); }, [](const item_t* it) { return it->fontSize; },
     [](const settings::TParams& p) { return p.tsize; }, 24, true},
    {"SemiboldFromTheList", [](TTextbox& t) { choose(t.weightList(), 5); }, [](const item_t* it) { return it->fontWeight; },
     [](const settings::TParams& p) { return p.tbold; }, 600, false},
    {"SliderAtThree", [](TTextbox& t) { t.weightSlider()->setValue(3); }, [](const item_t* it) { return it->fontWeight; },
     [](const settings::TParams& p) { return p.tbold; }, 300, false},
    {"BoldButton", [](TTextbox& t) { t.boldButton()->press(); }, [](const item_t* it) { return it->fontWeight; },
     [](const settings::TParams& p) { return p.tbold; }, 700, false},
    {"ItalicButton", [](TTextbox& t) { t.styleButton(1)->press(); }, [](const item_t* it) { return int32_t(it->fontItalic); },
     [](const settings::TParams& p) { return int32_t(p.toptions[0]); }, 1, false},
    {"UnderlineButton", [](TTextbox& t) { t.styleButton(2)->press(); },
     [](const item_t* it) { return int32_t(it->fontUnderline); }, [](const settings::TParams& p) { return int32_t(p.toptions[1]); },
     1, false},
    {"StrikeoutButton", [](TTextbox& t) { t.styleButton(3)->press(); },
     [](const item_t* it) { return int32_t(it->fontStrikeout); }, [](const settings::TParams& p) { return int32_t(p.toptions[2]); },
     1, false},
    {"CentreJustified", [](TTextbox& t) { t.justifyButton(2)->press(); },
     [](const item_t* it) { return int32_t(it->justification); }, [](const settings::TParams& p) { return int32_t(p.toptions[3]); },
     2, false},
    {"RightJustified", [](TTextbox& t) { t.justifyButton(3)->press(); },
     [](const item_t* it) { return int32_t(it->justification); }, [](const settings::TParams& p) { return int32_t(p.toptions[3]); },
     3, false},
    {"VerticalAngle", [](TTextbox& t) { choose(t.angleList(), 2); }, [](const item_t* it) { return it->textDirection; },
     [](const settings::TParams& p) { return p.tdir; }, 90, true},
    {"RoundSurface", [](TTextbox& t) { choose(t.surfaceList(), 1); }, [](const item_t* it) { return int32_t(it->surface); },
     [](const settings::TParams& p) { return p.txplas; }, 127, false},
    {"MediumShadow", [](TTextbox& t) { choose(t.shadowList(), 2); },
     [](const item_t* it) { return int32_t(it->shadowElevation); },
     [](const settings::TParams& p) { return int32_t(p.shtext.elevation); }, 50, false},
};

class TextControl : public TextPanelTest, public ::testing::WithParamInterface<controlCase_t> {};

TEST_P(TextControl, ChangesTheSelectedTextAsOneUndoableStep)
{
    const controlCase_t& c = GetParam();
    item_t* text = addText(items(), {100, 200}, {200, 200});
    select(items(), {text});
    w->repaintAll(false);
    const int32_t before = c.field(text);
    ASSERT_NE(before, c.expected);
    auto t = panel(ui::panelText);
    ASSERT_FALSE(t->toolMode());
    c.use(*t);
    EXPECT_EQ(c.field(current(items(), text)), c.expected);
    EXPECT_EQ(panelHost.steps, c.step ? std::vector<int32_t>{ui::panelText} : std::vector<int32_t>{});
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(current(items(), text), text);
    EXPECT_EQ(c.field(text), before);
}

TEST_P(TextControl, WithTheTextToolSetsTheDefaultAndTheTextBeingTyped)
{
    const controlCase_t& c = GetParam();
    item_t* typed = typeText();
    ASSERT_NE(typed, nullptr);
    auto t = panel(ui::panelNextText);
    ASSERT_TRUE(t->toolMode());
    c.use(*t);
    EXPECT_EQ(c.setting(canvas::params()), c.expected);
    EXPECT_EQ(c.field(current(items(), typed)), c.expected);
    EXPECT_TRUE(w->textEditor().typing());
    EXPECT_EQ(panelHost.steps, c.step ? std::vector<int32_t>{ui::panelNextText} : std::vector<int32_t>{});
}

TEST_P(TextControl, NothingSelectedMakesNoHistoryStep)
{
    addText(items(), {100, 200}, {200, 200});
    model::deselectAll(items());
    const int32_t count = model::countItems(items());
    auto t = panel(ui::panelText);
    GetParam().use(*t);
    EXPECT_EQ(model::countItems(items()), count);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextControl, ::testing::ValuesIn(controlCases), testnames::byName());

// ---------------------------------------------------------------- the summary and the lists

TEST_F(TextPanelTest, ToolFontInLowerCaseHighlightsItsEntry)
{
    canvas::params().tfont = beta.toLower();
    auto t = panel(ui::panelNextText);
    EXPECT_EQ(t->nameList()->currentIndex(), 1);
    EXPECT_EQ(t->charsetList()->count(), 7);  // n/a, four Latin sets, Cyrillic, Japanese
    EXPECT_EQ(t->charsetList()->currentIndex(), 0);
}

TEST_F(TextPanelTest, AFontThatIsNotInstalledIsNamedWithoutAnEntryOrCharacterSets)
{
    canvas::params().tfont = QStringLiteral("Not Installed Sans");
    auto t = panel(ui::panelNextText);
    EXPECT_EQ(t->nameList()->currentIndex(), -1);
    // The box still says which font it is, shortened to its width.
    const QString shown = dynamic_cast<panels::nameList_t&>(*t->nameList()).shownText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Not "))) << shown.toStdString();
    EXPECT_EQ(t->charsetList()->count(), 0);
    // Named in the normal colour with the family that stands in for it.
    const QString standIn = QFontInfo(QFont(QStringLiteral("Not Installed Sans"))).family();
    EXPECT_EQ(t->nameList()->placeholderText(), QStringLiteral("Not Installed Sans (as %1)").arg(standIn));
    EXPECT_TRUE(t->nameList()->toolTip().contains(standIn)) << t->nameList()->toolTip().toStdString();
    QImage box(t->nameList()->size(), QImage::Format_RGB32);
    t->nameList()->render(&box);
    const QRgb normal = t->nameList()->palette().color(QPalette::Active, QPalette::ButtonText).rgb();
    int normalInk = 0;
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x) normalInk += box.pixel(x, y) == normal;
    EXPECT_GT(normalInk, 0) << "the name is drawn in the normal colour";
}

TEST_F(TextPanelTest, TextsInDifferentFontsShowNoNameButTheirCommonColour)
{
    item_t* a = addText(items(), {100, 200}, {200, 200}, alpha, 0x0000FF);
    item_t* b = addText(items(), {100, 300}, {200, 300}, beta, 0x0000FF);
    select(items(), {a, b});
    auto t = panel(ui::panelText);
    EXPECT_TRUE(t->summary().fontName.isEmpty());
    EXPECT_EQ(t->nameList()->currentIndex(), -1);
    EXPECT_EQ(t->charsetList()->count(), 0);
    EXPECT_EQ(t->colourList()->currentIndex(), 9);  // "Red"
    EXPECT_EQ(t->sizeList()->currentIndex(), 4);    // both 12 points

    b->fontSize = 14;
    t->refresh();
    EXPECT_EQ(t->sizeList()->currentIndex(), -1);
}

TEST_F(TextPanelTest, CharacterSetIsRememberedPerFontInThisRun)
{
    auto t = panel(ui::panelNextText);
    settings::TParams& p = canvas::params();
    choose(t->nameList(), 1);
    const int32_t japanese = charsetIndex(*t, 128);
    ASSERT_GT(japanese, 0);
    choose(t->charsetList(), japanese);
    EXPECT_EQ(p.tcharset, 128);

    // A font never chosen before starts on the first set it covers, not "n/a".
    choose(t->nameList(), 0);
    EXPECT_EQ(t->charsetList()->currentIndex(), 1);
    EXPECT_EQ(t->charsetList()->currentText(), QStringLiteral("Western"));
    EXPECT_EQ(p.tcharset, 1);
    EXPECT_EQ(charsetIndex(*t, 128), -1);

    choose(t->nameList(), 1);
    EXPECT_EQ(t->charsetList()->currentIndex(), japanese);
    EXPECT_EQ(p.tcharset, 128);
}

struct refitCase_t {
    const char* name;
    int32_t sizeIndex;
    bool refits;
};
void PrintTo(const refitCase_t& c, std::ostream* os) { *os << c.name; }

class SizeChoice : public TextPanelTest, public ::testing::WithParamInterface<refitCase_t> {};

// The text's box is far wider than its text: only a smaller size fits it
// to the text; a larger one leaves the box as it was.
TEST_P(SizeChoice, SmallerThanTheTextsSizeRefitsItsBox)
{
    item_t* text = addText(items(), {100, 200}, {600, 200}, alpha, 0, 24);
    select(items(), {text});
    w->repaintAll(false);
    auto t = panel(ui::panelText);
    choose(t->sizeList(), GetParam().sizeIndex);
    const item_t* now = current(items(), text);
    if (GetParam().refits) EXPECT_LT(now->x2 - now->x1, 250);
    else EXPECT_EQ(now->x2 - now->x1, 500);
}

INSTANTIATE_TEST_SUITE_P(Cases, SizeChoice,
                         ::testing::Values(refitCase_t{"TenPointsRefits", 2, true}, refitCase_t{"ThirtySixKeepsTheBox", 13, false}),
                         testnames::byName());

TEST_F(TextPanelTest, SmallerSizeWhileEditingLeavesNoTrace)
{
    item_t* text = addText(items(), {100, 400}, {180, 400});
    select(items(), {text});
    w->repaintAll(false);
    w->textEditor().startEditing();
    ASSERT_TRUE(w->textEditor().typing());
    auto t = panel(ui::panelText);
    choose(t->sizeList(), 14);  // 48 points
    item_t* big = current(items(), text);
    const int32_t bigLength = big->x2 - big->x1;
    const QRect bigArea = canvas::coveredArea(*w, {big}, false);
    choose(t->sizeList(), 2);  // 10 points
    item_t* small = current(items(), text);
    EXPECT_EQ(small->fontSize, 10);
    EXPECT_LT(small->x2 - small->x1, bigLength / 2);
    const QRect smallArea = canvas::coveredArea(*w, {small}, false).adjusted(-2, -2, 2, 2);
    EXPECT_EQ(tracesLeft(*w, bigArea, smallArea), 0);
}

TEST_F(TextPanelTest, SliderSetsAnyHundredAndBoldToggles)
{
    auto t = panel(ui::panelNextText);
    settings::TParams& p = canvas::params();
    t->weightSlider()->setValue(6);
    EXPECT_EQ(p.tbold, 600);
    EXPECT_EQ(t->weightList()->currentIndex(), 5);  // "Semibold"
    EXPECT_FALSE(t->boldButton()->isOn());
    t->boldButton()->press();
    EXPECT_EQ(p.tbold, 700);
    EXPECT_EQ(t->weightSlider()->value(), 7);
    EXPECT_EQ(t->weightList()->currentIndex(), 6);
    EXPECT_TRUE(t->boldButton()->isOn());
    t->boldButton()->press();
    EXPECT_EQ(p.tbold, 400);
    EXPECT_EQ(t->weightSlider()->value(), 4);
}

TEST_F(TextPanelTest, AnyAngleInToolModeStoresNoDirection)
{
    settings::TParams& p = canvas::params();
    p.tangletab = 2;
    p.tangle = 900;
    p.tdir = 90;
    auto t = panel(ui::panelNextText);
    EXPECT_EQ(t->angleList()->currentIndex(), 2);
    choose(t->angleList(), 0);
    EXPECT_EQ(p.tangle, -10);
    EXPECT_EQ(p.tdir, -1);
    EXPECT_EQ(p.tangletab, 0);
}

TEST_F(TextPanelTest, ButtonsShowTheSelectedTextsStyle)
{
    item_t* text = addText(items(), {100, 200}, {200, 200});
    text->fontWeight = 700;
    text->fontUnderline = 1;
    text->justification = 3;
    select(items(), {text});
    auto t = panel(ui::panelText);
    const std::array<bool, 7> expected{true, false, true, false, false, false, true};
    const std::array<panels::styleButton_t*, 7> buttons{t->boldButton(),    t->styleButton(1),   t->styleButton(2),
                                                        t->styleButton(3),  t->justifyButton(1), t->justifyButton(2),
                                                        t->justifyButton(3)};
    for (size_t k = 0; k < buttons.size(); ++k) EXPECT_EQ(buttons[k]->isOn(), expected[k]) << k;
    EXPECT_EQ(t->weightList()->currentIndex(), 6);
    // Pressing underline again takes it off.
    t->styleButton(2)->press();
    EXPECT_EQ(current(items(), text)->fontUnderline, 0);
    EXPECT_FALSE(t->styleButton(2)->isOn());
}

// ---------------------------------------------------------------- hints and tabs

struct hintCase_t {
    const char* name;
    int32_t code;
    int32_t which;
    const char* box1;
    const char* keyword2;
};
void PrintTo(const hintCase_t& c, std::ostream* os) { *os << c.name; }

class TextHints : public TextPanelTest, public ::testing::WithParamInterface<hintCase_t> {};

TEST_P(TextHints, FollowTheModeAndTheTypingOrEditing)
{
    const hintCase_t& c = GetParam();
    auto t = panel(c.code);
    t->textHintsChanged(c.which);
    EXPECT_EQ(t->hint(1)->text(), QString::fromLatin1(c.box1));
    EXPECT_EQ(t->hint(2)->keyword(), QString::fromLatin1(c.keyword2));
    EXPECT_GT(t->hint(2)->height(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextHints,
    ::testing::Values(hintCase_t{"TextTool", ui::panelNextText, 0, "Click where you want the text start.", ""},
                      hintCase_t{"Typing", ui::panelNextText, 303, "Enter the text now.", ""},
                      hintCase_t{"FineTune", ui::panelText, 0, "To edit the text, double-click on it.", "move"},
                      hintCase_t{"Editing", ui::panelText, 37, "To end edit, click outside the textbox.", "pointer"}),
    testnames::byName());

TEST_F(TextPanelTest, WindowTellsWhenTypingAndEditingStartAndEnd)
{
    item_t* typed = typeText();
    ASSERT_NE(typed, nullptr);
    click({700, 700});  // ends the typing; the press starts the next text
    EXPECT_EQ(host.textHints, (QList<int32_t>{303, 0}));
    w->selectTool(ui::panelInsert);
    select(items(), {typed});
    w->textEditor().startEditing();
    w->textEditor().stopEditing();
    EXPECT_EQ(host.textHints, (QList<int32_t>{303, 0, 37, 0}));
    EXPECT_TRUE(host.status.isEmpty());
}

TEST_F(TextPanelTest, TabIsKeptForTheNextPanel)
{
    auto t = panel(ui::panelNextText);
    EXPECT_TRUE(t->colourList()->isVisible());
    QTest::mouseClick(t->tabs(), Qt::LeftButton, {}, QPoint(t->tabs()->width() - 10, 10));
    EXPECT_EQ(t->tab(), 2);
    EXPECT_TRUE(t->surfaceList()->isVisible());
    EXPECT_FALSE(t->colourList()->isVisible());
    EXPECT_EQ(canvas::params().textTab, 2);
    auto next = panel(ui::panelText);
    EXPECT_EQ(next->tab(), 2);
}

TEST_F(TextPanelTest, CustomizationThatCannotShowReturnsTheList)
{
    auto t = panel(ui::panelNextText);
    const int32_t before = t->sizeList()->currentIndex();
    choose(t->sizeList(), panels::customizeIndex(panels::listKind_t::fontSize));
    EXPECT_EQ(panelHost.customizations, std::vector<int32_t>{41});
    EXPECT_EQ(t->sizeList()->currentIndex(), before);
    EXPECT_EQ(canvas::params().tsize, 12);
}

TEST_F(TextPanelTest, NewCustomSizeIsChosenWhenItsCustomizationCloses)
{
    auto t = panel(ui::panelNextText);
    settings::TParams& p = canvas::params();
    const settings::custDirectionRec_t kept = p.customSizes[0];
    p.customSizes[0].value = 13;
    p.customSizes[0].listed = 1;
    p.customSizes[0].selectNext = 1;
    t->customizationClosed(41);
    EXPECT_EQ(p.tsize, 13);
    EXPECT_EQ(t->sizeList()->currentIndex(), p.tsizetab);
    EXPECT_EQ(t->sizeList()->currentIndex(), panels::indexOfSize(p, 13));
    p.customSizes[0] = kept;
}

} // namespace

namespace {

// At 96 pixels per inch every label of the panel and every weight name in
// its narrow list shows whole.
TEST_F(TextPanelTest, LabelsAndWeightNamesFitTheirPlaces)
{
    for (int32_t tab : {1, 2}) {
        canvas::params().textTab = tab;
        auto t = panel(ui::panelNextText);
        for (const QLabel* l : t->findChildren<QLabel*>()) {
            if (!l->isVisibleTo(t.get())) continue;
            EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()), l->width()) << l->text().toStdString();
        }
        QComboBox* weights = t->weightList();
        QStyleOptionComboBox o;
        o.initFrom(weights);
        o.rect = weights->rect();
        const int32_t room = weights->style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, weights).width();
        for (int32_t k = 0; k < weights->count(); ++k)
            EXPECT_LE(QFontMetrics(weights->font()).horizontalAdvance(weights->itemText(k)), room) << k;
    }
    // A character set too long for its box shows shortened.
    canvas::params().tcharset = 238;
    canvas::params().fontList[0].lastCharset = 238;
    auto t = panel(ui::panelNextText);
    auto* sets = static_cast<panels::nameList_t*>(t->charsetList());
    EXPECT_EQ(sets->currentText(), QStringLiteral("Central/Eastern European"));
    EXPECT_TRUE(sets->shownText().endsWith(QChar(0x2026)));
    EXPECT_LE(QFontMetrics(sets->font()).horizontalAdvance(sets->shownText()), sets->width());
}

} // namespace
