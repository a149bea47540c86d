// TPreview, the print preview: the sheet as it will print (card copies,
// crossed-out cells white, margins) reduced to the screen, with "Print" and
// "Cancel". Shown in the first floating window (code 57); in export mode the
// finished image goes to the export right away.
#pragma once

#include "ui/hostedpanel.h"

#include <QImage>
#include <QTimer>

#include <functional>

class QLabel;
class QScrollArea;
class QToolButton;

namespace ui {

class TPreview : public THostedPanel {
public:
    // `build` makes the preview image (null when there is nothing to show);
    // `print` runs the print command for the previewed document; `exported`
    // receives the image when the panel was opened in export mode.
    TPreview(std::function<QImage()> build, std::function<void()> print, std::function<void(const QImage&)> exported,
             QWidget* parent = nullptr);

    QSize preferredClientSize() const override;
    bool applyHosted() override;

    // Builds the preview now (otherwise 200 ms after opening).
    void buildPreview();
    const QImage& image() const { return image_; }

    QLabel* heading = nullptr;
    QLabel* status = nullptr;
    QLabel* picture = nullptr;
    QScrollArea* scroller = nullptr;
    // Shown once the preview is built; a click does what the window's
    // "Print" button does (`printClicked`).
    QToolButton* printIcon = nullptr;
    std::function<void()> printClicked;
    QTimer buildTimer;

private:
    std::function<QImage()> build_;
    std::function<void()> print_;
    std::function<void(const QImage&)> exported_;
    QImage image_;
    bool built_ = false;
};

} // namespace ui
