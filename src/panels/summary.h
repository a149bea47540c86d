// The summary of a selection that the attribute panels show: one value per
// attribute, taken from the first item and marked mixed when a later item
// differs.
#pragma once

#include <functional>

namespace panels {

// `same` tells whether two values count as equal (a tolerance for measures).
template <typename T, typename Same>
void meetValue(T& into, const T& value, bool first, const T& mixed, Same same)
{
    if (first) into = value;
    else if (!same(into, value)) into = mixed;
}

template <typename T>
void meetValue(T& into, const T& value, bool first, const T& mixed)
{
    meetValue(into, value, first, mixed, std::equal_to<T>{});
}

} // namespace panels
