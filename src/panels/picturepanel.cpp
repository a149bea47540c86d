#include "panels/picturepanel.h"
#include "panels/panellayout.h"

#include "panels/summary.h"

#include "canvas/sandbox.h"
#include "canvas/setters.h"
#include "model/history_index.h"
#include "model/item.h"
#include "panels/adjustmentsliders.h"
#include "panels/panelparts.h"
#include "settings/params.h"
#include "ui/panelcodes.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

namespace panels {

namespace {

constexpr int32_t mixedAdjustment = adjustmentSliders_t::mixed;
// Widths closer than this are the same width.
constexpr double sameWidth = 1e-4;

using layout::buttonsTop, layout::buttonsLeft;
using layout::picture::tabsTop, layout::picture::areaTop, layout::picture::areaInset, layout::picture::hintGap;

struct hintText_t {
    const char* text;
    const char* keyword;
    bool link;
};
// Boxes 2..5 of each tab.
constexpr hintText_t colorsHints[4] = {
    {"Change saturation to fade or intensify color.", "saturation", false},
    {"Change contrast to adjust the depth of light and dark areas.", "contrast", false},
    {"Change lightness to lighten or darken the colors in the clip.", "lightness", false},
    {"Click on Edit this clip to change the clip boundary.", "Edit this clip", true},
};
constexpr hintText_t effectsHints[4] = {
    {"Select the frame width to draw a frame around the clip.", "frame", false},
    {"Select the color of the frame to change the frame color.", "color", false},
    {"Click on Insert new clip to add a new clip from the original picture.", "Insert new clip", true},
    {"Click on Edit this clip to change the clip boundary.", "Edit this clip", true},
};

} // namespace

pictureSummary_t summarisePictures(model::itemList_t& list)
{
    pictureSummary_t s;
    frameEffects_t& e = s.effects;
    bool round = true;
    for (const model::item_t* it : model::collectSelected(list)) {
        if (it->itemType == model::typeGroupHandle) continue;
        const bool first = s.count == 0;
        meetValue<int32_t>(s.saturation, it->saturation, first, mixedAdjustment);
        meetValue<int32_t>(s.contrast, it->contrast, first, mixedAdjustment);
        meetValue<int32_t>(s.lightness, it->lightness, first, mixedAdjustment);
        meetValue<int32_t>(e.frameOn, it->frameOn, first, frameEffects_t::mixedFrameOn);
        meetValue<int32_t>(e.frameColour, it->lineColor, first, -1);
        meetValue<int32_t>(e.elevation, it->shadowElevation, first, -1);
        meetValue<int32_t>(e.fade, it->shadowFade, first, -1);
        meetValue<int32_t>(e.lightness, it->shadowLightness, first, -1);
        meetValue<int32_t>(e.surface, it->surface, first, -1);
        if (first) e.frameWidth = it->lineWeight;
        else if (e.frameWidth >= 0 && std::fabs(e.frameWidth - it->lineWeight) >= sameWidth) e.frameWidth = -1.0;
        round = round && it->itemType == model::typePicture && it->clipShape == model::clipRound;
        ++s.count;
    }
    s.allRound = s.count > 0 && round;
    return s;
}

TColorbox::TColorbox(panelHost_t& host, QWidget* parent)
    : attributePanel_t(QStringLiteral("Fine-tune"), ui::lookGreen, host, parent)
{
    setObjectName(QStringLiteral("TColorbox"));
    code = ui::panelPicture;
    const int32_t stored = host_.params().pictureTab;
    tab_ = stored == effectsTab ? effectsTab : colorsTab;
    // The setting follows the tab at once rather than when the panel is
    // freed: the panel may outlive its host (freed with the side panel when
    // the main window goes), and the next picture panel may be made first.
    host_.params().pictureTab = tab_;

    QWidget* b = body();
    std::vector<buttonRow_t::button_t> row =
        transformButtons(QStringLiteral("Mirror the picture"), QStringLiteral("Flip the picture"),
                         QStringLiteral("Rotate the picture"));
    row.push_back({pictureClipRectangle, QStringLiteral("Edit clip boundary")});
    buttons_ = new buttonRow_t(std::move(row), b);
    buttons_->onPress = [this](int32_t k) { pressButton(k); };
    buttons_->onHover = [this] {
        for (hintBox_t* h : hints_) h->setHot(false);
    };

    tabs_ = new tabStrip_t(QStringLiteral("Colors"), QStringLiteral("Effects"), b);
    tabs_->onChange = [this](int32_t t) { tabChosen(t); };

    colorsArea_ = new QWidget(b);
    effectsArea_ = new QWidget(b);
    sliders_ = new adjustmentSliders_t(colorsArea_);
    sliders_->onApply = [this](int32_t s, int32_t c, int32_t l) {
        canvas::TSandbox* w = target();
        if (!w) return;
        canvas::applyAdjustments(*w, s, c, l);
        summary_.saturation = s;
        summary_.contrast = c;
        summary_.lightness = canvas::storedLightness(l);
    };
    effects_ = new frameEffectsLists_t(host_.params(), effectsArea_);
    effects_->onCustomize = [this](int32_t code) { host_.openCustomization(code); };
    effects_->onFrameWidth = [this](double width) {
        canvas::TSandbox* w = target();
        // No entry gives no width to set.
        if (w && width >= 0) canvas::setFrameWidth(*w, width);
        summary_.effects = effects_->values();
    };
    effects_->onFrameColour = [this](int32_t colour) {
        if (canvas::TSandbox* w = target()) canvas::setFrameColor(*w, colour);
        summary_.effects = effects_->values();
    };
    effects_->onShadow = [this](int32_t elevation, int32_t fade, int32_t lightness) {
        if (canvas::TSandbox* w = target()) canvas::setPictureShadow(*w, elevation, fade, lightness);
        summary_.effects = effects_->values();
    };
    effects_->onSurface = [this](int32_t surface) {
        if (canvas::TSandbox* w = target()) canvas::setSurface(*w, surface);
        summary_.effects = effects_->values();
    };

    for (int32_t k = 0; k < static_cast<int32_t>(hints_.size()); ++k) {
        auto* h = new hintBox_t(b);
        const int32_t box = firstHint + k;
        h->onPress = [this, box] { pressHint(box); };
        // The suggestion button a link leads to is marked while the link is hot.
        h->onHover = [this, box](bool hot) {
            if (hot) host_.markSuggestion(box == lastHint ? 4 : 3);
        };
        hints_[k] = h;
    }
    showPicturePanel();
}

canvas::TSandbox* TColorbox::target() const
{
    if (building || opening) return nullptr;
    return host_.activeDocument();
}

void TColorbox::showPicturePanel()
{
    canvas::TSandbox* w = host_.activeDocument();
    summary_ = w ? summarisePictures(w->items()) : pictureSummary_t{};
    building = true;
    sliders_->showPositions(summary_.saturation, summary_.contrast,
                            summary_.lightness == mixedAdjustment ? mixedAdjustment
                                                                  : canvas::lightnessPosition(summary_.lightness));
    building = false;
    refreshPicturePanel();
}

void TColorbox::refreshPicturePanel()
{
    building = true;
    tabs_->setCurrent(tab_);
    buttons_->setPicture(clipButton, summary_.allRound ? pictureClipRound : pictureClipRectangle);
    effects_->showValues(summary_.effects);
    colorsArea_->setVisible(tab_ == colorsTab);
    effectsArea_->setVisible(tab_ == effectsTab);
    fillHints();
    layoutPanel();
    building = false;
}

void TColorbox::fillHints()
{
    const hintText_t* texts = tab_ == effectsTab ? effectsHints : colorsHints;
    for (int32_t k = 0; k < static_cast<int32_t>(hints_.size()); ++k) {
        const QString text = QString::fromLatin1(texts[k].text), key = QString::fromLatin1(texts[k].keyword);
        if (texts[k].link) hints_[k]->setLinkHint(text, key);
        else hints_[k]->setHint(text, key);
    }
}

void TColorbox::tabChosen(int32_t tab)
{
    if (tab == tab_) return;
    tab_ = tab;
    host_.params().pictureTab = tab_;
    refreshPicturePanel();
}

void TColorbox::customizationClosed(int32_t hostedCode) { effects_->customizationClosed(hostedCode); }

void TColorbox::pressButton(int32_t k)
{
    if (k == clipButton) {
        editClips(ui::panelClipEdit);
        return;
    }
    if (k < 0 || k >= static_cast<int32_t>(transformButtonArgs.size())) return;
    if (canvas::TSandbox* w = target()) {
        const transformArgs_t& a = transformButtonArgs[k];
        canvas::transformSelectedItems(*w, a.mirror, a.flip, a.turn);
    }
}

void TColorbox::pressHint(int32_t box)
{
    if (box == lastHint) editClips(ui::panelClipEdit);
    // The link to new clips is on the "Effects" tab only.
    else if (box == lastHint - 1 && tab_ == effectsTab) editClips(ui::panelClipInsert);
}

void TColorbox::editClips(int32_t mode)
{
    if (!target()) return;
    opening = true;
    sliders_->setIgnoring(true);
    effects_->setIgnoring(true);
    // Opening the picture window may switch the side panel and free this one.
    QPointer<TColorbox> alive(this);
    host_.editPictureClips(mode);
    if (!alive) return;
    opening = false;
    sliders_->setIgnoring(false);
    effects_->setIgnoring(false);
}

void TColorbox::resizeEvent(QResizeEvent* e)
{
    attributePanel_t::resizeEvent(e);
    layoutPanel();
}

void TColorbox::layoutPanel()
{
    const int32_t w = body()->width();
    // Five buttons in a narrow panel: smaller ones rather than one cut off.
    const int32_t n = buttons_->count();
    buttons_->setButtonSize(
        std::min(buttonRow_t::buttonSize, (w - 2 * buttonsLeft - (n - 1) * buttonRow_t::buttonGap) / n));
    buttons_->setGeometry(buttonsLeft, buttonsTop, buttons_->sizeHint().width(), buttons_->sizeHint().height());
    tabs_->setGeometry(0, tabsTop, w, tabStrip_t::stripHeight);
    // The tab areas reach two pixels beyond the panel on either side.
    const int32_t inner = std::max(0, w - 2 * buttonsLeft);
    const int32_t areaHeight = std::max(sliders_->neededHeight(), effects_->neededHeight()) + areaInset;
    for (QWidget* area : {colorsArea_, effectsArea_}) area->setGeometry(-2, areaTop, w + 4, areaHeight);
    sliders_->setGeometry(areaInset, areaInset, inner, sliders_->neededHeight());
    effects_->setGeometry(areaInset, areaInset, inner, effects_->neededHeight());
    int32_t y = areaTop + areaHeight + hintGap;
    for (hintBox_t* h : hints_) {
        const int32_t hh = h->neededHeight(inner);
        h->setGeometry(buttonsLeft, y, inner, hh);
        y += hh + hintGap;
    }
}

} // namespace panels
