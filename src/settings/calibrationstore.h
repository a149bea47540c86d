// A printer's measured distortion, kept per printer name and paper source in
// the settings store, so that prints to that printer can be corrected.
#pragma once

#include "settings/store.h"

#include <QString>

#include <optional>

namespace settings {

// Where a printer puts a point it was asked to print at (x, y), in millimetres
// from the paper's top-left corner: measured = rotate(rotation) · scale(sx, sy)
// · (x, y) + (dx, dy). The rotation is in degrees, clockwise on the paper (the
// y axis runs down the page).
struct printerDistortion_t {
    double dx = 0, dy = 0;
    double sx = 1, sy = 1;
    double rotation = 0;

    bool operator==(const printerDistortion_t&) const = default;
};

// The store key and the value name of one printer and paper source
// ("calibration.PRINTER.SOURCE", both percent-encoded but for spaces).
inline const QString calibrationKey = QStringLiteral("Calibration");
QString calibrationName(const QString& printer, const QString& paperSource);

// Whether a distortion is one a printer can plausibly have and may be stored
// and applied: finite, scales within 10 %, offsets within 20 mm, rotation
// within 5 degrees. Anything else is a typing slip or a wrong sheet.
bool plausibleDistortion(const printerDistortion_t& d);

// The stored distortion of a printer and paper source; none when nothing (or
// something unreadable or implausible) is stored.
std::optional<printerDistortion_t> loadCalibration(const settingsStore_t& store, const QString& printer,
                                                    const QString& paperSource);
// Stores a plausible distortion (false, storing nothing, for any other).
bool saveCalibration(settingsStore_t& store, const QString& printer, const QString& paperSource,
                     const printerDistortion_t& d);
bool clearCalibration(settingsStore_t& store, const QString& printer, const QString& paperSource);

// The stored text form, "DX DY SX SY DEG" with enough digits to round-trip,
// and its reader (none for anything else).
QString distortionText(const printerDistortion_t& d);
std::optional<printerDistortion_t> parseDistortionText(const QString& text);

} // namespace settings
