// The picture window: its toolbar, the clip editor on the scrollable picture
// and the "Preview" side panel with its "Clips" and "Effects" tabs.
#include "ui/picturewindow.h"

#include "canvas/buttonart.h"
#include "canvas/toolbar.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "panels/frameeffects.h"
#include "panels/panelparts.h"
#include "render/surface.h"
#include "ui/panellook.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace ui {

using geometry::point_t;
using model::item_t;

namespace {

// The picture area a new window offers (with its scroll bars), the side
// panel's width and the toolbar strip's height.
constexpr int32_t pictureAreaWidth = 900, pictureAreaHeight = 700;
constexpr int32_t sidePanelWidth = 200;
constexpr int32_t toolbarHeight = 40;
constexpr int32_t sideMargin = 6;
constexpr int32_t iconSize = 24;
// How long a press is held before the first point of a clip is fixed.
constexpr int32_t holdMs = 200;

const QString hintChoose = QStringLiteral("Select how you want to insert the picture.");


QIcon toolbarIcon(int32_t button)
{
    QIcon icon(QPixmap::fromImage(canvas::drawButtonPicture(button, 0, iconSize)));
    icon.addPixmap(QPixmap::fromImage(canvas::drawButtonPicture(button, 3, iconSize)), QIcon::Disabled);
    return icon;
}

QIcon panelIcon(int32_t picture)
{
    QIcon icon(QPixmap::fromImage(panels::panelButtonPicture(picture, false, iconSize)));
    icon.addPixmap(QPixmap::fromImage(panels::panelButtonPicture(picture, true, iconSize)), QIcon::Active);
    return icon;
}

Qt::CursorShape cursorShape(model::handleCursor_t c)
{
    switch (c) {
    case model::handleCursor_t::move: return Qt::SizeAllCursor;
    case model::handleCursor_t::diagonalNwSe: return Qt::SizeFDiagCursor;
    case model::handleCursor_t::diagonalNeSw: return Qt::SizeBDiagCursor;
    case model::handleCursor_t::vertical: return Qt::SizeVerCursor;
    case model::handleCursor_t::horizontal: return Qt::SizeHorCursor;
    case model::handleCursor_t::arrow: break;
    }
    return Qt::ArrowCursor;
}

int32_t viewRadius(QPoint centre, QPoint rim)
{
    return model::roundHalfEven(std::hypot(double(rim.x() - centre.x()), double(rim.y() - centre.y())));
}

// An outline that shows on light and dark pictures alike.
void drawOutline(QPainter& p, const std::function<void()>& shape)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1));
    shape();
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    shape();
}

} // namespace

// ---------------------------------------------------------------- the view

TPictView::TPictView(TPict* owner, QWidget* parent) : QAbstractScrollArea(parent), owner_(owner)
{
    setObjectName(QStringLiteral("TPictView"));
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    holdTimer.setSingleShot(true);
    holdTimer.setInterval(holdMs);
    QObject::connect(&holdTimer, &QTimer::timeout, this, [this] { holdElapsed(); });
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    pal.setColor(QPalette::Base, QColor(0x80, 0x80, 0x80));
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
}

point_t TPictView::scroll() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

QSize TPictView::availableArea() const
{
    const int32_t bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return {std::max(width() - bar, 1), std::max(height() - bar, 1)};
}

void TPictView::displayChanged()
{
    const QSize shown = owner_->displayed().size(), area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, shown.width() - area.width()));
    verticalScrollBar()->setRange(0, std::max(0, shown.height() - area.height()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setPageStep(area.height());
    viewport()->update();
}

void TPictView::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    displayChanged();
}

void TPictView::scrollContentsBy(int, int) { viewport()->update(); }

point_t TPictView::toPicture(QPoint p) const
{
    const point_t s = scroll();
    return {model::viewToPicture(p.x(), s.x, owner_->zoom()), model::viewToPicture(p.y(), s.y, owner_->zoom())};
}

