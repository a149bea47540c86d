// Saving the rows of a preset editor into the settings: each kind's rules for
// which rows the pick lists show and which one they select next, and writing
// the changed table to the per-user store at once, so that a crash later in
// the run does not lose it.
#pragma once

#include "settings/params.h"

#include <cstdint>

namespace settings {

// The preset tables an editor saves.
enum class presetTable_t { widths, patterns, directions, angles, sizes, shadows };

// The direction-table number (1, 31, 41) of a direction kind; 0 for the others.
int32_t directionTableOf(presetTable_t t);

// The heaviest weight a preset may have. Anything heavier covers a whole
// page many times over; such a row stays unlisted like one that does not parse.
constexpr double maxPresetWeightMm = 1000.0;

// The weight editor's Save: every row is copied into the settings; a row
// whose text parses to a non-zero weight (its absolute value) is listed, an
// inch mark in the text makes the row inches; `currentRow` (1..12, 0 none)
// is marked to be selected by the next list built.
void saveWidthRows(TParams& p, const custThickness_t& rows, int32_t currentRow);
// The pattern editor's Save: as the weights, the inch mark looked for in the
// first dash only.
void savePatternRows(TParams& p, const custPattern_t& rows, int32_t currentRow);
// The angle editors (table 1 line directions, 31 text angles) and the font
// size editor (41): angles through the direction check, sizes as whole numbers.
void saveDirectionRows(TParams& p, int32_t table, const custDirection_t& rows, int32_t currentRow);
// A font size text as a whole number: decimal digits with an optional sign,
// nothing else; the absolute value. False for anything else, an empty text
// and numbers beyond 32 bits.
bool parseFontSize(const QString& text, int32_t& size);
// The shadow editor's Save: the rows as they are and the light direction (0..3).
void saveShadowRows(TParams& p, const custShadow_t& rows, int32_t lightDirection);

// Writes one table (for shadows also the light direction) into the store
// and commits it; false when the store could not be written (nothing shown).
bool storePresetTable(TParams& p, presetTable_t t);

} // namespace settings
