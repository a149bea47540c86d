#include "settings/presetsave.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace settings {

namespace {

// An inch mark anywhere in the text: removed, and the row is in inches.
bool takeInchMark(QString& text)
{
    if (!text.contains(QLatin1Char('"'))) return false;
    text.remove(QLatin1Char('"'));
    return true;
}

} // namespace

int32_t directionTableOf(presetTable_t t)
{
    switch (t) {
    case presetTable_t::directions: return 1;
    case presetTable_t::angles: return 31;
    case presetTable_t::sizes: return 41;
    default: return 0;
    }
}

void saveWidthRows(TParams& p, const custThickness_t& rows, int32_t currentRow)
{
    for (int32_t k = 0; k < presetRows; ++k) {
        custThicknessRec_t r = rows[k];
        r.listed = 0;
        r.selectNext = 0;
        r.name = r.name.trimmed();
        r.valueText = r.valueText.trimmed();
        if (takeInchMark(r.valueText)) r.units = 3;
        custThicknessRec_t& s = p.customWidths[k];
        s = r;
        if (p.checkWidthRow(s) && s.value <= maxPresetWeightMm) {
            s.listed = 1;
            if (k + 1 == currentRow) s.selectNext = 1;
        }
    }
}

void savePatternRows(TParams& p, const custPattern_t& rows, int32_t currentRow)
{
    for (int32_t k = 0; k < presetRows; ++k) {
        custPatternRec_t r = rows[k];
        r.listed = 0;
        r.selectNext = 0;
        r.name = r.name.trimmed();
        r.segmentText[0] = r.segmentText[0].trimmed();
        if (takeInchMark(r.segmentText[0])) r.units = 3;
        custPatternRec_t& s = p.customPatterns[k];
        s = r;
        if (p.checkPatternRow(s)) {
            s.listed = 1;
            if (k + 1 == currentRow) s.selectNext = 1;
        }
    }
}

bool parseFontSize(const QString& text, int32_t& size)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 12) return false;
    int32_t i = 0;
    if (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-')) i = 1;
    if (i == t.size()) return false;
    int64_t v = 0;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    if (v > std::numeric_limits<int32_t>::max()) return false;
    size = static_cast<int32_t>(v);
    return true;
}

void saveDirectionRows(TParams& p, int32_t table, const custDirection_t& rows, int32_t currentRow)
{
    custDirection_t* target = p.directionTable(table);
    if (!target) return;
    for (int32_t k = 0; k < presetRows; ++k) {
        custDirectionRec_t r = rows[k];
        r.listed = 0;
        r.selectNext = 0;
        r.name = r.name.trimmed();
        r.valueText = r.valueText.trimmed();
        custDirectionRec_t& s = (*target)[k];
        s = r;
        bool ok = false;
        if (table == 41) {
            int32_t size = 0;
            ok = parseFontSize(s.valueText, size);
            if (ok) s.value = size;
        } else {
            ok = TParams::checkDirectionRow(s);
        }
        if (ok) {
            s.listed = 1;
            if (k + 1 == currentRow) s.selectNext = 1;
        }
    }
}

void saveShadowRows(TParams& p, const custShadow_t& rows, int32_t lightDirection)
{
    p.customShadows = rows;
    p.lgtdir = std::clamp(lightDirection, 0, 3);
}

bool storePresetTable(TParams& p, presetTable_t t)
{
    settingsStore_t* store = p.store();
    if (!store) return false;
    switch (t) {
    case presetTable_t::widths: p.writeCustomWidths(); break;
    case presetTable_t::patterns: p.writeCustomPatterns(); break;
    case presetTable_t::directions:
    case presetTable_t::angles:
    case presetTable_t::sizes: p.writeCustomDirections(directionTableOf(t)); break;
    case presetTable_t::shadows:
        p.writeCustomShadows();
        if (store->openKey(keyCustomSettings)) store->writeInt(keyCustomSettings, QStringLiteral("lgtdir"), p.lgtdir);
        break;
    }
    return p.commit();
}

} // namespace settings
