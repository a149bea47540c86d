// Bringing pictures in: the picture dialog, a document file pasted from it,
// the picture window in the first floating window (a new picture, or the
// clips of a selected picture item) and what its "Insert" does.
#include "app/mainwindow.h"

#include "canvas/insertpicture.h"
#include "canvas/picking.h"
#include "model/clipboard.h"
#include "model/docfile.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "panels/panelhost.h"
#include "render/picturesource.h"
#include "render/text.h"
#include "settings/folders.h"
#include "ui/dialogs.h"
#include "ui/docquestions.h"
#include "panels/picturewindow.h"
#include "ui/guidancetexts.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace app {

namespace {

const QString pictureFileFilter = QStringLiteral(
    "JPEG Image Files (*.jpg,*.jpeg)|*.jpg;*.jpeg|GIF Image Files (*.gif)|*.gif|Bitmaps (*.bmp)|*.bmp|"
    "Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|Lumora Files (*.lmra)|*.lmra|"
    "PNG Images (*.png)|*.png|SVG Drawings (*.svg)|*.svg|WebP Images (*.webp)|*.webp|"
    "TIFF Images (*.tif,*.tiff)|*.tif;*.tiff");
// The extensions of the filter's entries, in order (entry k + 1); the newer
// formats come last, so the remembered entry of older settings stays.
const QStringList pictureExtensions = {QStringLiteral("jpg"), QStringLiteral("gif"), QStringLiteral("bmp"),
                                       QStringLiteral("ico"), QStringLiteral("emf"), QStringLiteral("wmf"),
                                       QStringLiteral("lmra"), QStringLiteral("png"), QStringLiteral("svg"),
                                       QStringLiteral("webp"), QStringLiteral("tif")};
const QString documentExtension = QStringLiteral("lmra");

// The lists of every open document, for picture ids unique among them.
struct documentLists_t {
    std::vector<const model::itemList_t*> lists;
    model::pictureIdScope_t scope() const { return {lists.data(), static_cast<int32_t>(lists.size())}; }
};

} // namespace

bool TForm1::insertPicture() { return openPicture(); }

bool TForm1::openPicture()
{
    const int32_t entry = std::clamp(params_->picndx, 1, int32_t(pictureExtensions.size()));
    ui::fileRequest_t r;
    r.title = QStringLiteral("Open");
    r.folder = settings::dialogFolder(settings::folderKind_t::pictures, params_->picidr);
    r.filter = pictureFileFilter;
    r.filterIndex = entry;
    r.defaultExt = pictureExtensions[entry - 1];
    r.name = params_->lastPicture;
    const QString chosen = ui::dialogs().openFile(r);
    if (chosen.isEmpty()) return false;

    const QFileInfo file(chosen);
    params_->picidr = file.absolutePath();
    const QString ext = file.suffix().remove(QLatin1Char('.')).toLower();
    if (const qsizetype k = pictureExtensions.indexOf(ext == QLatin1String("tiff") ? QStringLiteral("tif") : ext); k >= 0)
        params_->picndx = int32_t(k) + 1;
    if (documents().empty()) newDocument();
    if (ext == documentExtension) return pastePictureDocument(file.absoluteFilePath());
    params_->lastPicture = file.absoluteFilePath();
    return openPictureWindow(params_->lastPicture);
}

bool TForm1::dropPictureFile(const QString& path)
{
    // As choosing the file under Insert ▸ Picture: its folder is remembered.
    params_->picidr = QFileInfo(path).absolutePath();
    params_->lastPicture = QFileInfo(path).absoluteFilePath();
    if (documents().empty()) newDocument();
    return openPictureWindow(params_->lastPicture);
}

void TForm1::dragEnterEvent(QDragEnterEvent* e)
{
    if (!render::droppedPictureFile(e->mimeData()->urls()).isEmpty()) e->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* e)
{
    const QString file = render::droppedPictureFile(e->mimeData()->urls());
    if (file.isEmpty()) return;
    e->acceptProposedAction();
    // After the drag is over: the picture window is modal-free but takes focus.
    QTimer::singleShot(0, this, [this, file] { dropPictureFile(file); });
}

bool TForm1::pastePictureDocument(const QString& path)
{
    canvas::TSandbox* w = activeDocument();
    model::itemList_t& clipboard = model::clipboardList();
    model::itemList_t loaded;
    ui::docQuestions_t questions;
    std::string error;
    model::freeList(clipboard);
    if (!w || !model::readDocument(path.toStdString(), loaded, questions, &error)) {
        if (!error.empty()) {
            QString why = QString::fromStdString(error);
            why[0] = why[0].toUpper();
            ui::dialogs().message(ui::msgKind_t::warning, why, ui::btnOk);
        }
        model::freeList(loaded);
        return false;
    }
    // The file's pictures keep their own data: an id that an open document
    // uses for another picture is replaced.
    documentLists_t open;
    for (canvas::TSandbox* d : documents()) open.lists.push_back(&d->items());
    open.lists.push_back(&loaded);
    for (model::item_t* data = loaded.head; data; data = data->next) {
        if (data->kind != model::kindPictureData) continue;
        bool taken = false;
        for (canvas::TSandbox* d : documents()) taken = taken || model::findPictureData(d->items(), data->pictureId);
        if (!taken) continue;
        const int32_t old = data->pictureId, fresh = canvas::nextPictureId(open.scope());
        for (model::item_t* it = loaded.head; it; it = it->next)
            if (it->pictureId == old) it->pictureId = fresh;
    }
    model::moveList(loaded, clipboard);
    params_->lastPicture = path;
    pasteCommand();
    return true;
}

