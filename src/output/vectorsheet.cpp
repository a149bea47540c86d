#include "output/vectorsheet.h"

#include "model/metrics.h"
#include "output/cropmarks.h"
#include "output/failure.h"
#include "output/printsheet.h"
#include "render/renderpass.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QRegion>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <vector>

namespace output {

namespace {

// Everything the items of one card need to be drawn on a device.
struct cardDraw_t {
    const model::itemList_t& document;
    QRect bounds;
    QPoint origin;
    double scaleX = 1, scaleY = 1;
    render::layerStore_t layers;

    // All items, the card's (0, 0) moved by `shift`, within `clip`.
    void draw(QPainter& painter, QPoint shift, const QRegion& clip)
    {
        if (clip.isEmpty()) return;
        painter.save();
        painter.setClipRegion(clip, Qt::IntersectClip);
        painter.translate(shift);
        for (model::item_t* item : render::paintingOrder(document))
            render::renderItemToDevice(painter, bounds, &layers, document, item, origin, scaleX, scaleY);
        painter.restore();
    }
};

cardDraw_t drawerFor(const model::itemList_t& document, const device_t& device, QRect bounds, QPoint origin)
{
    const auto& s = model::screen();
    return {document, bounds, origin, double(device.ppiX) / std::max(1, s.screenPpiX),
            double(device.ppiY) / std::max(1, s.screenPpiY), {}};
}

} // namespace

QSize cardPixels(const model::headerBody_t& h, const device_t& device)
{
    const sheetPlacement_t p = placeSheet(h, device);
    if (p.cards) return {p.cellWidth, p.cellHeight};
    return {device.pageWidth - 2 * device.offX, device.pageHeight - 2 * device.offY};
}

bool drawVectorSheet(QPainter& painter, const model::itemList_t& document, const device_t& device,
                     const QByteArray& printAreas, QString* error)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return fail(error, noPageReason);
    const int64_t w = int64_t(device.pageWidth) - 2 * int64_t(device.offX);
    const int64_t h = int64_t(device.pageHeight) - 2 * int64_t(device.offY);
    if (!outputFits(w, h)) return fail(error, tooLargeReason);
    const QRect sheet(0, 0, int(w), int(h));
    const sheetPlacement_t p = placeSheet(header->hdr(), device);
    cardDraw_t card = drawerFor(document, device, sheet, p.origin);

    painter.fillRect(sheet, Qt::white);
    if (!p.cards) {
        card.draw(painter, {}, sheet);
        return true;
    }
    // The bitmap sheet is painted in layers: the first card, then a copy of
    // its cell (or white) over every other cell, then white over the top and
    // left margins. Here each drawing keeps only what no later layer covers,
    // so the file holds no ink hidden under white.
    const int32_t ox = p.origin.x(), oy = p.origin.y();
    const QRect source(QPoint(ox - p.bleedX, oy - p.bleedY),
                       QPoint(ox + p.cellWidth + p.bleedX - 1, oy + p.cellHeight + p.bleedY - 1));
    const QRect have = source.intersected(sheet);
    struct layer_t {
        QRegion covers;  // what the layer paints over
        QPoint shift;    // where its copy of the card lands; none for white
        bool card = false;
    };
    std::vector<layer_t> layers;
    layers.push_back({QRegion(sheet), {}, true});
    if (p.cells.rows > 1 || p.cells.columns > 1) {
        for (int32_t j = 1; j <= p.cells.rows; ++j)
            for (int32_t i = 1; i <= p.cells.columns; ++i) {
                if (i == 1 && j == 1) continue;
                const QPoint by(cellOffset(i, p.cellWidth, p.columnGap), cellOffset(j, p.cellHeight, p.rowGap));
                if (isAreaPrinted(printAreas, j, i, p.cells.columns))
                    layers.push_back({QRegion(have.translated(by).intersected(sheet)), by, true});
                else layers.push_back({QRegion(source.translated(by).intersected(sheet)), {}, false});
            }
        if (!isAreaPrinted(printAreas, 1, 1, p.cells.columns))
            layers.push_back({QRegion(QRect(QPoint(0, 0), QPoint(source.right(), source.bottom())).intersected(sheet)), {}, false});
    }
    QRegion margins = QRegion(QRect(0, 0, std::max(ox, 0), sheet.height())).united(QRect(0, 0, sheet.width(), std::max(oy, 0)));
    QRegion later = margins.intersected(sheet);
    std::vector<QRegion> visible(layers.size());
    for (size_t k = layers.size(); k-- > 0;) {
        visible[k] = layers[k].covers.subtracted(later);
        later = later.united(layers[k].covers);
    }
    // A device that takes no clip paths (Qt's SVG generator) gets every
    // printed card whole and none of a crossed-out one: what reaches beyond a
    // card is not cut at its cell there.
    const QPaintEngine* engine = painter.paintEngine();
    const bool clips = !engine || engine->type() != QPaintEngine::SVG;
    const bool firstPrinted = isAreaPrinted(printAreas, 1, 1, p.cells.columns) || (p.cells.rows <= 1 && p.cells.columns <= 1);
    for (size_t k = 0; k < layers.size(); ++k) {
        if (!layers[k].card || (!clips && k == 0 && !firstPrinted)) continue;
        card.draw(painter, layers[k].shift, visible[k]);
    }
    return true;
}

