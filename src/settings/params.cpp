#include "settings/params.h"

#include "geometry/units.h"
#include "model/metrics.h"
#include "settings/pagepresets.h"

#include <QLocale>

#include <cmath>
#include <numbers>

namespace settings {

const std::array<int32_t, 16> standardColors = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

defaultsRec_t& defaults_t::record(int32_t unit)
{
    switch (unit) {
    case 2: return recMm;
    case 3: return recInch;
    default: return recPixel;
    }
}

const defaultsRec_t& defaults_t::record(int32_t unit) const
{
    return const_cast<defaults_t*>(this)->record(unit);
}

TParams::TParams(settingsStore_t* store)
{
    if (store) {
        store_ = store;
    } else {
        ownedStore_ = openUserStore();
        store_ = ownedStore_.get();
    }
    // The default locale follows the system's unless the program set one.
    decimalSeparator = QLocale().decimalPoint().isEmpty() ? QLatin1Char('.')
                                                          : QLocale().decimalPoint().at(0);
    numberSeparator = decimalSeparator;
    setDefaults();
}

namespace {

// A default text such as "0,25": the decimal point replaced by `sep`.
QString withSeparator(const char* text, QChar sep)
{
    QString s = QString::fromLatin1(text);
    s.replace(QLatin1Char('.'), sep);
    return s;
}

void setRecordTexts(defaultsRec_t& r, const char* const t[6], QChar sep)
{
    r.anchorStepXText = withSeparator(t[0], sep);
    r.anchorStepYText = withSeparator(t[1], sep);
    r.canvasText.left = withSeparator(t[2], sep);
    r.canvasText.top = withSeparator(t[3], sep);
    r.canvasText.width = withSeparator(t[4], sep);
    r.canvasText.height = withSeparator(t[5], sep);
}

} // namespace

void TParams::setDefaults()
{
    // Every field has its default from the declaration; the screen metrics
    // and the lists are filled here.
    const auto& s = model::screen();
    screenPpiX = s.screenPpiX;
    screenPpiY = s.screenPpiY;
    pxPerMmX = screenPpiX / 25.4;
    pxPerMmY = screenPpiY / 25.4;
    hintFlags.fill(1);
    savedColors.fill(-1);
    reopen.fill(QString());

    // Settings for new files.
    newFile = defaults_t{};
    const unitScale_t u = unitScale(3);
    newFile.units = u.unit;
    newFile.pxPerUnitX = u.pxPerUnitX;
    newFile.pxPerUnitY = u.pxPerUnitY;
    newFile.angles = 1;
    static const char* const mm[6] = {"10", "10", "10", "10", "210", "297"};
    static const char* const inch[6] = {"0.25", "0.25", "0.2", "0.2", "8.5", "11"};
    static const char* const px[6] = {"25", "25", "50", "50", "400", "200"};
    setRecordTexts(newFile.recMm, mm, decimalSeparator);
    setRecordTexts(newFile.recInch, inch, decimalSeparator);
    setRecordTexts(newFile.recPixel, px, decimalSeparator);
    parseDefaultsTexts(newFile);

    // The page setups of the eleven design types.
    for (int32_t t = 1; t <= page::designTypeCount; ++t)
        pageSets[t - 1] = page::defaultPageSetup(t, newFile.units);
    pspage = 1;

    defaultWidthRows();
    defaultShadowRows();
    defaultPatternRows();
    defaultDirectionRows(1);
    defaultDirectionRows(31);
    defaultDirectionRows(41);
}

void TParams::defaultWidthRows()
{
    for (int32_t i = 0; i < presetRows; ++i) {
        custThicknessRec_t r;
        r.units = newFile.units;
        r.name = QStringLiteral("Weight ") + rowLetter(i + 1);
        customWidths[i] = r;
    }
}

void TParams::defaultShadowRows()
{
    for (int32_t i = 0; i < presetRows; ++i) {
        custShadowRec_t r;
        r.name = QStringLiteral("Shadow ") + rowLetter(i + 1);
        customShadows[i] = r;
    }
}

void TParams::defaultPatternRows()
{
    for (int32_t i = 0; i < presetRows; ++i) {
        custPatternRec_t r;
        r.units = newFile.units;
        r.name = QStringLiteral("Pattern ") + rowLetter(i + 1);
        r.segmentText[0] = QStringLiteral("0");
        customPatterns[i] = r;
    }
}

void TParams::defaultDirectionRows(int32_t table)
{
    custDirection_t* t = directionTable(table);
    if (!t) return;
    const QString word = table == 41 ? QStringLiteral("Size ") : QStringLiteral("Angle ");
    for (int32_t i = 0; i < presetRows; ++i) {
        custDirectionRec_t r;
        r.units = newFile.angles;
        r.name = word + rowLetter(i + 1);
        (*t)[i] = r;
    }
}

custDirection_t* TParams::directionTable(int32_t table)
{
    switch (table) {
    case 1: return &customDirections;
    case 31: return &customAngles;
    case 41: return &customSizes;
    default: return nullptr;
    }
}

const custDirection_t* TParams::directionTable(int32_t table) const
{
    return const_cast<TParams*>(this)->directionTable(table);
}

void TParams::initSettings()
{
    setDefaults();
    readSettings();
    defaultWidthRows();
    readCustomWidths();
    defaultShadowRows();
    readCustomShadows();
    defaultPatternRows();
    readCustomPatterns();
    defaultDirectionRows(1);
    readCustomDirections(1);
    defaultDirectionRows(31);
    readCustomDirections(31);
    defaultDirectionRows(41);
    readCustomDirections(41);
    savedColors.fill(-1);
    readSavedColors();
}

bool TParams::saveAllSettings()
{
    writeCustomShadows();
    writeCustomWidths();
    writeCustomPatterns();
    writeCustomDirections(1);
    writeCustomDirections(31);
    writeCustomDirections(41);
    writeSavedColors();
    writeSettings();
    return commit();
}

bool TParams::commit() { return store_ && store_->commit(); }

// ---- operations -------------------------------------------------------------

namespace {

bool parseText(const QString& text, double& v)
{
    return geometry::parseMeasure(text.toStdString(), v) && std::isfinite(v);
}

// A length typed in `units` as millimetres and screen pixels.
bool lengthFromUnits(double v, int32_t units, double pxPerMm, double& mm, int32_t& px)
{
    v = std::fabs(v);
    switch (units) {
    case 1:
        px = model::roundHalfEven(v);
        mm = px / pxPerMm;
        return true;
    case 2:
        mm = v;
        px = model::roundHalfEven(v * pxPerMm);
        return true;
    case 3:
        mm = v * 25.4;
        px = model::roundHalfEven(mm * pxPerMm);
        return true;
    default:
        return false;
    }
}

} // namespace

bool TParams::checkWidthRow(custThicknessRec_t& row) const
{
    double v = 0;
    if (!parseText(row.valueText, v) || v == 0) return false;
    double mm = 0;
    int32_t px = 0;
    if (!lengthFromUnits(v, row.units, pxPerMmX, mm, px)) return false;
    row.value = mm;
    row.pixels = px;
    return true;
}

bool TParams::checkPatternRow(custPatternRec_t& row) const
{
    row.segments.fill(0);
    row.segmentPixels.fill(0);
    row.count = 0;
    if (row.units < 1 || row.units > 3) return false;
    bool leading = true;
    for (int32_t k = 0; k < 12; ++k) {
        double v = 0;
        const bool parsed = !row.segmentText[k].isEmpty() && parseText(row.segmentText[k], v);
        if (!parsed) {
            leading = false;
            continue;
        }
        if (k == 0 && v == 0) return false;
        lengthFromUnits(v, row.units, pxPerMmX, row.segments[k], row.segmentPixels[k]);
        if (v == 0) leading = false;
        if (leading) ++row.count;
    }
    return row.segments[0] > 0 && row.segments[1] > 0;
}

bool TParams::checkDirectionRow(custDirectionRec_t& row)
{
    double v = 0;
    if (!parseText(row.valueText, v)) return false;
    if (row.units == 2) v = v * 180.0 / std::numbers::pi;
    else if (row.units != 1) return false;
    if (!std::isfinite(v)) return false;
    // Brought into [0, 360] (360 itself stays) in one step, so that a huge
    // stored value cannot keep the start-up busy.
    if (v < 0) {
        v = std::fmod(v, 360.0);
        if (v < 0) v += 360.0;
        if (v == 0) v = 0.0;  // no negative zero
    } else if (v > 360) {
        v = std::fmod(v, 360.0);
        if (v == 0) v = 360.0;
    }
    row.value = v;
    return true;
}

double TParams::parseStoredReal(const QString& text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    t.remove(QLatin1Char(' '));
    numberSeparator = QLatin1Char('.');
    if (t.isEmpty()) return 0.0;
    bool ok = false;
    const double v = t.toDouble(&ok);  // C locale: the point is the separator
    return (ok && std::isfinite(v)) ? v : 0.0;
}

void TParams::parseDefaultsTexts(defaults_t& d)
{
    for (int32_t unit = 1; unit <= 3; ++unit) {
        defaultsRec_t& r = d.record(unit);
        double v = 0;
        if (parseText(r.anchorStepXText, v)) r.anchorStepX = v;
        if (parseText(r.anchorStepYText, v)) r.anchorStepY = v;
        if (parseText(r.canvasText.left, v)) r.canvasLeft = v;
        if (parseText(r.canvasText.top, v)) r.canvasTop = v;
        if (parseText(r.canvasText.width, v)) r.canvasWidth = v;
        if (parseText(r.canvasText.height, v)) r.canvasHeight = v;
    }
}

unitScale_t TParams::unitScale(int32_t unit) const
{
    switch (unit) {
    case 2: return {2, pxPerMmX, pxPerMmY};
    case 3: return {3, double(screenPpiX), double(screenPpiY)};
    default: return {unit, 1.0, 1.0};
    }
}

QString TParams::unitName(int32_t unit)
{
    switch (unit) {
    case 1: return QStringLiteral("Pixels");
    case 2: return QStringLiteral("Millimeters");
    case 3: return QStringLiteral("Inches");
    default: return {};
    }
}

int32_t TParams::packGridFlags(const defaults_t& d)
{
    return (d.showGridX ? 32 : 0) | (d.showAnchorsX ? 16 : 0) | (d.snapX ? 8 : 0)
           | (d.showGridY ? 4 : 0) | (d.showAnchorsY ? 2 : 0) | (d.snapY ? 1 : 0);
}

void TParams::unpackGridFlags(int32_t v, defaults_t& d)
{
    d.showGridX = (v >> 5) & 1;
    d.showAnchorsX = (v >> 4) & 1;
    d.snapX = (v >> 3) & 1;
    d.showGridY = (v >> 2) & 1;
    d.showAnchorsY = (v >> 1) & 1;
    d.snapY = v & 1;
}

defaults_t TParams::defaultsFromDocument(const model::headerBody_t& h) const
{
    defaults_t d = newFile;
    d.units = h.unit;
    d.pxPerUnitX = h.pxPerUnitX;
    d.pxPerUnitY = h.pxPerUnitY;
    d.angles = h.angles;
    if (h.unit >= 1 && h.unit <= 3) {
        defaultsRec_t& r = d.record(h.unit);
        r.canvasLeft = h.canvasLeft;
        r.canvasTop = h.canvasTop;
        r.canvasWidth = h.canvasWidth;
        r.canvasHeight = h.canvasHeight;
        r.anchorStepX = h.anchorStepX;
        r.anchorStepY = h.anchorStepY;
        auto text = [this](double v) {
            QString s = QString::number(v, 'g', QLocale::FloatingPointShortest);
            s.replace(QLatin1Char('.'), numberSeparator);
            return s;
        };
        r.canvasText = {text(r.canvasLeft), text(r.canvasTop), text(r.canvasWidth),
                        text(r.canvasHeight)};
        r.anchorStepXText = text(r.anchorStepX);
        r.anchorStepYText = text(r.anchorStepY);
    }
    d.showGridX = h.showGridX;
    d.showGridY = h.showGridY;
    d.snapX = h.snapX;
    d.snapY = h.snapY;
    d.showAnchorsX = h.showAnchorsX;
    d.showAnchorsY = h.showAnchorsY;
    return d;
}

void TParams::defaultsToDocument(const defaults_t& d, model::headerBody_t& h)
{
    h.unit = d.units;
    h.pxPerUnitX = d.pxPerUnitX;
    h.pxPerUnitY = d.pxPerUnitY;
    h.angles = d.angles;
    if (d.units >= 1 && d.units <= 3) {
        const defaultsRec_t& r = d.record(d.units);
        h.canvasLeft = r.canvasLeft;
        h.canvasTop = r.canvasTop;
        h.canvasWidth = r.canvasWidth;
        h.canvasHeight = r.canvasHeight;
        h.anchorStepX = r.anchorStepX;
        h.anchorStepY = r.anchorStepY;
    }
    h.showGridX = d.showGridX;
    h.showGridY = d.showGridY;
    h.snapX = d.snapX;
    h.snapY = d.snapY;
    h.showAnchorsX = d.showAnchorsX;
    h.showAnchorsY = d.showAnchorsY;
}

void TParams::rememberColor(int32_t colour)
{
    // Colours are 0x00BBGGRR; anything beyond 0x2FFFFFF (negatives included)
    // is not one that can be saved.
    if (static_cast<uint32_t>(colour) > 0x2FFFFFFu) return;
    for (int32_t c : savedColors)
        if (c == colour) return;
    for (int32_t i = savedColorCount - 1; i > 0; --i) savedColors[i] = savedColors[i - 1];
    savedColors[0] = colour;
}

int32_t TParams::keepKnownColor(int32_t colour, int32_t fallback) const
{
    for (int32_t c : standardColors)
        if (c == colour) return colour;
    for (const QString& entry : dialogColors) {
        const QString text = entry.section(QLatin1Char('='), 1).trimmed();
        if (text.isEmpty() || text.toUpper() == QStringLiteral("FFFFFFFF")) continue;
        bool ok = false;
        const uint v = text.toUInt(&ok, 16);
        if (ok && static_cast<int32_t>(v) == colour) return colour;
    }
    for (int32_t c : savedColors)
        if (c == colour) return colour;
    return fallback < 0x3000000 ? fallback : colour;
}

QString TParams::hintText() const
{
    QString s;
    s.reserve(hintCount);
    for (uint8_t f : hintFlags) s += f ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

void TParams::setHintFlags(const QString& text)
{
    const QString t = text.trimmed();
    for (int32_t k = 0; k < hintCount && k < t.size(); ++k)
        if (t[k] == QLatin1Char('0')) hintFlags[k] = 0;
}

QString TParams::realText(double v) const
{
    QString s = QString::number(std::isfinite(v) ? v : 0.0, 'g', 15);
    s.replace(QLatin1Char('.'), decimalSeparator);
    return s;
}

} // namespace settings
