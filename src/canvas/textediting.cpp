#include "canvas/textediting.h"

#include "canvas/areapen.h"
#include "canvas/creation.h"
#include "canvas/labels.h"
#include "canvas/modes.h"
#include "canvas/sandbox.h"
#include "canvas/selectionedit.h"
#include "canvas/shellparams.h"
#include "canvas/textselection.h"
#include "geometry/shapes.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "render/effects.h"
#include "render/shapedraw.h"
#include "render/strokes.h"
#include "render/text.h"
#include "ui/panelcodes.h"
#include "ui/guidancetexts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPalette>
#include <QInputMethod>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace canvas {

using geometry::point_t;
using model::item_t;
using model::roundHalfEven;

namespace {

constexpr double pi = std::numbers::pi;

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

QPoint qp(point_t p) { return QPoint(p.x, p.y); }
point_t pt(QPoint p) { return {p.x(), p.y()}; }

QRect boundsOf(std::initializer_list<QPoint> pts)
{
    QRect r;
    for (const QPoint& p : pts) r = r.united(QRect(p, QSize(1, 1)));
    return r;
}

// The line of the text (1-based) as stored; empty beyond its lines.
std::u16string_view lineOf(const item_t* it, int32_t line)
{
    const std::vector<std::u16string_view> lines = render::textLines(it);
    return line >= 1 && line <= int32_t(lines.size()) ? lines[size_t(line - 1)] : std::u16string_view();
}

} // namespace

// ---------------------------------------------------------------- state

item_t* textEditing_t::target() const
{
    // From the selection tables: every key must not walk a long list.
    const std::vector<item_t*> sel = model::collectSelected(w_.items());
    return sel.size() == 1 && sel.front()->itemType == model::typeText ? sel.front() : nullptr;
}

int32_t textEditing_t::caretPosition(const item_t* it) const
{
    const std::vector<std::u16string_view> lines = render::textLines(it);
    int32_t pos = 0;
    for (int32_t k = 1; k < caretLine_ && k <= int32_t(lines.size()); ++k) pos += int32_t(lines[size_t(k - 1)].size()) + 1;
    return pos + caretColumn_ - 1;
}

// The side panel's hints follow the typing (303) and the editing (37) of a
// text; 0 when it ends.
void textEditing_t::tellHints(int32_t which)
{
    if (w_.host()) w_.host()->textHintsChanged(which);
}

// ---------------------------------------------------------------- the text tool

void textEditing_t::press(Qt::MouseButton button, Qt::KeyboardModifiers, point_t pos)
{
    if (button != Qt::LeftButton) return;
    if (caretRunning_) {
        item_t* it = target();
        if (it && inside(it, pos)) {
            if (hasSelection()) {
                anchor_ = -1;
                showSelection();
            }
            placeCaretAt(it, pos);
            anchor_ = caretPosition(it);
            dragSelecting_ = true;
            return;
        }
        if (w_.mode() == modeTextEditing) {
            stopEditing();
            // The press does nothing else: its drag and release neither.
            h_.ignoreGesture();
            return;
        }
        // Typing with the text tool: the text is done and this press starts the next.
        endTyping(true);
    }
    if (w_.mode() != toolText) return;
    mouseDownPoint_ = w_.snapped(pos);
    h_.holdTimer().start();
}

void textEditing_t::holdElapsed()
{
    h_.holdTimer().stop();
    if (!h_.buttonHeld() || h_.gestureIgnored() || w_.mode() != toolText || clickCount_ != 0) return;
    firstPoint_ = mouseDownPoint_;
    clickCount_ = 1;
}

void textEditing_t::move(Qt::MouseButtons buttons, Qt::KeyboardModifiers, point_t pos)
{
    if (caretRunning_ && dragSelecting_ && (buttons & Qt::LeftButton)) {
        if (item_t* it = target()) {
            const int32_t before = caretPosition(it);
            placeCaretAt(it, pos);
            if (caretPosition(it) != before) showSelection();
        }
        return;
    }
    if (w_.mode() == toolText && clickCount_ == 1) showPreview(w_.snapped(pos));
}

