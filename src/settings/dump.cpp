#include "settings/dump.h"

#include <QJsonArray>

namespace settings {

namespace {

QJsonArray ints(const auto& a)
{
    QJsonArray out;
    for (auto v : a) out.append(int(v));
    return out;
}

QJsonObject recordJson(const defaultsRec_t& r)
{
    return QJsonObject{
        {"anchorStepX", r.anchorStepX},         {"anchorStepY", r.anchorStepY},
        {"canvasLeft", r.canvasLeft},           {"canvasTop", r.canvasTop},
        {"canvasWidth", r.canvasWidth},         {"canvasHeight", r.canvasHeight},
        {"anchorStepXText", r.anchorStepXText}, {"anchorStepYText", r.anchorStepYText},
        {"canvasLeftText", r.canvasText.left},  {"canvasTopText", r.canvasText.top},
        {"canvasWidthText", r.canvasText.width}, {"canvasHeightText", r.canvasText.height},
    };
}

QJsonObject shadowJson(const shadowTriple_t& s)
{
    return {{"elevation", s.elevation}, {"fade", s.fade}, {"lightness", s.lightness}};
}

QJsonArray directionRows(const custDirection_t& t)
{
    QJsonArray out;
    for (const auto& r : t)
        out.append(QJsonObject{{"name", r.name}, {"value", r.value}, {"units", r.units},
                               {"valueText", r.valueText}, {"listed", r.listed}});
    return out;
}

} // namespace

QJsonObject settingsJson(const TParams& p)
{
    QJsonObject o;
    o["lineColor"] = p.lineColor;
    o["lineWidth"] = p.lineWidth;
    o["linePattern"] = p.linePattern;
    o["lineFill"] = p.lineFill;
    o["lineDirection"] = p.lineDirection;
    o["lineOutline"] = p.lineOutline;
    o["lineWidthTab"] = p.lineWidthTab;
    o["lineDirectionTab"] = p.lineDirectionTab;
    o["lineOutlineTab"] = p.lineOutlineTab;
    o["linePatternTab"] = p.linePatternTab;
    o["polycolor"] = p.polycolor;
    o["polyfill"] = p.polyfill;
    o["polywidth"] = p.polywidth;
    o["polytab"] = p.polytab;
    o["polysides"] = p.polysides;
    o["polyshape"] = p.polyshape;
    o["polystate"] = p.polystate;
    o["bpolyshape"] = p.bpolyshape;
    o["bpolystate"] = p.bpolystate;
    o["roundness"] = p.roundness;
    o["tcolor"] = p.tcolor;
    o["tfont"] = p.tfont;
    o["tcharset"] = p.tcharset;
    o["tsize"] = p.tsize;
    o["tsizetab"] = p.tsizetab;
    o["tbold"] = p.tbold;
    o["toptions"] = ints(p.toptions);
    o["fontQuality"] = p.fontQuality;
    o["tangle"] = p.tangle;
    o["tangletab"] = p.tangletab;
    o["tdir"] = p.tdir;
    o["shpict"] = shadowJson(p.shpict);
    o["shtext"] = shadowJson(p.shtext);
    o["shpoly"] = shadowJson(p.shpoly);
    o["frplas"] = p.frplas;
    o["liplas"] = p.liplas;
    o["txplas"] = p.txplas;
    o["poplas"] = p.poplas;
    o["clframe"] = p.clframe;
    o["clshadw"] = p.clshadw;
    o["frcolor"] = p.frcolor;
    o["frwidth"] = p.frwidth;
    o["lgtdir"] = p.lgtdir;
    o["lastMode"] = p.lastMode;

    const defaults_t& d = p.newFile;
    o["newFile"] = QJsonObject{
        {"units", d.units},
        {"unitName", TParams::unitName(d.units)},
        {"pxPerUnitX", d.pxPerUnitX},
        {"pxPerUnitY", d.pxPerUnitY},
        {"angles", d.angles},
        {"showGridX", d.showGridX},
        {"showGridY", d.showGridY},
        {"snapX", d.snapX},
        {"snapY", d.snapY},
        {"showAnchorsX", d.showAnchorsX},
        {"showAnchorsY", d.showAnchorsY},
        {"grid", TParams::packGridFlags(d)},
        {"pixels", recordJson(d.recPixel)},
        {"millimeters", recordJson(d.recMm)},
        {"inches", recordJson(d.recInch)},
    };

    QJsonArray sets;
    for (int32_t t = 1; t <= page::designTypeCount; ++t) {
        const page::pageset_t& ps = p.pageSets[t - 1];
        QJsonObject s{{"designType", t}, {"pageOrientation", ps.pageOrientation}, {"unit", ps.unit}};
        static const char* unitKeys[3] = {"pixels", "millimeters", "inches"};
        for (int32_t u = 1; u <= 3; ++u) {
            const page::miry_t& m = ps.measuresOf(u);
            QJsonObject mo{{"presetIndex", m.presetIndex}, {"rowFold", m.rowFold},
                           {"columnFold", m.columnFold}};
            static const char* names[page::miry_t::fieldCount] = {
                "paperWidth", "paperHeight", "cardWidth", "cardHeight", "marginLeft",
                "marginTop", "marginRight", "marginBottom", "rows", "columns",
                "rowGap", "columnGap", "extraX", "extraY"};
            for (int i = 1; i <= page::miry_t::fieldCount; ++i) mo[names[i - 1]] = m.field(i);
            s[unitKeys[u - 1]] = mo;
        }
        sets.append(s);
    }
    o["pageSets"] = sets;
    o["pspage"] = p.pspage;

    QJsonArray reopen;
    for (const QString& r : p.reopen) reopen.append(r);
    o["reopen"] = reopen;
    o["docdir"] = p.docdir;
    o["picidr"] = p.picidr;
    o["expdir"] = p.expdir;
    // Beside each stored text, the folder its dialogs actually start in.
    o["docdirUsed"] = dialogFolder(folderKind_t::documents, p.docdir);
    o["picidrUsed"] = dialogFolder(folderKind_t::pictures, p.picidr);
    o["expdirUsed"] = dialogFolder(folderKind_t::pictures, p.expdir);
    o["picndx"] = p.picndx;
    o["expndx"] = p.expndx;
    o["hints"] = p.hintText();
    o["screenPpiX"] = p.screenPpiX;
    o["screenPpiY"] = p.screenPpiY;
    o["pxPerMmX"] = p.pxPerMmX;
    o["pxPerMmY"] = p.pxPerMmY;
    o["currentZoom"] = p.currentZoom;
    o["untitledCounter"] = p.untitledCounter;
    o["savedColors"] = ints(p.savedColors);
    QJsonArray dialog;
    for (const QString& c : p.dialogColors) dialog.append(c);
    o["dialogColors"] = dialog;

    QJsonArray widths;
    for (const auto& r : p.customWidths)
        widths.append(QJsonObject{{"name", r.name}, {"value", r.value}, {"pixels", r.pixels},
                                  {"units", r.units}, {"valueText", r.valueText},
                                  {"listed", r.listed}});
    o["customWidths"] = widths;
    QJsonArray patterns;
    for (const auto& r : p.customPatterns) {
        QJsonArray texts, mm;
        for (const QString& t : r.segmentText) texts.append(t);
        for (double v : r.segments) mm.append(v);
        patterns.append(QJsonObject{{"name", r.name}, {"units", r.units}, {"count", r.count},
                                    {"segmentText", texts}, {"segments", mm},
                                    {"segmentPixels", ints(r.segmentPixels)},
                                    {"listed", r.listed}});
    }
    o["customPatterns"] = patterns;
    o["customDirections"] = directionRows(p.customDirections);
    o["customAngles"] = directionRows(p.customAngles);
    o["customSizes"] = directionRows(p.customSizes);
    QJsonArray shadows;
    for (const auto& r : p.customShadows)
        shadows.append(QJsonObject{{"name", r.name}, {"elevation", r.elevation}, {"fade", r.fade},
                                   {"lightness", r.lightness}, {"listed", r.listed}});
    o["customShadows"] = shadows;
    return o;
}

} // namespace settings
