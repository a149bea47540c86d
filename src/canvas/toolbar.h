// The toolbar strip of the main window: picture buttons for the file
// commands, undo and redo, the pointer and every insertion tool, the grid and
// snap switches, stacking, join/split and clipboard commands, and the zoom
// buttons, slider and label. Held by the shared-procedures frame TProcs.
#pragma once

#include <QImage>
#include <QKeySequence>
#include <QString>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QLabel;
class QMenu;
class QSlider;

namespace canvas {

// The toolbar's buttons by number, in the order of their hints.
constexpr int32_t toolbarButtonCount = 36;
constexpr int32_t separatorButton = 0;
constexpr int32_t buttonNew = 1;
constexpr int32_t buttonOpen = 2;
constexpr int32_t buttonSave = 3;
constexpr int32_t buttonExport = 4;
constexpr int32_t buttonPrint = 5;
constexpr int32_t buttonUndo = 6;
constexpr int32_t buttonRedo = 7;
constexpr int32_t buttonRepaint = 8;
constexpr int32_t buttonPointer = 9;
constexpr int32_t buttonZoomOut = 10;
constexpr int32_t buttonZoomIn = 11;
constexpr int32_t buttonToBack = 12;
constexpr int32_t buttonToFront = 13;
constexpr int32_t buttonErase = 14;
constexpr int32_t buttonPaste = 15;
constexpr int32_t buttonCopy = 16;
constexpr int32_t buttonLine = 17;
constexpr int32_t buttonText = 18;
constexpr int32_t buttonGridlines = 19;
constexpr int32_t buttonSnap = 20;
constexpr int32_t buttonTriangle = 21;
constexpr int32_t buttonSquare = 22;
constexpr int32_t buttonRectangle = 23;
constexpr int32_t buttonCircle = 24;
constexpr int32_t buttonEllipse = 25;
constexpr int32_t buttonPolygon = 26;
constexpr int32_t buttonPicture = 27;
constexpr int32_t buttonArc = 28;
constexpr int32_t buttonSpline = 29;
constexpr int32_t buttonCurve = 30;
constexpr int32_t buttonPie = 31;
constexpr int32_t buttonStar = 32;
constexpr int32_t buttonSolid = 33;
constexpr int32_t buttonOblong = 34;
constexpr int32_t buttonJoin = 35;
constexpr int32_t buttonSplit = 36;

// Left-to-right order on the strip; 0 is a separator. Button 4 (export) is
// listed but never shown.
extern const std::vector<int32_t> toolbarOrder;

// The hint of button n (1..36).
QString buttonHint(int32_t n);
// The key of the menu command a button runs too; empty for none.
QKeySequence buttonKey(int32_t n);
// The tool tip of button n: its hint, and its key in brackets when it has one.
QString buttonToolTip(int32_t n);
// The panel code a tool button shows (the line button the next-line panel,
// a shape button its tool's code, the pointer the insert panel), 0 for a
// button that is not a tool.
int32_t toolPanelCode(int32_t n);
// The tool button pressed when the panel `code` is shown, 0 for none.
int32_t buttonForPanel(int32_t code);

// Zoom steps on whole percentages; an unchanged value means no step.
int32_t zoomStepOut(int32_t percent);
int32_t zoomStepIn(int32_t percent);

enum class toggle_t { released, pressed, toggle };

// What the strip asks of its owner.
class toolbarHost_t {
public:
    virtual ~toolbarHost_t() = default;
    // A click on button n (already checked to be shown and enabled).
    virtual void toolbarCommand(int32_t n) = 0;
    // The zoom slider was let go at `percent` (1..300).
    virtual void toolbarZoom(int32_t percent) = 0;
    // The Gridlines (19) or Snap (20) toggle was switched.
    virtual void toolbarToggle(int32_t n, bool on) = 0;
};

class TProcs : public QWidget {
public:
    explicit TProcs(toolbarHost_t* host, QWidget* parent = nullptr);

    // Places every button and the zoom controls for a strip of that height.
    void layoutToolbar(int32_t height);
    void pressToolButton(int32_t number);
    int32_t pressedTool() const { return pressed_; }
    // Grid and snap toggles; with `act` the host is asked to apply Both or None.
    void setGridButton(toggle_t state, bool act = false);
    void setSnapButton(toggle_t state, bool act = false);
    bool gridButton() const { return gridOn_; }
    bool snapButton() const { return snapOn_; }
    void refreshSelectionButtons(bool hasSelection, bool clipboardHasItems, bool joinable, bool splittable);
    void refreshUndoButtons(bool canUndo, bool canRedo);
    // Shows `percent` on the label and the slider without applying a zoom.
    void showZoom(double zoom);
    int32_t sliderPosition() const;

    void setButtonEnabled(int32_t n, bool on);
    bool buttonEnabled(int32_t n) const { return valid(n) && enabled_[n]; }
    void setButtonShown(int32_t n, bool on);
    bool buttonShown(int32_t n) const { return valid(n) && shown_[n]; }
    // The button's place on the strip; empty while not shown or while it
    // waits in the overflow menu.
    QRect buttonRect(int32_t n) const { return valid(n) ? rects_[n] : QRect(); }
    // The shown buttons that did not fit before the zoom controls, in strip
    // order; they are offered by the overflow button's menu.
    const std::vector<int32_t>& overflowButtons() const { return overflow_; }
    QRect overflowRect() const { return overflowRect_; }
    // The overflow menu as it would open now (the caller owns it).
    QMenu* overflowMenu(QWidget* parent) const;
    // A command the overflow menu offers after the buttons that did not fit
    // (Insert ▸ Barcode, which has no button); with one, the overflow
    // button is always shown.
    struct overflowCommand_t {
        QString text;
        QImage icon;
        std::function<void()> run;
    };
    void addOverflowCommand(overflowCommand_t command);
    int32_t hoverButton() const { return hover_; }
    QTimer hoverTimer;

    // Thin handlers callable from tests.
    void stripMouseMove(QPoint pos);
    void stripMouseUp(QPoint pos);
    void stripLeave();
    // The slider: moving shows the position, releasing applies it.
    void sliderMoved(int32_t position);
    void sliderReleased();
    void setSliderPosition(int32_t position);  // as the user's drag would

    QLabel* zoomCaption = nullptr;  // "Zoom"
    QLabel* zoomLabel = nullptr;    // "100%"
    QSlider* zoomSlider = nullptr;

    // The picture of button n in a state (flat, raised, pressed, disabled).
    enum class look_t { flat, raised, pressed, disabled };
    QImage buttonImage(int32_t n, look_t look, int32_t size) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    static bool valid(int32_t n) { return n >= 1 && n <= toolbarButtonCount; }
    int32_t buttonAt(QPoint pos) const;
    look_t lookOf(int32_t n) const;
    void relayout();
    int32_t layoutZoomControls(int32_t size);
    // A click on a shown, enabled button, from the strip or the overflow menu.
    void activate(int32_t n);

    toolbarHost_t* host_;
    std::array<QRect, toolbarButtonCount + 1> rects_{};
    std::array<bool, toolbarButtonCount + 1> enabled_{};
    std::array<bool, toolbarButtonCount + 1> shown_{};
    std::vector<QRect> separators_;
    std::vector<int32_t> overflow_;
    std::vector<overflowCommand_t> overflowCommands_;
    QRect overflowRect_;
    bool overflowHover_ = false;
    int32_t pressed_ = 0;
    bool gridOn_ = false, snapOn_ = false;
    int32_t hover_ = 0;
    int32_t height_ = 24;
    bool settingSlider_ = false;
};

} // namespace canvas
