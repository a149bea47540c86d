// The document window TSandbox: one open document with its rulers, anchor
// gutters, canvas image and scroll bars, its view (zoom, view origin) and the
// timers that finish work after an event. Lives in the main window's
// multiple-document area.
//
// The window is a host: what the mouse and keys do is decided by the
// interaction of the current `mode` (a tool's click sequence, the pointer's
// picking, an area selection, a handle drag, placing pasted items), each a
// class of its own. The window owns what they share: the document, the
// canvas, the save-unders and the editing state.
#pragma once

#include "canvas/arrange.h"
#include "canvas/interactionhost.h"
#include "canvas/modes.h"
#include "canvas/rulers.h"
#include "canvas/viewlayout.h"
#include "geometry/units.h"
#include "model/grid.h"
#include "model/item.h"
#include "model/itemlist.h"
#include "settings/pageset.h"
#include "render/renderpass.h"

#include <QImage>
#include <QPointF>
#include <QScrollBar>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace canvas {

class TSandbox;
class interaction_t;
class toolSequence_t;
class pointerMode_t;
class areaSelectMode_t;
class handleDrag_t;
class placingMode_t;
class extendMode_t;
class anchorDrag_t;
class rulerEndDrag_t;
class anchorStrip_t;
class gridEditor_t;
class textEditing_t;

// What a document window needs from the main window.
class sandboxHost_t {
public:
    virtual ~sandboxHost_t() = default;
    virtual void addWindowEntry(const QString& caption, int32_t docNumber) = 0;
    virtual void removeWindowEntry(int32_t docNumber) = 0;
    virtual void checkWindowEntry(int32_t docNumber) = 0;
    // The window became active and ready: refresh the document-dependent
    // menus, the undo buttons, the zoom controls and the grid/snap toggles.
    virtual void documentActivated(TSandbox* w) = 0;
    // The window is being destroyed.
    virtual void documentDestroyed(TSandbox* w) = 0;
    // Saves for the close question's Yes; false keeps the window open.
    virtual bool saveForClose(TSandbox* w) = 0;
    virtual void addRecent(const QString& fileName) = 0;
    // A picture file was opened: offer it for insertion into this window.
    virtual void offerPicture(TSandbox* w, const QString& path) = 0;
    // A picture was double-clicked (it is the only one selected now): its
    // clip opens in the picture window.
    virtual void pictureDoubleClicked(TSandbox* w) { (void)w; }
    // The global zoom changed from within the window (opening a document).
    virtual void zoomControlsChanged() = 0;
    // The window's tool wants its side panel (the line or text panel) and button.
    virtual void showToolPanel(int32_t code) = 0;
    // The Delete key asks to erase the selected items of the window.
    virtual void eraseRequested(TSandbox* w) { (void)w; }
    // The selection or the history of the window changed: refresh the Undo
    // and Redo commands and the selection-dependent commands.
    virtual void editStateChanged(TSandbox* w) { (void)w; }
    // The side panel `code` should show (tool panels, the panel that follows
    // a selection).
    virtual void showPanel(int32_t code) { (void)code; }
    // A guidance page of the tools (shown only while its flag is set).
    virtual void showGuidance(int32_t page) { (void)page; }
    // A one-line hint for the status line; empty clears it.
    virtual void showStatus(const QString& text) { (void)text; }
    // For the hints of the side panel showing: the tool reached another step
    // (the line tool after its first point: 2), typing (303) or editing (37)
    // of a text started (0: it ended), the extension of a spline or curve ended.
    virtual void toolStepChanged(int32_t step) { (void)step; }
    virtual void textHintsChanged(int32_t which) { (void)which; }
    virtual void extensionEnded() {}
};

// The canvas control: shows the canvas image and forwards the mouse.
class canvasImage_t : public QWidget {
public:
    explicit canvasImage_t(TSandbox* owner, QWidget* parent);
protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    // The right button (or the platform's context-menu gesture).
    void contextMenuEvent(QContextMenuEvent*) override;
    // Characters composed through the input method are typed like any other.
    void inputMethodEvent(QInputMethodEvent*) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
private:
    TSandbox* owner_;
};

class TSandbox : public QWidget, private interactionHost_t {
public:
    explicit TSandbox(sandboxHost_t* host, QWidget* parent = nullptr);
    ~TSandbox() override;

