// The anchor strips between the rulers and the canvas: every gridline has an
// anchor there (a small blue cylinder, red while the mouse is over it) that
// the user drags to move the gridline, Shift-clicks beside to insert one, or
// deletes with the Delete key while it is hot.
#pragma once

#include <QWidget>

#include <cstdint>

namespace model {
struct anchorNode_t;
}

namespace canvas {

class TSandbox;
class interactionHost_t;

constexpr int32_t anchorColour = 0xFF7A45;     // blue, 0x00BBGGRR
constexpr int32_t hotAnchorColour = 0x0000FF;  // red
constexpr int32_t stripThickness = 12;

// Kinds of an anchor drag.
constexpr int32_t anchorDragNone = 0;
constexpr int32_t anchorDragX = 1;
constexpr int32_t anchorDragY = 2;

// One strip: the top one carries the anchors of the vertical gridlines
// (anchorsX), the left one those of the horizontal gridlines. It lies over
// the canvas panel's edge and forwards the mouse to the window.
class anchorStrip_t : public QWidget {
public:
    anchorStrip_t(interactionHost_t& host, bool xAxis, QWidget* parent);
    bool xAxis() const { return xAxis_; }
    // Repaints the anchor drawn with its middle at strip position `at`.
    void updateAnchorAt(int32_t at);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    interactionHost_t& h_;
    bool xAxis_;
};

// The anchor interaction: which anchor is hot, and the drag of one.
class anchorDrag_t {
public:
    explicit anchorDrag_t(interactionHost_t& host);

    void press(Qt::MouseButton button, QPoint pos);
    void move(QPoint pos);
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    // The mouse left the strips: nothing is hot any more.
    void leave();
    // The grid record changed under the strips (undo, a new version).
    void reset();

    int32_t dragKind() const { return kind_; }
    // Strip position of the dragged anchor's middle.
    int32_t dragAt() const { return dragAt_; }
    const model::anchorNode_t* dragged() const { return dragged_; }

private:
    // The anchor under a Panel0 point, in whichever strip the point lies.
    model::anchorNode_t* anchorAt(QPoint pos, bool& xAxis) const;
    void setHot(model::anchorNode_t* a, bool xAxis);

    interactionHost_t& h_;
    TSandbox& w_;
    int32_t kind_ = anchorDragNone;
    bool pressed_ = false;
    model::anchorNode_t* dragged_ = nullptr;
    int32_t dragFrom_ = 0;  // the gridline's position when the drag began
    int32_t dragAt_ = 0;
};

} // namespace canvas
