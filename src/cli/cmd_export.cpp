// lumora-cli export FILE OUT.(jpg|bmp|ico|pdf|svg): writes the page as a
// picture, as the editor's export does, or as a vector file. Pictures are the
// whole sheet at one document pixel to one file pixel unless --dpi or --card
// says otherwise (--smooth is the print preview's anti-aliased image, which
// honours --areas); PDF and SVG hold one card unless --sheet is given.
// With --data, OUT is a name pattern and each ticked row of the table makes
// one card file, its name filled in like a text ("card-${#}.png",
// "${last}.pdf").
#include "cli/command.h"
#include "cli/docio.h"
#include "cli/mergedata.h"
#include "cli/outputdoc.h"

#include "output/encode.h"
#include "output/mergesheet.h"
#include "output/printsheet.h"
#include "output/renderoutput.h"
#include "output/vectorsheet.h"

#include <QFileInfo>

#include <cstdio>

namespace {

constexpr const char* usageText =
    "usage: lumora-cli export FILE OUT.(jpg|bmp|ico|pdf|svg) [--sheet|--card] [--dpi N] [--smooth] [--areas STRING] "
    "[--force]\n"
    "       lumora-cli export FILE 'PATTERN.(jpg|bmp|pdf|svg)' --data ROWS.csv [--copies-column NAME] [--dpi N]\n";

// The vector format a file name asks for by its extension, if any.
bool vectorKindOf(const std::string& name, output::vectorFormat_t& format)
{
    const QString suffix = QFileInfo(QString::fromStdString(name).trimmed()).suffix().toLower();
    if (suffix == QLatin1String("pdf")) format = output::vectorFormat_t::pdf;
    else if (suffix == QLatin1String("svg")) format = output::vectorFormat_t::svg;
    else return false;
    return true;
}

int exportMerged(const std::vector<std::string>& args, const cli::mergeOptions_t& options, bool force, int32_t dpi)
{
    model::itemList_t list;
    int rc = cli::loadPagedDocument("export", args[0], force, list);
    if (rc != cli::exitOk) return rc;
    cli::mergeRun_t merge;
    rc = cli::prepareMerge("export", options, args[0], list, merge);
    QString why;
    std::vector<QString> names;
    if (rc == cli::exitOk) {
        names = output::mergedFileNames(QString::fromStdString(args[1]), merge.job, &why);
        if (names.empty()) {
            std::fprintf(stderr, "lumora-cli export: %s\n",
                         why.isEmpty() ? "no row of the data is ticked" : why.toLocal8Bit().constData());
            rc = cli::exitUsage;
        }
    }
    for (size_t k = 0; rc == cli::exitOk && k < names.size(); ++k) {
        if (!output::writeMergedCard(list, names[k], merge.table, merge.job.cards[k], dpi, &why)) {
            std::fprintf(stderr, "lumora-cli: cannot write %s: %s\n", names[k].toLocal8Bit().constData(),
                         why.toLocal8Bit().constData());
            rc = cli::exitFileError;
        }
    }
    model::freeList(list);
    if (rc == cli::exitOk) std::printf("%zu card files written\n", names.size());
    return rc;
}

int run(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const bool force = cli::takeFlag(args, "--force");
    const bool smooth = cli::takeFlag(args, "--smooth");
    const bool sheet = cli::takeFlag(args, "--sheet");
    const bool card = cli::takeFlag(args, "--card");
    std::string areas, dpiText;
    bool hasAreas = false, hasDpi = false;
    cli::mergeOptions_t mergeOptions;
    if (!cli::takeOption(args, "--areas", areas, hasAreas) || !cli::takeOption(args, "--dpi", dpiText, hasDpi) ||
        !cli::takeMergeOptions("export", args, mergeOptions)) {
        std::fprintf(stderr, "%s", usageText);
        return cli::exitUsage;
    }
    if (!cli::noUnknownOptions("export", args, usageText)) return cli::exitUsage;
    if (args.size() != 2 || (sheet && card)) {
        std::fprintf(stderr, "%s", usageText);
        return cli::exitUsage;
    }
    int32_t dpi = 0;
    if (hasDpi && !cli::wholeNumber(dpiText, 10, output::maxPdfDpi, dpi)) {
        std::fprintf(stderr, "lumora-cli export: --dpi wants a whole number from 10 to %d, not '%s'\n",
                     output::maxPdfDpi, dpiText.c_str());
        return cli::exitUsage;
    }
    if (mergeOptions.hasData || mergeOptions.hasStart) {
        if (!mergeOptions.hasData || mergeOptions.hasStart || smooth || sheet || card || hasAreas) {
            std::fprintf(stderr, "lumora-cli export: --data makes one card file per row; it takes only --copies-column and --dpi\n");
            return cli::exitUsage;
        }
        return exportMerged(args, mergeOptions, force, hasDpi ? dpi : 0);
    }
    output::vectorFormat_t format{};
    const bool vector = vectorKindOf(args[1], format);
    if (smooth && (vector || hasDpi || card)) {
        std::fprintf(stderr, "lumora-cli export: --smooth is the preview's picture; it takes no --dpi, --card or vector file\n");
        return cli::exitUsage;
    }
    model::itemList_t list;
    const int rc = cli::loadPagedDocument("export", args[0], force, list);
    if (rc != cli::exitOk) return rc;
    QString why;
    if (vector) {
        output::vectorJob_t job;
        job.dpi = hasDpi ? dpi : output::defaultVectorDpi;
        job.wholeSheet = sheet;
        job.printAreas = QByteArray::fromStdString(areas);
        job.title = QFileInfo(QString::fromStdString(args[0])).completeBaseName();
        const bool ok = output::writeVector(list, QString::fromStdString(args[1]), format, job, &why);
        model::freeList(list);
        if (!ok) {
            std::fprintf(stderr, "lumora-cli: cannot write %s: %s\n", args[1].c_str(), why.toLocal8Bit().constData());
            return cli::exitFileError;
        }
        std::printf("%s: %s as vectors (effects and pictures at %d dpi)\n", args[1].c_str(),
                    sheet ? "the sheet" : "one card", job.dpi);
        return cli::exitOk;
    }
    const QImage page = smooth ? output::previewImage(list, QByteArray::fromStdString(areas))
                               : output::pagePicture(list, dpi, !card, QByteArray::fromStdString(areas));
    model::freeList(list);
    if (page.isNull()) {
        std::fprintf(stderr, "lumora-cli export: the page of %s is too large to render\n", args[0].c_str());
        return cli::exitFailed;
    }
    if (!output::writePicture(page, QString::fromStdString(args[1]), &why)) {
        std::fprintf(stderr, "lumora-cli: cannot write %s: %s\n", args[1].c_str(), why.toLocal8Bit().constData());
        return cli::exitFileError;
    }
    std::printf("%s: %d x %d pixels\n", args[1].c_str(), page.width(), page.height());
    return cli::exitOk;
}

cli::cliCommand reg("export",
                    "export FILE OUT.(jpg|bmp|ico|pdf|svg) [--sheet|--card] [--dpi N] [--smooth] [--areas STRING] [--force]"
                    " [--data ROWS.csv [--copies-column NAME]]  — write the page as a picture or vectors, or one card "
                    "file per row",
                    &run);

} // namespace
