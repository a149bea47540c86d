// The side-panel controller of the main window: which panel shows, the
// deferred panel command, the next-step suggestions and the step history with
// its Back and Forward controls. The main window forwards its panel entry
// points here.
#pragma once

#include "app/stephistory.h"
#include "ui/panelcodes.h"

#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace ui {
class sidePanel_t;
} // namespace ui
namespace canvas {
class TSandbox;
} // namespace canvas
namespace panels {
class TToolbox;
class panelHost_t;
class attributePanel_t;
} // namespace panels

namespace app {

class TForm1;

// How a switch of the side panel treats the panel showing, the active
// window's tool and the step history.
struct panelSwitch_t {
    bool onlyIfChanged = false;  // nothing happens when the code shows already
    bool applyToWindow = false;  // the active window takes the code as its tool
    bool fromHistory = false;    // Back or Forward: not recorded as a new step
};

class sidePanelController_t {
public:
    explicit sidePanelController_t(TForm1& shell);
    ~sidePanelController_t();
    sidePanelController_t(const sidePanelController_t&) = delete;
    sidePanelController_t& operator=(const sidePanelController_t&) = delete;

    // The side panel widget, its panel host, and the deferred switch's timer
    // (Timer1 of the main window, 100 ms).
    ui::sidePanel_t* widget() const { return sidePanel_; }
    panels::panelHost_t& host() const { return *host_; }
    QTimer& panelSwitchTimer() { return panelSwitchTimer_; }

    int32_t panelCode() const { return panelCode_; }
    int32_t previousPanelCode() const { return previousPanelCode_; }
    int32_t pendingPanel() const { return pendingPanel_; }
    const std::vector<int32_t>& suggestions() const { return suggestions_; }
    stepHistory_t& stepHistory() { return stepHistory_; }
    const stepHistory_t& stepHistory() const { return stepHistory_; }
    // The insert panel lives for the whole run; every other panel is made
    // when its code is shown and freed when another code replaces it.
    panels::TToolbox* insertPanel() const { return insertPanel_; }
    QWidget* codePanel() const { return codePanel_; }
    // The attribute panel showing (null for the insert panel and frames).
    panels::attributePanel_t* attributePanel() const;

    // The only way to switch the side panel.
    void showPanel(int32_t code, panelSwitch_t how);
    void showInsertPanel();
    void runPanelCommand(int32_t code);
    // Runs `code` through the deferred panel command after the current event.
    void switchLater(int32_t code);
    // Runs `action` after the current event in place of a panel command (a
    // guidance page's link or check box); `code` is the panel it leads to.
    void runLater(int32_t code, std::function<void()> action);
    // The deferred panel command (Timer1Timer).
    void runPendingPanel();
    // The panel showing becomes `code` without being made again (a tool
    // panel switching between its tools).
    void changeTool(int32_t code);
    // Frees the panel showing (teardown: it writes its settings when freed).
    void freeCodePanel();

    void rebuildSuggestions();
    void runSuggestion(int32_t k);

    void recordStep(int32_t code, bool fromHistory);
    void stepBack();
    void stepForward();
    bool canStepBack() const;
    bool canStepForward() const;
    void refreshStepControls();
    void restoreToolSettings(const stepEntry_t& entry);
    // Tags the selected items of the window for a step; returns the tag.
    int32_t tagSelection(canvas::TSandbox* w);
    bool selectTagged(canvas::TSandbox* w, int32_t tag);
    bool guidanceWanted(int32_t page) const;

private:
    TForm1& shell_;
    ui::sidePanel_t* sidePanel_ = nullptr;
    std::unique_ptr<panels::panelHost_t> host_;
    QTimer panelSwitchTimer_;  // Timer1
    panels::TToolbox* insertPanel_ = nullptr;
    QWidget* codePanel_ = nullptr;
    int32_t panelCode_ = ui::panelInsert;
    int32_t previousPanelCode_ = ui::panelInsert;
    int32_t pendingPanel_ = 0;
    std::function<void()> pendingAction_;
    std::vector<int32_t> suggestions_;
    stepHistory_t stepHistory_;
};

} // namespace app
