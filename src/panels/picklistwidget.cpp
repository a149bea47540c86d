#include "panels/picklistwidget.h"
#include "panels/panellayout.h"

#include "ui/dialogs.h"
#include "ui/panellook.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "render/arrowheads.h"
#include "render/renderpass.h"
#include "render/shade.h"
#include "render/strokes.h"
#include "render/surface.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

namespace panels {

using ui::dialogs;
using ui::interfaceFont;

namespace {

using layout::pickList::sampleLeft, layout::pickList::swatchWidth, layout::pickList::textGap, layout::pickList::barRight,
    layout::pickList::dashSampleWidth, layout::pickList::shadowTextLeft, layout::pickList::shadowSampleWidth;

bool isColourKind(listKind_t k) { return k == listKind_t::colour || k == listKind_t::fill; }
bool isWeightKind(listKind_t k) { return k == listKind_t::weight || k == listKind_t::frameWeight; }
// The frame list's "None": the one built-in weight of nothing (the weight
// list's "Thin" is 0 too, but drawn a pixel wide).
bool isFrameNone(listKind_t k, const pickEntry_t& e)
{
    return k == listKind_t::frameWeight && e.role == pickEntry_t::builtIn && e.value == 0.0;
}

// A colour that would vanish on the white row is drawn silver.
int32_t visibleSample(int32_t c)
{
    const bool pale = (c & 0xFF) > 250 && ((c >> 8) & 0xFF) > 250 && ((c >> 16) & 0xFF) > 250;
    return pale ? 0xC0C0C0 : c;
}

// The bar or dash sample of a weight or pattern entry, drawn as a real line
// of the renderer onto the row image.
void drawLineSample(render::canvas_t& canvas, int32_t x0, int32_t x1, int32_t y, int32_t colour, double mm,
                    int32_t px, const render::pattern_t& pattern)
{
    model::item_t line;
    line.itemType = model::typeLine;
    line.lineColor = colour;
    line.fillColor = -2;
    line.lineWeight = mm;
    line.penWidthPx = px;
    line.angle = 0;
    render::lineStyle_t s;
    s.bandWidth = px;
    render::drawLine(canvas, &line, {double(x0), double(y)}, {double(x1), double(y)}, s, pattern);
}

// The dashes of a pattern entry at 100 % for the thinnest line.
render::pattern_t entryPattern(const pickEntry_t& e)
{
    if (e.role == pickEntry_t::custom && !e.segments.empty())
        return render::patternFromLengths(e.segments.data(), static_cast<int32_t>(e.segments.size()), 1.0);
    const int32_t index = static_cast<int32_t>(e.value);
    if (index >= 0 && index <= render::patternPhantom) return render::builtinPattern(index, render::patternUnit(0.0, 1.0));
    return {render::solidDash};
}

} // namespace

int32_t rowHeightFor(int32_t points)
{
    if (points >= 12) return 20;
    if (points >= 10) return 18;
    return 16;
}

int32_t rowTextLeft(listKind_t kind, const pickEntry_t& e)
{
    const bool plain = e.role == pickEntry_t::customize;
    switch (kind) {
    case listKind_t::colour:
    case listKind_t::fill:
    case listKind_t::surface: return plain ? sampleLeft : sampleLeft + swatchWidth + textGap;
    case listKind_t::weight:
    case listKind_t::frameWeight:
        return plain || isFrameNone(kind, e) ? sampleLeft : barRight + textGap;
    case listKind_t::pattern: return plain ? sampleLeft : sampleLeft + dashSampleWidth + textGap;
    case listKind_t::headStart:
    case listKind_t::headEnd: return sampleLeft + dashSampleWidth + textGap;
    case listKind_t::shadow:
        return e.role == pickEntry_t::builtIn && e.shadow.elevation > 0 ? shadowTextLeft : sampleLeft;
    default: return sampleLeft;
    }
}

QImage shadowSample(const settings::shadowTriple_t& shadow, QSize size)
{
    static std::map<std::tuple<int, int, int, int, int>, QImage> cache;
    const auto key = std::make_tuple(int(shadow.elevation), int(shadow.fade), int(shadow.lightness), size.width(),
                                     size.height());
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    // A page of the sample's size with one square in its upper left, lit
    // from the upper left so that the shadow falls into the picture.
    model::itemList_t doc;
    model::item_t* h = model::newItem(doc, model::typeHeader);
    h->kind = model::kindHeader;
    model::invalidateIds(doc);
    auto& hd = h->hdr();
    hd.zoom = 1.0;
    hd.unit = geometry::unitPixels;
    hd.pxPerUnitX = hd.pxPerUnitY = 1.0;
    hd.canvasWidth = hd.paperWidth = size.width();
    hd.canvasHeight = hd.paperHeight = size.height();
    geometry::computeCanvasPixels(h);
    model::item_t* sq = model::newItem(doc, model::typeSquare);
    const int32_t side = std::max(4, size.height() - 6);
    const int32_t l = 2, t = 1, r = l + side, b = t + side;
    for (auto [x, y] : {std::pair{l, t}, {r, t}, {r, b}, {l, b}}) model::addPoint(sq, x, y);
    sq->boxLeft = sq->x1 = l;
    sq->boxTop = sq->y1 = t;
    sq->boxRight = sq->x2 = r;
    sq->boxBottom = sq->y2 = b;
    sq->fillColor = 0xFFFFFF;
    sq->lineColor = 0x000000;
    sq->penWidthPx = 1;
    sq->shapeVariant = 2;
    sq->shadowElevation = shadow.elevation;
    sq->shadowFade = shadow.fade;
    sq->shadowLightness = shadow.lightness;
    model::computeMeasure(sq);
    sq->zOrder = model::maxZOrder(doc) + 1;
    model::noteIds(doc, sq);
    render::renderView_t view;
    view.items = &doc;
    view.Image1 = render::newCanvasImage(size.width(), size.height());
    render::repaintAll(view, false);
    QImage out = view.Image1;
    model::freeList(doc);
    if (cache.size() > 64) cache.clear();
    cache.emplace(key, out);
    return out;
}

void drawPickRow(QPainter& p, const QRect& r, listKind_t kind, const pickEntry_t& e, const rowStyle_t& style,
                 const QColor& background, const QColor& ink)
{
    // The samples are drawn on a row image of the list's background by the
    // renderer's drawing surface, then the text over it.
    QImage row(r.size(), QImage::Format_RGB32);
    row.fill(background);
    {
        render::canvas_t c(row);
        const int32_t top = 3, bottom = r.height() - 3;
        const int32_t mid = r.height() / 2;
        if (isColourKind(kind) && e.role != pickEntry_t::customize) {
            const int32_t right = sampleLeft + swatchWidth;
            if (e.role != pickEntry_t::clear) {
                const int32_t fill = e.role == pickEntry_t::solid ? style.sampleColour : (e.colour < 0 ? 0xFFFFFF : e.colour);
                c.fillRect(sampleLeft, top, right, bottom, fill & 0xFFFFFF);
            }
            c.setPen(0x000000, 1);
            c.clearBrush();
            const QPoint frame[] = {{sampleLeft, top}, {right - 1, top}, {right - 1, bottom - 1}, {sampleLeft, bottom - 1}, {sampleLeft, top}};
            c.polyline(frame, 5);
        } else if (isWeightKind(kind) && e.role != pickEntry_t::customize) {
            const int32_t px = e.role == pickEntry_t::custom
                                   ? e.pixels
                                   : std::max(1, static_cast<int32_t>(std::lround(e.value * style.pxPerMmY)));
            const bool none = isFrameNone(kind, e);
            // A custom weight thicker than the row is not drawn.
            const bool fits = e.role != pickEntry_t::custom || (px >= 1 && px <= r.height());
            if (!none && fits) {
                const int32_t w = std::clamp(px, 1, r.height());
                const int32_t colour = visibleSample(style.sampleColour);
                // Bars up to two pixels of the frame list are a pen line;
                // the others are filled, exactly the weight's pixels thick.
                if (kind == listKind_t::frameWeight && w <= 2) {
                    c.setPen(colour, w);
                    const QPoint seg[] = {{sampleLeft, mid}, {barRight, mid}};
                    c.polyline(seg, 2);
                } else {
                    c.fillRect(sampleLeft, mid - w / 2, barRight + 1, mid - w / 2 + w, colour);
                }
            }
        } else if (kind == listKind_t::pattern && e.role != pickEntry_t::customize) {
            drawLineSample(c, sampleLeft, sampleLeft + dashSampleWidth, mid, visibleSample(style.sampleColour), 0.0, 1,
                           entryPattern(e));
        } else if (kind == listKind_t::headStart || kind == listKind_t::headEnd) {
            // The head at the end it stands for, drawn by the renderer's head code.
            const int32_t x0 = sampleLeft, x1 = sampleLeft + dashSampleWidth - 2;
            const bool start = kind == listKind_t::headStart;
            render::drawHeadSample(c, start ? x1 : x0, start ? x0 : x1, mid, model::headKindOf(int64_t(e.value)),
                                   visibleSample(style.sampleColour));
        } else if (kind == listKind_t::shadow && e.role == pickEntry_t::builtIn && e.shadow.elevation > 0) {
            c.release();
            QPainter sp(&row);
            sp.drawImage(sampleLeft, 1, shadowSample(e.shadow, QSize(shadowSampleWidth, r.height() - 2)));
        } else if (kind == listKind_t::surface && style.sampleColour >= 0) {
            const int32_t h = std::max(1, bottom - top);
            if (e.value == 0) {
                c.fillRect(sampleLeft, top, sampleLeft + swatchWidth, bottom, style.sampleColour & 0xFFFFFF);
            } else {
                // The shading ramp down the swatch, each column shifted along
                // a sine by up to a quarter of the height, so it looks turned.
                const std::vector<int32_t> ramp = render::shadeRamp(h, 127, style.sampleColour & 0xFFFFFF);
                c.release();
                for (int32_t x = 0; x < swatchWidth; ++x) {
                    const int32_t shift = static_cast<int32_t>(std::lround(h / 4.0 * std::sin(std::numbers::pi * x / swatchWidth)));
                    for (int32_t y = 0; y < h && !ramp.empty(); ++y) {
                        const int32_t k = std::clamp(y - shift, 0, static_cast<int32_t>(ramp.size()) - 1);
                        row.setPixel(sampleLeft + x, top + y, render::toRgb(ramp[k]));
                    }
                }
            }
        }
    }
    p.drawImage(r.topLeft(), row);
    p.setFont(style.font);
    p.setPen(ink);
    const int32_t left = rowTextLeft(kind, e);
    p.drawText(QRect(r.left() + left, r.top(), std::max(0, r.width() - left), r.height()),
               Qt::AlignLeft | Qt::AlignVCenter, e.text);
}

// ---------------------------------------------------------------- widget

namespace {

class rowDelegate_t : public QStyledItemDelegate {
public:
    explicit rowDelegate_t(pickListBox_t* list) : QStyledItemDelegate(list), list_(list) {}
    void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& i) const override
    {
        const pickEntry_t* e = list_->entryAt(i.row());
        if (!e) return;
        const bool on = o.state & QStyle::State_Selected;
        drawPickRow(*p, o.rect, list_->kind(), *e, list_->rowStyle(), on ? o.palette.highlight().color() : Qt::white,
                    on ? o.palette.highlightedText().color() : Qt::black);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {list_->entriesWidth(), rowHeightFor(list_->rowStyle().font.pointSize())};
    }
private:
    pickListBox_t* list_;
};

} // namespace

