// The picture window: its toolbar, the picture and its clips, the "Preview"
// side panel with its "Clips" and "Effects" tabs, and what it asks to insert.
#include "panels/picturewindow.h"

#include "ui/guidancepanel.h"
#include "ui/panelcodes.h"

#include "canvas/buttonart.h"
#include "canvas/toolbar.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "panels/frameeffects.h"
#include "panels/panelparts.h"
#include "render/surface.h"
#include "ui/panellook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QDragEnterEvent>
#include <QDropEvent>
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

namespace panels {

using namespace ui;  // hosted codes and the panel look

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

const QString hintChoose = QStringLiteral("Select how you want to insert the picture.");

QIcon toolbarIcon(int32_t button)
{
    QIcon icon(QPixmap::fromImage(canvas::drawButtonPicture(button, 0, iconSize)));
    icon.addPixmap(QPixmap::fromImage(canvas::drawButtonPicture(button, 3, iconSize)), QIcon::Disabled);
    return icon;
}

QIcon panelIcon(int32_t picture)
{
    QIcon icon(QPixmap::fromImage(panelButtonPicture(picture, false, iconSize)));
    icon.addPixmap(QPixmap::fromImage(panelButtonPicture(picture, true, iconSize)), QIcon::Active);
    return icon;
}

} // namespace

TPict::TPict(settings::TParams& params, int32_t code, QWidget* parent)
    : THostedPanel(parent), params_(params), code_(code)
{
    setObjectName(QStringLiteral("TPict"));
    setAcceptDrops(true);
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
    make(btnRect, panelIcon(pictureClipRectangle), QStringLiteral("Outline a rectangular clip"),
         [this] { setTool(pictTool_t::rectangle); });
    make(btnRound, panelIcon(pictureClipRound), QStringLiteral("Outline a round clip"),
         [this] { setTool(pictTool_t::round); });
    make(btnErase, toolbarIcon(canvas::buttonErase), QStringLiteral("Erase the selected clip"), [this] { eraseClip(); });
    make(btnMirror, panelIcon(pictureMirror), QStringLiteral("Mirror the picture"), [this] { mirror(); });
    make(btnFlip, panelIcon(pictureFlip), QStringLiteral("Flip the picture"), [this] { flip(); });
    make(btnRotateLeft, panelIcon(pictureRotateLeft), QStringLiteral("Rotate the picture"), [this] { rotateLeft(); });
    make(btnRotateRight, panelIcon(pictureRotateRight), QStringLiteral("Rotate the picture"),
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
    sideFrame_ = frame;
    clipHelp_ = new ui::TLinehelp(side);
    clipHelp_->hide();
    sideLayout->addWidget(clipHelp_);
    // "here" and the check box bring the panel back a moment later, after
    // the click that asked for it.
    clipHelp_->onLink = [this](int32_t) {
        QTimer::singleShot(200, this, [this] {
            hideClipHelp();
            setTool(pictTool_t::pointer);
            const std::vector<model::item_t*> shown = model::visibleClips(clips_);
            model::deselectAll(clips_);
            if (!shown.empty()) model::setSelected(clips_, shown.back(), true);
            clipsChanged();
        });
    };
    clipHelp_->onDontShow = [this](bool ticked) {
        ui::setGuidanceWanted(params_, ui::guidanceClipFinished, !ticked);
        if (ticked) QTimer::singleShot(200, this, [this] { hideClipHelp(); });
    };
    auto* col = new QVBoxLayout(frame->body());
    col->setContentsMargins(sideMargin, 4, sideMargin, 4);
    col->setSpacing(4);
    tabs = new tabStrip_t(QStringLiteral("Clips"), QStringLiteral("Effects"), frame->body());
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
    // Off: an entire image larger than the page is scaled down to fit it.
    atChosenZoom = new QCheckBox(QStringLiteral("Insert at this zoom"), clipsPage);
    atChosenZoom->setObjectName(QStringLiteral("atChosenZoom"));
    atChosenZoom->setToolTip(QStringLiteral("Otherwise a picture larger than the page is made to fit it"));
    c->addWidget(atChosenZoom);
    for (auto& h : hints) {
        h = new hintBox_t(clipsPage);
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
    effects = new frameEffectsLists_t(params_, page);
    effects->setFixedHeight(effects->neededHeight());
    c->addWidget(effects);
    // The lists edit the settings every inserted picture takes.
    frameEffects_t v;
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
        auto* h = new hintBox_t(page);
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
    for (hintBox_t* h : hints) h->show();
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
    for (hintBox_t* h : hints) h->setFixedHeight(h->neededHeight(sidePanelWidth - 2 * sideMargin) + 4);
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

void TPict::dragEnterEvent(QDragEnterEvent* e)
{
    if (onFileDropped && !render::droppedPictureFile(e->mimeData()->urls()).isEmpty()) e->acceptProposedAction();
}

void TPict::dropEvent(QDropEvent* e)
{
    const QString file = render::droppedPictureFile(e->mimeData()->urls());
    if (file.isEmpty() || !onFileDropped) return;
    e->acceptProposedAction();
    onFileDropped(file);
}

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
        loadError_ = QStringLiteral("The file %1 cannot be read.").arg(QDir::toNativeSeparators(fileName));
        return false;
    case render::pictureLoad_t::undecodable:
        loadError_ = QStringLiteral("This is not a valid file: \"%1\" could not be read as a picture. Pictures can be "
                                    "inserted from %2.")
                         .arg(QDir::toNativeSeparators(fileName), render::insertablePictureKinds());
        return false;
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

void TPict::clipFinished()
{
    if (!ui::guidanceWanted(params_, ui::guidanceClipFinished)) return;
    clipHelp_->showGuidancePage(ui::guidanceClipFinished);
    sideFrame_->hide();
    clipHelp_->show();
}

void TPict::hideClipHelp()
{
    if (clipHelp_->isHidden()) return;
    clipHelp_->hide();
    sideFrame_->show();
}

void TPict::setTool(pictTool_t t)
{
    hideClipHelp();
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
    hideClipHelp();
    view->cancelDrawing();
    model::undo(clips_);
    clipsChanged();
}

void TPict::redoClip()
{
    hideClipHelp();
    view->cancelDrawing();
    model::redo(clips_);
    clipsChanged();
}

void TPict::refresh()
{
    hideClipHelp();
    rebuildDisplay();
    clipsChanged();
}

void TPict::eraseClip()
{
    hideClipHelp();
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
    r.atChosenZoom = atChosenZoom && atChosenZoom->isChecked();
    return r;
}

bool TPict::applyHosted()
{
    view->cancelDrawing();
    if (source_.valid() && onInsert) onInsert(insertRequest());
    return true;
}

void TPict::hostClosing() { view->cancelDrawing(); }

} // namespace panels
