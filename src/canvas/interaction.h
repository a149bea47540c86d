// One way the canvas answers the mouse and the keys: a tool's click sequence,
// the pointer's picking, an area selection, a handle drag, placing pasted
// items. The document window forwards its events to the interaction of its
// current mode; an interaction switches the mode to hand the gesture on.
#pragma once

#include "canvas/interactionhost.h"
#include "geometry/units.h"

#include <Qt>

namespace canvas {

class TSandbox;

class interaction_t {
public:
    explicit interaction_t(interactionHost_t& host) : h_(host), w_(host.window()) {}
    virtual ~interaction_t() = default;
    interaction_t(const interaction_t&) = delete;
    interaction_t& operator=(const interaction_t&) = delete;

    virtual void press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) = 0;
    virtual void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, geometry::point_t pos) = 0;
    virtual void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) = 0;
    // A key while this mode is current; true when the mode used it.
    virtual bool key(int key, Qt::KeyboardModifiers modifiers)
    {
        (void)key;
        (void)modifiers;
        return false;
    }
    // Leaves what the mode started without completing it.
    virtual void cancel() {}
    // Takes the mode's transient figure (a preview, a guide, a frame) off the
    // canvas, putting back the pixels under it, before part of the canvas is
    // painted again.
    virtual void eraseOverlay() {}
    // The whole canvas was painted anew: pixels saved under the figure are
    // stale and must never be put back.
    virtual void overlayLost() {}

protected:
    // What the interaction may change of the window besides its public operations.
    interactionHost_t& h_;
    TSandbox& w_;
};

} // namespace canvas