void textEditing_t::release(Qt::MouseButton button, Qt::KeyboardModifiers, point_t pos)
{
    if (button == Qt::LeftButton) dragSelecting_ = false;
    if (button != Qt::LeftButton || w_.mode() != toolText || caretRunning_) return;
    const point_t p = w_.snapped(pos);
    if (clickCount_ == 0) {
        firstPoint_ = p;
        clickCount_ = 1;
        return;
    }
    if (clickCount_ == 1) createAt(p, {});
}

void textEditing_t::showPreview(point_t mouse)
{
    erasePreview();
    const settings::TParams& p = params();
    model::item_t probe;
    probe.itemType = model::typeText;
    applyTextItemDefaults(&probe, p);
    const point_t end = constrainLineEnd(firstPoint_, mouse, p.tdir).end;
    const double dir = p.tdir >= 0 ? p.tdir * pi / 180.0 : geometry::segmentAngle(firstPoint_, end);
    const double z = w_.zoomFactor();
    const int32_t ascent = render::textMetrics(&probe, std::max(render::zoomedFontSize(&probe, z), 1)).ascent;
    const auto band = render::bandQuad({double(firstPoint_.x), double(firstPoint_.y)}, {double(end.x), double(end.y)},
                                       dir, ascent, true);
    const int32_t g = std::max(1, p.areaPenWidth) + 1;
    w_.saveUnder(previewUnder_, boundsOf({band[0], band[1], band[2], band[3]}).adjusted(-g, -g, g, g));
    if (p.tdir >= 0) drawGuide(w_, guideUnder_, end, mouse);
    QPainter painter(&w_.canvasImage());
    useAreaPen(painter, p);
    const QPoint outline[5] = {band[0], band[1], band[2], band[3], band[0]};
    painter.drawPolyline(outline, 5);
    painter.end();
    w_.updateCanvas(previewUnder_.rect);
}

void textEditing_t::erasePreview()
{
    w_.restoreUnder(guideUnder_);
    w_.restoreUnder(previewUnder_);
}

void textEditing_t::createAt(point_t end, std::u16string_view typed)
{
    erasePreview();
    creationContext_t ctx{w_.items(), params(), w_.zoomFactor(), w_.viewOrigin()};
    item_t* it = createText(ctx, firstPoint_, end, typed);
    beginTyping(it);
    if (w_.host()) w_.host()->editStateChanged(&w_);
}

// The input method asks the canvas again whether it takes text and where
// the caret is.
void textEditing_t::updateInputMethod()
{
    if (h_.canvasControl().hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImQueryAll);
}

void textEditing_t::beginTyping(item_t* it)
{
    h_.canvasControl().setFocus(Qt::OtherFocusReason);
    clickCount_ = 2;
    anchor_ = -1;
    caretLine_ = 1;
    caretColumn_ = 1;
    w_.eraseMarks();
    repaintChanged(it, coveredRect(it), true);
    startCaret();
    updateInputMethod();
    tellHints(ui::panelTextEntryGuided);
    if (w_.host()) w_.host()->showGuidance(ui::guidanceTextStarted);
}

void textEditing_t::endTyping(bool deselect)
{
    stopCaret();
    clickCount_ = 0;
    if (deselect) model::selectOnly(w_.items(), nullptr);
    w_.repaintAll(true);
    if (w_.host()) w_.host()->editStateChanged(&w_);
    updateInputMethod();
    tellHints(0);
}

// ---------------------------------------------------------------- editing again

void textEditing_t::startEditing(bool inPlace)
{
    if (caretRunning_ || w_.mode() != modePointer || !target()) return;
    item_t* it = target();
    if (inPlace) {
        w_.eraseMarks();
    } else {
        const std::vector<item_t*> fresh = w_.beginEdit(true);
        if (fresh.size() != 1) return;
        it = fresh.front();
    }
    h_.setMode(modeTextEditing);
    clickCount_ = 0;
    anchor_ = -1;
    const std::vector<std::u16string_view> lines = render::textLines(it);
    caretLine_ = std::max(int32_t(lines.size()), 1);
    caretColumn_ = lines.empty() ? 1 : int32_t(lines.back().size()) + 1;
    drawFrame(it);
    h_.canvasControl().setFocus(Qt::OtherFocusReason);
    startCaret();
    updateInputMethod();
    tellHints(modeTextEditing);
}

void textEditing_t::stopEditing()
{
    stopCaret();
    clickCount_ = 0;
    if (w_.mode() == modeTextEditing) h_.setMode(modePointer);
    w_.repaintAll(true);
    if (w_.host()) w_.host()->editStateChanged(&w_);
    updateInputMethod();
    tellHints(0);
}

