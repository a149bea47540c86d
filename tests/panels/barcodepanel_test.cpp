// Insert ▸ Barcode on a document window and the barcode panel: the new code
// follows the mouse until the click, every change of the panel is one
// history step, and data a symbology cannot hold is refused with its reason.
#include "canvas/selection_support.h"
#include "panelhost_fake.h"

#include "canvas/insertbarcode.h"
#include "canvas/modes.h"
#include "model/barcode.h"
#include "model/history.h"
#include "panels/barcodepanel.h"

#include <QComboBox>
#include <QLineEdit>

using namespace seltest;
using model::symbology_t;

namespace {

class BarcodePanel : public WindowTest {
protected:
    fakePanelHost_t panelHost;
    std::unique_ptr<panels::TBarcodebox> panel;
    item_t* code = nullptr;

    void SetUp() override
    {
        WindowTest::SetUp();
        panelHost.doc = w.get();
        model::barcodeContent_t content;
        content.data = canvas::newBarcodeData;
        code = canvas::insertBarcode(*w, content);
        ASSERT_TRUE(code);
        // The click that puts it down where it is.
        const QPoint at = qscreen({300, 300});
        w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, at);
        w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, at);
        w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, at);
        panel = std::make_unique<panels::TBarcodebox>(panelHost);
        panel->resize(200, 500);
    }
    void TearDown() override
    {
        panel.reset();
        WindowTest::TearDown();
    }
    // The barcode as it is now (the visible version of the item).
    item_t* selectedCode()
    {
        for (item_t* it = items().head; it; it = it->next)
            if (it->kind == model::kindItem && !it->hidden && model::isBarcodeItem(it)) return it;
        return nullptr;
    }
    model::barcodeContent_t current()
    {
        const item_t* it = selectedCode();
        if (it && model::readBarcode(it)) return *model::readBarcode(it);
        ADD_FAILURE() << "no barcode";
        return {};
    }
    // After an undo the restored version is selected again, as a user would.
    void undoAndReselect()
    {
        EXPECT_TRUE(model::undo(items()));
        model::selectOnly(items(), selectedCode());
    }
};

} // namespace

TEST_F(BarcodePanel, InsertedCodeFollowsTheMouseUntilTheClick)
{
    EXPECT_EQ(w->mode(), canvas::modePointer) << "placing ended at the release";
    const item_t* it = selectedCode();
    ASSERT_TRUE(it);
    EXPECT_EQ(current(), (model::barcodeContent_t{static_cast<int32_t>(symbology_t::qrCode), canvas::newBarcodeData,
                                              model::ecAuto, true}));
    EXPECT_EQ(panel->dataBox()->text(), QString::fromLatin1(canvas::newBarcodeData));
    EXPECT_EQ(panel->symbologyList()->currentData().toInt(), static_cast<int32_t>(symbology_t::qrCode));
    // One step: undo takes the new code away.
    EXPECT_TRUE(model::undo(items()));
    EXPECT_EQ(selectedCode(), nullptr);
}

TEST_F(BarcodePanel, EachChangeIsOneStepThatUndoTakesBack)
{
    const model::barcodeContent_t start = current();
    const struct {
        const char* what;
        std::function<void()> act;
        std::function<bool(const model::barcodeContent_t&)> took;
    } changes[] = {
        {"data", [&] { panel->enterData("https://lumora.example/card/42"); },
         [](const model::barcodeContent_t& s) { return s.data == "https://lumora.example/card/42"; }},
        {"level", [&] { panel->chooseLevel(model::ecHigh); },
         [](const model::barcodeContent_t& s) { return s.ecLevel == model::ecHigh; }},
        {"text line", [&] { panel->showText(false); }, [](const model::barcodeContent_t& s) { return !s.showText; }},
        {"symbology", [&] { panel->chooseSymbology(static_cast<int32_t>(symbology_t::code128)); },
         [](const model::barcodeContent_t& s) { return s.symbology == static_cast<int32_t>(symbology_t::code128); }},
    };
    for (const auto& c : changes) {
        c.act();
        EXPECT_TRUE(c.took(current())) << c.what;
        EXPECT_TRUE(panel->problem().isEmpty()) << c.what;
        undoAndReselect();
        EXPECT_EQ(current(), start) << c.what << ": one undo, back to the start";
        panel->showSelection();
    }
}

TEST_F(BarcodePanel, DataTheSymbologyCannotHoldIsRefusedWithItsReason)
{
    panel->enterData("400638133393");
    panel->chooseSymbology(static_cast<int32_t>(symbology_t::ean13));
    ASSERT_EQ(current().symbology, static_cast<int32_t>(symbology_t::ean13));
    const struct {
        const char* data;
        const char* says;
    } bad[] = {{"40063813339A", "digits only"}, {"4006381333932", "check digit"}, {"4006381", "12 digits, or 13"}};
    for (const auto& b : bad) {
        panel->enterData(QString::fromLatin1(b.data));
        EXPECT_EQ(current().data, "400638133393") << b.data << " is never stored";
        EXPECT_TRUE(panel->problem().contains(QString::fromLatin1(b.says))) << panel->problem().toStdString();
    }
    // A symbology the data does not fit is refused the same way.
    panel->chooseSymbology(static_cast<int32_t>(symbology_t::ean8));
    EXPECT_EQ(current().symbology, static_cast<int32_t>(symbology_t::ean13));
    EXPECT_TRUE(panel->problem().contains(QStringLiteral("EAN-8"))) << panel->problem().toStdString();
    EXPECT_EQ(panel->symbologyList()->currentData().toInt(), static_cast<int32_t>(symbology_t::ean13));
    panel->enterData("4006381333931");
    EXPECT_EQ(current().data, "4006381333931");
    EXPECT_TRUE(panel->problem().isEmpty()) << "a change that takes clears the reason";
}

TEST_F(BarcodePanel, ColoursClearBackgroundAndQuarterTurns)
{
    dlg.colourAnswers = {0x804000};
    panel->chooseBarsColour();
    EXPECT_EQ(selectedCode()->lineColor, 0x804000);
    dlg.colourAnswers = {0xC0FFFF};
    panel->chooseBackground();
    EXPECT_EQ(selectedCode()->fillColor, 0xC0FFFF);
    panel->clearBackground();
    EXPECT_EQ(selectedCode()->fillColor, -1);
    dlg.colourAnswers = {-1};  // cancelled: nothing changes
    panel->chooseBackground();
    EXPECT_EQ(selectedCode()->fillColor, -1);

    panel->turn(+1);
    EXPECT_EQ(model::barcodeQuarterTurn(selectedCode()), 1);
    panel->turn(-1);
    panel->turn(-1);
    EXPECT_EQ(model::barcodeQuarterTurn(selectedCode()), 3);
    undoAndReselect();
    EXPECT_EQ(model::barcodeQuarterTurn(selectedCode()), 0) << "the last turn right taken back";
}
