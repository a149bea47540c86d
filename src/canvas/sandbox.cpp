#include "canvas/sandbox.h"

#include "canvas/anchorstrip.h"
#include "canvas/areaselect.h"
#include "canvas/extension.h"
#include "canvas/gridedit.h"
#include "canvas/handledrag.h"
#include "canvas/handles.h"
#include "canvas/picking.h"
#include "canvas/placing.h"
#include "canvas/pointermode.h"
#include "canvas/rulerends.h"
#include "canvas/shellparams.h"
#include "canvas/textediting.h"
#include "canvas/toolsequence.h"
#include "model/itemlist.h"
#include "render/picturecache.h"
#include "render/surface.h"
#include "ui/dialogs.h"
#include "ui/panelcodes.h"

#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QCoreApplication>
#include <QPointer>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QContextMenuEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>

namespace canvas {

namespace {

// Grey of the window background around the page.
const QColor backgroundGrey(0xA0, 0xA0, 0xA0);

// A plain panel that paints itself in one colour.
class panel_t : public QWidget {
public:
    panel_t(const QString& name, QColor colour, QWidget* parent) : QWidget(parent), colour_(colour)
    {
        setObjectName(name);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), colour_);
    }
private:
    QColor colour_;
};

} // namespace

// ---------------------------------------------------------------- canvas control

