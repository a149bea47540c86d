// The shape panel TPolybox: the attributes of the next shape while a shape
// tool is active (ui::isShapeTool), or of the selected shapes (ui::isShapeFineTune),
// where every choice reaches the selection at once through the window's
// setters and four buttons mirror, flip and turn it. Its fourth list depends
// on the code: the spikes of a star, the sides of a polygon, or the related
// shape (square or rectangle, circle or ellipse, arc or pie, open, closed or
// filled spline and curve).
#pragma once

#include "panels/lineshapebase.h"

#include <QStringList>

namespace panels {

// The spike and side counts the fourth list offers.
extern const std::array<int32_t, 12> sideCounts;

// The fourth list of a panel code: its label and entries; no entries when
// the code has none.
struct fourthList_t {
    QString label;
    QStringList entries;
};
fourthList_t fourthListFor(int32_t code);

// The title of the shape panel for a code.
QString shapePanelTitle(int32_t code);

class TPolybox : public lineShapePanel_t {
public:
    TPolybox(int32_t code, panelHost_t& host, QWidget* parent = nullptr);

    void refresh() override;
    // Shows another shape panel's code with the widgets already built: the
    // lists and hints are filled again as a new panel would fill them.
    void showCode(int32_t panelCode);
    void customizationClosed(int32_t hostedCode) override;
    void extensionEnded() override { enableShapeLists(true); }
    // The colour, weight, fill and fourth lists, given back after the
    // extension of a spline or curve (whose points are being placed).
    void enableShapeLists(bool on);

    pickListBox_t* colourList() const { return colour_; }
    pickListBox_t* fillList() const { return fill_; }
    pickListBox_t* weightList() const { return weight_; }
    QComboBox* fourthList() const { return fourth_; }
    buttonRow_t* buttons() const { return buttons_; }

private:
    void chooseColour(int32_t index);
    void chooseFill(int32_t index);
    void chooseWeight(int32_t index);
    void chooseFourth(int32_t index);
    // The spline and curve tools' "Shape": the open or closed choice is
    // kept, the filled one switches to the solid or oblong tool and back.
    void chooseSplineTool(int32_t index);
    void chooseToolSides(int32_t index);
    void chooseSelectionShape(int32_t index);

    void fillColourList();
    void fillFillList();
    void fillWeightList();
    void fillFourthList();
    int32_t sampleColour() const override;
    // The fill that decides whether "Outline Weight" shows ("Solid" hides it).
    int32_t outlineDecidingFill() const;
    void applyEnabling();
    void fillHints();
    // The colour, fill, weight, sides and variant of the spline or curve
    // being extended (it is not selected while its points are added).
    void summarizeExtendedItem();
    void arrange();

    pickListBox_t* colour_ = nullptr;
    pickListBox_t* fill_ = nullptr;
    pickListBox_t* weight_ = nullptr;
    QComboBox* fourth_ = nullptr;
    buttonRow_t* buttons_ = nullptr;
    bool listsEnabled_ = true;
};

} // namespace panels
