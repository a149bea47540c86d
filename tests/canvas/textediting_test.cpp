// Typing and editing texts on the canvas through the document window's
// handlers: the text tool, the keys, the caret, clicks inside and outside, the
// history of an editing round, and what typing repaints.
#include "ui/dialogs.h"
#include "canvas/reshape.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "canvas/textediting.h"
#include "model/docfile.h"
#include "model/history.h"
#include "model/itemlist.h"
#include "render/text.h"
#include "ui/guidancetexts.h"
#include "ui/panelcodes.h"

#include "host_stub.h"
#include "testnames.h"

#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using namespace canvas;
using geometry::point_t;

namespace {

class TextEditingBase {
protected:
    recordingHost_t host;
    ui::scriptedDialogs_t dlg;
    ui::scopedDialogs_t scope{dlg};
    std::unique_ptr<TSandbox> w;

    void open()
    {
        settings::TParams& p = params();
        p.currentZoom = 1.0;
        p.lastMode = 0;
        p.tsize = 12;
        p.tcolor = 0;
        p.tbold = 400;
        p.tfont = QStringLiteral("Arial");
        p.toptions = {0, 0, 0, 1};
        p.tdir = -1;
        p.shtext = {};
        p.txplas = 0;
        w = std::make_unique<TSandbox>(&host);
        w->resize(1000, 1200);
        ASSERT_TRUE(w->openDocument(7, QString()));
        w->repaintAll(false);
    }
    void click(point_t p)
    {
        w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(p.x, p.y));
        w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
    }
    void drag(point_t from, point_t to)
    {
        w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(from.x, from.y));
        w->holdTimerTimeout();
        w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(to.x, to.y));
        w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(to.x, to.y));
    }
    void type(const QString& s) { w->FormKeyPress(s); }
    bool key(int k) { return w->FormKeyDown(k, Qt::NoModifier); }
    // A text started by a click at `at` and typed.
    model::item_t* typeNewText(point_t at, const QString& s)
    {
        w->selectTool(toolText);
        click(at);
        type(s);
        return text();
    }
    model::item_t* text() const
    {
        model::item_t* it = model::singleSelected(w->items());
        return it && it->itemType == model::typeText ? it : nullptr;
    }
    model::item_t* visibleText() const
    {
        for (model::item_t* it = w->items().head; it; it = it->next)
            if (it->kind == model::kindItem && !it->hidden && it->itemType == model::typeText) return it;
        return nullptr;
    }
    std::pair<int32_t, int32_t> caret() const
    {
        return {w->textEditor().caretLine(), w->textEditor().caretColumn()};
    }
};

class TextEditing : public TextEditingBase, public ::testing::Test {
protected:
    void SetUp() override { open(); }
};

const std::u16string sep(1, model::lineSeparator);

TEST_F(TextEditing, TypingAbEnterCBreaksTheLineAndMovesTheBaselineDown)
{
    model::item_t* it = typeNewText({100, 200}, QStringLiteral("ab"));
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(w->mode(), toolText);
    EXPECT_EQ(w->clickCount(), 2);
    const point_t start = w->toDoc({100, 200});
    EXPECT_EQ(point_t(it->x1, it->y1), start);
    key(Qt::Key_Return);
    type(QStringLiteral("c"));
    EXPECT_EQ(model::getText(it), u"ab" + sep + u"c");
    EXPECT_EQ(it->y1, start.y + render::lineHeight(it));
    EXPECT_EQ(it->x1, start.x);
    EXPECT_EQ(caret(), std::make_pair(2, 2));
    // The box follows: its band holds both lines.
    EXPECT_GE(geometry::distance(render::textBand(it)[0], render::textBand(it)[3]), 2.0 * render::lineHeight(it));
    EXPECT_TRUE(model::findHeader(w->items())->hdr().modified);
}

// One step of a key sequence: a key, or characters typed.
struct stroke_t {
    int key = 0;
    const char16_t* chars = nullptr;
};
struct edit_t {
    const char* name;
    std::vector<stroke_t> strokes;
    std::u16string text;  // '\n' for the line separator
    int32_t line, column;
};
void PrintTo(const edit_t& e, std::ostream* os) { *os << e.name; }

class TextEdits : public TextEditingBase, public ::testing::TestWithParam<edit_t> {
protected:
    void SetUp() override { open(); }
};