void textEditing_t::cancel()
{
    const bool ended = caretRunning_ || w_.mode() == modeTextEditing;
    h_.holdTimer().stop();
    erasePreview();
    stopCaret();
    clickCount_ = 0;
    if (w_.mode() == modeTextEditing) h_.setMode(modePointer);
    if (ended) tellHints(0);
}

void textEditing_t::eraseOverlay()
{
    eraseCaret();
    erasePreview();
}

void textEditing_t::overlayLost()
{
    caretShown_ = false;
    caretBuffer_.valid = false;
    previewUnder_.valid = false;
    guideUnder_.valid = false;
    frameLost_ = caretRunning_;
}

// ---------------------------------------------------------------- keys

bool textEditing_t::characters(const QString& text)
{
    if (text.isEmpty()) return false;
    const bool placing = w_.mode() == toolText && clickCount_ == 1;
    if (!caretRunning_ && !placing) return false;
    const std::u16string units(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t c = units[i];
        const size_t n = isHigh(c) && i + 1 < units.size() && isLow(units[i + 1]) ? 2 : 1;
        const std::u16string_view one(units.data() + i, n);
        i += n - 1;
        const bool lineBreak = c == 10 || c == 13 || c == 0x2028 || c == 0x2029;
        // Other control characters (Tab, Esc, ...) are not typed into a text.
        if (c != 8 && !lineBreak && (c < 0x20 || c == 0x7F)) continue;
        if (!caretRunning_) {
            if (c == 8) continue;
            createAt(firstPoint_, lineBreak ? std::u16string_view() : one);
        } else if (hasSelection()) {
            // Typing replaces the selection; Backspace removes it.
            const char16_t br = model::lineSeparator;
            replaceSelection(c == 8 ? std::u16string_view() : lineBreak ? std::u16string_view(&br, 1) : one);
            continue;
        }
        if (c == 8) backspace();
        else if (lineBreak) newLine();
        else typeCharacter(one);
    }
    return true;
}

bool textEditing_t::key(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier, shift = modifiers & Qt::ShiftModifier;
    if (caretRunning_) {
        // The selection's keys, and the word keys.
        switch (key) {
        case Qt::Key_A:
            if (!ctrl) break;
            selectAllText();
            return true;
        case Qt::Key_C:
            if (!ctrl) break;
            copySelection();
            return true;
        case Qt::Key_X:
            if (!ctrl) break;
            cutSelection();
            return true;
        case Qt::Key_V:
            if (!ctrl) break;
            pasteText();
            return true;
        case Qt::Key_Insert:
            if (ctrl) copySelection();
            else if (shift) pasteText();
            else break;
            return true;
        case Qt::Key_Delete:
            if (shift && !ctrl) cutSelection();
            else if (hasSelection()) replaceSelection({});
            else if (ctrl) deleteWord(true);
            else break;
            return true;
        case Qt::Key_Backspace:
            if (hasSelection()) replaceSelection({});
            else if (ctrl) deleteWord(false);
            else break;
            return true;
        default: break;
        }
    }
    switch (key) {
    case Qt::Key_Backspace: return characters(QString(QChar(8)));
    case Qt::Key_Return:
    case Qt::Key_Enter: return characters(QString(QChar(13)));
    default: break;
    }
    if (!caretRunning_) return false;
    switch (key) {
    case Qt::Key_Delete: deleteAtCaret(); return true;
    case Qt::Key_Escape:
        if (w_.mode() == modeTextEditing) stopEditing();
        else endTyping(true);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: navigate(key, modifiers); return true;
    default: return false;
    }
}

// ---------------------------------------------------------------- the selection

bool textEditing_t::hasSelection() const
{
    const item_t* it = target();
    return caretRunning_ && it && anchor_ >= 0 && anchor_ != caretPosition(it);
}

std::pair<int32_t, int32_t> textEditing_t::selectionRange() const
{
    const item_t* it = target();
    if (!hasSelection()) {
        const int32_t p = it ? caretPosition(it) : 0;
        return {p, p};
    }
    const int32_t n = model::textLength(it);
    const auto [from, to] = textsel::ordered(anchor_, caretPosition(it));
    return {std::clamp(from, 0, n), std::clamp(to, 0, n)};
}

