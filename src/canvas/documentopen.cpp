// Opening a document window: a new document from the settings for new
// files, a document file, or a picture file offered for insertion.
#include "canvas/sandbox.h"

#include "canvas/shellparams.h"
#include "canvas/toolsequence.h"
#include "model/docfile.h"
#include "model/itemlist.h"
#include "page/newdocument.h"
#include "render/picturesource.h"
#include "render/text.h"
#include "ui/dialogs.h"
#include "ui/docquestions.h"

#include <QFileInfo>

#include <cstring>

namespace canvas {

namespace {

// Picture files start a new document that offers the picture for insertion.
bool isPictureName(const QString& name) { return render::pictureFormatOf(name.trimmed()) != 0; }

} // namespace

void TSandbox::resetForDocument()
{
    ready_ = false;
    stopTimers();
    model::freeList(items_);
    untitledNumber_.clear();
    keyboardEnabled_ = true;
    lastMouse_ = {};
    viewOrigin_ = pageOnScreen_ = {};
    closing_ = layoutBusy_ = false;
    view_.selectionUnder = render::savedArea_t{};
    tools_->cancel();
    for (interaction_t* i : interactions()) i->overlayLost();
}

// The header and grid of a new document, from the settings for new files,
// at 100 %.
void TSandbox::createHeader(int32_t number)
{
    settings::TParams& p = params();
    p.currentZoom = 1.0;
    if (host_) host_->zoomControlsChanged();
    page::createNewDocument(items_, p, number);
}

// Reads a document file into the window. A file without a header (an empty
// file is a valid empty document) keeps the new document's page and takes
// the file's records after it. False when the file could not be read or the
// user refused it; the new document then stays. A file the user chose to
// open although it is not a valid document opens as an untitled document.
bool TSandbox::readDocumentFile(int32_t number, const QString& path)
{
    ui::docQuestions_t q;
    std::string error;
    model::itemList_t loaded;
    if (!model::readDocument(path.toStdString(), loaded, q, &error)) {
        // Every sentence of the reader names the file; a refusal says nothing.
        if (!error.empty()) {
            QString why = QString::fromStdString(error);
            why[0] = why[0].toUpper();
            ui::dialogs().message(ui::msgKind_t::warning, why, ui::btnOk);
        }
        return false;
    }
    if (model::findHeader(loaded)) {
        model::freeList(items_);
        model::moveList(loaded, items_);
    } else {
        while (model::item_t* it = loaded.head) {
            model::unlinkItem(loaded, it);
            model::appendItem(items_, it);
        }
        model::invalidateIds(items_);
    }
    model::item_t* rh = header();
    model::selectOnly(items_, nullptr);
    rh->docNumber = number;
    if (!(rh->hdr().zoom > 0.0 && rh->hdr().zoom <= 100.0)) rh->hdr().zoom = 1.0;
    params().currentZoom = rh->hdr().zoom;
    geometry::pxPerUnit(rh->hdr().unit, rh->hdr().pxPerUnitX, rh->hdr().pxPerUnitY);
    geometry::computeCanvasPixels(rh);
    render::layOutTexts(items_);
    mode_ = modePointer;
    if (q.openedInvalid()) {
        // What was read from a file that is not a document is not that
        // file: it opens untitled and unsaved, so that Save asks for a name
        // instead of writing a document over the original bytes.
        fileName_.clear();
        untitledNumber_ = QString::number(++params().untitledCounter);
        model::setModified(items_, true);
    } else {
        fileName_ = path;
        model::setModified(items_, false);
    }
    if (host_) host_->zoomControlsChanged();
    return true;
}

bool TSandbox::openDocument(int32_t number, const QString& name)
{
    settings::TParams& p = params();
    resetForDocument();
    fileName_ = name;
    createHeader(number);

    // The tool of the window deactivated last.
    const int32_t last = p.lastMode;
    mode_ = isInsertionTool(last) ? static_cast<modeCode_t>(last) : modePointer;
    handleCode_ = 0;

    ready_ = true;  // layout runs from here on
    layoutView();
    ready_ = false;

    bool readOk = false;
    const QString trimmed = name.trimmed();
    if (!trimmed.isEmpty() && isPictureName(trimmed)) {
        p.lastPicture = QFileInfo(trimmed).absoluteFilePath();
        untitledNumber_ = QString::number(++p.untitledCounter);
        fileName_.clear();
        if (host_) host_->offerPicture(this, p.lastPicture);
    } else {
        if (!trimmed.isEmpty()) readOk = readDocumentFile(number, QFileInfo(trimmed).absoluteFilePath());
        if (!readOk) {
            fileName_.clear();
            untitledNumber_ = QString::number(++p.untitledCounter);
        }
    }

    refreshCaption();
    ready_ = true;
    layoutView();
    // A file is painted quickly first; the full-quality pass then gives it its full quality.
    paintCanvas(readOk);
    show();
    if (host_) host_->documentActivated(this);
    if (readOk) fullQualityTimer_.start();
    return readOk || trimmed.isEmpty() || isPictureName(trimmed);
}

// A document brought back from a recovery snapshot takes the name of the
// file it came from (or a new untitled number when it was never saved), and
// is modified: saving writes the original file, never the snapshot.
void TSandbox::adoptRecovered(const QString& original)
{
    fileName_ = original;
    if (original.isEmpty()) untitledNumber_ = QString::number(++params().untitledCounter);
    model::setModified(items_, true);
    refreshCaption();
    if (host_) host_->editStateChanged(this);
}

} // namespace canvas
