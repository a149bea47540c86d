// A side panel's host around one document window: it hands out the settings
// of the window, records the steps, customizations, deferred switches and
// hover marks a panel asks for, and joins and splits on the window's list.
#pragma once

#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "model/groups.h"
#include "panels/panelhost.h"

#include <QList>

struct fakePanelHost_t : panels::panelHost_t {
    canvas::TSandbox* doc = nullptr;
    bool customizationsShow = false;
    QList<int32_t> steps, customizations, switches, suggestionMarks, toolbarMarks;
    int32_t joins = 0, splits = 0;

    settings::TParams& params() override { return canvas::params(); }
    canvas::TSandbox* activeDocument() override { return doc; }
    void recordPanelStep(int32_t code) override { steps << code; }
    bool openCustomization(int32_t hostedCode) override
    {
        customizations << hostedCode;
        return customizationsShow;
    }
    void switchPanelLater(int32_t code) override { switches << code; }
    void changeTool(int32_t) override {}
    void markSuggestion(int32_t k) override { suggestionMarks << k; }
    void markToolbarButton(int32_t n) override { toolbarMarks << n; }
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
    void editPictureClips(int32_t) override {}
};