std::u16string textEditing_t::selectedText() const
{
    const item_t* it = target();
    if (!it || !hasSelection()) return {};
    const auto [from, to] = selectionRange();
    return model::getText(it).substr(size_t(from), size_t(to - from));
}

void textEditing_t::setCaretPosition(const item_t* it, int32_t pos)
{
    const std::vector<std::u16string_view> lines = render::textLines(it);
    int32_t line = 1;
    pos = std::max(pos, 0);
    for (const std::u16string_view l : lines) {
        if (pos <= int32_t(l.size())) break;
        pos -= int32_t(l.size()) + 1;
        ++line;
    }
    const int32_t n = std::max(int32_t(lines.size()), 1);
    caretLine_ = std::min(line, n);
    caretColumn_ = std::clamp(pos, 0, int32_t(lineOf(it, caretLine_).size())) + 1;
}

void textEditing_t::navigate(int key, Qt::KeyboardModifiers modifiers)
{
    item_t* it = target();
    if (!it || !caretRunning_) return;
    const bool shift = modifiers & Qt::ShiftModifier, ctrl = modifiers & Qt::ControlModifier;
    const bool had = hasSelection();
    if (shift && anchor_ < 0) anchor_ = caretPosition(it);
    if (!shift) anchor_ = -1;
    if (ctrl && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        eraseCaret();
        const std::u16string t = model::getText(it);
        const int32_t p = caretPosition(it);
        setCaretPosition(it, key == Qt::Key_Left ? textsel::wordStartBefore(t, p) : textsel::wordEndAfter(t, p));
        startCaret();
    } else {
        moveCaret(key);
    }
    if (had || hasSelection()) showSelection();
}

void textEditing_t::selectAllText()
{
    item_t* it = target();
    if (!it || !caretRunning_) return;
    eraseCaret();
    anchor_ = 0;
    setCaretPosition(it, model::textLength(it));
    showSelection();
}

void textEditing_t::replaceSelection(std::u16string_view insert)
{
    if (!target() || !caretRunning_) return;
    const auto [from, to] = selectionRange();
    anchor_ = -1;
    if (from == to && insert.empty()) return;
    edit([&, from = from, to = to](item_t* it) {
        const textsel::replaced_t r = textsel::replaceRange(model::getText(it), from, to, insert);
        model::setText(it, r.text);
        for (int32_t k = 0; k < std::abs(r.linesAdded); ++k) moveBaseline(it, r.linesAdded > 0);
        setCaretPosition(it, r.caret);
        return true;
    });
}

void textEditing_t::copySelection()
{
    if (!hasSelection()) return;
    if (QClipboard* cb = QGuiApplication::clipboard()) cb->setText(render::toQString(textsel::toPlain(selectedText())));
}

void textEditing_t::cutSelection()
{
    if (!hasSelection()) return;
    copySelection();
    replaceSelection({});
}

void textEditing_t::pasteText()
{
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return;
    const QString plain = cb->text();
    const std::u16string units(reinterpret_cast<const char16_t*>(plain.utf16()), size_t(plain.size()));
    const std::u16string typed = textsel::fromPlain(units);
    if (typed.empty() && !hasSelection()) return;
    replaceSelection(typed);
}

void textEditing_t::deleteWord(bool forward)
{
    item_t* it = target();
    if (!it || !caretRunning_) return;
    const std::u16string t = model::getText(it);
    const int32_t p = caretPosition(it);
    const int32_t q = forward ? textsel::wordEndAfter(t, p) : textsel::wordStartBefore(t, p);
    if (q == p) return;
    anchor_ = q;
    replaceSelection({});
}

void textEditing_t::showSelection()
{
    item_t* it = target();
    if (!it) return;
    eraseCaret();
    repaintChanged(it, coveredRect(it), false);
    drawSelection(it);
    startCaret();
}

