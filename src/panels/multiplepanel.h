// The multiple-selection panel TUnibox, shown for a selection of items of
// different types or a group with other items: mirror, flip and quarter
// turns, the colour they share, the fill and outline weight of the lines and
// shapes among them, and the way to join them into a group or split a group.
#pragma once

#include "panels/panelhost.h"
#include "settings/params.h"

#include <array>
#include <cstdint>

namespace model {
struct itemList_t;
}

namespace panels {

class buttonRow_t;
class hintBox_t;
class pickListBox_t;

// Over the selected texts, lines and shapes (pictures and group handles
// take no part): the colour (texts' text colour, lines' and shapes' line
// colour; -1 when they differ) and, over the lines and shapes only, the
// fill (-3 when mixed) and the weight (-1 when mixed).
struct mixedSummary_t {
    int32_t colour = -1;
    int32_t fill = -3;
    double weight = -1.0;
    bool hasLinesOrShapes = false;
};
mixedSummary_t summarizeMixed(model::itemList_t& list);

class TUnibox : public attributePanel_t {
public:
    TUnibox(panelHost_t& host, bool canJoin, bool canSplit, QWidget* parent = nullptr);

    const mixedSummary_t& summary() const { return summary_; }
    bool canJoin() const { return canJoin_; }
    bool canSplit() const { return canSplit_; }

    // Summarise the selection, then lay out and fill.
    void refresh();
    // Joining or splitting became possible or impossible.
    void setGroupHints(bool canJoin, bool canSplit);

    void selectionChanged() override { refresh(); }
    void customizationClosed(int32_t hostedCode) override;

    buttonRow_t* buttons() const { return buttons_; }
    pickListBox_t* colourList() const { return colour_; }
    pickListBox_t* fillList() const { return fill_; }
    pickListBox_t* weightList() const { return weight_; }
    // Box 2 (the Shift hint), 3 (join) and 4 (split), as the hints are numbered.
    hintBox_t* hint(int32_t box) const { return hints_[size_t(box - 2)]; }
    bool fillShown() const;

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void build();
    void layoutControls();
    void fillLineLists();
    void showHints();
    void step();

    void transform(int32_t k);
    void colourChosen(int32_t index);
    void fillChosen(int32_t index);
    void weightChosen(int32_t index);
    void joinPressed();
    void splitPressed();

    settings::TParams& p() const { return host_.params(); }

    bool building_ = false;
    bool canJoin_, canSplit_;
    mixedSummary_t summary_;
    int32_t lastColour_ = -1, lastFill_ = -1, lastWeight_ = -1;

    buttonRow_t* buttons_ = nullptr;
    QWidget* colourLabel_ = nullptr;
    QWidget* fillLabel_ = nullptr;
    QWidget* weightLabel_ = nullptr;
    pickListBox_t* colour_ = nullptr;
    pickListBox_t* fill_ = nullptr;
    pickListBox_t* weight_ = nullptr;
    std::array<hintBox_t*, 3> hints_{};
};

} // namespace panels
