// The guidance pages as data: the texts of every page with their bold
// keywords and links, where each page's links lead, and the show flag that
// stands for each page in the settings.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace settings {
class TParams;
}

namespace ui {

// The pages that particular steps of the user lead to (the others follow
// from the tools' codes and the grid and snap choices).
enum guidanceStep_t : int32_t {
    guidanceTextStarted = 1035,
    guidanceUndo = 1038,
    guidanceAnchors = 1042,
    guidanceClipFinished = 1076,
    guidancePictureInserted = 1077,
};

// One text box of a page: its text, the keywords set in bold, and the one
// keyword shown as a link (empty when the box holds no link).
struct guidanceText_t {
    QString text;
    QStringList emphasized;
    QString link;
};

// What kind of step a page follows; it decides where the page's links and
// its "Don't show" box lead.
enum class guidanceKind_t {
    none,
    creation,      // after an item was created: start next, fine-tune, move
    manipulation,  // how to move and reshape the item of the page
    afterPoint,    // while the points of a spline-like item are placed
    clip,          // in the picture window after a clip was outlined
    grid,          // after a grid, snap or anchor choice: back to the panel before
    undo,          // the undo and redo page
};

// The boxes of a page are numbered 1, 2, 3 and 5 (4 is the check box's text).
constexpr std::array<int32_t, 4> guidanceBoxNumbers{1, 2, 3, 5};

struct guidancePage_t {
    int32_t code = 0;  // 0: no such page
    guidanceKind_t kind = guidanceKind_t::none;
    std::array<guidanceText_t, 4> boxes;  // boxes 1, 2, 3, 5
    int32_t tool = 0;          // the tool the page is about (98 line, 300 text, 400 pictures, 100..199)
    int32_t fineTune = 0;      // its fine-tune panel (99, 301, 200..299, 401)
    int32_t manipulation = 0;  // its manipulation page (1025, 1036, 1044 ...)
};

// The page `code` with the item's name put into its templates; a page with
// code 0 for a number that is no guidance page.
guidancePage_t guidancePage(int32_t code);
// Every page that has texts, ascending.
const std::vector<int32_t>& guidancePageCodes();
// The text beside the check box at the bottom of every page.
QString dontShowAgainText();

// The flag (an index into the settings' hint flags) that stands for a page;
// -1 for a number that is no page. The two pages of extending a spline or a
// curve share the flags of the spline's and the curve's after-point pages,
// whose texts they repeat.
int32_t guidanceFlagIndex(int32_t page);
bool guidanceWanted(const settings::TParams& p, int32_t page);
void setGuidanceWanted(settings::TParams& p, int32_t page, bool shown);

} // namespace ui