canvasImage_t::canvasImage_t(TSandbox* owner, QWidget* parent) : QWidget(parent), owner_(owner)
{
    setObjectName(QStringLiteral("canvasControl"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void canvasImage_t::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const QImage& img = owner_->canvasImage();
    p.drawImage(e->rect().topLeft(), img, e->rect());
}

void canvasImage_t::mousePressEvent(QMouseEvent* e)
{
    owner_->Image1MouseDown(e->button(), e->modifiers(), e->position().toPoint());
}

void canvasImage_t::mouseMoveEvent(QMouseEvent* e)
{
    owner_->Image1MouseMove(e->buttons(), e->modifiers(), e->position().toPoint());
}

void canvasImage_t::mouseReleaseEvent(QMouseEvent* e)
{
    owner_->Image1MouseUp(e->button(), e->modifiers(), e->position().toPoint());
}

void canvasImage_t::mouseDoubleClickEvent(QMouseEvent* e)
{
    // While a tool places points or a text is edited, a quick second click
    // is another press.
    if (isToolMode(owner_->mode()) || owner_->mode() == modeTextEditing) owner_->Image1MouseDown(e->button(), e->modifiers(), e->position().toPoint());
    else owner_->Image1DblClick(e->position().toPoint());
}

void canvasImage_t::contextMenuEvent(QContextMenuEvent* e)
{
    if (owner_->contextMenuRequested(e->globalPos())) e->accept();
    else e->ignore();
}

void canvasImage_t::inputMethodEvent(QInputMethodEvent* e)
{
    if (!e->commitString().isEmpty()) owner_->FormKeyPress(e->commitString());
    e->accept();
}

QVariant canvasImage_t::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const textEditing_t& t = owner_->textEditor();
    switch (query) {
    case Qt::ImEnabled: return t.typing() || (owner_->mode() == toolText && t.clickCount() == 1);
    case Qt::ImCursorRectangle: return t.caretRect();
    case Qt::ImHints: return int(Qt::ImhMultiLine);
    default: return QWidget::inputMethodQuery(query);
    }
}

// ---------------------------------------------------------------- window

TSandbox::TSandbox(sandboxHost_t* host, QWidget* parent) : QWidget(parent), host_(host)
{
    setObjectName(QStringLiteral("TSandbox"));
    setMouseTracking(true);
    setMinimumSize(120, 90);
    resize(640, 480);
    interactionHost_t& self = *this;
    tools_ = std::make_unique<toolSequence_t>(self);
    pointer_ = std::make_unique<pointerMode_t>(self);
    area_ = std::make_unique<areaSelectMode_t>(self);
    drag_ = std::make_unique<handleDrag_t>(self);
    placing_ = std::make_unique<placingMode_t>(self);
    extend_ = std::make_unique<extendMode_t>(self);
    anchors_ = std::make_unique<anchorDrag_t>(self);
    rulerEnds_ = std::make_unique<rulerEndDrag_t>(self);
    grid_ = std::make_unique<gridEditor_t>(self);
    text_ = std::make_unique<textEditing_t>(self);
    createControls();
    createTimers();
    setUpView();
}

void TSandbox::createControls()
{
    basePanel_ = new panel_t(QStringLiteral("basePanel"), backgroundGrey, this);
    basePanel_->setMouseTracking(true);
    rulerCorner_ = new panel_t(QStringLiteral("rulerCorner"), render::toColor(rulerRestColour), basePanel_);
    rulerX_ = new rulerImage_t(false, basePanel_);
    rulerX_->setObjectName(QStringLiteral("rulerX"));
    rulerY_ = new rulerImage_t(true, basePanel_);
    rulerY_->setObjectName(QStringLiteral("rulerY"));
    viewPanel_ = new QWidget(basePanel_);
    viewPanel_->setObjectName(QStringLiteral("viewPanel"));
    viewPanel_->setMouseTracking(true);
    pageSurround_ = new panel_t(QStringLiteral("pageSurround"), backgroundGrey, viewPanel_);
    pageSurround_->setMouseTracking(true);
    canvasPanel_ = new panel_t(QStringLiteral("canvasPanel"), Qt::white, viewPanel_);
    canvasControl_ = new canvasImage_t(this, canvasPanel_);
    // The anchor strips lie over the canvas panel's edges, above the canvas.
    stripY_ = new anchorStrip_t(*this, false, viewPanel_);
    stripX_ = new anchorStrip_t(*this, true, viewPanel_);
    rulerX_->onMouse = [this](QEvent::Type t, Qt::MouseButton b, Qt::MouseButtons bs, int32_t pos) {
        if (t == QEvent::MouseButtonPress) rulerMouseDown(false, b, pos);
        else if (t == QEvent::MouseMove) rulerMouseMove(false, bs, pos);
        else if (t == QEvent::MouseButtonRelease) rulerMouseUp(false, b, pos);
    };
    rulerY_->onMouse = [this](QEvent::Type t, Qt::MouseButton b, Qt::MouseButtons bs, int32_t pos) {
        if (t == QEvent::MouseButtonPress) rulerMouseDown(true, b, pos);
        else if (t == QEvent::MouseMove) rulerMouseMove(true, bs, pos);
        else if (t == QEvent::MouseButtonRelease) rulerMouseUp(true, b, pos);
    };
    canvasControl_->setAttribute(Qt::WA_InputMethodEnabled);
    canvasControl_->setFocusPolicy(Qt::ClickFocus);
    scrollBarX_ = new QScrollBar(Qt::Horizontal, basePanel_);
    scrollBarX_->setObjectName(QStringLiteral("scrollBarX"));
    scrollBarY_ = new QScrollBar(Qt::Vertical, basePanel_);
    scrollBarY_->setObjectName(QStringLiteral("scrollBarY"));
    scrollCorner_ = new panel_t(QStringLiteral("scrollCorner"), QColor(0xEF, 0xEF, 0xEF), basePanel_);
    {
        auto* box = new QLabel(basePanel_);
        box->setObjectName(QStringLiteral("valueBox"));
        box->setAutoFillBackground(true);
        box->setStyleSheet(QStringLiteral("QLabel { background: #FFFFE1; color: black; border: 1px solid #808080; padding: 1px 3px; }"));
        box->setGeometry(0, 0, 120, 20);
        valueBox_ = box;
    }
    hGridmark_ = new panel_t(QStringLiteral("hGridmark"), render::toColor(anchorColour), basePanel_);
    vGridmark_ = new panel_t(QStringLiteral("vGridmark"), render::toColor(anchorColour), basePanel_);
    hGridmarkRed_ = new panel_t(QStringLiteral("hGridmarkRed"), render::toColor(hotAnchorColour), basePanel_);
    vGridmarkRed_ = new panel_t(QStringLiteral("vGridmarkRed"), render::toColor(hotAnchorColour), basePanel_);
    for (QWidget* m : {hGridmark_, vGridmark_, hGridmarkRed_, vGridmarkRed_}) m->setGeometry(0, 0, 7, 7);
    backgroundColour_ = new panel_t(QStringLiteral("backgroundColour"), backgroundGrey, basePanel_);
    for (QWidget* w : {valueBox_, hGridmark_, vGridmark_, hGridmarkRed_, vGridmarkRed_, backgroundColour_,
                       static_cast<QWidget*>(scrollBarX_), static_cast<QWidget*>(scrollBarY_), scrollCorner_})
        w->hide();

    QObject::connect(scrollBarX_, &QScrollBar::valueChanged, this, [this](int v) { ScrollBarXChange(v); });
    QObject::connect(scrollBarY_, &QScrollBar::valueChanged, this, [this](int v) { ScrollBarYChange(v); });
}

void TSandbox::createTimers()
{
    const struct {
        QTimer* t;
        const char* name;
        int ms;
    } timers[] = {{&holdTimer_, "holdTimer", 200},         {&doubleClickTimer_, "doubleClickTimer", 200},
                  {&deferredTimer_, "deferredTimer", 100}, {&caretTimer_, "caretTimer", 500},
                  {&toolPanelTimer_, "toolPanelTimer", 200}, {&fullQualityTimer_, "fullQualityTimer", 100}};
    for (const auto& t : timers) {
        // Children of the window, so that the object tree finds them by name.
        t.t->setParent(this);
        t.t->setObjectName(QString::fromLatin1(t.name));
        t.t->setSingleShot(true);
        t.t->setInterval(t.ms);
    }
    QObject::connect(&holdTimer_, &QTimer::timeout, this, [this] { holdTimerTimeout(); });
    QObject::connect(&doubleClickTimer_, &QTimer::timeout, this, [this] { doubleClickTimerTimeout(); });
    QObject::connect(&deferredTimer_, &QTimer::timeout, this, [this] { deferredTimerTimeout(); });
    QObject::connect(&toolPanelTimer_, &QTimer::timeout, this, [this] { toolPanelTimerTimeout(); });
    QObject::connect(&fullQualityTimer_, &QTimer::timeout, this, [this] { fullQualityTimerTimeout(); });
    QObject::connect(&caretTimer_, &QTimer::timeout, this, [this] { text_->blink(); });
}

TSandbox::~TSandbox()
{
    closing_ = true;
    destroyed_ = true;
    stopTimers();
    const int32_t number = documentNumber();
    if (host_) {
        host_->removeWindowEntry(number);
        host_->documentDestroyed(this);
    }
    model::freeList(items_);
}

void TSandbox::stopTimers()
{
    for (QTimer* t : {&holdTimer_, &doubleClickTimer_, &deferredTimer_, &caretTimer_, &toolPanelTimer_, &fullQualityTimer_})
        t->stop();
}

void TSandbox::setUpView()
{
    view_.items = &items_;
    view_.style = render::renderStyleFrom(params());
    view_.markPositions = [this](render::renderView_t&, model::item_t* item) {
        return handleSpots(item, handleViewOf(*this));
    };
    view_.startDeferred = [this](render::renderView_t&) { deferMarks(); };
    view_.drawAnchors = [this](render::renderView_t&) { redrawAnchors(); };
    view_.processEvents = [this](render::renderView_t&) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return closing_;
    };
    // A large picture decodes in the background, drawn as its outline until
    // it is ready; then its record (if the document still has it) takes the
    // decoded picture and the canvas is drawn at full quality again.
    view_.pictureDecoded = [window = QPointer<TSandbox>(this)](uint64_t serial, QImage decoded) {
        if (!window || window->closing_ || decoded.isNull()) {
            if (window && !window->closing_) window->fullQualityTimer_.start();
            return;
        }
        for (model::item_t* it = window->items_.head; it; it = it->next)
            if (it->itemType == model::typePictureData && it->cacheSerial == serial)
                render::pictureCache().handOverDecoded(it, decoded);
        window->fullQualityTimer_.start();
    };
}

