#include "cli/docio.h"

#include <cerrno>
#include <cstdlib>

#include "cli/command.h"

#include <cstdio>
#include <filesystem>

namespace cli {

bool cliQuestions::askOpenInvalid()
{
    if (force) return true;
    refused = true;
    return false;
}

void cliQuestions::warnNewerVersion(const std::string& text)
{
    // The two lines are joined by CR LF for a message box; print them as lines.
    std::string lines;
    for (char c : text)
        if (c != '\r') lines += c;
    std::fprintf(stderr, "%s\n", lines.c_str());
}

int loadDocument(const std::string& file, bool force, model::itemList_t& list)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        std::fprintf(stderr, "lumora-cli: %s: no such file\n", file.c_str());
        return exitFileError;
    }
    cliQuestions q;
    q.force = force;
    std::string error;
    if (model::readDocument(file, list, q, &error)) return exitOk;
    if (q.refused) {
        std::fprintf(stderr, "Not a valid Lumora file.\n");
        return exitRefused;
    }
    // The reader's sentences name the file.
    if (error.empty()) error = "cannot read " + file;
    std::fprintf(stderr, "lumora-cli: %s\n", error.c_str());
    return exitFileError;
}

int saveDocument(const std::string& file, model::itemList_t& list)
{
    std::string error;
    if (model::writeDocument(file, list, &error)) return exitOk;
    std::fprintf(stderr, "lumora-cli: %s\n", error.c_str());
    return exitFileError;
}

bool takeFlag(std::vector<std::string>& args, const std::string& flag)
{
    for (auto i = args.begin(); i != args.end(); ++i)
        if (*i == flag) {
            args.erase(i);
            return true;
        }
    return false;
}

bool takeOption(std::vector<std::string>& args, const std::string& option, std::string& value, bool& present)
{
    present = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != option) continue;
        present = true;
        if (i + 1 >= args.size()) return false;
        value = args[i + 1];
        args.erase(args.begin() + i, args.begin() + i + 2);
        return true;
    }
    return true;
}

bool wholeNumber(const std::string& text, long lo, long hi, int32_t& value)
{
    if (text.empty() || text.size() > 12) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE || v < lo || v > hi) return false;
    value = static_cast<int32_t>(v);
    return true;
}

} // namespace cli
