#include "canvas/toolbar.h"

#include "canvas/buttonart.h"
#include "canvas/modes.h"
#include "geometry/units.h"
#include "model/metrics.h"
#include "ui/panelcodes.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSlider>

#include <algorithm>
#include <iterator>

namespace canvas {

const std::vector<int32_t> toolbarOrder = {
    1, 2, 3, 4, 5, 6, 7, 8, 0,
    9, 27, 18, 17, 28, 29, 30, 21, 22, 23, 24, 31, 25, 26, 32, 33, 34, 0,
    19, 20, 13, 12, 35, 36, 0,
    14, 16, 15};

QString buttonHint(int32_t n)
{
    static const char* const hints[toolbarButtonCount + 1] = {
        "",
        "Create a new file",
        "Open an existing file",
        "Save the file",
        "Export as a picture",
        "Print the picture",
        "Undo the last edit",
        "Redo the last undo",
        "Repaint the screen",
        "Select an item",
        "Zoom out",
        "Zoom in",
        "Place the selected item behind other objects",
        "Place the selected item on top of other objects",
        "Erase the selected item",
        "Paste from clipboard",
        "Copy to clipboard",
        "Insert line",
        "Insert text",
        "Gridlines",
        "Snap",
        "Insert triangle",
        "Insert square",
        "Insert rectangle",
        "Insert circle",
        "Insert ellipse",
        "Insert polygon",
        "Insert picture",
        "Insert arc",
        "Insert spline",
        "Insert curve",
        "Insert pie",
        "Insert star",
        "Insert solid",
        "Insert oblong",
        "Join items",
        "Split group",
    };
    return (n >= 1 && n <= toolbarButtonCount) ? QString::fromLatin1(hints[n]) : QString();
}

int32_t toolPanelCode(int32_t n)
{
    switch (n) {
    case buttonPointer: return ui::panelInsert;
    case buttonLine: return ui::panelNextLine;
    case buttonText: return ui::panelNextText;
    case buttonTriangle: return toolTriangle;
    case buttonSquare: return toolSquare;
    case buttonRectangle: return toolRectangle;
    case buttonCircle: return toolCircle;
    case buttonEllipse: return toolEllipse;
    case buttonPolygon: return toolPolygon;
    case buttonArc: return toolArc;
    case buttonSpline: return toolSpline;
    case buttonCurve: return toolCurve;
    case buttonPie: return toolPie;
    case buttonStar: return toolStar;
    case buttonSolid: return toolSolid;
    case buttonOblong: return toolOblong;
    default: return 0;
    }
}

int32_t buttonForPanel(int32_t code)
{
    switch (code) {
    case ui::panelNextLine: return buttonLine;
    case ui::panelNextText: return buttonText;
    case toolTriangle: return buttonTriangle;
    case toolSquare: return buttonSquare;
    case toolRectangle: return buttonRectangle;
    case toolCircle: return buttonCircle;
    case toolEllipse: return buttonEllipse;
    case toolPolygon: return buttonPolygon;
    default: return buttonPointer;  // the insert panel, the other tools and the fine-tune panels
    }
}

QKeySequence buttonKey(int32_t n)
{
    switch (n) {
    case buttonNew: return QKeySequence(QKeySequence::New);
    case buttonOpen: return QKeySequence(QKeySequence::Open);
    case buttonSave: return QKeySequence(QKeySequence::Save);
    case buttonPrint: return QKeySequence(QKeySequence::Print);
    case buttonUndo: return QKeySequence(Qt::CTRL | Qt::Key_Z);
    case buttonRedo: return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    case buttonZoomOut: return QKeySequence(QKeySequence::ZoomOut);
    case buttonZoomIn: return QKeySequence(QKeySequence::ZoomIn);
    case buttonToBack: return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketLeft);
    case buttonToFront: return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketRight);
    case buttonErase: return QKeySequence(QKeySequence::Delete);
    case buttonPaste: return QKeySequence(QKeySequence::Paste);
    case buttonCopy: return QKeySequence(QKeySequence::Copy);
    default: return {};
    }
}

