// The frame and effects of pictures as four labelled pick lists: "Frame"
// (frame weights, "None" first), "Frame Color", "Shadow" and "Frame 3-D".
// The block shows the values it is given, keeps them as the user changes
// them and tells its owner each change; where the values come from (the
// selected pictures, or the settings for the pictures still to be inserted)
// is the owner's business.
#pragma once

#include "panels/picklistwidget.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class QLabel;

namespace panels {

// Frame and effects; each value may be mixed (the pictures differ).
struct frameEffects_t {
    static constexpr int32_t mixedFrameOn = 255;
    int32_t frameOn = 0;        // 0 off, 1 on, mixedFrameOn
    double frameWidth = 0.0;    // millimetres; -1.0 mixed
    int32_t frameColour = 0;    // 0x00BBGGRR; -1 mixed
    int32_t elevation = 0;      // the shadow triple; -1 mixed
    int32_t fade = 0;
    int32_t lightness = 0;
    int32_t surface = 0;        // 0 flat, 127 round; -1 mixed
};

class frameEffectsLists_t : public QWidget {
public:
    explicit frameEffectsLists_t(settings::TParams& params, QWidget* parent = nullptr);

    // Builds the four lists and highlights the values, telling nothing.
    void showValues(const frameEffects_t& v);
    // The values as shown, with the user's changes.
    const frameEffects_t& values() const { return values_; }

    // A customization panel closed: the frame weights (line weights) or
    // the shadows are built again and the values highlighted again.
    void customizationClosed(int32_t hostedCode);

    // While set (the owner is busy, e.g. opening another window), choices
    // change nothing and tell nothing.
    void setIgnoring(bool on) { ignoring_ = on; }
    bool building() const { return building_; }

    pickListBox_t* frameList() const { return lists_[0]; }
    pickListBox_t* colourList() const { return lists_[1]; }
    pickListBox_t* shadowList() const { return lists_[2]; }
    pickListBox_t* surfaceList() const { return lists_[3]; }
    QLabel* label(int32_t k) const { return labels_[k]; }

    // The height the four labels and lists take.
    int32_t neededHeight() const;

    // The customization a "Customize..." entry opens (hosted panel codes).
    std::function<void(int32_t hostedCode)> onCustomize;
    // The weight read from "Frame": 0.0 for "None", -1.0 for no entry.
    std::function<void(double width)> onFrameWidth;
    std::function<void(int32_t colour)> onFrameColour;
    std::function<void(int32_t elevation, int32_t fade, int32_t lightness)> onShadow;
    // 0 "Flat" or 127 "Round".
    std::function<void(int32_t surface)> onSurface;

    // Rows: a label and its list, one under the other.
    static constexpr int32_t labelHeight = 15;
    static constexpr int32_t rowGap = 3;

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    // The colour and 3-D lists are offered only while "Frame" shows a frame
    // (any entry but "None", also no entry).
    bool frameShown() const { return frameList()->index() != 0; }
    void selectFrame();
    void showFrameDependants();
    void frameChosen(int32_t index);
    void colourChosen(int32_t index);
    void shadowChosen(int32_t index);
    void surfaceChosen(int32_t index);
    bool quiet() const { return building_ || ignoring_; }

    settings::TParams& params_;
    frameEffects_t values_;
    std::array<QLabel*, 4> labels_{};
    std::array<pickListBox_t*, 4> lists_{};
    // Each list's highlighted entry before the current choice (to go back
    // to when a "Customize..." entry opened something else).
    std::array<int32_t, 4> last_{-1, -1, -1, -1};
    bool building_ = false;
    bool ignoring_ = false;
};

} // namespace panels
