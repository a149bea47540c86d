#include "panels/lineshapebase.h"

#include "panels/summary.h"

#include "canvas/sandbox.h"
#include "canvas/setters.h"
#include "model/history_index.h"
#include "model/item.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "settings/params.h"
#include "ui/hostedpanel.h"
#include "ui/panellook.h"

#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace panels {

namespace {

constexpr double sameWithin = 1e-4;

bool near(double a, double b) { return std::fabs(a - b) < sameWithin; }

// The pattern record a custom pattern index stands for; none.
const model::item_t* patternRecord(const model::itemList_t& list, int32_t index)
{
    if (index >= 0) return nullptr;
    for (const model::item_t* it = list.head; it; it = it->next)
        if (it->kind == model::kindPattern && it->itemType == index) return it;
    return nullptr;
}

} // namespace

const std::array<QString, 3> selectionHints{
    QStringLiteral("Hold down the Shift key to select more items."),
    QStringLiteral("Hold down the Ctrl key and move the mouse to select items inside an area."),
    QStringLiteral("Hold down the Shift and Ctrl keys to select items partially within an area."),
};

settings::shadowTriple_t selectionSummary_t::shadow() const
{
    return {uint8_t(std::max(elevation, 0)), uint8_t(std::max(fade, 0)), uint8_t(std::max(lightness, 0))};
}

void selectionSummary_t::setShadow(const settings::shadowTriple_t& t)
{
    elevation = t.elevation;
    fade = t.fade;
    lightness = t.lightness;
}

bool samePattern(const model::itemList_t& list, const model::item_t* a, const model::item_t* b)
{
    if (a->patternIndex >= 0 || b->patternIndex >= 0) return a->patternIndex == b->patternIndex;
    const model::item_t* pa = patternRecord(list, a->patternIndex);
    const model::item_t* pb = patternRecord(list, b->patternIndex);
    if (!pa || !pb) return pa == pb;
    const int32_t n = pa->pat().segmentCount;
    if (n != pb->pat().segmentCount) return false;
    for (int32_t i = 0; i < std::clamp(n, 0, 12); ++i)
        if (!near(pa->pat().segments[i], pb->pat().segments[i])) return false;
    return true;
}

int32_t patternEntryOf(const settings::TParams& p, const model::itemList_t& list, const model::item_t* item)
{
    if (!item) return -1;
    if (item->patternIndex >= 0) return indexOfPattern(item->patternIndex);
    const model::item_t* rec = patternRecord(list, item->patternIndex);
    if (!rec) return -1;
    return indexOfCustomPattern(p, rec->pat().segments, std::clamp(rec->pat().segmentCount, 0, 12));
}

std::vector<const model::item_t*> selectedAttributeItems(model::itemList_t& list)
{
    std::vector<const model::item_t*> out;
    for (const model::item_t* it : model::collectSelected(list))
        if (it->itemType != model::typeGroupHandle) out.push_back(it);
    return out;
}

selectionSummary_t summarize(const model::itemList_t& list, const std::vector<const model::item_t*>& items)
{
    using S = selectionSummary_t;
    selectionSummary_t s;
    auto samePatternAs = [&list](const model::item_t* a, const model::item_t* b) {
        return a && samePattern(list, a, b);
    };
    for (const model::item_t* it : items) {
        if (it->itemType != model::typeLine) s.allLines = false;
        const bool first = s.count++ == 0;
        meetValue<int32_t>(s.colour, it->lineColor, first, S::mixedColour);
        meetValue<int32_t>(s.fill, it->fillColor, first, S::mixedFill);
        meetValue<double>(s.weight, it->lineWeight, first, S::mixedWeight, near);
        meetValue<double>(s.outline, it->outlineWeight, first, S::mixedWeight, near);
        meetValue<double>(s.direction, it->direction, first, S::mixedDirection, near);
        meetValue<const model::item_t*>(s.pattern, it, first, nullptr, samePatternAs);
        meetValue<int32_t>(s.sides, it->sides, first, S::mixedValue);
        meetValue<int32_t>(s.variant, it->shapeVariant, first, S::mixedValue);
        meetValue<int32_t>(s.elevation, int32_t(it->shadowElevation), first, S::mixedValue);
        meetValue<int32_t>(s.fade, int32_t(it->shadowFade), first, S::mixedValue);
        meetValue<int32_t>(s.lightness, int32_t(it->shadowLightness), first, S::mixedValue);
        meetValue<int32_t>(s.surface, int32_t(it->surface), first, S::mixedValue);
    }
    return s;
}

