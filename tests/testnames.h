// Readable names for the cases of parameterised tests, so that test lists and
// failures read as sentences ("Cases/Projection.FootAndWithin/SteepIsUpright")
// instead of indices and byte dumps.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace testnames {

// Name generator for INSTANTIATE_TEST_SUITE_P: each case's own `name` field.
struct byName {
    template <class T>
    std::string operator()(const ::testing::TestParamInfo<T>& info) const
    {
        return std::string(info.param.name);
    }
};

// A number as a part of a test name, which may hold letters, digits and
// underscores only: 49 → "49", -0.5 → "Minus0p5", 1.749 → "1p749".
inline std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::fabs(v));
    std::string s = v < 0 ? "Minus" : "";
    for (const char* c = text; *c; ++c) s += *c == '.' ? 'p' : *c;
    return s;
}

} // namespace testnames
