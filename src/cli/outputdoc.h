// What the export and print subcommands share: the rest of the arguments
// checked for unknown options, and the document read with its page.
#pragma once

#include "model/itemlist.h"

#include <string>
#include <vector>

namespace cli {

// Prints "unknown option" for the first argument that looks like an option;
// false then.
bool noUnknownOptions(const char* command, const std::vector<std::string>& args, const char* usage);

// Reads `file` and makes sure it has a document header; an exit code.
int loadPagedDocument(const char* command, const std::string& file, bool force, model::itemList_t& list);

} // namespace cli
