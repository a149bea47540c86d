#include "ui/shadoweditor.h"

#include "geometry/units.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "render/effects.h"
#include "render/renderpass.h"
#include "render/surface.h"
#include "settings/presetsave.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

const QString shadowSaveHelp = QStringLiteral(
    "When done, click on the Save button. Click on the Cancel button to close this window without applying any changes.");
const QString customiseHelp = QStringLiteral("Customize the shadow name and appearance.");

constexpr int32_t margin = 8;
constexpr int32_t labelWidth = 70;
constexpr int32_t sliderWidth = 190;
constexpr int32_t valueWidth = 40;
constexpr int32_t lineHeight = 26;

model::item_t* sampleSquare(model::itemList_t& doc, int32_t elevation, int32_t fade, int32_t lightness)
{
    model::item_t* sq = model::newItem(doc, model::typeSquare);
    const int32_t l = shadowSquareLeft, t = shadowSquareTop;
    const int32_t r = l + shadowSquareSide - 1, b = t + shadowSquareSide - 1;
    for (auto [x, y] : {std::pair{l, t}, {r, t}, {r, b}, {l, b}}) model::addPoint(sq, x, y);
    sq->boxLeft = sq->x1 = l;
    sq->boxTop = sq->y1 = t;
    sq->boxRight = sq->x2 = r;
    sq->boxBottom = sq->y2 = b;
    sq->fillColor = shadowSquareColour;
    sq->lineColor = shadowSquareColour;
    sq->penWidthPx = 1;
    sq->shapeVariant = 2;
    sq->shadowElevation = std::clamp(elevation, 0, 255);
    sq->shadowFade = std::clamp(fade, 0, 255);
    sq->shadowLightness = std::clamp(lightness, 0, 255);
    model::computeMeasure(sq);
    sq->zOrder = model::maxZOrder(doc) + 1;
    model::noteIds(doc, sq);
    return sq;
}

} // namespace

QImage drawShadowSample(int32_t elevation, int32_t fade, int32_t lightness, int32_t lightDirection)
{
    // A page of the picture's size in pixels at 100 %, holding the square.
    model::itemList_t doc;
    model::item_t* h = model::newItem(doc, model::typeHeader);
    h->kind = model::kindHeader;
    model::invalidateIds(doc);
    auto& hd = h->hdr();
    hd.zoom = 1.0;
    hd.unit = geometry::unitPixels;
    hd.pxPerUnitX = hd.pxPerUnitY = 1.0;
    hd.canvasWidth = hd.paperWidth = shadowSampleWidth;
    hd.canvasHeight = hd.paperHeight = shadowSampleHeight;
    hd.lightDirection = std::clamp(lightDirection, 0, 3);
    geometry::computeCanvasPixels(h);
    sampleSquare(doc, elevation, fade, lightness);
    render::renderView_t view;
    view.items = &doc;
    view.Image1 = render::newCanvasImage(shadowSampleWidth, shadowSampleHeight);
    render::repaintAll(view, false);
    QImage out = view.Image1;
    model::freeList(doc);
    return out;
}

int32_t shadowSampleOffset(int32_t elevation)
{
    model::item_t it;
    it.shadowElevation = std::clamp(elevation, 0, 255);
    return render::shadowOffsetPx(&it, 1.0);
}

QString shadowPercent(int32_t position)
{
    const long v = std::lround(position * 100.0 / 255.0);
    return v == 0 ? QStringLiteral("None") : QString::number(v) + QLatin1Char('%');
}

// ---- ttrackbar ------------------------------------------------------------------

ttrackbar::ttrackbar(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(0, 255);
    setTickInterval(8);
    setTickPosition(QSlider::TicksBelow);
    setValue(85);
    setMouseTracking(true);
}

void ttrackbar::mouseReleaseEvent(QMouseEvent* e)
{
    QSlider::mouseReleaseEvent(e);
    if (onReleased) onReleased();
}

void ttrackbar::keyReleaseEvent(QKeyEvent* e)
{
    QSlider::keyReleaseEvent(e);
    if (onReleased) onReleased();
}

void ttrackbar::wheelEvent(QWheelEvent* e) { e->accept(); }

// ---- TShadow --------------------------------------------------------------------

