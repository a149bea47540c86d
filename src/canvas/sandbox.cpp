#include "canvas/sandbox.h"

#include "canvas/anchorstrip.h"
#include "canvas/areaselect.h"
#include "canvas/extension.h"
#include "canvas/handledrag.h"
#include "canvas/handles.h"
#include "canvas/placing.h"
#include "canvas/pointermode.h"
#include "canvas/rulerends.h"
#include "canvas/shellparams.h"
#include "canvas/textediting.h"
#include "canvas/toolsequence.h"
#include "model/itemlist.h"
#include "render/surface.h"
#include "ui/dialogs.h"
#include "ui/panelcodes.h"

#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
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
    setObjectName(QStringLiteral("Image1"));
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

TSandbox::TSandbox(sandboxHost_t* host, QWidget* parent)
    : QWidget(parent), host_(host), tools_(std::make_unique<toolSequence_t>(*this)),
      pointer_(std::make_unique<pointerMode_t>(*this)), area_(std::make_unique<areaSelectMode_t>(*this)),
      drag_(std::make_unique<handleDrag_t>(*this)), placing_(std::make_unique<placingMode_t>(*this)),
      extend_(std::make_unique<extendMode_t>(*this)), anchors_(std::make_unique<anchorDrag_t>(*this)),
      rulerEnds_(std::make_unique<rulerEndDrag_t>(*this)),
      text_(std::make_unique<textEditing_t>(*this))
{
    setObjectName(QStringLiteral("TSandbox"));
    setMouseTracking(true);
    setMinimumSize(120, 90);
    resize(640, 480);

    base0 = new panel_t(QStringLiteral("base0"), backgroundGrey, this);
    base0->setMouseTracking(true);
    corner1 = new panel_t(QStringLiteral("corner1"), render::toColor(rulerRestColour), base0);
    rulerX = new rulerImage_t(false, base0);
    rulerX->setObjectName(QStringLiteral("rulerX"));
    rulerY = new rulerImage_t(true, base0);
    rulerY->setObjectName(QStringLiteral("rulerY"));
    Panel0 = new QWidget(base0);
    Panel0->setObjectName(QStringLiteral("Panel0"));
    Panel0->setMouseTracking(true);
    background1 = new panel_t(QStringLiteral("background1"), backgroundGrey, Panel0);
    background1->setMouseTracking(true);
    Panel2 = new panel_t(QStringLiteral("Panel2"), Qt::white, Panel0);
    Image1 = new canvasImage_t(this, Panel2);
    // The anchor strips lie over the canvas panel's edges, above the canvas.
    stripY = new anchorStrip_t(this, false, Panel0);
    stripX = new anchorStrip_t(this, true, Panel0);
    rulerX->onMouse = [this](QEvent::Type t, Qt::MouseButton b, Qt::MouseButtons bs, int32_t pos) {
        if (t == QEvent::MouseButtonPress) rulerMouseDown(false, b, pos);
        else if (t == QEvent::MouseMove) rulerMouseMove(false, bs, pos);
        else if (t == QEvent::MouseButtonRelease) rulerMouseUp(false, b, pos);
    };
    rulerY->onMouse = [this](QEvent::Type t, Qt::MouseButton b, Qt::MouseButtons bs, int32_t pos) {
        if (t == QEvent::MouseButtonPress) rulerMouseDown(true, b, pos);
        else if (t == QEvent::MouseMove) rulerMouseMove(true, bs, pos);
        else if (t == QEvent::MouseButtonRelease) rulerMouseUp(true, b, pos);
    };
    Image1->setAttribute(Qt::WA_InputMethodEnabled);
    Image1->setFocusPolicy(Qt::ClickFocus);
    ScrollBarX = new QScrollBar(Qt::Horizontal, base0);
    ScrollBarX->setObjectName(QStringLiteral("ScrollBarX"));
    ScrollBarY = new QScrollBar(Qt::Vertical, base0);
    ScrollBarY->setObjectName(QStringLiteral("ScrollBarY"));
    Panel1 = new panel_t(QStringLiteral("Panel1"), QColor(0xEF, 0xEF, 0xEF), base0);
    {
        // The value box of a ruler-end or anchor drag.
        auto* hint = new QLabel(base0);
        hint->setObjectName(QStringLiteral("Hint1"));
        hint->setAutoFillBackground(true);
        hint->setStyleSheet(QStringLiteral("QLabel { background: #FFFFE1; color: black; border: 1px solid #808080; padding: 1px 3px; }"));
        hint->setGeometry(0, 0, 120, 20);
        Hint1 = hint;
    }
    hGridmark = new panel_t(QStringLiteral("hGridmark"), render::toColor(0xFF7A45), base0);
    vGridmark = new panel_t(QStringLiteral("vGridmark"), render::toColor(0xFF7A45), base0);
    hGridmarkRed = new panel_t(QStringLiteral("hGridmarkRed"), render::toColor(0x0000FF), base0);
    vGridmarkRed = new panel_t(QStringLiteral("vGridmarkRed"), render::toColor(0x0000FF), base0);
    for (QWidget* m : {hGridmark, vGridmark, hGridmarkRed, vGridmarkRed}) m->setGeometry(0, 0, 7, 7);
    BackgroundColor1 = new panel_t(QStringLiteral("BackgroundColor1"), backgroundGrey, base0);
    for (QWidget* w : {Hint1, hGridmark, vGridmark, hGridmarkRed, vGridmarkRed, BackgroundColor1, static_cast<QWidget*>(ScrollBarX),
                       static_cast<QWidget*>(ScrollBarY), Panel1})
        w->hide();

    QObject::connect(ScrollBarX, &QScrollBar::valueChanged, this, [this](int v) { ScrollBarXChange(v); });
    QObject::connect(ScrollBarY, &QScrollBar::valueChanged, this, [this](int v) { ScrollBarYChange(v); });

    const struct {
        QTimer* t;
        const char* name;
        int ms;
    } timers[] = {{&Timer1, "Timer1", 200}, {&Timer2, "Timer2", 200}, {&Timer3, "Timer3", 100},
                  {&Timer4, "Timer4", 500}, {&Timer5, "Timer5", 200}, {&Timer6, "Timer6", 200},
                  {&Timer7, "Timer7", 100}, {&Timer8, "Timer8", 100}};
    for (const auto& t : timers) {
        t.t->setObjectName(QString::fromLatin1(t.name));
        t.t->setSingleShot(true);
        t.t->setInterval(t.ms);
    }
    QObject::connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    QObject::connect(&Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    QObject::connect(&Timer3, &QTimer::timeout, this, [this] { Timer3Timer(); });
    QObject::connect(&Timer5, &QTimer::timeout, this, [this] { Timer5Timer(); });
    QObject::connect(&Timer7, &QTimer::timeout, this, [this] { Timer7Timer(); });
    QObject::connect(&Timer4, &QTimer::timeout, this, [this] { text_->blink(); });
    // Timers whose work comes with later features only stop themselves.
    for (QTimer* t : {&Timer6, &Timer8})
        QObject::connect(t, &QTimer::timeout, t, [t] { t->stop(); });
    setUpView();
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
    model::freeList(items);
}

void TSandbox::stopTimers()
{
    for (QTimer* t : {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5, &Timer6, &Timer7, &Timer8}) t->stop();
}

void TSandbox::setUpView()
{
    view.items = &items;
    view.style = render::renderStyleFrom(params());
    view.markPositions = [this](render::renderView_t&, model::item_t* item) {
        return handleSpots(item, handleViewOf(*this));
    };
    view.startDeferred = [this](render::renderView_t&) { Timer3.start(); };
    view.drawAnchors = [this](render::renderView_t&) { redrawAnchors(); };
    view.processEvents = [this](render::renderView_t&) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return closing_;
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
    if (!fileName.isEmpty()) return QFileInfo(fileName).completeBaseName();
    return QStringLiteral("Untitled") + QLatin1Char(' ') + untitledNumber;
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
    view.items = &items;
    view.viewOrigin = viewOrigin_;
    view.quickDraw = quick;
    render::repaintAll(view, false);
    Image1->update();
}

void TSandbox::repaintAll(bool runDeferred)
{
    if (closing_) return;
    paintCanvas(false);
    // Every save-under holds pixels of the canvas as it was.
    view.selectionUnder.valid = false;
    for (interaction_t* i : interactions()) i->overlayLost();
    if (runDeferred) Timer3.start();
}

void TSandbox::repaintRect(const QRect& rect)
{
    if (closing_) return;
    // Transient figures go first, so that their saved pixels never outlive
    // the repaint.
    for (interaction_t* i : interactions()) i->eraseOverlay();
    if (!canvasImage().isNull()) {
        view.items = &items;
        view.viewOrigin = viewOrigin_;
        render::repaintArea(view, rect);
        Image1->update();
    }
    view.selectionUnder.valid = false;
    Timer3.start();
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
        Image1->update(buffer.rect);
    }
    buffer.valid = false;
    buffer.pixels = QImage();
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
    int32_t m = modePointer;
    if (code == ui::panelNextLine || code == toolLine) m = toolLine;
    else if (code == ui::panelNextText || code == toolText) m = toolText;
    else if (isShapeTool(code)) m = code;
    settings::TParams& p = params();
    if (m == toolSpline) p.polyshape = std::clamp(p.polystate, 0, 1);
    else if (m == toolSolid) p.polyshape = 2;
    else if (m == toolCurve) p.bpolyshape = std::clamp(p.bpolystate, 0, 1);
    else if (m == toolOblong) p.bpolyshape = 2;
    endPlacing();
    if (isExtendTool(mode_)) extend_->cancel();
    abandonSequence();
    area_->cancel();
    mode_ = m;
    ignoreGesture_ = false;
    if (m != modePointer && model::firstSelected(items)) {
        model::selectOnly(items, nullptr);
        if (host_) host_->editStateChanged(this);
    }
    view.selectionUnder = render::savedArea_t{};
    if (ready_) repaintAll(true);
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

void TSandbox::startPlacing(const std::vector<model::item_t*>& pasted)
{
    placing_->begin(pasted);
}

void TSandbox::endPlacing()
{
    placing_->finish();
}

// ---------------------------------------------------------------- timers

void TSandbox::Timer1Timer()
{
    if (mode_ == toolText) text_->holdElapsed();
    else tools_->holdElapsed();
}

void TSandbox::Timer3Timer()
{
    Timer3.stop();
    if (closing_ || !ready_) return;
    runDeferredJob();
}

void TSandbox::Timer5Timer()
{
    Timer5.stop();
    if (closing_ || !ready_ || !host_) return;
    if (mode_ == toolLine) host_->showToolPanel(ui::panelNextLine);
    else if (mode_ == toolText) host_->showToolPanel(ui::panelNextText);
}

void TSandbox::Timer7Timer()
{
    Timer7.stop();
    if (closing_ || !ready_) return;
    view.quickDraw = false;
    render::fullQualityPass(view);
    Image1->update();
    Timer3.start();
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
    Timer5.start();
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
        const QString question = fileName.isEmpty()
                                     ? QStringLiteral("Do you want to save the file?")
                                     : QStringLiteral("Do you want to save changes to") + QLatin1Char(' ') +
                                           QFileInfo(fileName).completeBaseName() + QLatin1Char('?');
        const ui::msgButton_t a = ui::dialogs().message(ui::msgKind_t::confirmation, question,
                                                        ui::btnYes | ui::btnNo | ui::btnCancel);
        if (a == ui::btnYes) mayClose = host_ ? host_->saveForClose(this) : false;
        else if (a != ui::btnNo) mayClose = false;
    }
    if (!fileName.isEmpty() && host_) host_->addRecent(fileName);
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
    base0->setGeometry(0, 0, width(), height());
    FormResize();
}

