// What the line panel and the shape panel share: the summary of the selected
// items' attributes (with a mark where they differ), and the frame both are
// built on — a top slot (a hint or the transform buttons), the "Basics" and
// "Effects" tabs, labelled pick lists stacked 42 pixels apart on each tab,
// and up to three hint boxes below the lists. The frame opens on the tab of
// the `lineShapeTab` setting and keeps the setting on the tab shown, guards
// the change handlers while it fills its lists and remembers each list's
// last highlighted entry.
#pragma once

#include "panels/panelhost.h"
#include "panels/panellayout.h"
#include "panels/panelparts.h"
#include "panels/picklistwidget.h"

#include <QLabel>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace model {
struct item_t;
struct itemList_t;
}

namespace panels {

// The attributes of the selected items (group handles aside); each value
// holds its mixed mark when two items differ.
struct selectionSummary_t {
    static constexpr int32_t mixedColour = -1;
    static constexpr int32_t mixedFill = -3;
    static constexpr double mixedWeight = -1.0;
    static constexpr double mixedDirection = -2.0;
    static constexpr int32_t mixedValue = -1;  // sides, variant, shadow values, surface

    int32_t count = 0;  // the items summarised
    int32_t colour = mixedColour;
    int32_t fill = mixedFill;
    double weight = mixedWeight;
    double outline = mixedWeight;
    double direction = mixedDirection;
    // An item showing the common pattern; none when the patterns differ.
    const model::item_t* pattern = nullptr;
    int32_t sides = mixedValue;
    int32_t variant = mixedValue;
    int32_t elevation = mixedValue, fade = mixedValue, lightness = mixedValue;
    int32_t surface = mixedValue;
    // False when a summarised item is not a line.
    bool allLines = true;

    bool shadowMixed() const { return elevation < 0 || fade < 0 || lightness < 0; }
    settings::shadowTriple_t shadow() const;
    void setShadow(const settings::shadowTriple_t& t);
};

// Summarises the given items (the first gives every value, each later one
// turns the values it differs in to their mixed marks).
selectionSummary_t summarize(const model::itemList_t& list, const std::vector<const model::item_t*>& items);
// The selected items of the list, group handles aside.
std::vector<const model::item_t*> selectedAttributeItems(model::itemList_t& list);

// Whether two items draw the same line pattern: equal built-in indexes, or
// custom patterns of the same segment count and lengths within 1e-4.
bool samePattern(const model::itemList_t& list, const model::item_t* a, const model::item_t* b);
// The pattern list entry showing an item's pattern; -1 for none.
int32_t patternEntryOf(const settings::TParams& p, const model::itemList_t& list, const model::item_t* item);

// The next item's fill after its line colour changed: "Solid" and "Clear"
// stay, a colour that no list shows follows the line colour.
int32_t keepFillColour(const settings::TParams& p, int32_t fill, int32_t lineColour);

// The pixels a weight draws with on the screen: at least one.
int32_t weightPixels(double mm, double pxPerMmY);

// The hints of the fine-tune panels about selecting more items.
extern const std::array<QString, 3> selectionHints;

class lineShapePanel_t : public attributePanel_t {
public:
    static constexpr int32_t listPitch = layout::lineShape::listPitch;
    static constexpr int32_t labelHeight = layout::lineShape::labelHeight;
    static constexpr int32_t margin = layout::margin;

    lineShapePanel_t(const QString& caption, int32_t colour, int32_t code, panelHost_t& host, QWidget* parent);
    ~lineShapePanel_t() override;

    // 1 "Basics" or 2 "Effects".
    int32_t tab() const { return tabs_->current(); }
    // As a click on the tab: the panel shows that tab, filled again.
    void chooseTab(int32_t tab);
    tabStrip_t* tabStrip() const { return tabs_; }
    // Hint box 1..4.
    hintBox_t* hint(int32_t k) const { return hints_[size_t(k - 1)]; }
    bool building() const { return building_; }
    // The label shown above a list.
    QLabel* labelOf(const QComboBox* list) const;
    // Whether a list is one of the current tab's and not hidden.
    bool listShown(const QComboBox* list) const;
    // The bottom of the lists' area, shared by both tabs (body pixels).
    int32_t areaBottom() const { return areaBottom_; }
    const selectionSummary_t& summary() const { return summary_; }
    bool fineTune() const { return fineTune_; }
    pickListBox_t* surfaceList() const { return surface_; }
    pickListBox_t* shadowList() const { return shadow_; }