int32_t keepFillColour(const settings::TParams& p, int32_t fill, int32_t lineColour)
{
    return fill < 0 ? fill : p.keepKnownColor(fill, lineColour);
}

int32_t weightPixels(double mm, double pxPerMmY)
{
    return std::max(1, int32_t(model::roundHalfEven(mm * pxPerMmY)));
}

// ---------------------------------------------------------------- frame

lineShapePanel_t::lineShapePanel_t(const QString& caption, int32_t colour, int32_t panelCode, panelHost_t& host,
                                   QWidget* parent)
    : attributePanel_t(caption, colour, host, parent)
{
    code = panelCode;
    QWidget* b = body();
    tabs_ = new tabStrip_t(QStringLiteral("Basics"), QStringLiteral("Effects"), b);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->setCurrent(host.params().lineShapeTab);
    tabs_->onChange = [this](int32_t) { tabChanged(); };
    for (size_t k = 0; k < hints_.size(); ++k) {
        hints_[k] = new hintBox_t(b);
        hints_[k]->setObjectName(QStringLiteral("hint%1").arg(k + 1));
    }
    top_ = hints_[0];
}

lineShapePanel_t::~lineShapePanel_t() = default;

void lineShapePanel_t::chooseTab(int32_t tab)
{
    if (tab == tabs_->current()) return;
    tabs_->setCurrent(tab);
    tabChanged();
}

void lineShapePanel_t::tabChanged()
{
    // The setting follows at once: the panel may be freed after the main
    // window's settings and host are gone.
    host_.params().lineShapeTab = tabs_->current();
    refresh();
}

pickListBox_t* lineShapePanel_t::addList(int32_t tab, listKind_t kind, const QString& label, const QString& name,
                                         std::function<void(int32_t)> onChoose)
{
    auto* list = new pickListBox_t(kind, host_.params(), body());
    addRow(tab, list, label, name, std::move(onChoose));
    return list;
}

QComboBox* lineShapePanel_t::addTextList(int32_t tab, const QString& name, std::function<void(int32_t)> onChoose)
{
    auto* list = new QComboBox(body());
    list->setFont(ui::interfaceFont(false));
    list->setFocusPolicy(Qt::TabFocus);
    addRow(tab, list, QString(), name, std::move(onChoose));
    return list;
}

void lineShapePanel_t::addRow(int32_t tab, QComboBox* list, const QString& label, const QString& name,
                              std::function<void(int32_t)> onChoose)
{
    list->setObjectName(name);
    auto* l = new QLabel(label, body());
    l->setObjectName(name + QStringLiteral("Label"));
    l->setFont(ui::interfaceFont(false));
    QObject::connect(list, &QComboBox::currentIndexChanged, list, [this, list, onChoose](int index) {
        if (building_) return;
        onChoose(index);
        // What the list shows after the choice is the entry to go back to
        // (a cancelled "Customize..." has put it back already).
        if (row_t* r = rowOf(list)) r->last = list->currentIndex();
    });
    rows_.push_back({list, l, tab});
}

lineShapePanel_t::row_t* lineShapePanel_t::rowOf(const QComboBox* list)
{
    for (row_t& r : rows_)
        if (r.list == list) return &r;
    return nullptr;
}

const lineShapePanel_t::row_t* lineShapePanel_t::rowOf(const QComboBox* list) const
{
    for (const row_t& r : rows_)
        if (r.list == list) return &r;
    return nullptr;
}

QLabel* lineShapePanel_t::labelOf(const QComboBox* list) const
{
    const row_t* r = rowOf(list);
    return r ? r->label : nullptr;
}

bool lineShapePanel_t::listShown(const QComboBox* list) const
{
    const row_t* r = rowOf(list);
    return r && r->shown && r->tab == tabs_->current();
}

void lineShapePanel_t::setListShown(QComboBox* list, bool on)
{
    if (row_t* r = rowOf(list)) r->shown = on;
}

void lineShapePanel_t::setListLabel(QComboBox* list, const QString& label)
{
    if (row_t* r = rowOf(list)) r->label->setText(label);
}

void lineShapePanel_t::highlight(QComboBox* list, int32_t index)
{
    buildScope_t quiet(*this);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    if (row_t* r = rowOf(list)) r->last = list->currentIndex();
}

