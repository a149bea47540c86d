// The printer calibration window: prints the calibration sheet on a chosen
// printer, takes the crosshairs' measured positions (in the document's unit),
// solves the printer's distortion, shows each mark's residual and the
// warnings, and stores the result for the printer and paper source, or
// clears it.
#pragma once

#include "output/calibration.h"
#include "settings/store.h"

#include <QDialog>
#include <QSizeF>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

class TCalibration : public QDialog {
public:
    // `unit` is the document's (geometry::unitMillimetres or unitInches;
    // anything else shows millimetres); `paperMm` the paper the sheet is for.
    TCalibration(settings::settingsStore_t* store, int32_t unit, QSizeF paperMm, QWidget* parent = nullptr);

    // The printer and paper source the result is for.
    void setPrinter(const QString& printer, const QString& paperSource);
    QString printer() const;
    QString paperSource() const;

    // Types a mark's measured position (in the window's unit); "" leaves it out.
    void setMeasured(const QString& mark, const QString& x, const QString& y);
    // Solves from the marks typed; false (with the reason shown) when there
    // is no usable result.
    bool solve();
    // Stores the solved result for the printer; clears the stored one.
    bool storeResult();
    bool clear();
    // Prints the calibration sheet through the print dialog, on the printer
    // then chosen (which becomes the window's printer).
    bool printSheet();

    const output::calibrationFit_t& fit() const { return fit_; }
    QString resultText() const;
    QString storedText() const;
    QString residualText(const QString& mark) const;

private:
    struct markRow_t {
        output::calibrationMark_t nominal;
        QLineEdit* x = nullptr;
        QLineEdit* y = nullptr;
        QLabel* residual = nullptr;
    };
    double toMm(double v) const { return inches_ ? v * 25.4 : v; }
    double fromMm(double mm) const { return inches_ ? mm / 25.4 : mm; }
    void showStored();
    void forgetResult();

    settings::settingsStore_t* store_;
    bool inches_;
    QSizeF paperMm_;
    output::calibrationFit_t fit_;
    std::vector<markRow_t> rows_;
    QComboBox* printerBox_ = nullptr;
    QComboBox* sourceBox_ = nullptr;
    QLabel* stored_ = nullptr;
    QLabel* result_ = nullptr;
    QLabel* warnings_ = nullptr;
    QPushButton* storeButton_ = nullptr;
};

} // namespace ui
