#include "output/mergesheet.h"

#include "model/barcode.h"
#include "model/metrics.h"
#include "output/cropmarks.h"
#include "output/encode.h"
#include "output/failure.h"
#include "output/printsheet.h"
#include "output/vectorsheet.h"
#include "render/renderpass.h"
#include "render/text.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <deque>
#include <memory>
#include <set>

namespace output {

namespace {

void drawItems(QPainter& painter, const model::itemList_t& document, const device_t& device, QRect bounds,
               QPoint origin, render::layerStore_t& layers, const render::textSubstitute_t& substitute)
{
    const auto& s = model::screen();
    const double sx = double(device.ppiX) / std::max(1, s.screenPpiX), sy = double(device.ppiY) / std::max(1, s.screenPpiY);
    for (model::item_t* item : render::paintingOrder(document))
        render::renderItemToDevice(painter, bounds, &layers, document, item, origin, sx, sy, &substitute);
}

// A file name's piece from a value: nothing that leaves the folder or that
// file systems refuse.
std::u16string safeName(std::u16string_view v)
{
    std::u16string out(v);
    for (char16_t& c : out)
        if (c == u'/' || c == u'\\' || c == u':' || c < 0x20) c = u'_';
    if (out == u"." || out == u"..") out = u"_";
    return out;
}

} // namespace

render::textSubstitute_t cardSubstitute(const model::csvTable_t& table, const model::mergeCard_t& card)
{
    auto row = std::make_shared<model::mergeRow_t>(table, card.row);
    auto lookup = std::make_shared<model::fieldLookup_t>(row->lookup());
    const int64_t number = card.number;
    return [row, lookup, number](const model::item_t* item, std::u16string& text) {
        if (model::isBarcodeItem(item)) {
            // A barcode's data is filled in by the same rules; a line break
            // stays a line break rather than a paragraph mark.
            const std::optional<model::barcodeContent_t> content = model::readBarcode(item);
            if (!content) return false;
            const std::u16string stored = model::utf16Of(content->data);
            if (!model::hasFields(stored)) return false;
            text = model::substituteFields(stored, u'\n', *lookup, number);
            return true;
        }
        const int32_t len = model::textLength(item);
        if (len <= 0) return false;
        const std::u16string_view stored(item->text.data(), size_t(len));
        if (!model::hasFields(stored)) return false;
        text = model::substituteFields(stored, model::lineSeparator, *lookup, number);
        return true;
    };
}

int32_t cellsPerSheet(const model::headerBody_t& h)
{
    device_t probe;
    const sheetPlacement_t p = placeSheet(h, probe);
    if (!p.cards) return 1;
    return std::max(p.cells.rows, 1) * std::max(p.cells.columns, 1);
}

std::vector<std::vector<int32_t>> mergedSheets(const model::headerBody_t& h, const mergeJob_t& job)
{
    const int32_t cells = cellsPerSheet(h);
    const int32_t columns = std::max(printCells(h).columns, 1);
    const bool sheet = placeSheet(h, device_t{}).cards;
    return model::placeCards(job.cards.size(), cells, job.startCell, [&](int32_t cell) {
        if (!sheet) return true;
        return isAreaPrinted(job.printAreas, (cell - 1) / columns + 1, (cell - 1) % columns + 1, columns);
    });
}

bool drawMergedSheet(QPainter& painter, const model::itemList_t& document, const device_t& device,
                     const mergeJob_t& job, const std::vector<int32_t>& cells, QString* error)
{
    const model::item_t* header = model::findHeader(document);
    if (!header || !job.table) return fail(error, noPageReason);
    const int64_t w = int64_t(device.pageWidth) - 2 * int64_t(device.offX);
    const int64_t h = int64_t(device.pageHeight) - 2 * int64_t(device.offY);
    if (!outputFits(w, h)) return fail(error, tooLargeReason);
    const QRect sheet(0, 0, int(w), int(h));
    painter.fillRect(sheet, Qt::white);
    const sheetPlacement_t p = placeSheet(header->hdr(), device);
    render::layerStore_t layers;
    if (!p.cards) {
        if (!cells.empty() && cells[0] >= 0 && size_t(cells[0]) < job.cards.size())
            drawItems(painter, document, device, sheet, p.origin, layers,
                      cardSubstitute(*job.table, job.cards[size_t(cells[0])]));
        return true;
    }
    const int32_t columns = std::max(p.cells.columns, 1);
    const QRect source(QPoint(p.origin.x() - p.bleedX, p.origin.y() - p.bleedY),
                       QSize(p.cellWidth + 2 * p.bleedX, p.cellHeight + 2 * p.bleedY));
    for (size_t c = 0; c < cells.size(); ++c) {
        const int32_t k = cells[c];
        if (k < 0 || size_t(k) >= job.cards.size()) continue;
        const int32_t i = int32_t(c) % columns + 1, j = int32_t(c) / columns + 1;
        const QPoint by(cellOffset(i, p.cellWidth, p.columnGap), cellOffset(j, p.cellHeight, p.rowGap));
        const QRect clip = source.translated(by).intersected(sheet);
        if (clip.isEmpty()) continue;
        painter.save();
        painter.setClipRect(clip, Qt::IntersectClip);
        painter.translate(by);
        drawItems(painter, document, device, sheet.translated(-by), p.origin, layers,
                  cardSubstitute(*job.table, job.cards[size_t(k)]));
        painter.restore();
    }
    return true;
}

bool drawMergedCard(QPainter& painter, const model::itemList_t& document, const device_t& device,
                    const render::textSubstitute_t& substitute, QString* error)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return fail(error, noPageReason);
    const QSize size = cardPixels(header->hdr(), device);
    if (!outputFits(size.width(), size.height())) return fail(error, tooLargeReason);
    const QRect card(QPoint(0, 0), size);
    painter.fillRect(card, Qt::white);
    painter.save();
    painter.setClipRect(card, Qt::IntersectClip);
    render::layerStore_t layers;
    drawItems(painter, document, device, card, QPoint(0, 0), layers, substitute);
    painter.restore();
    return true;
}

