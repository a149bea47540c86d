#include "panels/panelparts.h"

#include <algorithm>
#include <cmath>

#include <QEnterEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>
#include <QToolTip>

#include <utility>

namespace panels {

using namespace ui;

// ---------------------------------------------------------------- tab strip

tabStrip_t::tabStrip_t(const QString& first, const QString& second, QWidget* parent)
    : QWidget(parent), first_(first), second_(second)
{
    setMouseTracking(true);
    setFixedHeight(stripHeight);
    hoverTimer_.setSingleShot(true);
    hoverTimer_.setInterval(hoverMs);
    QObject::connect(&hoverTimer_, &QTimer::timeout, this, [this] { clearHover(); });
}

void tabStrip_t::setCurrent(int32_t tab)
{
    current_ = tab == 2 ? 2 : 1;
    hovered_ = 0;
    update();
}

void tabStrip_t::clearHover()
{
    hoverTimer_.stop();
    if (hovered_ == 0) return;
    hovered_ = 0;
    update();
}

void tabStrip_t::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), panelBackground());
    const int32_t half = width() / 2;
    for (int32_t tab = 1; tab <= 2; ++tab) {
        const QRect r = tab == 1 ? QRect(0, 0, half, height()) : QRect(half, 0, width() - half, height());
        const bool cur = tab == current_;
        const bool lit = tab == hovered_;
        if (cur || lit) p.drawImage(r.topLeft() + QPoint(1, 1), colourBar(cur ? lookBlue : lookYellow, r.adjusted(1, 1, -1, 0).size()));
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        if (tab == 1) p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        if (!cur) p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        QFont f = interfaceFont(cur);
        f = fittedFont(f, caption(tab), r.width() - 4);
        p.setFont(f);
        p.setPen(cur || lit ? QColor(Qt::white) : QColor(Qt::black));
        p.drawText(r, Qt::AlignCenter, caption(tab));
    }
}

void tabStrip_t::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return;
    const int32_t tab = tabAt(static_cast<int32_t>(e->position().x()));
    if (tab == current_) return;
    setCurrent(tab);
    if (onChange) onChange(tab);
}

void tabStrip_t::mouseMoveEvent(QMouseEvent* e)
{
    const int32_t tab = tabAt(static_cast<int32_t>(e->position().x()));
    if (tab == current_) {
        clearHover();
        return;
    }
    if (hovered_ != tab) {
        hovered_ = tab;
        update();
    }
    hoverTimer_.start();
}

void tabStrip_t::leaveEvent(QEvent*) { clearHover(); }

// ---------------------------------------------------------------- hint boxes

hintBox_t::hintBox_t(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

void hintBox_t::setHint(const QString& text, const QString& emphasized)
{
    text_ = text;
    keyword_ = emphasized;
    link_ = false;
    active_ = false;
    setHot(false);
    unsetCursor();
    update();
}

void hintBox_t::setLinkHint(const QString& text, const QString& link, bool active)
{
    text_ = text;
    keyword_ = link;
    link_ = true;
    active_ = active;
    setHot(false);
    if (active) setCursor(Qt::PointingHandCursor);
    else unsetCursor();
    update();
}

void hintBox_t::setHot(bool on)
{
    on = on && linkActive();
    if (on == hot_) return;
    hot_ = on;
    update();
    if (onHover) onHover(on);
}

QString hintBox_t::html() const
{
    const QString escaped = text_.toHtmlEscaped();
    if (keyword_.isEmpty()) return escaped;
    const QString key = keyword_.toHtmlEscaped();
    const qsizetype at = escaped.indexOf(key);
    if (at < 0) return escaped;
    QString styled;
    if (!link_) styled = QStringLiteral("<b>%1</b>").arg(key);
    else if (!active_) styled = key;
    else if (hot_) styled = QStringLiteral("<span style=\"color:#0000FF; text-decoration:underline\">%1</span>").arg(key);
    else styled = QStringLiteral("<span style=\"color:#0000FF\">%1</span>").arg(key);
    return escaped.left(at) + styled + escaped.mid(at + key.size());
}

int32_t hintBox_t::neededHeight(int32_t width) const
{
    if (text_.isEmpty()) return 0;
    QTextDocument doc;
    doc.setDefaultFont(interfaceFont(false));
    doc.setDocumentMargin(0);
    doc.setHtml(html());
    doc.setTextWidth(width);
    return static_cast<int32_t>(std::ceil(doc.size().height()));
}

void hintBox_t::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), panelBackground());
    if (text_.isEmpty()) return;
    QTextDocument doc;
    doc.setDefaultFont(interfaceFont(false));
    doc.setDocumentMargin(0);
    doc.setHtml(html());
    doc.setTextWidth(width());
    doc.drawContents(&p, QRectF(rect()));
}

void hintBox_t::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && linkActive() && onPress) onPress();
}

void hintBox_t::enterEvent(QEnterEvent*) { setHot(true); }
void hintBox_t::leaveEvent(QEvent*) { setHot(false); }

// ---------------------------------------------------------------- buttons

