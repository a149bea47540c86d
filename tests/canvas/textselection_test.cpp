// Selecting inside a text being typed or edited: the plain-text rules
// (words, replacing a range, clipboard text), and the keys, the mouse and
// the clipboard through the document window, checked against a plain
// string model of the same edits.
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "canvas/textediting.h"
#include "canvas/textselection.h"
#include "model/history.h"
#include "model/itemlist.h"
#include "render/text.h"
#include "ui/dialogs.h"
#include "ui/panelcodes.h"

#include "host_stub.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

using namespace canvas;
using geometry::point_t;

namespace {

const char16_t br = model::lineSeparator;

TEST(TextSelectionRules, WordBoundariesSkipBlanksPunctuationAndLineBreaks)
{
    const std::u16string t = u"one two,  three" + std::u16string(1, br) + u"four";
    struct row_t {
        int32_t from, before, after;
    };
    const row_t rows[] = {
        {0, 0, 3},     // at the start: back nowhere, forward to the end of "one"
        {3, 0, 7},     // after "one": back to its start, forward over the blank to the end of "two"
        {5, 4, 7},     // inside "two"
        {8, 4, 15},    // after "two,": back over the comma to "two", forward to the end of "three"
        {15, 10, 20},  // at the line break: back to "three", forward over it to the end of "four"
        {20, 16, 20},  // at the end
    };
    for (const row_t& r : rows) {
        EXPECT_EQ(textsel::wordStartBefore(t, r.from), r.before) << r.from;
        EXPECT_EQ(textsel::wordEndAfter(t, r.from), r.after) << r.from;
    }
    // Out of range positions are held inside the text.
    EXPECT_EQ(textsel::wordEndAfter(t, 99), 20);
    EXPECT_EQ(textsel::wordStartBefore(t, -4), 0);
}

TEST(TextSelectionRules, ReplacingARangeCountsTheLineBreaks)
{
    const std::u16string t = u"ab" + std::u16string(1, br) + u"cd";
    struct row_t {
        int32_t from, to;
        std::u16string insert, text;
        int32_t caret, lines;
    };
    const std::u16string two = u"x" + std::u16string(1, br) + u"y" + std::u16string(1, br) + u"z";
    const row_t rows[] = {
        {1, 4, u"Q", u"aQd", 2, -1},                            // across the break
        {2, 2, two, u"abx" + std::u16string(1, br) + u"y" + std::u16string(1, br) + u"z" + std::u16string(1, br) + u"cd", 7, 2},
        {4, 1, u"", u"ab" + std::u16string(1, br) + u"cd", 4, 0},  // an empty range after its end
        {0, 5, u"", u"", 0, -1},                               // everything
    };
    for (const row_t& r : rows) {
        const textsel::replaced_t got = textsel::replaceRange(t, r.from, r.to, r.insert);
        EXPECT_EQ(got.text, r.text) << r.from << ".." << r.to;
        EXPECT_EQ(got.caret, r.caret) << r.from << ".." << r.to;
        EXPECT_EQ(got.linesAdded, r.lines) << r.from << ".." << r.to;
    }
}

TEST(TextSelectionRules, PlainTextToAndFromTheClipboard)
{
    EXPECT_EQ(textsel::toPlain(u"a" + std::u16string(1, br) + u"b"), u"a\nb");
    const std::u16string two = u"a" + std::u16string(1, br) + u"b";
    EXPECT_EQ(textsel::fromPlain(u"a\nb"), two);
    EXPECT_EQ(textsel::fromPlain(u"a\r\nb"), two);
    EXPECT_EQ(textsel::fromPlain(u"a\rb"), two);
    EXPECT_EQ(textsel::fromPlain(u"a\tb\x01"), u"a b");
}

// ---------------------------------------------------------------- through the window

class TextSelection : public ::testing::Test {
protected:
    recordingHost_t host;
    ui::scriptedDialogs_t dlg;
    ui::scopedDialogs_t scope{dlg};
    std::unique_ptr<TSandbox> w;

