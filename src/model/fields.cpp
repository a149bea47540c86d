#include "model/fields.h"
#include "model/utf8.h"

#include <algorithm>

namespace model {

namespace {

constexpr std::u16string_view open = u"${";
constexpr std::u16string_view escaped = u"$${";
constexpr std::u16string_view defaultMark = u":=";

bool blank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trimmedName(std::u16string_view s)
{
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

void noteOnce(std::vector<std::u16string>& list, std::u16string_view name)
{
    if (std::find(list.begin(), list.end(), name) == list.end()) list.emplace_back(name);
}

// One field of a line: ${inner} with `inner` split into name and default.
struct field_t {
    std::u16string_view name;
    std::optional<std::u16string_view> fallback;
};

field_t splitField(std::u16string_view inner)
{
    const size_t mark = inner.find(defaultMark);
    if (mark == std::u16string_view::npos) return {trimmedName(inner), std::nullopt};
    return {trimmedName(inner.substr(0, mark)), inner.substr(mark + defaultMark.size())};
}

// Walks a line: literal text and fields, in order. The callbacks get the
// literal pieces and each field with its whole source text.
template <typename Literal, typename Field>
void walkLine(std::u16string_view line, Literal literal, Field field)
{
    size_t i = 0, from = 0;
    while (i < line.size()) {
        if (line.substr(i, escaped.size()) == escaped) {
            literal(line.substr(from, i - from));
            literal(open);
            i += escaped.size();
            from = i;
            continue;
        }
        if (line.substr(i, open.size()) == open) {
            const size_t close = line.find(u'}', i + open.size());
            if (close == std::u16string_view::npos) break;  // an open field is plain text
            literal(line.substr(from, i - from));
            field(line.substr(i + open.size(), close - i - open.size()), line.substr(i, close + 1 - i));
            i = close + 1;
            from = i;
            continue;
        }
        ++i;
    }
    literal(line.substr(from));
}

} // namespace

std::u16string substituteFields(std::u16string_view text, char16_t separator, const fieldLookup_t& lookup,
                                int64_t number, fieldReport_t* report)
{
    std::u16string out;
    out.reserve(text.size());
    bool firstKept = true;
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(text.find(separator, start), text.size());
        const std::u16string_view line = text.substr(start, end - start);
        std::u16string kept;
        bool onlyFields = true, anyField = false, anyValue = false;
        std::vector<std::u16string_view> missing;
        walkLine(
            line,
            [&](std::u16string_view piece) {
                if (!std::all_of(piece.begin(), piece.end(), blank)) onlyFields = false;
                kept += piece;
            },
            [&](std::u16string_view inner, std::u16string_view whole) {
                anyField = true;
                if (inner == u"#") {
                    const std::string n = std::to_string(number);
                    kept.append(n.begin(), n.end());
                    anyValue = true;
                    return;
                }
                const field_t f = splitField(inner);
                const std::optional<std::u16string_view> value = lookup ? lookup(f.name) : std::nullopt;
                if (!value) {
                    if (report) noteOnce(report->unknown, f.name);
                    kept += whole;
                    anyValue = true;
                } else if (!value->empty()) {
                    kept += *value;
                    anyValue = true;
                } else if (f.fallback) {
                    kept += *f.fallback;
                    anyValue = anyValue || !f.fallback->empty();
                } else {
                    missing.push_back(f.name);
                }
            });
        if (!(onlyFields && anyField && !anyValue)) {
            if (!firstKept) out += separator;
            out += kept;
            firstKept = false;
            if (report)
                for (auto name : missing) noteOnce(report->missing, name);
        }
        if (end >= text.size()) break;
        start = end + 1;
    }
    return out;
}

std::vector<std::u16string> fieldNamesIn(std::u16string_view text)
{
    std::vector<std::u16string> names;
    walkLine(
        text, [](std::u16string_view) {},
        [&](std::u16string_view inner, std::u16string_view) {
            if (inner != u"#") noteOnce(names, splitField(inner).name);
        });
    return names;
}

bool hasFields(std::u16string_view text) { return text.find(open) != std::u16string_view::npos; }

std::u16string utf16Of(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const uint8_t c = uint8_t(s[i]);
        uint32_t v = 0xFFFD;
        size_t n = 1;
        if (c < 0x80) v = c;
        else if ((c & 0xE0) == 0xC0) n = 2, v = c & 0x1F;
        else if ((c & 0xF0) == 0xE0) n = 3, v = c & 0x0F;
        else if ((c & 0xF8) == 0xF0) n = 4, v = c & 0x07;
        if (n > 1) {
            if (i + n > s.size()) {
                out += u'\uFFFD';
                break;
            }
            for (size_t k = 1; k < n; ++k) v = (v << 6) | (uint8_t(s[i + k]) & 0x3F);
        }
        if (v >= 0x10000) {
            v -= 0x10000;
            out += char16_t(0xD800 + (v >> 10));
            out += char16_t(0xDC00 + (v & 0x3FF));
        } else {
            out += char16_t(v);
        }
        i += n;
    }
    return out;
}

std::string utf8Of(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

} // namespace model