QImage panelButtonPicture(int32_t picture, bool highlighted, int32_t size)
{
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(panelBackground());
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (highlighted) p.drawImage(1, 1, colourBar(lookYellow, QSize(size - 2, size - 2)));
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, size - 1, size - 1));

    const double s = size;
    const QColor ink = highlighted ? QColor(0x20, 0x20, 0x60) : QColor(0x20, 0x40, 0x90);
    const QColor fill = highlighted ? QColor(0xFF, 0xFF, 0xFF) : QColor(0x70, 0xA0, 0xE0);
    QPen dashed(QColor(0x60, 0x60, 0x60), 1, Qt::DashLine);
    QPen solid(ink, 1.5);
    auto triangle = [&](QPointF a, QPointF b, QPointF c, bool filled) {
        QPainterPath path(a);
        path.lineTo(b);
        path.lineTo(c);
        path.closeSubpath();
        p.setPen(solid);
        p.setBrush(filled ? QBrush(fill) : QBrush(Qt::NoBrush));
        p.drawPath(path);
    };
    switch (picture) {
    case pictureMirror:
        // A triangle and its mirror image across a dashed vertical axis.
        p.setPen(dashed);
        p.drawLine(QPointF(s / 2, s * 0.15), QPointF(s / 2, s * 0.85));
        triangle({s * 0.42, s * 0.25}, {s * 0.42, s * 0.75}, {s * 0.15, s * 0.75}, true);
        triangle({s * 0.58, s * 0.25}, {s * 0.58, s * 0.75}, {s * 0.85, s * 0.75}, false);
        break;
    case pictureFlip:
        p.setPen(dashed);
        p.drawLine(QPointF(s * 0.15, s / 2), QPointF(s * 0.85, s / 2));
        triangle({s * 0.25, s * 0.42}, {s * 0.75, s * 0.42}, {s * 0.75, s * 0.15}, true);
        triangle({s * 0.25, s * 0.58}, {s * 0.75, s * 0.58}, {s * 0.75, s * 0.85}, false);
        break;
    case pictureRotateLeft:
    case pictureRotateRight: {
        // Three quarters of a circle with an arrowhead at its end, turning
        // counter-clockwise (left) or clockwise (right).
        const bool left = picture == pictureRotateLeft;
        const QRectF r(s * 0.22, s * 0.22, s * 0.56, s * 0.56);
        p.setPen(QPen(ink, 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(r, left ? 0 : 90 * 16, 270 * 16);
        const QPointF tip = left ? QPointF(s * 0.5, s * 0.22) : QPointF(s * 0.78, s * 0.5);
        const QPointF back1 = left ? tip + QPointF(s * 0.16, -s * 0.12) : tip + QPointF(-s * 0.12, -s * 0.16);
        const QPointF back2 = left ? tip + QPointF(s * 0.16, s * 0.12) : tip + QPointF(s * 0.12, -s * 0.16);
        triangle(tip, back1, back2, true);
        break;
    }
    case pictureClipRectangle:
        p.setPen(QPen(ink, 1.5, Qt::DashLine));
        p.setBrush(QBrush(fill));
        p.drawRect(QRectF(s * 0.2, s * 0.28, s * 0.6, s * 0.44));
        break;
    case pictureClipRound:
        p.setPen(QPen(ink, 1.5, Qt::DashLine));
        p.setBrush(QBrush(fill));
        p.drawEllipse(QRectF(s * 0.2, s * 0.2, s * 0.6, s * 0.6));
        break;
    default: break;
    }
    return img;
}

buttonRow_t::buttonRow_t(std::vector<button_t> buttons, QWidget* parent) : QWidget(parent), buttons_(std::move(buttons))
{
    setMouseTracking(true);
    setFixedHeight(buttonSize);
}

void buttonRow_t::setButtonSize(int32_t size)
{
    size = std::max(8, size);
    if (size == size_) return;
    size_ = size;
    setFixedHeight(size_);
    updateGeometry();
    update();
}

void buttonRow_t::setPicture(int32_t k, int32_t picture)
{
    if (k < 0 || k >= count() || buttons_[k].picture == picture) return;
    buttons_[k].picture = picture;
    update();
}

void buttonRow_t::clearHover()
{
    if (hovered_ < 0) return;
    hovered_ = -1;
    update();
}

QRect buttonRow_t::buttonRect(int32_t k) const
{
    return {k * (size_ + buttonGap), 0, size_, size_};
}

QSize buttonRow_t::sizeHint() const { return {count() * (size_ + buttonGap) - buttonGap, size_}; }

int32_t buttonRow_t::buttonAt(QPoint p) const
{
    for (int32_t k = 0; k < count(); ++k)
        if (buttonRect(k).contains(p)) return k;
    return -1;
}

void buttonRow_t::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), panelBackground());
    for (int32_t k = 0; k < count(); ++k)
        p.drawImage(buttonRect(k).topLeft(), panelButtonPicture(buttons_[k].picture, k == hovered_, size_));
}

void buttonRow_t::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return;
    const int32_t k = buttonAt(e->position().toPoint());
    if (k >= 0 && onPress) onPress(k);
}

void buttonRow_t::mouseMoveEvent(QMouseEvent* e)
{
    const int32_t k = buttonAt(e->position().toPoint());
    if (k == hovered_) return;
    hovered_ = k;
    update();
    if (k >= 0 && onHover) onHover();
}

void buttonRow_t::leaveEvent(QEvent*) { clearHover(); }

bool buttonRow_t::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* h = static_cast<QHelpEvent*>(e);
        const int32_t k = buttonAt(h->pos());
        if (k >= 0) QToolTip::showText(h->globalPos(), buttons_[k].hint, this, buttonRect(k));
        else QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}

std::vector<buttonRow_t::button_t> transformButtons(const QString& mirror, const QString& flip, const QString& rotate)
{
    return {{pictureMirror, mirror}, {pictureFlip, flip}, {pictureRotateLeft, rotate}, {pictureRotateRight, rotate}};
}

} // namespace panels
