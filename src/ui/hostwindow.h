// The floating host windows TFormX and TFormY: stay-on-top windows that show
// one dialog-like panel above a strip with two buttons, and remember per
// panel kind where the user left them.
#pragma once

#include "settings/params.h"
#include "ui/hostedpanel.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <map>

namespace ui {

using geometrySlots_t = std::array<settings::floatGeometry_t, 16>;

constexpr int hostStripHeight = 36;
constexpr int hostSplitterHeight = 3;
constexpr int hostButtonWidth = 118, hostButtonHeight = 20;
constexpr int hostLeftButtonX = 11, hostRightButtonX = 147;
// The narrowest client that shows both buttons with the left one's margin.
constexpr int hostMinimumWidth = hostRightButtonX + hostButtonWidth + hostLeftButtonX;

// Where a host window goes: frame position, client size, maximized.
struct hostPlacement_t {
    QPoint pos;
    QSize size;
    bool maximized = false;
};

// The placement of a panel kind from its slot. A known slot gives its own
// geometry (pulled back onto the first screen when no screen shows its title
// strip any more); an unknown one the preferred client size plus the splitter
// and the button strip, at least `hostMinimumWidth` wide, centred on the
// first screen and never at negative coordinates; the slot is then marked
// known. `screens` are the screens' available areas, the primary first.
hostPlacement_t placeHosted(settings::floatGeometry_t& slot, QSize preferredClient,
                            const QList<QRect>& screens);
// Keeps the window's geometry in its slot; a maximized window keeps the
// geometry it had before, so that restoring it returns there.
void rememberHosted(settings::floatGeometry_t& slot, QPoint pos, QSize size, bool maximized);

class THostButton;

class THostWindow : public QWidget {
public:
    // `geometry` holds the settings' geometry slots, `look` gives the interface
    // font and colours; both outlive the window.
    THostWindow(hostId_t id, geometrySlots_t& geometry, const settings::TParams& look, QWidget* parent);
    ~THostWindow() override;

    hostId_t id() const { return id_; }

    // Registers the panel of `code`; a later registration replaces it.
    void setFactory(int32_t code, hostedPanelFactory_t factory);
    bool hasFactory(int32_t code) const;

    // Closes the panel shown now, creates the panel of `code`, sets the
    // caption and the buttons, places the window from the kind's slot and
    // shows it. False (nothing changed) for a code this window does not host
    // or has no factory for, when the factory builds nothing, and while the
    // first-time setup is showing (it cannot be replaced).
    bool openHosted(int32_t code, const QString& documentName, QWidget* document = nullptr);

    int32_t hostedCode() const { return code_; }
    THostedPanel* hostedPanel() const { return panel_; }

    // The left button: the panel's apply, then hide; a click while the apply
    // runs is ignored. The right button hides the window.
    void leftClicked();
    void rightClicked();

    THostButton* panel1 = nullptr;
    THostButton* panel2 = nullptr;

    // Called after the window hid, with the code it hosted and whether the
    // left button's operation closed it.
    std::function<void(int32_t code, bool applied)> onHidden;
    // The screens' available areas, primary first (tests replace it).
    std::function<QList<QRect>()> screenAreas;

protected:
    void hideEvent(QHideEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void releasePanel();
    void applyPlacement(const hostPlacement_t& p);
    settings::floatGeometry_t* slotOf(int32_t code);

    hostId_t id_;
    geometrySlots_t& slots_;
    std::map<int32_t, hostedPanelFactory_t> factories_;
    QWidget* area_ = nullptr;
    THostedPanel* panel_ = nullptr;
    int32_t code_ = 0;
    bool applying_ = false;
    bool applied_ = false;
    bool placing_ = false;
};

// A host button: its caption on the panel colour; under the mouse a coloured
// face with the caption in white, until the mouse leaves the strip or 5 s pass.
class THostButton : public QWidget {
public:
    THostButton(QColor hot, const settings::TParams& look, QWidget* parent);
    void setText(const QString& text);
    QString text() const { return text_; }
    void setHot(bool on);
    bool hot() const { return hot_; }
    std::function<void()> clicked;

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QString text_;
    QColor hotColor_, panelColor_;
    bool hot_ = false;
    QTimer cool_;
};

} // namespace ui