// Starting from "ab", Enter, "c" (the caret after the "c" of line 2).
TEST_P(TextEdits, KeysChangeTextCaretAndBaseline)
{
    const edit_t& e = GetParam();
    model::item_t* it = typeNewText({100, 200}, QStringLiteral("ab"));
    ASSERT_NE(it, nullptr);
    key(Qt::Key_Return);
    type(QStringLiteral("c"));
    for (const stroke_t& s : e.strokes) {
        if (s.chars) type(QString::fromUtf16(s.chars));
        else EXPECT_TRUE(key(s.key));
    }
    std::u16string want = e.text;
    for (char16_t& c : want)
        if (c == u'\n') c = model::lineSeparator;
    EXPECT_EQ(model::getText(it), want);
    EXPECT_EQ(caret(), std::make_pair(e.line, e.column));
    // The stored baseline is the last line's, however many lines there are.
    EXPECT_EQ(it->y1, w->toDoc({100, 200}).y + (model::textLineCount(it) - 1) * render::lineHeight(it));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TextEdits,
    ::testing::Values(
        edit_t{"BackspaceAtLineStartJoinsAfterTheB", {{Qt::Key_Home}, {Qt::Key_Backspace}}, u"abc", 1, 3},
        edit_t{"DeleteAtLineEndJoins", {{Qt::Key_PageUp}, {Qt::Key_End}, {Qt::Key_Delete}}, u"abc", 1, 3},
        edit_t{"BackspaceAtTheStartDoesNothing", {{Qt::Key_PageUp}, {Qt::Key_Backspace}}, u"ab\nc", 1, 1},
        edit_t{"DeleteAtTheEndDoesNothing", {{Qt::Key_PageDown}, {Qt::Key_Delete}}, u"ab\nc", 2, 2},
        edit_t{"TypingInsertsAtTheCaret", {{Qt::Key_PageUp}, {Qt::Key_Right}, {0, u"x"}}, u"axb\nc", 1, 3},
        edit_t{"EnterInTheMiddleSplitsTheLine", {{Qt::Key_Up}, {Qt::Key_Return}}, u"a\nb\nc", 2, 1},
        edit_t{"UpOntoAShorterLineGoesAfterItsEnd", {{0, u"def"}, {Qt::Key_Up}}, u"ab\ncdef", 1, 3},
        edit_t{"DownStaysOnTheLastLine", {{Qt::Key_Down}}, u"ab\nc", 2, 2},
        edit_t{"LeftStopsAtTheLineStart", {{Qt::Key_Left}, {Qt::Key_Left}, {Qt::Key_Left}}, u"ab\nc", 2, 1},
        edit_t{"RightStopsAfterTheLineEnd", {{Qt::Key_PageUp}, {Qt::Key_Right}, {Qt::Key_Right}, {Qt::Key_Right}},
               u"ab\nc", 1, 3},
        edit_t{"TabAndEscAsCharactersAreNotTyped", {{0, u"\t\x1b"}}, u"ab\nc", 2, 2},
        edit_t{"BackspaceTakesAWholeCharacterOutsideTheBasicPlane",
               {{0, u"\U0001F600\U0001F600"}, {Qt::Key_Backspace}}, u"ab\nc\U0001F600", 2, 4},
        edit_t{"ArrowsStepOverAWholeCharacterOutsideTheBasicPlane",
               {{0, u"\U0001F600"}, {Qt::Key_Left}, {0, u"x"}, {Qt::Key_Right}, {0, u"y"}}, u"ab\ncx\U0001F600y", 2, 6}),
    testnames::byName());

