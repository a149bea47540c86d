// The font families the text panel offers and the character sets each one
// covers. The font database tells which writing systems a family supports;
// these are turned into the code-page bits a stored text's character set is
// checked against (bit 0 Western, 1 Central/Eastern European, 2 Cyrillic,
// 3 Greek, 4 Turkish, 5 Hebrew, 6 Arabic, 7 Baltic, 16 Thai, 17 Japanese,
// 18 Simplified Chinese, 19 Korean, 20 Traditional Chinese).
#pragma once

#include "settings/fontentry.h"

#include <QFontDatabase>
#include <QList>
#include <QStringList>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace panels {

// The longest family name a text item can store.
constexpr int32_t maxFontName = 32;

struct installedFamily_t {
    QString name;
    std::vector<QFontDatabase::WritingSystem> systems;
};

// The code-page bits of the writing systems: Latin stands for the four
// Latin code pages (Western, Central/Eastern European, Turkish, Baltic).
uint32_t codePagesOf(const std::vector<QFontDatabase::WritingSystem>& systems);

// The list the text panel shows: families whose names fit a text item
// (at most 32 characters, single-byte), each once, sorted by the system's
// string comparison, no character set chosen yet.
std::vector<settings::fontEntry_t> makeFontList(const std::vector<installedFamily_t>& families);

// The scalable families of the font database with their writing systems.
std::vector<installedFamily_t> installedFamilies();

// The entry named `name` without regard to case (the last such entry when
// several are); -1 when there is none.
int32_t findFont(const std::vector<settings::fontEntry_t>& list, const QString& name);

struct characterSet_t {
    const char* name;
    int32_t code;     // as stored in a text's fontCharset
    int32_t codePage; // its coverage bit
};
// The character sets in the order the list offers them.
extern const std::array<characterSet_t, 13> characterSets;
constexpr int32_t charsetNone = 0;
constexpr const char* charsetNoneName = "n/a";

// The codes the character set list offers for a font covering `codePages`:
// "n/a" (0) first, then each covered set.
std::vector<int32_t> charsetCodes(uint32_t codePages);

// The installed family that draws texts set in `name` (a font that is not
// installed); empty when the name itself resolves.
QString substituteFamily(const QString& name);
// The entry text of a code ("n/a" for 0, empty for an unknown code).
QString charsetName(int32_t code);

} // namespace panels
