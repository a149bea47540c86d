// lumora-cli roundtrip IN OUT [--force]: reads a document and writes it again.
#include "cli/command.h"
#include "cli/docio.h"

#include "model/itemlist.h"

#include <cstdio>

namespace {

int run(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const bool force = cli::takeFlag(args, "--force");
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: lumora-cli roundtrip IN OUT [--force]\n");
        return cli::exitUsage;
    }
    model::itemList_t list;
    int rc = cli::loadDocument(args[0], force, list);
    if (rc == cli::exitOk) rc = cli::saveDocument(args[1], list);
    model::freeList(list);
    return rc;
}

cli::cliCommand reg("roundtrip", "roundtrip IN OUT [--force]  — reads a document and writes it again", &run);

} // namespace
