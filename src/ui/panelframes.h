// The captions and title colours of the side panels by panel code, and the
// frame shown for a code whose panel has no controls of its own yet.
#pragma once

#include "ui/panellook.h"

#include <QString>

#include <cstdint>

namespace ui {

QString panelCaption(int32_t code);
int32_t panelCaptionColour(int32_t code);

// A panel frame with the code's title bar.
panelFrame_t* makePanelFrame(int32_t code, QWidget* parent = nullptr);

} // namespace ui
