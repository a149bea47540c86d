// A document window's host for tests of one window: it records the window
// entries, the close questions' saves, the panels, guidance pages and
// edit-state refreshes the window asks for.
#pragma once

#include "canvas/sandbox.h"
#include "model/itemlist.h"

#include <QList>
#include <QStringList>

struct recordingHost_t : canvas::sandboxHost_t {
    QList<int32_t> panels, guidance, toolPanels, textHints;
    QString status;
    int32_t editStates = 0;
    // "caption:number" for an entry added, "-number" for one removed.
    QStringList entries;
    int activated = 0, destroyed = 0, saves = 0;
    // What the save for the close question answers (a successful save clears the modified flag).
    bool saveResult = true;
    QStringList recent, pictures;
    void addWindowEntry(const QString& c, int32_t n) override { entries << QStringLiteral("%1:%2").arg(c).arg(n); }
    void removeWindowEntry(int32_t n) override { entries << QStringLiteral("-%1").arg(n); }
    void checkWindowEntry(int32_t) override {}
    void documentActivated(canvas::TSandbox*) override { ++activated; }
    void documentDestroyed(canvas::TSandbox*) override { ++destroyed; }
    bool saveForClose(canvas::TSandbox* w) override
    {
        ++saves;
        if (saveResult) model::setModified(w->items(), false);
        return saveResult;
    }
    void addRecent(const QString& f) override { recent << f; }
    void offerPicture(canvas::TSandbox*, const QString& p) override { pictures << p; }
    void zoomControlsChanged() override {}
    void showToolPanel(int32_t code) override { toolPanels << code; }
    void editStateChanged(canvas::TSandbox*) override { ++editStates; }
    void showPanel(int32_t code) override { panels << code; }
    void showGuidance(int32_t page) override { guidance << page; }
    void showStatus(const QString& text) override { status = text; }
    void textHintsChanged(int32_t which) override { textHints << which; }
};
