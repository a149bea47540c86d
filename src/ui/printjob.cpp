#include "ui/printjob.h"

#include "output/calibration.h"
#include "output/printsheet.h"
#include "output/vectorsheet.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>

#include <memory>

namespace ui {

output::device_t printerDevice(const QPrinter& printer)
{
    output::device_t d;
    const int res = std::max(printer.resolution(), 1);
    const QPageLayout layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(res);
    const QRect paint = printer.fullPage() ? full : layout.paintRectPixels(res);
    d.ppiX = d.ppiY = res;
    d.offX = paint.left() - full.left();
    d.offY = paint.top() - full.top();
    d.pageWidth = full.width();
    d.pageHeight = full.height();
    return d;
}

namespace {

// A progress dialog that appears only when the job takes more than a second.
class jobProgress_t {
public:
    explicit jobProgress_t(const QString& text) : text_(text) { clock_.start(); }

    bool operator()(int32_t done, int32_t total)
    {
        if (!dialog_ && clock_.elapsed() > 1000 && done < total) {
            dialog_ = std::make_unique<QProgressDialog>(text_, QStringLiteral("Cancel"), 0, total);
            dialog_->setWindowModality(Qt::ApplicationModal);
            dialog_->setMinimumDuration(0);
        }
        if (!dialog_) return true;
        dialog_->setValue(done);
        QApplication::processEvents();
        cancelled_ = dialog_->wasCanceled();
        return !cancelled_;
    }
    bool cancelled() const { return cancelled_; }

private:
    QString text_;
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool cancelled_ = false;
};

} // namespace

QString paperSourceName(QPrinter::PaperSource source)
{
    switch (source) {
    case QPrinter::OnlyOne: return QStringLiteral("Upper");
    case QPrinter::Lower: return QStringLiteral("Lower");
    case QPrinter::Middle: return QStringLiteral("Middle");
    case QPrinter::Manual: return QStringLiteral("Manual");
    case QPrinter::Envelope: return QStringLiteral("Envelope");
    case QPrinter::EnvelopeManual: return QStringLiteral("EnvelopeManual");
    case QPrinter::Auto: return QStringLiteral("Auto");
    case QPrinter::Tractor: return QStringLiteral("Tractor");
    case QPrinter::SmallFormat: return QStringLiteral("SmallFormat");
    case QPrinter::LargeFormat: return QStringLiteral("LargeFormat");
    case QPrinter::LargeCapacity: return QStringLiteral("LargeCapacity");
    case QPrinter::Cassette: return QStringLiteral("Cassette");
    case QPrinter::FormSource: return QStringLiteral("FormSource");
    default: return QStringLiteral("Custom");
    }
}

std::optional<bool> askPrinterCorrection(const QString& printer, const QString& source, const settings::printerDistortion_t& d,
                                         const std::function<void()>& calibrate)
{
    const QString text = QStringLiteral("Correction for \"%1\" (%2): %3").arg(printer, source, output::distortionSummary(d));
    const int32_t pick = dialogs().choose(QStringLiteral("Printer correction"), text,
                                          {QStringLiteral("Print with this correction"),
                                           QStringLiteral("Print without it this time"), QStringLiteral("Calibrate printer...")},
                                          0);
    if (pick == 0) return true;
    if (pick == 1) return false;
    if (pick == 2 && calibrate) calibrate();
    return std::nullopt;
}

bool choosePrinterCorrection(const QPrinter& printer, const printCorrection_t& correction,
                             std::optional<settings::printerDistortion_t>& distortion)
{
    if (correction.used) correction.used->clear();
    distortion.reset();
    if (!correction.store || printer.outputFormat() != QPrinter::NativeFormat) return true;
    const QString source = paperSourceName(printer.paperSource());
    distortion = settings::loadCalibration(*correction.store, printer.printerName(), source);
    if (!distortion) return true;
    const std::optional<bool> use = askPrinterCorrection(printer.printerName(), source, *distortion, correction.calibrate);
    if (!use) return false;
    if (!*use) distortion.reset();
    return true;
}

printResult_t printDocumentSheet(const model::itemList_t& document, const QString& title, const QByteArray& printAreas,
                                 bool cropMarks, const printCorrection_t& correction)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return printResult_t::cancelled;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    const QPageLayout paper = output::documentPageLayout(header->hdr());
    printer.setPageSize(paper.pageSize());
    printer.setPageOrientation(paper.orientation());
    if (!dialogs().printDialog(printer) || printer.copyCount() < 1) return printResult_t::cancelled;
    std::optional<settings::printerDistortion_t> distortion;
    if (!choosePrinterCorrection(printer, correction, distortion)) return printResult_t::cancelled;

    jobProgress_t progress(QStringLiteral("Printing \"%1\"...").arg(title));
    auto step = [&progress](int32_t done, int32_t total) { return progress(done, total); };
    QString why;
    bool ok = false;
    QString target = printer.printerName();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        target = printer.outputFileName();
        // A file gets outlines and text rather than one picture of the sheet.
        output::vectorJob_t job;
        job.dpi = pdfPrintDpi;
        job.printAreas = printAreas;
        job.title = title;
        job.cropMarks = cropMarks;
        ok = output::writeVector(document, target, output::vectorFormat_t::pdf, job, &why);
    } else {
        if (printer.resolution() > maxPrinterDpi) printer.setResolution(maxPrinterDpi);
        QPainter painter;
        if (!painter.begin(&printer)) why = QStringLiteral("the printer could not start the job");
        else {
            const output::device_t device = printerDevice(printer);
            if (distortion) {
                painter.setWorldTransform(output::correctionTransform(*distortion, device));
                if (correction.used) *correction.used = output::distortionSummary(*distortion);
            }
            ok = output::printSheet(painter, document, device, printAreas, step, &why, cropMarks);
            if (!ok) printer.abort();
            painter.end();
        }
    }
    QApplication::restoreOverrideCursor();
    if (ok) return printResult_t::printed;
    if (progress.cancelled()) return printResult_t::cancelled;
    dialogs().message(msgKind_t::error, QStringLiteral("\"%1\" could not be printed to %2: %3").arg(title, target, why), btnOk);
    return printResult_t::failed;
}

} // namespace ui
