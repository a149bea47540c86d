// The insert panel TToolbox: what can be put into the design, in the Insert
// menu's order, and a link to the page setup. Shown with the pointer.
#pragma once

#include "ui/panellook.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <functional>

class QLabel;

namespace panels {

struct insertEntry_t {
    const char* name;
    int32_t code;    // the panel code (or command) it leads to
    int32_t button;  // the toolbar button whose picture it shows
};
// The insertable items in the Insert menu's order.
extern const std::array<insertEntry_t, 17> insertEntries;
// The entries' button numbers: 0 for an entry without a toolbar button.
constexpr int32_t noButton = 0;

// The barcode entry's picture (it has no toolbar button to take one from).
QImage barcodeEntryPicture(int32_t size);

class TToolbox : public ui::panelFrame_t {
public:
    explicit TToolbox(QWidget* parent = nullptr);

    // An entry was pressed and its switch is pending.
    bool busy = false;
    bool linkHot = false;
    // Told the code of a chosen entry; runs it after the press was handled.
    std::function<void(int32_t code)> onChoose;
    // The page-setup link was pressed; true when the page setup opened.
    std::function<bool()> onPageSetup;

    void choose(int32_t row);
    void clearInsertBusy() { busy = false; }
    // Clears the busy mark and every highlight.
    void resetEntries();
    // While the first-time setup shows, the page-setup hint is not offered.
    void setSetupShowing(bool on);

    ui::listButton_t* entry(int32_t row) const { return rows_[row]; }
    QLabel* hintBox() const { return hint_; }

    static constexpr int32_t firstRowY = 48;
    static constexpr int32_t rowStep = 18;
    // Below the last entry (the barcode, added after the design's sixteen).
    static constexpr int32_t hintY = 369;

protected:
    void resizeEvent(QResizeEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    void showLink(bool hot);
    std::array<ui::listButton_t*, 17> rows_{};
    QLabel* hint_ = nullptr;
    QTimer hoverTimer_;
    bool setupShowing_ = false;
};

} // namespace panels
