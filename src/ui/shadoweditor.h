// The shadow editor (TShadow): the preset frame's row column with three
// sliders, a live sample drawn by the renderer's shadow code, the row's
// "listed" box and the light direction of every design.
#pragma once

#include "ui/presetframe.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>

#include <array>

namespace ui {

// The sample picture and the square on it (100 × 100, its corner 80 pixels
// left of and 50 above the picture's centre).
constexpr int32_t shadowSampleWidth = 280, shadowSampleHeight = 220;
constexpr int32_t shadowSquareSide = 100;
constexpr int32_t shadowSquareLeft = shadowSampleWidth / 2 - 80;
constexpr int32_t shadowSquareTop = shadowSampleHeight / 2 - 50;
constexpr int32_t shadowSquareColour = 0xFF0000;  // blue, 0x00BBGGRR

// A blue square casting the shadow of (elevation, fade, lightness) under the
// light direction (0 top left … 3 bottom right), painted by the render pass
// exactly as a document paints an item's shadow.
QImage drawShadowSample(int32_t elevation, int32_t fade, int32_t lightness, int32_t lightDirection);
// The shadow's offset in screen pixels for an elevation.
int32_t shadowSampleOffset(int32_t elevation);
// A slider's value label: its position in percent of 255, rounded, or "None"
// when that rounds to 0.
QString shadowPercent(int32_t position);

// The track bar of the shadow editor: reports the release of the mouse
// button and never moves with the mouse wheel.
class ttrackbar : public QSlider {
public:
    explicit ttrackbar(QWidget* parent = nullptr);
    std::function<void()> onReleased;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
};

class TShadow : public TPresetFrame {
public:
    TShadow(settings::TParams& params, QWidget* parent = nullptr);

    enum slider_t { elevationSlider = 0, fadeSlider = 1, lightnessSlider = 2 };

    void nameChanged();
    // While a slider is dragged only its value label follows; the release
    // takes the three positions into the row.
    void sliderMoved(int32_t n);
    void sliderReleased();
    void listedClicked();
    void chooseLight(int32_t d);
    void saveShadows();

    int32_t lightDirection() const { return lightDirection_; }
    const settings::custShadowRec_t& rowAt(int32_t k) const { return rows_[size_t(k - 1)]; }
    const QImage& sample() const { return sample_; }

    QLineEdit* nameField = nullptr;
    std::array<ttrackbar*, 3> sliders{};
    std::array<QLabel*, 3> valueLabels{};
    QCheckBox* listedBox = nullptr;
    std::array<QCheckBox*, 4> lightBoxes{};
    QLabel* samplePicture = nullptr;

protected:
    QString rowName(int32_t k) const override { return rows_[size_t(k - 1)].name; }
    void fillStrip(int32_t k) override;
    std::pair<QString, QString> helpTexts(bool chosen) const override;
    QSize stripSize() const override;
    void save() override { saveShadows(); }
    // The controls with the two help boxes under them, or the row column when taller.
    int32_t preferredHeight() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    settings::custShadowRec_t& row() { return rows_[size_t(currentRow() - 1)]; }
    void showListed();
    void drawSample();

    settings::TParams& params_;
    settings::custShadow_t rows_;
    int32_t lightDirection_ = 0;
    QImage sample_;
    QWidget* lightGroup_ = nullptr;
};

} // namespace ui
