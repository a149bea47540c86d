#include "panels/adjustmentsliders.h"
#include "panels/panellayout.h"

#include "model/metrics.h"
#include "ui/panellook.h"

#include <QLabel>
#include <QSlider>

namespace panels {

QString adjustmentText(int32_t position)
{
    if (position == 0) return QStringLiteral("Normal");
    const int32_t percent = position > 0 ? model::roundHalfEven(position * 100.0L / adjustmentSliders_t::maximum)
                                         : -model::roundHalfEven(position * 100.0L / adjustmentSliders_t::minimum);
    return QString::number(percent) + QLatin1Char('%');
}

adjustmentSliders_t::adjustmentSliders_t(QWidget* parent) : QWidget(parent)
{
    static const char* const captions[3] = {"Saturation", "Contrast", "Lightness"};
    for (int32_t k = 0; k < 3; ++k) {
        labels_[k] = new QLabel(QString::fromLatin1(captions[k]), this);
        labels_[k]->setFont(ui::interfaceFont(false));
        values_[k] = new QLabel(adjustmentText(0), this);
        values_[k]->setFont(ui::interfaceFont(false));
        values_[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* s = new QSlider(Qt::Horizontal, this);
        s->setRange(minimum, maximum);
        s->setTickInterval(tickStep);
        s->setTickPosition(QSlider::TicksBelow);
        s->setSingleStep(1);
        s->setPageStep(tickStep);
        s->setValue(0);
        s->setAccessibleName(labels_[k]->text());
        sliders_[k] = s;
        QObject::connect(s, &QSlider::valueChanged, this, [this, k, s](int v) {
            moved(k, v);
            // The keyboard and clicks beside the knob move it without a drag:
            // those steps are final at once.
            if (!s->isSliderDown()) apply();
        });
        QObject::connect(s, &QSlider::sliderReleased, this, [this] { apply(); });
    }
}

void adjustmentSliders_t::showPositions(int32_t saturation, int32_t contrast, int32_t lightness)
{
    building_ = true;
    const int32_t given[3] = {saturation, contrast, lightness};
    for (int32_t k = 0; k < 3; ++k) {
        const int32_t p = given[k] == mixed ? 0 : given[k];
        sliders_[k]->setValue(p);
        values_[k]->setText(adjustmentText(sliders_[k]->value()));
    }
    building_ = false;
}

int32_t adjustmentSliders_t::position(int32_t k) const { return sliders_[k]->value(); }

void adjustmentSliders_t::moved(int32_t k, int32_t position) { values_[k]->setText(adjustmentText(position)); }

void adjustmentSliders_t::apply()
{
    if (building_ || ignoring_ || !onApply) return;
    onApply(position(saturationSlider), position(contrastSlider), position(lightnessSlider));
}

namespace {
using layout::sliders::textHeight, layout::sliders::sliderHeight, layout::sliders::rowGap;
} // namespace

int32_t adjustmentSliders_t::neededHeight() const { return 3 * (textHeight + sliderHeight + rowGap); }

void adjustmentSliders_t::resizeEvent(QResizeEvent*)
{
    int32_t y = 0;
    for (int32_t k = 0; k < 3; ++k) {
        // The caption on the left, the value text above the slider's right end.
        labels_[k]->setGeometry(0, y, width(), textHeight);
        values_[k]->setGeometry(width() / 2, y, width() - width() / 2, textHeight);
        y += textHeight;
        sliders_[k]->setGeometry(0, y, width(), sliderHeight);
        y += sliderHeight + rowGap;
    }
}

} // namespace panels
