// lumora-cli new OUT --type N [--unit px|mm|in] [--preset ROW] [--landscape]:
// a new, empty document with a page setup applied, as the editor makes one
// for new files with that setup.
#include "cli/command.h"
#include "cli/docio.h"

#include "page/applysetup.h"
#include "page/newdocument.h"
#include "settings/pagepresets.h"
#include "settings/params.h"
#include "settings/store.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

int unitOf(const std::string& text)
{
    if (text == "px") return 1;
    if (text == "mm") return 2;
    if (text == "in") return 3;
    return 0;
}

int run(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const char* usage = "usage: lumora-cli new OUT.lmra --type N [--unit px|mm|in] [--preset ROW] [--landscape]\n";
    std::string typeText, unitText, presetText;
    bool hasType = false, hasUnit = false, hasPreset = false;
    const bool landscape = cli::takeFlag(args, "--landscape");
    if (!cli::takeOption(args, "--type", typeText, hasType) || !cli::takeOption(args, "--unit", unitText, hasUnit)
        || !cli::takeOption(args, "--preset", presetText, hasPreset) || args.size() != 1 || !hasType) {
        std::fprintf(stderr, "%s", usage);
        return cli::exitUsage;
    }
    int type = 0, row = -1;
    if (!cli::wholeNumber(typeText, 1, page::designTypeCount, type) || type < 1 || type > page::designTypeCount) {
        std::fprintf(stderr, "lumora-cli new: the design type must be 1..11, not \"%s\"\n", typeText.c_str());
        return cli::exitUsage;
    }
    const int unit = hasUnit ? unitOf(unitText) : 0;
    if (hasUnit && unit == 0) {
        std::fprintf(stderr, "lumora-cli new: the unit must be px, mm or in, not \"%s\"\n", unitText.c_str());
        return cli::exitUsage;
    }
    if (hasPreset && !cli::wholeNumber(presetText, -999999999, 999999999, row)) {
        std::fprintf(stderr, "lumora-cli new: the preset must be a row number, not \"%s\"\n", presetText.c_str());
        return cli::exitUsage;
    }

    // The built-in settings, never the user's: the same command gives the
    // same document on every machine.
    settings::memoryStore_t store;
    settings::TParams p(&store);
    page::pageset_t& s = p.pageSets[type - 1];
    if (unit) s.unit = unit;
    if (hasPreset && !page::applyPreset(s, type, s.unit, row)) {
        std::fprintf(stderr, "lumora-cli new: design type %d has no preset row %s in that unit (%d rows)\n", type,
                     presetText.c_str(), int(page::presetList(type, s.unit).size()));
        return cli::exitUsage;
    }
    // As ticking "Landscape" does: the pairs of the unit exchanged, the row matched again.
    if (landscape && s.pageOrientation != page::landscape) {
        s.pageOrientation = page::landscape;
        page::swapOrientation(s.measuresOf(s.unit));
        s.measuresOf(s.unit).presetIndex = page::matchPreset(s, type, s.unit);
    }
    page::applyNewFilesSetup(p, p.pageSets, type);

    model::itemList_t list;
    page::createNewDocument(list, p, 1);
    const int rc = cli::saveDocument(args[0], list);
    model::freeList(list);
    return rc;
}

cli::cliCommand reg("new", "new OUT --type N [--unit px|mm|in] [--preset ROW] [--landscape]  — a new empty "
                           "document with that page setup",
                    &run);

} // namespace
