// The first-time setup panel: the exclusive unit boxes and Proceed.
#include "ui/installpanel.h"

#include "ui/dialogs.h"
#include "ui/panellook.h"

#include <gtest/gtest.h>

using namespace ui;

TEST(InstallPanel, BoxesExcludeEachOtherAndProceedNeedsAChoice)
{
    scriptedDialogs_t dlg;
    scopedDialogs_t scope(dlg);
    std::vector<int32_t> stored;
    TInstall panel([&](int32_t unit) { stored.push_back(unit); });
    EXPECT_EQ(panel.preferredClientSize(), QSize(478, 376));
    EXPECT_EQ(panel.stepTitle->text(), QStringLiteral("Step 1"));
    EXPECT_TRUE(panel.instruction->toHtml().contains(QStringLiteral("measuring units")));

    // Proceed without a choice: the message, nothing stored, the panel stays.
    EXPECT_FALSE(panel.applyHosted());
    ASSERT_EQ(dlg.texts().size(), 1);
    EXPECT_EQ(dlg.texts()[0], QStringLiteral("Please select Millimeters or Inches"));
    EXPECT_EQ(dlg.messages[0].kind, msgKind_t::error);
    EXPECT_TRUE(stored.empty());

    struct clickCase {
        QCheckBox* box;
        int32_t unit;
    };
    // Inches, then clearing Inches (Millimeters then ticked), then Millimeters
    // cleared (Inches again), then Millimeters ticked.
    const clickCase clicks[] = {{panel.inchesBox, 3}, {panel.inchesBox, 2}, {panel.millimetersBox, 3},
                                {panel.millimetersBox, 2}};
    for (const clickCase& c : clicks) {
        c.box->click();
        EXPECT_EQ(panel.chosenUnit(), c.unit);
        EXPECT_EQ(panel.millimetersBox->isChecked(), c.unit == 2);
        EXPECT_EQ(panel.inchesBox->isChecked(), c.unit == 3);
    }
    EXPECT_TRUE(panel.applyHosted());
    EXPECT_EQ(stored, std::vector<int32_t>{2});
    EXPECT_TRUE(panel.completed());
}

// The panel takes the interface colour of the settings, as the side panels do.
TEST(InstallPanel, TakesTheInterfaceColour)
{
    const int32_t before = panelColour();
    setPanelColour(0x00C0FFEE);
    TInstall panel([](int32_t) {});
    EXPECT_EQ(panel.palette().color(QPalette::Window), panelBackground());
    setPanelColour(before);
}
