// Reading and writing the settings object's keys in the per-user store.
// Every value is read in its own guarded step: a missing value, one of the
// wrong type or one out of range leaves the field as it was.
#include "settings/params.h"

#include <cmath>
#include <limits>

namespace settings {

namespace {

// Page-setup texts by their store letter, in miry_t field order.
struct pageLetter_t {
    char letter;
    int field;  // miry_t::field index
};
const pageLetter_t pageTextLetters[] = {
    {'f', 1}, {'g', 2}, {'p', 3}, {'q', 4}, {'h', 5}, {'i', 6}, {'j', 7},
    {'k', 8}, {'l', 9}, {'m', 10}, {'n', 11}, {'o', 12}, {'r', 13}, {'s', 14},
};

QString pageValueName(int32_t unit, char letter, int32_t type)
{
    return QString::number(unit) + QStringLiteral("pgset") + QLatin1Char(letter)
           + QString::number(type);
}

int32_t packShadow(const shadowTriple_t& s)
{
    return s.elevation | (s.fade << 8) | (s.lightness << 16);
}

shadowTriple_t unpackShadow(int32_t v)
{
    return {uint8_t(v & 0xFF), uint8_t((v >> 8) & 0xFF), uint8_t((v >> 16) & 0xFF)};
}


} // namespace

bool TParams::readInt(const QString& key, const QString& name, int32_t& v) const
{
    return store_ && store_->readInt(key, name, v);
}

bool TParams::readRanged(const QString& key, const QString& name, int32_t& v, int32_t lo,
                         int32_t hi) const
{
    int32_t x = 0;
    if (!readInt(key, name, x) || x < lo || x > hi) return false;
    v = x;
    return true;
}

bool TParams::readText(const QString& key, const QString& name, QString& v) const
{
    return store_ && store_->readText(key, name, v);
}

void TParams::readReal(const QString& name, double& field)
{
    QString t;
    if (readText(keyCustomSettings, name, t)) field = parseStoredReal(t);
}

bool TParams::presentText(const QString& key, const QString& name, QString& v, bool& missing) const
{
    missing = !store_->exists(key, name);
    if (missing) {
        v.clear();
        return true;
    }
    return store_->readText(key, name, v);
}

// ---- CustomSettings ---------------------------------------------------------

void TParams::readSettings()
{
    const QString& K = keyCustomSettings;
    if (!store_ || !store_->openKey(K)) return;
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();

    int32_t v = 0;
    if (readRanged(K, QStringLiteral("units"), v, 1, 3)) {
        const unitScale_t u = unitScale(v);
        newFile.units = u.unit;
        newFile.pxPerUnitX = u.pxPerUnitX;
        newFile.pxPerUnitY = u.pxPerUnitY;
        for (int32_t t = 1; t <= page::designTypeCount; ++t)
            if (t != 9) pageSets[t - 1].unit = v;
    }
    readInt(K, QStringLiteral("angles"), newFile.angles);
    const std::pair<const char*, int32_t*> line[] = {
        {"lineColor", &lineColor},       {"linePattern", &linePattern},
        {"linePatternTab", &linePatternTab}, {"lineFill", &lineFill},
        {"lineWidthTab", &lineWidthTab}, {"lineOutlineTab", &lineOutlineTab},
        {"lineDirectionTab", &lineDirectionTab},
    };
    for (const auto& [name, field] : line) readInt(K, QString::fromLatin1(name), *field);
    if (readInt(K, QStringLiteral("grid"), v)) unpackGridFlags(v, newFile);
    const std::pair<const char*, int32_t*> text[] = {
        {"tcolor", &tcolor}, {"tcharset", &tcharset}, {"tsize", &tsize},
        {"tsizetab", &tsizetab}, {"tbold", &tbold},
    };
    for (const auto& [name, field] : text) readInt(K, QString::fromLatin1(name), *field);
    if (readInt(K, QStringLiteral("toptions"), v))
        for (int i = 0; i < 4; ++i) toptions[i] = uint8_t((uint32_t(v) >> (8 * i)) & 0xFF);
    readInt(K, QStringLiteral("tangle"), tangle);
    readInt(K, QStringLiteral("tangletab"), tangletab);
    readInt(K, QStringLiteral("tdir"), tdir);
    const std::pair<const char*, int32_t*> poly[] = {
        {"polycolor", &polycolor},   {"polyfill", &polyfill},     {"polytab", &polytab},
        {"polysides", &polysides},   {"polyshape", &polyshape},   {"polystate", &polystate},
        {"bpolyshape", &bpolyshape}, {"bpolystate", &bpolystate},
    };
    for (const auto& [name, field] : poly) readInt(K, QString::fromLatin1(name), *field);
    readRanged(K, QStringLiteral("picndx"), picndx, 1, 7);
    readRanged(K, QStringLiteral("expndx"), expndx, 1, 2);
    readRanged(K, QStringLiteral("clframe"), clframe, 0, 1);
    readRanged(K, QStringLiteral("clshadw"), clshadw, 0, 1);
    readInt(K, QStringLiteral("frcolor"), frcolor);
    if (readInt(K, QStringLiteral("shpict"), v)) shpict = unpackShadow(v);
    if (readInt(K, QStringLiteral("shtext"), v)) shtext = unpackShadow(v);
    if (readInt(K, QStringLiteral("shpoly"), v)) shpoly = unpackShadow(v);
    readRanged(K, QStringLiteral("lgtdir"), lgtdir, 0, 3);
    readRanged(K, QStringLiteral("frplas"), frplas, 0, 255);
    readRanged(K, QStringLiteral("liplas"), liplas, 0, 255);
    readRanged(K, QStringLiteral("txplas"), txplas, 0, 255);
    readRanged(K, QStringLiteral("poplas"), poplas, 0, 255);
    readRanged(K, QStringLiteral("fcheadstart"), lineHeadStart, 0, 5);
    readRanged(K, QStringLiteral("fcheadend"), lineHeadEnd, 0, 5);
    readRanged(K, QStringLiteral("fcheadsize"), lineHeadSize, 0, 2);
    readRanged(K, QStringLiteral("fcpolyheadstart"), polyHeadStart, 0, 5);
    readRanged(K, QStringLiteral("fcpolyheadend"), polyHeadEnd, 0, 5);
    readRanged(K, QStringLiteral("fcpolyheadsize"), polyHeadSize, 0, 2);

    for (int32_t unit = 1; unit <= 3; ++unit) {
        defaultsRec_t& r = newFile.record(unit);
        const QString d = QString::number(unit);
        readText(K, QStringLiteral("gridx") + d, r.anchorStepXText);
        readText(K, QStringLiteral("gridy") + d, r.anchorStepYText);
    }
    for (int32_t unit = 1; unit <= 3; ++unit) {
        strRect_t& c = newFile.record(unit).canvasText;
        const QString p = QStringLiteral("canvas") + QString::number(unit);
        readText(K, p + QLatin1Char('1'), c.left);
        readText(K, p + QLatin1Char('2'), c.top);
        readText(K, p + QLatin1Char('3'), c.width);
        readText(K, p + QLatin1Char('4'), c.height);
    }
    parseDefaultsTexts(newFile);

    readRanged(K, QStringLiteral("pspage"), pspage, 1, page::designTypeCount);
    for (int32_t t = 1; t <= page::designTypeCount; ++t) {
        page::pageset_t& ps = pageSets[t - 1];
        const QString n = QString::number(t);
        readRanged(K, QStringLiteral("pgseta") + n, ps.unit, 1, 3);
        readRanged(K, QStringLiteral("pgsetb") + n, ps.pageOrientation, 1, 2);
        for (int32_t unit = 1; unit <= 3; ++unit) {
            page::miry_t& m = ps.measuresOf(unit);
            readRanged(K, pageValueName(unit, 'c', t), m.presetIndex, lo, hi);
            int32_t flag = 0;
            if (readRanged(K, pageValueName(unit, 'd', t), flag, 0, 1)) m.rowFold = uint8_t(flag);
            if (readRanged(K, pageValueName(unit, 'e', t), flag, 0, 1)) m.columnFold = uint8_t(flag);
            for (const auto& pl : pageTextLetters)
                readText(K, pageValueName(unit, pl.letter, t), m.field(pl.field));
        }
    }

    QString hints;
    if (readText(K, QStringLiteral("hints"), hints)) setHintFlags(hints);
    readReal(QStringLiteral("lineWidth"), lineWidth);
    readReal(QStringLiteral("frwidth"), frwidth);
    readReal(QStringLiteral("lineDirection"), lineDirection);
    readReal(QStringLiteral("lineOutline"), lineOutline);
    readReal(QStringLiteral("polywidth"), polywidth);
    if (readText(K, QStringLiteral("tfont"), tfont)) tfont.truncate(32);
    for (int32_t i = 0; i < reopenCount; ++i)
        readText(K, QStringLiteral("reopen") + QString::number(i + 1), reopen[i]);
    readText(K, QStringLiteral("docdir"), docdir);
    readText(K, QStringLiteral("expdir"), expdir);
    readText(K, QStringLiteral("picidr"), picidr);
}

void TParams::writeSettings()
{
    const QString& K = keyCustomSettings;
    if (!store_ || !store_->openKey(K)) return;
    // Reals go out with the system's separator again.
    numberSeparator = decimalSeparator;
    auto wi = [&](const QString& name, int32_t v) { store_->writeInt(K, name, v); };
    auto wt = [&](const QString& name, const QString& v) { store_->writeText(K, name, v); };
    auto L = [](const char* s) { return QString::fromLatin1(s); };

    wi(L("units"), newFile.units);
    wi(L("angles"), newFile.angles);
    wi(L("lineColor"), lineColor);
    wi(L("linePattern"), linePattern);
    wi(L("linePatternTab"), linePatternTab);
    wi(L("lineFill"), lineFill);
    wi(L("lineWidthTab"), lineWidthTab);
    wi(L("lineOutlineTab"), lineOutlineTab);
    wi(L("lineDirectionTab"), lineDirectionTab);
    wi(L("grid"), packGridFlags(newFile));
    wi(L("tcolor"), tcolor);
    wi(L("tcharset"), tcharset);
    wi(L("tsize"), tsize);
    wi(L("tsizetab"), tsizetab);
    wi(L("tbold"), tbold);
    wi(L("toptions"), int32_t(uint32_t(toptions[0]) | uint32_t(toptions[1]) << 8
                              | uint32_t(toptions[2]) << 16 | uint32_t(toptions[3]) << 24));
    wi(L("tangle"), tangle);
    wi(L("tangletab"), tangletab);
    wi(L("tdir"), tdir);
    wi(L("polycolor"), polycolor);
    wi(L("polyfill"), polyfill);
    wi(L("polytab"), polytab);
    wi(L("polysides"), polysides);
    wi(L("polyshape"), polyshape);
    wi(L("polystate"), polystate);
    wi(L("bpolyshape"), bpolyshape);
    wi(L("bpolystate"), bpolystate);
    wi(L("picndx"), picndx);
    wi(L("expndx"), expndx);
    wi(L("clframe"), clframe);
    wi(L("clshadw"), clshadw);
    wi(L("frcolor"), frcolor);
    wi(L("shpict"), packShadow(shpict));
    wi(L("shtext"), packShadow(shtext));
    wi(L("shpoly"), packShadow(shpoly));
    wi(L("lgtdir"), lgtdir);
    wi(L("frplas"), frplas);
    wi(L("liplas"), liplas);
    wi(L("txplas"), txplas);
    wi(L("poplas"), poplas);
    wi(L("fcheadstart"), lineHeadStart);
    wi(L("fcheadend"), lineHeadEnd);
    wi(L("fcheadsize"), lineHeadSize);
    wi(L("fcpolyheadstart"), polyHeadStart);
    wi(L("fcpolyheadend"), polyHeadEnd);
    wi(L("fcpolyheadsize"), polyHeadSize);
    for (int32_t unit = 1; unit <= 3; ++unit) {
        const defaultsRec_t& r = newFile.record(unit);
        const QString d = QString::number(unit);
        wt(L("gridx") + d, r.anchorStepXText);
        wt(L("gridy") + d, r.anchorStepYText);
        const QString p = L("canvas") + d;
        wt(p + QLatin1Char('1'), r.canvasText.left);
        wt(p + QLatin1Char('2'), r.canvasText.top);
        wt(p + QLatin1Char('3'), r.canvasText.width);
        wt(p + QLatin1Char('4'), r.canvasText.height);
    }
    wi(L("pspage"), pspage);
    for (int32_t t = 1; t <= page::designTypeCount; ++t) {
        const page::pageset_t& ps = pageSets[t - 1];
        const QString n = QString::number(t);
        wi(L("pgseta") + n, ps.unit);
        wi(L("pgsetb") + n, ps.pageOrientation);
        for (int32_t unit = 1; unit <= 3; ++unit) {
            const page::miry_t& m = ps.measuresOf(unit);
            wi(pageValueName(unit, 'c', t), m.presetIndex);
            wi(pageValueName(unit, 'd', t), m.rowFold);
            wi(pageValueName(unit, 'e', t), m.columnFold);
            for (const auto& pl : pageTextLetters)
                wt(pageValueName(unit, pl.letter, t), m.field(pl.field));
        }
    }
    wt(L("hints"), hintText());
    wt(L("lineWidth"), realText(lineWidth));
    wt(L("frwidth"), realText(frwidth));
    wt(L("lineDirection"), realText(lineDirection));
    wt(L("lineOutline"), realText(lineOutline));
    wt(L("polywidth"), realText(polywidth));
    wt(L("tfont"), tfont);
    for (int32_t i = 0; i < reopenCount; ++i) wt(L("reopen") + QString::number(i + 1), reopen[i]);
    wt(L("docdir"), docdir);
    wt(L("expdir"), expdir);
    wt(L("picidr"), picidr);
}

// ---- CustomWidths -------------------------------------------------------------

void TParams::readCustomWidths()
{
    const QString& K = keyCustomWidths;
    if (!store_ || !store_->openKey(K)) return;
    for (int32_t i = 0; i < presetRows; ++i) {
        const QString X = rowLetter(i + 1);
        QString name, value;
        int32_t units = 0;
        if (!readText(K, QStringLiteral("name") + X, name) || name.trimmed().isEmpty()) continue;
        if (!readText(K, QStringLiteral("value") + X, value) || value.trimmed().isEmpty()) continue;
        if (!readRanged(K, QStringLiteral("units") + X, units, 1, 3)) continue;
        custThicknessRec_t r = customWidths[i];
        r.name = name.trimmed();
        r.valueText = value.trimmed();
        r.units = units;
        if (!checkWidthRow(r)) continue;
        r.listed = 1;
        customWidths[i] = r;
    }
}

void TParams::writeCustomWidths()
{
    const QString& K = keyCustomWidths;
    if (!store_ || !store_->openKey(K)) return;
    for (int32_t i = 0; i < presetRows; ++i) {
        const QString X = rowLetter(i + 1);
        store_->deleteValue(K, QStringLiteral("name") + X);
        store_->deleteValue(K, QStringLiteral("value") + X);
        store_->deleteValue(K, QStringLiteral("units") + X);
    }
    for (int32_t i = 0; i < presetRows; ++i) {
        const custThicknessRec_t& r = customWidths[i];
        if (!r.listed) continue;
        const QString X = rowLetter(i + 1);
        store_->writeText(K, QStringLiteral("name") + X, r.name);
        store_->writeText(K, QStringLiteral("value") + X, r.valueText);
        store_->writeInt(K, QStringLiteral("units") + X, r.units);
    }
}

// ---- CustomPatterns -------------------------------------------------------------

void TParams::readCustomPatterns()
{
    const QString& K = keyCustomPatterns;
    if (!store_ || !store_->openKey(K)) return;
    for (int32_t i = 0; i < presetRows; ++i) {
        const QString X = rowLetter(i + 1);
        QString name;
        int32_t units = 0;
        if (!readText(K, QStringLiteral("name") + X, name) || name.trimmed().isEmpty()) continue;
        if (!readRanged(K, QStringLiteral("units") + X, units, 1, 3)) continue;
        custPatternRec_t r = customPatterns[i];
        bool ok = true;
        for (int32_t k = 0; k < 12 && ok; ++k) {
            bool missing = false;
            ok = presentText(K, QStringLiteral("value") + X + QString::number(k + 1), r.segmentText[k],
                             missing);
        }
        if (!ok || r.segmentText[0].trimmed().isEmpty()) continue;
        r.name = name;
        r.units = units;
        if (!checkPatternRow(r)) continue;
        r.listed = 1;
        customPatterns[i] = r;
    }
}

void TParams::writeCustomPatterns()
{
    const QString& K = keyCustomPatterns;
    if (!store_ || !store_->openKey(K)) return;
    for (int32_t i = 0; i < presetRows; ++i) {
        const QString X = rowLetter(i + 1);
        store_->deleteValue(K, QStringLiteral("name") + X);
        store_->deleteValue(K, QStringLiteral("units") + X);
        for (int32_t k = 1; k <= 12; ++k)
            store_->deleteValue(K, QStringLiteral("value") + X + QString::number(k));
    }
    for (int32_t i = 0; i < presetRows; ++i) {
        const custPatternRec_t& r = customPatterns[i];
        if (!r.listed) continue;
        const QString X = rowLetter(i + 1);
        store_->writeText(K, QStringLiteral("name") + X, r.name);
        store_->writeInt(K, QStringLiteral("units") + X, r.units);
        for (int32_t k = 0; k < 12; ++k)
            store_->writeText(K, QStringLiteral("value") + X + QString::number(k + 1), r.segmentText[k]);
    }
}

// ---- CustomDirections, CustomAngles, CustomSizes --------------------------------

namespace {
const QString* directionKey(int32_t table)
{
    switch (table) {
    case 1: return &keyCustomDirections;
    case 31: return &keyCustomAngles;
    case 41: return &keyCustomSizes;
    default: return nullptr;
    }
}
} // namespace

void TParams::readCustomDirections(int32_t table)
{
    const QString* K = directionKey(table);
    custDirection_t* rows = directionTable(table);
    if (!K || !rows || !store_ || !store_->openKey(*K)) return;
    for (int32_t i = 0; i < presetRows; ++i) {
        const QString X = rowLetter(i + 1);
        QString name, value;
        int32_t units = 0;
        if (!readText(*K, QStringLiteral("name") + X, name) || name.trimmed().isEmpty()) continue;
        if (!readText(*K, QStringLiteral("value") + X, value) || value.trimmed().isEmpty()) continue;
        if (!readRanged(*K, QStringLiteral("units") + X, units, 1, 2)) continue;
        custDirectionRec_t r = (*rows)[i];
        r.name = name;
        r.valueText = value;
        r.units = units;
        if (!checkDirectionRow(r)) continue;
        r.listed = 1;
        (*rows)[i] = r;
    }
}

void TParams::writeCustomDirections(int32_t table)
{
    const QString* K = directionKey(table);
    const custDirection_t* rows = directionTable(table);
    if (!K || !rows || !store_ || !store_->openKey(*K)) return;
    for (int32_t i = 0; i < presetRows; ++i) {
        const QString X = rowLetter(i + 1);
        store_->deleteValue(*K, QStringLiteral("name") + X);
        store_->deleteValue(*K, QStringLiteral("value") + X);
        store_->deleteValue(*K, QStringLiteral("units") + X);
    }
    for (int32_t i = 0; i < presetRows; ++i) {
        const custDirectionRec_t& r = (*rows)[i];
        if (!r.listed) continue;
        const QString X = rowLetter(i + 1);
        store_->writeText(*K, QStringLiteral("name") + X, r.name);
        store_->writeText(*K, QStringLiteral("value") + X, r.valueText);
        store_->writeInt(*K, QStringLiteral("units") + X, r.units);
    }
}

// ---- CustomShadows ---------------------------------------------------------------

void TParams::readCustomShadows()
{
    const QString& K = keyCustomShadows;
    if (!store_ || !store_->openKey(K)) return;
    for (int32_t i = 0; i < presetRows; ++i) {
        const QString X = rowLetter(i + 1);
        int32_t v = 0;
        if (!readInt(K, QStringLiteral("value") + X, v)) continue;
        QString name;
        bool missing = false;
        if (!presentText(K, QStringLiteral("name") + X, name, missing)) continue;
        custShadowRec_t& r = customShadows[i];
        r.name = name;
        const uint32_t u = uint32_t(v);
        r.elevation = int32_t(u & 0xFF);
        r.fade = int32_t((u >> 8) & 0xFF);
        r.lightness = int32_t((u >> 16) & 0xFF);
        r.listed = (u >> 24) == 1 ? 1 : 0;
    }
}

void TParams::writeCustomShadows()
{
    const QString& K = keyCustomShadows;
    if (!store_ || !store_->openKey(K)) return;
    for (int32_t i = 0; i < presetRows; ++i) {
        const custShadowRec_t& r = customShadows[i];
        const QString X = rowLetter(i + 1);
        const uint32_t v = (uint32_t(r.elevation) & 0xFF) | (uint32_t(r.fade) & 0xFF) << 8
                           | (uint32_t(r.lightness) & 0xFF) << 16 | uint32_t(r.listed & 0xFF) << 24;
        store_->writeText(K, QStringLiteral("name") + X, r.name);
        store_->writeInt(K, QStringLiteral("value") + X, int32_t(v));
    }
}

// ---- CustomColors and DialogColors -------------------------------------------------

void TParams::readSavedColors()
{
    const QString& K = keyCustomColors;
    if (!store_ || !store_->openKey(K)) return;
    for (int32_t i = 0; i < savedColorCount; ++i) {
        int32_t v = 0;
        if (readInt(K, QStringLiteral("color") + rowLetter(i + 1), v)) rememberColor(v);
    }
}

void TParams::writeSavedColors()
{
    const QString& K = keyCustomColors;
    if (!store_ || !store_->openKey(K)) return;
    for (int32_t i = 0; i < savedColorCount; ++i)
        store_->deleteValue(K, QStringLiteral("color") + rowLetter(i + 1));
    for (int32_t i = 0; i < savedColorCount; ++i)
        if (savedColors[i] != -1)
            store_->writeInt(K, QStringLiteral("color") + rowLetter(i + 1), savedColors[i]);
}

void TParams::readDialogColors()
{
    const QString& K = keyDialogColors;
    if (!store_ || !store_->openKey(K)) return;
    dialogColors.clear();
    for (int32_t i = 0; i < dialogColorCount; ++i) {
        const QString name = QStringLiteral("color") + rowLetter(i + 1);
        QString text;
        if (readText(K, name, text) && !text.isEmpty())
            dialogColors << name + QLatin1Char('=') + text;
    }
}

void TParams::writeDialogColors()
{
    const QString& K = keyDialogColors;
    if (!store_ || !store_->openKey(K)) return;
    for (int32_t i = 0; i < dialogColorCount; ++i) {
        const QString name = QStringLiteral("color") + rowLetter(i + 1);
        store_->deleteValue(K, name);
        QString text;
        const QString prefix = name + QLatin1Char('=');
        for (const QString& entry : dialogColors)
            if (entry.startsWith(prefix)) text = entry.mid(prefix.size());
        if (!text.isEmpty()) store_->writeText(K, name, text);
    }
}

} // namespace settings
