// Printer calibration: a test sheet of crosshairs at known places and
// millimetre rulers, the least-squares fit of where a printer really put the
// crosshairs, and the inverse of that distortion as a transform on the
// printer's painter, so that a corrected print lands where the page says.
#pragma once

#include "output/renderoutput.h"
#include "settings/calibrationstore.h"

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <vector>

class QPainter;

namespace output {

using settings::printerDistortion_t;

// A crosshair of the sheet, or a measured position of one: millimetres from
// the paper's top-left corner.
struct calibrationMark_t {
    QString name;
    QPointF mm;
};

// The sheet's crosshairs for a paper of `paperMm`: near the four corners
// ("TL", "TR", "BL", "BR") and at the centre ("C").
std::vector<calibrationMark_t> calibrationMarks(QSizeF paperMm);

// The outcome of fitting measured marks.
struct calibrationFit_t {
    bool ok = false;
    QString error;                 // why there is no result (ok false)
    printerDistortion_t distortion;
    std::vector<double> residuals;  // per measured mark, mm, in the order given
    double worstResidual = 0;
    QStringList warnings;           // a result that looks like a typing slip
};

// Above these a result is shown with a warning.
constexpr double warnScaleError = 0.05;
constexpr double warnResidualMm = 1.0;

// Fits offset, scale and rotation (least squares) to three or more measured
// marks of the sheet for `paperMm`. Unknown or repeated names, fewer than
// three marks, marks on one line and implausible results give no result.
calibrationFit_t solveCalibration(QSizeF paperMm, const std::vector<calibrationMark_t>& measured);

// The distortion as a transform of paper millimetres.
QTransform distortionTransform(const printerDistortion_t& d);

// The painter transform, in pixels of `device` (whose (0, 0) is the top-left
// of its printable area), that undoes the distortion: a printer with that
// distortion then puts every point where the page has it.
QTransform correctionTransform(const printerDistortion_t& d, const device_t& device);

// One line for people and scripts: "dx DX dy DY sx SX sy SY rotation DEG residual R";
// the summary is the same without the residual.
QString distortionLine(const printerDistortion_t& d, double residual);
QString distortionSummary(const printerDistortion_t& d);

// A number as short as it can be written, at most three decimals ("148.5").
QString shortNumber(double v);

// Draws the calibration sheet for a paper of `paperMm` on `painter`, in
// pixels of `device`; `caption` (the printer's name and the date) goes in a
// corner.
void drawCalibrationSheet(QPainter& painter, QSizeF paperMm, const device_t& device, const QString& caption);

// The sheet as a one-page PDF file of the paper, never a partial file.
bool writeCalibrationSheet(const QString& fileName, QSizeF paperMm, const QString& caption, QString* error);

} // namespace output
