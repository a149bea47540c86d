// The two rulers of a document window: the page part light yellow with ticks
// and labels for the document's unit and zoom, the rest silver, and the red
// mouse-position marker with the pixels it covers saved under it.
#pragma once

#include <QEvent>
#include <QImage>
#include <QWidget>

#include <functional>

#include <cstdint>
#include <vector>

namespace canvas {

constexpr int32_t rulerBandColour = 0xE1FFFF;  // light yellow, 0x00BBGGRR
constexpr int32_t rulerRestColour = 0xC0C0C0;  // silver
constexpr int32_t rulerMarkerColour = 0x0000FF;

// One tick of a ruler: position from the page edge in pixels, length, and the
// label written beside it (empty for none).
struct rulerTick_t {
    int32_t at = 0;
    int32_t length = 0;
    int32_t label = 0;  // 0: no label
    friend bool operator==(const rulerTick_t&, const rulerTick_t&) = default;
};

// The major step of a unit at zoom z in pixels (pixels 100 px, millimetres
// 1 cm, inches 1 inch), with `pxPerUnit` pixels per unit (1 for pixels).
int32_t rulerMajorStep(int32_t unit, double zoom, double pxPerUnit);

// Every tick from the page edge (0) to `extent` pixels, longest first where
// two fall on the same pixel.
std::vector<rulerTick_t> rulerTicks(int32_t unit, double zoom, double pxPerUnit, int32_t extent);
// Only the ticks of the major steps that reach `from` .. `extent`.
std::vector<rulerTick_t> rulerTicks(int32_t unit, double zoom, double pxPerUnit, int32_t from, int32_t extent);

struct rulerLayout_t {
    bool vertical = false;
    int32_t first = 0;        // canvas position of the picture's first pixel
    int32_t pageStart = 0;    // page edges in canvas pixels (zoomed)
    int32_t pageEnd = 0;
    int32_t unit = 3;
    double zoom = 1.0;
    double pxPerUnit = 96;
    int32_t tickColour = 0x505050;
    int32_t labelColour = 0x404040;
    QString fontName = QStringLiteral("Arial");
    int32_t fontSize = 7;
};

// Draws a ruler picture of `img`'s size (12 thick) for the positions
// first .. first + length - 1. Long rulers are drawn in 1600-pixel pieces.
void drawRuler(QImage& img, const rulerLayout_t& layout);

// A ruler control: its picture and the mouse-position marker.
class rulerImage_t : public QWidget {
public:
    explicit rulerImage_t(bool vertical, QWidget* parent = nullptr);

    // Recreates the picture at the control's size and draws it.
    void redraw(const rulerLayout_t& layout);
    // Draws the marker at `pos` (control pixels), restoring the previous one.
    void showMarker(int32_t pos);
    void removeMarker();
    int32_t markerPos() const { return markerSaved_ ? marker_ : -1; }
    const QImage& picture() const { return img_; }
    // The window's ruler handlers: the event, its button (press and release)
    // or buttons (move), and the position along the ruler.
    std::function<void(QEvent::Type, Qt::MouseButton, Qt::MouseButtons, int32_t)> onMouse;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    bool vertical_;
    QImage img_;
    // Save-under of the marker line.
    bool markerSaved_ = false;
    int32_t marker_ = -1;
    std::vector<QRgb> saved_;
};

} // namespace canvas
