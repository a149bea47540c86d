// Design types and the "Quick select" preset rows of the page setup: their
// list texts, applying a row to a page setup, recognising a row in typed
// values, and the default page setup of every design type. They are the
// settings' defaults for new files, hence kept with the settings.
#pragma once

#include "settings/pageset.h"

#include <QStringList>

namespace page {

// UI name and chooser description of a design type (1..11); empty otherwise.
QString designTypeName(int32_t type);
QString designTypeDescription(int32_t type);

// The list texts of "Quick select": the pixel rows for unit 1 whatever the
// type; the Illustrations or card/brochure rows of the type in millimetres
// and inches; empty for types 6..9 (and any unknown type) in those units.
QStringList presetList(int32_t type, int32_t unit);

// Writes preset `row` of (type, unit) into setup.measuresOf(unit), sets the
// orientation where the row names one, and stores `row` as that unit's
// presetIndex. False (and nothing changed) when there is no such row.
bool applyPreset(pageset_t& setup, int32_t type, int32_t unit, int32_t row);

// The row whose values equal the current measures of `unit`, or -1. Later
// rows replace earlier matches.
int32_t matchPreset(const pageset_t& setup, int32_t type, int32_t unit);

// The page setup of a design type before the user changes it. `defaultUnit`
// is the user's default unit (Digital Images always start in pixels).
pageset_t defaultPageSetup(int32_t type, int32_t defaultUnit = 3);

} // namespace page