bool drawVectorCard(QPainter& painter, const model::itemList_t& document, const device_t& device, QString* error)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return fail(error, noPageReason);
    const QSize size = cardPixels(header->hdr(), device);
    if (!outputFits(size.width(), size.height())) return fail(error, tooLargeReason);
    const QRect card(QPoint(0, 0), size);
    painter.fillRect(card, Qt::white);
    cardDraw_t drawer = drawerFor(document, device, card, QPoint(0, 0));
    drawer.draw(painter, {}, card);
    return true;
}

QImage pagePicture(const model::itemList_t& document, int32_t dpi, bool wholeSheet, const QByteArray& printAreas)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return {};
    if (dpi <= 0 && wholeSheet) return exactImage(document);
    device_t device = screenDevice(header, modeExport);
    if (dpi > 0) {
        const QRect full = documentPageLayout(header->hdr()).fullRectPixels(dpi);
        device = device_t{};
        device.ppiX = device.ppiY = dpi;
        device.pageWidth = full.width();
        device.pageHeight = full.height();
    }
    const QImage sheet = renderSheet(document, device, wholeSheet ? printAreas : QByteArray());
    if (sheet.isNull() || wholeSheet) return sheet;
    const sheetPlacement_t p = placeSheet(header->hdr(), device);
    if (!p.cards) return sheet;
    // The first cell holds the card; parts of it off the sheet stay white.
    QImage one(std::max(p.cellWidth, 1), std::max(p.cellHeight, 1), QImage::Format_RGB32);
    if (one.isNull()) return {};
    one.fill(0xFFFFFFFFu);
    render::copyRect(one, QPoint(0, 0), sheet, QRect(p.origin, one.size()));
    return one;
}

bool writeVector(const model::itemList_t& document, const QString& fileName, vectorFormat_t format,
                 const vectorJob_t& job, QString* error)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return fail(error, noPageReason);
    const int32_t dpi = std::clamp(job.dpi, 1, maxPdfDpi);
    QPageLayout layout = documentPageLayout(header->hdr());
    device_t device;
    device.ppiX = device.ppiY = dpi;
    if (format == vectorFormat_t::pdf) {
        // The page a PDF holds: whole points.
        const QRect full = layout.fullRectPixels(dpi);
        device.pageWidth = full.width();
        device.pageHeight = full.height();
    } else {
        const QSizeF in = paperInches(header->hdr());
        device.pageWidth = model::roundHalfEven(in.width() * dpi);
        device.pageHeight = model::roundHalfEven(in.height() * dpi);
    }
    QSize pixels(device.pageWidth, device.pageHeight);
    if (!job.wholeSheet) {
        pixels = cardPixels(header->hdr(), device);
        if (!outputFits(pixels.width(), pixels.height())) return fail(error, tooLargeReason);
        const QSizeF inches(double(pixels.width()) / dpi, double(pixels.height()) / dpi);
        layout = QPageLayout(QPageSize(inches, QPageSize::Inch, QString(), QPageSize::ExactMatch), QPageLayout::Portrait,
                             QMarginsF(0, 0, 0, 0));
    } else if (!outputFits(pixels.width(), pixels.height())) {
        return fail(error, tooLargeReason);
    }

    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, file.errorString());
    auto paint = [&](QPainter& painter) {
        painter.setWorldTransform(job.correction);
        if (!job.wholeSheet) return drawVectorCard(painter, document, device, error);
        if (!drawVectorSheet(painter, document, device, job.printAreas, error)) return false;
        if (job.cropMarks) drawCropMarks(painter, header->hdr(), device);
        return true;
    };
    bool ok = false;
    bool started = false;
    if (format == vectorFormat_t::pdf) {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Lumora"));
        pdf.setTitle(job.title);
        pdf.setResolution(dpi);
        pdf.setPageLayout(layout);
        QPainter painter;
        started = painter.begin(&pdf);
        if (started) {
            ok = paint(painter);
            painter.end();
        }
    } else {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setTitle(job.title);
        svg.setDescription(QStringLiteral("Lumora"));
        svg.setResolution(dpi);
        svg.setSize(pixels);
        svg.setViewBox(QRect(QPoint(0, 0), pixels));
        QPainter painter;
        started = painter.begin(&svg);
        if (started) {
            ok = paint(painter);
            painter.end();
        }
    }
    if (!started) {
        file.cancelWriting();
        return fail(error, format == vectorFormat_t::pdf ? QStringLiteral("the PDF file could not be started")
                                                         : QStringLiteral("the SVG file could not be started"));
    }
    return commitOrCancel(file, ok, error);
}

} // namespace output
