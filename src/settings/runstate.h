// What the settings object learns during a run and never stores: the screen,
// the installed fonts, the zoom in use, the last files chosen and the number
// separators of the system.
#pragma once

#include "settings/fontentry.h"

#include <QChar>
#include <QString>

#include <cstdint>
#include <vector>

namespace settings {

struct runState_t {
    QString lastOpened, lastPicture;
    int32_t screenPpiX = 96, screenPpiY = 96;
    double pxPerMmX = 96 / 25.4, pxPerMmY = 96 / 25.4;
    double currentZoom = 1.0;
    int32_t untitledCounter = 0;
    std::vector<fontEntry_t> fontList;  // the installed families, filled by the main window at start-up

    // The system's decimal separator found at start-up; reals and the default
    // texts of new files are written with it.
    QChar decimalSeparator = QLatin1Char('.');
    // The separator number texts currently use (reading stored reals switches
    // it to the point until the settings are written).
    QChar numberSeparator = QLatin1Char('.');
};

} // namespace settings
