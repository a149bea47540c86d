// lumora-cli example OUT: writes the example document.
#include "cli/command.h"
#include "cli/docio.h"

#include "model/itemlist.h"

#include <cstdio>

namespace {

int run(const std::vector<std::string>& args)
{
    std::vector<std::string> rest = args;
    const bool pictures = cli::takeFlag(rest, "--pictures");
    if (rest.size() != 1 || (!rest[0].empty() && rest[0][0] == '-')) {
        std::fprintf(stderr, "usage: lumora-cli example [--pictures] OUT.lmra\n");
        return cli::exitUsage;
    }
    model::itemList_t list;
    if (pictures) cli::buildPictureExampleDocument(list);
    else cli::buildExampleDocument(list);
    const int rc = cli::saveDocument(rest[0], list);
    model::freeList(list);
    return rc;
}

cli::cliCommand reg("example", "example [--pictures] OUT  — writes a small example document (or one of pictures)", &run);

} // namespace