    // ---- document ----
    model::itemList_t& items() { return items_; }
    const model::itemList_t& items() const { return items_; }
    model::item_t* header() const { return model::findHeader(items_); }
    // The file the document was read from or last saved to; empty while untitled.
    const QString& fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }
    // The number in "Untitled N" while the document has no file.
    const QString& untitledNumber() const { return untitledNumber_; }
    void setUntitledNumber(const QString& number) { untitledNumber_ = number; }
    // The print cells crossed out ("x") for this window's prints, row by row;
    // kept in memory only.
    QByteArray& printAreas() { return printAreas_; }
    const QByteArray& printAreas() const { return printAreas_; }
    int32_t documentNumber() const;
    double zoomFactor() const { return geometry::zoomFactor(header()); }
    QString caption() const;
    bool isModified() const;

    // ---- editing state (read-only outside the window and its modes) ----
    modeCode_t mode() const { return mode_; }
    // Points placed by the current tool sequence (0 when none).
    int32_t clickCount() const;
    // The handle code the current drag works with.
    int32_t handleCode() const { return handleCode_; }
    // The canvas position of the last mouse event.
    geometry::point_t lastMouse() const { return lastMouse_; }
    // The rectangle of the last area selection: what Copy to Clipboard copies.
    QRect areaRect() const { return areaRect_; }
    bool isClosing() const { return closing_; }
    bool isReady() const { return ready_; }
    bool keyboardEnabled() const { return keyboardEnabled_; }
    // The main window takes the canvas keys away while one of its own edit
    // boxes has the focus.
    void enableKeyboard(bool on) { keyboardEnabled_ = on; }
    // Copy to Clipboard waits for the marks to come off the canvas.
    bool areaCopyPending() const { return deferredJob_ == deferredJob_t::copyArea; }
    bool doubleClickPending() const { return doubleClickPending_; }
    // The points of the tool sequence being placed (canvas pixels); the last
    // is the rubber point that follows the mouse.
    const std::vector<geometry::point_t>& toolPoints() const;
    // The save-under of a tool's guide line.
    const render::savedArea_t& guideBuffer() const;

    // ---- view ----
    geometry::point_t viewOrigin() const { return viewOrigin_; }
    geometry::point_t pageOnScreen() const { return pageOnScreen_; }
    const viewLayout_t& lastLayout() const { return lastLayout_; }
    // The zoomed page's width and height in canvas pixels.
    int32_t pageExtentX() const;
    int32_t pageExtentY() const;
    // The render state of the canvas: the image, the style, the selection's save-under.
    render::renderView_t& view() { return view_; }
    const render::renderView_t& view() const { return view_; }
    QImage& canvasImage() { return view_.Image1; }
    const QImage& canvasImage() const { return view_.Image1; }
    // Pixels of the canvas image were drawn: the canvas control shows them.
    void updateCanvas(const QRect& rect);
    void updateCanvas();
    // The deferred pass (the marks, a pending area copy) runs once the event is done.
    void deferMarks();

    // ---- operations ----
    // Sets the window up for a new document (empty name) or a file. False
    // when a named document file could not be read (the window then holds a
    // new untitled document).
    bool openDocument(int32_t number, const QString& name);
    void adoptRecovered(const QString& original);
    void layoutView();
    // The one place a document's zoom changes: the header keeps it, the
    // settings' currentZoom mirrors it for the zoom controls, which the host
    // then refreshes. Points being placed are dropped, the canvas repainted.
    // The document point at the centre of the view stays there.
    void applyZoom(double factor);
    // The same, keeping the document point under `at` (view panel pixels,
    // Panel0) where it is: the wheel zooms about the mouse.
    void zoomAt(double factor, QPoint at);
    // The same, showing document point `doc` at `at` afterwards.
    void zoomShowing(double factor, QPointF doc, QPoint at);
    // The centre of the part of the view panel the scroll bars leave visible.
    QPoint viewCentre() const;
    // The document point shown at a pixel of the view panel.
    QPointF docAtView(QPoint at) const;
    // View panel pixel of a canvas image pixel.
    QPoint canvasToView(QPoint canvasPos) const;
    // The whole percentage that fits the page, or the selected items, into
    // the view; 0 when nothing is selected.
    int32_t fitPagePercent() const;
    int32_t fitSelectionPercent() const;
    // Zoom ▸ Fit Page and Fit Selection (the selection centred in the view).
    void fitPage();
    void fitSelection();
    void repaintAll(bool runDeferred);
    void repaintRect(const QRect& rect);
    // Redraws both rulers for the current scroll positions.
    void drawRulers();
    // Redraws one ruler as for a page `pageExtent` canvas pixels long (a
    // ruler end being dragged shows the size it would give).
    void drawRuler(bool vertical, int32_t pageExtent);
    void refreshCaption();
    // Applies a page setup to the document (see page::applyPageSetup); with
    // `refresh` the document is marked modified and the canvas rectangle,
    // grid, rulers and canvas follow. False when nothing was applied.
    bool applyPageSetup(const page::pageset_t& setup, int32_t designType, bool refresh);
    // The window is going away with its main window: no more layout,
    // repaints or questions.
    void markClosing() { closing_ = true; }

    // ---- handlers: each forwards to the interaction of the current mode ----
    void FormActivate();
    void FormDeactivate();
    void FormResize();
    // True when the window may close (the save question was answered).
    bool FormClose();
    void FormMouseMove(QPoint pos);
    void ScrollBarXChange(int32_t position);
    void ScrollBarYChange(int32_t position);
    void Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void Image1DblClick(QPoint pos);
    // Key handlers: the main window routes every key-down and character of the
    // application here while this window is active. True = consumed.
    virtual bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // Characters typed while the window is active: a text being typed or
    // edited takes them. True = consumed.
    virtual bool FormKeyPress(const QString& text);
    // The anchor strips' and the rulers' mouse handlers (view panel pixels).
    void background1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void background1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void background1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void rulerMouseDown(bool vertical, Qt::MouseButton button, int32_t pos);
    void rulerMouseMove(bool vertical, Qt::MouseButtons buttons, int32_t pos);
    void rulerMouseUp(bool vertical, Qt::MouseButton button, int32_t pos);

    // ---- timers: one-shot, each finishing work after an event. Tests may
    // call the handlers directly instead of waiting; the timers themselves are
    // children of the window, found by their object names. ----
    // A tool's press-and-hold (was Timer1Timer).
    void holdTimerTimeout();
    // The double click on a picture, once the click is over (was Timer2Timer).
    void doubleClickTimerTimeout();
    // The deferred pass: the area copy, then the marks (was Timer3Timer).
    void deferredTimerTimeout();
    // The tool's side panel after the window became active (was Timer5Timer).
    void toolPanelTimerTimeout();
    // The full-quality pass after a quick draw at a new zoom (was Timer7Timer).
    void fullQualityTimerTimeout();

    // ---- save-unders ----
    // Saves the canvas pixels of `rect` (clipped to the image) in `buffer`.
    void saveUnder(render::savedArea_t& buffer, const QRect& rect);
    // Puts saved pixels back and forgets them; nothing when none are saved.
    void restoreUnder(render::savedArea_t& buffer);

    // ---- mapping ----
    // The canvas position a tool or drag uses for the mouse: with snapping on,
    // each coordinate on its nearest gridline.
    geometry::point_t snapped(geometry::point_t screen) const;
    // Canvas pixel <-> document pixel at the window's zoom and view origin.
    geometry::point_t toDoc(geometry::point_t screen) const;
    geometry::point_t toScreen(geometry::point_t doc) const;

    // ---- tools ----
    // Makes `code` the window's tool (a panel code standing for a tool, a
    // tool code, anything else the pointer), leaving any unfinished sequence
    // and repainting.
    void selectTool(int32_t code);
    // Drops an unfinished point sequence and its preview.
    void abandonSequence();
    // Back to the pointer from any mode: pasted items being placed stay where
    // they are, an unfinished tool sequence is dropped, a spline being
    // extended comes back unchanged.
    void leaveToPointer();
    // Ctrl-A: adding points at the end of the one selected open spline or
    // curve; false when the selection cannot be extended.
    bool startExtension();

    // ---- editing the selection (selectionedit.cpp) ----
    // Starts a change of the selected items as one history step: repaints the
    // canvas under them once into the selection save-under and replaces each
    // by a new version; returns the new versions (none when nothing is selected).
    std::vector<model::item_t*> beginEdit(bool redraw);
    // Applies a drag from `start` to `current` (canvas pixels) to every
    // selected item, computed from the reference geometry beginEdit saved;
    // `final` completes the items and repaints the canvas.
    void manipulate(geometry::point_t start, geometry::point_t current, bool snap, int32_t code, bool final);
    // The glue of the dragged items once a drag is complete (handledrag.cpp).
    void settleGlue(const std::vector<model::item_t*>& sel, int32_t code, bool translation);
    // The pasted items follow the mouse until the button is released; with
    // `boxByDrag` a drag gives the one new item the dragged box instead.
    void startPlacing(const std::vector<model::item_t*>& pasted,
                      std::function<void(model::item_t*, int32_t, int32_t, int32_t, int32_t)> boxByDrag = {});
    // Pasted items being placed stay where they are (another command came).
    void endPlacing();
    // Erases the marks of every item (putting back the pixels under them) /
    // draws the marks of the selected items.
    void eraseMarks();
    void drawSelectionMarks();
    // The selection replaced by `change`, a command from outside the
    // window's modes: what the modes show over the canvas and the old marks
    // come off, the new marks follow with the deferred job; the items'
    // pixels stay as they are.
    void reselect(const std::function<void()>& change);
    // The double click on a picture: the front-most picture under the mouse
    // becomes the only selected item.
    void pickPicture();
    // Copy to Clipboard: the marked area of the canvas as a bitmap, once the
    // marks are off the canvas (the deferred pass finishes it).
    void copyAreaToClipboard();
    // The deferred pass: the area copy, then the marks.
    void runDeferredJob();

    // ---- arranging without the mouse (arrangeview.cpp) ----
    // Edit ▸ Select All: every visible item; false when there is none.
    bool selectAll();
    // Nothing selected any more (Esc with the pointer); false when nothing was.
    bool clearSelection();
    // The arrow keys: the selection moves one document pixel, with Shift ten
    // or, with snapping on, to the next gridline. Presses that follow one
    // another on the same selection are one history step.
    bool nudge(int key, Qt::KeyboardModifiers modifiers);
    // Arrange ▸ Align: to the selection's box, or to the page when a single
    // item (or group) is selected; Distribute: equal gaps for three or more.
    // One history step each; false when nothing moved.
    bool alignSelection(alignEdge_t edge);
    bool distributeSelection(bool across);
    // Edit ▸ Duplicate (see duplicateSelection); false when nothing is selected.
    bool duplicateSelected();
    // Whether the window takes a key that is also a menu command's shortcut:
    // Ctrl+A for a selected open spline or curve, the editing keys of a text
    // being typed, Delete on a gridline anchor.
    bool claimsKey(int key, Qt::KeyboardModifiers modifiers) const;
    // Whether the selection can be extended with Ctrl+A.
    bool canExtend() const;
    // The canvas's context menu (the right button, the Menu key) is the main
    // window's: it installs who shows it, at a global screen position.
    using contextMenuHandler_t = std::function<void(TSandbox&, QPoint global)>;
    static void setContextMenuHandler(contextMenuHandler_t handler);
    // Shows the context menu at `global` unless a gesture or a text takes the
    // mouse and keys; false when none was shown.
    bool contextMenuRequested(QPoint global);

    // ---- parts ----
    // The grid: menu choices, gridline edits, strip mapping (gridedit.h).
    gridEditor_t& grid() { return *grid_; }
    const gridEditor_t& grid() const { return *grid_; }
    // Typing and editing texts on the canvas (the text tool and mode 37).
    textEditing_t& textEditor() { return *text_; }
    const textEditing_t& textEditor() const { return *text_; }

    sandboxHost_t* host() const { return host_; }
    // The host is going away: the window calls it no more, not even when destroyed.
    void detachHost() { host_ = nullptr; }

