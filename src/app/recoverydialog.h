// The offer after a crash: every orphaned snapshot with a thumbnail, its
// title, original file and time, and Restore, Save As... and Discard for the
// one chosen. Nothing is removed before the user decides; closing the window
// keeps the rest for the next start.
#pragma once

#include "settings/recoverystore.h"

#include <QDialog>
#include <QListWidget>
#include <QPushButton>

#include <functional>
#include <vector>

namespace app {

class recoveryDialog_t : public QDialog {
public:
    // What the buttons do with an entry; true when it is done with (the
    // entry then leaves the list).
    struct actions_t {
        std::function<bool(const settings::recoveryEntry_t&)> restore, saveAs, discard;
    };
    recoveryDialog_t(std::vector<settings::recoveryEntry_t> entries, actions_t actions, QWidget* parent = nullptr);

    // The thumbnail of a snapshot, drawn by the ordinary render path; the
    // damaged-file mark for one that does not read.
    static QImage thumbnail(const settings::recoveryEntry_t& entry, int32_t side);

    QListWidget* list = nullptr;
    QPushButton* restoreButton = nullptr;
    QPushButton* saveAsButton = nullptr;
    QPushButton* discardButton = nullptr;
    QPushButton* laterButton = nullptr;

    const std::vector<settings::recoveryEntry_t>& entries() const { return entries_; }
    // Runs a button's action on the current row (what a click does).
    void act(const std::function<bool(const settings::recoveryEntry_t&)>& action);

private:
    void refreshButtons();

    std::vector<settings::recoveryEntry_t> entries_;
    actions_t actions_;
};

} // namespace app