interaction_t& TSandbox::current()
{
    if (isExtendTool(mode_)) return *extend_;
    if (mode_ == toolText || mode_ == modeTextEditing) return *text_;
    if (isToolMode(mode_)) return *tools_;
    if (mode_ == modeAreaSelection) return *area_;
    if (mode_ == modePlacing) return *placing_;
    if (isDragMode(mode_)) return *drag_;
    return *pointer_;
}

std::array<interaction_t*, 7> TSandbox::interactions()
{
    return {tools_.get(), area_.get(), pointer_.get(), drag_.get(), placing_.get(), extend_.get(), text_.get()};
}

int32_t TSandbox::clickCount() const
{
    return mode_ == toolText ? text_->clickCount() : tools_->clickCount();
}

const std::vector<geometry::point_t>& TSandbox::toolPoints() const
{
    return isExtendTool(mode_) ? extend_->points() : tools_->points();
}

const render::savedArea_t& TSandbox::guideBuffer() const
{
    return tools_->guideBuffer();
}

int32_t TSandbox::documentNumber() const
{
    const model::item_t* h = header();
    return h ? h->docNumber : -1;
}

bool TSandbox::isModified() const
{
    const model::item_t* h = header();
    return h && h->hdr().modified;
}

QString TSandbox::caption() const
{
    if (!fileName_.isEmpty()) return QFileInfo(fileName_).completeBaseName();
    return QStringLiteral("Untitled") + QLatin1Char(' ') + untitledNumber_;
}

