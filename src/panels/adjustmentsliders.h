// The colour adjustment sliders of pictures: "Saturation", "Contrast" and
// "Lightness", each with the value text that follows it while it moves. A
// change is handed on when the slider is let go, not at every move.
#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class QLabel;
class QSlider;

namespace panels {

// What a slider at `position` reads: "Normal", or a percentage of the way
// to either end (-100% at -128, 100% at 512).
QString adjustmentText(int32_t position);

class adjustmentSliders_t : public QWidget {
public:
    static constexpr int32_t minimum = -128;
    static constexpr int32_t maximum = 512;
    static constexpr int32_t tickStep = 32;
    // A value the selected pictures do not share.
    static constexpr int32_t mixed = 2147483647;
    static constexpr int32_t saturationSlider = 0, contrastSlider = 1, lightnessSlider = 2;

    explicit adjustmentSliders_t(QWidget* parent = nullptr);

    // Puts the sliders at the positions (a mixed one at 0) and tells nothing.
    void showPositions(int32_t saturation, int32_t contrast, int32_t lightness);
    int32_t position(int32_t k) const;
    QSlider* slider(int32_t k) const { return sliders_[k]; }
    QLabel* valueText(int32_t k) const { return values_[k]; }
    QLabel* label(int32_t k) const { return labels_[k]; }

    // While set, moves change only the value texts.
    void setIgnoring(bool on) { ignoring_ = on; }

    // The three positions, after a slider was let go (or stepped by the
    // keyboard or a click beside its knob).
    std::function<void(int32_t saturation, int32_t contrast, int32_t lightness)> onApply;

    int32_t neededHeight() const;

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void moved(int32_t k, int32_t position);
    void apply();

    std::array<QLabel*, 3> labels_{};
    std::array<QLabel*, 3> values_{};
    std::array<QSlider*, 3> sliders_{};
    bool building_ = false;
    bool ignoring_ = false;
};

} // namespace panels