QString buttonToolTip(int32_t n)
{
    const QString hint = buttonHint(n);
    const QKeySequence key = buttonKey(n);
    if (hint.isEmpty() || key.isEmpty()) return hint;
    return hint + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

int32_t zoomStepOut(int32_t z)
{
    // Beyond the last preset the button does nothing; below the first it
    // comes back to the first.
    if (z > geometry::zoomPresets[std::size(geometry::zoomPresets) - 1]) return z;
    int32_t step = geometry::zoomPresets[0];
    for (const int32_t p : geometry::zoomPresets)
        if (p < z) step = p;
    return step;
}

int32_t zoomStepIn(int32_t z)
{
    // The first preset is never a step in: the smallest is the second.
    for (size_t i = 1; i < std::size(geometry::zoomPresets); ++i)
        if (geometry::zoomPresets[i] > z) return geometry::zoomPresets[i];
    return z;
}

TProcs::TProcs(toolbarHost_t* host, QWidget* parent) : QWidget(parent), host_(host)
{
    setObjectName(QStringLiteral("TProcs"));
    setMouseTracking(true);
    enabled_.fill(true);
    shown_.fill(true);
    shown_[0] = false;
    shown_[4] = false;  // export is never offered
    // Selection-dependent buttons appear with a selection.
    for (int32_t n : {12, 13, 14, 15, 16, 35, 36}) shown_[n] = false;
    enabled_[6] = enabled_[7] = false;

    hoverTimer.setObjectName(QStringLiteral("hoverTimer"));
    hoverTimer.setSingleShot(true);
    hoverTimer.setInterval(5000);
    QObject::connect(&hoverTimer, &QTimer::timeout, this, [this] { stripLeave(); });

    QFont uiFont(QStringLiteral("Verdana"));
    uiFont.setPointSize(8);
    zoomCaption = new QLabel(QStringLiteral("Zoom"), this);
    zoomCaption->setObjectName(QStringLiteral("zoomCaption"));
    zoomLabel = new QLabel(QStringLiteral("100%"), this);
    zoomLabel->setObjectName(QStringLiteral("zoomLabel"));
    for (QLabel* l : {zoomCaption, zoomLabel}) {
        l->setFont(uiFont);
        l->setAlignment(Qt::AlignCenter);
    }
    zoomSlider = new QSlider(Qt::Horizontal, this);
    zoomSlider->setObjectName(QStringLiteral("zoomSlider"));
    zoomSlider->setRange(1, 300);  // 0 % is no zoom: the label never shows it
    zoomSlider->setTickInterval(25);
    zoomSlider->setTickPosition(QSlider::NoTicks);
    zoomSlider->setValue(100);
    zoomSlider->setToolTip(QStringLiteral("Zoom"));
    QObject::connect(zoomSlider, &QSlider::valueChanged, this, [this](int v) {
        if (!settingSlider_) sliderMoved(v);
    });
    QObject::connect(zoomSlider, &QSlider::sliderReleased, this, [this] { sliderReleased(); });
    // Keyboard and page clicks move the slider without a drag; apply them too.
    QObject::connect(zoomSlider, &QSlider::actionTriggered, this, [this](int) {
        QMetaObject::invokeMethod(this, [this] {
            if (!zoomSlider->isSliderDown()) sliderReleased();
        }, Qt::QueuedConnection);
    });
    layoutToolbar(24);
}

void TProcs::layoutToolbar(int32_t height)
{
    height_ = std::max(8, height);
    relayout();
}

void TProcs::relayout()
{
    const int32_t size = height_ - 4;
    for (QRect& r : rects_) r = QRect();
    separators_.clear();
    overflow_.clear();
    overflowRect_ = QRect();
    const int32_t zoomLeft = layoutZoomControls(size);

    // The buttons from the left up to the zoom controls. When they do not
    // all fit, the last ones go into the overflow button's menu, as a
    // toolbar does; nothing is ever drawn over the zoom controls.
    std::vector<int32_t> shown;
    for (int32_t n : toolbarOrder)
        if (n == separatorButton || shown_[n]) shown.push_back(n);
    int32_t needed = 2;
    for (int32_t n : shown) needed += n == separatorButton ? 3 + 5 : size + 2;
    const int32_t overflowWidth = std::max(12, size / 2 + 4);
    const bool fits = needed <= zoomLeft - 2 && overflowCommands_.empty();
    const int32_t limit = fits ? zoomLeft - 2 : zoomLeft - 2 - overflowWidth - 2;
    int32_t x = 2;
    std::vector<QRect> pendingSeparators;
    for (int32_t n : shown) {
        if (!overflow_.empty()) {
            if (n != separatorButton) overflow_.push_back(n);
            continue;
        }
        if (n == separatorButton) {
            pendingSeparators.push_back(QRect(x, 0, 3, height_));
            x += 3 + 5;
            continue;
        }
        if (x + size > limit) {
            overflow_.push_back(n);
            continue;
        }
        // A separator is drawn only between buttons that are both on the strip.
        separators_.insert(separators_.end(), pendingSeparators.begin(), pendingSeparators.end());
        pendingSeparators.clear();
        rects_[n] = QRect(x, 2, size, size);
        x += size + 2;
    }
    if (!overflow_.empty() || !overflowCommands_.empty()) {
        // The chevron follows the last button that fitted.
        overflowRect_ = QRect(x, 2, overflowWidth, size);
        if (hover_ && rects_[hover_].isNull()) hover_ = 0;
    }
    update();
}

// Zoom controls from the right: zoom in, slider, zoom out (4 smaller), labels.
// The slider narrows in a small window, and the labels give way before it
// would cross the strip's start. Returns where the controls begin.
int32_t TProcs::layoutZoomControls(int32_t size)
{
    const int32_t zs = std::max(4, size - 4);
    int32_t right = width() - 2;
    const int32_t zy = 2 + (size - zs) / 2;
    rects_[buttonZoomIn] = QRect(right - zs, zy, zs, zs);
    right -= zs + 2;
    const int32_t sliderW = std::clamp(width() / 5, 40, 120);
    zoomSlider->setGeometry(right - sliderW, 0, sliderW, height_);
    right -= sliderW + 2;
    rects_[buttonZoomOut] = QRect(right - zs, zy, zs, zs);
    right -= zs + 4;
    const int32_t labelW = 44;
    const int32_t half = height_ / 2;
    const bool labels = right - labelW >= 2 + size + 2 + std::max(12, size / 2 + 4);
    zoomCaption->setVisible(labels);
    zoomLabel->setVisible(labels);
    if (!labels) return right;
    zoomCaption->setGeometry(right - labelW, 0, labelW, half);
    zoomLabel->setGeometry(right - labelW, half, labelW, height_ - half);
    return right - labelW;
}

QMenu* TProcs::overflowMenu(QWidget* parent) const
{
    auto* menu = new QMenu(parent);
    for (int32_t n : overflow_) {
        QAction* a = menu->addAction(QIcon(QPixmap::fromImage(buttonImage(n, look_t::flat, 20))), buttonHint(n));
        a->setEnabled(enabled_[n]);
        if (n == buttonGridlines || n == buttonSnap || n == pressed_) {
            a->setCheckable(true);
            a->setChecked(n == buttonGridlines ? gridOn_ : n == buttonSnap ? snapOn_ : true);
        }
        auto* self = const_cast<TProcs*>(this);
        QObject::connect(a, &QAction::triggered, self, [self, n] { self->activate(n); });
    }
    for (const overflowCommand_t& c : overflowCommands_) {
        QAction* a = menu->addAction(QIcon(QPixmap::fromImage(c.icon)), c.text);
        QObject::connect(a, &QAction::triggered, menu, c.run);
    }
    return menu;
}

void TProcs::addOverflowCommand(overflowCommand_t command)
{
    overflowCommands_.push_back(std::move(command));
    relayout();
}

void TProcs::resizeEvent(QResizeEvent*)
{
    relayout();
}

void TProcs::pressToolButton(int32_t number)
{
    if (number == pressed_) return;
    pressed_ = number;
    update();
}

void TProcs::setGridButton(toggle_t state, bool act)
{
    gridOn_ = state == toggle_t::toggle ? !gridOn_ : state == toggle_t::pressed;
    update();
    if (act && host_) host_->toolbarToggle(buttonGridlines, gridOn_);
}

void TProcs::setSnapButton(toggle_t state, bool act)
{
    snapOn_ = state == toggle_t::toggle ? !snapOn_ : state == toggle_t::pressed;
    update();
    if (act && host_) host_->toolbarToggle(buttonSnap, snapOn_);
}

void TProcs::setButtonEnabled(int32_t n, bool on)
{
    if (!valid(n) || enabled_[n] == on) return;
    enabled_[n] = on;
    update();
}

void TProcs::setButtonShown(int32_t n, bool on)
{
    if (!valid(n) || n == buttonExport || shown_[n] == on) return;
    shown_[n] = on;
    if (!on && hover_ == n) hover_ = 0;
    relayout();
}

void TProcs::refreshSelectionButtons(bool hasSelection, bool clipboardHasItems, bool joinable, bool splittable)
{
    for (int32_t n : {12, 13, 14, 16}) shown_[n] = hasSelection;
    shown_[15] = clipboardHasItems;
    shown_[35] = joinable;
    shown_[36] = splittable;
    if (hover_ && !shown_[hover_]) hover_ = 0;
    relayout();
}

void TProcs::refreshUndoButtons(bool canUndo, bool canRedo)
{
    enabled_[6] = canUndo;
    enabled_[7] = canRedo;
    update();
}

void TProcs::showZoom(double zoom)
{
    const int32_t pct = model::roundHalfEven(zoom * 100);
    zoomLabel->setText(QString::number(pct) + QLatin1Char('%'));
    settingSlider_ = true;
    zoomSlider->setValue(std::clamp(pct, 1, 300));
    settingSlider_ = false;
}

int32_t TProcs::sliderPosition() const
{
    return zoomSlider->value();
}

void TProcs::sliderMoved(int32_t position)
{
    zoomLabel->setText(QString::number(position) + QLatin1Char('%'));
}

void TProcs::sliderReleased()
{
    const int32_t p = zoomSlider->value();
    if (p <= 0) return;
    if (host_) host_->toolbarZoom(p);
}

void TProcs::setSliderPosition(int32_t position)
{
    zoomSlider->setValue(position);
}

int32_t TProcs::buttonAt(QPoint pos) const
{
    for (int32_t n = 1; n <= toolbarButtonCount; ++n)
        if (shown_[n] && rects_[n].contains(pos)) return n;
    return 0;
}

TProcs::look_t TProcs::lookOf(int32_t n) const
{
    if (!enabled_[n]) return look_t::disabled;
    if (n == pressed_ || (n == buttonGridlines && gridOn_) || (n == buttonSnap && snapOn_)) return look_t::pressed;
    if (n == hover_) return look_t::raised;
    return look_t::flat;
}

void TProcs::stripMouseMove(QPoint pos)
{
    const int32_t n = buttonAt(pos);
    const bool onOverflow = overflowRect_.contains(pos);
    if (n != hover_ || onOverflow != overflowHover_) {
        hover_ = n;
        overflowHover_ = onOverflow;
        update();
    }
    if (n) {
        setToolTip(buttonToolTip(n));
        hoverTimer.start();
    } else {
        setToolTip(onOverflow ? QStringLiteral("More buttons") : QString());
    }
}

void TProcs::stripLeave()
{
    hoverTimer.stop();
    if (hover_ || overflowHover_) {
        hover_ = 0;
        overflowHover_ = false;
        update();
    }
}

void TProcs::stripMouseUp(QPoint pos)
{
    if (overflowRect_.contains(pos)) {
        QMenu* menu = overflowMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(mapToGlobal(overflowRect_.bottomLeft()));
        return;
    }
    const int32_t n = buttonAt(pos);
    if (!n || !enabled_[n]) return;
    // The click is taken on the raised image; the toggles take it on their
    // flat image too.
    if (n != hover_ && n != buttonGridlines && n != buttonSnap) return;
    activate(n);
}

void TProcs::activate(int32_t n)
{
    if (!valid(n) || !shown_[n] || !enabled_[n]) return;
    if (n == buttonGridlines) {
        setGridButton(toggle_t::toggle, true);
        return;
    }
    if (n == buttonSnap) {
        setSnapButton(toggle_t::toggle, true);
        return;
    }
    if (host_) host_->toolbarCommand(n);
}

void TProcs::mouseMoveEvent(QMouseEvent* e)
{
    stripMouseMove(e->position().toPoint());
}

void TProcs::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) stripMouseUp(e->position().toPoint());
}

