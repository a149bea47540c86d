// The selection inside a text being typed or edited, on the plain text: word
// boundaries for Ctrl with the arrows, Ctrl+Backspace and Ctrl+Delete,
// replacing a range (typing over a selection, cutting, pasting), and the
// plain text that goes to and comes from the system clipboard. Positions
// are 0-based offsets into the text's UTF-16 units; a line break is one
// unit (model::lineSeparator).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace canvas::textsel {

// The start of the word before `pos` (Ctrl+Left, Ctrl+Backspace): spaces,
// punctuation and line breaks before the caret are passed first.
int32_t wordStartBefore(std::u16string_view text, int32_t pos);
// The end of the word after `pos` (Ctrl+Right, Ctrl+Delete), likewise.
int32_t wordEndAfter(std::u16string_view text, int32_t pos);

// The selected range [from, to) of an anchor and a caret.
inline std::pair<int32_t, int32_t> ordered(int32_t anchor, int32_t caret)
{
    return anchor < caret ? std::pair{anchor, caret} : std::pair{caret, anchor};
}

// The text with [from, to) replaced by `insert`; the caret after the insert.
struct replaced_t {
    std::u16string text;
    int32_t caret = 0;
    // Line breaks the text gained (negative: lost).
    int32_t linesAdded = 0;
};
replaced_t replaceRange(std::u16string_view text, int32_t from, int32_t to, std::u16string_view insert);

// Plain text for the clipboard: line breaks as '\n'.
std::u16string toPlain(std::u16string_view text);
// Plain text from the clipboard as it is typed into a text: '\r\n', '\r'
// and '\n' become line breaks, tabs blanks, other control characters go.
std::u16string fromPlain(std::u16string_view plain);

} // namespace canvas::textsel
