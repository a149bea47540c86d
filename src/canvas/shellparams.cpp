#include "canvas/shellparams.h"

#include "geometry/shapes.h"
#include "geometry/units.h"

#include "page/pageset.h"

namespace canvas {

namespace {
settings::TParams* current = nullptr;
}

settings::TParams* paramsOrNull()
{
    return current;
}

settings::TParams& params()
{
    // Windows made without a main window (tests of one window) share one
    // object with the built-in defaults.
    if (!current) {
        static settings::TParams fallback(nullptr);
        return fallback;
    }
    return *current;
}

void setParams(settings::TParams* p)
{
    current = p;
    // Shape boxes leave room for the selection marks of the settings' size.
    const settings::TParams& used = params();
    geometry::setHandleSize(used.markWidth, used.markHeight);
}

void newFileHeader(const settings::TParams& p, model::headerBody_t& h)
{
    const settings::defaults_t& d = p.newFile;
    settings::TParams::defaultsToDocument(d, h);
    // Design type and page setup of new files.
    const int32_t type = page::designTypeOf(p.pspage);
    if (type >= 1 && type <= page::designTypeCount) {
        const page::pageset_t& set = p.pageSets[type - 1];
        const page::miry_t& m = set.measuresOf(h.unit);
        h.designType = p.pspage;
        h.pageOrientation = set.pageOrientation;
        h.presetIndex = m.presetIndex;
        auto read = [&](const QString& t, double& out) {
            double v = 0;
            out = page::parsePageMeasure(t, h.unit, v) ? v : 0;
        };
        read(m.paperWidth, h.paperWidth);
        read(m.paperHeight, h.paperHeight);
        read(m.cardWidth, h.cardWidth);
        read(m.cardHeight, h.cardHeight);
        read(m.marginLeft, h.marginLeft);
        read(m.marginTop, h.marginTop);
        read(m.marginRight, h.marginRight);
        read(m.marginBottom, h.marginBottom);
        read(m.rowGap, h.rowGap);
        read(m.columnGap, h.columnGap);
        read(m.extraX, h.extraX);
        read(m.extraY, h.extraY);
        int32_t n = 0;
        h.rows = page::parsePageWhole(m.rows, n) ? n : 1;
        h.columns = page::parsePageWhole(m.columns, n) ? n : 1;
        h.rowFold = m.rowFold;
        h.columnFold = m.columnFold;
    }
    // The unit's scale always follows this screen.
    geometry::pxPerUnit(h.unit, h.pxPerUnitX, h.pxPerUnitY);
}

std::u16string newFilePageTexts(const settings::TParams& p, int32_t unit)
{
    const int32_t type = page::designTypeOf(p.pspage);
    if (type < 1 || type > page::designTypeCount) return {};
    return page::pageTextsOf(p.pageSets[type - 1].measuresOf(unit));
}

} // namespace canvas
