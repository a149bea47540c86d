#include "ui/pagesample.h"

#include <QResizeEvent>

#include "page/layout.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace ui {

namespace {

constexpr double mmPerInch = 25.4;
constexpr int pixelSampleLimit = 4000;  // an actual-size picture larger than this is cut
constexpr int cardDrawLimit = 2000;     // cards drawn at most (hostile counts)
constexpr int captionsHeight = 60;      // "Sample" and "Scaled to fit this window"

std::optional<double> measure(const QString& text, int32_t unit)
{
    double v = 0;
    if (!page::parsePageMeasure(text, unit, v) || !std::isfinite(v)) return std::nullopt;
    return unit == 3 ? v * mmPerInch : v;
}

std::optional<int32_t> whole(const QString& text)
{
    int32_t v = 0;
    if (!page::parsePageWhole(text, v)) return std::nullopt;
    return v;
}

// Maps sheet measures (mm or pixels) onto the picture.
struct mapping_t {
    double scale = 1, left = 0, top = 0;
    QPointF at(double x, double y) const { return {left + x * scale, top + y * scale}; }
    QRectF rect(double x, double y, double w, double h) const { return {at(x, y), QSizeF(w * scale, h * scale)}; }
};

void drawMargins(QPainter& p, const mapping_t& m, const page::miry_t& s, int32_t unit, double W, double H)
{
    p.setPen(QPen(sampleRed, 1));
    auto vline = [&](double x) { if (x > 0 && x < W) p.drawLine(m.at(x, 0), m.at(x, H)); };
    auto hline = [&](double y) { if (y > 0 && y < H) p.drawLine(m.at(0, y), m.at(W, y)); };
    if (auto l = measure(s.marginLeft, unit)) vline(*l);
    if (auto r = measure(s.marginRight, unit)) vline(W - *r);
    if (auto t = measure(s.marginTop, unit)) hline(*t);
    if (auto b = measure(s.marginBottom, unit)) hline(H - *b);
}

// Every card in grey, the first card and those folded with it in red, the
// folds dotted; brochure panels all in red.
void drawCards(QPainter& p, const mapping_t& m, const page::miry_t& s, int32_t unit, bool brochure)
{
    const auto w = measure(s.cardWidth, unit), h = measure(s.cardHeight, unit);
    const auto rows = whole(s.rows), columns = whole(s.columns);
    if (!w || !h || !rows || !columns || *w <= 0 || *h <= 0 || *rows <= 0 || *columns <= 0) return;
    page::cardLayout_t l;
    l.marginLeft = measure(s.marginLeft, unit).value_or(0);
    l.marginTop = measure(s.marginTop, unit).value_or(0);
    l.cardWidth = *w;
    l.cardHeight = *h;
    l.columnGap = measure(s.columnGap, unit).value_or(0);
    l.rowGap = measure(s.rowGap, unit).value_or(0);
    l.rows = *rows;
    l.columns = *columns;
    l.rowFold = s.rowFold != 0;
    l.columnFold = s.columnFold != 0;
    const int32_t rowsDrawn = std::min(l.rows, cardDrawLimit);
    const int32_t columnsDrawn = std::min(l.columns, std::max(1, cardDrawLimit / rowsDrawn));
    p.setBrush(Qt::NoBrush);
    auto cardRect = [&](int32_t c, int32_t r) {
        const page::layoutPoint_t o = page::cardOrigin(l, c, r);
        return m.rect(o.x, o.y, l.cardWidth, l.cardHeight);
    };
    for (int32_t r = 1; r <= rowsDrawn; ++r)
        for (int32_t c = 1; c <= columnsDrawn; ++c) {
            const bool first = c <= (l.columnFold ? 2 : 1) && r <= (l.rowFold ? 2 : 1);
            p.setPen(QPen(brochure || first ? sampleRed : sampleGrey, 1));
            p.drawRect(cardRect(c, r));
        }
    // Folds, dotted: the shared edge of each folded pair of cards; a
    // brochure folds between every two panels.
    const int32_t step = brochure ? 1 : 2;
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    if (l.columnFold)
        for (int32_t r = 1; r <= rowsDrawn; ++r)
            for (int32_t c = 2; c <= columnsDrawn; c += step) {
                const QRectF q = cardRect(c, r);
                p.drawLine(q.topLeft(), q.bottomLeft());
            }
    if (l.rowFold)
        for (int32_t r = 2; r <= rowsDrawn; r += step)
            for (int32_t c = 1; c <= columnsDrawn; ++c) {
                const QRectF q = cardRect(c, r);
                p.drawLine(q.topLeft(), q.topRight());
            }
}

} // namespace