TEST_F(TextEditing, DoubleClickEditsAgainAndClicksPlaceTheCaretOrEndEditing)
{
    model::item_t* first = typeNewText({100, 200}, QStringLiteral("hello"));
    key(Qt::Key_Return);
    type(QStringLiteral("wo"));
    ASSERT_NE(first, nullptr);
    w->selectTool(ui::panelInsert);
    ASSERT_EQ(w->mode(), modePointer);
    ASSERT_EQ(text(), first);

    w->Image1DblClick(QPoint(110, 200));
    w->doubleClickTimerTimeout();
    ASSERT_EQ(w->mode(), modeTextEditing);
    model::item_t* it = text();
    ASSERT_NE(it, nullptr);
    EXPECT_NE(it, first);  // a new version carries the whole round
    EXPECT_EQ(caret(), std::make_pair(2, 3));
    EXPECT_TRUE(w->textEditor().caretShown());

    // A click just after "he" on line 1 puts the caret there and keeps editing.
    const int32_t size = render::zoomedFontSize(it, 1.0);
    const point_t s = w->toScreen({it->x1, it->y1});
    const int32_t x = s.x + render::textWidth(it, size, u"he") + 1;
    const int32_t y = s.y - render::lineHeight(it) - 3;
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    EXPECT_EQ(w->mode(), modeTextEditing);
    EXPECT_EQ(caret(), std::make_pair(1, 3));

    // A click outside ends editing; the text stays selected.
    click({700, 900});
    EXPECT_EQ(w->mode(), modePointer);
    EXPECT_FALSE(w->textEditor().typing());
    EXPECT_EQ(text(), it);
}

TEST_F(TextEditing, UndoOfAnEditingRoundRestoresTextAndBox)
{
    model::item_t* it = typeNewText({100, 200}, QStringLiteral("Lumora"));
    ASSERT_NE(it, nullptr);
    w->selectTool(ui::panelInsert);
    const model::itemBody_t before = it->body();
    w->Image1DblClick(QPoint(110, 200));
    w->doubleClickTimerTimeout();
    ASSERT_EQ(w->mode(), modeTextEditing);
    type(QStringLiteral(" is a long line that makes the box grow"));
    key(Qt::Key_Return);
    type(QStringLiteral("and a second"));
    click({700, 900});
    model::item_t* edited = visibleText();
    ASSERT_NE(edited, nullptr);
    EXPECT_GT(edited->boxRight, before.boxRight);
    EXPECT_GT(edited->y1, before.y1);

    ASSERT_TRUE(model::undo(w->items()));
    model::item_t* back = visibleText();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(model::getText(back), u"Lumora");
    for (auto f : {&model::itemBody_t::x1, &model::itemBody_t::y1, &model::itemBody_t::x2, &model::itemBody_t::y2,
                   &model::itemBody_t::boxLeft, &model::itemBody_t::boxRight, &model::itemBody_t::boxTop,
                   &model::itemBody_t::boxBottom})
        EXPECT_EQ(back->*f, before.*f);
}

TEST_F(TextEditing, CharactersOutsideTheBasicPlaneSurviveTypingSavingAndReading)
{
    const QString typed = QStringLiteral("A") + QString::fromUcs4(U"\U0001D11E\U0001F600") + QStringLiteral("é");
    model::item_t* it = typeNewText({100, 200}, typed);
    ASSERT_NE(it, nullptr);
    const std::u16string want = u"A\U0001D11E\U0001F600\u00e9";
    EXPECT_EQ(model::getText(it), want);
    w->selectTool(ui::panelInsert);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.lmra"));
    ASSERT_TRUE(model::writeDocument(path.toStdString(), w->items()));
    TSandbox again(&host);
    again.resize(800, 600);
    ASSERT_TRUE(again.openDocument(8, path));
    model::item_t* read = nullptr;
    for (model::item_t* r = again.items().head; r; r = r->next)
        if (r->kind == model::kindItem && r->itemType == model::typeText) read = r;
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(model::getText(read), want);
    EXPECT_EQ(read->boxLeft, it->boxLeft);
    EXPECT_EQ(read->boxTop, it->boxTop);
}

TEST_F(TextEditing, InputMethodCompositionIsTypedLikeAKey)
{
    model::item_t* it = typeNewText({100, 200}, QStringLiteral("a"));
    ASSERT_NE(it, nullptr);
    QInputMethodEvent preedit(QStringLiteral("^"), {});
    QCoreApplication::sendEvent(w->findChild<QWidget*>(QStringLiteral("canvasControl")), &preedit);
    EXPECT_EQ(model::getText(it), u"a");  // nothing while composing
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("ê"));
    QCoreApplication::sendEvent(w->findChild<QWidget*>(QStringLiteral("canvasControl")), &commit);
    EXPECT_EQ(model::getText(it), u"a\u00ea");
    EXPECT_TRUE(static_cast<QWidget*>(w->findChild<QWidget*>(QStringLiteral("canvasControl")))->inputMethodQuery(Qt::ImEnabled).toBool());
    EXPECT_FALSE(static_cast<QWidget*>(w->findChild<QWidget*>(QStringLiteral("canvasControl")))->inputMethodQuery(Qt::ImCursorRectangle).toRect().isEmpty());
}