bool TForm1::openPictureWindow(const QString& fileName)
{
    return openHosted(ui::hostedPictureFile, fileName);
}

void TForm1::editPictureClips(int32_t mode)
{
    canvas::TSandbox* w = activeDocument();
    const model::item_t* pic = w ? model::singleSelected(w->items()) : nullptr;
    if (!pic || pic->itemType != model::typePicture || pic->pictureId == 0) {
        showStatus(QStringLiteral("Select one picture to change its clips."));
        return;
    }
    const model::item_t* data = model::findPictureData(w->items(), pic->pictureId);
    const QString name = data ? QString::fromStdU16String(model::getText(data)) : QString();
    openHosted(mode == ui::hostedRoundClip ? ui::hostedRoundClip : ui::hostedRectClip, name, w);
}

void TForm1::offerPicture(canvas::TSandbox*, const QString& path)
{
    // The window stays a new document; the picture waits in the picture window.
    QTimer::singleShot(0, this, [this, path] { openPictureWindow(path); });
}

void TForm1::pictureDoubleClicked(canvas::TSandbox* w)
{
    if (w == activeDocument()) editPictureClips(ui::hostedRectClip);
}

bool TForm1::insertFromPictureWindow(const canvas::pictureInsert_t& request, canvas::TSandbox* w)
{
    if (!w || w->isClosing()) return false;
    // The inserted pictures come selected for the pointer: whatever tool
    // was active (a text being typed, a shape's points) is left first.
    w->selectTool(ui::panelInsert);
    documentLists_t open;
    for (canvas::TSandbox* d : documents()) open.lists.push_back(&d->items());
    if (!canvas::insertPictureInto(*w, request, open.scope())) return false;
    refreshUndoButtons();
    refreshSelectionState();
    if (const int32_t panel = canvas::panelForSelection(w->items())) showPanel(panel);
    showGuidance(ui::guidancePictureInserted);
    return true;
}

void TForm1::registerPictureWindow()
{
    // Picture files dragged from a file manager onto the editor (its
    // documents included) open in the picture window.
    setAcceptDrops(true);
    auto attach = [this](panels::TPict* p, QPointer<canvas::TSandbox> doc) {
        p->onInsert = [this, doc, p](const canvas::pictureInsert_t& r) {
            canvas::TSandbox* w = p->mode() == canvas::pictureMode_t::newPicture ? activeDocument() : doc.data();
            return insertFromPictureWindow(r, w);
        };
        // The hint's link runs the host's left button once the press is over.
        p->onInsertLink = [this] { QTimer::singleShot(0, this, [this] { TFormX_->leftClicked(); }); };
        p->onCustomize = [this](int32_t code) { panelHost().openCustomization(code); };
        p->keysBlocked = [this] { return TFormY_ && TFormY_->isVisible(); };
        // A picture dropped on the window replaces the one it shows.
        p->onFileDropped = [this](const QString& file) {
            QTimer::singleShot(0, this, [this, file] { dropPictureFile(file); });
        };
    };
    TFormX_->setFactory(ui::hostedPictureFile, [this, attach](const ui::hostRequest_t& r, QWidget* parent) -> ui::THostedPanel* {
        auto* p = new panels::TPict(*params_, ui::hostedPictureFile, parent);
        attach(p, nullptr);
        // A picture that cannot be shown opens no window: the message says
        // why, and there is nothing to insert.
        if (!p->openFile(r.documentName)) {
            ui::dialogs().message(ui::msgKind_t::warning, p->loadError(), ui::btnOk);
            delete p;
            return nullptr;
        }
        return p;
    });
    for (int32_t code : {ui::hostedRectClip, ui::hostedRoundClip}) {
        TFormX_->setFactory(code, [this, attach, code](const ui::hostRequest_t& r, QWidget* parent) -> ui::THostedPanel* {
            auto* w = dynamic_cast<canvas::TSandbox*>(r.document);
            if (!w) return nullptr;
            auto* p = new panels::TPict(*params_, code, parent);
            attach(p, w);
            if (!p->openItem(w->items(), model::singleSelected(w->items()))) {
                ui::dialogs().message(ui::msgKind_t::warning, p->loadError(), ui::btnOk);
                delete p;
                return nullptr;
            }
            return p;
        });
    }
}

} // namespace app
