#include "canvas/sandbox.h"

#include "canvas/handles.h"
#include "canvas/shellparams.h"
#include "model/itemlist.h"
#include "render/surface.h"

#include "model/docfile.h"

#include "ui/dialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>

namespace canvas {

namespace {

// Grey of the window background around the page.
const QColor backgroundGrey(0xA0, 0xA0, 0xA0);

// Picture files start a new document that offers the picture for insertion.
bool isPictureName(const QString& name)
{
    const QString ext = QFileInfo(name.trimmed()).suffix().toLower();
    static const QStringList pictures = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif"),
                                         QStringLiteral("bmp"), QStringLiteral("ico"), QStringLiteral("emf"),
                                         QStringLiteral("wmf")};
    return pictures.contains(ext);
}

// The reader's questions, asked through the dialog layer.
class readQuestions_t : public model::docReadQuestions_t {
public:
    bool askOpenInvalid() override
    {
        return ui::dialogs().message(ui::msgKind_t::confirmation, QString::fromUtf8(model::invalidFileQuestion),
                                      ui::btnYes | ui::btnNo) == ui::btnYes;
    }
    void warnNewerVersion(const std::string& text) override
    {
        ui::dialogs().message(ui::msgKind_t::warning, QString::fromStdString(text), ui::btnOk);
    }
};

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
    // While a tool places points, a quick second click is another press.
    if (TSandbox::isToolMode(owner_->mode)) owner_->Image1MouseDown(e->button(), e->modifiers(), e->position().toPoint());
    else owner_->Image1DblClick(e->position().toPoint());
}

// ---------------------------------------------------------------- window

TSandbox::TSandbox(sandboxHost_t* host, QWidget* parent) : QWidget(parent), host_(host)
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
    ScrollBarX = new QScrollBar(Qt::Horizontal, base0);
    ScrollBarX->setObjectName(QStringLiteral("ScrollBarX"));
    ScrollBarY = new QScrollBar(Qt::Vertical, base0);
    ScrollBarY->setObjectName(QStringLiteral("ScrollBarY"));
    Panel1 = new panel_t(QStringLiteral("Panel1"), QColor(0xEF, 0xEF, 0xEF), base0);
    Hint1 = new panel_t(QStringLiteral("Hint1"), QColor(0xFF, 0xFF, 0xE1), base0);
    Hint1->setGeometry(0, 0, 120, 20);
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
    // Timers whose work comes with later features only stop themselves.
    for (QTimer* t : {&Timer4, &Timer6, &Timer8})
        QObject::connect(t, &QTimer::timeout, t, [t] { t->stop(); });
    setUpView();
}

TSandbox::~TSandbox()
{
    // FormDestroy.
    closing = 1;
    destroyed_ = true;
    for (QTimer* t : {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5, &Timer6, &Timer7, &Timer8}) t->stop();
    const int32_t number = documentNumber();
    if (host_) {
        host_->removeWindowEntry(number);
        host_->documentDestroyed(this);
    }
    model::freeList(items);
}

void TSandbox::setUpView()
{
#ifdef LUMORA_HAVE_RENDER
    view.items = &items;
    view.style = render::renderStyleFrom(params());
    view.markPositions = [this](render::renderView_t&, model::item_t* item) {
        return handleSpots(item, handleViewOf(*this));
    };
    view.startDeferred = [this](render::renderView_t&) { Timer3.start(); };
    view.processEvents = [this](render::renderView_t&) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return closing != 0;
    };
#endif
}

QImage& TSandbox::canvasImage()
{
#ifdef LUMORA_HAVE_RENDER
    return view.Image1;
#else
    return canvas_;
#endif
}