sampleResult_t drawPageSample(QImage& image, const page::pageset_t& setup, int32_t designType, QSize area,
                              bool captions)
{
    const int32_t unit = setup.unit;
    if (unit < 1 || unit > 3) return sampleResult_t::hidden;
    const page::miry_t& s = setup.measuresOf(unit);
    const auto W = measure(s.paperWidth, unit), H = measure(s.paperHeight, unit);
    if (!W || !H) return sampleResult_t::keepLast;
    if (*W <= 0 || *H <= 0) return sampleResult_t::hidden;

    mapping_t m;
    if (unit == 1) {
        const int w = int(std::min<double>(std::ceil(*W), pixelSampleLimit));
        const int h = int(std::min<double>(std::ceil(*H), pixelSampleLimit));
        image = QImage(w + 1, h + 1, QImage::Format_RGB32);
    } else {
        image = QImage(area.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        m.scale = 0.9 * std::min(area.width(), area.height()) / std::max(*W, *H);
        m.left = std::floor((area.width() - *W * m.scale) / 2);
        m.top = std::floor((area.height() - *H * m.scale) / 2);
        // Below the captions when the area leaves room for that.
        if (captions) m.top = std::max(m.top, std::min<double>(captionsHeight, area.height() - *H * m.scale - 1));
    }
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(m.rect(0, 0, *W, *H));

    if (page::isCardType(designType)) drawCards(p, m, s, unit, false);
    else if (designType == 10 && unit != 1) drawCards(p, m, s, unit, true);
    else if (unit != 1) drawMargins(p, m, s, unit, *W, *H);

    if (captions) {
        QFont big(QStringLiteral("Arial"));
        big.setPointSize(18);
        p.setFont(big);
        p.setPen(sampleSilver);
        const QString first = unit == 1 ? QStringLiteral("Actual size") : QStringLiteral("Sample");
        p.drawText(QPointF(6, 6 + QFontMetricsF(big).ascent()), first);
        if (unit != 1) {
            QFont small(big);
            small.setPointSize(12);
            p.setFont(small);
            p.drawText(QPointF(6, 10 + QFontMetricsF(big).height() + QFontMetricsF(small).ascent()),
                       QStringLiteral("Scaled to fit this window"));
        }
    }
    return sampleResult_t::drawn;
}

pageSampleView_t::pageSampleView_t(QWidget* parent) : QScrollArea(parent)
{
    label_ = new QLabel;
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setAutoFillBackground(true);
    QPalette pal = label_->palette();
    pal.setColor(QPalette::Window, Qt::white);
    label_->setPalette(pal);
    setWidget(label_);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    viewport()->setAutoFillBackground(true);
    QPalette vp = viewport()->palette();
    vp.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(vp);
}

bool pageSampleView_t::pictureShown() const { return label_->isVisible() && !picture_.isNull(); }

void pageSampleView_t::resizeEvent(QResizeEvent* e)
{
    QScrollArea::resizeEvent(e);
    if (hasSetup_) redraw(setup_, designType_);
}

void pageSampleView_t::redraw(const page::pageset_t& setup, int32_t designType)
{
    setup_ = setup;
    designType_ = designType;
    hasSetup_ = true;
    QImage next;
    const QSize area = viewport()->size().boundedTo(QSize(2000, 2000)).expandedTo(QSize(100, 100));
    switch (drawPageSample(next, setup, designType, area)) {
    case sampleResult_t::keepLast: return;
    case sampleResult_t::hidden:
        picture_ = QImage();
        label_->hide();
        return;
    case sampleResult_t::drawn: break;
    }
    picture_ = next;
    label_->setPixmap(QPixmap::fromImage(picture_));
    label_->resize(picture_.size());
    label_->show();
    // Scaled samples fill the area; the actual size scrolls.
    const bool pixels = setup.unit == 1;
    setHorizontalScrollBarPolicy(pixels ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(pixels ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

} // namespace ui
