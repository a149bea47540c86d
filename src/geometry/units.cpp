#include "geometry/units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace geometry {

using model::screen;

int32_t zoomPresetIndex(double zoom)
{
    const int32_t pct = roundHalfEven(static_cast<long double>(zoom) * 100);
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(zoomPresets)); ++i)
        if (zoomPresets[i] == pct) return i;
    return -1;
}

double zoomFactor(const model::item_t* header)
{
    return header ? header->hdr().zoom : 1.0;
}

int32_t docToScreen(double zoom, int32_t v, int32_t origin)
{
    return canvasCoordinate(int64_t(roundHalfEven(static_cast<long double>(zoom) * v)) - origin);
}

int32_t screenToDoc(double zoom, int32_t s, int32_t origin)
{
    if (zoom == 0) return 0;
    return roundHalfEven((static_cast<long double>(s) + origin) / zoom);
}

point_t docToScreenPoint(double zoom, int32_t x, int32_t y, point_t viewOrigin)
{
    return {docToScreen(zoom, x, viewOrigin.x), docToScreen(zoom, y, viewOrigin.y)};
}

long double mmToPx(double mm, axis_t axis)
{
    return static_cast<long double>(mm) * (axis == axis_t::x ? screen().pxPerMmX : screen().pxPerMmY);
}

int32_t penWidthAt(double zoom, double weightMm)
{
    return std::max(roundHalfEven(zoom), roundHalfEven(mmToPx(weightMm, axis_t::y) * zoom));
}

int32_t weightPaddingPx(double weightMm)
{
    return roundHalfEven(mmToPx(weightMm, axis_t::x));
}

double segmentAngle(point_t p1, point_t p2)
{
    constexpr double pi = std::numbers::pi;
    if (p1.y == p2.y) return p2.x < p1.x ? pi : 0.0;
    if (p1.x == p2.x) return p1.y < p2.y ? 3 * pi / 2 : pi / 2;
    double a = std::atan2(double(p1.y) - p2.y, double(p2.x) - p1.x);
    if (a < 0) a += 2 * pi;
    return a;
}

point_t polarPoint(point_t origin, double angle, double r)
{
    // Summed in 64 bits and limited, so points far out (hostile files) cannot overflow.
    const int64_t x = int64_t(origin.x) + roundHalfEven(static_cast<long double>(std::cos(angle)) * r);
    const int64_t y = int64_t(origin.y) - roundHalfEven(static_cast<long double>(std::sin(angle)) * r);
    return {int32_t(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)), int32_t(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX))};
}

double distance(point_t p, point_t q)
{
    const double dx = double(q.x) - p.x, dy = double(q.y) - p.y;
    return std::sqrt(dx * dx + dy * dy);
}

namespace {

// "#####": the whole number, nothing at all when it rounds to 0.
std::string wholePattern(double v)
{
    const int32_t n = roundHalfEven(v);
    return n == 0 ? std::string() : std::to_string(n);
}

// "###.##": up to two decimals, no trailing zeros, no leading zero.
std::string twoDecimalPattern(double v)
{
    const long long hundredths = std::llround(v * 100.0);
    const long long whole = hundredths / 100, frac = std::llabs(hundredths % 100);
    std::string s = whole != 0 ? std::to_string(whole) : (hundredths < 0 ? "-" : "");
    if (frac != 0) {
        s += '.';
        s += char('0' + frac / 10);
        if (frac % 10) s += char('0' + frac % 10);
    }
    return s;
}

std::string trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool toDouble(const std::string& s, double& v)
{
    const std::string t = trim(s);
    if (t.empty()) return false;
    // from_chars always reads a point, whatever the C locale the program
    // runs in (strtod would follow setlocale and stop at the point).
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (*first == '+' && last - first > 1 && first[1] != '-') ++first;
    const auto r = std::from_chars(first, last, v);
    return r.ec == std::errc() && r.ptr == last && std::isfinite(v);
}

} // namespace

std::string formatMeasure(int32_t unit, double value)
{
    if (value < 0.0001) return "None";
    switch (unit) {
    case unitPixels: return wholePattern(value) + (value == 1.0 ? " Pixel" : " Pixels");
    case unitMillimetres: return wholePattern(value) + " mm";
    default: return twoDecimalPattern(value) + (value == 1.0 ? " Inch" : " Inches");
    }
}

bool parseMeasure(const std::string& text, double& value)
{
    std::string t = trim(text);
    if (t.empty()) return false;
    if (t.back() == '"') t.pop_back();
    std::replace(t.begin(), t.end(), ',', '.');
    const auto slash = t.find('/');
    if (slash == std::string::npos) return toDouble(t, value);
    double a = 0, b = 0;
    if (!toDouble(t.substr(0, slash), a) || !toDouble(t.substr(slash + 1), b)) return false;
    value = (a != 0 && b != 0) ? a / b : 0.0;
    return true;
}

void pxPerUnit(int32_t unit, double& x, double& y)
{
    const auto& s = screen();
    switch (unit) {
    case unitMillimetres: x = s.pxPerMmX; y = s.pxPerMmY; break;
    case unitInches: x = s.screenPpiX; y = s.screenPpiY; break;
    default: x = 1.0; y = 1.0; break;
    }
}

void computeCanvasPixels(model::item_t* header)
{
    if (!header) return;
    auto& h = header->hdr();
    const long double z = h.zoom;
    const int32_t left = roundHalfEven(h.canvasLeft * h.pxPerUnitX * z);
    const int32_t top = roundHalfEven(z * h.canvasTop * h.pxPerUnitY);
    // Header values come from files; keep the sums defined for any of them.
    const int32_t right = static_cast<int32_t>(int64_t(left) + roundHalfEven(z * h.pxPerUnitX * h.canvasWidth));
    const int32_t bottom = static_cast<int32_t>(int64_t(top) + roundHalfEven(z * h.pxPerUnitY * h.canvasHeight));
    h.x1 = left;
    h.y1 = top;
    h.x2 = right;
    h.y2 = bottom;
    h.boxLeft = std::min(left, right);
    h.boxRight = std::max(left, right);
    h.boxTop = std::min(top, bottom);
    h.boxBottom = std::max(top, bottom);
    h.boxWidth = roundHalfEven(h.canvasWidth * h.pxPerUnitX * z);
    h.boxHeight = roundHalfEven(h.canvasHeight * h.pxPerUnitY * z);
}

} // namespace geometry
