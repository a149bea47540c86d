// The panels of the floating windows, registered by code, and the commands
// that open them.
#include "app/mainwindow.h"

#include "app/viewcommands.h"
#include "canvas/gridedit.h"
#include "model/grid.h"
#include "output/desktopintegration.h"
#include "settings/firstsetup.h"
#include "ui/gridoptions.h"
#include "ui/installpanel.h"
#include "ui/pagesetup.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

namespace app {

namespace {

// Registers the document file type for this user with this program. No
// message for a failure: the store keeps its code and the next start repeats
// it; the log says why.
int32_t registerForUser()
{
    QStringList log;
    const int32_t failure = output::registerFileType(output::desktopFolders_t::ofUser(),
                                                     QCoreApplication::applicationFilePath(), &log);
    for (const QString& line : log) qInfo("%s", qPrintable(line));
    return failure;
}

} // namespace

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
    registerFirstTimeSetup();
    registerPresetEditors();
    registerAboutPanel();
}

void TForm1::registerFirstTimeSetup()
{
    TFormX_->setFactory(ui::hostedFirstTimeSetup, [this](const ui::hostRequest_t&, QWidget* parent) {
        return new ui::TInstall(
            [this](int32_t unit) {
                settings::completeSetup(*params_, unit, registerForUser);
                view_->showNewFileDefaults(params_->newFile);
            },
            parent);
    });
    // A completed setup opens the first document; a cancelled one (Cancel or
    // the close box) ends the program before any document opens.
    TFormX_->onHidden = [this](int32_t code, bool applied) {
        if (code != ui::hostedFirstTimeSetup) return;
        if (applied) {
            untitledTimer_.start();
            return;
        }
        QTimer::singleShot(500, this, [this] {
            if (onSetupCancelled_) onSetupCancelled_();
            else QApplication::quit();
        });
    };
}

// At every start: a registration that could not write everything before is
// repeated until it succeeds once. Nothing of it reaches the user.
void TForm1::repairRegistration()
{
    settings::settingsStore_t* store = params_->store();
    if (!store) return;
    settings::repairRegistration(*store, registerForUser);
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