void TSandbox::refreshCaption()
{
    // "[*]" shows as "*" while the host marks the window modified.
    setWindowTitle(caption() + QStringLiteral("[*]"));
    if (host_) host_->addWindowEntry(caption(), documentNumber());
}

void TSandbox::paintCanvas(bool quick)
{
    if (canvasImage().isNull()) return;
    view_.items = &items_;
    view_.viewOrigin = viewOrigin_;
    view_.quickDraw = quick;
    render::repaintAll(view_, false);
    canvasControl_->update();
}

void TSandbox::repaintAll(bool runDeferred)
{
    if (closing_) return;
    paintCanvas(false);
    // Every save-under holds pixels of the canvas as it was.
    view_.selectionUnder.valid = false;
    for (interaction_t* i : interactions()) i->overlayLost();
    if (runDeferred) deferredTimer_.start();
}

void TSandbox::repaintRect(const QRect& rect)
{
    if (closing_) return;
    // Transient figures go first, so that their saved pixels never outlive
    // the repaint.
    for (interaction_t* i : interactions()) i->eraseOverlay();
    if (!canvasImage().isNull()) {
        view_.items = &items_;
        view_.viewOrigin = viewOrigin_;
        render::repaintArea(view_, rect);
        canvasControl_->update();
    }
    view_.selectionUnder.valid = false;
    deferredTimer_.start();
}

// ---------------------------------------------------------------- save-unders, mapping

void TSandbox::saveUnder(render::savedArea_t& buffer, const QRect& rect)
{
    const QRect r = rect.intersected(canvasImage().rect());
    buffer.rect = r;
    buffer.pixels = r.isEmpty() ? QImage() : canvasImage().copy(r);
    buffer.valid = true;
}

void TSandbox::restoreUnder(render::savedArea_t& buffer)
{
    if (!buffer.valid) return;
    if (!buffer.pixels.isNull()) {
        QPainter p(&canvasImage());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(buffer.rect.topLeft(), buffer.pixels);
        canvasControl_->update(buffer.rect);
    }
    buffer.valid = false;
    buffer.pixels = QImage();
}

geometry::point_t TSandbox::snapped(geometry::point_t screen) const
{
    const model::item_t* h = header();
    if (!h || !(h->hdr().snapX || h->hdr().snapY)) return screen;
    return model::snapPoint(h->hdr(), grid_->gridIndex(), zoomFactor(), toDoc(screen), viewOrigin_);
}

geometry::point_t TSandbox::toDoc(geometry::point_t screen) const
{
    const double z = zoomFactor();
    return {geometry::screenToDoc(z, screen.x, viewOrigin_.x), geometry::screenToDoc(z, screen.y, viewOrigin_.y)};
}

