// lumora-cli barcode DOC OUT --type TYPE --data TEXT --at X,Y [--size W[,H]]
// [--ec L|M|Q|H] [--no-text]: adds a barcode item to DOC and writes OUT, only
// once complete; data the symbology cannot encode writes nothing.
#include "cli/command.h"
#include "cli/docio.h"

#include "model/barcode.h"
#include "model/itemlist.h"
#include "render/barcode.h"

#include <cstdio>
#include <string>

namespace {

constexpr long coordinateLimit = 1000000;
constexpr long sizeLimit = 100000;

bool pair(const std::string& text, long lo, long hi, int32_t& a, int32_t& b, bool secondOptional)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos) {
        if (!secondOptional) return false;
        if (!cli::wholeNumber(text, lo, hi, a)) return false;
        b = a;
        return true;
    }
    return cli::wholeNumber(text.substr(0, comma), lo, hi, a) && cli::wholeNumber(text.substr(comma + 1), lo, hi, b);
}

std::string typeNames()
{
    std::string out;
    for (int32_t s = model::symbologyFirst; s <= model::symbologyLast; ++s) {
        if (!out.empty()) out += '|';
        out += model::symbologyName(s);
    }
    return out;
}

int run(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const std::string usage = "usage: lumora-cli barcode DOC OUT --type " + typeNames() +
                              " --data TEXT --at X,Y [--size W[,H]] [--ec L|M|Q|H] [--no-text]\n";
    std::string type, data, at, size, ec;
    bool hasType = false, hasData = false, hasAt = false, hasSize = false, hasEc = false;
    const bool noText = cli::takeFlag(args, "--no-text");
    if (!cli::takeOption(args, "--type", type, hasType) || !cli::takeOption(args, "--data", data, hasData) ||
        !cli::takeOption(args, "--at", at, hasAt) || !cli::takeOption(args, "--size", size, hasSize) ||
        !cli::takeOption(args, "--ec", ec, hasEc) || args.size() != 2 || !hasType || !hasData || !hasAt) {
        std::fprintf(stderr, "%s", usage.c_str());
        return cli::exitUsage;
    }
    model::barcodeContent_t content;
    const std::optional<int32_t> symbology = model::symbologyByName(type);
    if (!symbology) {
        std::fprintf(stderr, "lumora-cli barcode: unknown --type \"%s\" (%s)\n", type.c_str(), typeNames().c_str());
        return cli::exitUsage;
    }
    content.symbology = *symbology;
    content.data = data;
    content.showText = !noText;
    if (hasEc) {
        const std::string levels = "LMQH";
        const size_t i = ec.size() == 1 ? levels.find(ec[0]) : std::string::npos;
        if (i == std::string::npos) {
            std::fprintf(stderr, "lumora-cli barcode: --ec takes L, M, Q or H, not \"%s\"\n", ec.c_str());
            return cli::exitUsage;
        }
        content.ecLevel = model::ecLow + static_cast<int32_t>(i);
    }
    int32_t x = 0, y = 0, w = 0, h = 0;
    if (!pair(at, -coordinateLimit, coordinateLimit, x, y, false)) {
        std::fprintf(stderr, "lumora-cli barcode: --at takes X,Y in document pixels, not \"%s\"\n", at.c_str());
        return cli::exitUsage;
    }
    model::defaultBarcodeSize(content.symbology, w, h);
    if (hasSize && !pair(size, 1, sizeLimit, w, h, true)) {
        std::fprintf(stderr, "lumora-cli barcode: --size takes W or W,H from 1 to %ld document pixels, not \"%s\"\n",
                     sizeLimit, size.c_str());
        return cli::exitUsage;
    }
    if (const std::string problem = render::storedBarcodeDataProblem(content.symbology, content.data, content.ecLevel);
        !problem.empty()) {
        std::fprintf(stderr, "lumora-cli barcode: %s\n", problem.c_str());
        return cli::exitFailed;
    }

    model::itemList_t doc;
    if (const int rc = cli::loadDocument(args[0], false, doc); rc != cli::exitOk) return rc;
    model::newBarcodeItem(doc, x, y, w, h, content);
    const int rc = cli::saveDocument(args[1], doc);
    model::freeList(doc);
    return rc;
}

cli::cliCommand reg("barcode",
                    "barcode DOC OUT --type TYPE --data TEXT --at X,Y [--size W[,H]] [--ec L|M|Q|H] [--no-text]  — "
                    "adds a barcode or QR code",
                    &run);

} // namespace
