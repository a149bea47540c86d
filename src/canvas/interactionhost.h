// What the interactions of a document window may do beyond the window's
// public operations: switch the mode and hand a gesture on, keep the handle a
// drag works with, and use the window's controls and timers. The window
// implements it for its interactions and its grid editor; none of them is a
// friend of the window.
#pragma once

#include "canvas/modes.h"
#include "geometry/units.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <Qt>

#include <cstdint>

class QTimer;
class QWidget;

namespace canvas {

class TSandbox;
class anchorDrag_t;
class anchorStrip_t;
class gridEditor_t;
class rulerImage_t;

class interactionHost_t {
public:
    virtual ~interactionHost_t() = default;

    // The window itself, for its public operations (document, view, repaints).
    virtual TSandbox& window() = 0;
    virtual gridEditor_t& grid() = 0;

    // ---- the editing state ----
    virtual void setMode(modeCode_t mode) = 0;
    // The handle code the current drag works with and the type of the item
    // whose handle started it.
    virtual void setHandle(int32_t code, int32_t ownerType) = 0;
    virtual int32_t handleOwnerType() const = 0;
    // The rest of the gesture, up to the next press, is ignored.
    virtual void ignoreGesture() = 0;
    virtual bool gestureIgnored() const = 0;
    virtual bool buttonHeld() const = 0;
    // The rectangle of the last area selection (what Copy to Clipboard copies).
    virtual void setAreaRect(const QRect& r) = 0;

    // ---- handing the gesture on ----
    virtual void beginAreaSelection(Qt::KeyboardModifiers modifiers, geometry::point_t pos) = 0;
    virtual void beginHandleDrag(modeCode_t mode, int32_t code, int32_t itemType, geometry::point_t pos) = 0;
    // The anchors changed under the strips (a new grid version, other choices).
    virtual void anchorsChanged() = 0;
    // The selection or the history changed: the main window refreshes its commands.
    virtual void editStateChanged() = 0;

    // ---- controls and timers ----
    // The canvas control: focus, cursor, input method.
    virtual QWidget& canvasControl() = 0;
    virtual rulerImage_t& ruler(bool vertical) = 0;
    virtual anchorStrip_t& anchorStrip(bool xAxis) = 0;
    // What the strips draw: the anchor being dragged, the hot ones.
    virtual const anchorDrag_t& anchorDrag() const = 0;
    // Redraws the anchors in both strips.
    virtual void redrawAnchors() = 0;
    // A point of the view panel (rulers, strips) in the value box's coordinates.
    virtual QPoint viewToValueBox(QPoint pos) const = 0;
    // The value box beside the mouse; empty text hides it.
    virtual void showValueBox(const QString& text, QPoint at) = 0;
    // A tool's press-and-hold (Timer1) and the text caret's blink (Timer4).
    virtual QTimer& holdTimer() = 0;
    virtual QTimer& caretTimer() = 0;

protected:
    interactionHost_t() = default;
    interactionHost_t(const interactionHost_t&) = default;
    interactionHost_t& operator=(const interactionHost_t&) = default;
};

} // namespace canvas
