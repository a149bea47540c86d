#include "ui/calibrationwindow.h"

#include "geometry/units.h"
#include "settings/calibrationstore.h"
#include "ui/dialogs.h"
#include "ui/printjob.h"

#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {

// The paper sources offered; the print flow looks a correction up by the
// source the print dialog reports.
constexpr QPrinter::PaperSource offeredSources[] = {QPrinter::Auto,   QPrinter::OnlyOne,  QPrinter::Lower,
                                                    QPrinter::Middle, QPrinter::Manual,   QPrinter::Tractor,
                                                    QPrinter::Cassette, QPrinter::LargeCapacity};

} // namespace

TCalibration::TCalibration(settings::settingsStore_t* store, int32_t unit, QSizeF paperMm, QWidget* parent)
    : QDialog(parent), store_(store), inches_(unit == geometry::unitInches), paperMm_(paperMm)
{
    setWindowTitle(QStringLiteral("Calibrate printer"));
    auto* outer = new QVBoxLayout(this);

    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(new QLabel(QStringLiteral("Printer:")));
    printerBox_ = new QComboBox;
    printerBox_->setEditable(true);
    printerBox_->addItems(QPrinterInfo::availablePrinterNames());
    printerBox_->setCurrentText(QPrinterInfo::defaultPrinterName());
    printerRow->addWidget(printerBox_, 1);
    printerRow->addWidget(new QLabel(QStringLiteral("Paper source:")));
    sourceBox_ = new QComboBox;
    for (QPrinter::PaperSource s : offeredSources) sourceBox_->addItem(paperSourceName(s));
    printerRow->addWidget(sourceBox_);
    outer->addLayout(printerRow);
    stored_ = new QLabel;
    outer->addWidget(stored_);

    auto* printButton = new QPushButton(QStringLiteral("Print calibration sheet..."));
    outer->addWidget(printButton, 0, Qt::AlignLeft);
    const QString unitName = inches_ ? QStringLiteral("in") : QStringLiteral("mm");
    outer->addWidget(new QLabel(QStringLiteral("Measured centres of the crosshairs from the paper's top-left corner (%1); "
                                               "any three or more:").arg(unitName)));
    auto* grid = new QGridLayout;
    const QStringList heads = {QStringLiteral("Mark"), QStringLiteral("Printed at"), QStringLiteral("Measured x"),
                               QStringLiteral("Measured y"), QStringLiteral("Residual")};
    for (int c = 0; c < heads.size(); ++c) grid->addWidget(new QLabel(heads[c]), 0, c);
    const int decimals = inches_ ? 3 : 1;
    for (const output::calibrationMark_t& m : output::calibrationMarks(paperMm_)) {
        markRow_t row{m, new QLineEdit, new QLineEdit, new QLabel};
        const int r = int(rows_.size()) + 1;
        grid->addWidget(new QLabel(m.name), r, 0);
        grid->addWidget(new QLabel(QStringLiteral("%1, %2 %3")
                                       .arg(QString::number(fromMm(m.mm.x()), 'f', decimals),
                                            QString::number(fromMm(m.mm.y()), 'f', decimals), unitName)),
                        r, 1);
        grid->addWidget(row.x, r, 2);
        grid->addWidget(row.y, r, 3);
        grid->addWidget(row.residual, r, 4);
        for (QLineEdit* e : {row.x, row.y}) connect(e, &QLineEdit::textEdited, this, [this] { forgetResult(); });
        rows_.push_back(row);
    }
    outer->addLayout(grid);

    auto* actions = new QHBoxLayout;
    auto* solveButton = new QPushButton(QStringLiteral("Solve"));
    storeButton_ = new QPushButton(QStringLiteral("Use for this printer"));
    auto* clearButton = new QPushButton(QStringLiteral("Clear"));
    actions->addWidget(solveButton);
    actions->addWidget(storeButton_);
    actions->addWidget(clearButton);
    actions->addStretch(1);
    outer->addLayout(actions);
    result_ = new QLabel;
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    outer->addWidget(result_);
    warnings_ = new QLabel;
    warnings_->setStyleSheet(QStringLiteral("color: #b00000"));
    warnings_->setWordWrap(true);
    outer->addWidget(warnings_);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close);
    outer->addWidget(close);

    connect(printButton, &QPushButton::clicked, this, [this] { printSheet(); });
    connect(solveButton, &QPushButton::clicked, this, [this] { solve(); });
    connect(storeButton_, &QPushButton::clicked, this, [this] { storeResult(); });
    connect(clearButton, &QPushButton::clicked, this, [this] { clear(); });
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(printerBox_, &QComboBox::currentTextChanged, this, [this] { showStored(); });
    connect(sourceBox_, &QComboBox::currentTextChanged, this, [this] { showStored(); });
    forgetResult();
    showStored();
}

