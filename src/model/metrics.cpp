#include "model/metrics.h"

#include <cstdlib>
#include <cstring>

namespace model {

namespace {

screenMetrics_t fromPpi(int32_t x, int32_t y)
{
    screenMetrics_t m;
    m.screenPpiX = x;
    m.screenPpiY = y;
    m.pxPerMmX = x / 25.4;
    m.pxPerMmY = y / 25.4;
    return m;
}

screenMetrics_t initial()
{
    int32_t ppi = 96;
    if (const char* e = std::getenv("LUMORA_SCREEN_PPI")) {
        char* end = nullptr;
        long v = std::strtol(e, &end, 10);
        if (end != e && *end == '\0' && v >= 24 && v <= 1200) ppi = static_cast<int32_t>(v);
    }
    return fromPpi(ppi, ppi);
}

screenMetrics_t& current()
{
    static screenMetrics_t m = initial();
    return m;
}

} // namespace

const screenMetrics_t& screen() { return current(); }

void setScreenPpi(int32_t ppiX, int32_t ppiY)
{
    if (ppiX > 0 && ppiY > 0) current() = fromPpi(ppiX, ppiY);
}

} // namespace model
