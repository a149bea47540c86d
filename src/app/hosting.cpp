// The panels of the floating windows, registered by code, and the commands
// that open them.
#include "app/mainwindow.h"

#include "canvas/gridedit.h"

#include "model/grid.h"
#include "ui/gridoptions.h"
#include "ui/pagesetup.h"

#include <QPointer>

namespace app {

void TForm1::registerHostedPanels()
{
    registerGridOptions();
    registerPictureWindow();
    TFormX_->setFactory(ui::hostedPageSetup, [this](const ui::hostRequest_t& r, QWidget* parent) {
        ui::pageSetupTarget_t target;
        if (auto* d = dynamic_cast<canvas::TSandbox*>(r.document)) {
            target.header = d->header();
            target.apply = [doc = QPointer<canvas::TSandbox>(d)](const page::pageset_t& s, int32_t type) {
                if (doc) doc->applyPageSetup(s, type, true);
            };
        }
        return new ui::TPage(*params_, std::move(target), parent);
    });
}

bool TForm1::openHosted(int32_t code, const QString& documentName, QWidget* document)
{
    const ui::hostedKind_t* kind = ui::hostedKind(code);
    if (!kind) return false;
    ui::THostWindow* host = kind->host == ui::hostId_t::formX ? TFormX_ : TFormY_;
    return host && host->openHosted(code, documentName, document);
}

bool TForm1::openPageSetup(canvas::TSandbox* document)
{
    if (document && document->isClosing()) document = nullptr;
    return openHosted(ui::hostedPageSetup, document ? document->caption() : QStringLiteral("New Files"), document);
}

void TForm1::registerGridOptions()
{
    TFormX_->setFactory(ui::hostedGridNewFiles, [this](const ui::hostRequest_t&, QWidget* parent) {
        return new ui::TOptions(ui::hostedGridNewFiles, params_->newFile,
                                [this](const settings::defaults_t& d) { params_->newFile = d; }, parent);
    });
    TFormX_->setFactory(ui::hostedGridCurrentFile, [this](const ui::hostRequest_t& r, QWidget* parent) -> ui::THostedPanel* {
        auto* w = dynamic_cast<canvas::TSandbox*>(r.document);
        if (!w || !w->header()) return nullptr;
        QPointer<canvas::TSandbox> doc(w);
        // The document takes the flags and densities, and both directions are
        // spaced equally again at once: one step of its history.
        return new ui::TOptions(ui::hostedGridCurrentFile, params_->defaultsFromDocument(w->header()->hdr()),
                                [this, doc](const settings::defaults_t& d) {
                                    if (!doc || !doc->header()) return;
                                    settings::TParams::defaultsToDocument(d, doc->header()->hdr());
                                    doc->grid().resetGrid(model::gridBoth);
                                    if (doc == activeDocument()) refreshDocumentMenus(doc);
                                    refreshUndoButtons();
                                },
                                parent);
    });
}

bool TForm1::openGridOptions(bool currentFile)
{
    if (!currentFile) return openHosted(ui::hostedGridNewFiles, QString());
    canvas::TSandbox* w = activeDocument();
    return w && openHosted(ui::hostedGridCurrentFile, w->caption(), w);
}

} // namespace app
