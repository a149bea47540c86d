// The document window TSandbox: one open document with its rulers, anchor
// gutters, canvas image and scroll bars, its view (zoom, view origin) and the
// timers that finish work after an event. Lives in the main window's
// multiple-document area.
#pragma once

#include "canvas/picking.h"
#include "canvas/rulers.h"
#include "canvas/viewlayout.h"
#include "geometry/units.h"
#include "model/item.h"
#include "model/itemlist.h"

#if __has_include("render/renderpass.h")
#include "render/renderpass.h"
#define LUMORA_HAVE_RENDER 1
#endif

#include <QImage>
#include <QScrollBar>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace canvas {

class TSandbox;

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
    // The global zoom changed from within the window (opening a document).
    virtual void zoomControlsChanged() = 0;
    // The window's tool wants its side panel (98 line, 300 text) and button.
    virtual void showToolPanel(int32_t code) = 0;
    // The Delete key asks to erase the selected items of the window.
    virtual void eraseRequested(TSandbox* w) { (void)w; }
    // The selection or the history of the window changed: refresh the Undo
    // and Redo commands and the selection-dependent commands.
    virtual void editStateChanged(TSandbox* w) { (void)w; }
    // The side panel `code` should show (tool panels, the panel that follows
    // a selection: 20 insert, 59 multiple selection, 99 line, 200... shapes).
    virtual void showPanel(int32_t code) { (void)code; }
    // A guidance page of the tools (shown only while its flag is set).
    virtual void showGuidance(int32_t page) { (void)page; }
};

// A save-under: the pixels of the canvas under a transient figure.
struct saveUnder_t {
    bool saved = false;
    QRect dest;
    QImage pixels;
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
private:
    TSandbox* owner_;
};

class TSandbox : public QWidget {
public:
    explicit TSandbox(sandboxHost_t* host, QWidget* parent = nullptr);
    ~TSandbox() override;

    // ---- document ----
    model::itemList_t items;
    model::item_t* header() const { return model::findHeader(items); }
    QString fileName;
    QString untitledNumber;
    int32_t documentNumber() const;
    double zoomFactor() const { return geometry::zoomFactor(header()); }
    QString caption() const;
    bool isModified() const;

    // ---- editing state ----
    int32_t mode = 0;
    int32_t clickCount = 0;
    int32_t handleCode = 0;
    geometry::point_t firstPoint, secondPoint, lastRubberPoint, lastMouse, mouseDownPoint;
    uint8_t ignoreGesture = 0;
    int32_t anchorDragKind = 0;
    int32_t rulerDragKind = 0;
    int32_t caretLine = 1, caretColumn = 1;
    uint8_t caretShown = 0;
    uint8_t extending = 0;
    double extendRoundness = model::defaultRoundness;
    uint8_t keyboardEnabled = 0;
    int32_t deferredJob = 0;
    uint8_t closing = 0, layoutBusy = 0, doubleClickPending = 0, ready = 0;
    QRect areaRect;
    saveUnder_t selectionUnder, guideBuffer, caretBuffer;

    // ---- view ----
    geometry::point_t viewOrigin;
    geometry::point_t pageOnScreen;
    QSize canvasPx;
    viewLayout_t lastLayout;
    QImage& canvasImage();
    const QImage& canvasImage() const;

    // ---- controls ----
    QWidget* base0 = nullptr;
    QWidget* corner1 = nullptr;
    rulerImage_t* rulerX = nullptr;
    rulerImage_t* rulerY = nullptr;
    QWidget* Panel0 = nullptr;
    QWidget* background1 = nullptr;
    QWidget* Panel2 = nullptr;
    canvasImage_t* Image1 = nullptr;
    QScrollBar* ScrollBarX = nullptr;
    QScrollBar* ScrollBarY = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Hint1 = nullptr;
    QWidget* hGridmark = nullptr;
    QWidget* vGridmark = nullptr;
    QWidget* hGridmarkRed = nullptr;
    QWidget* vGridmarkRed = nullptr;
    QWidget* BackgroundColor1 = nullptr;
    QTimer Timer1, Timer2, Timer3, Timer4, Timer5, Timer6, Timer7, Timer8;

    // ---- operations ----
    // Sets the window up for a new document (empty name) or a file. False
    // when a named document file could not be read (the window then holds a
    // new untitled document).
    bool openDocument(int32_t number, const QString& name);
    void layoutView();
    void applyZoom();
    void repaintAll(bool runDeferred);
    void repaintRect(const QRect& rect);
    // Redraws both rulers for the current scroll positions.
    void drawRulers();
    void refreshCaption();

    // ---- handlers ----
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
    virtual bool FormKeyPress(const QString& text);
    void Timer3Timer();
    void Timer5Timer();
    void Timer7Timer();