void TPictView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    const point_t s = scroll();
    const double z = owner_->zoom();
    if (!owner_->displayed().isNull()) p.drawImage(QPoint(-s.x, -s.y), owner_->displayed());
    auto toView = [&](int32_t x, int32_t y) {
        return QPoint(model::pictureToView(x, s.x, z), model::pictureToView(y, s.y, z));
    };
    const item_t* selected = nullptr;
    for (const item_t* c : model::visibleClips(owner_->clips())) {
        if (model::isSelected(c)) selected = c;
        if (model::isRoundClip(c)) {
            const QPoint centre = toView(c->x1, c->y1);
            const int32_t r = viewRadius(centre, toView(c->x2, c->y2));
            drawOutline(p, [&] { p.drawEllipse(centre, r, r); });
        } else {
            const QRect r(toView(c->x1, c->y1), toView(c->x2, c->y2));
            drawOutline(p, [&] { p.drawRect(r.normalized()); });
        }
    }
    if (selected) {
        const int32_t m = owner_->markSize();
        const std::array<point_t, 9> h = model::clipHandles(selected);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(render::toColor(0x00FFFF));
        for (int32_t k = 0; k < model::handleCount(selected); ++k) {
            const QPoint at = toView(h[k].x, h[k].y);
            p.drawRect(at.x() - m / 2, at.y() - m / 2, m - 1, m - 1);
        }
    }
    if (drawing()) {
        const int32_t r = viewRadius(first_, current_);
        const bool round = owner_->tool() == pictTool_t::round;
        p.setBrush(Qt::NoBrush);
        for (const QPen& pen : {QPen(Qt::white, 1), QPen(Qt::red, 1, Qt::DashLine)}) {
            p.setPen(pen);
            if (round) p.drawEllipse(first_, r, r);
            else p.drawRect(QRect(first_, current_).normalized());
        }
    }
}

void TPictView::press(QPoint p)
{
    model::itemList_t& clips = owner_->clips();
    if (owner_->tool() == pictTool_t::pointer) {
        const point_t s = scroll();
        item_t* sel = nullptr;
        for (item_t* c : model::visibleClips(clips))
            if (model::isSelected(c)) sel = c;
        handle_ = model::handleAt(sel, {p.x(), p.y()}, s, owner_->zoom(), owner_->markSize());
        if (handle_ != model::noHandle) {
            std::vector<item_t*> v = model::beginEdit(clips);
            if (v.size() == 1) {
                dragged_ = v.front();
                pressPicture_ = toPicture(p);
                phase_ = phase_t::handle;
                owner_->clipsChanged();
                return;
            }
        }
        item_t* found = model::clipAt(clips, {p.x(), p.y()}, s, owner_->zoom(), owner_->markSize());
        model::deselectAll(clips);
        if (found) model::setSelected(clips, found, true);
        owner_->clipsChanged();
        return;
    }
    if (phase_ == phase_t::firstFixed) {
        finishClip(p);
        return;
    }
    // A clip starts on the picture shown.
    if (!QRect(QPoint(0, 0), owner_->displayed().size()).contains(p + QPoint(scroll().x, scroll().y))) return;
    first_ = current_ = p;
    phase_ = phase_t::pressed;
    holdTimer.start();
}

void TPictView::holdElapsed()
{
    if (phase_ == phase_t::pressed) phase_ = phase_t::dragging;
    viewport()->update();
}

void TPictView::move(QPoint p, bool buttonHeld)
{
    if (phase_ == phase_t::handle && dragged_) {
        const point_t at = toPicture(p);
        model::dragClipHandle(dragged_, handle_, at.x - pressPicture_.x, at.y - pressPicture_.y, at);
        viewport()->update();
        return;
    }
    if (phase_ == phase_t::pressed && buttonHeld && p != first_) {
        // Moving with the button held draws the clip as the mouse goes.
        holdTimer.stop();
        phase_ = phase_t::dragging;
    }
    if (drawing()) {
        current_ = p;
        viewport()->update();
        return;
    }
    updateCursor(p);
}

void TPictView::release(QPoint p)
{
    switch (phase_) {
    case phase_t::handle:
        move(p, true);
        phase_ = phase_t::idle;
        dragged_ = nullptr;
        owner_->clipsChanged();
        updateCursor(p);
        return;
    case phase_t::dragging: finishClip(p); return;
    case phase_t::pressed:
        // A click: the first point is fixed, the second click finishes.
        holdTimer.stop();
        phase_ = phase_t::firstFixed;
        viewport()->update();
        return;
    default: return;
    }
}

