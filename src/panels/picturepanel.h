// The picture fine-tune panel TColorbox: turns the selected pictures, leads
// back into the picture window to change their clip or cut new clips, and
// sets their colour adjustments ("Colors") and their frame, shadow and 3-D
// effect ("Effects"). Every change goes at once through the setters of the
// active document window, one history step each; the panel records no
// side-panel steps and has no mode for the next item's defaults.
#pragma once

#include "panels/frameeffects.h"
#include "panels/panelhost.h"

#include <array>
#include <cstdint>

namespace model {
struct itemList_t;
}

namespace panels {

class adjustmentSliders_t;
class buttonRow_t;
class hintBox_t;
class tabStrip_t;

// What the selected pictures have in common. A value they do not share is
// marked mixed: 2147483647 for the adjustments (stored values), and as
// frameEffects_t says for the frame and effects.
struct pictureSummary_t {
    int32_t saturation = 0;
    int32_t contrast = 0;
    int32_t lightness = 0;
    frameEffects_t effects;
    // Every selected picture is a round clip (and there is one).
    bool allRound = false;
    int32_t count = 0;
};
// The summary over the selected items that are not group handles.
pictureSummary_t summarisePictures(model::itemList_t& list);

class TColorbox : public attributePanel_t {
public:
    // Opens the tab shown last (the setting `pictureTab`), which follows
    // every change of tab.
    explicit TColorbox(panelHost_t& host, QWidget* parent = nullptr);

    // The buttons from the left: mirror, flip, rotate left, rotate right,
    // "Edit clip boundary".
    static constexpr int32_t clipButton = 4;
    static constexpr int32_t colorsTab = 1, effectsTab = 2;

    // Summarises the selection, puts the sliders there and refreshes.
    void showPicturePanel();
    // Lays out and fills everything from the summary (no setter runs).
    void refreshPicturePanel();

    void selectionChanged() override { showPicturePanel(); }
    void customizationClosed(int32_t hostedCode) override;

    int32_t tab() const { return tab_; }
    const pictureSummary_t& summary() const { return summary_; }

    // A press on a button (0-based) or on hint box 2..5.
    void pressButton(int32_t k);
    void pressHint(int32_t box);

    buttonRow_t* buttons() const { return buttons_; }
    tabStrip_t* tabs() const { return tabs_; }
    adjustmentSliders_t* sliders() const { return sliders_; }
    frameEffectsLists_t* effects() const { return effects_; }
    QWidget* tabArea(int32_t tab) const { return tab == effectsTab ? effectsArea_ : colorsArea_; }
    hintBox_t* hint(int32_t box) const { return hints_[box - firstHint]; }

    // While set the panel fills its controls and applies nothing.
    bool building = false;
    // While set a picture window is being opened from the panel, and the
    // controls change nothing.
    bool opening = false;

    static constexpr int32_t firstHint = 2, lastHint = 5;

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void tabChosen(int32_t tab);
    void fillHints();
    void layoutPanel();
    void editClips(int32_t mode);
    // The active document when a change may run now, else null.
    canvas::TSandbox* target() const;

    int32_t tab_ = colorsTab;
    pictureSummary_t summary_;
    buttonRow_t* buttons_;
    tabStrip_t* tabs_;
    QWidget* colorsArea_;
    QWidget* effectsArea_;
    adjustmentSliders_t* sliders_;
    frameEffectsLists_t* effects_;
    std::array<hintBox_t*, lastHint - firstHint + 1> hints_{};
};

} // namespace panels
