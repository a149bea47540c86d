// lumora-cli export FILE OUT.(jpg|bmp|ico): writes the page as a picture, as
// the editor's export does: one document pixel to one file pixel, or with
// --smooth the print preview's anti-aliased image (which honours --areas).
#include "cli/command.h"
#include "cli/docio.h"
#include "cli/outputdoc.h"

#include "output/encode.h"
#include "output/renderoutput.h"

#include <cstdio>

namespace {

constexpr const char* usageText = "usage: lumora-cli export FILE OUT.(jpg|bmp|ico) [--smooth] [--areas STRING] [--force]\n";

int run(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const bool force = cli::takeFlag(args, "--force");
    const bool smooth = cli::takeFlag(args, "--smooth");
    std::string areas;
    bool hasAreas = false;
    if (!cli::takeOption(args, "--areas", areas, hasAreas)) {
        std::fprintf(stderr, "%s", usageText);
        return cli::exitUsage;
    }
    if (!cli::noUnknownOptions("export", args, usageText)) return cli::exitUsage;
    if (args.size() != 2) {
        std::fprintf(stderr, "%s", usageText);
        return cli::exitUsage;
    }
    model::itemList_t list;
    const int rc = cli::loadPagedDocument("export", args[0], force, list);
    if (rc != cli::exitOk) return rc;
    const QImage page = smooth ? output::previewImage(list, QByteArray::fromStdString(areas)) : output::exactImage(list);
    model::freeList(list);
    if (page.isNull()) {
        std::fprintf(stderr, "lumora-cli export: the page of %s is too large to render\n", args[0].c_str());
        return cli::exitFailed;
    }
    QString why;
    if (!output::writePicture(page, QString::fromStdString(args[1]), &why)) {
        std::fprintf(stderr, "lumora-cli: cannot write %s: %s\n", args[1].c_str(), why.toLocal8Bit().constData());
        return cli::exitFileError;
    }
    std::printf("%s: %d x %d pixels\n", args[1].c_str(), page.width(), page.height());
    return cli::exitOk;
}

cli::cliCommand reg("export", "export FILE OUT.(jpg|bmp|ico) [--smooth] [--areas STRING] [--force]  — write the page as a picture",
                    &run);

} // namespace