protected:
    void resizeEvent(QResizeEvent*) override;
    void closeEvent(QCloseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;

private:
    // ---- interactionHost_t: what the interactions and the grid editor use ----
    TSandbox& window() override { return *this; }
    void setMode(modeCode_t mode) override { mode_ = mode; }
    void setHandle(int32_t code, int32_t ownerType) override;
    int32_t handleOwnerType() const override { return handleOwnerType_; }
    void ignoreGesture() override { ignoreGesture_ = true; }
    bool gestureIgnored() const override { return ignoreGesture_; }
    bool buttonHeld() const override { return buttonHeld_; }
    void setAreaRect(const QRect& r) override { areaRect_ = r; }
    void beginAreaSelection(Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void beginHandleDrag(modeCode_t mode, int32_t code, int32_t itemType, geometry::point_t pos) override;
    void anchorsChanged() override;
    void editStateChanged() override;
    QWidget& canvasControl() override;
    rulerImage_t& ruler(bool vertical) override { return *(vertical ? rulerY_ : rulerX_); }
    anchorStrip_t& anchorStrip(bool xAxis) override { return *(xAxis ? stripX_ : stripY_); }
    const anchorDrag_t& anchorDrag() const override { return *anchors_; }
    void redrawAnchors() override;
    QPoint viewToValueBox(QPoint pos) const override;
    void showValueBox(const QString& text, QPoint at) override;
    QTimer& holdTimer() override { return holdTimer_; }
    QTimer& caretTimer() override { return caretTimer_; }

    // The interaction that answers the mouse and keys in the current mode.
    interaction_t& current();
    // Every interaction, for what concerns them all (a repaint under their figures).
    std::array<interaction_t*, 7> interactions();

    void createControls();
    void createTimers();
    void resetForDocument();
    void createHeader(int32_t number);
    bool readDocumentFile(int32_t number, const QString& path);
    void placeCanvas(const viewLayout_t& l);
    // Either scroll bar moved: lay the view out again.
    void scrolled();
    void paintCanvas(bool quick);
    void setUpView();
    void stopTimers();

    sandboxHost_t* host_;

    // ---- document and render state ----
    model::itemList_t items_;
    QString fileName_;
    QString untitledNumber_;
    QByteArray printAreas_;
    render::renderView_t view_;

    // ---- controls (children of the window, named for the object tree) ----
    QWidget* basePanel_ = nullptr;       // base0: everything of the window lies on it
    QWidget* rulerCorner_ = nullptr;     // corner1: where the rulers meet
    rulerImage_t* rulerX_ = nullptr;
    rulerImage_t* rulerY_ = nullptr;
    QWidget* viewPanel_ = nullptr;       // Panel0: the visible part of the page, strips on its edges
    QWidget* pageSurround_ = nullptr;    // background1: the grey around the page
    QWidget* canvasPanel_ = nullptr;     // Panel2: carries the canvas control, moved by scrolling
    canvasImage_t* canvasControl_ = nullptr;  // Image1: shows the canvas image
    QScrollBar* scrollBarX_ = nullptr;
    QScrollBar* scrollBarY_ = nullptr;
    QWidget* scrollCorner_ = nullptr;    // Panel1: fills the corner between the scroll bars
    QWidget* valueBox_ = nullptr;        // Hint1: the value box of a ruler-end or anchor drag
    QWidget* hGridmark_ = nullptr;
    QWidget* vGridmark_ = nullptr;
    QWidget* hGridmarkRed_ = nullptr;
    QWidget* vGridmarkRed_ = nullptr;
    QWidget* backgroundColour_ = nullptr;  // BackgroundColor1
    anchorStrip_t* stripX_ = nullptr;
    anchorStrip_t* stripY_ = nullptr;

    // ---- timers (one-shot) ----
    QTimer holdTimer_;         // Timer1: a tool's press-and-hold
    QTimer doubleClickTimer_;  // Timer2: the double click on a picture after the click
    QTimer deferredTimer_;     // Timer3: the marks (and a pending area copy) after an event
    QTimer caretTimer_;        // Timer4: the text caret's blink
    QTimer toolPanelTimer_;    // Timer5: the tool's side panel after activation
    QTimer fullQualityTimer_;  // Timer7: the full-quality pass after a quick draw

    // ---- interactions and parts ----
    std::unique_ptr<toolSequence_t> tools_;
    std::unique_ptr<pointerMode_t> pointer_;
    std::unique_ptr<areaSelectMode_t> area_;
    std::unique_ptr<handleDrag_t> drag_;
    std::unique_ptr<placingMode_t> placing_;
    std::unique_ptr<extendMode_t> extend_;
    std::unique_ptr<anchorDrag_t> anchors_;
    std::unique_ptr<rulerEndDrag_t> rulerEnds_;
    std::unique_ptr<gridEditor_t> grid_;
    std::unique_ptr<textEditing_t> text_;

    modeCode_t mode_ = modePointer;
    int32_t handleCode_ = 0;
    // The type of the item whose handle started the current drag.
    int32_t handleOwnerType_ = 0;
    geometry::point_t lastMouse_;
    // The gesture after Esc is ignored until the next press.
    bool ignoreGesture_ = false;
    bool buttonHeld_ = false;
    bool keyboardEnabled_ = false;
    // Work the deferred pass does besides drawing the marks (copyAreaToClipboard).
    enum class deferredJob_t { none, copyArea } deferredJob_ = deferredJob_t::none;
    bool closing_ = false;
    bool layoutBusy_ = false;
    bool doubleClickPending_ = false;
    bool ready_ = false;
    bool destroyed_ = false;
    QRect areaRect_;

    geometry::point_t viewOrigin_;
    geometry::point_t pageOnScreen_;
    QSize canvasPx_;
    viewLayout_t lastLayout_;
    // The nudge run the next arrow key continues: the versions it moves,
    // its history step and how far it has moved them.
    struct nudgeRun_t {
        std::vector<model::item_t*> versions;
        int32_t actionId = 0;
        int32_t dx = 0, dy = 0;
    } nudge_;
    bool nudgeRunGoesOn();
    int32_t snapCoordinate(int32_t value, bool xAxis) const;
    // Scroll positions the next layout takes instead of the bars' (a zoom
    // that keeps a point of the view in place); cleared by that layout.
    std::optional<QPoint> wantedScroll_;
};

} // namespace canvas