void TProcs::leaveEvent(QEvent*)
{
    stripLeave();
}

QImage TProcs::buttonImage(int32_t n, look_t look, int32_t size) const
{
    return drawButtonPicture(n, static_cast<int32_t>(look), size);
}

void TProcs::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0xEF, 0xEF, 0xEF));
    for (const QRect& s : separators_) {
        p.fillRect(s, QColor(0xC0, 0xC0, 0xC0));
        p.setPen(Qt::white);
        p.drawLine(s.left(), s.top() + 2, s.left(), s.bottom() - 2);
    }
    for (int32_t n = 1; n <= toolbarButtonCount; ++n) {
        if (!shown_[n] || rects_[n].isEmpty()) continue;
        p.drawImage(rects_[n].topLeft(), buttonImage(n, lookOf(n), rects_[n].width()));
    }
    if (!overflowRect_.isEmpty()) {
        if (overflowHover_) {
            p.setPen(Qt::white);
            p.drawLine(overflowRect_.topLeft(), overflowRect_.topRight());
            p.drawLine(overflowRect_.topLeft(), overflowRect_.bottomLeft());
            p.setPen(QColor(0x80, 0x80, 0x80));
            p.drawLine(overflowRect_.bottomLeft(), overflowRect_.bottomRight());
            p.drawLine(overflowRect_.topRight(), overflowRect_.bottomRight());
        }
        // A chevron: two small arrowheads pointing right.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
        const QPointF c = QRectF(overflowRect_).center();
        const qreal h = std::max<qreal>(2.5, overflowRect_.height() / 6.0);
        for (qreal dx : {-h / 1.2, h / 1.2}) {
            const QPointF tip(c.x() + dx + h / 2, c.y());
            p.drawLine(tip, QPointF(tip.x() - h, c.y() - h));
            p.drawLine(tip, QPointF(tip.x() - h, c.y() + h));
        }
    }
}

} // namespace canvas