void TPictView::finishClip(QPoint p)
{
    holdTimer.stop();
    current_ = p;
    const int32_t type = owner_->tool() == pictTool_t::round ? model::typeRoundClip : model::typeRectClip;
    model::addClip(owner_->clips(), type, toPicture(first_), toPicture(p), owner_->zoom());
    phase_ = phase_t::idle;
    owner_->clipsChanged();
}

bool TPictView::cancelDrawing()
{
    holdTimer.stop();
    if (phase_ == phase_t::idle || phase_ == phase_t::handle) return false;
    phase_ = phase_t::idle;
    viewport()->update();
    return true;
}

void TPictView::updateCursor(QPoint p)
{
    if (owner_->tool() != pictTool_t::pointer) {
        viewport()->setCursor(Qt::CrossCursor);
        return;
    }
    const item_t* sel = nullptr;
    for (const item_t* c : model::visibleClips(owner_->clips()))
        if (model::isSelected(c)) sel = c;
    const int32_t h = model::handleAt(sel, {p.x(), p.y()}, scroll(), owner_->zoom(), owner_->markSize());
    viewport()->setCursor(cursorShape(model::cursorForHandle(sel, h)));
}

void TPictView::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) press(e->position().toPoint());
}

void TPictView::mouseMoveEvent(QMouseEvent* e) { move(e->position().toPoint(), e->buttons() & Qt::LeftButton); }

void TPictView::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) release(e->position().toPoint());
}

// ---------------------------------------------------------------- the window

