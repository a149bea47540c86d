// Merged output: the document's card drawn once per merge card, each with its
// row's values, across the sheet's cells from a start cell, crossed-out cells
// skipped, on as many sheets as the cards need. A document that is not a
// sheet of cards makes one page per card.
#pragma once

#include "model/csv.h"
#include "model/itemlist.h"
#include "model/mergecards.h"
#include "output/renderoutput.h"
#include "render/texthook.h"

#include <QByteArray>
#include <QImage>
#include <QTransform>
#include <QString>

#include <cstdint>
#include <vector>

class QPainter;

namespace output {

struct mergeJob_t {
    const model::csvTable_t* table = nullptr;
    std::vector<model::mergeCard_t> cards;
    int32_t startCell = 1;   // on the first sheet, from 1, row by row
    QByteArray printAreas;   // crossed-out cells
};

// The text hook that fills in one card's values.
render::textSubstitute_t cardSubstitute(const model::csvTable_t& table, const model::mergeCard_t& card);

// Cells of one sheet (1 for a document that is not a sheet of cards).
int32_t cellsPerSheet(const model::headerBody_t& h);

// Card indexes per sheet and cell (-1: empty); empty when nothing can print.
std::vector<std::vector<int32_t>> mergedSheets(const model::headerBody_t& h, const mergeJob_t& job);

// Draws one sheet of cards (`cells` from mergedSheets) with `painter` in
// device pixels, (0, 0) the top-left of the printable area.
bool drawMergedSheet(QPainter& painter, const model::itemList_t& document, const device_t& device,
                     const mergeJob_t& job, const std::vector<int32_t>& cells, QString* error);

// One card alone (see cardPixels), filled in by `substitute`.
bool drawMergedCard(QPainter& painter, const model::itemList_t& document, const device_t& device,
                    const render::textSubstitute_t& substitute, QString* error);

// A sheet as a picture on `device` (the print preview).
QImage mergedSheetImage(const model::itemList_t& document, const device_t& device, const mergeJob_t& job,
                        const std::vector<int32_t>& cells);

// Every sheet into one PDF of the document's paper, written to a temporary
// file renamed over `fileName`. `pages` receives the sheet count; a printer's
// `correction` (device pixels) is applied to every page.
bool writeMergedPdf(const model::itemList_t& document, const QString& fileName, const mergeJob_t& job, int32_t dpi,
                    const QString& title, bool cropMarks, QString* error, int32_t* pages = nullptr,
                    const QTransform& correction = QTransform());

// One file per card for export: the names from `pattern`, its fields filled
// in from the card's row (characters that would leave the folder replaced).
// Empty with `error` when the pattern names two cards alike.
std::vector<QString> mergedFileNames(const QString& pattern, const mergeJob_t& job, QString* error);

// One card as a file: PDF or SVG by vectors, other names as a picture at
// `dpi` (0: screen resolution).
bool writeMergedCard(const model::itemList_t& document, const QString& fileName, const model::csvTable_t& table,
                     const model::mergeCard_t& card, int32_t dpi, QString* error);

} // namespace output
