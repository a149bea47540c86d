#include "panels/picklists.h"

#include "model/arrowheads.h"

#include <algorithm>
#include <cmath>

namespace panels {

using settings::TParams;

namespace {

constexpr double same = 1e-4;  // weights, directions and pattern lengths closer than this are equal

const char* const colourNames[16] = {"Black", "Maroon", "Green", "Olive", "Navy",    "Purple", "Teal", "Gray",
                                     "Silver", "Red",   "Lime",  "Yellow", "Blue", "Fuchsia", "Aqua", "White"};

struct namedValue_t {
    const char* text;
    double value;
};
constexpr namedValue_t weights[] = {{"Thin", 0.0}, {"Medium", 0.5}, {"Thick", 1.0},
                                    {"Heavy", 2.0}, {"Wide", 3.0},   {"Broad", 5.0}};
constexpr namedValue_t frameWeights[] = {{"None", 0.0},  {"Thin", 0.1}, {"Medium", 0.5}, {"Thick", 1.0},
                                         {"Heavy", 2.0}, {"Wide", 3.0}, {"Broad", 5.0}};
constexpr const char* patterns[] = {"Solid", "Dot", "Dash", "Center", "Phantom"};
constexpr namedValue_t directions[] = {
    {"Any angle", -1}, {"Horizontal", 0}, {"Vertical (right)", 90}, {"Vertical (left)", 270}, {"Upside down", 180}};
constexpr int32_t sizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
struct namedShadow_t {
    const char* text;
    settings::shadowTriple_t triple;
};
constexpr namedShadow_t shadows[] = {
    {"None", {0, 0, 0}}, {"Slight", {30, 10, 100}}, {"Medium", {50, 20, 110}}, {"Broad", {70, 30, 120}}};

constexpr int32_t standardCount = 16;
constexpr int32_t fillOffset = 2;  // "Solid" and "Clear" come first

const QString customizeText = QStringLiteral("Customize...");
const QString customColourText = QStringLiteral("Custom");

bool close(double a, double b) { return std::fabs(a - b) < same; }

template <size_t N>
int32_t builtInCount(const namedValue_t (&)[N])
{
    return static_cast<int32_t>(N);
}

const settings::custDirection_t& directionTable(const TParams& p, bool text)
{
    return text ? p.customAngles : p.customDirections;
}

// The record a custom entry shows, null when the mapping has none.
template <typename Table>
const typename Table::value_type* mappedRecord(const Table& table, const customMap_t& map, int32_t position)
{
    if (position < 0 || position >= settings::presetRows) return nullptr;
    const int32_t r = map[position];
    return r >= 1 && r <= settings::presetRows ? &table[r - 1] : nullptr;
}

// Appends the listed records of a table as custom entries; returns the last
// one flagged to be selected next (its position), -1 when none, clearing the flags.
template <typename Table, typename Fill>
int32_t appendCustoms(builtList_t& b, Table& table, Fill fill)
{
    int32_t k = 0, flagged = -1;
    for (int32_t r = 0; r < settings::presetRows; ++r) {
        auto& rec = table[r];
        if (!rec.listed) continue;
        pickEntry_t e;
        e.role = pickEntry_t::custom;
        e.text = rec.name;
        fill(e, rec);
        b.entries.push_back(e);
        b.mapping[k] = r + 1;
        if (rec.selectNext) {
            flagged = k;
            rec.selectNext = 0;
        }
        ++k;
    }
    return flagged;
}

void addCustomize(builtList_t& b)
{
    pickEntry_t e;
    e.role = pickEntry_t::customize;
    e.text = customizeText;
    b.entries.push_back(e);
}

void addColours(builtList_t& b, const TParams& p)
{
    for (int32_t i = 0; i < standardCount; ++i) {
        pickEntry_t e;
        e.text = QString::fromLatin1(colourNames[i]);
        e.colour = settings::standardColors[i];
        b.entries.push_back(e);
    }
    addCustomize(b);
    for (int32_t c : extraColours(p)) {
        pickEntry_t e;
        e.role = pickEntry_t::custom;
        e.text = customColourText;
        e.colour = c;
        b.entries.push_back(e);
    }
}

// The dialog colour of key letter A..P as its text holds it: nullopt-like
// `used` false when unused, `colour` -1 when the text is not hexadecimal.
struct dialogColour_t {
    bool used = false;
    int32_t colour = -1;
};
dialogColour_t dialogColour(const TParams& p, int32_t k)
{
    const QString prefix = QStringLiteral("color") + settings::rowLetter(k + 1) + QLatin1Char('=');
    QString text;
    for (const QString& entry : p.dialogColors)
        if (entry.startsWith(prefix)) text = entry.mid(prefix.size()).trimmed();
    if (text.isEmpty() || text.toUpper() == QStringLiteral("FFFFFFFF")) return {};
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    return {true, ok ? static_cast<int32_t>(v) : -1};
}

} // namespace

int32_t customizeIndex(listKind_t kind)
{
    switch (kind) {
    case listKind_t::colour: return standardCount;
    case listKind_t::fill: return standardCount + fillOffset;
    case listKind_t::weight: return builtInCount(weights);
    case listKind_t::frameWeight: return builtInCount(frameWeights);
    case listKind_t::pattern: return 5;
    case listKind_t::lineDirection:
    case listKind_t::textAngle: return builtInCount(directions);
    case listKind_t::fontSize: return 16;
    case listKind_t::shadow: return 4;
    case listKind_t::surface:
    case listKind_t::headStart:
    case listKind_t::headEnd:
    case listKind_t::headSize: return -1;
    }
    return -1;
}

int32_t firstCustomIndex(listKind_t kind)
{
    return kind == listKind_t::surface ? 2 : customizeIndex(kind) + 1;
}

std::vector<int32_t> extraColours(const TParams& p)
{
    std::vector<int32_t> out;
    for (int32_t k = 0; k < settings::dialogColorCount; ++k)
        if (const dialogColour_t d = dialogColour(p, k); d.used) out.push_back(d.colour);
    for (int32_t c : p.savedColors)
        if (c != -1) out.push_back(c);
    return out;
}

bool isListedColour(const TParams& p, int32_t colour)
{
    for (int32_t c : settings::standardColors)
        if (c == colour) return true;
    for (int32_t c : extraColours(p))
        if (c == colour && c != -1) return true;
    return false;
}

builtList_t buildList(listKind_t kind, TParams& p)
{
    builtList_t b;
    b.kind = kind;
    auto builtIns = [&b](const auto& table) {
        for (const namedValue_t& n : table) b.entries.push_back({pickEntry_t::builtIn, QString::fromLatin1(n.text), -1, n.value});
    };
    auto selectNextAt = [&b, kind](int32_t position, double value) {
        if (position < 0) return false;
        b.selectNextIndex = firstCustomIndex(kind) + position;
        b.selectNextValue = value;
        return true;
    };
    switch (kind) {
    case listKind_t::colour: addColours(b, p); break;
    case listKind_t::fill:
        b.entries.push_back({pickEntry_t::solid, QStringLiteral("Solid")});
        b.entries.push_back({pickEntry_t::clear, QStringLiteral("Clear")});
        addColours(b, p);
        break;
    case listKind_t::weight:
    case listKind_t::frameWeight: {
        if (kind == listKind_t::weight) builtIns(weights);
        else builtIns(frameWeights);
        addCustomize(b);
        const int32_t k = appendCustoms(b, p.customWidths, [](pickEntry_t& e, const settings::custThicknessRec_t& r) {
            e.value = r.value;
            e.pixels = r.pixels;
        });
        if (k >= 0) selectNextAt(k, b.entries[firstCustomIndex(kind) + k].value);
        break;
    }
    case listKind_t::pattern: {
        for (int32_t i = 0; i < 5; ++i) b.entries.push_back({pickEntry_t::builtIn, QString::fromLatin1(patterns[i]), -1, double(i)});
        addCustomize(b);
        const int32_t k = appendCustoms(b, p.customPatterns, [](pickEntry_t& e, const settings::custPatternRec_t& r) {
            e.segments.assign(r.segments.begin(), r.segments.begin() + std::clamp(r.count, 0, 12));
        });
        for (size_t i = firstCustomIndex(kind); i < b.entries.size(); ++i) b.entries[i].value = double(i);
        if (selectNextAt(k, firstCustomIndex(kind) + k)) p.linePattern = p.linePatternTab = b.selectNextIndex;
        break;
    }
    case listKind_t::lineDirection:
    case listKind_t::textAngle: {
        const bool text = kind == listKind_t::textAngle;
        builtIns(directions);
        addCustomize(b);
        auto& table = text ? p.customAngles : p.customDirections;
        const int32_t k = appendCustoms(b, table, [](pickEntry_t& e, const settings::custDirectionRec_t& r) { e.value = r.value; });
        if (k >= 0 && selectNextAt(k, b.entries[firstCustomIndex(kind) + k].value)) {
            const double deg = b.selectNextValue;
            if (text) {
                p.tangle = static_cast<int32_t>(std::lround(deg * 10));
                p.tdir = static_cast<int32_t>(std::lround(deg));
                p.tangletab = b.selectNextIndex;
            } else {
                p.lineDirection = deg;
                p.lineDirectionTab = b.selectNextIndex;
            }
        }
        break;
    }
    case listKind_t::fontSize: {
        for (int32_t s : sizes) b.entries.push_back({pickEntry_t::builtIn, QString::number(s), -1, double(s)});
        addCustomize(b);
        const int32_t k = appendCustoms(b, p.customSizes, [](pickEntry_t& e, const settings::custDirectionRec_t& r) { e.value = r.value; });
        if (k >= 0 && selectNextAt(k, b.entries[firstCustomIndex(kind) + k].value)) {
            p.tsize = static_cast<int32_t>(std::lround(b.selectNextValue));
            p.tsizetab = b.selectNextIndex;
        }
        break;
    }
    case listKind_t::shadow:
        for (const namedShadow_t& s : shadows) {
            pickEntry_t e{pickEntry_t::builtIn, QString::fromLatin1(s.text)};
            e.shadow = s.triple;
            b.entries.push_back(e);
        }
        addCustomize(b);
        // Shadow lists select nothing by themselves; the flags stay for the shadow editor.
        for (int32_t r = 0, k = 0; r < settings::presetRows; ++r) {
            const settings::custShadowRec_t& rec = p.customShadows[r];
            if (!rec.listed) continue;
            pickEntry_t e{pickEntry_t::custom, rec.name};
            e.shadow = {uint8_t(std::clamp(rec.elevation, 0, 255)), uint8_t(std::clamp(rec.fade, 0, 255)),
                        uint8_t(std::clamp(rec.lightness, 0, 255))};
            b.entries.push_back(e);
            b.mapping[k++] = r + 1;
        }
        break;
    case listKind_t::surface:
        b.entries.push_back({pickEntry_t::builtIn, QStringLiteral("Flat"), -1, 0});
        b.entries.push_back({pickEntry_t::builtIn, QStringLiteral("Round"), -1, 127});
        break;
    case listKind_t::headStart:
    case listKind_t::headEnd: {
        static const char* const names[model::headKindCount] = {"None", "Open", "Arrow", "Circle", "Diamond", "Bar"};
        for (int32_t k = 0; k < model::headKindCount; ++k) {
            pickEntry_t e;
            e.text = QString::fromLatin1(names[k]);
            e.value = k;
            b.entries.push_back(e);
        }
        break;
    }
    case listKind_t::headSize: {
        static const char* const names[model::headSizeCount] = {"Small", "Medium", "Large"};
        for (int32_t k = 0; k < model::headSizeCount; ++k) {
            pickEntry_t e;
            e.text = QString::fromLatin1(names[k]);
            e.value = k;
            b.entries.push_back(e);
        }
        break;
    }
    }
    return b;
}

// ---------------------------------------------------------------- colours

int32_t indexOfColour(const TParams& p, int32_t colour)
{
    for (int32_t i = 0; i < standardCount; ++i)
        if (settings::standardColors[i] == colour) return i;
    // The last equal custom entry wins; texts that are not hexadecimal never match.
    int32_t found = -1, n = 0;
    for (int32_t c : extraColours(p)) {
        ++n;
        if (c != -1 && c == colour) found = standardCount + n;
    }
    return found;
}

int32_t colourAt(const TParams& p, int32_t index)
{
    if (index >= 0 && index < standardCount) return settings::standardColors[index];
    const std::vector<int32_t> extra = extraColours(p);
    const int32_t k = index - standardCount - 1;
    if (k < 0 || k >= static_cast<int32_t>(extra.size())) return -1;
    return extra[k];
}

int32_t indexOfFill(const TParams& p, int32_t fill)
{
    if (fill == -2) return 0;
    if (fill == -1) return 1;
    const int32_t i = indexOfColour(p, fill);
    return i < 0 ? -1 : i + fillOffset;
}

int32_t fillAt(const TParams& p, int32_t index)
{
    if (index == 0) return -2;
    if (index == 1) return -1;
    return colourAt(p, index - fillOffset);
}

// ---------------------------------------------------------------- weights

int32_t indexOfWeight(const TParams& p, double mm, bool frame)
{
    const int32_t n = frame ? builtInCount(frameWeights) : builtInCount(weights);
    for (int32_t i = 0; i < n; ++i)
        if (close(frame ? frameWeights[i].value : weights[i].value, mm)) return i;
    int32_t k = 0;
    for (const settings::custThicknessRec_t& r : p.customWidths) {
        if (!r.listed) continue;
        if (close(r.value, mm)) return n + 1 + k;
        ++k;
    }
    return -1;
}

double weightAt(const TParams& p, const customMap_t& map, int32_t index, bool frame)
{
    const int32_t n = frame ? builtInCount(frameWeights) : builtInCount(weights);
    if (index >= 0 && index < n) return frame ? frameWeights[index].value : weights[index].value;
    if (index == n) return -1.0;
    const auto* r = mappedRecord(p.customWidths, map, index - n - 1);
    return r ? r->value : 0.0;
}

// ---------------------------------------------------------------- patterns

int32_t indexOfPattern(int32_t builtIn) { return builtIn >= 0 && builtIn <= 4 ? builtIn : -1; }

int32_t indexOfCustomPattern(const TParams& p, const double* mm, int32_t count)
{
    int32_t number = 0;
    for (const settings::custPatternRec_t& r : p.customPatterns) {
        if (!r.listed) continue;
        ++number;
        if (r.count != count) continue;
        bool equal = true;
        for (int32_t i = 0; i < count && i < 12 && equal; ++i) equal = close(r.segments[i], mm[i]);
        if (equal) return customizeIndex(listKind_t::pattern) + number;
    }
    return -1;
}

// ---------------------------------------------------------------- directions

int32_t indexOfDirection(const TParams& p, double degrees, bool text)
{
    const int32_t n = builtInCount(directions);
    for (int32_t i = 0; i < n; ++i)
        if (close(directions[i].value, degrees)) return i;
    int32_t k = 0;
    for (const settings::custDirectionRec_t& r : directionTable(p, text)) {
        if (!r.listed) continue;
        if (close(r.value, degrees)) return n + 1 + k;
        ++k;
    }
    return -1;
}

double directionAt(const TParams& p, const customMap_t& map, int32_t index, bool text)
{
    const int32_t n = builtInCount(directions);
    if (index >= 0 && index < n) return directions[index].value;
    if (index == n) return -1.0;
    const auto* r = mappedRecord(directionTable(p, text), map, index - n - 1);
    return r ? r->value : 0.0;
}

// ---------------------------------------------------------------- font sizes

int32_t indexOfSize(const TParams& p, int32_t size)
{
    for (int32_t i = 0; i < 16; ++i)
        if (sizes[i] == size) return i;
    int32_t k = 0;
    for (const settings::custDirectionRec_t& r : p.customSizes) {
        if (!r.listed) continue;
        if (r.value == size) return 17 + k;
        ++k;
    }
    return -1;
}

int32_t sizeAt(const TParams& p, const customMap_t& map, int32_t index)
{
    if (index >= 0 && index < 16) return sizes[index];
    if (index == 16) return -1;
    const auto* r = mappedRecord(p.customSizes, map, index - 17);
    return r ? static_cast<int32_t>(std::lround(r->value)) : 0;
}

// ---------------------------------------------------------------- shadows and surfaces

int32_t indexOfShadow(const TParams& p, int32_t elevation, int32_t fade, int32_t lightness)
{
    if (elevation < 0 || fade < 0 || lightness < 0) return -1;
    for (int32_t i = 0; i < 4; ++i) {
        const settings::shadowTriple_t& t = shadows[i].triple;
        if (t.elevation == elevation && t.fade == fade && t.lightness == lightness) return i;
    }
    int32_t k = 0;
    for (const settings::custShadowRec_t& r : p.customShadows) {
        if (!r.listed) continue;
        ++k;
        if (r.elevation == elevation && r.fade == fade && r.lightness == lightness) return 4 + k;
    }
    return -1;
}

settings::shadowTriple_t shadowAt(const TParams& p, const customMap_t& map, int32_t index,
                                  settings::shadowTriple_t current)
{
    if (index >= 0 && index < 4) return shadows[index].triple;
    const auto* r = mappedRecord(p.customShadows, map, index - 5);
    if (!r) return current;
    return {uint8_t(std::clamp(r->elevation, 0, 255)), uint8_t(std::clamp(r->fade, 0, 255)),
            uint8_t(std::clamp(r->lightness, 0, 255))};
}

bool isHeadKind(listKind_t kind)
{
    return kind == listKind_t::headStart || kind == listKind_t::headEnd || kind == listKind_t::headSize;
}

int32_t indexOfSurface(int32_t surface)
{
    if (surface == 0) return 0;
    if (surface == 127) return 1;
    return -1;
}

int32_t surfaceAt(int32_t index) { return index == 1 ? 127 : 0; }

// ---------------------------------------------------------------- stored positions

namespace {
bool outside(int32_t index, int32_t count) { return index < 0 || index >= count; }
} // namespace

int32_t storedWeightIndex(int32_t& tab, double& weight, int32_t count)
{
    if (outside(tab, count)) {
        tab = 0;
        weight = 0.0;
    }
    return tab;
}

int32_t storedPatternIndex(TParams& p, int32_t count)
{
    if (outside(p.linePattern, count)) p.linePattern = p.linePatternTab = 0;
    return p.linePattern;
}

int32_t storedDirectionIndex(TParams& p, bool text, int32_t count)
{
    if (text) {
        if (outside(p.tangletab, count)) {
            p.tangletab = 1;
            p.tangle = 0;
            p.tdir = 0;
        }
        return p.tangletab;
    }
    if (outside(p.lineDirectionTab, count)) {
        p.lineDirectionTab = 0;
        p.lineDirection = -1.0;
    }
    return p.lineDirectionTab;
}

int32_t storedSizeIndex(TParams& p, int32_t count)
{
    if (outside(p.tsizetab, count)) {
        p.tsizetab = 4;
        p.tsize = 12;
    }
    return p.tsizetab;
}

} // namespace panels