    void SetUp() override
    {
        settings::TParams& p = params();
        p.currentZoom = 1.0;
        p.lastMode = 0;
        p.tsize = 12;
        p.tfont = QStringLiteral("Arial");
        w = std::make_unique<TSandbox>(&host);
        w->resize(1000, 1200);
        ASSERT_TRUE(w->openDocument(9, QString()));
        w->repaintAll(false);
        w->selectTool(toolText);
        w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(100, 300));
        w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(100, 300));
        w->FormKeyPress(QStringLiteral("one two three"));
    }
    model::item_t* text() const { return model::singleSelected(w->items()); }
    std::u16string plain() const { return model::getText(text()); }
    bool key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { return w->FormKeyDown(k, m); }
};

TEST_F(TextSelection, KeysSelectAndTypingReplacesAsTheStringModelDoes)
{
    // Each step: keys, then typed text, and the text and selection after it.
    struct step_t {
        std::vector<std::pair<int, Qt::KeyboardModifiers>> keys;
        QString typed;
        std::u16string text, selected;
    };
    const Qt::KeyboardModifiers sc = Qt::ShiftModifier | Qt::ControlModifier;
    const step_t steps[] = {
        {{{Qt::Key_Home, Qt::NoModifier}, {Qt::Key_Right, sc}}, {}, u"one two three", u"one"},
        {{{Qt::Key_Right, sc}}, {}, u"one two three", u"one two"},
        {{}, QStringLiteral("X"), u"X three", u""},
        {{{Qt::Key_End, Qt::ShiftModifier}}, {}, u"X three", u" three"},
        {{{Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Left, Qt::ShiftModifier}}, {}, u"X three", u" thr"},
        {{{Qt::Key_Backspace, Qt::NoModifier}}, {}, u"Xee", u""},
        {{{Qt::Key_A, Qt::ControlModifier}}, {}, u"Xee", u"Xee"},
        {{{Qt::Key_Delete, Qt::NoModifier}}, QStringLiteral("a b c"), u"a b c", u""},
        {{{Qt::Key_Backspace, Qt::ControlModifier}}, {}, u"a b ", u""},
        {{{Qt::Key_Home, Qt::NoModifier}, {Qt::Key_Delete, Qt::ControlModifier}}, {}, u" b ", u""},
    };
    for (const step_t& s : steps) {
        for (const auto& [k, m] : s.keys) ASSERT_TRUE(key(k, m));
        if (!s.typed.isEmpty()) w->FormKeyPress(s.typed);
        EXPECT_EQ(plain(), s.text);
        EXPECT_EQ(w->textEditor().selectedText(), s.selected);
    }
}

TEST_F(TextSelection, CutCopyAndPasteUsePlainTextAndKeepLines)
{
    QClipboard* cb = QGuiApplication::clipboard();
    ASSERT_TRUE(key(Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier));
    ASSERT_TRUE(key(Qt::Key_C, Qt::ControlModifier));
    EXPECT_EQ(cb->text(), QStringLiteral("three"));
    ASSERT_TRUE(key(Qt::Key_X, Qt::ControlModifier));
    EXPECT_EQ(plain(), u"one two ");
    const int32_t y1 = text()->y1;
    cb->setText(QStringLiteral("first\nsecond"));
    ASSERT_TRUE(key(Qt::Key_V, Qt::ControlModifier));
    EXPECT_EQ(plain(), u"one two first" + std::u16string(1, br) + u"second");
    // A pasted line break moves the baseline down a line, as Enter does.
    EXPECT_GT(text()->y1, y1);
    EXPECT_EQ(w->textEditor().caretLine(), 2);
    EXPECT_EQ(w->textEditor().caretColumn(), 7);
    // Selecting across the break and cutting joins the lines again.
    // (The caret does not wrap from a line's start to the line above: up, then to its end.)
    ASSERT_TRUE(key(Qt::Key_Home, Qt::ShiftModifier));
    ASSERT_TRUE(key(Qt::Key_Up, Qt::ShiftModifier));
    ASSERT_TRUE(key(Qt::Key_End, Qt::ShiftModifier));
    ASSERT_TRUE(key(Qt::Key_X, Qt::ControlModifier));
    EXPECT_EQ(cb->text(), QStringLiteral("\nsecond"));
    EXPECT_EQ(plain(), u"one two first");
    EXPECT_EQ(text()->y1, y1);
}

