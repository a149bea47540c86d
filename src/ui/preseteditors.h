// The editors of the weight, pattern, angle and font size presets, each a
// preset frame with its own edit strip, help texts and Save rules.
#pragma once

#include "ui/presetframe.h"

#include <QComboBox>
#include <QLineEdit>

#include <vector>

namespace ui {

// The sample beside a weight or pattern row: a line across `size` drawn by
// the renderer with the row's weight (pixels) and dashes (millimetres, at
// 100 %); a weight of 0 draws nothing.
constexpr int32_t lineSampleWidth = 150, lineSampleHeight = 40;
QImage drawLineSample(int32_t weightPx, double weightMm, const std::vector<double>& dashesMm);

// Line weights (hosted code 9).
class TThickness : public TPresetFrame {
public:
    explicit TThickness(settings::TParams& params, QWidget* parent = nullptr);
    // The Save button.
    void saveCth();
    const settings::custThickness_t& rows() const { return rows_; }

    QLineEdit* nameField = nullptr;
    QLineEdit* valueField = nullptr;
    QComboBox* unitList = nullptr;
    // The current row's line as Save would list it (empty when it would not).
    QLabel* samplePicture = nullptr;
    QImage sample() const { return sample_; }

protected:
    QString rowName(int32_t k) const override { return rows_[size_t(k - 1)].name; }
    void fillStrip(int32_t k) override;
    std::pair<QString, QString> helpTexts(bool chosen) const override;
    QSize stripSize() const override;
    void save() override { saveCth(); }

private:
    void showSample();
    QImage sample_;
    settings::custThicknessRec_t& row() { return rows_[size_t(currentRow() - 1)]; }
    settings::TParams& params_;
    settings::custThickness_t rows_;
};

// Line patterns (hosted code 10): a unit and twelve segments, dash and space
// in turn.
class TPatterns : public TPresetFrame {
public:
    explicit TPatterns(settings::TParams& params, QWidget* parent = nullptr);
    void savePat();
    const settings::custPatternRec_t& rowAt(int32_t k) const { return rows_[size_t(k - 1)]; }

    QLineEdit* nameField = nullptr;
    QComboBox* unitList = nullptr;
    // Segment k (0-based): the dash column holds 0, 2, 4 ..., the space column 1, 3, 5 ...
    std::array<QLineEdit*, 12> segmentFields{};
    QLabel* samplePicture = nullptr;
    QImage sample() const { return sample_; }

protected:
    QString rowName(int32_t k) const override { return rows_[size_t(k - 1)].name; }
    void fillStrip(int32_t k) override;
    std::pair<QString, QString> helpTexts(bool chosen) const override;
    QSize stripSize() const override;
    void save() override { savePat(); }
    int32_t preferredHeight() const override { return 370; }

private:
    void showSample();
    QImage sample_;
    settings::custPatternRec_t& row() { return rows_[size_t(currentRow() - 1)]; }
    settings::TParams& params_;
    settings::custPattern_t rows_;
};

// The editor of the three direction-type tables, by hosted code.
constexpr int32_t directionModeLines = 11;
constexpr int32_t directionModeText = 40;
constexpr int32_t directionModeSizes = 41;

// The settings' table number (1, 31, 41) of an editor mode.
int32_t directionTableOfMode(int32_t mode);

class TDirections : public TPresetFrame {
public:
    TDirections(settings::TParams& params, int32_t mode, QWidget* parent = nullptr);
    void saveRows();
    int32_t mode() const { return mode_; }
    const settings::custDirectionRec_t& rowAt(int32_t k) const { return rows_[size_t(k - 1)]; }

    QLineEdit* nameField = nullptr;
    QLabel* valueLabel = nullptr;
    QLineEdit* valueField = nullptr;
    QLabel* unitLabel = nullptr;
    QComboBox* unitList = nullptr;

protected:
    QString rowName(int32_t k) const override { return rows_[size_t(k - 1)].name; }
    void fillStrip(int32_t k) override;
    std::pair<QString, QString> helpTexts(bool chosen) const override;
    QSize stripSize() const override;
    void save() override { saveRows(); }

private:
    settings::custDirectionRec_t& row() { return rows_[size_t(currentRow() - 1)]; }
    settings::TParams& params_;
    int32_t mode_;
    settings::custDirection_t rows_;
};

} // namespace ui
