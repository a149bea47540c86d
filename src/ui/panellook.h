// The look shared by the side panels: the seven colour pictures, title bars
// drawn on them, list buttons with their highlight, and the frame every side
// panel is built on (a title bar above the panel's own controls).
#pragma once

#include <QFont>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

namespace ui {

// The colour pictures, numbered as the panels name them.
enum lookColour_t : int32_t {
    lookRed = 1,
    lookGreen = 2,
    lookBlue = 3,
    lookYellow = 4,
    lookSilver = 5,
    lookViolet = 6,
    lookLightGreen = 7,
};

// The small source picture of a colour (1..7; others give silver).
const QImage& colourPicture(int32_t colour);
// The picture resampled to the size with the B-spline filter (cached).
QImage colourBar(int32_t colour, QSize size);

// The interface font (family and point size from the settings), plain or bold.
void setInterfaceFont(const QString& family, int32_t points);
QFont interfaceFont(bool bold);
// `font` made smaller, a point at a time down to 6 points, until `text`
// fits `width` pixels, so that no caption is cut short.
QFont fittedFont(QFont font, const QString& text, int32_t width);

// The main panel colour behind the controls (0x00BBGGRR).
void setPanelColour(int32_t bgr);
int32_t panelColour();
// The same colour for painting.
QColor panelBackground();

constexpr int32_t titleBarHeight = 20;

// A bar as wide as its panel, filled with a colour picture, its caption
// centred in white bold.
class titleBar_t : public QWidget {
public:
    explicit titleBar_t(QWidget* parent = nullptr);
    void setCaption(const QString& caption, int32_t colour);
    QString caption() const { return caption_; }
    int32_t colour() const { return colour_; }
protected:
    void paintEvent(QPaintEvent*) override;
private:
    QString caption_;
    int32_t colour_ = lookRed;
};

// A button in the panel colour with a plain caption; while the mouse is over
// it (or it has the keyboard focus, or it is the chosen one) a colour picture
// covers it with the caption in white bold. Enter and Space press it.
class listButton_t : public QWidget {
public:
    explicit listButton_t(QWidget* parent = nullptr);
    void setCaption(const QString& caption);
    QString caption() const { return caption_; }
    void setHighlightColour(int32_t colour);
    // With an icon the caption is drawn left-aligned after it.
    void setIcon(const QImage& icon);
    void setChosen(bool on);
    bool highlighted() const { return hover_ || chosen_ || hasFocus(); }
    void clearHover();
    // Shows the hover highlight as if the mouse were over it.
    void markHover();
    std::function<void()> onClick;
    // Told when the mouse comes over the button (the owner clears other highlights).
    std::function<void()> onHover;
    QSize sizeHint() const override;
    // Where the caption is drawn, and in which font.
    QRect captionRect() const;
    QFont captionFont() const;
    static constexpr int32_t iconLeft = 3;
protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
private:
    QString caption_;
    QImage icon_;
    int32_t colour_ = lookYellow;
    bool hover_ = false;
    bool chosen_ = false;
};

// What every side panel is built on: its title bar on top and the panel's
// own controls below it, in `body()`.
class panelFrame_t : public QWidget {
public:
    panelFrame_t(const QString& caption, int32_t colour, QWidget* parent = nullptr);
    titleBar_t* titleBar() const { return title_; }
    QWidget* body() const { return body_; }
    // The code the panel was shown with.
    int32_t code = 0;
protected:
    void resizeEvent(QResizeEvent*) override;
private:
    titleBar_t* title_;
    QWidget* body_;
};

} // namespace ui
