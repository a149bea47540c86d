// The captions and title colours of the side panels by panel code, and the
// frame shown for a code without controls of its own (the guidance pages).
#pragma once

#include "ui/panellook.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace panels {
class panelHost_t;
}

namespace app {

QString panelCaption(int32_t code);
int32_t panelCaptionColour(int32_t code);

// A panel frame with the code's title bar.
ui::panelFrame_t* makePanelFrame(int32_t code, QWidget* parent = nullptr);

// The side panel of a code other than the insert panel: the panel that
// shows it, or a titled frame for a code without controls of its own.
ui::panelFrame_t* makeSidePanel(int32_t code, panels::panelHost_t& host, QWidget* parent = nullptr);

class TForm1;
std::unique_ptr<panels::panelHost_t> makePanelHost(TForm1& f);

} // namespace app
