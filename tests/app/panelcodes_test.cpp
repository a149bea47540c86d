// The named ranges of the panel codes at their edges: the shape tools, the
// shapes' fine-tune panels (extensions included) and the guidance pages.
#include "ui/panelcodes.h"

#include <gtest/gtest.h>

namespace {

struct rangeCase_t {
    int32_t code;
    bool tool, fineTune, guidance;
};

TEST(PanelCodes, RangesEndWhereTheirNeighboursBegin)
{
    const rangeCase_t cases[] = {
        {ui::panelLine, false, false, false},        // 99: the line's fine-tune panel
        {100, true, false, false},                   // triangle tool
        {199, true, false, false},                   // polygon tool
        {ui::panelTriangle, false, true, false},     // 200
        {ui::panelPolygon, false, true, false},      // 299
        {ui::panelExtendCurve, false, true, false},  // 298
        {ui::panelNextText, false, false, false},    // 300
        {1023, false, false, false},
        {ui::firstGuidancePage, false, false, true},
        {ui::lastGuidancePage, false, false, true},
        {1081, false, false, false},
    };
    for (const rangeCase_t& c : cases) {
        EXPECT_EQ(ui::isShapeTool(c.code), c.tool) << c.code;
        EXPECT_EQ(ui::isShapeFineTune(c.code), c.fineTune) << c.code;
        EXPECT_EQ(ui::isShapePanel(c.code), c.tool || c.fineTune) << c.code;
        EXPECT_EQ(ui::isGuidance(c.code), c.guidance) << c.code;
    }
}

} // namespace