void textEditing_t::drawSelection(const item_t* it)
{
    if (!hasSelection()) return;
    const auto [from, to] = selectionRange();
    const std::vector<std::u16string_view> lines = render::textLines(it);
    const double z = w_.zoomFactor();
    const render::xform_t xf = render::screenXform(z, w_.viewOrigin());
    const std::vector<render::lineBaseline_t> bases = render::lineBaselines(it, xf, int32_t(lines.size()));
    const int32_t size = std::max(render::zoomedFontSize(it, z), 1);
    const render::textMetrics_t m = render::textMetrics(it, size);
    const double theta = render::textTheta(it);
    const double across = theta + pi / 2;
    const QPalette pal = QGuiApplication::palette();
    const QColor back = pal.color(QPalette::Active, QPalette::Highlight);
    const QColor fore = pal.color(QPalette::Active, QPalette::HighlightedText);
    const int32_t foreBgr = fore.red() | (fore.green() << 8) | (fore.blue() << 16);
    QRect drawn;
    int32_t lineStart = 0;
    for (size_t k = 0; k < lines.size(); ++k) {
        const std::u16string_view line = lines[k];
        const int32_t lineEnd = lineStart + int32_t(line.size());
        const int32_t a = std::max(from, lineStart), b = std::min(to, lineEnd + 1);
        if (a < b) {
            const int32_t c0 = a - lineStart, c1 = std::min(b - lineStart, int32_t(line.size()));
            // A selected line break shows as a blank's width at the line's end.
            const int32_t breakWidth = b > lineEnd ? render::textWidth(it, size, u" ") : 0;
            const point_t start = pt(render::justifiedStart(it, line, bases[k].p, z));
            const point_t p0 = geometry::polarPoint(start, theta, render::textWidth(it, size, line.substr(0, size_t(c0))));
            const point_t p1 = geometry::polarPoint(
                start, theta, render::textWidth(it, size, line.substr(0, size_t(c1))) + breakWidth);
            const QPoint quad[4] = {qp(geometry::polarPoint(p0, across, m.ascent)),
                                    qp(geometry::polarPoint(p1, across, m.ascent)),
                                    qp(geometry::polarPoint(p1, across + pi, m.descent)),
                                    qp(geometry::polarPoint(p0, across + pi, m.descent))};
            {
                QPainter painter(&w_.canvasImage());
                painter.setPen(Qt::NoPen);
                painter.setBrush(back);
                painter.drawPolygon(quad, 4);
            }
            if (c1 > c0) {
                render::canvas_t canvas(w_.canvasImage());
                canvas.textOut(qp(p0), it->textAngle / 10.0, render::makeTextFont(it, size, true),
                               render::toQString(line.substr(size_t(c0), size_t(c1 - c0))), foreBgr);
            }
            drawn = drawn.united(boundsOf({quad[0], quad[1], quad[2], quad[3]}));
        }
        lineStart = lineEnd + 1;
    }
    if (!drawn.isEmpty()) w_.updateCanvas(drawn.adjusted(-1, -1, 1, 1));
}

// ---------------------------------------------------------------- edits

template <class Change>
void textEditing_t::edit(Change change)
{
    item_t* it = target();
    if (!it) return;
    const QRect before = coveredRect(it);
    const geometry::quadrangle_t bandBefore = render::textBand(it);
    const point_t a{it->x1, it->y1}, b{it->x2, it->y2};
    const int32_t lineBefore = caretLine_, columnBefore = caretColumn_;
    const bool linesChanged = change(it);
    render::fitTextBox(it, false, w_.zoomFactor());
    render::textBox(it);
    // A label grows and shrinks about its shape's middle.
    recentreLabel(w_.items(), it);
    model::setModified(w_.items(), true);
    eraseCaret();
    // What changed on the canvas: within one line, the line from the first
    // changed character on (a left-justified line keeps what lies before
    // it); a box grown at its end also moves its end of the frame. Anything
    // else, and any shadow, whose blur follows the box: the whole text.
    const bool sameEnds = a == point_t{it->x1, it->y1} && b == point_t{it->x2, it->y2};
    const bool grewAtEnd = a == point_t{it->x1, it->y1} && !sameEnds && render::anchorOf(it) == render::textAnchor_t::start &&
                           it->shadowElevation == 0;
    if (!linesChanged && lineBefore == caretLine_ && (sameEnds || grewAtEnd)) {
        QRect area = lineRect(it, caretLine_, std::min(columnBefore, caretColumn_));
        if (grewAtEnd) area = area.united(endEdgeRect(bandBefore)).united(endEdgeRect(render::textBand(it)));
        repaintChanged(it, area, false);
    } else {
        repaintChanged(it, before, true);
    }
    startCaret();
    if (w_.host()) w_.host()->editStateChanged(&w_);
}