TShadow::TShadow(settings::TParams& params, QWidget* parent)
    : TPresetFrame(params, lookRed, parent), params_(params), rows_(params.customShadows),
      lightDirection_(std::clamp(params.lgtdir, 0, 3))
{
    stripAlwaysShown = true;
    QWidget* s = strip();
    auto* nameLabel = new QLabel(QStringLiteral("Name"), s);
    nameLabel->setGeometry(margin, margin, labelWidth, lineHeight - 4);
    nameField = new QLineEdit(s);
    nameField->setGeometry(margin + labelWidth, margin, sliderWidth, lineHeight - 4);
    QObject::connect(nameField, &QLineEdit::textChanged, this, [this] { nameChanged(); });

    auto* sampleLabel = new QLabel(QStringLiteral("Sample"), s);
    sampleLabel->setGeometry(margin, margin + lineHeight, labelWidth, lineHeight - 4);
    samplePicture = new QLabel(s);
    samplePicture->setGeometry(margin + labelWidth, margin + lineHeight, shadowSampleWidth, shadowSampleHeight);

    int32_t y = margin + lineHeight + shadowSampleHeight + margin;
    static const char* const captions[3] = {"Elevation", "Fade", "Lightness"};
    for (int32_t n = 0; n < 3; ++n) {
        auto* l = new QLabel(QString::fromLatin1(captions[n]), s);
        l->setGeometry(margin, y, labelWidth, lineHeight - 4);
        auto* t = new ttrackbar(s);
        t->setGeometry(margin + labelWidth, y, sliderWidth, lineHeight);
        t->setAccessibleName(l->text());
        valueLabels[size_t(n)] = new QLabel(shadowPercent(t->value()), s);
        valueLabels[size_t(n)]->setGeometry(margin + labelWidth + sliderWidth + margin, y, valueWidth + 20, lineHeight - 4);
        QObject::connect(t, &QSlider::valueChanged, this, [this, n] { sliderMoved(n); });
        t->onReleased = [this] { sliderReleased(); };
        t->installEventFilter(this);
        sliders[size_t(n)] = t;
        y += lineHeight + 4;
    }
    listedBox = new QCheckBox(s);
    listedBox->setGeometry(margin, y, labelWidth + sliderWidth + valueWidth + 20, lineHeight - 4);
    listedBox->installEventFilter(this);
    QObject::connect(listedBox, &QCheckBox::clicked, this, [this] { listedClicked(); });
    y += lineHeight;

    lightGroup_ = new QWidget(s);
    lightGroup_->setGeometry(margin, y, labelWidth + sliderWidth + valueWidth + 20, 3 * lineHeight);
    lightGroup_->installEventFilter(this);
    auto* lightLabel = new QLabel(QStringLiteral("Direction of Light"), lightGroup_);
    lightLabel->setGeometry(0, 0, 200, lineHeight - 4);
    static const char* const lights[4] = {"From top left", "From top right", "From bottom left", "From bottom right"};
    for (int32_t d = 0; d < 4; ++d) {
        auto* b = new QCheckBox(QString::fromLatin1(lights[d]), lightGroup_);
        b->setGeometry((d % 2) * 150, lineHeight * (1 + d / 2), 145, lineHeight - 4);
        QObject::connect(b, &QCheckBox::clicked, this, [this, d] { chooseLight(d); });
        b->installEventFilter(this);
        lightBoxes[size_t(d)] = b;
    }
    nameField->installEventFilter(this);
    nameField->setEnabled(false);
    listedBox->setEnabled(false);

    filling_ = true;
    for (int32_t d = 0; d < 4; ++d) lightBoxes[size_t(d)]->setChecked(d == lightDirection_);
    filling_ = false;
    startFrame();
    drawSample();
}

QSize TShadow::stripSize() const
{
    const int32_t w = 2 * margin + labelWidth + std::max(shadowSampleWidth, sliderWidth + margin + valueWidth + 20);
    const int32_t h = margin + lineHeight + shadowSampleHeight + margin + 3 * (lineHeight + 4) + lineHeight +
                      3 * lineHeight + margin;
    return {w, h};
}

int32_t TShadow::preferredHeight() const
{
    return std::max(presetLayout::frameHeight, stripSize().height() + 2 * presetLayout::helpBoxGap + margin);
}

std::pair<QString, QString> TShadow::helpTexts(bool chosen) const
{
    if (!chosen)
        return {QStringLiteral("Click on the shadow name in the left column to make or edit a shadow."), shadowSaveHelp};
    return {customiseHelp, shadowSaveHelp};
}

