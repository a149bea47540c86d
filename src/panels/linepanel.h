// The line panel TLinebox: the attributes of the next line while the line
// tool is active (code 98), or of the selected lines (code 99), where every
// choice reaches the selection at once through the window's setters. The
// "Basics" tab holds colour, weight, pattern, direction and — for lines
// thick enough to show them — fill colour and outline weight; "Effects"
// holds surface and shadow.
#pragma once

#include "panels/lineshapebase.h"

namespace panels {

class TLinebox : public lineShapePanel_t {
public:
    // `code` 98 (next line) or 99 (fine-tune).
    TLinebox(int32_t code, panelHost_t& host, QWidget* parent = nullptr);

    void refresh() override;
    void customizationClosed(int32_t hostedCode) override;
    // The line tool took its first point (2) or is ready for the next line (1).
    void toolStepChanged(int32_t step) override;

    int32_t hintStep() const { return hintStep_; }
    bool allLines() const { return summary_.allLines; }

    pickListBox_t* colourList() const { return colour_; }
    pickListBox_t* weightList() const { return weight_; }
    pickListBox_t* patternList() const { return pattern_; }
    pickListBox_t* directionList() const { return direction_; }
    pickListBox_t* fillList() const { return fill_; }
    pickListBox_t* outlineList() const { return outline_; }

private:
    void chooseColour(int32_t index);
    void chooseWeight(int32_t index);
    void choosePattern(int32_t index);
    void chooseDirection(int32_t index);
    void chooseFill(int32_t index);
    void chooseOutline(int32_t index);

    // Each rebuilds its list and highlights the setting or the summary.
    void fillColourList();
    void fillWeightList();
    void fillPatternList();
    void fillDirectionList();
    void fillFillList();
    void fillOutlineList();
    int32_t sampleColour() const override;
    // Fill colour and outline weight for thick lines only, the hints for
    // thin ones; a selection that is not all lines keeps only "Color".
    void applyThicknessRule();
    void fillHints();
    bool selectionHasText();

    pickListBox_t* colour_ = nullptr;
    pickListBox_t* weight_ = nullptr;
    pickListBox_t* pattern_ = nullptr;
    pickListBox_t* direction_ = nullptr;
    pickListBox_t* fill_ = nullptr;
    pickListBox_t* outline_ = nullptr;
    int32_t hintStep_ = 1;
};

} // namespace panels
