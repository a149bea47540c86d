#include "panels/frameeffects.h"

#include "ui/hostedpanel.h"
#include "ui/panellook.h"

#include <QLabel>

#include <algorithm>

namespace panels {

namespace {

constexpr int32_t frameRow = 0, colourRow = 1, shadowRow = 2, surfaceRow = 3;

// Weight bars need a colour; a mixed frame colour draws them black.
int32_t barColour(int32_t frameColour) { return frameColour < 0 ? 0 : frameColour; }

uint8_t shadowByte(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

} // namespace

frameEffectsLists_t::frameEffectsLists_t(settings::TParams& params, QWidget* parent) : QWidget(parent), params_(params)
{
    static const char* const captions[4] = {"Frame", "Frame Color", "Shadow", "Frame 3-D"};
    static const listKind_t kinds[4] = {listKind_t::frameWeight, listKind_t::colour, listKind_t::shadow,
                                        listKind_t::surface};
    for (int32_t k = 0; k < 4; ++k) {
        auto* l = new QLabel(QString::fromLatin1(captions[k]), this);
        l->setFont(ui::interfaceFont(false));
        labels_[k] = l;
        auto* list = new pickListBox_t(kinds[k], params_, this);
        list->setAccessibleName(l->text());
        lists_[k] = list;
    }
    QObject::connect(frameList(), &QComboBox::activated, this, [this](int index) { frameChosen(index); });
    QObject::connect(colourList(), &QComboBox::activated, this, [this](int index) { colourChosen(index); });
    QObject::connect(shadowList(), &QComboBox::activated, this, [this](int index) { shadowChosen(index); });
    QObject::connect(surfaceList(), &QComboBox::activated, this, [this](int index) { surfaceChosen(index); });
}

void frameEffectsLists_t::showValues(const frameEffects_t& v)
{
    building_ = true;
    values_ = v;
    frameList()->setSampleColour(barColour(v.frameColour));
    frameList()->rebuild();
    selectFrame();
    shadowList()->rebuild();
    shadowList()->selectIndex(indexOfShadow(params_, v.elevation, v.fade, v.lightness));
    last_[shadowRow] = shadowList()->index();
    showFrameDependants();
    building_ = false;
}

void frameEffectsLists_t::selectFrame()
{
    if (values_.frameOn == 0) frameList()->selectIndex(0);
    else if (values_.frameOn == 1 && values_.frameWidth >= 0) frameList()->selectWeight(values_.frameWidth);
    else frameList()->selectIndex(-1);
    last_[frameRow] = frameList()->index();
}

void frameEffectsLists_t::showFrameDependants()
{
    const bool on = frameShown();
    pickListBox_t* colour = colourList();
    pickListBox_t* surface = surfaceList();
    colour->setEnabled(on);
    surface->setEnabled(on);
    if (!on) {
        colour->selectIndex(-1);
        surface->selectIndex(-1);
    } else {
        colour->rebuild();
        colour->selectIndex(values_.frameColour < 0 ? -1 : indexOfColour(params_, values_.frameColour));
        // A mixed frame colour draws no swatch.
        surface->setSampleColour(values_.frameColour);
        surface->rebuild();
        surface->selectSurface(values_.surface);
    }
    last_[colourRow] = colour->index();
    last_[surfaceRow] = surface->index();
}

void frameEffectsLists_t::customizationClosed(int32_t hostedCode)
{
    building_ = true;
    if (hostedCode == ui::hostedLineWeights) {
        frameList()->rebuild();
        selectFrame();
    } else if (hostedCode == ui::hostedShadows) {
        shadowList()->rebuild();
        shadowList()->selectIndex(indexOfShadow(params_, values_.elevation, values_.fade, values_.lightness));
        last_[shadowRow] = shadowList()->index();
    }
    building_ = false;
}

void frameEffectsLists_t::frameChosen(int32_t index)
{
    if (quiet()) return;
    if (index == customizeIndex(listKind_t::frameWeight)) {
        // The weights are edited elsewhere; the list shows what it showed.
        frameList()->selectIndex(last_[frameRow]);
        if (onCustomize) onCustomize(ui::hostedLineWeights);
        return;
    }
    const double width = index < 0 ? -1.0 : frameList()->weight();
    values_.frameWidth = width;
    values_.frameOn = width != 0 ? 1 : 0;
    last_[frameRow] = frameList()->index();
    if (onFrameWidth) onFrameWidth(width);
    showFrameDependants();
}

void frameEffectsLists_t::colourChosen(int32_t index)
{
    if (quiet()) return;
    if (index == customizeIndex(listKind_t::colour)) {
        int32_t chosen = values_.frameColour;
        if (!chooseCustomColor(*colourList(), last_[colourRow], chosen, params_)) return;
    }
    const int32_t colour = colourList()->colour();
    if (colour < 0) {
        colourList()->selectIndex(last_[colourRow]);
        return;
    }
    values_.frameColour = colour;
    last_[colourRow] = colourList()->index();
    // The weight bars and the 3-D swatches are drawn in the frame colour.
    building_ = true;
    frameList()->setSampleColour(barColour(colour));
    frameList()->rebuild();
    selectFrame();
    if (surfaceList()->isEnabled()) {
        surfaceList()->setSampleColour(colour);
        surfaceList()->rebuild();
        surfaceList()->selectSurface(values_.surface);
        last_[surfaceRow] = surfaceList()->index();
    }
    building_ = false;
    if (onFrameColour) onFrameColour(colour);
}

void frameEffectsLists_t::shadowChosen(int32_t index)
{
    if (quiet()) return;
    if (index == customizeIndex(listKind_t::shadow)) {
        shadowList()->selectIndex(last_[shadowRow]);
        if (onCustomize) onCustomize(ui::hostedShadows);
        return;
    }
    const settings::shadowTriple_t before{shadowByte(values_.elevation), shadowByte(values_.fade),
                                          shadowByte(values_.lightness)};
    const settings::shadowTriple_t t = shadowList()->shadow(before);
    values_.elevation = t.elevation;
    values_.fade = t.fade;
    values_.lightness = t.lightness;
    last_[shadowRow] = shadowList()->index();
    if (onShadow) onShadow(t.elevation, t.fade, t.lightness);
}

void frameEffectsLists_t::surfaceChosen(int32_t index)
{
    if (quiet() || index < 0) return;
    values_.surface = surfaceList()->surface();
    last_[surfaceRow] = surfaceList()->index();
    if (onSurface) onSurface(values_.surface);
}

int32_t frameEffectsLists_t::neededHeight() const
{
    int32_t h = 0;
    for (const pickListBox_t* l : lists_) h += labelHeight + l->sizeHint().height() + rowGap;
    return h;
}

void frameEffectsLists_t::resizeEvent(QResizeEvent*)
{
    const int32_t listWidth = std::min(width(), pickListWidth);
    int32_t y = 0;
    for (int32_t k = 0; k < 4; ++k) {
        labels_[k]->setGeometry(0, y, width(), labelHeight);
        y += labelHeight;
        const int32_t h = lists_[k]->sizeHint().height();
        lists_[k]->setGeometry(0, y, listWidth, h);
        y += h + rowGap;
    }
}

} // namespace panels
