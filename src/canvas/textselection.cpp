#include "canvas/textselection.h"

#include "model/item.h"

#include <QChar>

#include <algorithm>

namespace canvas::textsel {

namespace {

bool isWordUnit(char16_t c)
{
    if (c == model::lineSeparator) return false;
    // Surrogate halves belong to letters outside the basic plane.
    if (QChar::isSurrogate(c)) return true;
    return QChar(c).isLetterOrNumber() || c == u'_' || QChar(c).isMark();
}

} // namespace

int32_t wordStartBefore(std::u16string_view text, int32_t pos)
{
    int32_t p = std::clamp(pos, 0, int32_t(text.size()));
    while (p > 0 && !isWordUnit(text[size_t(p - 1)])) --p;
    while (p > 0 && isWordUnit(text[size_t(p - 1)])) --p;
    return p;
}

int32_t wordEndAfter(std::u16string_view text, int32_t pos)
{
    const int32_t n = int32_t(text.size());
    int32_t p = std::clamp(pos, 0, n);
    while (p < n && !isWordUnit(text[size_t(p)])) ++p;
    while (p < n && isWordUnit(text[size_t(p)])) ++p;
    return p;
}

replaced_t replaceRange(std::u16string_view text, int32_t from, int32_t to, std::u16string_view insert)
{
    const int32_t n = int32_t(text.size());
    from = std::clamp(from, 0, n);
    to = std::clamp(to, from, n);
    replaced_t r;
    r.text.reserve(text.size() - size_t(to - from) + insert.size());
    r.text.append(text.substr(0, size_t(from)));
    r.text.append(insert);
    r.text.append(text.substr(size_t(to)));
    r.caret = from + int32_t(insert.size());
    const auto breaks = [](std::u16string_view s) { return int32_t(std::count(s.begin(), s.end(), model::lineSeparator)); };
    r.linesAdded = breaks(insert) - breaks(text.substr(size_t(from), size_t(to - from)));
    return r;
}

std::u16string toPlain(std::u16string_view text)
{
    std::u16string out(text);
    std::replace(out.begin(), out.end(), model::lineSeparator, u'\n');
    return out;
}

std::u16string fromPlain(std::u16string_view plain)
{
    std::u16string out;
    out.reserve(plain.size());
    for (size_t i = 0; i < plain.size(); ++i) {
        const char16_t c = plain[i];
        if (c == u'\r') {
            if (i + 1 < plain.size() && plain[i + 1] == u'\n') ++i;
            out.push_back(model::lineSeparator);
        } else if (c == u'\n' || c == 0x2028 || c == 0x2029) {
            out.push_back(model::lineSeparator);
        } else if (c == u'\t') {
            out.push_back(u' ');
        } else if (c >= 0x20 && c != 0x7F) {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace canvas::textsel
