#include "ui/preseteditors.h"

#include "model/item.h"
#include "render/strokes.h"
#include "render/surface.h"
#include "settings/presetsave.h"

#include <QPixmap>

namespace ui {

namespace {

const QString saveHelp = QStringLiteral(
    "When done, click on the Save button. Click on the Cancel button to close this window without applying any changes.");

constexpr int32_t stripMargin = 8;
constexpr int32_t labelWidth = 70;
constexpr int32_t fieldWidth = 150;
constexpr int32_t lineHeight = 24;

QLabel* label(const QString& text, QWidget* parent, int32_t x, int32_t y, int32_t w = labelWidth)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, lineHeight - 2);
    return l;
}

QLineEdit* field(QWidget* parent, int32_t x, int32_t y, int32_t w = fieldWidth)
{
    auto* f = new QLineEdit(parent);
    f->setGeometry(x, y, w, lineHeight - 2);
    return f;
}

QComboBox* unitChoice(const QStringList& names, QWidget* parent, int32_t x, int32_t y)
{
    auto* c = new QComboBox(parent);
    c->addItems(names);
    c->setGeometry(x, y, fieldWidth, lineHeight - 2);
    return c;
}

const QStringList lengthUnits{QStringLiteral("Pixels"), QStringLiteral("Millimeters"), QStringLiteral("Inches")};

// A unit code (1..count) as a list position; a stored code out of range shows no entry.
int32_t unitPosition(int32_t units, int32_t count) { return units >= 1 && units <= count ? units - 1 : -1; }

} // namespace

QImage drawLineSample(int32_t weightPx, double weightMm, const std::vector<double>& dashesMm)
{
    QImage img(lineSampleWidth, lineSampleHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    if (weightPx <= 0) return img;
    model::item_t line;
    line.itemType = model::typeLine;
    line.lineColor = 0;
    line.fillColor = -2;
    line.lineWeight = weightMm;
    line.penWidthPx = weightPx;
    line.angle = 0;
    render::lineStyle_t style;
    style.bandWidth = weightPx;
    const render::pattern_t pattern =
        dashesMm.empty() ? render::pattern_t{render::solidDash}
                         : render::patternFromLengths(dashesMm.data(), static_cast<int32_t>(dashesMm.size()), 1.0);
    render::canvas_t canvas(img);
    const double y = lineSampleHeight / 2;
    // The sample is clipped to its picture: a weight wider than it fills it.
    render::drawLine(canvas, &line, {4.0, y}, {double(lineSampleWidth - 5), y}, style, pattern);
    return img;
}

// ---- TThickness ---------------------------------------------------------------

TThickness::TThickness(settings::TParams& params, QWidget* parent)
    : TPresetFrame(params, lookRed, parent), params_(params), rows_(params.customWidths)
{
    QWidget* s = strip();
    const int32_t x = stripMargin + labelWidth;
    label(QStringLiteral("Name"), s, stripMargin, stripMargin);
    nameField = field(s, x, stripMargin);
    label(QStringLiteral("Thickness"), s, stripMargin, stripMargin + lineHeight);
    valueField = field(s, x, stripMargin + lineHeight);
    label(QStringLiteral("Units"), s, stripMargin, stripMargin + 2 * lineHeight);
    unitList = unitChoice(lengthUnits, s, x, stripMargin + 2 * lineHeight);
    label(QStringLiteral("Sample"), s, stripMargin, stripMargin + 3 * lineHeight);
    samplePicture = new QLabel(s);
    samplePicture->setGeometry(x, stripMargin + 3 * lineHeight, lineSampleWidth, lineSampleHeight);
    QObject::connect(nameField, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (filling_ || !currentRow()) return;
        row().name = t.trimmed();
        refreshRowButton(currentRow());
    });
    QObject::connect(valueField, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (filling_ || !currentRow()) return;
        row().valueText = t.trimmed();
        showSample();
    });
    QObject::connect(unitList, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (filling_ || !currentRow() || i < 0) return;
        row().units = i + 1;
        showSample();
    });
    startFrame();
}

void TThickness::showSample()
{
    // The row as Save would take it, without touching the settings.
    settings::custThicknessRec_t r = row();
    r.valueText = r.valueText.trimmed();
    if (r.valueText.contains(QLatin1Char('"'))) {
        r.valueText.remove(QLatin1Char('"'));
        r.units = 3;
    }
    const bool valid = params_.checkWidthRow(r) && r.value <= settings::maxPresetWeightMm;
    sample_ = drawLineSample(valid ? std::max(r.pixels, 1) : 0, r.value, {});
    samplePicture->setPixmap(QPixmap::fromImage(sample_));
}

