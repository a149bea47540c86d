#include "app/suggestions.h"

#include "ui/panelcodes.h"

#include <algorithm>
#include <array>

namespace app {

using namespace ui;  // panel codes

namespace {

constexpr int32_t insertNew = 1, drawNextLine = 2, fineTuneLine = 3, moveLine = 4;
constexpr int32_t startText = 5, fineTuneText = 6, moveText = 7;
constexpr int32_t insertPicture = 47, fineTuneClip = 48, moveClip = 49;
constexpr int32_t insertClip = 50, editClip = 51, joinItems = 52, splitGroup = 53;

// The shapes' rows of three suggestions ("Start new", "Fine-tune", "Move"),
// from number 8 on, with the panels and guidance pages they lead to and the
// guidance pages that offer them.
struct shapeRow_t {
    const char* name;
    int32_t toolCode, fineTuneCode, movePage;
    int32_t creationPage;  // offers all three; the next page the first two
};
constexpr std::array<shapeRow_t, 13> shapeRows{{
    {"triangle", 100, 200, 1044, 1043},
    {"square", 101, 201, 1046, 1045},
    {"rectangle", 102, 202, 1048, 1047},
    {"circle", 103, 203, 1050, 1049},
    {"ellipse", 104, 204, 1052, 1051},
    {"polygon", 199, 299, 1054, 1053},
    {"star", 105, 206, 1056, 1055},
    {"pie", 107, 207, 1058, 1057},
    {"spline", 109, 209, 1060, 1059},
    {"solid", 110, 210, 1063, 1062},
    {"arc", 108, 208, 1066, 1065},
    {"curve", 111, 211, 1069, 1068},
    {"oblong", 112, 212, 1072, 1071},
}};
constexpr int32_t firstShapeSuggestion = 8;

int32_t shapeStart(size_t row) { return firstShapeSuggestion + 3 * static_cast<int32_t>(row); }

} // namespace

std::vector<int32_t> suggestionsFor(int32_t code, const suggestionContext_t& cx)
{
    switch (code) {
    case panelMultiple: return {insertNew, joinItems, splitGroup};
    case panelNextLine:
        if (cx.hasSelection) return {insertNew, fineTuneLine};
        return {insertNew};
    case panelLine: return {insertNew, drawNextLine};
    case panelNextText:
    case panelTextEntry:
    case panelTextEntryGuided:
        if (cx.firstSelectedIsText) return {insertNew, fineTuneText};
        return {insertNew};
    case panelText: return {insertNew, startText};
    case panelPicture: return {insertNew, insertPicture, insertClip, editClip};
    case 1024: return {insertNew, drawNextLine, fineTuneLine, moveLine};
    case guidanceMoveLine: return {insertNew, drawNextLine, fineTuneLine};
    case 1035: return {insertNew, startText, fineTuneText, moveText};
    case guidanceMoveText: return {insertNew, startText, fineTuneText};
    case 1077: return {insertNew, insertPicture, fineTuneClip, moveClip};
    case 1078: return {insertNew, insertPicture, fineTuneClip};
    case 1061:
    case 1064:
    case 1070:
    case 1073: return {};
    default: break;
    }
    for (size_t r = 0; r < shapeRows.size(); ++r) {
        const shapeRow_t& s = shapeRows[r];
        const int32_t first = shapeStart(r);
        if (code == s.fineTuneCode && (code <= panelArc || code == panelPolygon)) return {insertNew, first};
        if (code == s.creationPage) return {insertNew, first, first + 1, first + 2};
        if (code == s.creationPage + 1) return {insertNew, first, first + 1};
    }
    if (isShapeTool(code) || (code >= panelSpline && code <= panelOblong) || code == panelExtendSpline ||
        code == panelExtendCurve)
        return {insertNew};
    if (isGuidance(code)) return {insertNew};
    return {};  // the insert panel and the codes without a panel of their own
}

QString suggestionText(int32_t n)
{
    static const char* const fixed[] = {"Insert new item", "Draw next line", "Fine-tune this line", "Move this line",
                                        "Start new text", "Fine-tune this text", "Move this text"};
    if (n >= insertNew && n <= moveText) return QString::fromLatin1(fixed[n - 1]);
    if (n >= firstShapeSuggestion && n < insertPicture) {
        const int32_t r = (n - firstShapeSuggestion) / 3;
        const QString name = QString::fromLatin1(shapeRows[r].name);
        switch ((n - firstShapeSuggestion) % 3) {
        case 0: return QStringLiteral("Start new ") + name;
        // The first rows' "Fine-tune" stands alone; from the circle on the name follows.
        case 1: return r < 3 ? QStringLiteral("Fine-tune") : QStringLiteral("Fine-tune this ") + name;
        default: return QStringLiteral("Move this ") + name;
        }
    }
    switch (n) {
    case insertPicture: return QStringLiteral("Insert new picture");
    case fineTuneClip: return QStringLiteral("Fine-tune this clip");
    case moveClip: return QStringLiteral("Move this clip");
    case insertClip: return QStringLiteral("Insert new clip");
    case editClip: return QStringLiteral("Edit this clip");
    case joinItems: return QStringLiteral("Join items");
    case splitGroup: return QStringLiteral("Split group");
    default: return {};
    }
}

suggestionAction_t suggestionAction(int32_t n)
{
    using a = suggestionAction_t;
    switch (n) {
    case insertNew: return {a::show, panelInsert};
    case drawNextLine: return {a::show, panelNextLine};
    case fineTuneLine: return {a::show, panelLine, true, true};
    case moveLine: return {a::show, panelLine, true, true, guidanceMoveLine};
    case startText: return {a::show, panelNextText};
    case fineTuneText: return {a::show, panelText, false, true};
    case moveText: return {a::show, panelText, false, true, guidanceMoveText};
    case insertPicture: return {a::pending, panelPictureInsert};
    case fineTuneClip: return {a::show, panelPicture, true};
    case moveClip: return {a::show, 1078, true};
    case insertClip: return {a::pending, panelClipInsert};
    case editClip: return {a::pending, panelClipEdit};
    case joinItems: return {a::join, panelMultiple};
    case splitGroup: return {a::split, panelInsert};
    default: break;
    }
    if (n >= firstShapeSuggestion && n < insertPicture) {
        const shapeRow_t& s = shapeRows[(n - firstShapeSuggestion) / 3];
        switch ((n - firstShapeSuggestion) % 3) {
        case 0: return {a::show, s.toolCode};
        case 1: return {a::show, s.fineTuneCode, true};
        default: return {a::show, s.movePage, true};
        }
    }
    return {a::show, 0};
}

std::vector<int32_t> shownSuggestions(const std::vector<int32_t>& set)
{
    std::vector<int32_t> sorted = set;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (sorted.size() > suggestionButtons) sorted.resize(suggestionButtons);
    return sorted;
}

} // namespace app
