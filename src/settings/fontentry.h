// One installed font family as the text panel offers it: its name, the
// character sets it covers and the character set last chosen for it.
#pragma once

#include <QString>

#include <cstdint>

namespace settings {

struct fontEntry_t {
    QString name;             // at most 32 characters
    uint32_t codePages = 0;   // coverage bits: 0 Western, 1 Central/Eastern European, 2 Cyrillic, ...
    int32_t lastCharset = 0;  // chosen in this run for the next text; 0 none
};

} // namespace settings
