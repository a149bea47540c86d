#include "ui/hostwindow.h"

#include "render/surface.h"

#include <QEnterEvent>
#include <QGuiApplication>
#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include <algorithm>

namespace ui {

namespace {

// Height of the title strip that must stay on some screen for the window
// to count as reachable, and how much of it must show to be grabbed.
constexpr int titleStrip = 24;
constexpr int titleShown = 64;
constexpr int titleShownHeight = 12;

bool titleOnSomeScreen(const QRect& r, const QList<QRect>& screens)
{
    const QRect title(r.left(), r.top(), r.width(), std::min(r.height(), titleStrip));
    for (const QRect& s : screens) {
        const QRect seen = s.intersected(title);
        if (seen.width() >= std::min(r.width(), titleShown) && seen.height() >= std::min(title.height(), titleShownHeight))
            return true;
    }
    return false;
}

// Moves (and if need be shrinks) `r` into `area`.
QRect pulledInto(QRect r, const QRect& area)
{
    r.setWidth(std::min(r.width(), area.width()));
    r.setHeight(std::min(r.height(), area.height()));
    r.moveLeft(std::clamp(r.left(), area.left(), area.right() - r.width() + 1));
    r.moveTop(std::clamp(r.top(), area.top(), area.bottom() - r.height() + 1));
    return r;
}

} // namespace

hostPlacement_t placeHosted(settings::floatGeometry_t& slot, QSize preferredClient, const QList<QRect>& screens)
{
    const QRect primary = screens.isEmpty() ? QRect(0, 0, 1024, 768) : screens.front();
    hostPlacement_t p;
    if (slot.held) {
        QRect r(slot.left, slot.top, std::max(slot.width, 1), std::max(slot.height, 1));
        if (!titleOnSomeScreen(r, screens)) r = pulledInto(r, primary);
        p.pos = r.topLeft();
        p.size = r.size();
        p.maximized = slot.maximized;
        return p;
    }
    const int w = std::max(preferredClient.width(), hostMinimumWidth);
    const int h = std::max(preferredClient.height(), 0) + hostStripHeight + hostSplitterHeight;
    p.size = QSize(w, h);
    p.pos = QPoint(std::max(0, primary.left() + (primary.width() - w) / 2),
                   std::max(0, primary.top() + (primary.height() - h) / 2));
    slot.left = p.pos.x();
    slot.top = p.pos.y();
    slot.width = w;
    slot.height = h;
    slot.maximized = false;
    slot.held = true;
    return p;
}

void rememberHosted(settings::floatGeometry_t& slot, QPoint pos, QSize size, bool maximized)
{
    slot.maximized = maximized;
    slot.held = true;
    if (maximized) return;
    slot.left = pos.x();
    slot.top = pos.y();
    slot.width = size.width();
    slot.height = size.height();
}

// ---- THostButton ----

THostButton::THostButton(QColor hot, const settings::TParams& look, QWidget* parent)
    : QWidget(parent), hotColor_(hot), panelColor_(render::toColor(look.panelColor))
{
    setFixedSize(hostButtonWidth, hostButtonHeight);
    setFont(QFont(look.uiFont, look.uiFontSize));
    cool_.setSingleShot(true);
    cool_.setInterval(5000);
    QObject::connect(&cool_, &QTimer::timeout, this, [this] { setHot(false); });
}

void THostButton::setText(const QString& text)
{
    text_ = text;
    update();
}

void THostButton::setHot(bool on)
{
    if (hot_ == on) return;
    hot_ = on;
    if (on) cool_.start();
    else cool_.stop();
    update();
}

void THostButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), hot_ ? hotColor_ : panelColor_);
    if (!hot_) {
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    p.setPen(hot_ ? QColor(Qt::white) : isEnabled() ? QColor(Qt::black) : QColor(0xA0, 0xA0, 0xA0));
    p.drawText(rect(), Qt::AlignCenter, text_);
}

void THostButton::enterEvent(QEnterEvent*)
{
    if (!isEnabled()) return;
    if (auto* strip = parentWidget())
        for (auto* b : strip->findChildren<THostButton*>(Qt::FindDirectChildrenOnly)) b->setHot(b == this);
}

void THostButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && clicked) clicked();
}

namespace {

// The bottom strip: leaving it returns both buttons to normal.
class hostStrip_t : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void leaveEvent(QEvent*) override
    {
        for (auto* b : findChildren<THostButton*>(Qt::FindDirectChildrenOnly)) b->setHot(false);
    }
};

} // namespace

// ---- THostWindow ----

