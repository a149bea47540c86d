// Typing on the canvas: the text tool's clicks (a start point, or a box
// dragged or clicked out) that make a new text, editing a text again after a
// double click, the keys that change the text (characters, Enter, Backspace,
// Delete) and move the caret, clicks inside the text that place the caret,
// and the blinking caret with its own save-under. Each change repaints only
// the part of the canvas the text covers.
#pragma once

#include "canvas/interaction.h"
#include "geometry/shapes.h"
#include "model/item.h"
#include "render/renderpass.h"

#include <QRect>
#include <QString>

#include <cstdint>
#include <string_view>
#include <utility>

namespace canvas {

class textEditing_t : public interaction_t {
public:
    using interaction_t::interaction_t;

    void press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    bool key(int key, Qt::KeyboardModifiers modifiers) override;
    // Ends whatever runs: the caret stops, a text being placed or typed is
    // left as it is, editing (mode 37) goes back to the pointer.
    void cancel() override;
    void eraseOverlay() override;
    void overlayLost() override;

    // The text tool's press was held: it takes the start point.
    void holdElapsed();
    // Characters from the keyboard or the input method; true when used.
    bool characters(const QString& text);
    // The double click on the one selected text: edit it as one history step.
    // `inPlace`: the text was made by the last step, whose version is typed
    // into, so that making and typing are one step.
    void startEditing(bool inPlace = false);
    // A press outside the text while editing: back to the pointer.
    void stopEditing();
    // The caret's blink (caretTimer, once Timer4).
    void blink();
    // The font or style of the text being typed changed: its box is fitted
    // and the canvas it covered (`before`) and covers painted again, then
    // frame and caret come back. Nothing unless a text takes the keys.
    void restyled(const QRect& before);

    // A text takes the keys: its caret runs (the window's caretTimer, once Timer4).
    bool typing() const { return caretRunning_; }
    int32_t clickCount() const { return clickCount_; }
    int32_t caretLine() const { return caretLine_; }
    int32_t caretColumn() const { return caretColumn_; }
    bool caretShown() const { return caretShown_; }
    // The caret's rectangle on the canvas (empty when no text takes the keys).
    QRect caretRect() const;

    // The edits, on the single selected text (nothing without one).
    void typeCharacter(std::u16string_view units);
    void newLine();
    void backspace();
    void deleteAtCaret();
    void moveCaret(int key);

    // The selection inside the text: from the anchor to the caret (0-based
    // positions in the text, a line break one unit). None while the anchor
    // is -1 or at the caret.
    bool hasSelection() const;
    std::pair<int32_t, int32_t> selectionRange() const;
    std::u16string selectedText() const;
    // Ctrl+A: the whole text.
    void selectAllText();
    // Typing over the selection, cutting it, pasting: the selection (or
    // nothing, at the caret) becomes `insert`, one change of the text.
    void replaceSelection(std::u16string_view insert);
    // The system clipboard's plain text: copy, cut, paste.
    void copySelection();
    void cutSelection();
    void pasteText();
    // Ctrl+Backspace / Ctrl+Delete: the word before / after the caret.
    void deleteWord(bool forward);

private:
    model::item_t* target() const;
    void createAt(geometry::point_t end, std::u16string_view typed);
    void beginTyping(model::item_t* it);
    void endTyping(bool deselect);
    // Runs one change of the text with the caret off, then fits the box,
    // repaints what changed and puts frame and caret back.
    template <class Change>
    void edit(Change change);
    void repaintChanged(model::item_t* it, const QRect& before, bool moved);
    QRect coveredRect(const model::item_t* it) const;
    // The canvas area of a line from `fromColumn` on (with its shadow).
    QRect lineRect(const model::item_t* it, int32_t line, int32_t fromColumn) const;
    // The canvas area of the end side of a text's band.
    QRect endEdgeRect(const geometry::quadrangle_t& band) const;
    void drawFrame(model::item_t* it);
    // The caret's two ends on the canvas: at the ascent and the descent.
    std::pair<QPoint, QPoint> caretEnds() const;
    void drawCaret();
    void eraseCaret();
    void startCaret();
    void stopCaret();
    bool inside(const model::item_t* it, geometry::point_t pos) const;
    void placeCaretAt(const model::item_t* it, geometry::point_t pos);
    // The 0-based position of the caret in the text.
    int32_t caretPosition(const model::item_t* it) const;
    void moveBaseline(model::item_t* it, bool down);
    // The caret at a 0-based position of the text.
    void setCaretPosition(const model::item_t* it, int32_t pos);
    // The keys that move the caret, with Shift extending the selection and
    // Ctrl going by words.
    void navigate(int key, Qt::KeyboardModifiers modifiers);
    // The selection is drawn again after it changed: the text's area is
    // painted anew, then the highlight, the frame and the caret.
    void showSelection();
    void drawSelection(const model::item_t* it);
    void showPreview(geometry::point_t mouse);
    void erasePreview();
    void tellHints(int32_t which);
    void updateInputMethod();

    int32_t clickCount_ = 0;
    geometry::point_t firstPoint_, mouseDownPoint_;
    int32_t caretLine_ = 1, caretColumn_ = 1;
    int32_t anchor_ = -1;
    // A press inside the text being typed: moving with the button held selects.
    bool dragSelecting_ = false;
    bool caretRunning_ = false;
    bool caretShown_ = false;
    bool frameLost_ = false;
    render::savedArea_t caretBuffer_;
    render::savedArea_t previewUnder_;
    render::savedArea_t guideUnder_;
};

} // namespace canvas