TPict::TPict(settings::TParams& params, int32_t code, QWidget* parent)
    : THostedPanel(parent), params_(params), code_(code)
{
    setObjectName(QStringLiteral("TPict"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* strip = new QWidget(this);
    strip->setFixedHeight(toolbarHeight);
    outer->addWidget(strip);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    outer->addLayout(body, 1);
    view = new TPictView(this, this);
    body->addWidget(view, 1);
    auto* side = new QWidget(this);
    side->setFixedWidth(sidePanelWidth);
    body->addWidget(side);
    buildToolbar(strip);
    buildSidePanel(side);
    setFocusProxy(view);
    clipsChanged();
}

TPict::~TPict() { model::freeList(clips_); }

void TPict::buildToolbar(QWidget* strip)
{
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    auto make = [&](button_t k, const QIcon& icon, const QString& hint, std::function<void()> run) {
        auto* b = new QToolButton(strip);
        b->setIcon(icon);
        b->setIconSize({iconSize, iconSize});
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        QObject::connect(b, &QToolButton::clicked, strip, [run] { run(); });
        buttons[k] = b;
        row->addWidget(b);
    };
    make(btnUndo, toolbarIcon(canvas::buttonUndo), QStringLiteral("Undo"), [this] { undoClip(); });
    make(btnRedo, toolbarIcon(canvas::buttonRedo), QStringLiteral("Redo"), [this] { redoClip(); });
    make(btnRefresh, toolbarIcon(canvas::buttonRepaint), QStringLiteral("Refresh"), [this] { refresh(); });
    row->addSpacing(12);
    make(btnPointer, toolbarIcon(canvas::buttonPointer), QStringLiteral("Select a clip"),
         [this] { setTool(pictTool_t::pointer); });
    make(btnRect, panelIcon(panels::pictureClipRectangle), QStringLiteral("Outline a rectangular clip"),
         [this] { setTool(pictTool_t::rectangle); });
    make(btnRound, panelIcon(panels::pictureClipRound), QStringLiteral("Outline a round clip"),
         [this] { setTool(pictTool_t::round); });
    make(btnErase, toolbarIcon(canvas::buttonErase), QStringLiteral("Erase the selected clip"), [this] { eraseClip(); });
    make(btnMirror, panelIcon(panels::pictureMirror), QStringLiteral("Mirror the picture"), [this] { mirror(); });
    make(btnFlip, panelIcon(panels::pictureFlip), QStringLiteral("Flip the picture"), [this] { flip(); });
    make(btnRotateLeft, panelIcon(panels::pictureRotateLeft), QStringLiteral("Rotate the picture"), [this] { rotateLeft(); });
    make(btnRotateRight, panelIcon(panels::pictureRotateRight), QStringLiteral("Rotate the picture"),
         [this] { rotateRight(); });
    for (button_t k : {btnPointer, btnRect, btnRound}) buttons[k]->setCheckable(true);
    row->addStretch(1);

    auto* zoomBox = new QVBoxLayout;
    zoomBox->setSpacing(0);
    zoomCaption = new QLabel(QStringLiteral("Zoom"), strip);
    zoomLabel = new QLabel(QStringLiteral("100%"), strip);
    for (QLabel* l : {zoomCaption, zoomLabel}) {
        l->setFont(interfaceFont(false));
        l->setAlignment(Qt::AlignCenter);
        zoomBox->addWidget(l);
    }
    row->addLayout(zoomBox);
    make(btnZoomOut, toolbarIcon(canvas::buttonZoomOut), QStringLiteral("Zoom out"), [this] { zoomOut(); });
    zoomSlider = new QSlider(Qt::Horizontal, strip);
    zoomSlider->setRange(0, 300);
    zoomSlider->setTickInterval(25);
    zoomSlider->setTickPosition(QSlider::TicksBelow);
    zoomSlider->setFixedWidth(160);
    zoomSlider->setFocusPolicy(Qt::NoFocus);
    // An empty window stands at 100 % like its label (set before the slider is connected).
    zoomSlider->setValue(100);
    row->addWidget(zoomSlider);
    // Moving the slider only shows the percentage; its release applies it.
    QObject::connect(zoomSlider, &QSlider::valueChanged, strip, [this](int v) {
        if (syncing_) return;
        zoomLabel->setText(QStringLiteral("%1%").arg(render::zoomPercent(render::sliderZoom(v))));
        if (!zoomSlider->isSliderDown()) applyZoom(render::sliderZoom(v));
    });
    QObject::connect(zoomSlider, &QSlider::sliderReleased, strip,
                     [this] { applyZoom(render::sliderZoom(zoomSlider->value())); });
    make(btnZoomIn, toolbarIcon(canvas::buttonZoomIn), QStringLiteral("Zoom in"), [this] { zoomIn(); });
}

void TPict::buildSidePanel(QWidget* side)
{
    auto* frame = new panelFrame_t(QStringLiteral("Preview"), lookBlue, side);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(frame);
    auto* col = new QVBoxLayout(frame->body());
    col->setContentsMargins(sideMargin, 4, sideMargin, 4);
    col->setSpacing(4);
    tabs = new panels::tabStrip_t(QStringLiteral("Clips"), QStringLiteral("Effects"), frame->body());
    col->addWidget(tabs);
    pages = new QStackedWidget(frame->body());
    col->addWidget(pages, 1);

    auto* clipsPage = new QWidget(pages);
    auto* c = new QVBoxLayout(clipsPage);
    c->setContentsMargins(0, 4, 0, 0);
    insertCaption = new QLabel(QStringLiteral("Insert"), clipsPage);
    insertList = new QComboBox(clipsPage);
    insertList->addItems({QStringLiteral("Entire image"), QStringLiteral("Clips"), QStringLiteral("Round clips")});
    summaryCaption = new QLabel(QStringLiteral("Summary"), clipsPage);
    summaryRect = new QLabel(clipsPage);
    summaryRound = new QLabel(clipsPage);
    for (QLabel* l : {insertCaption, summaryCaption}) l->setFont(interfaceFont(true));
    for (QWidget* w : {static_cast<QWidget*>(insertCaption), static_cast<QWidget*>(insertList),
                       static_cast<QWidget*>(summaryCaption), static_cast<QWidget*>(summaryRect),
                       static_cast<QWidget*>(summaryRound)})
        c->addWidget(w);
    for (auto& h : hints) {
        h = new panels::hintBox_t(clipsPage);
        c->addWidget(h);
    }
    c->addStretch(1);
    QObject::connect(insertList, &QComboBox::activated, clipsPage, [this](int k) { chooseInsert(k); });
    hints[2]->onPress = [this] {
        if (insertList->currentIndex() != 0) return;
        hints[2]->hide();
        if (onInsertLink) onInsertLink();
    };
    hints[3]->onPress = [this] {
        if (insertList->currentIndex() == 0) chooseInsert(1);
    };
    pages->addWidget(clipsPage);

    effectsPage = new QWidget(pages);
    buildEffects(effectsPage);
    pages->addWidget(effectsPage);

    tabs->onChange = [this](int32_t tab) { showTab(tab); };
    const int32_t tab = params_.pictWindowTab == 2 ? 2 : 1;
    tabs->setCurrent(tab);
    pages->setCurrentIndex(tab - 1);
    showHints(0);
}

void TPict::buildEffects(QWidget* page)
{
    auto* c = new QVBoxLayout(page);
    c->setContentsMargins(0, 4, 0, 0);
    effects = new panels::frameEffectsLists_t(params_, page);
    effects->setFixedHeight(effects->neededHeight());
    c->addWidget(effects);
    // The lists edit the settings every inserted picture takes.
    panels::frameEffects_t v;
    v.frameOn = params_.clframe == 1 ? 1 : 0;
    v.frameWidth = params_.frwidth;
    v.frameColour = params_.frcolor;
    v.elevation = params_.shpict.elevation;
    v.fade = params_.shpict.fade;
    v.lightness = params_.shpict.lightness;
    v.surface = params_.frplas;
    effects->showValues(v);
    effects->onFrameWidth = [this](double width) {
        if (width < 0) return;
        params_.clframe = width > 0 ? 1 : 0;
        params_.frwidth = width > 0 ? width : 0.0;
    };
    effects->onFrameColour = [this](int32_t colour) { params_.frcolor = colour; };
    effects->onShadow = [this](int32_t elevation, int32_t fade, int32_t lightness) {
        params_.shpict = {uint8_t(std::clamp(elevation, 0, 255)), uint8_t(std::clamp(fade, 0, 255)),
                          uint8_t(std::clamp(lightness, 0, 255))};
    };
    effects->onSurface = [this](int32_t surface) { params_.frplas = surface; };
    effects->onCustomize = [this](int32_t code) {
        if (onCustomize) onCustomize(code);
    };
    const std::array<std::pair<QString, QString>, 4> texts{{
        {QStringLiteral("The frame will appear after you insert the clips."), QStringLiteral("after")},
        {QStringLiteral("You will be able to adjust the frame width and color after you insert the clips."), QString()},
        {QStringLiteral("Select the frame width to draw a frame around the clip."), QStringLiteral("frame")},
        {QStringLiteral("Select the color of the frame to change the frame color."), QStringLiteral("color")},
    }};
    for (size_t k = 0; k < texts.size(); ++k) {
        auto* h = new panels::hintBox_t(page);
        h->setHint(texts[k].first, texts[k].second);
        h->setFixedHeight(h->neededHeight(sidePanelWidth - 2 * sideMargin) + 4);
        effectHints[k] = h;
        c->addWidget(h);
    }
    c->addStretch(1);
}

void TPict::showTab(int32_t tab)
{
    params_.pictWindowTab = tab == 2 ? 2 : 1;
    pages->setCurrentIndex(params_.pictWindowTab - 1);
}

void TPict::showHints(int32_t choice)
{
    const QString clickPointer =
        QStringLiteral("Click on the pointer button and then select a clip, if you want to adjust its size or position.");
    const QString orHold = QStringLiteral("Or, hold down the mouse button, move the mouse, and release the button.");
    hints[0]->setHint(hintChoose);
    for (panels::hintBox_t* h : hints) h->show();
    switch (choice) {
    case 0:
        hints[1]->setHint(
            QStringLiteral("To adjust the size of the picture, use the zoom scale in the upper right corner."));
        hints[2]->setLinkHint(QStringLiteral("Then, click on the Insert button to add the image into your design."),
                              QStringLiteral("Insert"));
        hints[3]->setLinkHint(
            QStringLiteral("Or, outline one or more clips from this picture to be inserted as separate images."),
            QStringLiteral("clips"));
        break;
    case 1:
        hints[1]->setHint(
            QStringLiteral("Click on the picture where you want to start a clip, move the mouse, and click again."));
        hints[2]->setHint(orHold);
        hints[3]->setHint(clickPointer);
        break;
    default:
        hints[1]->setHint(QStringLiteral("Click at the center of a round clip, move the mouse, and click again."));
        hints[2]->setHint(orHold);
        hints[3]->setHint(clickPointer);
        break;
    }
    // Each box as high as its text at the panel's width.
    for (panels::hintBox_t* h : hints) h->setFixedHeight(h->neededHeight(sidePanelWidth - 2 * sideMargin) + 4);
}

void TPict::chooseInsert(int32_t choice)
{
    setTool(choice == 1 ? pictTool_t::rectangle : choice == 2 ? pictTool_t::round : pictTool_t::pointer);
}

QSize TPict::preferredClientSize() const
{
    return {pictureAreaWidth + sidePanelWidth, pictureAreaHeight + toolbarHeight};
}

int32_t TPict::markSize() const { return std::max(params_.markWidth, 2); }

QSize TPict::orientedSize() const { return render::orientedSize(source_.fullSize, view_.orientation); }

bool TPict::openFile(const QString& fileName)
{
    // Before the window is laid out the picture area is the one it opens with.
    const QSize area = view->isVisible() ? view->availableArea()
                                         : QSize(pictureAreaWidth - style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                                                 pictureAreaHeight - style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    switch (render::loadPictureFile(fileName, area, source_)) {
    case render::pictureLoad_t::ok: break;
    case render::pictureLoad_t::tooLarge:
        loadError_ = QStringLiteral("This picture file is too large to be inserted.");
        return false;
    case render::pictureLoad_t::unreadable:
        loadError_ = QStringLiteral("The file %1 cannot be read.").arg(fileName);
        return false;
    case render::pictureLoad_t::undecodable: loadError_ = QStringLiteral("This is not a valid file."); return false;
    }
    startWithZoom(1.0 / source_.denominator);
    return true;
}

bool TPict::openItem(const model::itemList_t& document, const item_t* picture)
{
    const item_t* data = picture ? model::findPictureData(document, picture->pictureId) : nullptr;
    if (!data || data->itemType != model::typePictureData || !data->stream || data->stream->empty()) {
        loadError_ = QStringLiteral("This is not a valid file.");
        return false;
    }
    const QString name = QString::fromStdU16String(model::getText(data));
    if (render::loadStoredPicture(data->pictureFormat(), *data->stream, name, source_) != render::pictureLoad_t::ok) {
        loadError_ = QStringLiteral("This is not a valid file.");
        return false;
    }
    view_ = {picture->flipX < 0 ? -1 : 1, picture->flipY < 0 ? -1 : 1, picture->orientation};
    double z = picture->clipShape == model::clipRound ? std::fabs(picture->scaleX) : picture->baseScale;
    if (!(z > 0) || !std::isfinite(z)) z = 1.0;
    if (code_ == hostedRectClip && (picture->clipShape == model::clipRect || picture->clipShape == model::clipRound)) {
        const int32_t type = picture->clipShape == model::clipRound ? model::typeRoundClip : model::typeRectClip;
        model::addClip(clips_, type, {picture->srcLeft, picture->srcTop}, {picture->srcRight, picture->srcBottom}, z);
        // The clip the item had is where the editing starts, not a step to undo.
        model::item_t* first = model::visibleClips(clips_).front();
        first->undoState = model::stateCommitted;
        tool_ = pictTool_t::pointer;
        // The hints speak of the clip being edited.
        const int32_t choice = type == model::typeRoundClip ? 2 : 1;
        insertList->setCurrentIndex(choice);
        showHints(choice);
    }
    startWithZoom(z);
    return true;
}

void TPict::startWithZoom(double zoom)
{
    zoom_ = zoom;
    rebuildDisplay();
    clipsChanged();
}

void TPict::rebuildDisplay()
{
    displayed_ = render::displayedPicture(source_, view_, zoom_, &plan_);
    syncing_ = true;
    zoomSlider->setValue(std::clamp(model::roundHalfEven(zoom_ * 100), 0, 300));
    syncing_ = false;
    zoomLabel->setText(QStringLiteral("%1%").arg(render::zoomPercent(zoom_)));
    view->displayChanged();
}

void TPict::applyZoom(double zoom)
{
    if (!(zoom > 0)) return;
    if (source_.format == model::pictureJpeg) {
        const int32_t d = render::zoomDenominator(zoom, source_.denominator);
        if (d != source_.denominator) render::redecode(source_, d);
    }
    zoom_ = zoom;
    rebuildDisplay();
}

void TPict::zoomOut() { applyZoom(render::zoomOutStep(zoom_)); }
void TPict::zoomIn() { applyZoom(render::zoomInStep(zoom_)); }

void TPict::setTool(pictTool_t t)
{
    view->cancelDrawing();
    tool_ = t;
    const int32_t choice = t == pictTool_t::rectangle ? 1 : t == pictTool_t::round ? 2 : 0;
    if (insertList->currentIndex() != choice) insertList->setCurrentIndex(choice);
    showHints(choice);
    refreshToolbar();
    view->viewport()->setCursor(t == pictTool_t::pointer ? Qt::ArrowCursor : Qt::CrossCursor);
}

void TPict::undoClip()
{
    view->cancelDrawing();
    model::undo(clips_);
    clipsChanged();
}

void TPict::redoClip()
{
    view->cancelDrawing();
    model::redo(clips_);
    clipsChanged();
}

void TPict::refresh()
{
    rebuildDisplay();
    clipsChanged();
}

void TPict::eraseClip()
{
    if (model::eraseSelectedClip(clips_)) clipsChanged();
}

void TPict::mirror()
{
    view->cancelDrawing();
    model::mirrorPicture(view_, clips_, orientedSize().width());
    refresh();
}

void TPict::flip()
{
    view->cancelDrawing();
    model::flipPicture(view_, clips_, orientedSize().height());
    refresh();
}

void TPict::rotateLeft()
{
    view->cancelDrawing();
    model::rotatePictureLeft(view_, clips_, orientedSize().width());
    refresh();
}

void TPict::rotateRight()
{
    view->cancelDrawing();
    model::rotatePictureRight(view_, clips_, orientedSize().height());
    refresh();
}

bool TPict::keyPressed(int key)
{
    if (keysBlocked && keysBlocked()) return false;
    if (key == Qt::Key_Escape) {
        if (!view->drawing()) return false;
        view->cancelDrawing();
        setTool(pictTool_t::pointer);
        return true;
    }
    if ((key == Qt::Key_Delete) && tool_ == pictTool_t::pointer && !view->draggingHandle()) {
        eraseClip();
        return true;
    }
    return false;
}

void TPict::keyPressEvent(QKeyEvent* e)
{
    if (!keyPressed(e->key())) THostedPanel::keyPressEvent(e);
}

void TPict::clipsChanged()
{
    refreshToolbar();
    refreshClipsTab();
    view->viewport()->update();
}

void TPict::refreshToolbar()
{
    buttons[btnUndo]->setEnabled(model::canUndo(clips_));
    buttons[btnRedo]->setEnabled(model::canRedo(clips_));
    bool selected = false;
    for (const item_t* c : model::visibleClips(clips_)) selected = selected || model::isSelected(c);
    buttons[btnErase]->setVisible(selected);
    buttons[btnPointer]->setChecked(tool_ == pictTool_t::pointer);
    buttons[btnRect]->setChecked(tool_ == pictTool_t::rectangle);
    buttons[btnRound]->setChecked(tool_ == pictTool_t::round);
}

void TPict::refreshClipsTab()
{
    const bool any = !model::visibleClips(clips_).empty();
    insertCaption->setVisible(!any);
    insertList->setVisible(!any);
    summaryCaption->setVisible(any);
    summaryRect->setVisible(any);
    summaryRound->setVisible(any);
    const model::clipCounts_t n = model::countClips(clips_);
    summaryRect->setText(QStringLiteral("%1   Rectangular clip(s)").arg(n.rectangles));
    summaryRound->setText(QStringLiteral("%1   Round clip(s)").arg(n.rounds));
}

canvas::pictureInsert_t TPict::insertRequest() const
{
    canvas::pictureInsert_t r;
    r.mode = mode();
    r.source = &source_;
    r.view = view_;
    r.zoom = zoom_;
    r.shown = plan_.result;
    r.pictureSize = orientedSize();
    r.clips = canvas::usableClips(clips_);
    r.effects = canvas::effectsFromSettings(params_);
    return r;
}

bool TPict::applyHosted()
{
    view->cancelDrawing();
    if (source_.valid() && onInsert) onInsert(insertRequest());
    return true;
}

void TPict::hostClosing() { view->cancelDrawing(); }

} // namespace ui
