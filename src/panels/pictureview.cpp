// The picture window's view: scrolling, and painting the picture with its
// clips, handles and the clip being drawn.
#include "panels/pictureview.h"

#include "model/clips.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "panels/picturewindow.h"
#include "render/surface.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <cmath>
#include <functional>

namespace panels {

using geometry::point_t;
using model::item_t;

namespace {

// How long a press is held before the first point of a clip is fixed.
constexpr int32_t holdMs = 200;

int32_t viewRadius(QPoint centre, QPoint rim)
{
    return model::roundHalfEven(std::hypot(double(rim.x() - centre.x()), double(rim.y() - centre.y())));
}

// An outline that shows on light and dark pictures alike.
void drawOutline(QPainter& p, const std::function<void()>& shape)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1));
    shape();
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    shape();
}

} // namespace

TPictView::TPictView(TPict* owner, QWidget* parent) : QAbstractScrollArea(parent), owner_(owner)
{
    setObjectName(QStringLiteral("TPictView"));
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    holdTimer.setSingleShot(true);
    holdTimer.setInterval(holdMs);
    QObject::connect(&holdTimer, &QTimer::timeout, this, [this] { holdElapsed(); });
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    pal.setColor(QPalette::Base, QColor(0x80, 0x80, 0x80));
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
}

point_t TPictView::scroll() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

QSize TPictView::availableArea() const
{
    const int32_t bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return {std::max(width() - bar, 1), std::max(height() - bar, 1)};
}

void TPictView::displayChanged()
{
    const QSize shown = owner_->displayed().size(), area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, shown.width() - area.width()));
    verticalScrollBar()->setRange(0, std::max(0, shown.height() - area.height()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setPageStep(area.height());
    viewport()->update();
}

void TPictView::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    displayChanged();
}

void TPictView::scrollContentsBy(int, int) { viewport()->update(); }

point_t TPictView::toPicture(QPoint p) const
{
    const point_t s = scroll();
    return {model::viewToPicture(p.x(), s.x, owner_->zoom()), model::viewToPicture(p.y(), s.y, owner_->zoom())};
}

void TPictView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    const point_t s = scroll();
    const double z = owner_->zoom();
    if (!owner_->displayed().isNull()) p.drawImage(QPoint(-s.x, -s.y), owner_->displayed());
    auto toView = [&](int32_t x, int32_t y) {
        return QPoint(model::pictureToView(x, s.x, z), model::pictureToView(y, s.y, z));
    };
    const item_t* selected = nullptr;
    for (const item_t* c : model::visibleClips(owner_->clips())) {
        if (model::isSelected(c)) selected = c;
        if (model::isRoundClip(c)) {
            const QPoint centre = toView(c->x1, c->y1);
            const int32_t r = viewRadius(centre, toView(c->x2, c->y2));
            drawOutline(p, [&] { p.drawEllipse(centre, r, r); });
        } else {
            const QRect r(toView(c->x1, c->y1), toView(c->x2, c->y2));
            drawOutline(p, [&] { p.drawRect(r.normalized()); });
        }
    }
    if (selected) {
        const int32_t m = owner_->markSize();
        const std::array<point_t, 9> h = model::clipHandles(selected);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(render::toColor(0x00FFFF));
        for (int32_t k = 0; k < model::handleCount(selected); ++k) {
            const QPoint at = toView(h[k].x, h[k].y);
            p.drawRect(at.x() - m / 2, at.y() - m / 2, m - 1, m - 1);
        }
    }
    if (drawing()) {
        const int32_t r = viewRadius(first_, current_);
        const bool round = owner_->tool() == pictTool_t::round;
        p.setBrush(Qt::NoBrush);
        for (const QPen& pen : {QPen(Qt::white, 1), QPen(Qt::red, 1, Qt::DashLine)}) {
            p.setPen(pen);
            if (round) p.drawEllipse(first_, r, r);
            else p.drawRect(QRect(first_, current_).normalized());
        }
    }
}

} // namespace panels
