#include "panels/shapepanel.h"

#include "canvas/guidance.h"
#include "canvas/modes.h"
#include "canvas/sandbox.h"
#include "canvas/setters.h"
#include "model/item.h"
#include "settings/params.h"
#include "ui/hostedpanel.h"
#include "ui/panelcodes.h"

#include <algorithm>

namespace panels {

using namespace canvas;  // tool codes

const std::array<int32_t, 12> sideCounts{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 20};

namespace {

bool isSplineSelection(int32_t code) { return code >= ui::panelSpline && code <= ui::panelOblong; }
bool isExtension(int32_t code) { return code == ui::panelExtendSpline || code == ui::panelExtendCurve; }
bool splineFamily(int32_t code)
{
    return code == toolSpline || code == toolSolid || code == ui::panelSpline || code == ui::panelSolid ||
           code == ui::panelExtendSpline;
}
bool curveFamily(int32_t code)
{
    return code == toolCurve || code == toolOblong || code == ui::panelCurve || code == ui::panelOblong ||
           code == ui::panelExtendCurve;
}

const QString openVariantHint = QStringLiteral("Press Ctrl-A to add more points at the end of the perimeter.");
const QString closedVariantHint = QStringLiteral("Drag the points on the perimeter to change the shape.");
const QString deletePointHint =
    QStringLiteral("Or, place the cursor over an edge point and press Ctrl-D to delete the point.");
const QString insertPointHint =
    QStringLiteral("Or, place the cursor on the edge line and press Ctrl-I to insert a point.");

int32_t indexOfSides(int32_t sides)
{
    const auto* at = std::find(sideCounts.begin(), sideCounts.end(), sides);
    return at == sideCounts.end() ? -1 : int32_t(at - sideCounts.begin());
}

QStringList sideEntries()
{
    QStringList out;
    for (int32_t n : sideCounts) out << QString::number(n);
    return out;
}

} // namespace

fourthList_t fourthListFor(int32_t code)
{
    const QString shape = QStringLiteral("Shape");
    if (code == toolStar || code == ui::panelStar) return {QStringLiteral("Spikes"), sideEntries()};
    if (code == toolPolygon || code == ui::panelPolygon) return {QStringLiteral("Sides"), sideEntries()};
    if (splineFamily(code))
        return {shape, {QStringLiteral("Open Spline"), QStringLiteral("Closed Spline"), QStringLiteral("Solid Shape")}};
    if (curveFamily(code))
        return {shape, {QStringLiteral("Open Curve"), QStringLiteral("Closed Curve"), QStringLiteral("Oblong Shape")}};
    if (code == ui::panelSquare || code == ui::panelRectangle)
        return {shape, {QStringLiteral("Square"), QStringLiteral("Rectangle")}};
    if (code == ui::panelCircle || code == ui::panelEllipse)
        return {shape, {QStringLiteral("Circle"), QStringLiteral("Ellipse")}};
    if (code == ui::panelPie || code == ui::panelArc) return {shape, {QStringLiteral("Arc"), QStringLiteral("Pie")}};
    return {};
}

QString shapePanelTitle(int32_t code)
{
    if (!ui::isShapeTool(code)) return QStringLiteral("Fine-tune");
    const QString name = toolName(code);
    if (name.isEmpty()) return QStringLiteral("Fine-tune");
    return name.left(1).toUpper() + name.mid(1);
}

TPolybox::TPolybox(int32_t panelCode, panelHost_t& host, QWidget* parent)
    : lineShapePanel_t(shapePanelTitle(panelCode), ui::isShapeTool(panelCode) ? ui::lookBlue : ui::lookGreen, panelCode,
                       host, parent)
{
    setObjectName(QStringLiteral("TPolybox"));
    colour_ = addList(1, listKind_t::colour, QStringLiteral("Color"), QStringLiteral("shapeColour"),
                      [this](int32_t i) { chooseColour(i); });
    fill_ = addList(1, listKind_t::fill, QStringLiteral("Fill Color"), QStringLiteral("shapeFill"),
                    [this](int32_t i) { chooseFill(i); });
    weight_ = addList(1, listKind_t::weight, QStringLiteral("Outline Weight"), QStringLiteral("shapeWeight"),
                      [this](int32_t i) { chooseWeight(i); });
    fourth_ = addTextList(1, QStringLiteral("shapeFourth"), [this](int32_t i) { chooseFourth(i); });
    addEffectLists(QStringLiteral("shape"), host.params().poplas);
    addHeadLists(QStringLiteral("shape"), host.params().polyHeadStart, host.params().polyHeadEnd,
                 host.params().polyHeadSize);
    buttons_ = new buttonRow_t(transformButtons(QStringLiteral("Mirror"), QStringLiteral("Flip"),
                                                QStringLiteral("Rotate")),
                               body());
    buttons_->setObjectName(QStringLiteral("transformButtons"));
    // While the points of an extension are placed, only the effects change.
    listsEnabled_ = !isExtension(panelCode);
    buttons_->onPress = [this](int32_t k) {
        if (k < 0 || k >= int32_t(transformButtonArgs.size())) return;
        const transformArgs_t& a = transformButtonArgs[size_t(k)];
        if (canvas::TSandbox* w = document()) canvas::transformSelectedItems(*w, a.mirror, a.flip, a.turn);
    };
    refresh();
}

void TPolybox::showCode(int32_t panelCode)
{
    code = panelCode;
    listsEnabled_ = !isExtension(panelCode);
    summary_ = selectionSummary_t{};
    // A fine-tune panel leaves the tool's hidden first hint as it was.
    for (int32_t k = 1; k <= 4; ++k) hint(k)->clear();
    refresh();
}

// ---------------------------------------------------------------- filling

void TPolybox::refresh()
{
    buildScope_t quiet(*this);
    setFineTune(!ui::isShapeTool(code));
    titleBar()->setCaption(shapePanelTitle(code), fineTune() ? ui::lookGreen : ui::lookBlue);
    if (fineTune()) {
        summarizeSelection();
        if (isExtension(code)) summarizeExtendedItem();
    }
    fillColourList();
    fillFillList();
    fillWeightList();
    fillFourthList();
    fillEffectLists();
    // Heads for the tools that draw an open path, or a selection holding one.
    fillHeadLists(fineTune() ? selectionTakesHeads()
                             : code == toolArc || code == toolSpline || code == toolCurve);
    applyEnabling();
    fillHints();
    arrange();
}

void TPolybox::summarizeExtendedItem()
{
    canvas::TSandbox* w = document();
    if (!w) return;
    for (const model::item_t* it = w->items().head; it; it = it->next) {
        if (it->kind != model::kindItem || it->hidden || it->editing == 0) continue;
        if (it->itemType != model::typeSpline && it->itemType != model::typeCurve) continue;
        summary_.colour = it->lineColor;
        summary_.fill = it->fillColor;
        summary_.weight = it->lineWeight;
        summary_.sides = it->sides;
        summary_.variant = it->shapeVariant;
        return;
    }
}

void TPolybox::fillColourList() { showColour(colour_, params().polycolor); }

int32_t TPolybox::sampleColour() const
{
    return fineTune() ? std::max(summary_.colour, 0) : host_.params().polycolor;
}

void TPolybox::fillFillList() { showFill(fill_, params().polyfill); }

void TPolybox::fillWeightList()
{
    settings::TParams& p = params();
    showWeight(weight_, p.polywidth, p.polytab, summary_.weight);
}

void TPolybox::fillFourthList()
{
    const fourthList_t f = fourthListFor(code);
    setListShown(fourth_, !f.entries.isEmpty());
    setListLabel(fourth_, f.label);
    fourth_->clear();
    fourth_->addItems(f.entries);
    if (f.entries.isEmpty()) return;
    const settings::TParams& p = params();
    int32_t index = -1;
    switch (code) {
    case toolStar:
    case toolPolygon: index = indexOfSides(p.polysides); break;
    case toolSpline: index = p.polystate <= 1 ? p.polystate : -1; break;
    case toolCurve: index = p.bpolystate <= 1 ? p.bpolystate : -1; break;
    case toolSolid:
    case toolOblong: index = 2; break;
    case ui::panelSquare:
    case ui::panelCircle:
    case ui::panelArc: index = 0; break;
    case ui::panelRectangle:
    case ui::panelEllipse:
    case ui::panelPie: index = 1; break;
    case ui::panelStar:
    case ui::panelPolygon: index = indexOfSides(summary_.sides); break;
    default: index = summary_.variant >= 0 && summary_.variant <= 2 ? summary_.variant : -1; break;
    }
    highlight(fourth_, index);
}

int32_t TPolybox::outlineDecidingFill() const
{
    if (code == toolArc || code == toolSpline || code == toolCurve) return -1;
    if (ui::isShapeTool(code)) return host_.params().polyfill;
    if (ui::isShapeFineTune(code)) return summary_.fill;
    return -2;
}

void TPolybox::applyEnabling()
{
    bool fillOn = true;
    if (code == toolArc || code == toolSpline || code == toolCurve) fillOn = false;
    else if (isSplineSelection(code)) fillOn = fourth_->currentIndex() == model::variantFilled;
    else if (code == ui::panelPie || code == ui::panelArc) fillOn = fourth_->currentIndex() == 1;
    colour_->setEnabled(listsEnabled_);
    weight_->setEnabled(listsEnabled_);
    fourth_->setEnabled(listsEnabled_);
    fill_->setEnabled(listsEnabled_ && fillOn);
}

void TPolybox::enableShapeLists(bool on)
{
    listsEnabled_ = on;
    applyEnabling();
}

void TPolybox::fillHints()
{
    hint(1)->setVisible(!fineTune());
    buttons_->setVisible(fineTune());
    setTopWidget(fineTune() ? static_cast<QWidget*>(buttons_) : hint(1));
    if (!fineTune()) {
        const QStringList lines = toolGuidance(code, 0);
        for (int32_t k = 1; k <= 4; ++k) {
            hint(k)->setHint(lines.value(k - 1));
            hint(k)->setVisible(!lines.value(k - 1).isEmpty());
        }
        return;
    }
    for (int32_t k = 2; k <= 4; ++k) hint(k)->setVisible(true);
    if (isSplineSelection(code)) {
        hint(2)->setHint(fourth_->currentIndex() == model::variantOpen ? openVariantHint : closedVariantHint);
        hint(3)->setHint(deletePointHint);
        hint(4)->setHint(insertPointHint);
        return;
    }
    for (int32_t k = 0; k < 3; ++k) hint(k + 2)->setHint(selectionHints[size_t(k)]);
}

void TPolybox::arrange()
{
    // "Solid" paints no outline of its own: the weight list gives way and
    // the fourth list moves up into its place.
    setListShown(weight_, outlineDecidingFill() != -2);
    layoutPanel();
}

void TPolybox::customizationClosed(int32_t hostedCode)
{
    buildScope_t quiet(*this);
    if (hostedCode == ui::hostedLineWeights) fillWeightList();
    else if (hostedCode == ui::hostedShadows) fillEffectLists();
}

// ---------------------------------------------------------------- changes

void TPolybox::chooseColour(int32_t index)
{
    settings::TParams& p = params();
    int32_t colour = 0;
    if (!takeColour(colour_, index, p.polycolor, colour)) return;
    if (canvas::TSandbox* w = fineTune() ? document() : nullptr) canvas::setLineColor(*w, colour);
    recordStep();
    buildScope_t quiet(*this);
    fillWeightList();
    if (!fineTune()) p.polyfill = keepFillColour(p, p.polyfill, colour);
    fillFillList();
    surfaceList()->setSampleColour(colour);
}

void TPolybox::chooseFill(int32_t index)
{
    if (!takeFill(fill_, index, params().polyfill, true)) return;
    recordStep();
    buildScope_t quiet(*this);
    arrange();
}

void TPolybox::chooseWeight(int32_t index)
{
    settings::TParams& p = params();
    if (!takeWeight(weight_, index, p.polywidth, p.polytab, summary_.weight, canvas::setLineWeight)) return;
    recordStep();
}

void TPolybox::chooseFourth(int32_t index)
{
    if (index < 0) return;
    if (code == toolSpline || code == toolSolid || code == toolCurve || code == toolOblong) chooseSplineTool(index);
    else if (code == toolStar || code == toolPolygon) chooseToolSides(index);
    else chooseSelectionShape(index);
}

void TPolybox::chooseSplineTool(int32_t index)
{
    if (index > model::variantFilled) return;
    settings::TParams& p = params();
    const bool spline = code == toolSpline || code == toolSolid;
    if (index <= model::variantClosed) (spline ? p.polystate : p.bpolystate) = index;
    (spline ? p.polyshape : p.bpolyshape) = index;
    const int32_t target = index == model::variantFilled ? (spline ? toolSolid : toolOblong)
                                                         : (spline ? toolSpline : toolCurve);
    if (target == code) return;
    host_.changeTool(target);
    code = target;
    refresh();
}

void TPolybox::chooseToolSides(int32_t index)
{
    if (index >= int32_t(sideCounts.size())) return;
    params().polysides = sideCounts[size_t(index)];
}

void TPolybox::chooseSelectionShape(int32_t index)
{
    canvas::TSandbox* w = document();
    switch (code) {
    case ui::panelSquare:
    case ui::panelRectangle:
        if (w) canvas::setSquareOrRectangle(*w, index == 0 ? model::typeSquare : model::typeRectangle);
        break;
    case ui::panelCircle:
    case ui::panelEllipse:
        if (w) canvas::setCircleOrEllipse(*w, index == 0 ? model::typeCircle : model::typeEllipse);
        break;
    case ui::panelPie:
    case ui::panelArc:
        if (w) canvas::setPieOrArc(*w, index == 0 ? model::typeArc : model::typePie);
        break;
    case ui::panelStar:
    case ui::panelPolygon:
        if (index >= int32_t(sideCounts.size())) return;
        summary_.sides = sideCounts[size_t(index)];
        if (w) canvas::setSides(*w, summary_.sides);
        break;
    default:
        if (index > model::variantFilled) return;
        summary_.variant = index;
        if (w) canvas::setShapeVariant(*w, index);
        break;
    }
    if ((code >= ui::panelSquare && code <= ui::panelOblong) || code == ui::panelPolygon) recordStep();
    buildScope_t quiet(*this);
    applyEnabling();
    fillHints();
    layoutPanel();
}

} // namespace panels
