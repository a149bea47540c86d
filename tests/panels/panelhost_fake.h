// A side panel's host around one document window: it hands out the settings
// of the window (or its own), records the steps, customizations, deferred
// switches, tool changes, clip requests and hover marks a panel asks for,
// and joins and splits on the window's list.
#pragma once

#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "model/groups.h"
#include "panels/panelhost.h"

#include <functional>
#include <vector>

struct fakePanelHost_t : panels::panelHost_t {
    canvas::TSandbox* doc = nullptr;
    settings::TParams* settings = nullptr;  // the windows' settings when null
    bool customizationsShow = false;
    bool changeToolInDocument = false;  // a tool change also selects the tool in `doc`
    std::vector<int32_t> steps, customizations, switches, suggestionMarks, toolbarMarks, tools, clipModes;
    int32_t joins = 0, splits = 0;
    // What happens while the picture window is being opened.
    std::function<void()> whileOpening;

    settings::TParams& params() override { return settings ? *settings : canvas::params(); }
    canvas::TSandbox* activeDocument() override { return doc; }
    void recordPanelStep(int32_t code) override { steps.push_back(code); }
    bool openCustomization(int32_t hostedCode) override
    {
        customizations.push_back(hostedCode);
        return customizationsShow;
    }
    void switchPanelLater(int32_t code) override { switches.push_back(code); }
    void changeTool(int32_t code) override
    {
        tools.push_back(code);
        if (changeToolInDocument && doc) doc->selectTool(code);
    }
    void markSuggestion(int32_t k) override { suggestionMarks.push_back(k); }
    void markToolbarButton(int32_t n) override { toolbarMarks.push_back(n); }
    void joinSelection() override
    {
        ++joins;
        if (doc) model::joinItems(doc->items());
    }
    void splitSelection() override
    {
        ++splits;
        if (doc) model::splitGroup(doc->items());
    }
    void editPictureClips(int32_t mode) override
    {
        clipModes.push_back(mode);
        if (whileOpening) whileOpening();
    }
};