geometry::point_t TSandbox::toScreen(geometry::point_t doc) const
{
    const double z = zoomFactor();
    return {geometry::docToScreen(z, doc.x, viewOrigin_.x), geometry::docToScreen(z, doc.y, viewOrigin_.y)};
}

// ---------------------------------------------------------------- tools

void TSandbox::selectTool(int32_t code)
{
    // Panel codes that stand for a tool: the line and text panels their
    // tools; the insert panel and fine-tune panels are the pointer.
    modeCode_t m = modePointer;
    if (code == ui::panelNextLine || code == toolLine) m = toolLine;
    else if (code == ui::panelNextText || code == toolText) m = toolText;
    else if (isShapeTool(code)) m = static_cast<modeCode_t>(code);
    settings::TParams& p = params();
    if (m == toolSpline) p.polyshape = std::clamp(p.polystate, 0, 1);
    else if (m == toolSolid) p.polyshape = 2;
    else if (m == toolCurve) p.bpolyshape = std::clamp(p.bpolystate, 0, 1);
    else if (m == toolOblong) p.bpolyshape = 2;
    // Between the pointer and the line and shape tools the canvas holds
    // nothing over the items but the selection marks, an area's frame, and
    // a tool's guides, marks and preview: the guides and marks are taken off
    // first, the frame and preview by the cancels below, the selection marks
    // after. The items need no repaint. The text tool's editing is ended by
    // a repaint.
    const bool fromPointerOrTool = mode_ == modePointer || (isToolMode(mode_) && mode_ != toolText);
    const bool itemsStay = fromPointerOrTool && m != toolText;
    if (itemsStay && ready_)
        for (interaction_t* i : interactions()) i->eraseOverlay();
    endPlacing();
    if (isExtendTool(mode_)) extend_->cancel();
    abandonSequence();
    area_->cancel();
    mode_ = m;
    ignoreGesture_ = false;
    if (m != modePointer && model::firstSelected(items_)) {
        model::selectOnly(items_, nullptr);
        if (host_) host_->editStateChanged(this);
    }
    view_.selectionUnder = render::savedArea_t{};
    if (!ready_) return;
    if (itemsStay) {
        eraseMarks();
        deferMarks();
    } else {
        repaintAll(true);
    }
}

void TSandbox::abandonSequence()
{
    tools_->cancel();
    text_->cancel();
}

void TSandbox::leaveToPointer()
{
    endPlacing();
    if (isExtendTool(mode_)) extend_->cancel();
    abandonSequence();
    mode_ = modePointer;
}

bool TSandbox::startExtension()
{
    if (mode_ != modePointer) return false;
    return extend_->begin();
}

void TSandbox::startPlacing(const std::vector<model::item_t*>& pasted,
                            std::function<void(model::item_t*, int32_t, int32_t, int32_t, int32_t)> boxByDrag)
{
    placing_->begin(pasted, std::move(boxByDrag));
}

void TSandbox::endPlacing()
{
    placing_->finish();
}

// ---------------------------------------------------------------- timers

void TSandbox::holdTimerTimeout()
{
    if (mode_ == toolText) text_->holdElapsed();
    else tools_->holdElapsed();
}

void TSandbox::deferredTimerTimeout()
{
    deferredTimer_.stop();
    if (closing_ || !ready_) return;
    runDeferredJob();
}

void TSandbox::toolPanelTimerTimeout()
{
    toolPanelTimer_.stop();
    if (closing_ || !ready_ || !host_) return;
    // The side panel follows the window that became active: its tool, or
    // the panel of what it has selected, or the insert panel.
    int32_t code = ui::panelNone;
    if (mode_ == toolLine) code = ui::panelNextLine;
    else if (mode_ == toolText) code = ui::panelNextText;
    else if (isShapeTool(mode_)) code = mode_;
    else if (mode_ == modePointer) code = panelForSelection(items_);
    if (code != ui::panelNone) host_->showToolPanel(code);
}

