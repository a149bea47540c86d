#include "ui/guidancetexts.h"

#include "settings/params.h"

#include <algorithm>

namespace ui {

namespace {

// Every text of the guidance pages, in one place so that a translation can
// replace them. `word` is the word of the text that a page replaces by its
// item's name ("triangle" becomes "star"); keywords are '|'-separated.
enum textId_t : int32_t {
    noText,
    // after an item was created
    anotherLine, drawNextLine, fineTuneLine, moveLine,
    enterText, startNewText, fineTuneText, moveText,
    startNext, fineTuneShape, moveShape,
    pictureCorner, insertNewPicture, fineTuneClip, moveClip,
    // how to move and reshape
    lineMove, lineStretch, lineSelect, lineDirection,
    textMove, textStretch, textSelect, textRotated,
    shapeMove, shapeChange, shapeRotate, itemSelect, changeSize, changeSizeEnds, ctrlArea,
    splineOutline, solidOutline,
    clipScale, clipAngle, clipSelect,
    // grid, snap, anchors, undo
    gridHorizontal, gridSnap, gridAnchor, gridMoves,
    snapMarkers, snapHidden, snapOneDirection,
    undoRestore, undoStepBack, undoStepForward, undoCleared,
    anchorsWhat, anchorsMove, anchorsDelete, anchorsInsert,
    // while points are placed
    pointFinal, pointEnter, pointBackspace, pointErase, pointClose,
    // while clips are outlined
    clipAnother, clipPointer, clipHere,
    textCount
};

struct textRow_t {
    textId_t id;
    const char* text;
    const char* word;      // replaced by the item's name; null: none
    const char* emphasis;  // bold keywords
    const char* link;      // the link keyword
};

constexpr textRow_t textTable[] = {
    {noText, "", nullptr, nullptr, nullptr},
    {anotherLine, "Click where you want to start another line, or...", "line", nullptr, nullptr},
    {drawNextLine, "Click on Draw next line to set the color and thickness of the next line, or...", nullptr, nullptr,
     "Draw next line"},
    {fineTuneLine, "Click on Fine-tune this line to change the color or thickness of this line.", nullptr, nullptr,
     "Fine-tune this line"},
    {moveLine,
     "Click on Move this line to adjust the position of this line. Then, move the line by dragging its center "
     "point, or change the angle by moving the end points.",
     nullptr, nullptr, "Move this line"},
    {enterText, "Enter the text. Then, click where you want to start another line of text.", nullptr, nullptr, nullptr},
    {startNewText, "Click on Start new text to set the color, size and font of the next line of text.", nullptr, nullptr,
     "Start new text"},
    {fineTuneText, "Click on Fine-tune this text to change the color, size or font of this text.", nullptr, nullptr,
     "Fine-tune this text"},
    {moveText,
     "Click on Move this text to adjust the position of this text. Or, click on the pointer button (the button "
     "with the hand picture) when done editing the text.",
     nullptr, nullptr, "Move this text"},
    {startNext, "Click on Start next triangle to set the color or outline of the next triangle, or...", "triangle",
     nullptr, "Start next triangle"},
    {fineTuneShape, "Click on Fine-tune to change the color or outline of this triangle.", "triangle", nullptr,
     "Fine-tune"},
    {moveShape,
     "Click on Move this triangle to adjust the position of this triangle. Then, move the triangle by dragging its "
     "center point, or change the shape by moving the end points.",
     "triangle", nullptr, "Move this triangle"},
    {pictureCorner, "The picture or the clips are in the upper left corner of your canvas.", nullptr, nullptr, nullptr},
    {insertNewPicture, "Click on Insert new picture to bring in more pictures or clips.", nullptr, nullptr,
     "Insert new picture"},
    {fineTuneClip, "Click on Fine-tune to adjust the colors of this clip.", nullptr, nullptr, "Fine-tune"},
    {moveClip,
     "Click on Move this clip to adjust the position of this clip. Then, move the clip by dragging its center point, "
     "or change the scale by moving the edge points.",
     nullptr, nullptr, "Move this clip"},

    {lineMove,
     "To move the line, drag its center point (place the cursor over it, hold down the mouse key and move the "
     "mouse).",
     nullptr, "move", nullptr},
    {lineStretch, "To stretch the line, drag its edge points.", nullptr, "stretch", nullptr},
    {lineSelect, "To select another line, click on it. Hold down the Shift key to select more than one line.", nullptr,
     "select", nullptr},
    {lineDirection,
     "Any line that has a pre-set direction maintains that direction until you change the value in the Fine-tune "
     "menu.",
     nullptr, nullptr, nullptr},
    {textMove,
     "To move the text, drag its center point (place the cursor over it, hold down the mouse key and move the "
     "mouse).",
     nullptr, "move", nullptr},
    {textStretch, "To stretch the text box, drag its edge points.", nullptr, "stretch", nullptr},
    {textSelect,
     "To select another line of text, click on it. Hold down the Shift key to select more than one item.", nullptr,
     "select", nullptr},
    {textRotated, "Any line of text, that has a pre-set angle, is rotated until you change the value in the Fine-tune menu.",
     nullptr, "rotated", nullptr},
    {shapeMove, "To move the triangle, drag its center point.", "triangle", "move", nullptr},
    {shapeChange, "To change the shape of the triangle, drag its edge points.", "triangle", "change the shape", nullptr},
    {shapeRotate, "To rotate the triangle, drag the dot at the end of the line stretching from its center.", "triangle",
     "rotate", nullptr},
    {itemSelect, "To select another item, click on its edge. Hold down the Shift key to select more than one item.",
     nullptr, "select", nullptr},
    {changeSize, "To change the size of the circle, drag one of its edge points.", "circle", "change the size", nullptr},
    {changeSizeEnds, "To change the size of the circle, drag one of its end points.", "circle", "change the size",
     nullptr},
    {ctrlArea, "Hold down the Ctrl key and move the mouse to select items inside an area.", nullptr, nullptr, nullptr},
    {splineOutline, "To change the outline of the spline, drag one of the middle points.", "spline", "outline", nullptr},
    {solidOutline, "To change the outline of the solid, drag one of the edge points.", "solid", "outline", nullptr},
    {clipScale, "To change the scale of the clip, drag one of the edge points.", nullptr, "scale", nullptr},
    {clipAngle,
     "To change the angle of the clip, drag the green dot at the end of the dashed line that starts at the center "
     "of the clip.",
     nullptr, "angle", nullptr},
    {clipSelect, "To select another clip, click on its edge.", nullptr, "select", nullptr},

    {gridHorizontal, "Horizontal grid makes vertical lines to guide you in horizontal direction.", nullptr,
     "Horizontal grid|vertical gridlines", nullptr},
    {gridSnap, "When Snap is on, objects snap to the nearest gridline. Tools|Snap menu turns Snap on.", nullptr, "Snap",
     nullptr},
    {gridAnchor, "Each gridline has an Anchor that you can move. Tools|Grid|Anchors turns Anchors on.", nullptr,
     "anchor", nullptr},
    {gridMoves, "When you move a gridline, the objects that are snapped to it move with it.", nullptr, "move", nullptr},
    {snapMarkers, "If Snap is on, objects snap to the nearest gridline when you move their markers", nullptr, nullptr,
     nullptr},
    {snapHidden, "You can turn Snap on even when the gridlines are not visible.", nullptr, nullptr, nullptr},
    {snapOneDirection,
     "You can turn Snap on in only one direction, horizontal or vertical. Tools|Snap menu turns Snap on.", nullptr,
     nullptr, nullptr},
    {undoRestore, "You can restore any deleted object by clicking on the Undo button.", nullptr, nullptr, "Undo"},
    {undoStepBack, "You can step back through all the work that you have done so far.", nullptr, nullptr, nullptr},
    {undoStepForward, "You can then step forward all the way to this point by clicking on the Redo button.", nullptr,
     nullptr, "Redo"},
    {undoCleared, "But, as soon as you make any edits, all the remaining Redo steps are cleared.", nullptr, nullptr,
     nullptr},
    {anchorsWhat,
     "Grid anchors are the starting points of gridlines, small blue cylinders that appear next to the rulers.",
     nullptr, "Grid Anchors", nullptr},
    {anchorsMove,
     "You can move any gridline - place the cursor over its anchor, hold down the mouse button and move it.",
     nullptr, "move", nullptr},
    {anchorsDelete, "You can delete any gridline - place the cursor over its anchor, and press the 'Delete' key.",
     nullptr, "delete", nullptr},
    {anchorsInsert, "You can insert a new gridline - hold down the Shift key and click between any two anchors.",
     nullptr, "insert", nullptr},

    {pointFinal, "Hold down the Shift key to enter the final point.", nullptr, "final point|Shift", nullptr},
    {pointEnter, "Press the Enter key to end the spline at the last turning point.", "spline", "last", nullptr},
    {pointBackspace, "Press the Backspace key to remove the last point.", nullptr, "remove", nullptr},
    {pointErase, "Press the Esc key to erase this spline.", "spline", "erase", nullptr},
    {pointClose, "Press 'C' to close the spline and exit.", "spline", "close", nullptr},

    {clipAnother, "Click where you want to start another clip.", nullptr, nullptr, nullptr},
    {clipPointer, "Click on the pointer button and then select a clip, if you want to adjust its size or position.",
     nullptr, nullptr, nullptr},
    {clipHere, "Click here to move the last clip or adjust the size of that clip.", nullptr, nullptr, "here"},
};
static_assert(std::size(textTable) == textCount);
constexpr bool tableInIdOrder()
{
    for (int32_t k = 0; k < textCount; ++k)
        if (textTable[k].id != k) return false;
    return true;
}
static_assert(tableInIdOrder(), "the text table is indexed by its ids");

// A box of a page: one text, or two read as one paragraph.
struct boxRow_t {
    textId_t first = noText, second = noText;
};

struct pageRow_t {
    int32_t code;
    guidanceKind_t kind;
    const char* name;  // the item's name put into the texts; null: the texts as they stand
    boxRow_t boxes[4];
    int32_t tool, fineTune, manipulation;
};

using K = guidanceKind_t;
constexpr boxRow_t none{};
constexpr boxRow_t shapeCreated[4] = {{anotherLine}, {startNext}, {fineTuneShape}, {moveShape}};
// The rows of the pages that share their templates.
constexpr pageRow_t created(int32_t code, const char* name, int32_t tool, int32_t fine)
{
    return {code, K::creation, name, {shapeCreated[0], shapeCreated[1], shapeCreated[2], shapeCreated[3]}, tool, fine,
            code + 1};
}
constexpr pageRow_t moved(int32_t code, const char* name, textId_t b2, textId_t b3, textId_t b5, int32_t fine)
{
    return {code, K::manipulation, name, {{shapeMove}, {b2}, {b3}, {b5}}, 0, fine, 0};
}
constexpr pageRow_t points(int32_t code, const char* name, int32_t tool, textId_t closes)
{
    return {code, K::afterPoint, name, {{pointFinal}, {pointEnter}, {pointBackspace}, {pointErase, closes}}, tool, 0, 0};
}

constexpr pageRow_t pageTable[] = {
    {1024, K::creation, nullptr, {{anotherLine}, {drawNextLine}, {fineTuneLine}, {moveLine}}, 98, 99, 1025},
    {1025, K::manipulation, nullptr, {{lineMove}, {lineStretch}, {lineSelect}, {lineDirection}}, 0, 99, 0},
    {1028, K::grid, nullptr, {{gridHorizontal}, {gridSnap}, {gridAnchor}, {gridMoves}}, 0, 0, 0},
    {1029, K::grid, nullptr, {{snapMarkers}, {snapHidden}, {gridMoves}, {snapOneDirection}}, 0, 0, 0},
    {1035, K::creation, nullptr, {{enterText}, {startNewText}, {fineTuneText}, {moveText}}, 300, 301, 1036},
    {1036, K::manipulation, nullptr, {{textMove}, {textStretch}, {textSelect}, {textRotated}}, 0, 301, 0},
    {1038, K::undo, nullptr, {{undoRestore}, {undoStepBack}, {undoStepForward}, {undoCleared}}, 0, 0, 0},
    {1042, K::grid, nullptr, {{anchorsWhat}, {anchorsMove}, {anchorsDelete}, {anchorsInsert}}, 0, 0, 0},
    created(1043, "triangle", 100, 200),
    moved(1044, "triangle", shapeChange, shapeRotate, itemSelect, 200),
    created(1045, "square", 101, 201),
    moved(1046, "square", shapeChange, shapeRotate, itemSelect, 201),
    created(1047, "rectangle", 102, 202),
    moved(1048, "rectangle", shapeChange, shapeRotate, itemSelect, 202),
    created(1049, "circle", 103, 203),
    moved(1050, "circle", changeSize, itemSelect, ctrlArea, 203),
    created(1051, "ellipse", 104, 204),
    moved(1052, "ellipse", changeSize, itemSelect, ctrlArea, 204),
    created(1053, "polygon", 199, 299),
    moved(1054, "polygon", changeSize, itemSelect, ctrlArea, 299),
    created(1055, "star", 105, 206),
    moved(1056, "star", changeSize, itemSelect, ctrlArea, 206),
    created(1057, "pie", 107, 207),
    moved(1058, "pie", changeSize, itemSelect, ctrlArea, 207),
    created(1059, "spline", 109, 209),
    moved(1060, "spline", splineOutline, itemSelect, ctrlArea, 209),
    points(1061, "spline", 109, pointClose),
    created(1062, "solid", 110, 210),
    moved(1063, "solid", solidOutline, itemSelect, ctrlArea, 210),
    points(1064, "solid", 110, noText),
    created(1065, "arc", 108, 208),
    moved(1066, "arc", changeSizeEnds, shapeRotate, itemSelect, 208),
    created(1068, "curve", 111, 211),
    moved(1069, "curve", splineOutline, itemSelect, ctrlArea, 211),
    points(1070, "curve", 111, pointClose),
    created(1071, "oblong", 112, 212),
    moved(1072, "oblong", solidOutline, itemSelect, ctrlArea, 212),
    points(1073, "oblong", 112, noText),
    points(1074, "spline", 297, pointClose),
    points(1075, "curve", 298, pointClose),
    {1076, K::clip, nullptr, {{clipAnother}, {clipPointer}, {clipHere}, none}, 0, 401, 0},
    {1077, K::creation, nullptr, {{pictureCorner}, {insertNewPicture}, {fineTuneClip}, {moveClip}}, 400, 401, 1078},
    {1078, K::manipulation, "clip", {{shapeMove}, {clipScale}, {clipAngle}, {clipSelect}}, 0, 401, 0},
};

const pageRow_t* findPage(int32_t code)
{
    const auto* end = std::end(pageTable);
    const auto* it = std::find_if(std::begin(pageTable), end, [code](const pageRow_t& r) { return r.code == code; });
    return it == end ? nullptr : it;
}

// `text` with the row's word replaced by the item's name.
QString withName(const char* text, const textRow_t& row, const char* name)
{
    QString s = QString::fromUtf8(text);
    if (name && row.word) s.replace(QString::fromLatin1(row.word), QString::fromUtf8(name));
    return s;
}

void addText(guidanceText_t& box, textId_t id, const char* name)
{
    if (id == noText) return;
    const textRow_t& row = textTable[id];
    const QString text = withName(row.text, row, name);
    box.text = box.text.isEmpty() ? text : box.text + QLatin1Char(' ') + text;
    // The keywords take the name too: a keyword that the name replaced
    // within its text is found as it now reads.
    if (row.emphasis) box.emphasized << withName(row.emphasis, row, name).split(QLatin1Char('|'));
    if (row.link) box.link = withName(row.link, row, name);
}

} // namespace

guidancePage_t guidancePage(int32_t code)
{
    guidancePage_t page;
    const pageRow_t* row = findPage(code);
    if (!row) return page;
    page.code = row->code;
    page.kind = row->kind;
    page.tool = row->tool;
    page.fineTune = row->fineTune;
    page.manipulation = row->manipulation;
    for (size_t k = 0; k < page.boxes.size(); ++k) {
        addText(page.boxes[k], row->boxes[k].first, row->name);
        addText(page.boxes[k], row->boxes[k].second, row->name);
    }
    return page;
}

const std::vector<int32_t>& guidancePageCodes()
{
    static const std::vector<int32_t> codes = [] {
        std::vector<int32_t> c;
        for (const pageRow_t& r : pageTable) c.push_back(r.code);
        return c;
    }();
    return codes;
}

QString dontShowAgainText() { return QStringLiteral("Don't show this help page again."); }

int32_t guidanceFlagIndex(int32_t page)
{
    if (page == 1074) page = 1061;
    else if (page == 1075) page = 1070;
    int32_t k = 0;
    for (const pageRow_t& r : pageTable) {
        if (r.code == 1074 || r.code == 1075) continue;
        if (r.code == page) return k;
        ++k;
    }
    return -1;
}

bool guidanceWanted(const settings::TParams& p, int32_t page)
{
    const int32_t k = guidanceFlagIndex(page);
    return k >= 0 && k < settings::hintCount && p.hintFlags[size_t(k)] != 0;
}

void setGuidanceWanted(settings::TParams& p, int32_t page, bool shown)
{
    const int32_t k = guidanceFlagIndex(page);
    if (k >= 0 && k < settings::hintCount) p.hintFlags[size_t(k)] = shown ? 1 : 0;
}

} // namespace ui
