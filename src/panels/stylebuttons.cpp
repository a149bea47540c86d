#include "panels/stylebuttons.h"

#include "ui/panellook.h"

#include <QMouseEvent>
#include <QPainter>

namespace panels {

using namespace ui;

namespace {


// Four bars of a paragraph, aligned left, centred or right.
void drawAlignment(QPainter& p, int32_t picture, double s, const QColor& ink)
{
    const double widths[4] = {0.64, 0.42, 0.64, 0.42};
    const double left = s * 0.18, full = s * 0.64;
    for (int32_t k = 0; k < 4; ++k) {
        const double w = s * widths[k];
        double x = left;
        if (picture == pictureAlignCentre) x = left + (full - w) / 2;
        else if (picture == pictureAlignRight) x = left + full - w;
        p.fillRect(QRectF(x, s * (0.24 + 0.15 * k), w, std::max(1.5, s * 0.08)), ink);
    }
}

void drawLetter(QPainter& p, int32_t picture, double s, const QColor& ink)
{
    QFont f(QStringLiteral("Times New Roman"));
    f.setStyleHint(QFont::Serif);
    f.setPixelSize(int(s * 0.62));
    f.setBold(picture == pictureBold);
    f.setItalic(picture == pictureItalic);
    f.setUnderline(picture == pictureUnderline);
    f.setStrikeOut(picture == pictureStrikeout);
    static const char* letters = "BIUS";
    p.setFont(f);
    p.setPen(ink);
    p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, QString(QChar(letters[picture - pictureBold])));
}

} // namespace

QImage styleButtonPicture(int32_t picture, buttonLook_t look, int32_t size)
{
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(panelBackground());
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRect inner(1, 1, size - 2, size - 2);
    if (look == buttonLook_t::highlighted) p.drawImage(inner.topLeft(), colourBar(lookYellow, inner.size()));
    else if (look == buttonLook_t::pressed) p.drawImage(inner.topLeft(), colourBar(lookBlue, inner.size()));
    // A raised frame normally, a sunken one when pressed.
    const QColor light(0xFF, 0xFF, 0xFF), dark(0x80, 0x80, 0x80);
    p.setRenderHint(QPainter::Antialiasing, false);
    const bool sunken = look == buttonLook_t::pressed;
    p.setPen(sunken ? dark : light);
    p.drawLine(0, 0, size - 1, 0);
    p.drawLine(0, 0, 0, size - 1);
    p.setPen(sunken ? light : dark);
    p.drawLine(size - 1, 0, size - 1, size - 1);
    p.drawLine(0, size - 1, size - 1, size - 1);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = look == buttonLook_t::pressed ? QColor(Qt::white) : QColor(0x10, 0x10, 0x40);
    if (picture >= pictureAlignLeft) drawAlignment(p, picture, size, ink);
    else drawLetter(p, picture, size, ink);
    return img;
}

styleButton_t::styleButton_t(int32_t picture, const QString& hint, QWidget* parent) : QWidget(parent), picture_(picture)
{
    setToolTip(hint);
    setFixedSize(buttonSize, buttonSize);
    hoverTimer_.setSingleShot(true);
    hoverTimer_.setInterval(hoverMs);
    QObject::connect(&hoverTimer_, &QTimer::timeout, this, [this] { clearHover(); });
}

void styleButton_t::setOn(bool on)
{
    if (on == on_) return;
    on_ = on;
    update();
}

void styleButton_t::clearHover()
{
    hoverTimer_.stop();
    if (!hover_) return;
    hover_ = false;
    update();
}

buttonLook_t styleButton_t::look() const
{
    if (hover_) return buttonLook_t::highlighted;
    return on_ ? buttonLook_t::pressed : buttonLook_t::normal;
}

void styleButton_t::press()
{
    if (onPress) onPress();
}

void styleButton_t::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, styleButtonPicture(picture_, look(), buttonSize));
}

void styleButton_t::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return;
    // The new state shows at once, not only when the mouse has left.
    clearHover();
    press();
}

void styleButton_t::enterEvent(QEnterEvent*)
{
    hover_ = true;
    hoverTimer_.start();
    update();
}

void styleButton_t::leaveEvent(QEvent*) { clearHover(); }

} // namespace panels