// ---------------------------------------------------------------- mouse and keys

void TSandbox::FormMouseMove(QPoint)
{
    rulerX->removeMarker();
    rulerY->removeMarker();
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
    rulerX->showMarker(Panel2->x() + pos.x());
    rulerY->showMarker(Panel2->y() + pos.y());
    if (!ready_ || ignoreGesture_) return;
    current().move(buttons, modifiers, lastMouse_);
}

void TSandbox::Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    lastMouse_ = {pos.x(), pos.y()};
    buttonHeld_ = false;
    Timer1.stop();
    if (doubleClickPending_ || !ready_ || ignoreGesture_) return;
    current().release(button, modifiers, lastMouse_);
}

void TSandbox::Image1DblClick(QPoint pos)
{
    lastMouse_ = {pos.x(), pos.y()};
    if (isToolMode(mode_)) return;
    doubleClickPending_ = true;
    Timer2.start();
}

bool TSandbox::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // Delete with the mouse on an anchor deletes its gridline, not the selection.
    if (key == Qt::Key_Delete && mode_ == modePointer && anchors_->dragKind() == anchorDragNone) {
        model::item_t* grid = gridRecord();
        if ((model::hotAnchor(grid, true) || model::hotAnchor(grid, false)) && editGrid(model::gridDeleteHot)) return true;
    }
    return current().key(key, modifiers);
}

bool TSandbox::FormKeyPress(const QString& text)
{
    return text_->characters(text);
}

} // namespace canvas