const QImage& TSandbox::canvasImage() const
{
#ifdef LUMORA_HAVE_RENDER
    return view.Image1;
#else
    return canvas_;
#endif
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

// ---------------------------------------------------------------- opening

bool TSandbox::openDocument(int32_t number, const QString& name)
{
    settings::TParams& p = params();
    // 1. A clean state.
    ready = 0;
    for (QTimer* t : {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5, &Timer6, &Timer7, &Timer8}) t->stop();
    model::freeList(items);
    fileName = name;
    untitledNumber.clear();
    keyboardEnabled = 1;
    firstPoint = secondPoint = lastRubberPoint = lastMouse = mouseDownPoint = {};
    viewOrigin = pageOnScreen = {};
    extending = 0;
    extendRoundness = model::defaultRoundness;
    closing = layoutBusy = 0;
    selectionUnder = guideBuffer = caretBuffer = saveUnder_t{};

    // 2. New documents start at 100 %.
    p.currentZoom = 1.0;
    if (host_) host_->zoomControlsChanged();

    // 3. The header from the settings for new files.
    model::item_t* h = model::newItem(items, model::typeHeader);
    h->kind = model::kindHeader;
    model::invalidateIds(items);
    std::memset(h->bodyBytes() + 116, 0, 331 - 116);
    h->docNumber = number;
    auto& hd = h->hdr();
    hd.zoom = 1.0;
    newFileHeader(p, hd);
    hd.fileVersion = model::formatVersion;
    geometry::computeCanvasPixels(h);
    model::setText(h, newFilePageTexts(p, hd.unit));

    // 4. The grid record with equally spaced gridlines.
    model::item_t* grid = model::newItem(items, model::typeGrid);
    grid->undoState = 0;
    {
        const double stepX = hd.anchorStepX * hd.pxPerUnitX, stepY = hd.anchorStepY * hd.pxPerUnitY;
        const double left = hd.canvasLeft * hd.pxPerUnitX, top = hd.canvasTop * hd.pxPerUnitY;
        const double right = left + hd.canvasWidth * hd.pxPerUnitX, bottom = top + hd.canvasHeight * hd.pxPerUnitY;
        if (stepX >= 1)
            for (int k = 1; left + k * stepX < right && k < 100000; ++k)
                model::addAnchorX(grid, model::roundHalfEven(left + k * stepX));
        if (stepY >= 1)
            for (int k = 1; top + k * stepY < bottom && k < 100000; ++k)
                model::addAnchorY(grid, model::roundHalfEven(top + k * stepY));
    }
    model::setModified(items, false);

    // 5. The tool of the window deactivated last.
    const int32_t last = p.lastMode;
    mode = (last == 1 || last == 31 || (last >= 100 && last <= 199)) ? last : 0;
    clickCount = handleCode = 0;

    // 6, 7. Bitmaps and layout.
    ready = 1;  // layout runs from here on
    layoutView();
    ready = 0;

    bool readOk = false;
    const QString trimmed = name.trimmed();
    if (!trimmed.isEmpty() && isPictureName(trimmed)) {
        // 8. A picture: a new document that offers the picture.
        p.lastPicture = QFileInfo(trimmed).absoluteFilePath();
        untitledNumber = QString::number(++p.untitledCounter);
        fileName.clear();
        if (host_) host_->offerPicture(this, p.lastPicture);
    } else {
        // 9. A document file.
        if (!trimmed.isEmpty()) {
            readQuestions_t q;
            std::string error;
            readOk = model::readDocument(QFileInfo(trimmed).absoluteFilePath().toStdString(), items, q, &error);
            if (!readOk && !error.empty())
                ui::dialogs().message(ui::msgKind_t::warning,
                                       QStringLiteral("Cannot open \"%1\": %2")
                                           .arg(trimmed, QString::fromStdString(error)),
                                       ui::btnOk);
        }
        if (readOk) {
            model::item_t* rh = header();
            if (!rh) {
                // A file without a header cannot be shown; keep a new document.
                readOk = false;
            } else {
                model::selectOnly(items, nullptr);
                rh->docNumber = number;
                if (!(rh->hdr().zoom > 0.0 && rh->hdr().zoom <= 100.0)) rh->hdr().zoom = 1.0;
                p.currentZoom = rh->hdr().zoom;
                geometry::pxPerUnit(rh->hdr().unit, rh->hdr().pxPerUnitX, rh->hdr().pxPerUnitY);
                geometry::computeCanvasPixels(rh);
                mode = 0;
                fileName = QFileInfo(trimmed).absoluteFilePath();
                if (host_) host_->zoomControlsChanged();
            }
        }
        if (!readOk) {
            if (!header()) {
                // Cannot happen with a sound reader; be safe anyway.
                return openDocument(number, QString());
            }
            fileName.clear();
            untitledNumber = QString::number(++p.untitledCounter);
        }
    }

    // 10. Caption, menus, layout, show.
    refreshCaption();
    ready = 1;
    layoutView();
    // A file is painted quickly first; Timer7 then gives it its full quality.
    paintCanvas(readOk);
    show();
    if (host_) host_->documentActivated(this);
    if (readOk) Timer7.start();
    return readOk || trimmed.isEmpty() || isPictureName(trimmed);
}

// ---------------------------------------------------------------- layout and view

void TSandbox::layoutView()
{
    if (layoutBusy || closing || !ready) return;
    const model::item_t* h = header();
    if (!h) return;
    layoutBusy = 1;
    base0->setGeometry(0, 0, width(), height());
    viewLayoutIn_t in;
    in.width = base0->width();
    in.height = base0->height();
    in.canvasRight = h->x2;
    in.canvasBottom = h->y2;
    in.scrollX = ScrollBarX->isVisible() || lastLayout.showX ? ScrollBarX->value() : 0;
    in.scrollY = ScrollBarY->isVisible() || lastLayout.showY ? ScrollBarY->value() : 0;
    in.originX = viewOrigin.x;
    in.originY = viewOrigin.y;
    const viewLayout_t l = computeViewLayout(in);

    corner1->setGeometry(l.corner1);
    rulerX->setGeometry(l.rulerX);
    rulerY->setGeometry(l.rulerY);
    Panel0->setGeometry(l.Panel0);
    background1->setGeometry(0, 0, l.Panel0.width(), l.Panel0.height());
    {
        const QSignalBlocker bx(ScrollBarX), by(ScrollBarY);
        ScrollBarX->setVisible(l.showX);
        ScrollBarY->setVisible(l.showY);
        const auto place = [](QScrollBar* bar, bool shown, const QRect& where, int32_t max, int32_t page, int32_t value) {
            if (!shown) {
                bar->setRange(0, 0);
                bar->setValue(0);
                return;
            }
            bar->setGeometry(where);
            bar->setRange(0, max);
            bar->setPageStep(std::max(1, page));
            bar->setSingleStep(16);
            bar->setValue(value);
            bar->raise();
        };
        place(ScrollBarX, l.showX, l.ScrollBarX, l.maxX, l.Panel0.width(), l.scrollX);
        place(ScrollBarY, l.showY, l.ScrollBarY, l.maxY, l.Panel0.height(), l.scrollY);
        Panel1->setVisible(l.showX && l.showY);
        if (l.showX && l.showY) {
            Panel1->setGeometry(l.Panel1);
            Panel1->raise();
        }
    }
    lastLayout = l;
    placeCanvas(l);
    drawRulers();
    layoutBusy = 0;
}

void TSandbox::placeCanvas(const viewLayout_t& l)
{
    const bool changed = l.image != canvasPx || l.originX != viewOrigin.x || l.originY != viewOrigin.y ||
                         canvasImage().size() != l.image;
    viewOrigin = {l.originX, l.originY};
    pageOnScreen = {l.pageOnScreenX, l.pageOnScreenY};
    canvasPx = l.image;
#ifdef LUMORA_HAVE_RENDER
    view.viewOrigin = viewOrigin;
#endif
    Panel2->setGeometry(l.Panel2);
    Image1->setGeometry(0, 0, l.image.width(), l.image.height());
    if (changed) {
        canvasImage() = QImage(l.image, QImage::Format_RGB32);
        repaintAll(false);
    }
}

void TSandbox::drawRulers()
{
    const model::item_t* h = header();
    if (!h) return;
    const settings::TParams& p = params();
    rulerSpec_t s;
    s.unit = h->hdr().unit;
    s.zoom = zoomFactor();
    s.tickColour = p.rulerTickColor;
    s.labelColour = p.rulerLabelColor;
    s.fontName = p.rulerFont;
    s.fontSize = p.rulerFontSize;
    // Ruler pixel 0 is the panel's left (top) edge.
    s.vertical = false;
    s.first = -pageOnScreen.x;
    s.pageStart = h->x1;
    s.pageEnd = h->x2;
    s.pxPerUnit = s.unit == 1 ? 1.0 : h->hdr().pxPerUnitX;
    rulerX->redraw(s);
    s.vertical = true;
    s.first = -pageOnScreen.y;
    s.pageStart = h->y1;
    s.pageEnd = h->y2;
    s.pxPerUnit = s.unit == 1 ? 1.0 : h->hdr().pxPerUnitY;
    rulerY->redraw(s);
}

void TSandbox::ScrollBarXChange(int32_t)
{
    scrolled();
}

void TSandbox::ScrollBarYChange(int32_t)
{
    scrolled();
}

void TSandbox::scrolled()
{
    if (closing || !ready) return;
    rulerX->removeMarker();
    rulerY->removeMarker();
    const geometry::point_t before = viewOrigin;
    layoutView();
    // Points being placed stay on the same document position.
    followViewOrigin(before);
}

void TSandbox::applyZoom()
{
    model::item_t* h = header();
    if (!h || closing) return;
    selectionUnder = guideBuffer = caretBuffer = saveUnder_t{};
    h->hdr().zoom = params().currentZoom;
    // Canvas positions of points being placed mean nothing at another zoom.
    abandonSequence();
    for (model::item_t* it = items.head; it; it = it->next)
        if (it->itemType == model::typePicture) model::freeChildren(it->children);
    geometry::computeCanvasPixels(h);
    layoutView();
    paintCanvas(true);
    Timer7.start();
}

void TSandbox::paintPageBackgroundTemporary()
{
    QImage& img = canvasImage();
    if (img.isNull()) return;
    img.fill(Qt::white);
    const model::item_t* h = header();
    if (!h) return;
    // Outside the page: the window grey; the page: white.
    QPainter p(&img);
    p.fillRect(img.rect(), backgroundGrey);
    const QRect page(h->x1 - viewOrigin.x, h->y1 - viewOrigin.y, h->x2 - h->x1, h->y2 - h->y1);
    p.fillRect(page, Qt::white);
}

void TSandbox::paintCanvas(bool quick)
{
    if (canvasImage().isNull()) return;
#ifdef LUMORA_HAVE_RENDER
    view.items = &items;
    view.viewOrigin = viewOrigin;
    view.mode = mode;
    view.quickDraw = quick;
    render::repaintAll(view, false);
#else
    (void)quick;
    paintPageBackgroundTemporary();
#endif
    Image1->update();
}

void TSandbox::repaintAll(bool runDeferred)
{
    if (closing) return;
    paintCanvas(false);
    // Every save-under holds pixels of the canvas as it was.
    selectionUnder.saved = false;
    guideBuffer.saved = false;
    for (saveUnder_t& strip : areaFrame) strip.saved = false;
    if (runDeferred) Timer3.start();
}

void TSandbox::repaintRect(const QRect& rect)
{
    if (closing) return;
    // Transient figures go first, so that their saved pixels never outlive
    // the repaint.
    restoreUnder(guideBuffer);
    for (auto k = areaFrame.size(); k-- > 0;) restoreUnder(areaFrame[k]);
#ifdef LUMORA_HAVE_RENDER
    bool shadows = false;
    for (const model::item_t* it = items.head; it; it = it->next)
        if (render::isDrawable(it) && !it->hidden && it->shadowElevation != 0) shadows = true;
    if (shadows || rect.isEmpty()) {
        paintCanvas(false);
    } else {
        const double z = zoomFactor();
        render::rect_t d;
        d.left = geometry::screenToDoc(z, rect.left(), viewOrigin.x);
        d.top = geometry::screenToDoc(z, rect.top(), viewOrigin.y);
        d.right = geometry::screenToDoc(z, rect.right(), viewOrigin.x);
        d.bottom = geometry::screenToDoc(z, rect.bottom(), viewOrigin.y);
        // The items touching the rectangle are drawn whole: grow it by them first.
        render::rect_t grown = d;
        for (const model::item_t* it = items.head; it; it = it->next) {
            if (!render::isDrawable(it) || it->hidden) continue;
            const render::rect_t r = render::itemReach(it);
            if (r.right < d.left || r.left > d.right || r.bottom < d.top || r.top > d.bottom) continue;
            grown.left = std::min(grown.left, r.left);
            grown.top = std::min(grown.top, r.top);
            grown.right = std::max(grown.right, r.right);
            grown.bottom = std::max(grown.bottom, r.bottom);
        }
        render::rect_t screen;
        screen.left = geometry::docToScreen(z, grown.left, viewOrigin.x);
        screen.top = geometry::docToScreen(z, grown.top, viewOrigin.y);
        screen.right = geometry::docToScreen(z, grown.right, viewOrigin.x) + 1;
        screen.bottom = geometry::docToScreen(z, grown.bottom, viewOrigin.y) + 1;
        render::paintBackground(view, screen);
        render::drawItemsInRect(view, grown, false);
        Image1->update();
    }
#else
    (void)rect;
    paintCanvas(false);
#endif
    selectionUnder.saved = false;
    Timer3.start();
}

// ---------------------------------------------------------------- save-unders, mapping

void TSandbox::saveUnder(saveUnder_t& buffer, const QRect& rect)
{
    const QRect r = rect.intersected(canvasImage().rect());
    buffer.dest = r;
    buffer.pixels = r.isEmpty() ? QImage() : canvasImage().copy(r);
    buffer.saved = true;
}

void TSandbox::restoreUnder(saveUnder_t& buffer)
{
    if (!buffer.saved) return;
    if (!buffer.pixels.isNull()) {
        QPainter p(&canvasImage());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(buffer.dest.topLeft(), buffer.pixels);
        Image1->update(buffer.dest);
    }
    buffer.saved = false;
    buffer.pixels = QImage();
}

geometry::point_t TSandbox::snapped(geometry::point_t screen) const
{
    return screen;
}

geometry::point_t TSandbox::toDoc(geometry::point_t screen) const
{
    const double z = zoomFactor();
    return {geometry::screenToDoc(z, screen.x, viewOrigin.x), geometry::screenToDoc(z, screen.y, viewOrigin.y)};
}

geometry::point_t TSandbox::toScreen(geometry::point_t doc) const
{
    const double z = zoomFactor();
    return {geometry::docToScreen(z, doc.x, viewOrigin.x), geometry::docToScreen(z, doc.y, viewOrigin.y)};
}

// ---------------------------------------------------------------- timers

void TSandbox::Timer3Timer()
{
    Timer3.stop();
    if (closing || !ready) return;
    runDeferredJob();
}

void TSandbox::Timer5Timer()
{
    Timer5.stop();
    if (closing || !ready || !host_) return;
    if (mode == 1) host_->showToolPanel(98);
    else if (mode == 31) host_->showToolPanel(300);
}

void TSandbox::Timer7Timer()
{
    Timer7.stop();
    if (closing || !ready) return;
#ifdef LUMORA_HAVE_RENDER
    view.quickDraw = false;
    render::fullQualityPass(view);
    Image1->update();
#else
    paintCanvas(false);
#endif
    Timer3.start();
}

// ---------------------------------------------------------------- activation, closing

void TSandbox::FormActivate()
{
    keyboardEnabled = 1;
    if (!ready) return;
    if (const model::item_t* h = header()) params().currentZoom = h->hdr().zoom;
    if (host_) {
        host_->documentActivated(this);
        host_->checkWindowEntry(documentNumber());
    }
    Timer5.start();
}

void TSandbox::FormDeactivate()
{
    params().lastMode = mode;
}

void TSandbox::FormResize()
{
    layoutView();
}

bool TSandbox::FormClose()
{
    closing = 1;
    layoutBusy = 1;
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
        closing = 0;
        layoutBusy = 0;
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

// ---------------------------------------------------------------- mouse

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

void TSandbox::wheelEvent(QWheelEvent* e)
{
    // The wheel scrolls the view (with Shift, sideways) where a bar is shown.
    const QPoint d = e->angleDelta();
    const bool sideways = (e->modifiers() & Qt::ShiftModifier) || (d.y() == 0 && d.x() != 0);
    QScrollBar* bar = sideways ? ScrollBarX : ScrollBarY;
    const int delta = sideways && d.x() != 0 ? d.x() : d.y();
    if (bar->isHidden() || delta == 0) {
        e->ignore();
        return;
    }
    bar->setValue(bar->value() - delta * 48 / 120);
    e->accept();
}

void TSandbox::Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    ignoreGesture = 0;
    lastMouse = {pos.x(), pos.y()};
    if (doubleClickPending || !ready) return;
    buttonHeld = true;
    // Ctrl always starts an area selection: an unfinished tool sequence is left.
    if ((modifiers & Qt::ControlModifier) && isToolMode(mode) && mode != 297 && mode != 298) {
        abandonSequence();
        mode = 0;
    }
    if (isToolMode(mode)) toolMouseDown(button, modifiers, lastMouse);
    else pointerMouseDown(button, modifiers, lastMouse);
}

void TSandbox::Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    lastMouse = {pos.x(), pos.y()};
    // Mouse-position markers on the rulers, in ruler pixels.
    rulerX->showMarker(Panel2->x() + pos.x());
    rulerY->showMarker(Panel2->y() + pos.y());
    if (!ready || ignoreGesture) return;
    if (isToolMode(mode)) toolMouseMove(modifiers, lastMouse);
    else pointerMouseMove(buttons, modifiers, lastMouse);
}

void TSandbox::Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    lastMouse = {pos.x(), pos.y()};
    buttonHeld = false;
    Timer1.stop();
    if (doubleClickPending || !ready || ignoreGesture) return;
    if (isToolMode(mode)) toolMouseUp(button, modifiers, lastMouse);
    else pointerMouseUp(button, modifiers, lastMouse);
}

void TSandbox::Image1DblClick(QPoint pos)
{
    lastMouse = {pos.x(), pos.y()};
    if (isToolMode(mode)) return;
    doubleClickPending = 1;
    Timer2.start();
}

bool TSandbox::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (isToolMode(mode) && toolKeyDown(key, modifiers)) return true;
    // Delete erases the selection while the pointer is idle; gridline anchors
    // and text editing take it first once they exist.
    if (key == Qt::Key_Delete && mode == 0) {
        if (host_) host_->eraseRequested(this);
        return true;
    }
    return false;
}

bool TSandbox::FormKeyPress(const QString& text)
{
    // Typing into a text item consumes characters here.
    (void)text;
    return false;
}

} // namespace canvas
