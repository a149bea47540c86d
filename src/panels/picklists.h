// The attribute pick lists' contents: for each list kind its built-in
// entries, the "Customize..." entry and the user's own entries from the
// preset tables, how a value selects an entry and how an entry reads back.
// The widget that shows them is in picklistwidget.h.
#pragma once

#include "settings/params.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace panels {

enum class listKind_t {
    colour,
    fill,
    weight,
    frameWeight,
    pattern,
    lineDirection,
    textAngle,
    fontSize,
    shadow,
    surface,
    // Arrowheads: the kind at a line's start or end (value: the kind code),
    // and their size (value: the size code).
    headStart,
    headEnd,
    headSize,
};

struct pickEntry_t {
    enum role_t { builtIn, customize, custom, solid, clear } role = builtIn;
    QString text;
    int32_t colour = -1;  // colour and fill lists: the swatch; -1 none
    double value = 0;     // weights (mm), directions (degrees), sizes, pattern indexes, surfaces
    settings::shadowTriple_t shadow;
    int32_t pixels = -1;  // custom weights: the record's pixels
    std::vector<double> segments;  // custom patterns: dash, gap, ... (mm)
};

// Position k among a list's custom entries → the preset record number
// 1..12 it shows; 0 for unused positions.
using customMap_t = std::array<int32_t, settings::presetRows>;

struct builtList_t {
    listKind_t kind = listKind_t::colour;
    std::vector<pickEntry_t> entries;
    customMap_t mapping{};
    // A custom record created to be selected next: its index and value, -1 when none.
    int32_t selectNextIndex = -1;
    double selectNextValue = 0;
};

// Index of the "Customize..." entry, -1 when the kind has none.
int32_t customizeIndex(listKind_t kind);
// Index of the first custom entry.
int32_t firstCustomIndex(listKind_t kind);

// Builds the entries. A listed custom record flagged `selectNext` becomes the
// entry to select and loses the flag; the pattern, direction and font size
// lists store it as the next item's setting themselves.
builtList_t buildList(listKind_t kind, settings::TParams& p);

// The colours after the sixteen standard ones, in list order: the used dialog
// colours (-1 for a text that is not hexadecimal), then the saved colours.
std::vector<int32_t> extraColours(const settings::TParams& p);
// Whether the colour is one the colour list shows.
bool isListedColour(const settings::TParams& p, int32_t colour);

int32_t indexOfColour(const settings::TParams& p, int32_t colour);
int32_t colourAt(const settings::TParams& p, int32_t index);
int32_t indexOfFill(const settings::TParams& p, int32_t fill);
int32_t fillAt(const settings::TParams& p, int32_t index);

int32_t indexOfWeight(const settings::TParams& p, double mm, bool frame);
double weightAt(const settings::TParams& p, const customMap_t& map, int32_t index, bool frame);

int32_t indexOfPattern(int32_t builtIn);
// A custom pattern's lengths (mm) → its entry; -1 when no listed record has them.
int32_t indexOfCustomPattern(const settings::TParams& p, const double* mm, int32_t count);

int32_t indexOfDirection(const settings::TParams& p, double degrees, bool text);
double directionAt(const settings::TParams& p, const customMap_t& map, int32_t index, bool text);

int32_t indexOfSize(const settings::TParams& p, int32_t size);
int32_t sizeAt(const settings::TParams& p, const customMap_t& map, int32_t index);

int32_t indexOfShadow(const settings::TParams& p, int32_t elevation, int32_t fade, int32_t lightness);
// "Customize..." and indexes past the end leave `current`.
settings::shadowTriple_t shadowAt(const settings::TParams& p, const customMap_t& map, int32_t index,
                                  settings::shadowTriple_t current);

// Head lists hold their codes in order: the entry of a code is the code.
bool isHeadKind(listKind_t kind);

int32_t indexOfSurface(int32_t surface);
int32_t surfaceAt(int32_t index);

// Stored list positions: an index the list does not have (past its end or
// negative) falls back to the list's default entry and resets the setting.
int32_t storedWeightIndex(int32_t& tab, double& weight, int32_t count);
int32_t storedPatternIndex(settings::TParams& p, int32_t count);
int32_t storedDirectionIndex(settings::TParams& p, bool text, int32_t count);
int32_t storedSizeIndex(settings::TParams& p, int32_t count);

} // namespace panels
