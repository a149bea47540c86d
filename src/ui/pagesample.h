// The sample of the sheet beside the page setup's fields: the paper scaled to
// fit (millimetres, inches) or at its actual size (pixels), with its margins,
// cards, folds and brochure panels.
#pragma once

#include "settings/pageset.h"

#include <QImage>
#include <QLabel>
#include <QScrollArea>
#include <QSize>
#include <QWidget>

#include <cstdint>

namespace ui {

// Colours of the sample.
inline const QColor sampleRed{0xFF, 0x00, 0x00};
inline const QColor sampleGrey{0xA0, 0xA0, 0xA0};
inline const QColor sampleSilver{0xC0, 0xC0, 0xC0};

// What drawing a sample gave.
enum class sampleResult_t {
    drawn,
    keepLast,  // the paper size does not parse: the last picture stays
    hidden,    // a paper of size 0 (or a unit outside 1..3) shows nothing
};

// Draws the sample of `setup` (its current unit) for `designType`. In
// millimetres and inches `image` is the sample area, the paper's longer side
// taking 0.9 of the area's shorter side, with the captions when `captions`;
// in pixels `image` is made at the paper's actual size (bounded).
sampleResult_t drawPageSample(QImage& image, const page::pageset_t& setup, int32_t designType, QSize area,
                              bool captions = true);

// The widget: redraws on every change, keeps the last picture when the paper
// does not parse, and scrolls the actual-size picture of pixel setups.
class pageSampleView_t : public QScrollArea {
public:
    explicit pageSampleView_t(QWidget* parent);
    void redraw(const page::pageset_t& setup, int32_t designType);
    const QImage& picture() const { return picture_; }
    bool pictureShown() const;

protected:
    // The scaled sample fits the area it is given: a new size draws it again.
    void resizeEvent(QResizeEvent* e) override;

private:
    QImage picture_;
    QLabel* label_ = nullptr;
    bool hasSetup_ = false;
    page::pageset_t setup_{};
    int32_t designType_ = 0;
};

} // namespace ui