void TThickness::fillStrip(int32_t k)
{
    const settings::custThicknessRec_t& r = rows_[size_t(k - 1)];
    nameField->setText(r.name);
    valueField->setText(r.valueText);
    unitList->setCurrentIndex(unitPosition(r.units, 3));
    showSample();
}

std::pair<QString, QString> TThickness::helpTexts(bool chosen) const
{
    if (!chosen) return {QStringLiteral("Click on the line weight name in the left column to enter new values."), saveHelp};
    return {QStringLiteral("Enter a new name for the thickness in the Name field. You will be able to select the "
                           "thickness by this name."),
            QStringLiteral("Then, enter the value of the thickness and select the measuring units. Enter the thickness "
                           "of zero to remove the thickness from the pull-down list.")};
}

QSize TThickness::stripSize() const
{
    return {2 * stripMargin + labelWidth + fieldWidth, 2 * stripMargin + 3 * lineHeight + lineSampleHeight};
}

void TThickness::saveCth() { settings::saveWidthRows(params_, rows_, currentRow()); }

// ---- TPatterns ------------------------------------------------------------------

namespace {
constexpr int32_t segmentWidth = 70;
}

TPatterns::TPatterns(settings::TParams& params, QWidget* parent)
    : TPresetFrame(params, lookBlue, parent), params_(params), rows_(params.customPatterns)
{
    QWidget* s = strip();
    const int32_t x = stripMargin + labelWidth;
    label(QStringLiteral("Name"), s, stripMargin, stripMargin);
    nameField = field(s, x, stripMargin);
    label(QStringLiteral("Units"), s, stripMargin, stripMargin + lineHeight);
    unitList = unitChoice(lengthUnits, s, x, stripMargin + lineHeight);
    const int32_t headY = stripMargin + 2 * lineHeight + 4;
    label(QStringLiteral("Dash"), s, x, headY, segmentWidth);
    label(QStringLiteral("Space"), s, x + segmentWidth + stripMargin, headY, segmentWidth);
    for (int32_t k = 0; k < 12; ++k) {
        const int32_t column = k % 2, line = k / 2;
        segmentFields[size_t(k)] =
            field(s, x + column * (segmentWidth + stripMargin), headY + lineHeight * (line + 1), segmentWidth);
        segmentFields[size_t(k)]->setAccessibleName((column ? QStringLiteral("Space ") : QStringLiteral("Dash ")) + QString::number(line + 1));
        QObject::connect(segmentFields[size_t(k)], &QLineEdit::textChanged, this, [this, k](const QString& t) {
            if (filling_ || !currentRow()) return;
            row().segmentText[size_t(k)] = t.trimmed();
            showSample();
        });
    }
    // The sample to the right of the two columns.
    const int32_t sampleX = x + 2 * (segmentWidth + stripMargin) + stripMargin;
    label(QStringLiteral("Sample"), s, sampleX, headY, segmentWidth);
    samplePicture = new QLabel(s);
    samplePicture->setGeometry(sampleX, headY + lineHeight, lineSampleWidth, lineSampleHeight);
    QObject::connect(nameField, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (filling_ || !currentRow()) return;
        row().name = t.trimmed();
        refreshRowButton(currentRow());
    });
    QObject::connect(unitList, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (filling_ || !currentRow() || i < 0) return;
        row().units = i + 1;
        showSample();
    });
    startFrame();
}

void TPatterns::showSample()
{
    settings::custPatternRec_t r = row();
    r.segmentText[0] = r.segmentText[0].trimmed();
    if (r.segmentText[0].contains(QLatin1Char('"'))) {
        r.segmentText[0].remove(QLatin1Char('"'));
        r.units = 3;
    }
    std::vector<double> dashes;
    if (params_.checkPatternRow(r)) dashes.assign(r.segments.begin(), r.segments.begin() + r.count);
    // The thinnest line, as the pattern lists draw it.
    sample_ = drawLineSample(dashes.empty() ? 0 : 1, 0.0, dashes);
    samplePicture->setPixmap(QPixmap::fromImage(sample_));
}

void TPatterns::fillStrip(int32_t k)
{
    const settings::custPatternRec_t& r = rows_[size_t(k - 1)];
    nameField->setText(r.name);
    unitList->setCurrentIndex(unitPosition(r.units, 3));
    for (int32_t j = 0; j < 12; ++j) segmentFields[size_t(j)]->setText(r.segmentText[size_t(j)]);
    showSample();
}