int32_t lineShapePanel_t::lastIndex(const QComboBox* list) const
{
    const row_t* r = rowOf(list);
    return r ? r->last : -1;
}

void lineShapePanel_t::setTopWidget(QWidget* w)
{
    top_ = w;
}

void lineShapePanel_t::layoutPanel(const QComboBox* basicsEnd)
{
    basicsEnd_ = basicsEnd;
    const int32_t width = body()->width();
    const int32_t listWidth = std::max(0, width - 2 * margin);
    const int32_t hintWidth = std::max(0, width - margin - 2);
    int32_t y = margin;
    if (!top_->isHidden()) {
        const auto* h = dynamic_cast<hintBox_t*>(top_);
        const int32_t height = h ? h->neededHeight(hintWidth) : top_->sizeHint().height();
        top_->setGeometry(margin, y, h ? hintWidth : std::min(listWidth, top_->sizeHint().width()), height);
        y += height + margin;
    }
    tabs_->setGeometry(margin, y, listWidth, tabStrip_t::stripHeight);
    const int32_t listsTop = y + tabStrip_t::stripHeight + margin;

    // Each tab stacks its shown lists from the top; the "Basics" area ends
    // below its closing list, and "Effects" is as high.
    std::array<int32_t, 2> next{listsTop, listsTop};
    int32_t lastBottom = listsTop, endBottom = -1;
    for (row_t& r : rows_) {
        const bool visible = r.shown && r.tab == tabs_->current();
        r.list->setVisible(visible);
        r.label->setVisible(visible);
        if (!r.shown) continue;
        int32_t& at = next[size_t(r.tab - 1)];
        r.label->setGeometry(margin, at, listWidth, labelHeight);
        r.label->setFont(ui::fittedFont(ui::interfaceFont(false), r.label->text(), listWidth));
        const int32_t listHeight = r.list->sizeHint().height();
        r.list->setGeometry(margin, at + labelHeight, listWidth, listHeight);
        if (r.tab == 1) {
            lastBottom = at + labelHeight + listHeight + margin;
            if (r.list == basicsEnd_) endBottom = lastBottom;
        }
        at += listPitch;
    }
    areaBottom_ = endBottom >= 0 ? endBottom : lastBottom;
    // An "Effects" tab longer than "Basics" (with the arrowhead lists) keeps
    // its lists clear of the hints below.
    if (tabs_->current() == 2) areaBottom_ = std::max(areaBottom_, next[1] - listPitch + labelHeight + margin +
                                                                      (surface_ ? surface_->sizeHint().height() : 0));
    y = areaBottom_;
    for (hintBox_t* h : hints_) {
        if (h == top_ || h->isHidden()) continue;
        const int32_t height = h->neededHeight(hintWidth);
        h->setGeometry(margin, y, hintWidth, height);
        y += height + margin;
    }
}

bool lineShapePanel_t::customColour(pickListBox_t* list, int32_t& value)
{
    buildScope_t quiet(*this);
    const bool chosen = chooseCustomColor(*list, lastIndex(list), value, host_.params());
    if (row_t* r = rowOf(list)) r->last = list->index();
    return chosen;
}

void lineShapePanel_t::openCustomization(QComboBox* list, int32_t hostedCode)
{
    highlight(list, lastIndex(list));
    host_.openCustomization(hostedCode);
}

void lineShapePanel_t::showColour(pickListBox_t* list, int32_t setting)
{
    list->rebuild();
    const int32_t c = fineTune_ ? summary_.colour : setting;
    highlight(list, c < 0 ? -1 : indexOfColour(host_.params(), c));
}

void lineShapePanel_t::showFill(pickListBox_t* list, int32_t setting)
{
    list->setSampleColour(sampleColour());
    list->rebuild();
    const int32_t f = fineTune_ ? summary_.fill : setting;
    highlight(list, f < -2 ? -1 : indexOfFill(host_.params(), f));
}

void lineShapePanel_t::showWeight(pickListBox_t* list, double& setting, int32_t& tab, double summaryValue)
{
    list->setSampleColour(sampleColour());
    const builtList_t& built = list->rebuild();
    if (fineTune_) {
        highlight(list, summaryValue <= selectionSummary_t::mixedWeight
                            ? -1
                            : indexOfWeight(host_.params(), summaryValue, false));
        return;
    }
    if (built.selectNextIndex >= 0) {
        setting = built.selectNextValue;
        tab = built.selectNextIndex;
    }
    highlight(list, storedWeightIndex(tab, setting, list->count()));
}

