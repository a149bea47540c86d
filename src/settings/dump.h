// The effective settings as a JSON object (the command-line tool prints it).
#pragma once

#include "settings/params.h"

#include <QJsonObject>

namespace settings {

QJsonObject settingsJson(const TParams& p);

} // namespace settings
