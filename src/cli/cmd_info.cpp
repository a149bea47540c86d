// lumora-cli info FILE: a short human summary of a document.
#include "cli/command.h"
#include "cli/docio.h"

#include "model/extensions.h"
#include "model/itemlist.h"
#include "settings/pagepresets.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <map>

namespace {

using namespace model;

constexpr char unknownKindName[] = "unknown kind";
constexpr size_t maxListedUnknownKinds = 8;

const char* typeName(int32_t kind, int32_t type)
{
    if (kind == kindPattern) return "pattern definition";
    switch (type) {
    case typeText: return "text";
    case typeLine: return "line";
    case typeTriangle: return "triangle";
    case typeSquare: return "square";
    case typeRectangle: return "rectangle";
    case typeCircle: return "circle";
    case typeEllipse: return "ellipse";
    case typePolygon: return "polygon";
    case typeStar: return "star";
    case typePie: return "pie";
    case typeArc: return "arc";
    case typeSpline: return "spline";
    case typeCurve: return "curve";
    case typePicture: return "picture";
    case typeGroupHandle: return "group handle";
    case typeHeader: return "document header";
    case typeDeletionMarker: return "deletion marker";
    case typeGrid: return "grid anchors";
    case typePictureData: return "picture data";
    default: return isShapeType(type) ? "shape" : "other";
    }
}

const char* kindName(int32_t kind)
{
    switch (kind) {
    case kindItem: return "document items";
    case kindPattern: return "pattern definitions";
    case kindPictureData: return "picture data";
    case kindHeader: return "document header";
    default: return unknownKindName;
    }
}

const char* unitName(int32_t unit)
{
    switch (unit) {
    case 1: return "pixels";
    case 2: return "millimetres";
    case 3: return "inches";
    default: return "unknown";
    }
}

const char* unitAbbrev(int32_t unit)
{
    switch (unit) {
    case 1: return "px";
    case 2: return "mm";
    case 3: return "in";
    default: return "";
    }
}

// The page setup the header holds, in the document's unit.
void printPageSetup(const headerBody_t& hd)
{
    const int32_t type = page::designTypeOf(hd.designType);
    const QString name = page::designTypeName(type);
    const char* u = unitAbbrev(hd.unit);
    std::printf("Design type: %d %s\n", type, name.isEmpty() ? "(none)" : name.toUtf8().constData());
    std::printf("Paper: %g x %g %s\n", hd.paperWidth, hd.paperHeight, u);
    std::printf("Card: %g x %g %s\n", hd.cardWidth, hd.cardHeight, u);
    std::printf("Margins: left %g, top %g, right %g, bottom %g %s\n", hd.marginLeft, hd.marginTop, hd.marginRight,
                hd.marginBottom, u);
    std::printf("Rows: %d, columns: %d\n", hd.rows, hd.columns);
    std::printf("Gaps: row %g, column %g %s\n", hd.rowGap, hd.columnGap, u);
    std::printf("Folds: %s\n", hd.rowFold && hd.columnFold ? "row and column"
                                : hd.rowFold                ? "row"
                                : hd.columnFold             ? "column"
                                                            : "none");
    std::printf("Canvas: %g x %g %s\n", hd.canvasWidth, hd.canvasHeight, u);
}

int run(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const bool force = cli::takeFlag(args, "--force");
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: lumora-cli info FILE [--force]\n");
        return cli::exitUsage;
    }
    itemList_t list;
    const int rc = cli::loadDocument(args[0], force, list);
    if (rc != cli::exitOk) return rc;

    std::map<int32_t, int> byKind;
    std::map<std::string, int> byType;
    int records = 0;
    for (const item_t* it = list.head; it; it = it->next) {
        ++records;
        ++byKind[it->kind];
        ++byType[typeName(it->kind, it->itemType)];
    }
    std::printf("File: %s\n", args[0].c_str());
    std::printf("Records: %d\n", records);
    // Kinds the reader does not know (a file read with --force) are summed in
    // one line, with the first few values, however many there are.
    int unknownRecords = 0;
    std::string unknownValues;
    size_t unknownKinds = 0;
    for (auto& [k, n] : byKind) {
        if (std::strcmp(kindName(k), unknownKindName) != 0) {
            std::printf("  %-20s %d\n", kindName(k), n);
            continue;
        }
        unknownRecords += n;
        if (++unknownKinds <= maxListedUnknownKinds)
            unknownValues += (unknownValues.empty() ? "" : ", ") + std::to_string(k);
    }
    if (unknownKinds > 0) {
        if (unknownKinds > maxListedUnknownKinds) unknownValues += ", ...";
        std::printf("  %-20s %d (%zu different: %s)\n", unknownKindName, unknownRecords, unknownKinds,
                    unknownValues.c_str());
    }
    std::printf("By type:\n");
    for (auto& [t, n] : byType) std::printf("  %-20s %d\n", t.c_str(), n);
    if (const item_t* h = findHeader(list)) {
        const auto& hd = h->hdr();
        std::printf("Page: %g x %g %s, design type %d, %s\n", hd.canvasWidth, hd.canvasHeight, unitAbbrev(hd.unit),
                    hd.designType < 0 ? -hd.designType : hd.designType,
                    hd.pageOrientation == 2 ? "landscape" : "portrait");
        std::printf("Unit: %s\n", unitName(hd.unit));
        printPageSetup(hd);
        std::printf("Zoom: %g %%\n", hd.zoom * 100);
        std::printf("File version: %d\n", hd.fileVersion);
    } else {
        std::printf("Page: none (the file has no document header)\n");
    }
    // Extension data: values by owner, the document's and the items'.
    size_t documentValues = 0, itemValues = 0, itemsWithValues = 0;
    for (const item_t* it = list.head; it; it = it->next) {
        if (!it->extensions || it->extensions->empty()) continue;
        if (it == findHeader(list)) {
            documentValues = it->extensions->entries().size();
        } else {
            itemValues += it->extensions->entries().size();
            ++itemsWithValues;
        }
    }
    if (documentValues + itemValues > 0)
        std::printf("Extension data: %zu value(s) of the document, %zu value(s) on %zu item(s)\n", documentValues,
                    itemValues, itemsWithValues);
    if (isModified(list)) std::printf("Opened with invalid records: the document is marked modified.\n");
    freeList(list);
    return cli::exitOk;
}

cli::cliCommand reg("info", "info FILE [--force]  — a short summary: records by kind and type, page setup, unit, zoom", &run);

} // namespace