pickListBox_t::pickListBox_t(listKind_t kind, settings::TParams& params, QWidget* parent)
    : QComboBox(parent), kind_(kind), params_(params)
{
    style_.font = interfaceFont(false);
    style_.pxPerMmY = params.pxPerMmY;
    setFont(style_.font);
    setItemDelegate(new rowDelegate_t(this));
    setFocusPolicy(Qt::TabFocus);  // as the side panel's buttons
    setMaxVisibleItems(16);
    rebuild();
}

const builtList_t& pickListBox_t::rebuild()
{
    const QSignalBlocker quiet(this);
    built_ = buildList(kind_, params_);
    clear();
    for (const pickEntry_t& e : built_.entries) addItem(e.text);
    setCurrentIndex(-1);
    updateGeometry();
    return built_;
}

const pickEntry_t* pickListBox_t::entryAt(int32_t index) const
{
    if (index < 0 || index >= static_cast<int32_t>(built_.entries.size())) return nullptr;
    return &built_.entries[index];
}

void pickListBox_t::setSampleColour(int32_t colour)
{
    style_.sampleColour = colour;
    update();
}

void pickListBox_t::selectIndex(int32_t index)
{
    setCurrentIndex(entryAt(index) ? index : -1);
}

int32_t pickListBox_t::entriesWidth() const
{
    const QFontMetrics fm(style_.font);
    int32_t w = 0;
    for (const pickEntry_t& e : built_.entries)
        w = std::max(w, rowTextLeft(kind_, e) + fm.horizontalAdvance(e.text) + sampleLeft);
    return w;
}

