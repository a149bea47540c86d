// The first-time setup panel TInstall, hosted in the first floating window:
// a step pane on the left (its title, an introduction and the instruction)
// and on the right the program's picture with the two exclusive boxes
// "Millimeters" and "Inches". Proceed stores the choice through the callback.
#pragma once

#include "ui/hostedpanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QTextEdit>

#include <cstdint>
#include <functional>

namespace ui {

class TInstall : public THostedPanel {
public:
    // `complete` is given the chosen unit (2 millimetres, 3 inches).
    explicit TInstall(std::function<void(int32_t unit)> complete, QWidget* parent = nullptr);

    QSize preferredClientSize() const override { return {478, 376}; }
    // Proceed: without a choice a message says so and the panel stays.
    bool applyHosted() override;

    int32_t chosenUnit() const { return unit_; }
    bool completed() const { return completed_; }

    QLabel* stepTitle = nullptr;
    QTextEdit* introduction = nullptr;
    QTextEdit* instruction = nullptr;
    QCheckBox* millimetersBox = nullptr;
    QCheckBox* inchesBox = nullptr;

private:
    void boxClicked(bool millimetres, bool ticked);

    std::function<void(int32_t)> complete_;
    int32_t unit_ = 0;
    bool completed_ = false;
};

} // namespace ui