void TShadow::fillStrip(int32_t k)
{
    for (settings::custShadowRec_t& r : rows_) r.selectNext = 0;
    settings::custShadowRec_t& r = rows_[size_t(k - 1)];
    r.selectNext = 1;
    nameField->setEnabled(true);
    listedBox->setEnabled(true);
    nameField->setText(r.name);
    sliders[elevationSlider]->setValue(r.elevation);
    sliders[fadeSlider]->setValue(r.fade);
    sliders[lightnessSlider]->setValue(r.lightness);
    for (int32_t n = 0; n < 3; ++n) valueLabels[size_t(n)]->setText(shadowPercent(sliders[size_t(n)]->value()));
    showListed();
    drawSample();
}

void TShadow::showListed()
{
    if (!currentRow()) return;
    const settings::custShadowRec_t& r = rows_[size_t(currentRow() - 1)];
    listedBox->setText(QStringLiteral("Show '") + r.name + QStringLiteral("' in the shadows selection menu"));
    listedBox->setChecked(r.listed != 0);
}

void TShadow::nameChanged()
{
    if (filling_ || !currentRow()) return;
    settings::custShadowRec_t& r = row();
    r.name = nameField->text().trimmed();
    if (!r.edited) r.listed = 1;
    r.edited = 1;
    showListed();
    refreshRowButton(currentRow());
}

void TShadow::sliderMoved(int32_t n)
{
    valueLabels[size_t(n)]->setText(shadowPercent(sliders[size_t(n)]->value()));
    if (filling_) return;
    // A change without the mouse button down (the keyboard, a click on the
    // groove) ends at once.
    if (!sliders[size_t(n)]->isSliderDown()) sliderReleased();
}

void TShadow::sliderReleased()
{
    if (filling_) return;
    drawSample();
    if (!currentRow()) return;
    settings::custShadowRec_t& r = row();
    const int32_t e = sliders[elevationSlider]->value(), f = sliders[fadeSlider]->value(),
                  l = sliders[lightnessSlider]->value();
    if (r.elevation == e && r.fade == f && r.lightness == l) return;
    r.elevation = e;
    r.fade = f;
    r.lightness = l;
    if (!r.edited) r.listed = 1;
    r.edited = 1;
    showListed();
}

void TShadow::listedClicked()
{
    if (filling_ || !currentRow()) return;
    row().listed = listedBox->isChecked() ? 1 : 0;
    row().edited = 1;
}

void TShadow::chooseLight(int32_t d)
{
    if (d < 0 || d > 3) return;
    for (int32_t j = 0; j < 4; ++j) lightBoxes[size_t(j)]->setChecked(j == d);
    lightDirection_ = d;
    drawSample();
}

void TShadow::drawSample()
{
    sample_ = drawShadowSample(sliders[elevationSlider]->value(), sliders[fadeSlider]->value(),
                               sliders[lightnessSlider]->value(), lightDirection_);
    samplePicture->setPixmap(QPixmap::fromImage(sample_));
}

void TShadow::saveShadows() { settings::saveShadowRows(params_, rows_, lightDirection_); }

bool TShadow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == nameField) setHelp(customiseHelp, QStringLiteral("Customize the shadow name."));
        else if (watched == sliders[elevationSlider])
            setHelp(customiseHelp, QStringLiteral("Imagine that you are lifting the object from the surface. Higher "
                                                  "elevation makes a longer shadow."));
        else if (watched == sliders[fadeSlider])
            setHelp(customiseHelp, QStringLiteral("The shadow edges should fade when the object is elevated from the "
                                                  "surface to make a realistic shadow."));
        else if (watched == sliders[lightnessSlider])
            setHelp(customiseHelp,
                    QStringLiteral("You can make the shadow darker or lighter to deepen or soften the shadow."));
        else if (watched == listedBox)
            setHelp(customiseHelp, QStringLiteral("Check this option to add the shadow into the pull-down menus in the "
                                                  "fine-tune and preview screens."));
        else if (watched == lightGroup_ || std::find(lightBoxes.begin(), lightBoxes.end(), watched) != lightBoxes.end())
            setHelp(QStringLiteral("The source of the imaginary light determines where the shadow casts."),
                    QStringLiteral("The light direction applies to all shadows in your design."));
    }
    return TPresetFrame::eventFilter(watched, event);
}

} // namespace ui