    // Fills the panel again from the settings or the selection.
    virtual void refresh() = 0;
    void selectionChanged() override { refresh(); }

protected:
    // A labelled list on a tab; `onChoose` runs for each change of the
    // highlighted entry made while the panel is not building.
    pickListBox_t* addList(int32_t tab, listKind_t kind, const QString& label, const QString& name,
                           std::function<void(int32_t index)> onChoose);
    // The "Effects" tab: surface and shadow, for the next item's `surface`
    // setting and the shared shadow setting, or for the selection.
    void addEffectLists(const QString& namePrefix, int32_t& surfaceSetting);
    void fillEffectLists();
    // The arrowhead lists ("Start", "End", "Arrow Size") on the "Effects"
    // tab, for the next item's settings given here or for the selection's
    // lines, open splines and curves and arcs (headlists.cpp).
    void addHeadLists(const QString& namePrefix, int32_t& start, int32_t& end, int32_t& size);
    // Fills them from the settings or the selection; they are shown only
    // with `shown` (the next item or a selected item takes heads).
    void fillHeadLists(bool shown);
    // Whether a selected item takes heads.
    bool selectionTakesHeads();
    // The colour the weight bars and the surface and "Solid" swatches use.
    virtual int32_t sampleColour() const = 0;
    // A labelled list of plain texts (the shape panel's fourth list).
    QComboBox* addTextList(int32_t tab, const QString& name, std::function<void(int32_t index)> onChoose);
    void setListShown(QComboBox* list, bool on);
    void setListLabel(QComboBox* list, const QString& label);
    // Highlights an entry without telling the change handler and remembers it.
    void highlight(QComboBox* list, int32_t index);
    // The entry highlighted last by the panel or the user.
    int32_t lastIndex(const QComboBox* list) const;
    // The widget above the tab strip (hint box 1 unless the panel sets another).
    void setTopWidget(QWidget* w);
    QWidget* topWidget() const { return top_; }
    // Places the top widget, the tab strip, the current tab's lists (the
    // hidden ones leave no gap) and the shown hint boxes. `basicsEnd` is the
    // list the "Basics" area ends below (null: the last shown one).
    void layoutPanel(const QComboBox* basicsEnd = nullptr);
    // The colour list's "Customize..." entry: the colour dialog into `value`;
    // false when it was cancelled (the list is back at its last entry).
    bool customColour(pickListBox_t* list, int32_t& value);
    // A "Customize..." entry of a preset list: opens the customization and
    // puts the list back on the entry it showed.
    void openCustomization(QComboBox* list, int32_t hostedCode);
    // Rebuild a colour, fill or weight list and highlight the next item's
    // setting or the summary's value (none when mixed). A weight made in the
    // customization to be selected next becomes the next item's.
    void showColour(pickListBox_t* list, int32_t setting);
    void showFill(pickListBox_t* list, int32_t setting);
    void showWeight(pickListBox_t* list, double& setting, int32_t& tab, double summaryValue);
    // The choices of the colour, fill and weight lists, common to both
    // panels: next-item mode stores the value in the setting, fine-tune mode
    // in the summary and, through the setter, in the selection. Each returns
    // false when nothing was chosen (a cancelled dialog, a customization).
    // The colour list's "Customize..." keeps the dialog's colour in
    // `setting` in both modes.
    bool takeColour(pickListBox_t* list, int32_t index, int32_t& setting, int32_t& colour);
    // With `customIntoSetting` the fill list's "Customize..." starts from and
    // keeps its colour in `setting` in both modes, else in next-item mode only.
    bool takeFill(pickListBox_t* list, int32_t index, int32_t& setting, bool customIntoSetting);
    bool takeWeight(pickListBox_t* list, int32_t index, double& setting, int32_t& tab, double& summaryValue,
                    void (*setter)(canvas::TSandbox&, double));
    // Summarises the active document's selection (nothing without one).
    void summarizeSelection();
    // A side-panel step for the panel's code.
    void recordStep() { host_.recordPanelStep(code); }
    canvas::TSandbox* document() { return host_.activeDocument(); }
    settings::TParams& params() { return host_.params(); }
    void setFineTune(bool on) { fineTune_ = on; }

    // Set while the panel fills its lists: the change handlers do nothing.
    struct buildScope_t {
        explicit buildScope_t(lineShapePanel_t& p) : p_(p), was_(p.building_) { p.building_ = true; }
        ~buildScope_t() { p_.building_ = was_; }
        lineShapePanel_t& p_;
        bool was_;
    };

    selectionSummary_t summary_;

    void resizeEvent(QResizeEvent* e) override;

private:
    struct row_t {
        QComboBox* list;
        QLabel* label;
        int32_t tab;
        bool shown = true;
        int32_t last = -1;
    };
    void addRow(int32_t tab, QComboBox* list, const QString& label, const QString& name,
                std::function<void(int32_t index)> onChoose);
    void tabChanged();
    // Surface and shadow make no side-panel step.
    void chooseSurface(int32_t index);
    void chooseShadow(int32_t index);
    row_t* rowOf(const QComboBox* list);
    const row_t* rowOf(const QComboBox* list) const;

    tabStrip_t* tabs_ = nullptr;
    QWidget* top_ = nullptr;
    std::array<hintBox_t*, 4> hints_{};
    std::vector<row_t> rows_;
    pickListBox_t* surface_ = nullptr;
    pickListBox_t* shadow_ = nullptr;
    int32_t* surfaceSetting_ = nullptr;
    std::array<pickListBox_t*, 3> headLists_{};
    std::array<int32_t*, 3> headSettings_{};
    void chooseHead(int32_t part, int32_t index);
    const QComboBox* basicsEnd_ = nullptr;
    int32_t areaBottom_ = 0;
    bool building_ = false;
    bool fineTune_ = false;
};

} // namespace panels
