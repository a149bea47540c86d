// The page setup panel TPage, hosted in the first floating window: the
// design-type chooser, then the dimensions page of one design type with its
// orientation, "Quick select", unit, measure fields, fold boxes and the live
// sample. It edits a copy of the eleven page setups; "Apply" hands the one on
// screen to the document, or all of them to the settings for new files.
#pragma once

#include "settings/pageset.h"
#include "settings/params.h"
#include "ui/hostedpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>

namespace ui {

class designChooser_t;
class pageSampleView_t;

// One labelled field of the dimensions page: its label and the measure it
// edits (1..14 in record order; 0 hides it).
struct pageField_t {
    const char* label = nullptr;
    int32_t measure = 0;
};
// The ten fields (five pairs, left then right) of a design type in a unit.
std::array<pageField_t, 10> pageFieldsOf(int32_t designType, int32_t unit);
// Whether the fold boxes show.
bool foldBoxesShown(int32_t designType, int32_t unit);

// The document the panel is opened for: its header, which the panel starts
// from, and what hands a page setup of a design type to it (a document closed
// meanwhile gets nothing).
struct pageSetupTarget_t {
    model::item_t* header = nullptr;
    std::function<void(const page::pageset_t& setup, int32_t designType)> apply;
};

class TPage : public THostedPanel {
public:
    // A target without `apply`: the page setups for new files.
    TPage(settings::TParams& params, pageSetupTarget_t document, QWidget* parent);

    QSize preferredClientSize() const override;
    bool applyHosted() override;

    bool onChooser() const;
    int32_t designType() const { return type_; }
    // Shows the dimensions page of `type` with the copy's setup of that type.
    void chooseType(int32_t type);
    void load(const page::pageset_t& setup, int32_t designType);
    page::pageset_t store() const { return sets_[type_ - 1]; }

    // ---- controls (named for the tests that drive them) ----
    QStackedWidget* pages = nullptr;
    designChooser_t* chooser = nullptr;
    // The dimensions page names its design type; the button goes back to
    // the chooser, for the current file too.
    QLabel* designTypeLabel = nullptr;
    QPushButton* designTypeButton = nullptr;
    QCheckBox* portraitBox = nullptr;
    QCheckBox* landscapeBox = nullptr;
    QListWidget* quickSelect = nullptr;
    QComboBox* unitList = nullptr;
    std::array<QLabel*, 10> labels{};
    std::array<QLineEdit*, 10> fields{};
    QCheckBox* rowFoldBox = nullptr;
    QCheckBox* columnFoldBox = nullptr;
    QLabel* hint1 = nullptr;
    QLabel* hint2 = nullptr;
    pageSampleView_t* sample = nullptr;
    // Runs the change to the dimensions page 200 ms after a chooser click.
    QTimer chooseTimer;

private:
    QWidget* buildDimensions();
    void showChooser();
    page::pageset_t& current() { return sets_[type_ - 1]; }
    void fill();
    void redraw();
    void match();
    void fieldEdited(int index, const QString& text);
    void foldToggled(bool row, bool on);
    void presetChosen(int row);
    void unitChosen(int unit);
    void orientationClicked(int32_t orientation);

    settings::TParams& params_;
    std::function<void(const page::pageset_t&, int32_t)> applyToDocument_;
    page::pagesetArr_t sets_;
    int32_t type_ = 1;
    int32_t pendingType_ = 0;
    bool filling_ = false;
};

} // namespace ui
