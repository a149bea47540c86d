// A document window's host for tests of one window: it records the panels,
// guidance pages and edit-state refreshes the window asks for.
#pragma once

#include "canvas/sandbox.h"

#include <QList>

struct recordingHost_t : canvas::sandboxHost_t {
    QList<int32_t> panels, guidance, toolPanels, textHints;
    QString status;
    int32_t editStates = 0;
    void addWindowEntry(const QString&, int32_t) override {}
    void removeWindowEntry(int32_t) override {}
    void checkWindowEntry(int32_t) override {}
    void documentActivated(canvas::TSandbox*) override {}
    void documentDestroyed(canvas::TSandbox*) override {}
    bool saveForClose(canvas::TSandbox*) override { return true; }
    void addRecent(const QString&) override {}
    void offerPicture(canvas::TSandbox*, const QString&) override {}
    void zoomControlsChanged() override {}
    void showToolPanel(int32_t code) override { toolPanels << code; }
    void editStateChanged(canvas::TSandbox*) override { ++editStates; }
    void showPanel(int32_t code) override { panels << code; }
    void showGuidance(int32_t page) override { guidance << page; }
    void showStatus(const QString& text) override { status = text; }
    void textHintsChanged(int32_t which) override { textHints << which; }
};