THostWindow::THostWindow(hostId_t id, geometrySlots_t& geometry, const settings::TParams& look, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), id_(id), slots_(geometry)
{
    setFont(QFont(look.uiFont, look.uiFontSize));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    area_ = new QWidget(this);
    auto* areaLayout = new QVBoxLayout(area_);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    v->addWidget(area_, 1);

    // A band of fixed height in one colour.
    auto band = [&](QWidget* w, int height, int32_t colour) {
        w->setFixedHeight(height);
        w->setAutoFillBackground(true);
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, render::toColor(colour));
        w->setPalette(pal);
        v->addWidget(w);
    };
    band(new QWidget(this), hostSplitterHeight, look.splitterColor);
    auto* strip = new hostStrip_t(this);
    band(strip, hostStripHeight, look.panelColor);
    strip->setMouseTracking(true);
    const int y = (hostStripHeight - hostButtonHeight) / 2;
    panel1 = new THostButton(QColor(0x1E, 0x50, 0xC8), look, strip);
    panel1->move(hostLeftButtonX, y);
    panel1->clicked = [this] { leftClicked(); };
    panel2 = new THostButton(QColor(0xE6, 0xB4, 0x00), look, strip);
    panel2->move(hostRightButtonX, y);
    panel2->clicked = [this] { rightClicked(); };

    screenAreas = [] {
        QList<QRect> out;
        if (QScreen* p = QGuiApplication::primaryScreen()) out.push_back(p->availableGeometry());
        for (QScreen* s : QGuiApplication::screens())
            if (s != QGuiApplication::primaryScreen()) out.push_back(s->availableGeometry());
        return out;
    };
}

THostWindow::~THostWindow()
{
    onHidden = nullptr;
    if (panel_) panel_->hostClosing();
}

void THostWindow::setFactory(int32_t code, hostedPanelFactory_t factory) { factories_[code] = std::move(factory); }

bool THostWindow::hasFactory(int32_t code) const
{
    auto it = factories_.find(code);
    return it != factories_.end() && it->second;
}

settings::floatGeometry_t* THostWindow::slotOf(int32_t code)
{
    const hostedKind_t* k = hostedKind(code);
    if (!k || k->slot < 1 || k->slot > int32_t(slots_.size())) return nullptr;
    return &slots_[k->slot - 1];
}

void THostWindow::releasePanel()
{
    if (!panel_) return;
    THostedPanel* old = panel_;
    panel_ = nullptr;
    old->hostClosing();
    old->hide();
    // Deferred: the panel may be the sender of the click that replaces it.
    old->setParent(nullptr);
    old->deleteLater();
}

bool THostWindow::openHosted(int32_t code, const QString& documentName, QWidget* document)
{
    const hostedKind_t* kind = hostedKind(code);
    if (!kind || kind->host != id_ || !hasFactory(code)) return false;
    if (isVisible() && code_ == hostedFirstTimeSetup && panel_) return false;

    if (isVisible() && panel_)
        if (settings::floatGeometry_t* old = slotOf(code_)) rememberHosted(*old, pos(), size(), isMaximized());
    releasePanel();

    THostedPanel* panel = factories_[code](hostRequest_t{code, documentName, document}, area_);
    if (!panel) {
        // The panel it showed is gone: an empty window with live buttons
        // would offer to apply nothing.
        code_ = 0;
        if (isVisible()) hide();
        return false;
    }
    code_ = code;
    panel_ = panel;
    applied_ = false;
    panel1->setText(kind->leftButton);
    panel2->setText(kind->rightButton);
    panel1->setHot(false);
    panel2->setHot(false);
    panel1->setEnabled(panel->leftButtonEnabled());
    panel1->show();
    panel2->show();

    Qt::WindowFlags f = Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (code != hostedFirstTimeSetup) f |= Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
    if (windowFlags() != f) setWindowFlags(f);
    if (windowState() & Qt::WindowMinimized) setWindowState(windowState() & ~Qt::WindowMinimized);

    area_->layout()->addWidget(panel);
    panel->show();
    setWindowTitle(hostedCaption(*kind, documentName));

    settings::floatGeometry_t scratch;
    settings::floatGeometry_t* slot = slotOf(code);
    applyPlacement(placeHosted(slot ? *slot : scratch, panel->preferredClientSize(), screenAreas()));
    return true;
}

void THostWindow::applyPlacement(const hostPlacement_t& p)
{
    placing_ = true;
    if (p.maximized) {
        // The normal geometry first, so that restoring returns to it.
        if (!isMaximized()) {
            resize(p.size);
            move(p.pos);
        }
        showMaximized();
    } else {
        if (isMaximized()) showNormal();
        resize(p.size);
        move(p.pos);
        show();
    }
    raise();
    placing_ = false;
}

void THostWindow::leftClicked()
{
    if (applying_ || !panel_ || !panel1->isEnabled()) return;
    applying_ = true;
    const bool done = panel_->applyHosted();
    applying_ = false;
    if (!done) return;
    applied_ = true;
    hide();
}

void THostWindow::rightClicked() { hide(); }

void THostWindow::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    if (e->spontaneous()) return;  // minimizing keeps the panel
    if (settings::floatGeometry_t* slot = slotOf(code_)) rememberHosted(*slot, pos(), size(), isMaximized());
    const int32_t code = code_;
    const bool applied = applied_;
    releasePanel();
    code_ = 0;
    applied_ = false;
    if (code && onHidden) onHidden(code, applied);
}

void THostWindow::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || placing_) return;
    auto* s = static_cast<QWindowStateChangeEvent*>(e);
    const bool wasMaximized = s->oldState() & Qt::WindowMaximized;
    if (wasMaximized && !isMaximized() && !isMinimized()) {
        // Restored by the user: back to the kind's remembered geometry.
        if (settings::floatGeometry_t* slot = slotOf(code_); slot && slot->held) {
            slot->maximized = false;
            resize(slot->width, slot->height);
            move(slot->left, slot->top);
        }
    }
}

} // namespace ui