std::pair<QString, QString> TPatterns::helpTexts(bool chosen) const
{
    if (!chosen) return {QStringLiteral("Click on the pattern name in the left column to enter new values."), saveHelp};
    return {QStringLiteral("Enter a new name for the line pattern in the Name field. You will be able to select the "
                           "pattern by this name."),
            QStringLiteral("Then, select the measuring units and enter the lengths of the dashes and spaces. Make the "
                           "first dash equal to zero to remove the pattern from the pull-down list.")};
}

QSize TPatterns::stripSize() const
{
    return {labelWidth + 2 * (segmentWidth + stripMargin) + 2 * stripMargin + lineSampleWidth + stripMargin,
            2 * stripMargin + 2 * lineHeight + 4 + 7 * lineHeight};
}

void TPatterns::savePat() { settings::savePatternRows(params_, rows_, currentRow()); }

// ---- TDirections ----------------------------------------------------------------

int32_t directionTableOfMode(int32_t mode)
{
    switch (mode) {
    case directionModeLines: return 1;
    case directionModeText: return 31;
    case directionModeSizes: return 41;
    default: return 0;
    }
}

TDirections::TDirections(settings::TParams& params, int32_t mode, QWidget* parent)
    : TPresetFrame(params, lookRed, parent), params_(params), mode_(mode)
{
    if (const settings::custDirection_t* t = params.directionTable(directionTableOfMode(mode))) rows_ = *t;
    const bool sizes = mode_ == directionModeSizes;
    QWidget* s = strip();
    const int32_t x = stripMargin + labelWidth;
    label(QStringLiteral("Name"), s, stripMargin, stripMargin);
    nameField = field(s, x, stripMargin);
    valueLabel = label(sizes ? QStringLiteral("Size") : QStringLiteral("Angle"), s, stripMargin, stripMargin + lineHeight);
    valueField = field(s, x, stripMargin + lineHeight);
    unitLabel = label(QStringLiteral("Units"), s, stripMargin, stripMargin + 2 * lineHeight);
    unitList = unitChoice({QStringLiteral("Degrees"), QStringLiteral("Radians")}, s, x, stripMargin + 2 * lineHeight);
    unitLabel->setVisible(!sizes);
    unitList->setVisible(!sizes);
    QObject::connect(nameField, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (filling_ || !currentRow()) return;
        row().name = t.trimmed();
        refreshRowButton(currentRow());
    });
    QObject::connect(valueField, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!filling_ && currentRow()) row().valueText = t.trimmed();
    });
    // Sizes keep their unit as it is.
    QObject::connect(unitList, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!filling_ && currentRow() && i >= 0 && mode_ != directionModeSizes) row().units = i + 1;
    });
    startFrame();
}

void TDirections::fillStrip(int32_t k)
{
    const settings::custDirectionRec_t& r = rows_[size_t(k - 1)];
    nameField->setText(r.name);
    valueField->setText(r.valueText);
    unitList->setCurrentIndex(unitPosition(r.units, 2));
}

std::pair<QString, QString> TDirections::helpTexts(bool chosen) const
{
    if (!chosen) {
        if (mode_ == directionModeSizes)
            return {QStringLiteral("Click on the name in the left column to enter or change the font size."), saveHelp};
        return {QStringLiteral("Click on the name in the left column to enter or change the angle."), saveHelp};
    }
    switch (mode_) {
    case directionModeLines:
        return {QStringLiteral("Enter a new name in the Name field. You will be able to select the angle by this name."),
                QStringLiteral("Then, enter the angle of the line. Leave the angle field empty to remove the direction "
                               "from the pull-down list.")};
    case directionModeText:
        return {QStringLiteral("Enter a new name in the Name field. You will be able to select the angle by this name."),
                QStringLiteral("Then, enter the angle of the text. Leave the angle field empty to remove this item from "
                               "the pull-down list.")};
    default:
        return {QStringLiteral("Enter a new name in the Name field. You will be able to select the font size by this "
                               "name."),
                QStringLiteral("Then, enter the font size. Leave the font size field empty to remove the size from the "
                               "pull-down list.")};
    }
}

QSize TDirections::stripSize() const { return {2 * stripMargin + labelWidth + fieldWidth, 2 * stripMargin + 3 * lineHeight}; }

void TDirections::saveRows() { settings::saveDirectionRows(params_, directionTableOfMode(mode_), rows_, currentRow()); }

} // namespace ui
