// The settings object as the editor's windows reach it: the main window owns
// it, the document windows and the toolbar read it through params().
#pragma once

#include "model/item.h"

#if __has_include("settings/params.h")
#include "settings/params.h"
#define LUMORA_HAVE_SETTINGS 1
#else
// The settings library is not part of this build yet: a minimal settings
// object with the same names keeps the shell working (nothing is stored).
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
namespace settings {
constexpr int32_t reopenCount = 16;
using reopenarr_t = std::array<QString, reopenCount>;
struct defaultsRec_t {
    double anchorStepX = 0, anchorStepY = 0;
    double canvasLeft = 0, canvasTop = 0, canvasWidth = 0, canvasHeight = 0;
};
struct defaults_t {
    int32_t units = 3;
    double pxPerUnitX = 96, pxPerUnitY = 96;
    int32_t angles = 1;
    uint8_t showGridX = 1, showGridY = 1, snapX = 0, snapY = 0, showAnchorsX = 1, showAnchorsY = 1;
    defaultsRec_t recInch{0.25, 0.25, 0.2, 0.2, 8.5, 11};
};
class TParams {
public:
    explicit TParams(void* = nullptr) {}
    int32_t lastMode = 0;
    defaults_t newFile;
    reopenarr_t reopen;
    QString docdir = QStringLiteral("\\My Documents");
    QString lastOpened, lastPicture;
    double currentZoom = 1.0;
    int32_t untitledCounter = 0;
    QStringList fontList;
    int32_t lgtdir = 0;
    QString uiFont = QStringLiteral("Verdana");
    int32_t uiFontSize = 8;
    int32_t rulerTickColor = 0x505050, rulerLabelColor = 0x404040;
    QString rulerFont = QStringLiteral("Arial");
    int32_t rulerFontSize = 7;
    void initSettings() {}
    void saveAllSettings() {}
};
} // namespace settings
#endif

namespace canvas {

// The settings object of the run; null before the main window made it.
settings::TParams* paramsOrNull();
settings::TParams& params();
void setParams(settings::TParams* p);

// Fills a new document's header from the settings for new files: unit, page,
// grid flags and spacings, design type and page setup.
void newFileHeader(const settings::TParams& p, model::headerBody_t& h);

} // namespace canvas
