#include "canvas/buttonart.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace canvas {

namespace {

const QColor face(0xEF, 0xEF, 0xEF);
const QColor pressedFace(0xD8, 0xE4, 0xF4);
const QColor light(0xFF, 0xFF, 0xFF);
const QColor shade(0x80, 0x80, 0x80);
const QColor ink(0x20, 0x20, 0x20);
const QColor blue(0x20, 0x60, 0xC0);
const QColor fillYellow(0xFF, 0xE0, 0x60);
const QColor green(0x20, 0x90, 0x40);
const QColor red(0xC0, 0x20, 0x20);

// Draws the glyph of button n in a 20 × 20 design box.
void glyph(QPainter& p, int32_t n, bool disabled)
{
    const QColor in = disabled ? QColor(0xA0, 0xA0, 0xA0) : ink;
    const QColor accent = disabled ? QColor(0xB8, 0xB8, 0xB8) : blue;
    const QColor fill = disabled ? QColor(0xE0, 0xE0, 0xE0) : fillYellow;
    QPen pen(in, 1.2);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    auto shapePen = [&] { p.setPen(QPen(in, 1.2)); p.setBrush(fill); };
    switch (n) {
    case 1:  // new: a page with a folded corner
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(5, 3), QPointF(12, 3), QPointF(15, 6), QPointF(15, 17), QPointF(5, 17)}));
        p.drawPolyline(QPolygonF({QPointF(12, 3), QPointF(12, 6), QPointF(15, 6)}));
        break;
    case 2:  // open: a folder
        p.setBrush(fill);
        p.drawPolygon(QPolygonF({QPointF(3, 6), QPointF(8, 6), QPointF(9, 8), QPointF(17, 8), QPointF(17, 16), QPointF(3, 16)}));
        break;
    case 3:  // save: a disk
        p.setBrush(accent);
        p.drawRect(QRectF(3.5, 3.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 4, 8, 5));
        p.fillRect(QRectF(7, 12, 6, 4), disabled ? in : QColor(0x40, 0x40, 0x40));
        break;
    case 4:  // export: a picture with an arrow
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 5.5, 10, 10));
        p.drawLine(QPointF(10, 10), QPointF(17, 3));
        break;
    case 5:  // print: a printer
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 3, 8, 5));
        p.setBrush(disabled ? QColor(0xD0, 0xD0, 0xD0) : QColor(0xA0, 0xA0, 0xA0));
        p.drawRect(QRectF(3, 8, 14, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 12, 8, 5));
        break;
    case 6:
    case 7: {  // undo / redo: a curved arrow
        p.save();
        if (n == 7) {
            p.translate(20, 0);
            p.scale(-1, 1);
        }
        p.setPen(QPen(disabled ? in : green, 2));
        QPainterPath path;
        path.moveTo(6, 8);
        path.cubicTo(12, 4, 18, 8, 15, 15);
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(disabled ? in : green);
        p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(9, 4), QPointF(9, 12)}));
        p.restore();
        break;
    }
    case 8:  // repaint: a brush stroke over a frame
        p.drawRect(QRectF(3.5, 3.5, 13, 13));
        p.setPen(QPen(accent, 2.5));
        p.drawLine(QPointF(6, 14), QPointF(14, 6));
        break;
    case 9: {  // pointer: a hand pointing up with its index finger, as the hints call it
        QPainterPath finger, palm, thumb;
        finger.addRoundedRect(QRectF(6.5, 2, 3.5, 9), 1.7, 1.7);
        palm.addRoundedRect(QRectF(5, 8.5, 11, 9.5), 2.5, 2.5);  // with the folded fingers
        thumb.addRoundedRect(QRectF(3, 10, 3.5, 5), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawPath(finger.united(palm).united(thumb));
        // The folded fingers' tips.
        p.drawLine(QPointF(12.5, 8.5), QPointF(12.5, 11.5));
        p.drawLine(QPointF(14.5, 9.5), QPointF(14.5, 11.5));
        break;
    }
    case 10:
    case 11:  // zoom out / in: a lens with minus or plus
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(3, 3, 10, 10));
        p.setPen(QPen(in, 2.5));
        p.drawLine(QPointF(12, 12), QPointF(17, 17));
        p.setPen(QPen(in, 1.5));
        p.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
        if (n == 11) p.drawLine(QPointF(8, 5.5), QPointF(8, 10.5));
        break;
    case 12:
    case 13:  // send to back / bring to front: two overlapping squares
        if (n == 12) {
            shapePen();
            p.drawRect(QRectF(3.5, 3.5, 9, 9));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(7.5, 7.5, 9, 9));
        } else {
            p.setBrush(Qt::white);
            p.drawRect(QRectF(7.5, 7.5, 9, 9));
            shapePen();
            p.drawRect(QRectF(3.5, 3.5, 9, 9));
        }
        break;
    case 14:  // erase: a red cross
        p.setPen(QPen(disabled ? in : red, 2.5));
        p.drawLine(QPointF(5, 5), QPointF(15, 15));
        p.drawLine(QPointF(15, 5), QPointF(5, 15));
        break;
    case 15:  // paste: a clipboard
        p.setBrush(QColor(0xC0, 0x90, 0x50));
        p.drawRect(QRectF(4.5, 4.5, 11, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7.5, 2.5, 5, 3));
        p.drawRect(QRectF(7, 8, 6, 7));
        break;
    case 16:  // copy: two pages
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 3.5, 8, 10));
        p.drawRect(QRectF(8.5, 7.5, 8, 10));
        break;
    case 17:  // line
        p.setPen(QPen(in, 2));
        p.drawLine(QPointF(4, 16), QPointF(16, 4));
        break;
    case 18: {  // text: a letter A
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(15);
        f.setBold(true);
        f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
        p.setPen(in);
        p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case 19:  // gridlines
        p.setPen(QPen(accent, 1));
        for (int i = 4; i <= 16; i += 4) {
            p.drawLine(QPointF(i + 0.5, 3), QPointF(i + 0.5, 17));
            p.drawLine(QPointF(3, i + 0.5), QPointF(17, i + 0.5));
        }
        break;
    case 20:  // snap: a magnet
        p.setPen(QPen(disabled ? in : red, 3));
        p.drawArc(QRectF(5, 5, 10, 10), 180 * 16, 180 * 16);
        p.drawLine(QPointF(5, 10), QPointF(5, 4));
        p.drawLine(QPointF(15, 10), QPointF(15, 4));
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(QPointF(5, 4), QPointF(5, 5));
        p.drawLine(QPointF(15, 4), QPointF(15, 5));
        break;
    case 21:  // triangle
        shapePen();
        p.drawPolygon(QPolygonF({QPointF(10, 3), QPointF(17, 16), QPointF(3, 16)}));
        break;
    case 22:  // square
        shapePen();
        p.drawRect(QRectF(4.5, 4.5, 11, 11));
        break;
    case 23:  // rectangle
        shapePen();
        p.drawRect(QRectF(2.5, 6.5, 15, 8));
        break;
    case 24:  // circle
        shapePen();
        p.drawEllipse(QRectF(3.5, 3.5, 13, 13));
        break;
    case 25:  // ellipse
        shapePen();
        p.drawEllipse(QRectF(2.5, 5.5, 15, 9));
        break;
    case 26: {  // polygon: a pentagon standing on a side, as the tool's default five sides
        shapePen();
        QPolygonF poly;
        for (int i = 0; i < 5; ++i) {
            const double a = -M_PI / 2 + i * 2 * M_PI / 5;
            poly << QPointF(10 + 7.5 * std::cos(a), 10.8 + 7.5 * std::sin(a));
        }
        p.drawPolygon(poly);
        break;
    }
    case 27:  // picture: a landscape in a frame
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 4.5, 15, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(disabled ? in : green);
        p.drawPolygon(QPolygonF({QPointF(3, 15), QPointF(8, 9), QPointF(12, 13), QPointF(14, 11), QPointF(17, 15)}));
        p.setBrush(disabled ? in : fillYellow);
        p.drawEllipse(QRectF(12, 6, 3, 3));
        break;
    case 28:  // arc
        p.setPen(QPen(in, 1.8));
        p.drawArc(QRectF(3, 5, 14, 16), 20 * 16, 140 * 16);
        break;
    case 29: {  // spline: straight segments through the clicked points
        p.setPen(QPen(in, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPolygonF points({QPointF(2.5, 15), QPointF(6.5, 5), QPointF(11, 13.5), QPointF(17.5, 4)});
        p.drawPolyline(points);
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        for (const QPointF& q : points) p.drawEllipse(q, 1.4, 1.4);
        break;
    }
    case 30: {  // curve: one smooth open wave through the clicked points
        p.setPen(QPen(in, 1.6, Qt::SolidLine, Qt::RoundCap));
        QPainterPath path;
        path.moveTo(2.5, 14);
        path.cubicTo(4.5, 3, 8.5, 3, 10, 10);
        path.cubicTo(11.5, 17, 15.5, 17, 17.5, 6);
        p.drawPath(path);
        break;
    }
    case 31:  // pie
        shapePen();
        p.drawPie(QRectF(3, 3, 14, 14), 30 * 16, 270 * 16);
        break;
    case 32: {  // star
        shapePen();
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double r = (i % 2) ? 3.2 : 8;
            const double a = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(10 + r * std::cos(a), 10.5 + r * std::sin(a));
        }
        p.drawPolygon(star);
        break;
    }
    case 33:  // solid: a filled freeform
        p.setPen(Qt::NoPen);
        p.setBrush(in);
        p.drawPolygon(QPolygonF({QPointF(3, 14), QPointF(7, 4), QPointF(12, 9), QPointF(17, 5), QPointF(15, 16)}));
        break;
    case 34:  // oblong: a rounded bar
        shapePen();
        p.drawRoundedRect(QRectF(2.5, 6.5, 15, 8), 4, 4);
        break;
    case 35:  // join: two shapes with a link
        shapePen();
        p.drawRect(QRectF(2.5, 2.5, 6, 6));
        p.drawEllipse(QRectF(11.5, 11.5, 6, 6));
        p.setPen(QPen(accent, 1.5));
        p.drawLine(QPointF(8, 8), QPointF(12, 12));
        break;
    case 36:  // split: two shapes apart with a gap mark
        shapePen();
        p.drawRect(QRectF(2.5, 2.5, 6, 6));
        p.drawEllipse(QRectF(11.5, 11.5, 6, 6));
        p.setPen(QPen(disabled ? in : red, 1.5));
        p.drawLine(QPointF(14, 4), QPointF(4, 14));
        break;
    default:
        break;
    }
}

} // namespace

QImage drawButtonPicture(int32_t n, int32_t look, int32_t size)
{
    if (size < 4) size = 4;
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(look == 2 ? pressedFace : face);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.save();
    const double s = size / 20.0;
    if (look == 2) p.translate(0.5 * s, 0.5 * s);
    p.scale(s, s);
    glyph(p, n, look == 3);
    p.restore();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (look == 1 || look == 2) {
        // Raised: light top-left, shade bottom-right; pressed: the reverse.
        const QColor tl = look == 1 ? light : shade;
        const QColor br = look == 1 ? shade : light;
        p.setPen(tl);
        p.drawLine(0, 0, size - 1, 0);
        p.drawLine(0, 0, 0, size - 1);
        p.setPen(br);
        p.drawLine(size - 1, 0, size - 1, size - 1);
        p.drawLine(0, size - 1, size - 1, size - 1);
    }
    return img;
}

} // namespace canvas
