#include "ui/panellook.h"

#include "render/resample.h"
#include "render/surface.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QFontMetrics>
#include <QPainter>

#include <array>
#include <map>
#include <tuple>

namespace ui {

namespace {

QString fontFamily = QStringLiteral("Verdana");
int32_t fontPoints = 8;
int32_t mainPanelColour = 0xEFEFEF;

// Base colours of the pictures (0xRRGGBB), in their numbering.
constexpr std::array<QRgb, 8> pictureBase{0xC0C0C0, 0xD03030, 0x2E9A3E, 0x2F5FC0, 0xE8B020,
                                          0xA8A8A8, 0x7E4CB8, 0x70C070};

// A small picture: the colour lit from above, darker towards the bottom,
// with a lighter band near the top edge.
QImage makePicture(QRgb base)
{
    constexpr int32_t w = 8, h = 8;
    QImage img(w, h, QImage::Format_RGB32);
    const QColor c(base);
    for (int32_t y = 0; y < h; ++y) {
        const int32_t f = y == 1 ? 140 : 125 - y * 6;
        const QColor row = f >= 100 ? c.lighter(f) : c.darker(200 - f);
        for (int32_t x = 0; x < w; ++x) img.setPixel(x, y, row.rgb());
    }
    return img;
}

render::pixelBuffer_t viewOf(QImage& img)
{
    return {img.bits(), img.width(), img.height(), static_cast<int32_t>(img.bytesPerLine()), 4};
}

void drawCentred(QPainter& p, const QRect& r, const QString& text, const QColor& colour, const QFont& font)
{
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

} // namespace

QColor panelBackground() { return render::toColor(panelColour()); }

const QImage& colourPicture(int32_t colour)
{
    static const std::array<QImage, 8> pictures = [] {
        std::array<QImage, 8> a;
        for (size_t i = 0; i < a.size(); ++i) a[i] = makePicture(pictureBase[i]);
        return a;
    }();
    return pictures[colour >= 1 && colour <= 7 ? colour : lookSilver];
}

QImage colourBar(int32_t colour, QSize size)
{
    static std::map<std::tuple<int32_t, int32_t, int32_t>, QImage> cache;
    if (size.width() <= 0 || size.height() <= 0) return {};
    const auto key = std::make_tuple(colour, size.width(), size.height());
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    QImage source = colourPicture(colour).copy();
    QImage bar(size, QImage::Format_RGB32);
    // The resampler needs more than one pixel each way; a thinner bar is a
    // plain scaling of the picture.
    if (size.width() < 2 || size.height() < 2 ||
        !render::resampleInto(viewOf(source), viewOf(bar), render::filterBSpline))
        bar = source.scaled(size);
    if (cache.size() > 256) cache.clear();
    cache.emplace(key, bar);
    return bar;
}

void setInterfaceFont(const QString& family, int32_t points)
{
    fontFamily = family;
    fontPoints = points > 0 ? points : 8;
}

QFont interfaceFont(bool bold)
{
    QFont f(fontFamily);
    f.setPointSize(fontPoints);
    f.setBold(bold);
    return f;
}

QFont fittedFont(QFont font, const QString& text, int32_t width)
{
    while (font.pointSize() > 6 && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPointSize(font.pointSize() - 1);
    return font;
}

void setPanelColour(int32_t bgr) { mainPanelColour = bgr; }
int32_t panelColour() { return mainPanelColour; }

// ---------------------------------------------------------------- title bar

titleBar_t::titleBar_t(QWidget* parent) : QWidget(parent)
{
    setFixedHeight(titleBarHeight);
}

void titleBar_t::setCaption(const QString& caption, int32_t colour)
{
    caption_ = caption;
    colour_ = colour;
    setAccessibleName(caption);
    update();
}

void titleBar_t::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, colourBar(colour_, size()));
    drawCentred(p, rect(), caption_, Qt::white, fittedFont(interfaceFont(true), caption_, width() - 2));
}

// ---------------------------------------------------------------- list button

listButton_t::listButton_t(QWidget* parent) : QWidget(parent)
{
    // Reached with Tab; a click does not take the keys away from the canvas.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
}

void listButton_t::setCaption(const QString& caption)
{
    caption_ = caption;
    setAccessibleName(caption);
    update();
}

void listButton_t::setHighlightColour(int32_t colour)
{
    colour_ = colour;
    update();
}

void listButton_t::setIcon(const QImage& icon)
{
    icon_ = icon;
    update();
}

void listButton_t::setChosen(bool on)
{
    chosen_ = on;
    update();
}

void listButton_t::clearHover()
{
    if (!hover_) return;
    hover_ = false;
    update();
}

QSize listButton_t::sizeHint() const { return {118, 20}; }

QFont listButton_t::captionFont() const
{
    return fittedFont(interfaceFont(highlighted()), caption_, captionRect().width());
}

QRect listButton_t::captionRect() const
{
    const int32_t left = icon_.isNull() ? 1 : iconLeft + icon_.width() + 6;
    return QRect(left, 0, std::max(0, width() - left - 1), height());
}

void listButton_t::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), render::toColor(panelColour()));
    const bool lit = highlighted() && width() > 2 && height() > 2;
    if (lit) p.drawImage(1, 1, colourBar(colour_, rect().adjusted(1, 1, -1, -1).size()));
    const QColor ink = lit ? QColor(Qt::white) : QColor(Qt::black);
    if (icon_.isNull()) {
        drawCentred(p, captionRect(), caption_, ink, captionFont());
        return;
    }
    p.drawImage(iconLeft, (height() - icon_.height()) / 2, icon_);
    p.setFont(captionFont());
    p.setPen(ink);
    p.drawText(captionRect(), Qt::AlignLeft | Qt::AlignVCenter, caption_);
}

void listButton_t::enterEvent(QEnterEvent*)
{
    hover_ = true;
    if (onHover) onHover();
    update();
}

void listButton_t::leaveEvent(QEvent*) { clearHover(); }

void listButton_t::markHover()
{
    if (hover_) return;
    hover_ = true;
    update();
}

void listButton_t::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && onClick) onClick();
}

void listButton_t::keyPressEvent(QKeyEvent* e)
{
    const int k = e->key();
    if ((k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space) && onClick) {
        onClick();
        return;
    }
    QWidget::keyPressEvent(e);
}

void listButton_t::focusInEvent(QFocusEvent*) { update(); }
void listButton_t::focusOutEvent(QFocusEvent*) { update(); }

// ---------------------------------------------------------------- frame

panelFrame_t::panelFrame_t(const QString& caption, int32_t colour, QWidget* parent) : QWidget(parent)
{
    title_ = new titleBar_t(this);
    title_->setCaption(caption, colour);
    body_ = new QWidget(this);
    body_->setObjectName(QStringLiteral("panelBody"));
}

void panelFrame_t::resizeEvent(QResizeEvent*)
{
    title_->setGeometry(0, 0, width(), titleBarHeight);
    body_->setGeometry(0, titleBarHeight, width(), std::max(0, height() - titleBarHeight));
}

} // namespace ui
