#include "page/applysetup.h"

#include "geometry/units.h"
#include "model/itemlist.h"
#include "settings/params.h"

#include <cmath>

namespace page {

namespace {

// A measure that parses to a finite number replaces `out`; anything else keeps it.
void takeMeasure(const QString& text, int32_t unit, double& out)
{
    double v = 0;
    if (parsePageMeasure(text, unit, v) && std::isfinite(v)) out = v;
}

void takeWhole(const QString& text, int32_t& out)
{
    int32_t v = 0;
    if (parsePageWhole(text, v)) out = v;
}

void writeMeasures(model::headerBody_t& h, const miry_t& m, int32_t unit)
{
    takeMeasure(m.paperWidth, unit, h.paperWidth);
    takeMeasure(m.paperHeight, unit, h.paperHeight);
    takeMeasure(m.cardWidth, unit, h.cardWidth);
    takeMeasure(m.cardHeight, unit, h.cardHeight);
    takeMeasure(m.marginLeft, unit, h.marginLeft);
    takeMeasure(m.marginTop, unit, h.marginTop);
    takeMeasure(m.marginRight, unit, h.marginRight);
    takeMeasure(m.marginBottom, unit, h.marginBottom);
    takeMeasure(m.rowGap, unit, h.rowGap);
    takeMeasure(m.columnGap, unit, h.columnGap);
    takeMeasure(m.extraX, unit, h.extraX);
    takeMeasure(m.extraY, unit, h.extraY);
    takeWhole(m.rows, h.rows);
    takeWhole(m.columns, h.columns);
    h.rowFold = m.rowFold ? 1 : 0;
    h.columnFold = m.columnFold ? 1 : 0;
}

// One card, opened out across its folds, for card types; the paper otherwise.
void sizeCanvas(model::headerBody_t& h, int32_t designType)
{
    if (isCardType(designType)) {
        h.canvasWidth = h.columnFold ? 2 * h.cardWidth : h.cardWidth;
        h.canvasHeight = h.rowFold ? 2 * h.cardHeight : h.cardHeight;
    } else {
        h.canvasWidth = h.paperWidth;
        h.canvasHeight = h.paperHeight;
    }
}

// The new unit's scale; the canvas origin is rescaled so that it stays on
// the same document pixel.
void changeUnit(model::headerBody_t& h, int32_t unit, const settings::defaults_t& defaults)
{
    double nx = 1, ny = 1;
    geometry::pxPerUnit(unit, nx, ny);
    const double ox = h.pxPerUnitX, oy = h.pxPerUnitY;
    if (std::isfinite(ox) && ox > 0 && nx > 0) h.canvasLeft = h.canvasLeft * ox / nx;
    if (std::isfinite(oy) && oy > 0 && ny > 0) h.canvasTop = h.canvasTop * oy / ny;
    h.unit = unit;
    h.pxPerUnitX = nx;
    h.pxPerUnitY = ny;
    const settings::defaultsRec_t& r = defaults.record(unit);
    h.anchorStepX = r.anchorStepX;
    h.anchorStepY = r.anchorStepY;
}

} // namespace

bool applyPageSetup(model::item_t* header, const pageset_t& setup, int32_t designType,
                    const settings::defaults_t& defaults)
{
    const int32_t unit = setup.unit;
    if (!header || unit < 1 || unit > 3 || designType < 1 || designType > designTypeCount) return false;
    model::headerBody_t& h = header->hdr();
    const miry_t& m = setup.measuresOf(unit);
    h.pageOrientation = setup.pageOrientation;
    h.designType = designType;
    h.presetIndex = m.presetIndex;
    writeMeasures(h, m, unit);
    model::setText(header, pageTextsOf(m));
    sizeCanvas(h, designType);
    changeUnit(h, unit, defaults);
    return true;
}

void applyNewFilesSetup(settings::TParams& p, const pagesetArr_t& sets, int32_t designType)
{
    if (designType < 1 || designType > designTypeCount) return;
    p.pageSets = sets;
    p.pspage = designType;
    const pageset_t& s = sets[designType - 1];
    const int32_t unit = s.unit;
    if (unit < 1 || unit > 3) return;
    const miry_t& m = s.measuresOf(unit);
    double w = 0, h = 0;
    if (!parsePageMeasure(m.paperWidth, unit, w) || !parsePageMeasure(m.paperHeight, unit, h)) return;
    if (!std::isfinite(w) || !std::isfinite(h)) return;
    const settings::unitScale_t scale = p.unitScale(unit);
    p.newFile.units = unit;
    p.newFile.pxPerUnitX = scale.pxPerUnitX;
    p.newFile.pxPerUnitY = scale.pxPerUnitY;
    settings::defaultsRec_t& r = p.newFile.record(unit);
    r.canvasText.width = m.paperWidth;
    r.canvasText.height = m.paperHeight;
    r.canvasWidth = w;
    r.canvasHeight = h;
}

pageset_t pageSetupOfDocument(const model::item_t* header, const pageset_t& base)
{
    pageset_t s = base;
    if (!header) return s;
    const model::headerBody_t& h = header->hdr();
    if (h.unit < 1 || h.unit > 3) return s;
    s.unit = h.unit;
    if (h.pageOrientation == portrait || h.pageOrientation == landscape) s.pageOrientation = h.pageOrientation;
    miry_t& m = s.measuresOf(h.unit);
    m.presetIndex = h.presetIndex;
    m.rowFold = h.rowFold ? 1 : 0;
    m.columnFold = h.columnFold ? 1 : 0;
    // A header without page texts (written by something else) leaves the
    // texts of `base` rather than showing every field empty.
    if (!header->text.empty() && header->text[0] != u'\0') readPageTexts(header->text, m);
    return s;
}

} // namespace page