void textEditing_t::typeCharacter(std::u16string_view units)
{
    if (units.empty()) return;
    edit([&](item_t* it) {
        std::u16string t = model::getText(it);
        t.insert(size_t(std::clamp(caretPosition(it), 0, int32_t(t.size()))), units);
        model::setText(it, t);
        caretColumn_ += int32_t(units.size());
        return false;
    });
}

void textEditing_t::newLine()
{
    edit([&](item_t* it) {
        std::u16string t = model::getText(it);
        t.insert(size_t(std::clamp(caretPosition(it), 0, int32_t(t.size()))), 1, model::lineSeparator);
        model::setText(it, t);
        ++caretLine_;
        caretColumn_ = 1;
        moveBaseline(it, true);
        return true;
    });
}

void textEditing_t::backspace()
{
    edit([&](item_t* it) {
        std::u16string t = model::getText(it);
        const int32_t pos = caretPosition(it);
        if (pos <= 0 || pos > int32_t(t.size())) return false;
        const char16_t gone = t[size_t(pos - 1)];
        if (gone == model::lineSeparator) {
            // The caret stays at the join: after the last character of the line above.
            const int32_t above = int32_t(lineOf(it, caretLine_ - 1).size());
            t.erase(size_t(pos - 1), 1);
            model::setText(it, t);
            caretLine_ = std::max(caretLine_ - 1, 1);
            caretColumn_ = above + 1;
            moveBaseline(it, false);
            return true;
        }
        const int32_t n = isLow(gone) && pos >= 2 && isHigh(t[size_t(pos - 2)]) ? 2 : 1;
        t.erase(size_t(pos - n), size_t(n));
        model::setText(it, t);
        caretColumn_ -= n;
        return false;
    });
}

void textEditing_t::deleteAtCaret()
{
    edit([&](item_t* it) {
        std::u16string t = model::getText(it);
        const int32_t pos = caretPosition(it);
        if (pos < 0 || pos >= int32_t(t.size())) return false;
        const char16_t gone = t[size_t(pos)];
        const int32_t n = isHigh(gone) && pos + 1 < int32_t(t.size()) && isLow(t[size_t(pos + 1)]) ? 2 : 1;
        t.erase(size_t(pos), size_t(n));
        model::setText(it, t);
        if (gone != model::lineSeparator) return false;
        moveBaseline(it, false);
        return true;
    });
}

void textEditing_t::moveBaseline(item_t* it, bool down)
{
    const double theta = render::textTheta(it);
    const double dir = down ? theta - pi / 2 : theta + pi / 2;
    const int32_t h = render::lineHeight(it);
    render::setTextBaseline(it, geometry::polarPoint({it->x1, it->y1}, dir, h), geometry::polarPoint({it->x2, it->y2}, dir, h));
}

void textEditing_t::moveCaret(int key)
{
    item_t* it = target();
    if (!it || !caretRunning_) return;
    const std::vector<std::u16string_view> lines = render::textLines(it);
    const int32_t n = std::max(int32_t(lines.size()), 1);
    auto length = [&](int32_t line) { return line <= int32_t(lines.size()) ? int32_t(lines[size_t(line - 1)].size()) : 0; };
    auto at = [&](int32_t line, int32_t col) {
        return col >= 1 && col <= length(line) ? lines[size_t(line - 1)][size_t(col - 1)] : char16_t(0);
    };
    eraseCaret();
    int32_t line = std::clamp(caretLine_, 1, n), col = caretColumn_;
    switch (key) {
    case Qt::Key_PageUp: line = 1, col = 1; break;
    case Qt::Key_PageDown: line = n, col = length(n) + 1; break;
    case Qt::Key_End: col = length(line) + 1; break;
    case Qt::Key_Home: col = 1; break;
    case Qt::Key_Left: col = std::max(col - (isLow(at(line, col - 1)) && col > 2 ? 2 : 1), 1); break;
    case Qt::Key_Right: col = std::min(col + (isHigh(at(line, col)) ? 2 : 1), length(line) + 1); break;
    case Qt::Key_Up: line = std::max(line - 1, 1); break;
    case Qt::Key_Down: line = std::min(line + 1, n); break;
    default: break;
    }
    col = std::clamp(col, 1, length(line) + 1);
    // Never between the two halves of a character outside the basic plane.
    if (isLow(at(line, col))) --col;
    caretLine_ = line;
    caretColumn_ = col;
    startCaret();
}

