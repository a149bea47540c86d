// lumora-cli dump --json FILE [--force] [--ppi N]: the document as the reader
// leaves it, as JSON streamed to stdout record by record.
#include "cli/command.h"
#include "cli/docio.h"
#include "cli/dumpjson.h"

#include "model/itemlist.h"
#include "model/metrics.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

using namespace model;

int run(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const bool asJson = cli::takeFlag(args, "--json");
    const bool force = cli::takeFlag(args, "--force");
    std::string ppiText;
    bool hasPpi = false;
    const bool ppiOk = cli::takeOption(args, "--ppi", ppiText, hasPpi);
    if (!asJson || !ppiOk || args.size() != 1) {
        std::fprintf(stderr, "usage: lumora-cli dump --json FILE [--force] [--ppi N]\n");
        return cli::exitUsage;
    }
    if (hasPpi) {
        int ppi = 0;
        auto r = std::from_chars(ppiText.data(), ppiText.data() + ppiText.size(), ppi);
        if (r.ec != std::errc() || r.ptr != ppiText.data() + ppiText.size() || ppi < 1 || ppi > 10000) {
            std::fprintf(stderr, "lumora-cli: --ppi wants a whole number from 1 to 10000, not '%s'\n",
                         ppiText.c_str());
            return cli::exitUsage;
        }
        model::setScreenPpi(ppi, ppi);
    }

    itemList_t list;
    const int rc = cli::loadDocument(args[0], force, list);
    if (rc != cli::exitOk) return rc;

    const bool streamed = cli::writeDocumentJson(list, [](const char* data, size_t size) {
        return std::fwrite(data, 1, size, stdout) == size;
    });
    const bool written = streamed && std::fflush(stdout) == 0;
    freeList(list);
    if (!written) {
        std::fprintf(stderr, "lumora-cli: cannot write the output: %s\n", std::strerror(errno));
        return cli::exitFileError;
    }
    return cli::exitOk;
}

cli::cliCommand reg("dump", "dump --json FILE [--force] [--ppi N]  — the document as JSON", &run);

} // namespace
