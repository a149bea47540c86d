// Page setup records: the measures of one page setup in one unit (`miry_t`),
// the page setup of one design type (`pageset_t`), and measure parsing.
// They sit with the settings, which store one page setup per design type;
// the names keep the `page` namespace of the subject they belong to.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <string>

namespace page {

constexpr int32_t designTypeCount = 11;
constexpr int32_t portrait = 1;
constexpr int32_t landscape = 2;

// The measures of one page setup in one unit, as typed. An inch value keeps
// its fraction form ("8 1/2"); an empty field stays empty.
struct miry_t {
    int32_t presetIndex = -1;  // "Quick select" row last chosen or matched, -1 none
    QString paperWidth, paperHeight, cardWidth, cardHeight;
    QString marginLeft, marginTop, marginRight, marginBottom;
    QString rows, columns, rowGap, columnGap;
    QString extraX, extraY;
    uint8_t rowFold = 0;
    uint8_t columnFold = 0;

    static constexpr int fieldCount = 14;
    // The fourteen texts in record order, i = 1..14 (paperWidth .. extraY).
    QString& field(int i);
    const QString& field(int i) const;

    friend bool operator==(const miry_t&, const miry_t&) = default;
};

// The page setup of one design type. The three units hold independent values;
// switching the unit never converts between them.
struct pageset_t {
    int32_t pageOrientation = portrait;  // 1 portrait, 2 landscape
    int32_t unit = 3;                    // 1 pixels, 2 millimetres, 3 inches
    std::array<miry_t, 3> measures;      // indexed by unit - 1

    // The measures of `u` (1..3); any other value gives the pixel record.
    miry_t& measuresOf(int32_t u) { return measures[(u >= 1 && u <= 3) ? u - 1 : 0]; }
    const miry_t& measuresOf(int32_t u) const { return measures[(u >= 1 && u <= 3) ? u - 1 : 0]; }

    friend bool operator==(const pageset_t&, const pageset_t&) = default;
};

// One page setup per design type, indexed by type - 1.
using pagesetArr_t = std::array<pageset_t, designTypeCount>;

// Exchanges every width/height pair of a measure record (paper, card,
// left/top and right/bottom margins, rows/columns, gaps, extras, folds), as a
// change of orientation does.
void swapOrientation(miry_t& m);

// Reads a page measure in `unit`: blanks trimmed, empty reads 0, comma or
// point; in inches a trailing double quote is dropped and a signed mixed
// fraction ("8 1/2", "8-1/2", "-1/4") is accepted. False when it fails.
bool parsePageMeasure(const QString& text, int32_t unit, double& value);
// Rows and columns: a whole number (optionally signed), blanks trimmed.
bool parsePageWhole(const QString& text, int32_t& value);

// The document header's text of a page setup: the fourteen measure texts in
// record order, each followed by U+07EC, so that "8 1/2" comes back as typed.
std::u16string pageTextsOf(const miry_t& m);
// Fills the fourteen texts of `m` from a header text (fields missing at the
// end become empty; reading stops at a NUL and after 1,024,000 characters).
void readPageTexts(const std::u16string& text, miry_t& m);

// Design type of a stored number: readers take the absolute value.
inline int32_t designTypeOf(int32_t stored)
{
    return stored == INT32_MIN ? 0 : (stored < 0 ? -stored : stored);
}
// Card design types (2, 3, 4, 5, 11): the canvas is one card.
bool isCardType(int32_t type);

} // namespace page
