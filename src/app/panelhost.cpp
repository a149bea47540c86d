// The main window as the host of its side panels: the settings, the active
// document, the step history, the floating windows, the deferred switch and
// the hover marks a panel asks for; and the attribute panel's notices.
#include "app/mainwindow.h"

#include "app/panelframes.h"
#include "panels/panelhost.h"
#include "ui/sidepanel.h"

namespace app {

namespace {

class shellPanelHost_t : public panels::panelHost_t {
public:
    explicit shellPanelHost_t(TForm1& f) : f_(f) {}
    settings::TParams& params() override { return *f_.params(); }
    canvas::TSandbox* activeDocument() override { return f_.activeDocument(); }
    void recordPanelStep(int32_t code) override
    {
        f_.panelController().recordStep(code, false);
        f_.panelController().refreshStepControls();
    }
    bool openCustomization(int32_t hostedCode) override
    {
        canvas::TSandbox* w = f_.activeDocument();
        if (f_.openHosted(hostedCode, w ? w->caption() : QString(), w)) return true;
        f_.showStatus(QStringLiteral("This customization is not available yet."));
        return false;
    }
    void switchPanelLater(int32_t code) override { f_.panelController().switchLater(code); }
    void changeTool(int32_t code) override { f_.panelController().changeTool(code); }
    void markSuggestion(int32_t k) override { f_.sidePanel()->markSuggestion(k); }
    void markToolbarButton(int32_t n) override
    {
        canvas::TProcs* procs = f_.procs();
        if (n > 0 && procs->buttonShown(n)) procs->stripMouseMove(procs->buttonRect(n).center());
        else procs->stripLeave();
    }
    void joinSelection() override { f_.joinCommand(); }
    void splitSelection() override { f_.splitCommand(); }
    void editPictureClips(int32_t mode) override { f_.editPictureClips(mode); }

private:
    TForm1& f_;
};

} // namespace

std::unique_ptr<panels::panelHost_t> makePanelHost(TForm1& f) { return std::make_unique<shellPanelHost_t>(f); }

void TForm1::refreshAttributePanel()
{
    if (panels::attributePanel_t* p = attributePanel()) p->selectionChanged();
}

void TForm1::toolStepChanged(int32_t step)
{
    if (panels::attributePanel_t* p = attributePanel()) p->toolStepChanged(step);
}

void TForm1::textHintsChanged(int32_t which)
{
    if (panels::attributePanel_t* p = attributePanel()) p->textHintsChanged(which);
}

void TForm1::extensionEnded()
{
    if (panels::attributePanel_t* p = attributePanel()) p->extensionEnded();
}

} // namespace app
