// The text panel's style buttons: bold, italic, underline and strikeout
// toggles and the three justification buttons. Each has three pictures:
// normal, highlighted (under the mouse, until its timer runs out) and
// pressed (the toggle is on, or the justification is the current one).
#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

namespace panels {

enum stylePicture_t : int32_t {
    pictureBold = 1,
    pictureItalic,
    pictureUnderline,
    pictureStrikeout,
    pictureAlignLeft,
    pictureAlignCentre,
    pictureAlignRight,
};

enum class buttonLook_t { normal, highlighted, pressed };

QImage styleButtonPicture(int32_t picture, buttonLook_t look, int32_t size);

class styleButton_t : public QWidget {
public:
    styleButton_t(int32_t picture, const QString& hint, QWidget* parent = nullptr);

    static constexpr int32_t buttonSize = 22;
    static constexpr int32_t hoverMs = 5000;

    int32_t picture() const { return picture_; }
    void setOn(bool on);
    bool isOn() const { return on_; }
    bool highlighted() const { return hover_; }
    void clearHover();
    buttonLook_t look() const;

    // As a click: tells onPress.
    void press();
    std::function<void()> onPress;

    QSize sizeHint() const override { return {buttonSize, buttonSize}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    int32_t picture_;
    bool on_ = false;
    bool hover_ = false;
    QTimer hoverTimer_;
};

} // namespace panels
