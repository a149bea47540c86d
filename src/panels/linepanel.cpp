#include "panels/linepanel.h"

#include "canvas/guidance.h"
#include "canvas/modes.h"
#include "canvas/sandbox.h"
#include "canvas/setters.h"
#include "model/history_index.h"
#include "model/item.h"
#include "settings/params.h"
#include "ui/hostedpanel.h"
#include "ui/panelcodes.h"

namespace panels {

namespace {

const QString nextLineHint = QStringLiteral("Select how you want the next line drawn.");
const QString selectedItemHint = QStringLiteral("Change how you want the selected item drawn.");

// The custom rows a list's entries stand for, as the setters take them.
std::vector<int32_t> rowsOf(const pickListBox_t* list)
{
    return {list->mapping().begin(), list->mapping().end()};
}

} // namespace

TLinebox::TLinebox(int32_t panelCode, panelHost_t& host, QWidget* parent)
    : lineShapePanel_t(panelCode == ui::panelNextLine ? QStringLiteral("Line") : QStringLiteral("Fine-tune"),
                       panelCode == ui::panelNextLine ? ui::lookBlue : ui::lookGreen, panelCode, host, parent)
{
    setObjectName(QStringLiteral("TLinebox"));
    setFineTune(panelCode != ui::panelNextLine);
    colour_ = addList(1, listKind_t::colour, QStringLiteral("Color"), QStringLiteral("lineColour"),
                      [this](int32_t i) { chooseColour(i); });
    weight_ = addList(1, listKind_t::weight, QStringLiteral("Weight"), QStringLiteral("lineWeight"),
                      [this](int32_t i) { chooseWeight(i); });
    pattern_ = addList(1, listKind_t::pattern, QStringLiteral("Pattern"), QStringLiteral("linePattern"),
                       [this](int32_t i) { choosePattern(i); });
    direction_ = addList(1, listKind_t::lineDirection, QStringLiteral("Direction"), QStringLiteral("lineDirection"),
                         [this](int32_t i) { chooseDirection(i); });
    fill_ = addList(1, listKind_t::fill, QStringLiteral("Fill Color"), QStringLiteral("lineFill"),
                    [this](int32_t i) { chooseFill(i); });
    outline_ = addList(1, listKind_t::weight, QStringLiteral("Outline Weight"), QStringLiteral("lineOutline"),
                       [this](int32_t i) { chooseOutline(i); });
    addEffectLists(QStringLiteral("line"), host.params().liplas);
    addHeadLists(QStringLiteral("line"), host.params().lineHeadStart, host.params().lineHeadEnd,
                 host.params().lineHeadSize);
    refresh();
}

// ---------------------------------------------------------------- filling

int32_t TLinebox::sampleColour() const
{
    if (!fineTune()) return host_.params().lineColor;
    return std::max(summary_.colour, 0);
}

void TLinebox::refresh()
{
    buildScope_t quiet(*this);
    if (fineTune()) summarizeSelection();
    fillColourList();
    fillWeightList();
    fillPatternList();
    fillDirectionList();
    fillFillList();
    fillOutlineList();
    fillEffectLists();
    fillHeadLists(!fineTune() || selectionTakesHeads());
    applyThicknessRule();
}

void TLinebox::fillColourList() { showColour(colour_, params().lineColor); }

void TLinebox::fillWeightList()
{
    settings::TParams& p = params();
    showWeight(weight_, p.lineWidth, p.lineWidthTab, summary_.weight);
}

void TLinebox::fillPatternList()
{
    settings::TParams& p = params();
    pattern_->setSampleColour(sampleColour());
    pattern_->rebuild();
    if (fineTune()) {
        canvas::TSandbox* w = document();
        highlight(pattern_, w ? patternEntryOf(p, w->items(), summary_.pattern) : -1);
        return;
    }
    const int32_t index = storedPatternIndex(p, pattern_->count());
    const int32_t first = firstCustomIndex(listKind_t::pattern);
    p.linePatternTab = index >= first ? pattern_->mapping()[size_t(index - first)] : 0;
    highlight(pattern_, index);
}

void TLinebox::fillDirectionList()
{
    settings::TParams& p = params();
    direction_->rebuild();
    if (fineTune()) {
        highlight(direction_, summary_.direction <= selectionSummary_t::mixedDirection
                             ? -1
                             : indexOfDirection(p, summary_.direction, false));
        return;
    }
    highlight(direction_, storedDirectionIndex(p, false, direction_->count()));
}

void TLinebox::fillFillList() { showFill(fill_, params().lineFill); }

void TLinebox::fillOutlineList()
{
    settings::TParams& p = params();
    showWeight(outline_, p.lineOutline, p.lineOutlineTab, summary_.outline);
}

void TLinebox::applyThicknessRule()
{
    const settings::TParams& p = params();
    const double mm = fineTune() ? std::max(summary_.weight, 0.0) : p.lineWidth;
    const bool thick = weightPixels(mm, p.pxPerMmY) >= 3;
    const bool solid = fineTune() ? summary_.fill == -2 || summary_.fill < -2 : p.lineFill == -2;
    setListShown(weight_, true);
    setListShown(pattern_, true);
    setListShown(direction_, true);
    setListShown(fill_, thick);
    setListShown(outline_, thick && !solid);
    hint(2)->setVisible(!thick);
    hint(3)->setVisible(!thick);
    hint(4)->setVisible(!thick && fineTune());
    if (fineTune() && !summary_.allLines) {
        for (QComboBox* l : {static_cast<QComboBox*>(weight_), static_cast<QComboBox*>(pattern_),
                             static_cast<QComboBox*>(direction_), static_cast<QComboBox*>(fill_),
                             static_cast<QComboBox*>(outline_)})
            setListShown(l, false);
    }
    fillHints();
    layoutPanel();
}

void TLinebox::fillHints()
{
    if (fineTune()) {
        hint(1)->setHint(selectedItemHint);
        for (int32_t k = 0; k < 3; ++k) hint(k + 2)->setHint(selectionHints[size_t(k)]);
        return;
    }
    const QStringList lines = canvas::toolGuidance(canvas::toolLine, hintStep_ == 2 ? 1 : 0);
    hint(1)->setHint(nextLineHint);
    hint(2)->setHint(lines.value(1));
    hint(3)->setHint(lines.value(2));
    hint(4)->clear();
}

void TLinebox::toolStepChanged(int32_t step)
{
    if (fineTune() || (step != 1 && step != 2) || step == hintStep_) return;
    hintStep_ = step;
    fillHints();
    layoutPanel();
}

void TLinebox::customizationClosed(int32_t hostedCode)
{
    buildScope_t quiet(*this);
    switch (hostedCode) {
    case ui::hostedLineWeights:
        fillWeightList();
        fillOutlineList();
        applyThicknessRule();
        break;
    case ui::hostedLinePatterns: fillPatternList(); break;
    case ui::hostedLineAngles: fillDirectionList(); break;
    case ui::hostedShadows: fillEffectLists(); break;
    default: break;
    }
}

bool TLinebox::selectionHasText()
{
    canvas::TSandbox* w = document();
    if (!w) return false;
    for (const model::item_t* it : model::collectSelected(w->items()))
        if (it->itemType == model::typeText) return true;
    return false;
}

// ---------------------------------------------------------------- changes

void TLinebox::chooseColour(int32_t index)
{
    settings::TParams& p = params();
    int32_t colour = 0;
    if (!takeColour(colour_, index, p.lineColor, colour)) return;
    if (canvas::TSandbox* w = fineTune() ? document() : nullptr) {
        canvas::setLineColor(*w, colour);
        // Texts among the selection take the colour as their text colour;
        // without texts that would be a step that changes nothing.
        if (selectionHasText()) canvas::setTextColor(*w, colour);
    }
    recordStep();
    buildScope_t quiet(*this);
    fillWeightList();
    if (!fineTune()) p.lineFill = keepFillColour(p, p.lineFill, colour);
    fillFillList();
    fillOutlineList();
    surfaceList()->setSampleColour(sampleColour());
}

void TLinebox::chooseWeight(int32_t index)
{
    settings::TParams& p = params();
    if (!takeWeight(weight_, index, p.lineWidth, p.lineWidthTab, summary_.weight, canvas::setLineWeight)) return;
    buildScope_t quiet(*this);
    if (fineTune()) {
        if (weightPixels(summary_.weight, p.pxPerMmY) >= 2) fillFillList();
        fillOutlineList();
    }
    recordStep();
    applyThicknessRule();
}

void TLinebox::choosePattern(int32_t index)
{
    if (index == customizeIndex(listKind_t::pattern)) {
        openCustomization(pattern_, ui::hostedLinePatterns);
        return;
    }
    settings::TParams& p = params();
    const int32_t first = firstCustomIndex(listKind_t::pattern);
    if (!fineTune()) {
        p.linePattern = index;
        p.linePatternTab = index >= first ? pattern_->mapping()[size_t(index - first)] : 0;
    } else if (canvas::TSandbox* w = document()) {
        summary_.pattern = canvas::setPattern(*w, index, rowsOf(pattern_));
    }
    recordStep();
}

void TLinebox::chooseDirection(int32_t index)
{
    if (index == customizeIndex(listKind_t::lineDirection)) {
        openCustomization(direction_, ui::hostedLineAngles);
        return;
    }
    settings::TParams& p = params();
    if (!fineTune()) {
        p.lineDirection = direction_->direction();
        p.lineDirectionTab = index;
    } else if (canvas::TSandbox* w = document()) {
        summary_.direction = canvas::setDirection(*w, index, rowsOf(direction_));
    } else {
        summary_.direction = direction_->direction();
    }
    recordStep();
}

void TLinebox::chooseFill(int32_t index)
{
    if (!takeFill(fill_, index, params().lineFill, false)) return;
    recordStep();
    buildScope_t quiet(*this);
    applyThicknessRule();
}

void TLinebox::chooseOutline(int32_t index)
{
    settings::TParams& p = params();
    if (!takeWeight(outline_, index, p.lineOutline, p.lineOutlineTab, summary_.outline, canvas::setOutlineWeight))
        return;
    recordStep();
}

} // namespace panels
