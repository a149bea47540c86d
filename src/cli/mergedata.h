// The data merge of a command: the table from --data (or the source the
// document keeps), --start and --copies-column over the document's own
// settings, warnings on stderr before anything is written.
#pragma once

#include "model/csv.h"
#include "model/itemlist.h"
#include "output/mergesheet.h"

#include <string>
#include <vector>

namespace cli {

struct mergeRun_t {
    bool active = false;  // false: no --data and no merge kept with the document
    model::csvTable_t table;
    output::mergeJob_t job;
};

struct mergeOptions_t {
    std::string data, start, copies;
    bool hasData = false, hasStart = false, hasCopies = false;
};
// Takes --data, --start and --copies-column out of `args`; false (with a
// message) when one lacks its value.
bool takeMergeOptions(const char* command, std::vector<std::string>& args, mergeOptions_t& options);

// Reads the table and makes the cards. Returns an exit code; `run.active`
// says whether there is a merge. `command` names the subcommand in messages;
// `documentPath` resolves a kept relative source.
int prepareMerge(const char* command, const mergeOptions_t& options, const std::string& documentPath,
                 const model::itemList_t& document, mergeRun_t& run);

// The options it takes, for usage texts.
constexpr const char* mergeUsage = "[--data ROWS.csv [--start CELL] [--copies-column NAME]]";

} // namespace cli
