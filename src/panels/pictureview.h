// The picture window's scrollable picture: the picture at its zoom with the
// clips, the rubber band of a clip being drawn and the selected clip's
// handles; the pointer and clip gestures on it (clipgestures.cpp).
#pragma once

#include "geometry/units.h"
#include "model/clips.h"
#include "model/item.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <cstdint>

namespace panels {

class TPict;

// The picture window's tools.
enum class pictTool_t { pointer, rectangle, round };

// The scrollable picture with its clips, rubber bands and handles.
class TPictView : public QAbstractScrollArea {
public:
    explicit TPictView(TPict* owner, QWidget* parent = nullptr);

    // The scroll offset (view pixels of the displayed bitmap).
    geometry::point_t scroll() const;
    // Adjusts the scroll bars to the displayed bitmap and repaints.
    void displayChanged();
    // The area a picture is fitted into: the view less its scroll bars.
    QSize availableArea() const;

    // Mouse handling, in viewport pixels (tests call these directly).
    void press(QPoint p);
    void move(QPoint p, bool buttonHeld);
    void release(QPoint p);
    // Escape: a clip being drawn is dropped and the pointer tool returns.
    bool cancelDrawing();
    bool drawing() const { return phase_ == phase_t::firstFixed || phase_ == phase_t::dragging; }
    bool draggingHandle() const { return phase_ == phase_t::handle; }
    // The press held long enough: the first point is fixed at the press.
    void holdElapsed();

    QTimer holdTimer;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    enum class phase_t { idle, pressed, firstFixed, dragging, handle };
    geometry::point_t toPicture(QPoint p) const;
    void finishClip(QPoint p);
    void updateCursor(QPoint p);

    TPict* owner_;
    phase_t phase_ = phase_t::idle;
    QPoint first_, current_;
    // The handle being dragged and the picture position of the press.
    int32_t handle_ = model::noHandle;
    geometry::point_t pressPicture_;
    model::item_t* dragged_ = nullptr;
};

} // namespace panels
