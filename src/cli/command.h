// Subcommands of lumora-cli. Each lives in a file of its own and registers
// itself with a static cliCommand object.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Exit codes shared by every subcommand.
constexpr int exitOk = 0;
constexpr int exitUsage = 1;
constexpr int exitFileError = 2;   // missing, unreadable or unwritable file
constexpr int exitRefused = 3;     // not a valid document (without --force)
constexpr int exitFailed = 4;      // out of memory, or another failure inside the command

using commandFn = int (*)(const std::vector<std::string>& args);

struct cliCommand {
    cliCommand(const char* name, const char* usage, commandFn run);
};

struct commandEntry {
    const char* name;
    const char* usage;
    commandFn run;
};
const std::vector<commandEntry>& commands();

} // namespace cli
