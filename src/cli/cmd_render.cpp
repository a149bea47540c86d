// lumora-cli render FILE OUT.png: paints the canvas as the document window
// does after opening (a quick pass, then every item again with its effects)
// and writes it as a PNG.
#include "cli/command.h"
#include "cli/docio.h"

#include "geometry/units.h"
#include "model/itemlist.h"
#include "render/renderpass.h"
#include "render/text.h"

#include <QImageWriter>
#include <QSaveFile>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr const char* usageText =
    "usage: lumora-cli render FILE OUT.png [--zoom Z] [--origin X,Y] [--quick] [--no-shadows] [--no-pictures] "
    "[--no-3d] [--force]\n";

bool parseZoom(const std::string& text, double& zoom)
{
    std::string t = text;
    bool percent = false;
    if (!t.empty() && t.back() == '%') {
        percent = true;
        t.pop_back();
    }
    try {
        size_t used = 0;
        double v = std::stod(t, &used);
        if (used != t.size()) return false;
        if (percent) v /= 100.0;
        if (!std::isfinite(v) || v < 0.1 || v > 10.0) return false;
        zoom = v;
        return true;
    } catch (...) {
        return false;
    }
}

bool parseOrigin(const std::string& text, geometry::point_t& origin)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    int32_t x = 0, y = 0;
    if (!cli::wholeNumber(text.substr(0, comma), 0, 1000000, x) || !cli::wholeNumber(text.substr(comma + 1), 0, 1000000, y))
        return false;
    origin = {x, y};
    return true;
}

int run(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const bool force = cli::takeFlag(args, "--force");
    const bool quick = cli::takeFlag(args, "--quick");
    const bool noShadows = cli::takeFlag(args, "--no-shadows");
    const bool noPictures = cli::takeFlag(args, "--no-pictures");
    const bool no3d = cli::takeFlag(args, "--no-3d");
    std::string zoomText, originText;
    bool hasZoom = false, hasOrigin = false;
    if (!cli::takeOption(args, "--zoom", zoomText, hasZoom) || !cli::takeOption(args, "--origin", originText, hasOrigin)) {
        std::fprintf(stderr, "%s", usageText);
        return cli::exitUsage;
    }
    for (const std::string& a : args)
        if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "lumora-cli render: unknown option %s\n%s", a.c_str(), usageText);
            return cli::exitUsage;
        }
    if (args.size() != 2) {
        std::fprintf(stderr, "%s", usageText);
        return cli::exitUsage;
    }
    double zoom = 0;
    if (hasZoom && !parseZoom(zoomText, zoom)) {
        std::fprintf(stderr, "lumora-cli render: --zoom wants a factor from 0.1 to 10 (or a percentage), not '%s'\n",
                     zoomText.c_str());
        return cli::exitUsage;
    }
    geometry::point_t origin;
    if (hasOrigin && !parseOrigin(originText, origin)) {
        std::fprintf(stderr, "lumora-cli render: --origin wants X,Y in pixels (0 or more), not '%s'\n",
                     originText.c_str());
        return cli::exitUsage;
    }

    model::itemList_t list;
    const int rc = cli::loadDocument(args[0], force, list);
    if (rc != cli::exitOk) return rc;
    model::item_t* header = model::findHeader(list);
    if (!header) {
        std::fprintf(stderr, "lumora-cli render: %s has no document header, so it has no page to paint\n",
                     args[0].c_str());
        model::freeList(list);
        return cli::exitRefused;
    }
    auto& h = header->hdr();
    if (hasZoom) h.zoom = zoom;
    else if (!std::isfinite(h.zoom) || h.zoom <= 0) h.zoom = 1.0;
    geometry::computeCanvasPixels(header);
    // As after opening in the editor: every text takes its box from its font.
    render::layOutTexts(list);

    render::renderView_t view;
    view.items = &list;
    const QSize size = render::canvasImageSize(header);
    view.Image1 = render::newCanvasImage(size.width(), size.height());
    view.viewOrigin = origin;
    view.showShadows = !noShadows;
    view.showPictures = !noPictures;
    view.show3D = !no3d;
    // As after opening: a quick pass first, then the items again with effects.
    view.quickDraw = true;
    render::repaintAll(view, false);
    view.quickDraw = false;
    if (!quick) render::fullQualityPass(view);
    model::freeList(list);

    const QString out = QString::fromStdString(args[1]);
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "lumora-cli: cannot write %s: %s\n", args[1].c_str(), file.errorString().toLocal8Bit().constData());
        return cli::exitFileError;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(view.Image1) || !file.commit()) {
        const QString why = writer.error() != QImageWriter::UnknownError ? writer.errorString() : file.errorString();
        std::fprintf(stderr, "lumora-cli: cannot write %s: %s\n", args[1].c_str(), why.toLocal8Bit().constData());
        file.cancelWriting();
        return cli::exitFileError;
    }
    std::printf("%s: %d x %d pixels\n", args[1].c_str(), view.Image1.width(), view.Image1.height());
    return cli::exitOk;
}

cli::cliCommand reg("render", "render FILE OUT.png [--zoom Z] [--origin X,Y] [--quick] [--no-shadows] [--no-pictures] "
                              "[--no-3d] [--force]  — paint the canvas into a PNG",
                    &run);

} // namespace
