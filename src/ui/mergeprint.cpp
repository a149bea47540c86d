#include "ui/mergeprint.h"

#include "output/calibration.h"
#include "output/cropmarks.h"
#include "output/printsheet.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>

namespace ui {

printResult_t printMergedSheets(const model::itemList_t& document, const QString& title, const output::mergeJob_t& job,
                                bool cropMarks, const printCorrection_t& correction)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return printResult_t::cancelled;
    const auto sheets = output::mergedSheets(header->hdr(), job);
    if (sheets.empty()) {
        dialogs().message(msgKind_t::error,
                          job.cards.empty() ? QStringLiteral("No row of the data is ticked: there is nothing to print.")
                                            : QStringLiteral("Every cell of the sheet is crossed out: there is nothing to print."),
                          btnOk);
        return printResult_t::failed;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    const QPageLayout paper = output::documentPageLayout(header->hdr());
    printer.setPageSize(paper.pageSize());
    printer.setPageOrientation(paper.orientation());
    if (!dialogs().printDialog(printer) || printer.copyCount() < 1) return printResult_t::cancelled;
    std::optional<settings::printerDistortion_t> distortion;
    if (!choosePrinterCorrection(printer, correction, distortion)) return printResult_t::cancelled;

    QString why;
    bool ok = false;
    QString target = printer.printerName();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        target = printer.outputFileName();
        ok = output::writeMergedPdf(document, target, job, pdfPrintDpi, title, cropMarks, &why);
    } else {
        if (printer.resolution() > maxPrinterDpi) printer.setResolution(maxPrinterDpi);
        const output::device_t device = printerDevice(printer);
        QPainter painter;
        if (!painter.begin(&printer)) {
            why = QStringLiteral("the printer could not start the job");
        } else {
            ok = true;
            if (distortion) {
                painter.setWorldTransform(output::correctionTransform(*distortion, device));
                if (correction.used) *correction.used = output::distortionSummary(*distortion);
            }
            for (size_t s = 0; s < sheets.size() && ok; ++s) {
                if (s > 0 && !printer.newPage()) {
                    why = QStringLiteral("the printer could not start another page");
                    ok = false;
                    break;
                }
                ok = output::drawMergedSheet(painter, document, device, job, sheets[s], &why);
                if (ok && cropMarks) output::drawCropMarks(painter, header->hdr(), device);
            }
            if (!ok) printer.abort();
            painter.end();
        }
    }
    QApplication::restoreOverrideCursor();
    if (ok) return printResult_t::printed;
    dialogs().message(msgKind_t::error, QStringLiteral("\"%1\" could not be printed to %2: %3").arg(title, target, why), btnOk);
    return printResult_t::failed;
}

} // namespace ui
