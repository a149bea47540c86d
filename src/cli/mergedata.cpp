#include "cli/mergedata.h"

#include "cli/command.h"
#include "cli/docio.h"
#include "model/mergecards.h"
#include "model/mergesource.h"
#include "output/mergebarcodes.h"

#include <cstdio>

namespace cli {

namespace {

// Largest start cell accepted: far beyond any sheet, small enough to count.
constexpr long startLimit = 100000;

} // namespace

bool takeMergeOptions(const char* command, std::vector<std::string>& args, mergeOptions_t& o)
{
    if (!takeOption(args, "--data", o.data, o.hasData) || !takeOption(args, "--start", o.start, o.hasStart) ||
        !takeOption(args, "--copies-column", o.copies, o.hasCopies)) {
        std::fprintf(stderr, "lumora-cli %s: --data, --start and --copies-column each want a value\n", command);
        return false;
    }
    return true;
}

int prepareMerge(const char* command, const mergeOptions_t& o, const std::string& documentPath,
                 const model::itemList_t& document, mergeRun_t& run)
{
    const std::string &data = o.data, &start = o.start, &copies = o.copies;
    const bool hasData = o.hasData, hasStart = o.hasStart, hasCopies = o.hasCopies;
    model::mergeSettings_t settings;
    const bool kept = model::readMergeSettings(document, settings);
    if (!hasData && !kept) {
        if (hasStart || hasCopies) {
            std::fprintf(stderr, "lumora-cli %s: --start and --copies-column need --data\n", command);
            return exitUsage;
        }
        return exitOk;
    }
    std::string path = model::locateSource(settings, documentPath);
    if (hasData) {
        // Another table than the kept one: none of its ticks and options apply.
        settings = {};
        path = data;
    }
    if (hasStart) {
        int32_t cell = 0;
        if (!wholeNumber(start, 1, startLimit, cell)) {
            std::fprintf(stderr, "lumora-cli %s: --start wants a cell number from 1, not '%s'\n", command, start.c_str());
            return exitUsage;
        }
        settings.startCell = cell;
    }
    if (hasCopies) settings.copiesColumn = copies;
    run.table = model::readCsvFile(path, settings.options);
    if (!run.table.ok()) {
        std::fprintf(stderr, "lumora-cli %s: cannot read %s: %s\n", command, path.c_str(), run.table.error.c_str());
        return exitFileError;
    }
    const model::mergeCards_t cards = model::mergeCards(run.table, settings);
    if (!cards.error.empty()) {
        std::fprintf(stderr, "lumora-cli %s: %s\n", command, cards.error.c_str());
        return exitUsage;
    }
    const model::item_t* header = model::findHeader(document);
    const int32_t cells = header ? output::cellsPerSheet(header->hdr()) : 1;
    if (settings.startCell > cells) {
        std::fprintf(stderr, "lumora-cli %s: the sheet has %d cells; --start %d is beyond them\n", command, cells,
                     settings.startCell);
        return exitUsage;
    }
    auto warn = [&](const std::string& w) { std::fprintf(stderr, "lumora-cli %s: warning: %s\n", command, w.c_str()); };
    for (const auto& w : run.table.warnings) warn(w);
    if (run.table.moreWarnings) warn("and " + std::to_string(run.table.moreWarnings) + " more rows of the wrong length");
    for (const auto& w : cards.warnings) warn(w);
    for (const auto& w : model::mergeWarnings(document, run.table, cards.cards)) warn(w);
    if (const auto bad = output::mergeBarcodeProblems(document, run.table, cards.cards); !bad.empty()) {
        for (const auto& b : bad) std::fprintf(stderr, "lumora-cli %s: %s\n", command, b.c_str());
        std::fprintf(stderr, "lumora-cli %s: nothing was written: these rows would print wrong codes\n", command);
        return exitFailed;
    }
    run.active = true;
    run.job.table = &run.table;
    run.job.cards = cards.cards;
    run.job.startCell = settings.startCell;
    return exitOk;
}

} // namespace cli