// ---------------------------------------------------------------- clicks in the text

bool textEditing_t::inside(const item_t* it, point_t pos) const
{
    return geometry::pointInBand(w_.toDoc(pos), render::textBand(it));
}

void textEditing_t::placeCaretAt(const item_t* it, point_t pos)
{
    eraseCaret();
    const std::vector<std::u16string_view> lines = render::textLines(it);
    const double z = w_.zoomFactor();
    const render::xform_t xf = render::screenXform(z, w_.viewOrigin());
    const std::vector<render::lineBaseline_t> bases = render::lineBaselines(it, xf, int32_t(lines.size()));
    const int32_t size = std::max(render::zoomedFontSize(it, z), 1);
    const double theta = render::textTheta(it);
    double best = -1;
    caretLine_ = 1;
    caretColumn_ = 1;
    for (size_t k = 0; k < lines.size(); ++k) {
        const std::u16string_view line = lines[k];
        const point_t start = pt(render::justifiedStart(it, line, bases[k].p, z));
        // The end of each character (never the start of the line).
        for (size_t j = 1; j <= line.size(); ++j) {
            if (j < line.size() && isLow(line[j])) continue;
            const point_t end = geometry::polarPoint(start, theta, render::textWidth(it, size, line.substr(0, j)));
            const double d = geometry::distance(end, pos);
            if (best < 0 || d < best) {
                best = d;
                caretLine_ = int32_t(k) + 1;
                caretColumn_ = int32_t(j) + 1;
            }
        }
    }
    startCaret();
}

// ---------------------------------------------------------------- repainting

QRect textEditing_t::coveredRect(const item_t* it) const
{
    const double z = w_.zoomFactor();
    const render::rect_t r = render::itemReach(it, z);
    const point_t a = w_.toScreen({r.left, r.top}), b = w_.toScreen({r.right, r.bottom});
    const int32_t g = 2 + std::max(params().markWidth, params().markHeight);
    return spanRect(a.x, a.y, b.x, b.y).adjusted(-g, -g, g, g);
}

QRect textEditing_t::lineRect(const item_t* it, int32_t line, int32_t fromColumn) const
{
    const std::vector<std::u16string_view> lines = render::textLines(it);
    const int32_t n = std::max(int32_t(lines.size()), 1);
    line = std::clamp(line, 1, n);
    const double z = w_.zoomFactor();
    const render::xform_t xf = render::screenXform(z, w_.viewOrigin());
    const QPoint p = render::lineBaselines(it, xf, n)[size_t(line - 1)].p;
    const std::u16string_view text = lineOf(it, line);
    const int32_t size = std::max(render::zoomedFontSize(it, z), 1);
    const render::textMetrics_t m = render::textMetrics(it, size);
    // The line's glyphs lie along the longer of the line and the box, from
    // its descent to its ascent; italics, underlines and a shadow stay
    // within the slack beyond. A left-justified line keeps its glyphs
    // before the first changed character.
    const double theta = render::textTheta(it);
    const int32_t across = m.ascent + m.descent + m.leading;
    const int32_t slack = across / 4 + 3 + render::shadowSpreadPx(it, z);
    const int32_t along = std::max(roundHalfEven(z * geometry::distance({it->x1, it->y1}, {it->x2, it->y2})),
                                   render::textWidth(it, size, text));
    int32_t from = 0;
    if (render::anchorOf(it) == render::textAnchor_t::start && fromColumn > 1)
        from = std::max(render::textWidth(it, size, text.substr(0, size_t(std::min<int32_t>(fromColumn - 1, int32_t(text.size()))))) - slack, 0);
    const point_t s = geometry::polarPoint(pt(p), theta, from), e = geometry::polarPoint(pt(p), theta, along);
    const QRect r = boundsOf({qp(s), qp(e), qp(geometry::polarPoint(s, theta + pi / 2, across)),
                              qp(geometry::polarPoint(e, theta + pi / 2, across)),
                              qp(geometry::polarPoint(s, theta - pi / 2, across)),
                              qp(geometry::polarPoint(e, theta - pi / 2, across))});
    return r.adjusted(-slack, -slack, slack, slack);
}

