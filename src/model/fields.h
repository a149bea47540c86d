// Fields in texts for a data merge: ${name} is replaced by the value of that
// column, ${name:=default} falls back to the default when the value is
// empty, ${#} is the running number of the card and $${ writes a literal
// ${. A line that holds nothing but fields (and blanks) which are all empty
// is left out, so an address without a second line leaves no gap.
//
// Pure functions over UTF-16 text, used by the render pass's text hook for
// every kind of text that shows field values.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace model {

// The value of a field name for the row being merged; none when the source
// has no column of that name (an unknown field, printed as it stands).
using fieldLookup_t = std::function<std::optional<std::u16string_view>(std::u16string_view name)>;

// What substitution met.
struct fieldReport_t {
    std::vector<std::u16string> unknown;  // names the source has no column for
    std::vector<std::u16string> missing;  // names whose empty value was printed as nothing
};

// `text` with its fields replaced; lines are split at `separator`.
// `number` is what ${#} writes. Each name is reported once.
std::u16string substituteFields(std::u16string_view text, char16_t separator, const fieldLookup_t& lookup,
                                int64_t number, fieldReport_t* report = nullptr);

// The names of the fields a text uses, each once, in order (${#} not among them).
std::vector<std::u16string> fieldNamesIn(std::u16string_view text);

// Whether a text holds a field at all (a cheap test before substituting).
bool hasFields(std::u16string_view text);

// UTF-8 to UTF-16 and back, for values and names read from a table.
std::u16string utf16Of(std::string_view utf8);
std::string utf8Of(std::u16string_view utf16);

} // namespace model
