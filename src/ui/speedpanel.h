// The speed options (Tspeed): the three switches of the active document
// window that leave out the slow parts of painting.
#pragma once

#include "ui/hostedpanel.h"

#include <QCheckBox>
#include <QLabel>

#include <array>
#include <functional>

namespace ui {

// The window the panel works on: its three switches and how to hand it new
// ones (the window stores them and repaints when any differs). Without a
// window, `present` is false.
struct speedTarget_t {
    bool present = false;
    bool showPictures = true, showShadows = true, show3D = true;
    std::function<void(bool pictures, bool shadows, bool threeD)> apply;
};

class Tspeed : public THostedPanel {
public:
    explicit Tspeed(speedTarget_t target, QWidget* parent = nullptr);

    static constexpr int32_t designedWidth = 461, designedHeight = 179;
    QSize preferredClientSize() const override { return {designedWidth, designedHeight}; }
    bool applyHosted() override;
    // The Apply button: hands the switches to the window when they differ from its own.
    void applySpeed();

    // The help text for what the mouse is over: 0 the panel, 1..3 the boxes.
    void showHelp(int32_t which);
    int32_t helpShown() const { return help_; }
    QString helpText() const { return helpLabel->text(); }

    QLabel* helpLabel = nullptr;
    QCheckBox* pictures = nullptr;
    QCheckBox* shadows = nullptr;
    QCheckBox* threeD = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent*) override;
    // Esc is the Cancel button.
    void keyPressEvent(QKeyEvent* e) override;

private:
    speedTarget_t target_;
    bool pictures_ = false, shadows_ = false, threeD_ = false;
    int32_t help_ = -1;
};

} // namespace ui
