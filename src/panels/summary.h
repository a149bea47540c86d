// The summary of a selection that the attribute panels show: one value per
// attribute, taken from the first item and marked mixed when a later item
// differs.
#pragma once

namespace panels {

template <typename T>
void meetValue(T& into, const T& value, bool first, const T& mixed)
{
    if (first) into = value;
    else if (into != value) into = mixed;
}

} // namespace panels