TEST_F(TextEditing, TypingRepaintsOnlyTheTextsPartOfTheCanvas)
{
    model::item_t* it = typeNewText({100, 200}, QStringLiteral("abc"));
    ASSERT_NE(it, nullptr);
    // A pixel far from the text, changed behind the window's back: only a
    // repaint of that part of the canvas would put it right.
    QImage& canvas = w->canvasImage();
    const QRgb marker = 0xFFFF00FFu;
    canvas.setPixel(600, 700, marker);
    const QImage before = canvas.copy();
    type(QStringLiteral("defgh"));
    key(Qt::Key_Return);
    type(QStringLiteral("ij"));
    EXPECT_EQ(canvas.pixel(600, 700), marker);
    EXPECT_NE(canvas.copy(80, 150, 200, 100), before.copy(80, 150, 200, 100));
}

struct preset_t {
    const char* name;
    point_t from, to;
    point_t p1, p2;  // the stored baseline ends (canvas pixels)
};
void PrintTo(const preset_t& c, std::ostream* os) { *os << c.name; }

class TextPreset : public TextEditingBase, public ::testing::TestWithParam<preset_t> {
protected:
    void SetUp() override { open(); }
};

TEST_P(TextPreset, UprightPresetReadsUpwardsWhicheverWayTheBoxIsDragged)
{
    params().tdir = 90;
    w->selectTool(toolText);
    drag(GetParam().from, GetParam().to);
    model::item_t* it = text();
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(it->textAngle, 900);
    EXPECT_EQ(point_t(it->x1, it->y1), w->toDoc(GetParam().p1));
    EXPECT_EQ(point_t(it->x2, it->y2), w->toDoc(GetParam().p2));
}

INSTANTIATE_TEST_SUITE_P(Drags, TextPreset,
                         ::testing::Values(preset_t{"DraggedUpwards", {200, 300}, {230, 100}, {200, 300}, {200, 100}},
                                           preset_t{"DraggedDownwardsIsSwapped", {200, 100}, {170, 300}, {200, 300}, {200, 100}}),
                         testnames::byName());

TEST_F(TextEditing, DraggingAnEndShorterThanTheTextKeepsTheOtherEnd)
{
    model::item_t* it = typeNewText({100, 200}, QStringLiteral("A fairly long line"));
    ASSERT_NE(it, nullptr);
    const int32_t W = render::lineWidth(it, u"A fairly long line", 1.0);
    it->refX1 = it->x1, it->refY1 = it->y1, it->refX2 = it->x2, it->refY2 = it->y2;
    dragInput_t in;
    in.code = 2;
    in.start = {it->x2, it->y2};
    in.current = {it->x1 + 10, it->y2};
    in.snap = [](point_t p) { return p; };
    in.toScreen = [](point_t p) { return p; };
    reshapeItem(it, in);
    EXPECT_EQ(point_t(it->x1, it->y1), point_t(it->refX1, it->refY1));
    EXPECT_EQ(it->x2, it->x1 + W);
    // Dragging the first end keeps the second.
    it->refX1 = it->x1, it->refX2 = it->x2;
    in.code = 1;
    in.start = {it->x1, it->y1};
    in.current = {it->x2 - 5, it->y1};
    reshapeItem(it, in);
    EXPECT_EQ(it->x2, it->refX2);
    EXPECT_EQ(it->x1, it->x2 - W);
}

} // namespace

namespace {

// The text's guidance page is asked for once when typing starts, whether the
// first character comes after a click or after a dragged box, and not again
// for the characters after it.
TEST_F(TextEditing, StartingATextAsksForItsGuidancePageOnce)
{
    typeNewText({100, 200}, QStringLiteral("ab"));
    EXPECT_EQ(host.guidance.count(ui::guidanceTextStarted), 1);
    type(QStringLiteral("c"));
    EXPECT_EQ(host.guidance.count(ui::guidanceTextStarted), 1);
    host.guidance.clear();
    w->selectTool(toolText);
    drag({100, 400}, {300, 440});
    EXPECT_EQ(host.guidance, QList<int32_t>{ui::guidanceTextStarted});
}

} // namespace
