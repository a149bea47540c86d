// The grid and snap options (TOptions), shown in the first floating window:
// for new files (the settings) or for the current file (its header). The
// panel works on a copy; Save hands it over.
#pragma once

#include "settings/params.h"
#include "ui/hostedpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <array>
#include <functional>

namespace ui {

// Saving the options of the current file: the window writes the header and
// spaces both directions again.
using gridOptionsApply_t = std::function<void(const settings::defaults_t&)>;

// The unit's name as the density labels show it.
QString densityUnitName(int32_t unit);

// Reads the two density texts into the copy's record of its unit: a text
// that does not read as a measure leaves the previous number.
void readDensityTexts(settings::defaults_t& d);

class TOptions : public THostedPanel {
public:
    // `code` 26 (new files) or 27 (current file); `apply` receives the copy.
    TOptions(int32_t code, const settings::defaults_t& start, gridOptionsApply_t apply, QWidget* parent = nullptr);

    QSize preferredClientSize() const override;
    bool applyHosted() override;
    const settings::defaults_t& copy() const { return d_; }

    // One direction's controls: 0 horizontal (vertical gridlines), 1 vertical.
    struct direction_t {
        QCheckBox* showGrid = nullptr;
        QCheckBox* showAnchors = nullptr;
        QCheckBox* snap = nullptr;
        QLabel* densityLabel = nullptr;
        QLineEdit* density = nullptr;
    };
    std::array<direction_t, 2> dir;
    QComboBox* unitBox = nullptr;  // new files only

private:
    void showUnit();

    int32_t code_;
    settings::defaults_t d_;
    gridOptionsApply_t apply_;
};

} // namespace ui
