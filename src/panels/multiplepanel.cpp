#include "panels/multiplepanel.h"
#include "panels/panellayout.h"

#include "canvas/sandbox.h"
#include "canvas/setters.h"
#include "canvas/toolbar.h"
#include "model/history_index.h"
#include "model/item.h"
#include "panels/panelparts.h"
#include "panels/picklistwidget.h"
#include "ui/hostedpanel.h"
#include "ui/panelcodes.h"

#include <QLabel>

#include <cmath>

namespace panels {

using model::item_t;

namespace {

constexpr double sameWeight = 1e-4;

// The suggestion buttons that lead to the same commands as the links.
constexpr int32_t joinSuggestion = 2;
constexpr int32_t splitSuggestion = 3;

using layout::buttonsLeft, layout::buttonsTop, layout::margin, layout::listHeight, layout::hintGap;
using layout::mixed::firstLabelY, layout::mixed::labelHeight, layout::mixed::rowPitch;

const QString shiftHint = QStringLiteral("Hold down the Shift key to select more items.");
const QString joinHint =
    QStringLiteral("Click on the Join items button to create a single object comprised of the selected items.");
const QString joinLink = QStringLiteral("Join items");
const QString splitHint =
    QStringLiteral("Click on the Split group button to separate the group members into individual items.");
const QString splitLink = QStringLiteral("Split group");

} // namespace

mixedSummary_t summarizeMixed(model::itemList_t& list)
{
    mixedSummary_t s;
    bool anyColour = false;
    for (item_t* it : model::collectSelected(list)) {
        const bool text = it->itemType == model::typeText;
        const bool lineOrShape = it->itemType >= model::typeLine && it->itemType <= model::typeShapeLast;
        if (!text && !lineOrShape) continue;
        const int32_t colour = text ? it->textColor : it->lineColor;
        if (!anyColour) s.colour = colour;
        else if (s.colour != colour) s.colour = -1;
        anyColour = true;
        if (!lineOrShape) continue;
        if (!s.hasLinesOrShapes) {
            s.fill = it->fillColor;
            s.weight = it->lineWeight;
        } else {
            if (s.fill != it->fillColor) s.fill = -3;
            if (s.weight >= 0 && std::abs(s.weight - it->lineWeight) >= sameWeight) s.weight = -1.0;
        }
        s.hasLinesOrShapes = true;
    }
    return s;
}

TUnibox::TUnibox(panelHost_t& host, bool canJoin, bool canSplit, QWidget* parent)
    : attributePanel_t(QStringLiteral("Fine-tune"), ui::lookGreen, host, parent), canJoin_(canJoin), canSplit_(canSplit)
{
    setObjectName(QStringLiteral("TUnibox"));
    code = ui::panelMultiple;
    build();
    refresh();
}

void TUnibox::build()
{
    QWidget* b = body();
    auto label = [b](const QString& text) {
        auto* l = new QLabel(text, b);
        l->setFont(ui::interfaceFont(false));
        return l;
    };
    buttons_ = new buttonRow_t(transformButtons(QStringLiteral("Mirror"), QStringLiteral("Flip"), QStringLiteral("Rotate")), b);
    buttons_->setObjectName(QStringLiteral("transformButtons"));
    buttons_->onPress = [this](int32_t k) { transform(k); };

    colourLabel_ = label(QStringLiteral("Color"));
    fillLabel_ = label(QStringLiteral("Fill Color"));
    weightLabel_ = label(QStringLiteral("Outline Weight"));
    colour_ = new pickListBox_t(listKind_t::colour, p(), b);
    colour_->setObjectName(QStringLiteral("mixedColour"));
    fill_ = new pickListBox_t(listKind_t::fill, p(), b);
    fill_->setObjectName(QStringLiteral("mixedFill"));
    weight_ = new pickListBox_t(listKind_t::weight, p(), b);
    weight_->setObjectName(QStringLiteral("mixedWeight"));
    QObject::connect(colour_, &QComboBox::activated, colour_, [this](int i) { colourChosen(i); });
    QObject::connect(fill_, &QComboBox::activated, fill_, [this](int i) { fillChosen(i); });
    QObject::connect(weight_, &QComboBox::activated, weight_, [this](int i) { weightChosen(i); });

    for (auto& h : hints_) h = new hintBox_t(b);
    hint(3)->onPress = [this] { joinPressed(); };
    hint(4)->onPress = [this] { splitPressed(); };
    hint(3)->onHover = [this](bool hot) {
        host_.markToolbarButton(hot ? canvas::buttonJoin : 0);
        host_.markSuggestion(hot ? joinSuggestion : 0);
    };
    hint(4)->onHover = [this](bool hot) {
        host_.markToolbarButton(hot ? canvas::buttonSplit : 0);
        host_.markSuggestion(hot ? splitSuggestion : 0);
    };
}

bool TUnibox::fillShown() const { return summary_.hasLinesOrShapes; }

void TUnibox::resizeEvent(QResizeEvent* e)
{
    attributePanel_t::resizeEvent(e);
    layoutControls();
}

void TUnibox::layoutControls()
{
    const int32_t w = body()->width();
    const int32_t listWidth = std::max(0, w - 2 * margin);
    buttons_->setGeometry(buttonsLeft, buttonsTop, buttons_->sizeHint().width(), buttonRow_t::buttonSize);
    const std::array<std::pair<QWidget*, QWidget*>, 3> rows{{{colourLabel_, colour_}, {fillLabel_, fill_}, {weightLabel_, weight_}}};
    int32_t y = firstLabelY;
    for (size_t r = 0; r < rows.size(); ++r) {
        const bool shown = r == 0 || fillShown();
        rows[r].first->setVisible(shown);
        rows[r].second->setVisible(shown);
        if (!shown) continue;
        rows[r].first->setGeometry(margin, y, listWidth, labelHeight);
        rows[r].second->setGeometry(margin, y + labelHeight, listWidth, listHeight);
        y += rowPitch;
    }
    y += hintGap;
    for (hintBox_t* h : hints_) {
        const int32_t height = h->neededHeight(listWidth);
        h->setGeometry(margin, y, listWidth, height);
        y += height + hintGap;
    }
}

void TUnibox::refresh()
{
    building_ = true;
    if (canvas::TSandbox* w = host_.activeDocument()) summary_ = summarizeMixed(w->items());
    colour_->rebuild();
    colour_->selectColour(summary_.colour);
    lastColour_ = colour_->index();
    if (fillShown()) fillLineLists();
    showHints();
    layoutControls();
    building_ = false;
}

// The fill swatch "Solid" and the weight bars are drawn in the colour.
void TUnibox::fillLineLists()
{
    const bool wasBuilding = building_;
    building_ = true;
    const int32_t sample = summary_.colour >= 0 ? summary_.colour : 0;
    fill_->setSampleColour(sample);
    fill_->rebuild();
    fill_->selectIndex(summary_.fill == -3 ? -1 : indexOfFill(p(), summary_.fill));
    lastFill_ = fill_->index();
    weight_->setSampleColour(sample);
    weight_->rebuild();
    if (summary_.weight < 0) weight_->selectIndex(-1);
    else weight_->selectWeight(summary_.weight);
    lastWeight_ = weight_->index();
    building_ = wasBuilding;
}

void TUnibox::showHints()
{
    hint(2)->setHint(shiftHint);
    hint(3)->setLinkHint(joinHint, joinLink, canJoin_);
    hint(4)->setLinkHint(splitHint, splitLink, canSplit_);
}

void TUnibox::setGroupHints(bool canJoin, bool canSplit)
{
    if (canJoin == canJoin_ && canSplit == canSplit_) return;
    canJoin_ = canJoin;
    canSplit_ = canSplit;
    showHints();
}

void TUnibox::step() { host_.recordPanelStep(ui::panelMultiple); }

// ---------------------------------------------------------------- changes

void TUnibox::transform(int32_t k)
{
    if (k < 0 || k >= int32_t(transformButtonArgs.size())) return;
    const transformArgs_t& a = transformButtonArgs[size_t(k)];
    if (canvas::TSandbox* w = host_.activeDocument()) canvas::transformSelectedItems(*w, a.mirror, a.flip, a.turn);
}

void TUnibox::colourChosen(int32_t index)
{
    if (building_) return;
    if (index == customizeIndex(listKind_t::colour)) {
        if (!chooseCustomColor(*colour_, lastColour_, p().polycolor, p())) return;
    }
    const int32_t c = colour_->colour();
    if (c < 0) return;
    lastColour_ = colour_->index();
    summary_.colour = c;
    if (canvas::TSandbox* w = host_.activeDocument()) {
        canvas::setLineColor(*w, c);
        canvas::setTextColor(*w, c);
    }
    step();
    if (fillShown()) fillLineLists();
}

void TUnibox::fillChosen(int32_t index)
{
    if (building_ || index < 0) return;
    if (index == customizeIndex(listKind_t::fill)) {
        if (!chooseCustomColor(*fill_, lastFill_, p().polyfill, p())) return;
    }
    const int32_t f = fill_->fill();
    lastFill_ = fill_->index();
    summary_.fill = f;
    if (canvas::TSandbox* w = host_.activeDocument()) canvas::setFillColor(*w, f);
    step();
}

void TUnibox::weightChosen(int32_t index)
{
    if (building_ || index < 0) return;
    if (index == customizeIndex(listKind_t::weight)) {
        if (!host_.openCustomization(ui::hostedLineWeights)) weight_->selectIndex(lastWeight_);
        return;
    }
    const double mm = weight_->weight();
    lastWeight_ = index;
    summary_.weight = mm;
    if (canvas::TSandbox* w = host_.activeDocument()) canvas::setLineWeight(*w, mm);
    step();
}

void TUnibox::customizationClosed(int32_t hostedCode)
{
    if (hostedCode != ui::hostedLineWeights || !fillShown()) return;
    fillLineLists();
}

void TUnibox::joinPressed()
{
    if (!canJoin_) return;
    host_.joinSelection();
    canJoin_ = false;
    showHints();
}

void TUnibox::splitPressed()
{
    if (!canSplit_) return;
    host_.splitSelection();
    host_.switchPanelLater(ui::panelInsert);
    canSplit_ = false;
    showHints();
}

} // namespace panels
