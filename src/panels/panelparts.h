// Controls the fine-tune and tool panels share: the two-tab strip, the hint
// boxes (a text with an emphasized keyword or a link) and the row of picture
// buttons (mirror, flip, the two quarter turns, the picture panel's clip
// button), all drawn in the panel look.
#pragma once

#include "panels/panellayout.h"

#include "ui/panellook.h"

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace panels {

// Two tabs side by side. A click in the left half selects the first tab, in
// the right half the second; hovering the tab that is not current draws it
// highlighted for at most `hoverMs`.
class tabStrip_t : public QWidget {
public:
    tabStrip_t(const QString& first, const QString& second, QWidget* parent = nullptr);

    static constexpr int32_t stripHeight = layout::tabStripHeight;
    static constexpr int32_t hoverMs = 5000;

    // 1 or 2; any other value selects 1. Does not tell onChange.
    void setCurrent(int32_t tab);
    int32_t current() const { return current_; }
    QString caption(int32_t tab) const { return tab == 2 ? second_ : first_; }
    // The tab drawn highlighted under the mouse, 0 for none.
    int32_t hovered() const { return hovered_; }
    void clearHover();

    // The user chose the other tab (already current when told).
    std::function<void(int32_t tab)> onChange;

    QSize sizeHint() const override { return {120, stripHeight}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    int32_t tabAt(int32_t x) const { return x < width() / 2 ? 1 : 2; }
    QString first_, second_;
    int32_t current_ = 1;
    int32_t hovered_ = 0;
    QTimer hoverTimer_;
};

// A word-wrapped hint in the panel colour. Its text may carry one keyword,
// either emphasized (bold) or a link: blue, underlined while the mouse is
// over the box, with the hand cursor, and pressing the box tells onPress.
// A link that is not active reads as plain text and presses do nothing.
class hintBox_t : public QWidget {
public:
    explicit hintBox_t(QWidget* parent = nullptr);

    void setHint(const QString& text, const QString& emphasized = QString());
    void setLinkHint(const QString& text, const QString& link, bool active = true);
    void clear() { setHint(QString()); }

    QString text() const { return text_; }
    QString keyword() const { return keyword_; }
    bool isLink() const { return link_; }
    bool linkActive() const { return link_ && active_; }
    // The mouse is over an active link.
    bool hot() const { return hot_; }
    void setHot(bool on);

    // The height the text needs at the box's width.
    int32_t neededHeight(int32_t width) const;

    std::function<void()> onPress;
    // The hot state changed (the owner shows or clears related highlights).
    std::function<void(bool hot)> onHover;

    // The text as rich text (the keyword styled), as drawn.
    QString html() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    QString text_, keyword_;
    bool link_ = false;
    bool active_ = false;
    bool hot_ = false;
};

// The pictures of the panel buttons.
enum buttonPicture_t : int32_t {
    pictureMirror = 1,
    pictureFlip = 2,
    pictureRotateLeft = 3,
    pictureRotateRight = 4,
    pictureClipRectangle = 5,
    pictureClipRound = 6,
};
// A button picture, normal or highlighted (under the mouse), size × size.
QImage panelButtonPicture(int32_t picture, bool highlighted, int32_t size);

// A row of square picture buttons with their hints as tool tips; under the
// mouse a button shows its highlighted picture, leaving restores it.
class buttonRow_t : public QWidget {
public:
    struct button_t {
        int32_t picture;
        QString hint;
    };
    buttonRow_t(std::vector<button_t> buttons, QWidget* parent = nullptr);

    static constexpr int32_t buttonSize = layout::buttonSize;
    static constexpr int32_t buttonGap = layout::buttonGap;

    int32_t count() const { return static_cast<int32_t>(buttons_.size()); }
    // Square buttons of another side (a row of five fits a narrow panel).
    void setButtonSize(int32_t size);
    int32_t buttonSide() const { return size_; }
    void setPicture(int32_t k, int32_t picture);
    int32_t picture(int32_t k) const { return buttons_[k].picture; }
    QString hint(int32_t k) const { return buttons_[k].hint; }
    // The button under the mouse (0-based), -1 for none.
    int32_t hovered() const { return hovered_; }
    void clearHover();
    QRect buttonRect(int32_t k) const;

    // k: 0-based.
    std::function<void(int32_t k)> onPress;
    std::function<void()> onHover;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    bool event(QEvent*) override;

private:
    int32_t buttonAt(QPoint p) const;
    std::vector<button_t> buttons_;
    int32_t size_ = buttonSize;
    int32_t hovered_ = -1;
};

// What the four transform buttons do to the selection, in their order:
// mirror, flip, a quarter turn left (+1) and right (-1).
struct transformArgs_t {
    bool mirror;
    bool flip;
    int32_t turn;
};
constexpr std::array<transformArgs_t, 4> transformButtonArgs{{
    {true, false, 0},
    {false, true, 0},
    {false, false, +1},
    {false, false, -1},
}};
// The four transform buttons with their hints ("Mirror", "Flip", "Rotate",
// "Rotate" for the shape and multiple panels).
std::vector<buttonRow_t::button_t> transformButtons(const QString& mirror, const QString& flip,
                                                    const QString& rotate);

} // namespace panels
