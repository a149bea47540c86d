#include "app/outputcommands.h"

#include "app/mainwindow.h"
#include "app/mergecommands.h"

#include "canvas/buttonart.h"
#include "geometry/units.h"
#include "output/encode.h"
#include "output/printsheet.h"
#include "output/renderoutput.h"
#include "output/vectorsheet.h"
#include "settings/folders.h"
#include "ui/calibrationwindow.h"
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

#include <memory>

namespace app {

namespace {

const QString exportFilter = QStringLiteral(
    "JPEG Image Files (*.jpg,*.jpeg)|*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp|PDF Files (*.pdf)|*.pdf|SVG Files (*.svg)|*.svg");
constexpr int32_t exportFilterJpeg = 1, exportFilterBitmaps = 2, exportFilterPdf = 3, exportFilterSvg = 4;
// Resolutions a picture export offers; 0 is the screen's (one document pixel to one file pixel).
constexpr int32_t exportResolutions[] = {0, 150, 300, 600};

// The vector format a file name asks for, if it asks for one.
bool vectorFormatOf(const QString& fileName, output::vectorFormat_t& format)
{
    const QString suffix = QFileInfo(fileName.trimmed()).suffix().toLower();
    if (suffix == QLatin1String("pdf")) format = output::vectorFormat_t::pdf;
    else if (suffix == QLatin1String("svg")) format = output::vectorFormat_t::svg;
    else return false;
    return true;
}
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
            auto panel = std::make_shared<QPointer<ui::TPrsel>>();
            *panel = new ui::TPrsel(
                w->header(), w->printAreas(),
                [this, doc, thenPreview, panel](const QByteArray& areas) {
                    if (!doc) return;
                    doc->printAreas() = areas;
                    // The crop-mark choice holds for the rest of the session.
                    if (!thenPreview && *panel) cropMarks_ = (*panel)->cropMarks();
                    QTimer::singleShot(commandDelayMs, &shell_, [this, doc, thenPreview] {
                        if (!doc) return;
                        if (thenPreview) openPreview(doc, false);
                        else printNow(doc);
                    });
                },
                parent, {.offered = !thenPreview, .ticked = cropMarks_});
            return panel->data();
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
            exported = [this, doc](const QImage& image) {
                // The save dialog follows once the preview is on the screen.
                QTimer::singleShot(0, &shell_, [this, image, doc] { saveExport(image, doc); });
            };
        auto* preview = new ui::TPreview(
            [doc]() {
                if (!doc) return QImage();
                // A merge previews its first sheet of cards.
                if (QImage merged = mergePreview(doc); !merged.isNull()) return merged;
                return output::previewImage(doc->items(), doc->printAreas());
            },
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
    QString corrected;
    QPointer<canvas::TSandbox> doc(w);
    const ui::printCorrection_t correction{shell_.params()->store(), [this, doc] {
                                               QTimer::singleShot(0, &shell_, [this, doc] { calibratePrinter(doc); });
                                           },
                                           &corrected};
    if (printMerge(shell_, w, cropMarks_, correction)) return;
    if (ui::printDocumentSheet(w->items(), w->caption(), w->printAreas(), cropMarks_, correction) != ui::printResult_t::printed)
        return;
    if (corrected.isEmpty()) shell_.showStatus(QStringLiteral("\"%1\" was printed.").arg(w->caption()));
    else shell_.showStatus(QStringLiteral("\"%1\" was printed with the printer correction %2.").arg(w->caption(), corrected));
}

void outputCommands_t::calibratePrinter(canvas::TSandbox* w)
{
    QSizeF paperMm(210, 297);
    int32_t unit = geometry::unitMillimetres;
    if (w && w->header()) {
        const QPageLayout layout = output::documentPageLayout(w->header()->hdr());
        paperMm = layout.fullRect(QPageLayout::Millimeter).size();
        unit = w->header()->hdr().unit;
    }
    ui::TCalibration window(shell_.params()->store(), unit, paperMm, &shell_);
    window.exec();
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
    output::vectorFormat_t format{};
    const bool vector = vectorFormatOf(file, format);
    // A sheet of several cards: one card or all of them (a vector file holds
    // one card unless asked; a picture the whole sheet, as it always did).
    bool wholeSheet = true;
    if (output::needsAreaSelection(w->header())) {
        const int32_t pick = ui::dialogs().choose(QStringLiteral("Export"), QStringLiteral("Export:"),
                                                  {QStringLiteral("One card"), QStringLiteral("The whole sheet")}, vector ? 0 : 1);
        if (pick < 0) return;
        wholeSheet = pick == 1;
    }
    if (vector) {
        writeVectorExport(w, file, format, wholeSheet, QByteArray());
        return;
    }
    QStringList resolutions;
    for (int32_t dpi : exportResolutions)
        resolutions << (dpi == 0 ? QStringLiteral("Screen (one pixel per pixel)") : QStringLiteral("%1 dpi").arg(dpi));
    const int32_t pick = ui::dialogs().choose(QStringLiteral("Export"), QStringLiteral("Resolution:"), resolutions, 0);
    if (pick < 0) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QImage page = output::pagePicture(w->items(), exportResolutions[pick], wholeSheet, QByteArray());
    QApplication::restoreOverrideCursor();
    if (page.isNull()) {
        ui::dialogs().message(ui::msgKind_t::error,
                              QStringLiteral("The page of \"%1\" is too large to export.").arg(w->caption()), ui::btnOk);
        return;
    }
    writeExport(page, file);
}

bool outputCommands_t::writeVectorExport(canvas::TSandbox* w, const QString& fileName, output::vectorFormat_t format,
                                         bool wholeSheet, const QByteArray& printAreas)
{
    output::vectorJob_t job;
    job.wholeSheet = wholeSheet;
    job.printAreas = printAreas;
    job.title = w->caption();
    QString why;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = output::writeVector(w->items(), fileName, format, job, &why);
    QApplication::restoreOverrideCursor();
    if (ok) return true;
    ui::dialogs().message(ui::msgKind_t::error, QStringLiteral("The page could not be saved as %1: %2").arg(fileName, why),
                          ui::btnOk);
    return false;
}

QString outputCommands_t::chooseExportFile()
{
    ui::fileRequest_t r;
    r.title = QStringLiteral("Export");
    const QString stored = QDir::fromNativeSeparators(shell_.params()->expdir);
    r.folder = QFileInfo(stored).isDir() ? stored : QString();
    r.defaultExt = QStringLiteral("jpg");
    r.filter = exportFilter;
    r.filterIndex = vectorFilter_ ? vectorFilter_
                                  : shell_.params()->expndx == exportFilterBitmaps ? exportFilterBitmaps : exportFilterJpeg;
    const QString chosen = ui::dialogs().saveFile(r);
    if (chosen.isEmpty()) return {};
    const QFileInfo fi(chosen.trimmed());
    shell_.params()->expdir = fi.absolutePath();
    // The name's extension tells which entry of the list was meant. The
    // settings keep the picture formats; a vector one is kept for the session.
    output::vectorFormat_t format{};
    const output::pictureKind_t kind = output::pictureKindOf(chosen);
    if (vectorFormatOf(chosen, format)) {
        vectorFilter_ = format == output::vectorFormat_t::pdf ? exportFilterPdf : exportFilterSvg;
    } else {
        vectorFilter_ = 0;
        if (kind == output::pictureKind_t::bmp) shell_.params()->expndx = exportFilterBitmaps;
        else if (kind == output::pictureKind_t::jpeg) shell_.params()->expndx = exportFilterJpeg;
    }
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

bool outputCommands_t::saveExport(const QImage& bitmap, canvas::TSandbox* w)
{
    const QString file = chooseExportFile();
    if (file.isEmpty()) return false;
    // The preview's sheet as a PDF or SVG: vectors, its crossed-out cells left white.
    output::vectorFormat_t format{};
    if (w && w->header() && vectorFormatOf(file, format)) return writeVectorExport(w, file, format, true, w->printAreas());
    return writeExport(bitmap, file);
}

} // namespace app