TEST_F(TextSelection, TheSelectionIsDrawnInTheHighlightColour)
{
    const QColor hl = QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
    auto highlighted = [&] {
        int32_t n = 0;
        const QImage& img = w->canvasImage();
        for (int y = 250; y < 320; ++y)
            for (int x = 90; x < 260; ++x) n += QColor(img.pixel(x, y)) == hl;
        return n;
    };
    EXPECT_EQ(highlighted(), 0);
    ASSERT_TRUE(key(Qt::Key_A, Qt::ControlModifier));
    EXPECT_GT(highlighted(), 50);
    // Moving the caret without Shift lets go of the selection and its colour.
    ASSERT_TRUE(key(Qt::Key_Right));
    EXPECT_EQ(highlighted(), 0);
    EXPECT_FALSE(w->textEditor().hasSelection());
}

TEST_F(TextSelection, AMouseDragSelectsAndAnEditingRoundStaysOneUndoStep)
{
    w->selectTool(ui::panelInsert);
    ASSERT_EQ(w->mode(), modePointer);
    w->Image1DblClick(QPoint(110, 300));
    w->doubleClickTimerTimeout();
    ASSERT_EQ(w->mode(), modeTextEditing);
    model::item_t* it = text();
    const int32_t size = render::zoomedFontSize(it, 1.0);
    const point_t s = w->toScreen({it->x1, it->y1});
    // From just after "o" to just after "one tw".
    const QPoint from(s.x + render::textWidth(it, size, u"o") + 1, s.y - 4);
    const QPoint to(s.x + render::textWidth(it, size, u"one tw") + 1, s.y - 4);
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, from);
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, to);
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(w->textEditor().selectedText(), u"ne tw");
    w->FormKeyPress(QStringLiteral("-"));
    EXPECT_EQ(plain(), u"o-o three");
    ASSERT_TRUE(key(Qt::Key_Escape));
    EXPECT_EQ(w->mode(), modePointer);
    ASSERT_TRUE(model::undo(w->items()));
    for (model::item_t* t = w->items().head; t; t = t->next)
        if (t->kind == model::kindItem && !t->hidden && t->itemType == model::typeText)
            EXPECT_EQ(model::getText(t), u"one two three");
}

TEST_F(TextSelection, TheWindowClaimsTheEditingKeysOnlyWhileATextTakesThem)
{
    struct row_t {
        int key;
        Qt::KeyboardModifiers mods;
    };
    const row_t claimed[] = {{Qt::Key_A, Qt::ControlModifier},      {Qt::Key_C, Qt::ControlModifier},
                             {Qt::Key_V, Qt::ControlModifier},      {Qt::Key_X, Qt::ControlModifier},
                             {Qt::Key_Delete, Qt::NoModifier},      {Qt::Key_Insert, Qt::ShiftModifier},
                             {Qt::Key_Backspace, Qt::ControlModifier}};
    for (const row_t& r : claimed) EXPECT_TRUE(w->claimsKey(r.key, r.mods)) << r.key;
    EXPECT_FALSE(w->claimsKey(Qt::Key_Z, Qt::ControlModifier));
    ASSERT_TRUE(key(Qt::Key_Escape));
    ASSERT_FALSE(w->textEditor().typing());
    for (const row_t& r : claimed) EXPECT_FALSE(w->claimsKey(r.key, r.mods)) << r.key;
}

} // namespace
