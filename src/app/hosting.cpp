// The panels of the floating windows, registered by code, and the commands
// that open them.
#include "app/mainwindow.h"

#include "ui/pagesetup.h"

namespace app {

void TForm1::registerHostedPanels()
{
    TFormX->setFactory(ui::hostedPageSetup, [this](const ui::hostRequest_t& r, QWidget* parent) {
        return new ui::TPage(*params, dynamic_cast<canvas::TSandbox*>(r.document), parent);
    });
}

void TForm1::openPageSetup(canvas::TSandbox* document)
{
    if (document && document->isClosing()) document = nullptr;
    openHosted(ui::hostedPageSetup, document ? document->caption() : QStringLiteral("New Files"), document);
}

} // namespace app
