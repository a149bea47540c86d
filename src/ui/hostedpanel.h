// A panel shown in one of the floating host windows: what the host needs to
// know of it (its preferred size, its apply operation) and the fixed facts of
// every hosted code (which host, which geometry slot, caption, button texts).
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

namespace ui {

// The two floating windows.
enum class hostId_t { formX, formY };

// Codes of the panels the floating windows host.
constexpr int32_t hostedLineWeights = 9;
constexpr int32_t hostedLinePatterns = 10;
constexpr int32_t hostedLineAngles = 11;
constexpr int32_t hostedGridNewFiles = 26;
constexpr int32_t hostedGridCurrentFile = 27;
constexpr int32_t hostedTextAngles = 40;
constexpr int32_t hostedFontSizes = 41;
constexpr int32_t hostedAbout = 45;
constexpr int32_t hostedPictureFile = 51;
constexpr int32_t hostedPageSetup = 54;
constexpr int32_t hostedPreview = 57;
constexpr int32_t hostedFirstTimeSetup = 60;
constexpr int32_t hostedShadows = 63;
constexpr int32_t hostedSpeed = 64;
constexpr int32_t hostedPrintOptions = 66;
constexpr int32_t hostedPreviewOptions = 67;
constexpr int32_t hostedRectClip = 503;
constexpr int32_t hostedRoundClip = 510;

// How a hosted panel's caption is made from the name given to the host.
enum class captionRule_t {
    fixed,         // the caption as it stands
    withName,      // caption + " - " + name, the caption alone without a name
    name,          // the name as given (a document window's caption, a command's title)
    fileBaseName,  // the file name without folder and extension
};

// The fixed facts of one hosted code.
struct hostedKind_t {
    int32_t code = 0;
    hostId_t host = hostId_t::formX;
    int32_t slot = 0;  // geometry slot 1..16
    QString caption;
    captionRule_t rule = captionRule_t::fixed;
    QString leftButton, rightButton;
};

// The kind of `code`; null for a code no floating window hosts.
const hostedKind_t* hostedKind(int32_t code);
// The caption of `kind` for the name given to the host.
QString hostedCaption(const hostedKind_t& kind, const QString& name);

// What the host asks of the panel it shows.
class THostedPanel : public QWidget {
public:
    using QWidget::QWidget;
    // The client width and height the panel would like (without the button strip).
    virtual QSize preferredClientSize() const = 0;
    // The left button: save or apply. False keeps the window open (the panel
    // has said why); true lets the host hide it.
    virtual bool applyHosted() = 0;
    // Whether the left button can be pressed (the About panel's "Web"
    // without a home page cannot).
    virtual bool leftButtonEnabled() const { return true; }
    // The window is about to hide or the panel to be replaced; nothing of the
    // panel's copy reaches anything unless `applyHosted` ran before.
    virtual void hostClosing() {}
};

// What a factory is given: the code asked for, the name for the caption and
// the document window the panel works on (null for new-file settings).
struct hostRequest_t {
    int32_t code = 0;
    QString documentName;
    QWidget* document = nullptr;
};

// Creates the panel of one code; null when it cannot be built now.
using hostedPanelFactory_t = std::function<THostedPanel*(const hostRequest_t&, QWidget* parent)>;

} // namespace ui
