// The frame every preset editor is built on: a "Select" column of twelve row
// buttons on the left, and on the right an edit strip (shown once a row is
// chosen) above two help boxes. The editors fill the strip, name the rows
// and say what Save does with their copy of the rows; nothing reaches the
// settings before Save.
#pragma once

#include "settings/params.h"
#include "ui/hostedpanel.h"
#include "ui/panellook.h"

#include <QLabel>
#include <QTimer>

#include <array>
#include <functional>
#include <utility>

namespace ui {

// Geometry of the frame (pixels).
namespace presetLayout {
constexpr int32_t leftPaneWidth = 121;
constexpr int32_t splitterWidth = 3;
constexpr int32_t rightPaneLeft = leftPaneWidth + splitterWidth;
constexpr int32_t rowButtonWidth = 118, rowButtonHeight = 20;
constexpr int32_t firstRowTop = 40;
// Each row button overlaps the previous one's bottom by two pixels.
constexpr int32_t rowStep = rowButtonHeight - 2;
constexpr int32_t rowTop(int32_t k) { return firstRowTop + (k - 1) * rowStep; }
// The preferred height: the bottom of row 12 and a margin of 20.
constexpr int32_t frameHeight = rowTop(settings::presetRows) + rowButtonHeight + 20;
constexpr int32_t helpBoxGap = 60;  // from the first help box to the second
constexpr int32_t helpPictureSide = 24;
} // namespace presetLayout

// The help text as the box shows it: "zero to remove" in bold black.
QString helpBoxHtml(const QString& text);

class TPresetFrame : public THostedPanel {
public:
    // `titleColour` is the colour picture of the "Select" bar (red, or blue
    // for the patterns); `look` gives the panel colours.
    TPresetFrame(const settings::TParams& look, int32_t titleColour, QWidget* parent = nullptr);

    QSize preferredClientSize() const override;
    bool applyHosted() override;

    // A click on row k (1..12); nothing when k is already the current row.
    void chooseRow(int32_t k);
    int32_t currentRow() const { return currentRow_; }
    listButton_t* rowButton(int32_t k) const { return rows_[size_t(k - 1)]; }
    QWidget* strip() const { return strip_; }
    QString helpText(int32_t box) const { return box == 1 ? help1_ : help2_; }
    QLabel* helpLabel(int32_t box) const { return box == 1 ? box1_ : box2_; }
    // Timer1: hides the row highlights (the chosen row's excepted) 5 s after
    // the mouse last came over a row.
    QTimer highlightTimer;

    // Called after Save has copied the rows into the settings.
    std::function<void()> onSaved;

protected:
    // Builds the row buttons and shows the help of no chosen row; the
    // editors call it at the end of their constructors.
    void startFrame();
    virtual QString rowName(int32_t k) const = 0;
    // Shows row k in the strip's fields.
    virtual void fillStrip(int32_t k) = 0;
    // The two help texts with or without a chosen row.
    virtual std::pair<QString, QString> helpTexts(bool chosen) const = 0;
    // The strip's size (its width also gives the frame's).
    virtual QSize stripSize() const = 0;
    // Copies the rows into the settings.
    virtual void save() = 0;
    virtual int32_t preferredHeight() const { return presetLayout::frameHeight; }
    // The strip stays shown without a chosen row (the shadow editor's controls).
    bool stripAlwaysShown = false;
    // Row k's button shows its row's name again.
    void refreshRowButton(int32_t k);
    void setHelp(const QString& first, const QString& second);
    // While the frame fills the fields, their handlers change nothing.
    bool filling_ = false;

    void resizeEvent(QResizeEvent*) override;
    // Esc is the Cancel button: the window closes and nothing is saved.
    void keyPressEvent(QKeyEvent* e) override;

private:
    void placeBoxes();
    void rowHovered(int32_t k);

    int32_t titleColour_;
    int32_t currentRow_ = 0;
    QWidget* left_ = nullptr;
    QWidget* splitter_ = nullptr;
    QWidget* strip_ = nullptr;
    std::array<listButton_t*, settings::presetRows> rows_{};
    QLabel* picture1_ = nullptr;
    QLabel* picture2_ = nullptr;
    QLabel* box1_ = nullptr;
    QLabel* box2_ = nullptr;
    QString help1_, help2_;
};

} // namespace ui