    // ---- save-unders ----
    // Saves the canvas pixels of `rect` (clipped to the image) in `buffer`.
    void saveUnder(saveUnder_t& buffer, const QRect& rect);
    // Puts saved pixels back and forgets them; nothing when none are saved.
    void restoreUnder(saveUnder_t& buffer);

    // ---- snapping ----
    // A canvas position snapped to the gridlines when snapping is on (x and
    // y separately); unchanged while the document has no snapping.
    geometry::point_t snapped(geometry::point_t screen) const;
    // Canvas pixel <-> document pixel at the window's zoom and view origin.
    geometry::point_t toDoc(geometry::point_t screen) const;
    geometry::point_t toScreen(geometry::point_t doc) const;

    // ---- insertion tools (tools.cpp) ----
    // The points being placed: the last record is the rubber point that
    // follows the mouse (canvas pixels).
    std::vector<geometry::point_t> rubberPoints;
    static bool isToolMode(int32_t code);
    // Makes `code` the window's tool (0 pointer, 1 line, 31 text, 100..199),
    // leaving any unfinished sequence and repainting.
    void selectTool(int32_t code);
    // Drops an unfinished point sequence and its preview.
    void abandonSequence();
    // The view origin moved from `before`: shifts the points being placed.
    void followViewOrigin(geometry::point_t before);
    void toolMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos);
    void toolMouseMove(Qt::KeyboardModifiers modifiers, geometry::point_t pos);
    void toolMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos);
    bool toolKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void Timer1Timer();
    bool buttonHeld = false;

    // ---- pointer mode: selection, handles, moving, placing (pointer.cpp) ----
    void pointerMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos);
    void pointerMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, geometry::point_t pos);
    void pointerMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos);
    void Timer2Timer();
    // Starts a change of the selected items as one history step: repaints the
    // canvas under them once into selectionUnder and replaces each by a new
    // version; returns the new versions (none when nothing is selected).
    std::vector<model::item_t*> beginEdit(bool redraw);
    // The pasted items follow the mouse until the button is released (mode 53).
    void startPlacing(const std::vector<model::item_t*>& pasted);
    // Pasted items being placed stay where they are (another command came).
    void endPlacing();
    // Applies a drag from `start` to `current` (canvas pixels) to every
    // selected item, computed from the reference geometry beginEdit saved;
    // `final` completes the items and repaints the canvas.
    void manipulate(geometry::point_t start, geometry::point_t current, bool snap, int32_t code, bool final);
    // Erases the marks of every item (putting back the pixels under them) /
    // draws the marks of the selected items.
    void eraseMarks();
    void drawSelectionMarks();
    // The double click on a picture: the front-most picture under the mouse
    // becomes the only selected item.
    void pickPicture();
    // Copy to Clipboard: the marked area of the canvas as a bitmap, once the
    // marks are off the canvas (Timer3 finishes it).
    void copyAreaToClipboard();
    // The deferred work of Timer3: the area copy, then the marks.
    void runDeferredJob();
    // The type of the item whose handle started the current drag.
    int32_t handleOwnerType = 0;
    // Area selection: the rectangle being dragged, the pixels under its
    // frame, and the items it keeps selected.
    QRect areaDrag;
    std::array<saveUnder_t, 4> areaFrame;
    areaSelection_t areaSelection;
    sandboxHost_t* host() const { return host_; }
    // The host is going away: the window calls it no more, not even when destroyed.
    void detachHost() { host_ = nullptr; }

    // The canvas without the render pass: grey outside, the white page.
    void paintPageBackgroundTemporary();

#ifdef LUMORA_HAVE_RENDER
    render::renderView_t view;
#endif

protected:
    void resizeEvent(QResizeEvent*) override;
    void closeEvent(QCloseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;

private:
    // Tool sequences (tools.cpp).
    void erasePreview();
    void drawPreviewItem(model::item_t* shape, geometry::point_t lineStart, geometry::point_t lineEnd);
    void drawGuideLine(geometry::point_t from, geometry::point_t to);
    std::unique_ptr<model::item_t> previewShape(int32_t itemType, const std::vector<geometry::point_t>& screenPoints,
                                                int32_t variant) const;
    void showShapePreview(int32_t itemType, const std::vector<geometry::point_t>& screenPoints, int32_t variant);
    void showLinePreview(geometry::point_t mouse);
    void rectangleCorners(geometry::point_t mouse);
    void redrawPreview(geometry::point_t mouse);
    model::item_t* createFromTool(const std::vector<geometry::point_t>& points, int32_t variant);
    void finishCreation(model::item_t* created);
    void finishSpline(int32_t variant);
    int32_t splineVariant() const;

    void placeCanvas(const viewLayout_t& l);
    // Either scroll bar moved: lay the view out again.
    void scrolled();
    void paintCanvas(bool quick);
    void setUpView();
    sandboxHost_t* host_;
#ifndef LUMORA_HAVE_RENDER
    QImage canvas_;
#endif
    bool destroyed_ = false;
};

} // namespace canvas