void TSandbox::fullQualityTimerTimeout()
{
    fullQualityTimer_.stop();
    if (closing_ || !ready_) return;
    view_.quickDraw = false;
    render::fullQualityPass(view_);
    canvasControl_->update();
    deferredTimer_.start();
}

// ---------------------------------------------------------------- activation, closing

void TSandbox::FormActivate()
{
    keyboardEnabled_ = true;
    if (!ready_) return;
    if (const model::item_t* h = header()) params().currentZoom = h->hdr().zoom;
    if (host_) {
        host_->documentActivated(this);
        host_->checkWindowEntry(documentNumber());
    }
    toolPanelTimer_.start();
}

void TSandbox::FormDeactivate()
{
    params().lastMode = mode_;
}

void TSandbox::FormResize()
{
    layoutView();
}

bool TSandbox::FormClose()
{
    closing_ = true;
    layoutBusy_ = true;
    bool mayClose = true;
    if (isModified()) {
        const QString question = fileName_.isEmpty()
                                     ? QStringLiteral("Do you want to save the file \"%1\"?").arg(caption())
                                     : QStringLiteral("Do you want to save changes to") + QLatin1Char(' ') +
                                           QFileInfo(fileName_).completeBaseName() + QLatin1Char('?');
        const ui::msgButton_t a = ui::dialogs().message(ui::msgKind_t::confirmation, question,
                                                        ui::btnYes | ui::btnNo | ui::btnCancel);
        if (a == ui::btnYes) mayClose = host_ ? host_->saveForClose(this) : false;
        else if (a != ui::btnNo) mayClose = false;
    }
    if (!fileName_.isEmpty() && host_) host_->addRecent(fileName_);
    if (!mayClose) {
        // The window stays: it must lay out and repaint again.
        closing_ = false;
        layoutBusy_ = false;
    }
    return mayClose;
}

void TSandbox::closeEvent(QCloseEvent* e)
{
    if (destroyed_) return;
    if (FormClose()) e->accept();
    else e->ignore();
}

void TSandbox::resizeEvent(QResizeEvent*)
{
    basePanel_->setGeometry(0, 0, width(), height());
    FormResize();
}

// ---------------------------------------------------------------- mouse and keys

void TSandbox::FormMouseMove(QPoint)
{
    rulerX_->removeMarker();
    rulerY_->removeMarker();
    setCursor(Qt::ArrowCursor);
}

void TSandbox::mouseMoveEvent(QMouseEvent* e)
{
    FormMouseMove(e->position().toPoint());
}

void TSandbox::Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    ignoreGesture_ = false;
    lastMouse_ = {pos.x(), pos.y()};
    if (doubleClickPending_ || !ready_) return;
    buttonHeld_ = true;
    // Ctrl always starts an area selection: an unfinished tool sequence is left.
    if ((modifiers & Qt::ControlModifier) && isToolMode(mode_) && !isExtendTool(mode_)) {
        abandonSequence();
        mode_ = modePointer;
    }
    current().press(button, modifiers, lastMouse_);
}

void TSandbox::Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    lastMouse_ = {pos.x(), pos.y()};
    // Mouse-position markers on the rulers, in ruler pixels.
    rulerX_->showMarker(canvasPanel_->x() + pos.x());
    rulerY_->showMarker(canvasPanel_->y() + pos.y());
    if (!ready_ || ignoreGesture_) return;
    current().move(buttons, modifiers, lastMouse_);
}

void TSandbox::Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    lastMouse_ = {pos.x(), pos.y()};
    buttonHeld_ = false;
    holdTimer_.stop();
    if (doubleClickPending_ || !ready_ || ignoreGesture_) return;
    current().release(button, modifiers, lastMouse_);
}

void TSandbox::Image1DblClick(QPoint pos)
{
    lastMouse_ = {pos.x(), pos.y()};
    if (isToolMode(mode_)) return;
    doubleClickPending_ = true;
    doubleClickTimer_.start();
}

