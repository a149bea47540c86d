// TPrsel, the "Prepare Print" panel: the sheet drawn symbolically with one
// rectangle per printed cell; a click crosses a cell out or restores it.
// Shown in the second floating window before printing (code 66) and before
// the preview (code 67).
#pragma once

#include "output/areasheet.h"
#include "ui/hostedpanel.h"

#include <QByteArray>
#include <QTimer>

#include <functional>

class QCheckBox;
class QLabel;

namespace ui {

class TPrselSheet;

// Whether the panel offers crop marks, and ticked or not.
struct cropMarkOffer_t {
    bool offered = false;
    bool ticked = false;
};

class TPrsel : public THostedPanel {
public:
    // `header` may be null (no document); `apply` receives the selection
    // when the left button is pressed. Before printing (not before the
    // preview) the panel also offers crop marks, ticked or not.
    TPrsel(const model::item_t* header, const QByteArray& printAreas, std::function<void(const QByteArray&)> apply,
           QWidget* parent = nullptr, cropMarkOffer_t cropMarks = {});

    QSize preferredClientSize() const override;
    bool applyHosted() override;

    const QByteArray& selection() const { return areas_; }
    // The same as the two links of the left column.
    void selectAll();
    void selectNone();
    // A button release at a point of the sheet picture.
    void clickSheet(QPoint p);

    TPrselSheet* sheet() const { return sheet_; }
    QLabel* allLink = nullptr;
    QLabel* noneLink = nullptr;
    QCheckBox* cropMarksBox = nullptr;  // null when not offered
    bool cropMarks() const;
    QTimer drawTimer;

private:
    friend class TPrselSheet;
    output::sheetMetrics_t metrics_;
    bool hasHeader_ = false;
    int32_t cellCount_ = 1;
    QByteArray areas_;
    std::function<void(const QByteArray&)> apply_;
    TPrselSheet* sheet_ = nullptr;
};

// The drawing area of the panel.
class TPrselSheet : public QWidget {
public:
    explicit TPrselSheet(TPrsel* owner);
    // The layout for the area's current size, and where the picture sits.
    output::areaSheet_t layout() const;
    QPoint pictureOrigin(const output::areaSheet_t& a) const;
    bool drawn = false;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TPrsel* owner_;
};

} // namespace ui
