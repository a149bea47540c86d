// roundHalfEven must agree with nearbyint in the to-nearest-even mode for
// every value a coordinate can take, halves and huge values included.
#include "model/metrics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

int32_t reference(long double v)
{
    if (std::isnan(v)) return 0;
    const long double r = std::nearbyint(v);
    if (r >= 2147483647.0L) return INT32_MAX;
    if (r <= -2147483648.0L) return INT32_MIN;
    return static_cast<int32_t>(r);
}

TEST(RoundHalfEven, HalvesGoToEven)
{
    const struct { long double v; int32_t want; } cases[] = {
        {0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-0.5L, 0}, {-1.5L, -2}, {-2.5L, -2}, {0.49999999999L, 0},
        {2147483646.5L, 2147483646}, {3e9L, INT32_MAX}, {-3e9L, INT32_MIN}, {1e30L, INT32_MAX},
        {-1e30L, INT32_MIN}, {INFINITY, INT32_MAX}, {-INFINITY, INT32_MIN}, {NAN, 0}};
    for (const auto& c : cases) EXPECT_EQ(model::roundHalfEven(c.v), c.want) << static_cast<double>(c.v);
}

TEST(RoundHalfEven, AgreesWithNearbyintOnRandomValues)
{
    std::mt19937_64 rng(99);
    std::uniform_real_distribution<double> wide(-5e9, 5e9), narrow(-3000, 3000);
    for (int i = 0; i < 200000; ++i) {
        long double v = (i % 2) ? static_cast<long double>(wide(rng)) : static_cast<long double>(narrow(rng));
        if (i % 5 == 0) v = std::floor(v) + 0.5L;
        ASSERT_EQ(model::roundHalfEven(v), reference(v)) << static_cast<double>(v);
    }
}

} // namespace
