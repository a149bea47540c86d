// lumora-cli: the headless command-line tool. Dispatches to the registered
// subcommands; errors go to stderr with a non-zero exit code.
#include "cli/command.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

namespace cli {

namespace {
std::vector<commandEntry>& registry()
{
    static std::vector<commandEntry> r;
    return r;
}
} // namespace

cliCommand::cliCommand(const char* name, const char* usage, commandFn run)
{
    registry().push_back({name, usage, run});
}

const std::vector<commandEntry>& commands() { return registry(); }

} // namespace cli

static void usage(FILE* to)
{
    std::fprintf(to, "usage: lumora-cli COMMAND [ARGS]\n\ncommands:\n");
    for (const auto& c : cli::commands()) std::fprintf(to, "  %s\n", c.usage);
}

// Runs a subcommand; a failure it did not handle ends it with a message
// instead of an abort.
static int runCommand(const cli::commandEntry& c, const std::vector<std::string>& args)
{
    try {
        return c.run(args);
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "lumora-cli %s: there is not enough memory to finish\n", c.name);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "lumora-cli %s: %s\n", c.name, e.what());
    }
    return cli::exitFailed;
}

int main(int argc, char** argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "help")) {
        usage(argc < 2 ? stderr : stdout);
        return argc < 2 ? cli::exitUsage : cli::exitOk;
    }
    // Fonts and images need a GUI application object; no display is needed.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qargc = 1;
    QGuiApplication app(qargc, argv);

    std::vector<std::string> args(argv + 2, argv + argc);
    for (const auto& c : cli::commands())
        if (!std::strcmp(c.name, argv[1])) return runCommand(c, args);
    std::fprintf(stderr, "lumora-cli: unknown command '%s'\n", argv[1]);
    usage(stderr);
    return cli::exitUsage;
}
