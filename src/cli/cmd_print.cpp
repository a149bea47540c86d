// lumora-cli print FILE --pdf OUT.pdf: prints the sheet into a PDF file of
// the document's paper, as printing to a PDF file from the editor does: card
// designs copied to every cell, cells marked "x" in --areas left white. The
// PDF holds outlines and text; --raster gives one picture of the sheet.
// --correction prints through the inverse of a printer's measured distortion
// (as lumora-cli calibrate reports it), so that such a printer puts every
// point where the page has it.
#include "cli/calibrationargs.h"
// With --data (or a merge kept with the document) each ticked row of the
// table fills one card, from cell --start on, over as many sheets as needed.
#include "cli/command.h"
#include "cli/docio.h"
#include "cli/mergedata.h"
#include "cli/outputdoc.h"

#include "output/printsheet.h"
#include "output/vectorsheet.h"

#include <QFileInfo>

#include <cstdio>
#include <string>

namespace {

constexpr const char* usageText = "usage: lumora-cli print FILE --pdf OUT.pdf [--raster] [--areas STRING] [--crop-marks] [--dpi N] [--correction DX,DY,SX,SY[,DEG]] [--force]\n"
                                  "       [--data ROWS.csv [--start CELL] [--copies-column NAME]]\n";
constexpr int32_t defaultDpi = 300;

bool parseDpi(const std::string& text, int32_t& dpi)
{
    return cli::wholeNumber(text, 10, output::maxPdfDpi, dpi);
}

int run(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const bool force = cli::takeFlag(args, "--force");
    const bool raster = cli::takeFlag(args, "--raster");
    const bool cropMarks = cli::takeFlag(args, "--crop-marks");
    std::string pdf, areas, dpiText, correctionText;
    bool hasPdf = false, hasAreas = false, hasDpi = false, hasCorrection = false;
    cli::mergeOptions_t mergeOptions;
    if (!cli::takeOption(args, "--pdf", pdf, hasPdf) || !cli::takeOption(args, "--areas", areas, hasAreas) ||
        !cli::takeOption(args, "--dpi", dpiText, hasDpi) || !cli::takeOption(args, "--correction", correctionText, hasCorrection) ||
        !cli::takeMergeOptions("print", args, mergeOptions)) {
        std::fprintf(stderr, "%s", usageText);
        return cli::exitUsage;
    }
    if (!cli::noUnknownOptions("print", args, usageText)) return cli::exitUsage;
    if (args.size() != 1 || !hasPdf) {
        std::fprintf(stderr, "%s", usageText);
        return cli::exitUsage;
    }
    int32_t dpi = defaultDpi;
    if (hasDpi && !parseDpi(dpiText, dpi)) {
        std::fprintf(stderr, "lumora-cli print: --dpi wants a whole number from 10 to %d, not '%s'\n", output::maxPdfDpi,
                     dpiText.c_str());
        return cli::exitUsage;
    }
    output::printerDistortion_t distortion;
    std::string why;
    if (hasCorrection && !cli::parseDistortion(correctionText, distortion, why)) {
        std::fprintf(stderr, "lumora-cli print: %s\n", why.c_str());
        return cli::exitUsage;
    }
    model::itemList_t list;
    const int rc = cli::loadPagedDocument("print", args[0], force, list);
    if (rc != cli::exitOk) return rc;
    QString error;
    const QString title = QFileInfo(QString::fromStdString(args[0])).completeBaseName();
    // The PDF page is the paper itself: no printable-area offset.
    output::device_t device;
    device.ppiX = device.ppiY = dpi;
    const QTransform correction = hasCorrection ? output::correctionTransform(distortion, device) : QTransform();
    cli::mergeRun_t merge;
    const int mergeRc = cli::prepareMerge("print", mergeOptions, args[0], list, merge);
    if (mergeRc != cli::exitOk) {
        model::freeList(list);
        return mergeRc;
    }
    if (merge.active && raster) {
        model::freeList(list);
        std::fprintf(stderr, "lumora-cli print: a merge is printed as vectors; leave out --raster\n");
        return cli::exitUsage;
    }
    bool ok = false;
    int32_t pages = 0;
    if (merge.active) {
        merge.job.printAreas = QByteArray::fromStdString(areas);
        ok = output::writeMergedPdf(list, QString::fromStdString(pdf), merge.job, dpi, title, cropMarks, &error, &pages,
                                    correction);
    } else if (raster) {
        ok = output::printToPdf(list, QString::fromStdString(pdf), dpi, QByteArray::fromStdString(areas), {}, &error, title,
                                cropMarks, correction);
    } else {
        output::vectorJob_t job;
        job.dpi = dpi;
        job.printAreas = QByteArray::fromStdString(areas);
        job.title = title;
        job.cropMarks = cropMarks;
        job.correction = correction;
        ok = output::writeVector(list, QString::fromStdString(pdf), output::vectorFormat_t::pdf, job, &error);
    }
    model::freeList(list);
    if (!ok) {
        std::fprintf(stderr, "lumora-cli: cannot write %s: %s\n", pdf.c_str(), error.toLocal8Bit().constData());
        return cli::exitFileError;
    }
    if (merge.active)
        std::printf("%s: %zu cards on %d sheets\n", pdf.c_str(), merge.job.cards.size(), pages);
    else if (raster) std::printf("%s: printed at %d dpi\n", pdf.c_str(), dpi);
    else std::printf("%s: printed as vectors (effects and pictures at %d dpi)\n", pdf.c_str(), dpi);
    return cli::exitOk;
}

cli::cliCommand reg("print",
                    "print FILE --pdf OUT.pdf [--raster] [--areas STRING] [--crop-marks] [--dpi N] "
                    "[--correction DX,DY,SX,SY[,DEG]] [--force] [--data ROWS.csv [--start CELL] [--copies-column NAME]]"
                    "  — print the sheet into a PDF file, one card per row of the data",
                    &run);

} // namespace
