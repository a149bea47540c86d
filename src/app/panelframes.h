// The captions and title colours of the side panels by panel code, and the
// frame shown for a code whose panel has no controls of its own yet.
#pragma once

#include "ui/panellook.h"

#include <QString>

#include <cstdint>

namespace app {

QString panelCaption(int32_t code);
int32_t panelCaptionColour(int32_t code);

// A panel frame with the code's title bar.
ui::panelFrame_t* makePanelFrame(int32_t code, QWidget* parent = nullptr);

} // namespace app