bool lineShapePanel_t::takeColour(pickListBox_t* list, int32_t index, int32_t& setting, int32_t& colour)
{
    colour = list->colour();
    if (index == customizeIndex(listKind_t::colour)) {
        int32_t chosen = setting;
        if (!customColour(list, chosen)) return false;
        setting = colour = chosen;
    }
    if (colour < 0) return false;
    if (!fineTune_) setting = colour;
    else summary_.colour = colour;
    return true;
}

bool lineShapePanel_t::takeFill(pickListBox_t* list, int32_t index, int32_t& setting, bool customIntoSetting)
{
    int32_t fill = list->fill();
    if (index == customizeIndex(listKind_t::fill)) {
        const bool intoSetting = customIntoSetting || !fineTune_;
        int32_t chosen = std::max(intoSetting ? setting : summary_.fill, 0);
        if (!customColour(list, chosen)) return false;
        if (intoSetting) setting = chosen;
        fill = chosen;
    }
    if (!fineTune_) {
        setting = fill;
        return true;
    }
    summary_.fill = fill;
    if (canvas::TSandbox* w = document()) canvas::setFillColor(*w, fill);
    return true;
}

bool lineShapePanel_t::takeWeight(pickListBox_t* list, int32_t index, double& setting, int32_t& tab,
                                  double& summaryValue, void (*setter)(canvas::TSandbox&, double))
{
    if (index == customizeIndex(listKind_t::weight)) {
        openCustomization(list, ui::hostedLineWeights);
        return false;
    }
    const double mm = list->weight();
    if (!fineTune_) {
        setting = mm;
        tab = index;
        return true;
    }
    summaryValue = mm;
    if (canvas::TSandbox* w = document()) setter(*w, mm);
    return true;
}

void lineShapePanel_t::addEffectLists(const QString& namePrefix, int32_t& surfaceSetting)
{
    surfaceSetting_ = &surfaceSetting;
    surface_ = addList(2, listKind_t::surface, QStringLiteral("Surface"), namePrefix + QStringLiteral("Surface"),
                       [this](int32_t i) { chooseSurface(i); });
    shadow_ = addList(2, listKind_t::shadow, QStringLiteral("Shadow"), namePrefix + QStringLiteral("Shadow"),
                      [this](int32_t i) { chooseShadow(i); });
}

void lineShapePanel_t::fillEffectLists()
{
    const settings::TParams& p = host_.params();
    surface_->setSampleColour(sampleColour());
    surface_->rebuild();
    shadow_->rebuild();
    if (fineTune_) {
        highlight(surface_, summary_.surface < 0 ? -1 : indexOfSurface(summary_.surface));
        highlight(shadow_, summary_.shadowMixed() ? -1
                                             : indexOfShadow(p, summary_.elevation, summary_.fade, summary_.lightness));
        return;
    }
    highlight(surface_, indexOfSurface(*surfaceSetting_));
    highlight(shadow_, indexOfShadow(p, p.shpoly.elevation, p.shpoly.fade, p.shpoly.lightness));
}

void lineShapePanel_t::chooseSurface(int32_t index)
{
    const int32_t style = surfaceAt(index);
    if (!fineTune_) {
        *surfaceSetting_ = style;
        return;
    }
    summary_.surface = style;
    if (canvas::TSandbox* w = document()) canvas::setSurface(*w, style);
}

void lineShapePanel_t::chooseShadow(int32_t index)
{
    if (index == customizeIndex(listKind_t::shadow)) {
        openCustomization(shadow_, ui::hostedShadows);
        return;
    }
    settings::TParams& p = host_.params();
    const settings::shadowTriple_t t = shadow_->shadow(fineTune_ ? summary_.shadow() : p.shpoly);
    if (!fineTune_) {
        p.shpoly = t;
        return;
    }
    summary_.setShadow(t);
    if (canvas::TSandbox* w = document()) canvas::setShapeShadow(*w, t.elevation, t.fade, t.lightness);
}

void lineShapePanel_t::summarizeSelection()
{
    summary_ = selectionSummary_t{};
    if (canvas::TSandbox* w = document()) summary_ = summarize(w->items(), selectedAttributeItems(w->items()));
}

void lineShapePanel_t::resizeEvent(QResizeEvent* e)
{
    attributePanel_t::resizeEvent(e);
    layoutPanel(basicsEnd_);
}

} // namespace panels
