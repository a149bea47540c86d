// The click sequences of the insertion tools: the points of a new item placed
// click by click (or press, drag and release for the first two), the preview
// of the future item, and the keys of a sequence (Backspace, Enter, C, Esc).
//
// Points are kept in canvas pixels while they are placed (a click on the same
// snapped pixel as the previous point is recognised exactly) and converted to
// document pixels when a preview is drawn or the item is created.
#pragma once

#include "canvas/glue.h"
#include "canvas/interaction.h"
#include "model/item.h"
#include "render/renderpass.h"

#include <array>
#include <memory>
#include <vector>

namespace canvas {

class toolSequence_t : public interaction_t {
public:
    using interaction_t::interaction_t;

    void press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    bool key(int key, Qt::KeyboardModifiers modifiers) override;
    // Drops the unfinished sequence and its preview.
    void cancel() override;
    void eraseOverlay() override;
    void overlayLost() override;

    // The press was held for Timer1's interval: it takes the first point.
    void holdElapsed();
    // The view origin moved from `before`: the placed points keep their
    // document positions.
    void followViewOrigin(geometry::point_t before);

    int32_t clickCount() const { return clickCount_; }
    const std::vector<geometry::point_t>& points() const { return rubberPoints_; }
    // The save-under of the first guide line.
    const render::savedArea_t& guideBuffer() const { return guides_[0]; }

private:
    void erasePreview();
    void drawPreviewItem(model::item_t* shape, geometry::point_t lineStart, geometry::point_t lineEnd);
    // Dotted guide `slot` (0 or 1) from `from` to `to`, over its own save-under.
    void drawGuideLine(geometry::point_t from, geometry::point_t to, size_t slot = 0);
    void showSplinePreview(int32_t itemType, geometry::point_t mouse);
    std::unique_ptr<model::item_t> previewShape(int32_t itemType, const std::vector<geometry::point_t>& screenPoints,
                                                int32_t variant) const;
    void showShapePreview(int32_t itemType, const std::vector<geometry::point_t>& screenPoints, int32_t variant);
    void showLinePreview(geometry::point_t mouse);
    void rectangleCorners(geometry::point_t mouse);
    void redrawPreview(geometry::point_t mouse);
    model::item_t* createFromTool(const std::vector<geometry::point_t>& points, int32_t variant);
    void finishCreation(model::item_t* created);
    void finishSpline(int32_t variant);
    int32_t splineVariant() const;
    void placeFirstPoint(geometry::point_t p);
    void placeSecondPoint(geometry::point_t p, Qt::KeyboardModifiers modifiers);
    void placeThirdPoint(geometry::point_t p);
    bool splineKey(int key);
    // The status line says how the sequence can end (empty when none runs).
    void showStatus();
    bool canCloseWithC() const;

    int32_t clickCount_ = 0;
    // Tools that collect records keep them here; the last one follows the mouse.
    std::vector<geometry::point_t> rubberPoints_;
    // Tools whose points are single positions (centre, then the others).
    geometry::point_t firstPoint_, secondPoint_;
    geometry::point_t mouseDownPoint_;
    // Guide lines drawn after the preview item, put back in reverse order.
    std::array<render::savedArea_t, 2> guides_;
    connectionMarks_t marks_;
};

} // namespace canvas
