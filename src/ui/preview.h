// TPreview, the print preview: the sheet as it will print (card copies,
// crossed-out cells white, margins) scaled to fit the window and kept fitted
// when the window is resized, with "Print" and
// "Cancel". Shown in the first floating window (code 57); in export mode the
// finished image goes to the export right away.
#pragma once

#include "ui/hostedpanel.h"

#include <QImage>
#include <QTimer>

#include <functional>

class QLabel;
class QToolButton;

namespace ui {

class fittedImage_t;

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
    // Where the sheet is drawn, in this panel's coordinates (empty before
    // the preview is built).
    QRect shownSheetRect() const;
    // Shown once the preview is built; a click does what the window's
    // "Print" button does (set with `setPrintClicked`).
    QToolButton* printButton() const { return printIcon_; }
    void setPrintClicked(std::function<void()> f) { printClicked_ = std::move(f); }

private:
    QLabel* heading_ = nullptr;
    QLabel* status_ = nullptr;
    fittedImage_t* sheet_ = nullptr;
    QToolButton* printIcon_ = nullptr;  // printIcon
    std::function<void()> printClicked_;
    QTimer buildTimer_;  // builds the preview after the window has shown

    std::function<QImage()> build_;
    std::function<void()> print_;
    std::function<void(const QImage&)> exported_;
    QImage image_;
    bool built_ = false;
};

} // namespace ui
