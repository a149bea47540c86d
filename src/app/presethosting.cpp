// The preset editors and the speed options in the floating windows: their
// factories, what Save does beyond the editor's copy (the store, the lists
// that show the presets, the light direction of the open documents), and the
// commands that open them.
#include "app/mainwindow.h"

#include "app/viewcommands.h"
#include "canvas/sandbox.h"
#include "panels/panelhost.h"
#include "panels/picturewindow.h"
#include "panels/frameeffects.h"
#include "render/picture.h"
#include "settings/presetsave.h"
#include "ui/preseteditors.h"
#include "ui/shadoweditor.h"
#include "ui/speedpanel.h"

#include <QAction>
#include <QPointer>

namespace app {

namespace {

settings::presetTable_t tableOfCode(int32_t code)
{
    switch (code) {
    case ui::hostedLineWeights: return settings::presetTable_t::widths;
    case ui::hostedLinePatterns: return settings::presetTable_t::patterns;
    case ui::hostedLineAngles: return settings::presetTable_t::directions;
    case ui::hostedTextAngles: return settings::presetTable_t::angles;
    case ui::hostedFontSizes: return settings::presetTable_t::sizes;
    default: return settings::presetTable_t::shadows;
    }
}

} // namespace

void TForm1::presetsSaved(int32_t code)
{
    settings::storePresetTable(*params_, tableOfCode(code));
    // Every list that shows the presets is built again now.
    if (panels::attributePanel_t* p = attributePanel()) p->customizationClosed(code);
    if (auto* pict = dynamic_cast<panels::TPict*>(TFormX_ ? TFormX_->hostedPanel() : nullptr))
        if (pict->effects) pict->effects->customizationClosed(code);
    if (code == ui::hostedShadows) lightDirectionTimer_.start();
}

void TForm1::registerPresetEditors()
{
    auto editor = [this](int32_t code, auto make) {
        ui::THostWindow* host = ui::hostedKind(code)->host == ui::hostId_t::formX ? TFormX_ : TFormY_;
        host->setFactory(code, [this, code, make](const ui::hostRequest_t&, QWidget* parent) -> ui::THostedPanel* {
            ui::TPresetFrame* f = make(parent);
            f->onSaved = [this, code] { presetsSaved(code); };
            return f;
        });
    };
    editor(ui::hostedLineWeights, [this](QWidget* parent) { return new ui::TThickness(*params_, parent); });
    editor(ui::hostedLinePatterns, [this](QWidget* parent) { return new ui::TPatterns(*params_, parent); });
    for (int32_t mode : {ui::directionModeLines, ui::directionModeText, ui::directionModeSizes})
        editor(mode, [this, mode](QWidget* parent) { return new ui::TDirections(*params_, mode, parent); });
    editor(ui::hostedShadows, [this](QWidget* parent) { return new ui::TShadow(*params_, parent); });

    TFormY_->setFactory(ui::hostedSpeed, [](const ui::hostRequest_t& r, QWidget* parent) -> ui::THostedPanel* {
        ui::speedTarget_t target;
        auto* w = dynamic_cast<canvas::TSandbox*>(r.document);
        if (w && !w->isClosing()) {
            const render::renderView_t& v = w->view();
            target.present = true;
            target.showPictures = v.showPictures;
            target.showShadows = v.showShadows;
            target.show3D = v.show3D;
            target.apply = [doc = QPointer<canvas::TSandbox>(w)](bool pictures, bool shadows, bool threeD) {
                if (!doc || doc->isClosing()) return;
                render::renderView_t& view = doc->view();
                // Cached pictures carry their 3-D frames.
                if (view.show3D != threeD)
                    for (model::item_t* it = doc->items().head; it; it = it->next)
                        if (it->itemType == model::typePicture) render::dropPictureCache(it);
                view.showPictures = pictures;
                view.showShadows = shadows;
                view.show3D = threeD;
                doc->repaintAll(true);
            };
        }
        return new ui::Tspeed(std::move(target), parent);
    });
    if (QAction* speed = view_->menu().speedItem) {
        speed->setEnabled(true);
        QObject::connect(speed, &QAction::triggered, this, [this] { openSpeedOptions(); });
    }
}

bool TForm1::openSpeedOptions()
{
    canvas::TSandbox* w = activeDocument();
    const QString title = w ? QStringLiteral("Speed - ") + w->caption() : QStringLiteral("Speed");
    return openHosted(ui::hostedSpeed, title, w);
}

} // namespace app
