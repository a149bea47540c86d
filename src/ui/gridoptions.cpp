#include "ui/gridoptions.h"

#include "geometry/units.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace ui {

namespace {

constexpr int32_t unitPixels = 1, unitMillimetres = 2, unitInches = 3;

// The first occurrence of each keyword in bold.
QString withKeywords(QString text, const QStringList& keywords)
{
    text = text.toHtmlEscaped();
    for (const QString& k : keywords) {
        const int at = text.indexOf(k);
        if (at >= 0) text.replace(at, k.size(), QStringLiteral("<b>") + k + QStringLiteral("</b>"));
    }
    return text;
}

QLabel* explanation(const QString& text, const QStringList& keywords, QWidget* parent)
{
    auto* l = new QLabel(withKeywords(text, keywords), parent);
    l->setTextFormat(Qt::RichText);
    l->setWordWrap(true);
    return l;
}

} // namespace

QString densityUnitName(int32_t unit)
{
    if (unit == unitMillimetres) return QStringLiteral("Millimeters");
    if (unit == unitInches) return QStringLiteral("Inches");
    return QStringLiteral("Pixels");
}

void readDensityTexts(settings::defaults_t& d)
{
    settings::defaultsRec_t& r = d.record(d.units);
    double v = 0;
    if (geometry::parseMeasure(r.anchorStepXText.toStdString(), v)) r.anchorStepX = v;
    if (geometry::parseMeasure(r.anchorStepYText.toStdString(), v)) r.anchorStepY = v;
}

TOptions::TOptions(int32_t code, const settings::defaults_t& start, gridOptionsApply_t apply, QWidget* parent)
    : THostedPanel(parent), code_(code), d_(start), apply_(std::move(apply))
{
    setObjectName(QStringLiteral("TOptions"));
    const char* titles[2] = {"Horizontal", "Vertical"};
    const int32_t lefts[2] = {12, 156};
    for (int i = 0; i < 2; ++i) {
        auto* box = new QGroupBox(QString::fromLatin1(titles[i]), this);
        box->setGeometry(lefts[i], 12, 136, 170);
        auto* v = new QVBoxLayout(box);
        direction_t& c = dir[size_t(i)];
        c.showGrid = new QCheckBox(QStringLiteral("Show Gridlines"), box);
        c.showAnchors = new QCheckBox(QStringLiteral("Show Anchors"), box);
        c.snap = new QCheckBox(QStringLiteral("Snap to Grid"), box);
        c.densityLabel = new QLabel(box);
        c.densityLabel->setWordWrap(true);  // "(Millimeters)" goes below when it does not fit
        c.density = new QLineEdit(box);
        for (QWidget* w : {static_cast<QWidget*>(c.showGrid), static_cast<QWidget*>(c.showAnchors),
                           static_cast<QWidget*>(c.snap), static_cast<QWidget*>(c.densityLabel),
                           static_cast<QWidget*>(c.density)})
            v->addWidget(w);
        const bool x = i == 0;
        c.showGrid->setChecked(x ? d_.showGridX : d_.showGridY);
        c.showAnchors->setChecked(x ? d_.showAnchorsX : d_.showAnchorsY);
        c.snap->setChecked(x ? d_.snapX : d_.snapY);
        // The copy follows every change; texts are kept as typed.
        connect(c.showGrid, &QCheckBox::toggled, this, [this, x](bool on) { (x ? d_.showGridX : d_.showGridY) = on; });
        connect(c.showAnchors, &QCheckBox::toggled, this,
                [this, x](bool on) { (x ? d_.showAnchorsX : d_.showAnchorsY) = on; });
        connect(c.snap, &QCheckBox::toggled, this, [this, x](bool on) { (x ? d_.snapX : d_.snapY) = on; });
        connect(c.density, &QLineEdit::textEdited, this, [this, x](const QString& t) {
            settings::defaultsRec_t& r = d_.record(d_.units);
            (x ? r.anchorStepXText : r.anchorStepYText) = t;
        });
    }

    int32_t y = 192;
    if (code_ == hostedGridNewFiles) {
        // New files choose their unit here as well; a document keeps its own.
        auto* label = new QLabel(QStringLiteral("Measuring Units"), this);
        label->setGeometry(12, y + 3, 120, 20);
        unitBox = new QComboBox(this);
        unitBox->addItems({densityUnitName(unitPixels), densityUnitName(unitMillimetres), densityUnitName(unitInches)});
        unitBox->setGeometry(156, y, 136, 24);
        unitBox->setCurrentIndex(std::clamp(d_.units, 1, 3) - 1);
        connect(unitBox, &QComboBox::currentIndexChanged, this, [this](int i) {
            d_.units = i + 1;
            showUnit();
        });
        y += 34;
    }

    auto* texts = new QWidget(this);
    texts->setGeometry(12, y, 280, 200);
    auto* tv = new QVBoxLayout(texts);
    tv->setContentsMargins(0, 0, 0, 0);
    tv->addWidget(explanation(
        QStringLiteral("Grid Anchors are the starting points of gridlines, small blue cylinders that appear next to the "
                       "rulers. When the anchors are visible, you can move or delete each gridline by moving or "
                       "deleting its anchor."),
        {QStringLiteral("Grid Anchors")}, texts));
    tv->addWidget(explanation(
        QStringLiteral("Grid Density is the initial, default distance between the gridlines.") + QLatin1Char(' ') +
            QStringLiteral("Once you establish the grid, you can further customize each distance by moving the "
                           "anchors. Each drawing has its own grid that is saved with the file."),
        {QStringLiteral("Grid Density")}, texts));
    tv->addWidget(explanation(
        QStringLiteral("Horizontal grid makes vertical gridlines that help you position objects in horizontal "
                       "direction, that is why you see vertical lines when you select horizontal grid."),
        {QStringLiteral("Horizontal grid"), QStringLiteral("vertical gridlines")}, texts));
    tv->addStretch(1);
    showUnit();
}

void TOptions::showUnit()
{
    const settings::defaultsRec_t& r = d_.record(d_.units);
    const QString label = QStringLiteral("Grid Density") + QStringLiteral(" (") + densityUnitName(d_.units) + QLatin1Char(')');
    for (int i = 0; i < 2; ++i) {
        dir[size_t(i)].densityLabel->setText(label);
        const QString& text = i == 0 ? r.anchorStepXText : r.anchorStepYText;
        const double v = i == 0 ? r.anchorStepX : r.anchorStepY;
        dir[size_t(i)].density->setText(text.isEmpty() ? QString::number(v, 'g', 6) : text);
    }
}

QSize TOptions::preferredClientSize() const
{
    return {304, code_ == hostedGridNewFiles ? 436 : 402};
}

bool TOptions::applyHosted()
{
    // A field never edited shows the number: keep it as the text as well.
    settings::defaultsRec_t& r = d_.record(d_.units);
    if (r.anchorStepXText.isEmpty()) r.anchorStepXText = dir[0].density->text();
    if (r.anchorStepYText.isEmpty()) r.anchorStepYText = dir[1].density->text();
    readDensityTexts(d_);
    if (apply_) apply_(d_);
    return true;
}

} // namespace ui
