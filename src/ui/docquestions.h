// The document reader's questions (open an invalid file anyway? a newer
// version wrote it), asked through the dialogs in use.
#pragma once

#include "model/docfile.h"

#include <string>

namespace ui {

class docQuestions_t : public model::docReadQuestions_t {
public:
    bool askOpenInvalid() override;
    void warnNewerVersion(const std::string& text) override;

    // Whether the user chose to open a file that is not a valid document.
    bool openedInvalid() const { return openedInvalid_; }

private:
    bool openedInvalid_ = false;
};

} // namespace ui