QSize pickListBox_t::sizeHint() const
{
    const int32_t arrow = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return {entriesWidth() + arrow + 6, rowHeightFor(style_.font.pointSize()) + 6};
}

QSize pickListBox_t::minimumSizeHint() const { return sizeHint(); }

void pickListBox_t::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionComboBox o;
    initStyleOption(&o);
    o.currentText.clear();
    p.drawComplexControl(QStyle::CC_ComboBox, o);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, this);
    // A disabled list shows the panel's colour where an enabled one shows the window's.
    const QColor panelBack = ui::panelBackground();
    if (!isEnabled()) p.fillRect(field, panelBack);
    if (const pickEntry_t* e = entryAt(currentIndex())) {
        const bool focus = hasFocus() && isEnabled();
        const QColor back = !isEnabled() ? panelBack : focus ? palette().highlight().color() : QColor(Qt::white);
        const QColor ink = !isEnabled() ? QColor(Qt::gray) : focus ? palette().highlightedText().color() : QColor(Qt::black);
        drawPickRow(p, field, kind_, *e, style_, back, ink);
    }
}

// ---------------------------------------------------------------- custom colours

bool chooseCustomColor(pickListBox_t& list, int32_t previous, int32_t& value, settings::TParams& params)
{
    std::vector<int32_t> custom(settings::dialogColorCount, 0xFFFFFF);
    for (int32_t k = 0; k < settings::dialogColorCount; ++k) {
        const QString prefix = QStringLiteral("color") + settings::rowLetter(k + 1) + QLatin1Char('=');
        for (const QString& entry : params.dialogColors) {
            if (!entry.startsWith(prefix)) continue;
            bool ok = false;
            const uint v = entry.mid(prefix.size()).trimmed().toUInt(&ok, 16);
            if (ok) custom[k] = static_cast<int32_t>(v);
        }
    }
    int32_t chosen = value >= 0 ? value : 0;
    if (!dialogs().chooseColor(chosen, custom)) {
        list.selectIndex(previous);
        return false;
    }
    // The dialog's custom colours as it left them; white is an unused slot.
    QStringList kept;
    for (int32_t k = 0; k < settings::dialogColorCount && k < static_cast<int32_t>(custom.size()); ++k) {
        const int32_t c = custom[k] & 0xFFFFFF;
        const QString text = c == 0xFFFFFF ? QStringLiteral("FFFFFFFF") : QString::number(c, 16).toUpper();
        kept << QStringLiteral("color") + settings::rowLetter(k + 1) + QLatin1Char('=') + text;
    }
    params.dialogColors = kept;
    if (!isListedColour(params, chosen)) params.rememberColor(chosen);
    value = chosen;
    list.rebuild();
    if (list.kind() == listKind_t::fill) list.selectFill(chosen);
    else list.selectColour(chosen);
    return true;
}

} // namespace panels
