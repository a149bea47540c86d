#include "ui/docquestions.h"

#include "ui/dialogs.h"

namespace ui {

bool docQuestions_t::askOpenInvalid()
{
    openedInvalid_ = dialogs().message(msgKind_t::confirmation, QString::fromUtf8(model::invalidFileQuestion),
                                       btnYes | btnNo) == btnYes;
    return openedInvalid_;
}

void docQuestions_t::warnNewerVersion(const std::string& text)
{
    dialogs().message(msgKind_t::warning, QString::fromStdString(text), btnOk);
}

} // namespace ui
