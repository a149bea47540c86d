#include "app/stephistory.h"

#include "panels/fontlist.h"
#include "ui/panelcodes.h"
#include "settings/params.h"

#include <algorithm>

namespace app {

using namespace ui;  // panel codes

toolSnapshot_t snapshotOf(const settings::TParams& p)
{
    toolSnapshot_t s;
    s.lineStyle() = p.lineStyle();
    s.textStyle() = p.textStyle();
    s.tfont = s.tfont.left(panels::maxFontName);
    return s;
}

bool isRecordedCode(int32_t c)
{
    return c == panelInsert || c == panelMultiple || (c >= panelNextLine && c <= panelText) || c == panelPictureInsert ||
           c == panelPicture || isGuidance(c);
}

bool isSelectionStep(int32_t c)
{
    return c == panelMultiple || c == panelLine || isShapeFineTune(c) || c == panelText || c == panelPicture;
}

bool isToolStep(int32_t c) { return c == panelNextLine || isShapeTool(c) || c == panelNextText; }

int32_t stepHistory_t::current() const
{
    for (int32_t i = static_cast<int32_t>(entries_.size()) - 1; i >= 0; --i)
        if (entries_[i].visited) return i;
    return -1;
}

bool stepHistory_t::tagInUse(int32_t tag) const
{
    return std::any_of(entries_.begin(), entries_.end(), [tag](const stepEntry_t& e) { return e.stepTag == tag; });
}

bool stepHistory_t::repeatsCurrent(int32_t code, const toolSnapshot_t& now) const
{
    const int32_t c = current();
    if (c < 0 || entries_[c].code != code) return false;
    if (code == panelNextLine || isShapeTool(code)) return now.sameLine(entries_[c].tools);
    if (code == panelNextText) return now.sameText(entries_[c].tools);
    return false;
}

bool stepHistory_t::record(int32_t code, const toolSnapshot_t& now, int32_t docNumber, int32_t stepTag)
{
    if (!isRecordedCode(code)) return false;
    std::erase_if(entries_, [](const stepEntry_t& e) { return !e.visited; });
    int32_t serial = 0;
    for (const stepEntry_t& e : entries_) serial = std::max(serial, e.serial);
    entries_.push_back({code, 1, serial + 1, docNumber, stepTag, now});
    return true;
}

bool stepHistory_t::prepare(const stepEntry_t& e, stepWorld_t& world)
{
    if (isSelectionStep(e.code)) return world.activateDocument(e.docNumber) && world.selectTagged(e.stepTag);
    if (isToolStep(e.code)) world.restoreToolSettings(e);
    return true;
}

void stepHistory_t::stepBack(stepWorld_t& world)
{
    for (;;) {
        const int32_t c = current();
        if (c < 0) return;
        entries_[c].visited = 0;
        const int32_t p = current();
        if (p < 0) {
            world.refreshStepControls();
            world.showStep(panelInsert);
            return;
        }
        const bool shown = prepare(entries_[p], world);
        world.refreshStepControls();
        if (shown) {
            world.showStep(entries_[p].code);
            return;
        }
    }
}

void stepHistory_t::stepForward(stepWorld_t& world)
{
    for (;;) {
        const size_t n = static_cast<size_t>(current() + 1);
        if (n >= entries_.size()) return;
        entries_[n].visited = 1;
        const bool shown = prepare(entries_[n], world);
        world.refreshStepControls();
        if (shown) {
            world.showStep(entries_[n].code);
            return;
        }
    }
}

bool stepHistory_t::restorable(const stepEntry_t& e, const stepWorld_t& world)
{
    if (e.code == panelInsert || isToolStep(e.code) || isGuidance(e.code)) return true;
    return world.holdsTagged(e.docNumber, e.stepTag);
}

bool stepHistory_t::canStepBack(const stepWorld_t& world) const
{
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const stepEntry_t& e) { return e.visited && restorable(e, world); });
}

bool stepHistory_t::canStepForward(const stepWorld_t& world) const
{
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const stepEntry_t& e) { return !e.visited && restorable(e, world); });
}

} // namespace app