void TCalibration::setPrinter(const QString& printer, const QString& paperSource)
{
    printerBox_->setCurrentText(printer);
    if (sourceBox_->findText(paperSource) < 0) sourceBox_->addItem(paperSource);
    sourceBox_->setCurrentText(paperSource);
    showStored();
}

QString TCalibration::printer() const { return printerBox_->currentText().trimmed(); }
QString TCalibration::paperSource() const { return sourceBox_->currentText(); }

void TCalibration::setMeasured(const QString& mark, const QString& x, const QString& y)
{
    for (markRow_t& r : rows_)
        if (r.nominal.name == mark) {
            r.x->setText(x);
            r.y->setText(y);
        }
    forgetResult();
}

bool TCalibration::solve()
{
    forgetResult();
    std::vector<output::calibrationMark_t> measured;
    std::vector<size_t> rowOf;
    const QLocale locale;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const QString xt = rows_[i].x->text().trimmed(), yt = rows_[i].y->text().trimmed();
        if (xt.isEmpty() && yt.isEmpty()) continue;
        bool okX = false, okY = false;
        // Either the user's decimal comma or a point.
        double x = locale.toDouble(xt, &okX), y = locale.toDouble(yt, &okY);
        if (!okX) x = xt.toDouble(&okX);
        if (!okY) y = yt.toDouble(&okY);
        if (!okX || !okY) {
            result_->setText(QStringLiteral("The position of %1 is not a number.").arg(rows_[i].nominal.name));
            return false;
        }
        measured.push_back({rows_[i].nominal.name, QPointF(toMm(x), toMm(y))});
        rowOf.push_back(i);
    }
    fit_ = output::solveCalibration(paperMm_, measured);
    if (!fit_.ok) {
        result_->setText(fit_.error);
        return false;
    }
    for (size_t k = 0; k < rowOf.size(); ++k)
        rows_[rowOf[k]].residual->setText(QStringLiteral("%1 mm").arg(QString::number(fit_.residuals[k], 'f', 2)));
    result_->setText(QStringLiteral("The printer's distortion: ") + output::distortionSummary(fit_.distortion));
    warnings_->setText(fit_.warnings.join(QLatin1Char('\n')));
    storeButton_->setEnabled(true);
    return true;
}

bool TCalibration::storeResult()
{
    if (!fit_.ok || !store_ || printer().isEmpty()) return false;
    if (!settings::saveCalibration(*store_, printer(), paperSource(), fit_.distortion)) {
        dialogs().message(msgKind_t::error, QStringLiteral("The correction could not be stored."), btnOk);
        return false;
    }
    showStored();
    return true;
}

bool TCalibration::clear()
{
    if (!store_ || printer().isEmpty()) return false;
    const bool cleared = settings::clearCalibration(*store_, printer(), paperSource());
    showStored();
    return cleared;
}

bool TCalibration::printSheet()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Printer calibration sheet"));
    if (!this->printer().isEmpty()) printer.setPrinterName(this->printer());
    printer.setPageSize(QPageSize(paperMm_, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!dialogs().printDialog(printer)) return false;
    const QString name = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
    if (printer.outputFormat() == QPrinter::NativeFormat) setPrinter(printer.printerName(), paperSourceName(printer.paperSource()));
    if (printer.resolution() > maxPrinterDpi) printer.setResolution(maxPrinterDpi);
    QPainter painter;
    if (!painter.begin(&printer)) {
        dialogs().message(msgKind_t::error, QStringLiteral("The calibration sheet could not be printed to %1.").arg(name), btnOk);
        return false;
    }
    const QString date = QLocale::c().toString(QDate::currentDate(), QStringLiteral("yyyy-MM-dd"));
    output::drawCalibrationSheet(painter, paperMm_, printerDevice(printer),
                                 QStringLiteral("Printer: %1 · %2 · %3").arg(name, paperSourceName(printer.paperSource()), date));
    return painter.end();
}

QString TCalibration::resultText() const { return result_->text() + (warnings_->text().isEmpty() ? QString() : QStringLiteral("\n") + warnings_->text()); }
QString TCalibration::storedText() const { return stored_->text(); }

QString TCalibration::residualText(const QString& mark) const
{
    for (const markRow_t& r : rows_)
        if (r.nominal.name == mark) return r.residual->text();
    return {};
}

void TCalibration::showStored()
{
    std::optional<settings::printerDistortion_t> d;
    if (store_ && !printer().isEmpty()) d = settings::loadCalibration(*store_, printer(), paperSource());
    stored_->setText(d ? QStringLiteral("In use for this printer: ") + output::distortionSummary(*d)
                       : QStringLiteral("No correction is stored for this printer and paper source."));
}

void TCalibration::forgetResult()
{
    fit_ = {};
    result_->clear();
    for (markRow_t& r : rows_) r.residual->clear();
    warnings_->clear();
    storeButton_->setEnabled(false);
}

} // namespace ui
