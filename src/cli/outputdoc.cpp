#include "cli/outputdoc.h"

#include "cli/command.h"
#include "cli/docio.h"

#include <cstdio>

namespace cli {

bool noUnknownOptions(const char* command, const std::vector<std::string>& args, const char* usage)
{
    for (const std::string& a : args)
        if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "lumora-cli %s: unknown option %s\n%s", command, a.c_str(), usage);
            return false;
        }
    return true;
}

int loadPagedDocument(const char* command, const std::string& file, bool force, model::itemList_t& list)
{
    const int rc = loadDocument(file, force, list);
    if (rc != exitOk) return rc;
    if (!model::findHeader(list)) {
        std::fprintf(stderr, "lumora-cli %s: %s has no document header, so it has no page\n", command, file.c_str());
        model::freeList(list);
        return exitRefused;
    }
    return exitOk;
}

} // namespace cli