QImage mergedSheetImage(const model::itemList_t& document, const device_t& device, const mergeJob_t& job,
                        const std::vector<int32_t>& cells)
{
    const int64_t w = int64_t(device.pageWidth) - 2 * int64_t(device.offX);
    const int64_t h = int64_t(device.pageHeight) - 2 * int64_t(device.offY);
    if (!model::findHeader(document) || !outputFits(w, h)) return {};
    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.fill(0xFFFFFFFFu);
    QPainter painter(&image);
    if (!drawMergedSheet(painter, document, device, job, cells, nullptr)) return {};
    return image;
}

bool writeMergedPdf(const model::itemList_t& document, const QString& fileName, const mergeJob_t& job, int32_t dpi,
                    const QString& title, bool cropMarks, QString* error, int32_t* pages, const QTransform& correction)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return fail(error, noPageReason);
    const auto sheets = mergedSheets(header->hdr(), job);
    if (sheets.empty())
        return fail(error, job.cards.empty() ? QStringLiteral("no row of the data is ticked")
                                             : QStringLiteral("every cell of the sheet is crossed out"));
    dpi = std::clamp(dpi, 1, maxPdfDpi);
    const QPageLayout layout = documentPageLayout(header->hdr());
    const device_t device = pdfDevice(layout, dpi);
    if (!outputFits(device.pageWidth, device.pageHeight)) return fail(error, tooLargeReason);

    if (pages) *pages = int32_t(sheets.size());
    return writePdfPages(fileName, layout, dpi, title, correction, error, [&](QPainter& painter, QPdfWriter& pdf) {
        for (size_t s = 0; s < sheets.size(); ++s) {
            if (s > 0 && !pdf.newPage()) return fail(error, QStringLiteral("the PDF file could not take another page"));
            if (!drawMergedSheet(painter, document, device, job, sheets[s], error)) return false;
            if (cropMarks) drawCropMarks(painter, header->hdr(), device);
        }
        return true;
    });
}

std::vector<QString> mergedFileNames(const QString& pattern, const mergeJob_t& job, QString* error)
{
    std::vector<QString> names;
    if (!job.table) return names;
    std::set<QString> seen;
    const std::u16string p = pattern.toStdU16String();
    for (const model::mergeCard_t& card : job.cards) {
        const model::mergeRow_t row(*job.table, card.row);
        const model::fieldLookup_t values = row.lookup();
        std::deque<std::u16string> safe;  // the views handed out stay valid
        model::fieldLookup_t lookup = [&](std::u16string_view name) -> std::optional<std::u16string_view> {
            const auto v = values(name);
            if (!v) return v;
            safe.push_back(safeName(*v));
            return std::u16string_view(safe.back());
        };
        // A name has one line; the separator never occurs in a file name pattern.
        const QString name = QString::fromStdU16String(model::substituteFields(p, u'\n', lookup, card.number));
        if (!seen.insert(name).second) {
            if (error)
                *error = QStringLiteral("two cards would both be written to %1: put ${#} or a column that differs into the name")
                             .arg(name);
            return {};
        }
        names.push_back(name);
    }
    return names;
}

bool writeMergedCard(const model::itemList_t& document, const QString& fileName, const model::csvTable_t& table,
                     const model::mergeCard_t& card, int32_t dpi, QString* error)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return fail(error, noPageReason);
    const render::textSubstitute_t substitute = cardSubstitute(table, card);
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const bool pdf = suffix == QLatin1String("pdf"), svg = suffix == QLatin1String("svg");
    device_t device;
    device.ppiX = device.ppiY = dpi > 0 ? std::min(dpi, maxPdfDpi) : (pdf || svg ? defaultVectorDpi : model::screen().screenPpiX);
    const QSizeF in = paperInches(header->hdr());
    device.pageWidth = model::roundHalfEven(in.width() * device.ppiX);
    device.pageHeight = model::roundHalfEven(in.height() * device.ppiY);
    const QSize pixels = cardPixels(header->hdr(), device);
    if (!outputFits(pixels.width(), pixels.height())) return fail(error, tooLargeReason);
    if (!pdf && !svg) {
        QImage image(pixels, QImage::Format_RGB32);
        if (image.isNull()) return fail(error, tooLargeReason);
        {
            QPainter painter(&image);
            if (!drawMergedCard(painter, document, device, substitute, error)) return false;
        }
        return writePicture(image, fileName, error);
    }
    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, file.errorString());
    bool ok = false, started = false;
    if (pdf) {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Lumora"));
        writer.setResolution(device.ppiX);
        const QSizeF inches(double(pixels.width()) / device.ppiX, double(pixels.height()) / device.ppiY);
        writer.setPageLayout(QPageLayout(QPageSize(inches, QPageSize::Inch, QString(), QPageSize::ExactMatch),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if ((started = painter.begin(&writer))) {
            ok = drawMergedCard(painter, document, device, substitute, error);
            painter.end();
        }
    } else {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setResolution(device.ppiX);
        generator.setSize(pixels);
        generator.setViewBox(QRect(QPoint(0, 0), pixels));
        QPainter painter;
        if ((started = painter.begin(&generator))) {
            ok = drawMergedCard(painter, document, device, substitute, error);
            painter.end();
        }
    }
    if (!started) {
        file.cancelWriting();
        return fail(error, QStringLiteral("the file could not be started"));
    }
    return commitOrCancel(file, ok, error);
}

} // namespace output
