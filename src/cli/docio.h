// Reading and writing documents on behalf of the subcommands: the answers to
// the reader's questions come from the options, messages go to stderr.
#pragma once

#include "model/docfile.h"

#include <string>
#include <vector>

namespace cli {

struct cliQuestions : model::docReadQuestions_t {
    bool force = false;    // --force: read a file with invalid records anyway
    bool refused = false;  // an invalid record was met without --force
    bool askOpenInvalid() override;
    void warnNewerVersion(const std::string& text) override;
};

// Reads `file` into `list`; returns an exit code and prints the reason when
// it is not exitOk: 2 missing or unreadable, 3 refused as invalid.
int loadDocument(const std::string& file, bool force, model::itemList_t& list);

// Writes `list` to `file`; prints the reason and returns 2 when that fails.
int saveDocument(const std::string& file, model::itemList_t& list);

// Removes `flag` from `args`; true when it was there.
bool takeFlag(std::vector<std::string>& args, const std::string& flag);
// Removes `option VALUE` from `args`; false when the value is missing.
bool takeOption(std::vector<std::string>& args, const std::string& option, std::string& value, bool& present);
// Reads a whole decimal number in lo..hi from the whole of `text`.
bool wholeNumber(const std::string& text, long lo, long hi, int32_t& value);

// Builds a small real document: an A4 page in millimetres with a grid, a
// line, shapes with points, a two-line text, a pattern and a picture.
void buildExampleDocument(model::itemList_t& list);
// A page of pictures of every stored format, whole, clipped, round, framed,
// turned, mirrored and colour-adjusted.
void buildPictureExampleDocument(model::itemList_t& list);

} // namespace cli