QRect textEditing_t::endEdgeRect(const geometry::quadrangle_t& band) const
{
    // The band's second and third corners hold the end of the frame.
    const point_t a = w_.toScreen(band[1]), b = w_.toScreen(band[2]);
    return boundsOf({qp(a), qp(b)}).adjusted(-3, -3, 3, 3);
}

void textEditing_t::repaintChanged(item_t* it, const QRect& before, bool moved)
{
    const QRect area = (moved ? before.united(coveredRect(it)) : before).intersected(w_.canvasImage().rect());
    if (area.isEmpty()) return drawFrame(it);
    repaintPiece(w_, area, false);
    drawFrame(it);
    w_.updateCanvas(area);
}

void textEditing_t::drawFrame(item_t* it)
{
    render::canvas_t canvas(w_.canvasImage());
    render::drawTextFrame(canvas, render::screenXform(w_.zoomFactor(), w_.viewOrigin()), it, params().textFrameColor, 1);
    frameLost_ = false;
}

// ---------------------------------------------------------------- the caret

QRect textEditing_t::caretRect() const
{
    const auto [top, bottom] = caretEnds();
    return caretRunning_ ? boundsOf({top, bottom}) : QRect();
}

std::pair<QPoint, QPoint> textEditing_t::caretEnds() const
{
    const item_t* it = target();
    if (!it) return {};
    const std::vector<std::u16string_view> lines = render::textLines(it);
    const int32_t n = std::max(int32_t(lines.size()), 1);
    const int32_t line = std::clamp(caretLine_, 1, n);
    const std::u16string_view text = lineOf(it, line);
    const double z = w_.zoomFactor();
    const render::xform_t xf = render::screenXform(z, w_.viewOrigin());
    const QPoint p = render::lineBaselines(it, xf, n)[size_t(line - 1)].p;
    const int32_t size = std::max(render::zoomedFontSize(it, z), 1);
    const render::textMetrics_t m = render::textMetrics(it, size);
    const double theta = render::textTheta(it);
    const point_t start = pt(render::justifiedStart(it, text, p, z));
    const int32_t before = render::textWidth(it, size, text.substr(0, size_t(std::clamp(caretColumn_ - 1, 0, int32_t(text.size())))));
    const point_t at = geometry::polarPoint(start, theta, before);
    // Italic glyphs lean forward: so does their caret.
    const double across = theta + pi / 2 - (it->fontItalic ? 10.0 * pi / 180.0 : 0.0);
    const QPoint top = qp(geometry::polarPoint(at, across, m.ascent));
    const QPoint bottom = qp(geometry::polarPoint(at, across + pi, m.descent));
    return {top, bottom};
}

void textEditing_t::drawCaret()
{
    const item_t* it = target();
    if (!it || caretShown_) return;
    const auto [top, bottom] = caretEnds();
    const int32_t width = w_.zoomFactor() > 1 ? 2 : 1;
    const QRect under = boundsOf({top, bottom}).adjusted(-width - 1, -width - 1, width + 1, width + 1);
    w_.saveUnder(caretBuffer_, under);
    {
        render::canvas_t canvas(w_.canvasImage());
        canvas.setPen(it->textColor, width);
        const QPoint line[2] = {top, bottom};
        canvas.polyline(line, 2);
    }
    caretShown_ = true;
    w_.updateCanvas(caretBuffer_.rect);
}

void textEditing_t::eraseCaret()
{
    if (!caretShown_) return;
    w_.restoreUnder(caretBuffer_);
    caretShown_ = false;
}

void textEditing_t::startCaret()
{
    caretRunning_ = true;
    drawCaret();
    h_.caretTimer().start();
}

void textEditing_t::stopCaret()
{
    h_.caretTimer().stop();
    eraseCaret();
    caretRunning_ = false;
    anchor_ = -1;
    dragSelecting_ = false;
}

void textEditing_t::restyled(const QRect& before)
{
    item_t* it = target();
    if (!caretRunning_ || !it) return;
    eraseCaret();
    render::fitTextBox(it, false, w_.zoomFactor());
    render::textBox(it);
    recentreLabel(w_.items(), it);
    repaintChanged(it, before, true);
    startCaret();
}

void textEditing_t::blink()
{
    if (!caretRunning_) return;
    if (frameLost_)
        if (item_t* it = target()) drawFrame(it);
    if (caretShown_) eraseCaret();
    else drawCaret();
    h_.caretTimer().start();
}

} // namespace canvas
