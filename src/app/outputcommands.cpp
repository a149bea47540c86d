#include "app/outputcommands.h"

#include "app/mainwindow.h"

#include "canvas/buttonart.h"
#include "output/encode.h"
#include "output/renderoutput.h"
#include "settings/folders.h"
#include "ui/dialogs.h"
#include "ui/printarea.h"
#include "ui/preview.h"
#include "ui/printjob.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QToolButton>
#include <QPointer>
#include <QTimer>

namespace app {

namespace {

const QString exportFilter = QStringLiteral("JPEG Image Files (*.jpg,*.jpeg)|*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp");
constexpr int32_t exportFilterJpeg = 1, exportFilterBitmaps = 2;
// The panels' left button runs its command a moment after the window closed.
constexpr int commandDelayMs = 100;

} // namespace

outputCommands_t::outputCommands_t(TForm1& shell) : shell_(shell) {}

void outputCommands_t::registerPanels()
{
    auto areaPanel = [this](bool thenPreview) {
        return [this, thenPreview](const ui::hostRequest_t& r, QWidget* parent) -> ui::THostedPanel* {
            auto* w = dynamic_cast<canvas::TSandbox*>(r.document);
            if (!w || !w->header()) return nullptr;
            QPointer<canvas::TSandbox> doc(w);
            return new ui::TPrsel(w->header(), w->printAreas(),
                                  [this, doc, thenPreview](const QByteArray& areas) {
                                      if (!doc) return;
                                      doc->printAreas() = areas;
                                      QTimer::singleShot(commandDelayMs, &shell_, [this, doc, thenPreview] {
                                          if (!doc) return;
                                          if (thenPreview) openPreview(doc, false);
                                          else printNow(doc);
                                      });
                                  },
                                  parent);
        };
    };
    shell_.TFormY()->setFactory(ui::hostedPrintOptions, areaPanel(false));
    shell_.TFormY()->setFactory(ui::hostedPreviewOptions, areaPanel(true));
    shell_.TFormX()->setFactory(ui::hostedPreview, [this](const ui::hostRequest_t& r, QWidget* parent) -> ui::THostedPanel* {
        auto* w = dynamic_cast<canvas::TSandbox*>(r.document);
        if (!w || !w->header()) return nullptr;
        QPointer<canvas::TSandbox> doc(w);
        std::function<void(const QImage&)> exported;
        if (previewExport_)
            exported = [this](const QImage& image) {
                // The save dialog follows once the preview is on the screen.
                QTimer::singleShot(0, &shell_, [this, image] { saveExport(image); });
            };
        auto* preview = new ui::TPreview(
            [doc]() { return doc ? output::previewImage(doc->items(), doc->printAreas()) : QImage(); },
            [this, doc] {
                QTimer::singleShot(commandDelayMs, &shell_, [this, doc] {
                    if (doc) printDocument(doc);
                });
            },
            exported, parent);
        preview->printButton()->setIcon(QPixmap::fromImage(canvas::drawButtonPicture(canvas::buttonPrint, 0, 32)));
        // The icon closes the window and prints, as the window's own button does.
        preview->setPrintClicked([this] { shell_.TFormX()->leftClicked(); });
        return preview;
    });
}

void outputCommands_t::printDocument(canvas::TSandbox* w)
{
    if (!w || !w->header()) return;
    if (output::needsAreaSelection(w->header())) shell_.openHosted(ui::hostedPrintOptions, w->caption(), w);
    else printNow(w);
}

void outputCommands_t::printNow(canvas::TSandbox* w)
{
    if (!w || !w->header()) return;
    if (ui::printDocumentSheet(w->items(), w->caption(), w->printAreas()) == ui::printResult_t::printed)
        shell_.showStatus(QStringLiteral("\"%1\" was printed.").arg(w->caption()));
}

void outputCommands_t::previewDocument(canvas::TSandbox* w)
{
    if (!w || !w->header()) return;
    if (output::needsAreaSelection(w->header())) shell_.openHosted(ui::hostedPreviewOptions, w->caption(), w);
    else openPreview(w, false);
}

bool outputCommands_t::openPreview(canvas::TSandbox* w, bool exportMode)
{
    if (!w || !w->header()) return false;
    previewExport_ = exportMode;
    const bool shown = shell_.openHosted(ui::hostedPreview, w->caption(), w);
    previewExport_ = false;
    return shown;
}

void outputCommands_t::exportSmooth(canvas::TSandbox* w) { openPreview(w, true); }

void outputCommands_t::exportExact(canvas::TSandbox* w)
{
    if (!w || !w->header()) return;
    const QString file = chooseExportFile();
    if (file.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QImage page = output::exactImage(w->items());
    QApplication::restoreOverrideCursor();
    if (page.isNull()) {
        ui::dialogs().message(ui::msgKind_t::error,
                              QStringLiteral("The page of \"%1\" is too large to export.").arg(w->caption()), ui::btnOk);
        return;
    }
    writeExport(page, file);
}

QString outputCommands_t::chooseExportFile()
{
    ui::fileRequest_t r;
    r.title = QStringLiteral("Export");
    const QString stored = QDir::fromNativeSeparators(shell_.params()->expdir);
    r.folder = QFileInfo(stored).isDir() ? stored : QString();
    r.defaultExt = QStringLiteral("jpg");
    r.filter = exportFilter;
    r.filterIndex = shell_.params()->expndx == exportFilterBitmaps ? exportFilterBitmaps : exportFilterJpeg;
    const QString chosen = ui::dialogs().saveFile(r);
    if (chosen.isEmpty()) return {};
    const QFileInfo fi(chosen.trimmed());
    shell_.params()->expdir = fi.absolutePath();
    // The list offers JPEG and bitmaps; the name's extension tells which was meant.
    const output::pictureKind_t kind = output::pictureKindOf(chosen);
    if (kind == output::pictureKind_t::bmp) shell_.params()->expndx = exportFilterBitmaps;
    else if (kind == output::pictureKind_t::jpeg) shell_.params()->expndx = exportFilterJpeg;
    const QString full = fi.absoluteFilePath();
    if (QFileInfo::exists(full) &&
        ui::dialogs().message(ui::msgKind_t::confirmation, QStringLiteral("Replace the existing file?"),
                              ui::btnYes | ui::btnNo) != ui::btnYes)
        return {};
    return full;
}

bool outputCommands_t::writeExport(const QImage& bitmap, const QString& fileName)
{
    QString why;
    if (output::writePicture(bitmap, fileName, &why)) return true;
    ui::dialogs().message(ui::msgKind_t::error, QStringLiteral("The picture could not be saved as %1: %2").arg(fileName, why),
                          ui::btnOk);
    return false;
}

bool outputCommands_t::saveExport(const QImage& bitmap)
{
    const QString file = chooseExportFile();
    return !file.isEmpty() && writeExport(bitmap, file);
}

} // namespace app
