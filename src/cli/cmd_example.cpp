// lumora-cli example OUT: writes the example document.
#include "cli/command.h"
#include "cli/docio.h"

#include "model/itemlist.h"

#include <cstdio>

namespace {

int run(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: lumora-cli example OUT.lmra\n");
        return cli::exitUsage;
    }
    model::itemList_t list;
    cli::buildExampleDocument(list);
    const int rc = cli::saveDocument(args[0], list);
    model::freeList(list);
    return rc;
}

cli::cliCommand reg("example", "example OUT  — writes a small example document", &run);

} // namespace
