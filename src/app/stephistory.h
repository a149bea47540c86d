// The side panel's step history: the panels the user went through, each with
// the tool settings and the tag of the selection of its moment, browsed with
// Back and Forward. Pure bookkeeping; what a step needs from the windows
// (finding a document, selecting tagged items, restoring settings, showing a
// panel) is asked through stepWorld_t.
#pragma once

#include "settings/toolstyles.h"

#include <cstdint>
#include <vector>

namespace settings {
class TParams;
}

namespace app {

// The tool settings a step remembers: the line tool's and the text tool's
// styles (the font name cut to the longest name a text stores).
struct toolSnapshot_t : settings::lineStyle_t, settings::textStyle_t {
    settings::lineStyle_t& lineStyle() { return *this; }
    const settings::lineStyle_t& lineStyle() const { return *this; }
    settings::textStyle_t& textStyle() { return *this; }
    const settings::textStyle_t& textStyle() const { return *this; }

    bool sameLine(const toolSnapshot_t& o) const { return lineStyle() == o.lineStyle(); }
    bool sameText(const toolSnapshot_t& o) const { return textStyle() == o.textStyle(); }
};

toolSnapshot_t snapshotOf(const settings::TParams& p);

struct stepEntry_t {
    int32_t code = 0;
    uint8_t visited = 0;
    int32_t serial = 0;
    int32_t docNumber = -1;
    int32_t stepTag = -1;
    toolSnapshot_t tools;
};

// Codes a switch to which becomes a step.
bool isRecordedCode(int32_t code);
// Steps about a selection: going back selects their tagged items again.
bool isSelectionStep(int32_t code);
// Steps about the next new item: going back restores the tool settings.
bool isToolStep(int32_t code);

class stepWorld_t {
public:
    virtual ~stepWorld_t() = default;
    // Brings the document window with that number to the front; false when none is open.
    virtual bool activateDocument(int32_t docNumber) = 0;
    // Selects the items of the active document carrying the tag; false when none was.
    virtual bool selectTagged(int32_t tag) = 0;
    // Whether the document is open and holds a selectable item with the tag.
    virtual bool holdsTagged(int32_t docNumber, int32_t tag) const = 0;
    virtual void restoreToolSettings(const stepEntry_t& entry) = 0;
    // Shows the panel as a step of the history (not recorded again).
    virtual void showStep(int32_t code) = 0;
    virtual void refreshStepControls() = 0;
};

class stepHistory_t {
public:
    // The current step: the last entry visited; -1 when none.
    int32_t current() const;
    const std::vector<stepEntry_t>& entries() const { return entries_; }
    bool tagInUse(int32_t tag) const;

    // Whether a switch to `code` with these settings repeats the current step.
    bool repeatsCurrent(int32_t code, const toolSnapshot_t& now) const;
    // Appends the step, dropping the steps ahead of the current one; codes
    // that are not steps are ignored. False when nothing was recorded.
    bool record(int32_t code, const toolSnapshot_t& now, int32_t docNumber, int32_t stepTag);

    void stepBack(stepWorld_t& world);
    void stepForward(stepWorld_t& world);
    bool canStepBack(const stepWorld_t& world) const;
    bool canStepForward(const stepWorld_t& world) const;

    void clear() { entries_.clear(); }

private:
    // Restores what the step needs; false when it is to be skipped.
    static bool prepare(const stepEntry_t& e, stepWorld_t& world);
    static bool restorable(const stepEntry_t& e, const stepWorld_t& world);

    std::vector<stepEntry_t> entries_;
};

} // namespace app
