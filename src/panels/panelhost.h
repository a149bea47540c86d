// What a side panel asks of the main window, and the frame the attribute
// panels are built on. The main window implements the host; tests give a
// panel a host of their own around a document window.
#pragma once

#include "ui/panellook.h"

#include <cstdint>

namespace canvas {
class TSandbox;
}
namespace settings {
struct TParams;
}

namespace panels {

class panelHost_t {
public:
    virtual ~panelHost_t() = default;
    virtual settings::TParams& params() = 0;
    // The active document window; null without one (panel changes then
    // reach only the panel's own summary).
    virtual canvas::TSandbox* activeDocument() = 0;
    // A side-panel step of the step history for the panel code (nothing when
    // it repeats the current step).
    virtual void recordPanelStep(int32_t code) = 0;
    // Opens a customization panel in its floating window (the hosted codes
    // of hostedpanel.h); false when it could not be shown.
    virtual bool openCustomization(int32_t hostedCode) = 0;
    // Switches the side panel to `code` after the current event (the
    // deferred switch).
    virtual void switchPanelLater(int32_t code) = 0;
    // The active window's tool becomes `code` and the panel keeps showing
    // under that code (the spline and curve lists switch tools this way).
    virtual void changeTool(int32_t code) = 0;
    // Hover marks: a suggestion button (1..4) and a toolbar button; 0 clears.
    virtual void markSuggestion(int32_t k) = 0;
    virtual void markToolbarButton(int32_t n) = 0;
    // Joining the selection into a group and splitting a selected group.
    virtual void joinSelection() = 0;
    virtual void splitSelection() = 0;
    // Opens the picture window on the selected picture (code 503 re-clip or
    // 510 add clips).
    virtual void editPictureClips(int32_t mode) = 0;
};

// A side panel that shows attributes of the selection (or the defaults of
// the next item): it is told when the selection or its values changed under
// it (undo, redo, a change made elsewhere) and when a customization panel it
// opened has closed.
class attributePanel_t : public ui::panelFrame_t {
public:
    attributePanel_t(const QString& caption, int32_t colour, panelHost_t& host, QWidget* parent = nullptr)
        : panelFrame_t(caption, colour, parent), host_(host)
    {
    }
    // Summarise the selection again and show it.
    virtual void selectionChanged() {}
    // The customization panel `hostedCode` closed: rebuild the list it feeds.
    virtual void customizationClosed(int32_t hostedCode) { (void)hostedCode; }
    // Told by the document window through the main window: the tool reached
    // another step (the line tool after its first point: 2), typing (303) or
    // editing (37) of a text started (0: it ended), the extension of a
    // spline or curve ended.
    virtual void toolStepChanged(int32_t step) { (void)step; }
    virtual void textHintsChanged(int32_t which) { (void)which; }
    virtual void extensionEnded() {}

protected:
    panelHost_t& host_;
};

} // namespace panels