bool TSandbox::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // The Menu key opens the context menu at the mouse, or at the canvas's corner.
    if (key == Qt::Key_Menu) {
        const QPoint at = canvasControl_->rect().contains(QPoint(lastMouse_.x, lastMouse_.y))
                              ? QPoint(lastMouse_.x, lastMouse_.y)
                              : QPoint(0, 0);
        return contextMenuRequested(canvasControl_->mapToGlobal(at));
    }
    // Delete with the mouse on an anchor deletes its gridline, not the selection.
    if (key == Qt::Key_Delete && mode_ == modePointer && anchors_->dragKind() == anchorDragNone) {
        model::item_t* record = grid_->gridRecord();
        if ((model::hotAnchor(record, true) || model::hotAnchor(record, false)) && grid_->editGrid(model::gridDeleteHot))
            return true;
    }
    return current().key(key, modifiers);
}

bool TSandbox::FormKeyPress(const QString& text)
{
    return text_->characters(text);
}

// ---------------------------------------------------------------- anchor strips and rulers

void TSandbox::background1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos)
{
    if (closing_ || !ready_) return;
    anchors_->press(button, pos);
}

void TSandbox::background1MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, QPoint pos)
{
    if (closing_ || !ready_) return;
    // Off the canvas the rulers' mouse markers go; a drag shows its own.
    if (anchors_->dragKind() == anchorDragNone) {
        rulerX_->removeMarker();
        rulerY_->removeMarker();
    }
    if (pos.x() < 0 && pos.y() < 0) anchors_->leave();
    else anchors_->move(pos);
}

void TSandbox::background1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    if (closing_ || !ready_) return;
    anchors_->release(button, modifiers, pos);
}

void TSandbox::rulerMouseDown(bool vertical, Qt::MouseButton button, int32_t pos)
{
    if (closing_ || !ready_ || button != Qt::LeftButton) return;
    rulerEnds_->press(vertical, pos);
}

void TSandbox::rulerMouseMove(bool vertical, Qt::MouseButtons buttons, int32_t pos)
{
    if (closing_ || !ready_) return;
    rulerEnds_->move(vertical, pos, buttons & Qt::LeftButton);
}

void TSandbox::rulerMouseUp(bool vertical, Qt::MouseButton button, int32_t pos)
{
    if (closing_ || !ready_ || button != Qt::LeftButton) return;
    rulerEnds_->release(vertical, pos);
}

// ---------------------------------------------------------------- for the interactions

void TSandbox::setHandle(int32_t code, int32_t ownerType)
{
    handleCode_ = code;
    handleOwnerType_ = ownerType;
}

void TSandbox::beginAreaSelection(Qt::KeyboardModifiers modifiers, geometry::point_t pos)
{
    area_->begin(modifiers, pos);
}

void TSandbox::beginHandleDrag(modeCode_t mode, int32_t code, int32_t itemType, geometry::point_t pos)
{
    drag_->begin(mode, code, itemType, pos);
}

void TSandbox::anchorsChanged()
{
    anchors_->reset();
}

void TSandbox::editStateChanged()
{
    if (host_) host_->editStateChanged(this);
}

QWidget& TSandbox::canvasControl()
{
    return *canvasControl_;
}

void TSandbox::redrawAnchors()
{
    if (stripX_) stripX_->update();
    if (stripY_) stripY_->update();
}

QPoint TSandbox::viewToValueBox(QPoint pos) const
{
    return viewPanel_->mapToParent(pos);
}

void TSandbox::showValueBox(const QString& text, QPoint at)
{
    auto* box = static_cast<QLabel*>(valueBox_);
    if (text.isEmpty()) {
        box->hide();
        return;
    }
    box->setText(text);
    box->resize(std::max(120, box->sizeHint().width()), 20);
    const int32_t x = std::clamp(at.x(), 0, std::max(0, basePanel_->width() - box->width()));
    const int32_t y = std::clamp(at.y(), 0, std::max(0, basePanel_->height() - box->height()));
    box->move(x, y);
    box->show();
    box->raise();
}

void TSandbox::updateCanvas(const QRect& rect)
{
    canvasControl_->update(rect);
}

void TSandbox::updateCanvas()
{
    canvasControl_->update();
}

void TSandbox::deferMarks()
{
    deferredTimer_.start();
}

} // namespace canvas
