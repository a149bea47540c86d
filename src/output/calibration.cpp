#include "output/calibration.h"

#include "output/failure.h"
#include "output/printsheet.h"

#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace output {

namespace {

constexpr double degree = std::numbers::pi / 180;
constexpr double mmPerInch = 25.4;

// The crosshairs stay this far inside the paper, or a quarter of the smaller
// side on small papers (labels).
constexpr double markInsetMm = 20;
// Crosshair arms and circle; the labels stay clear of a square twice the arm.
constexpr double armMm = 5, circleMm = 3, lineMm = 0.15;
constexpr double labelClearMm = 10;
// The rulers run along the top and left edges this far in.
constexpr double rulerEdgeMm = 4, rulerStartMm = 8;

// Solves the n × n system a·x = b (Gaussian elimination with partial
// pivoting); false when it is singular.
template <size_t n>
bool solveLinear(std::array<std::array<double, n>, n> a, std::array<double, n> b, std::array<double, n>& x)
{
    for (size_t col = 0; col < n; ++col) {
        size_t pivot = col;
        for (size_t r = col + 1; r < n; ++r)
            if (std::abs(a[r][col]) > std::abs(a[pivot][col])) pivot = r;
        if (std::abs(a[pivot][col]) < 1e-12) return false;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (size_t r = col + 1; r < n; ++r) {
            const double f = a[r][col] / a[col][col];
            for (size_t c = col; c < n; ++c) a[r][c] -= f * a[col][c];
            b[r] -= f * b[col];
        }
    }
    for (size_t i = n; i-- > 0;) {
        double s = b[i];
        for (size_t c = i + 1; c < n; ++c) s -= a[i][c] * x[c];
        x[i] = s / a[i][i];
    }
    return true;
}

QPointF distort(const printerDistortion_t& d, QPointF p)
{
    const double c = std::cos(d.rotation * degree), s = std::sin(d.rotation * degree);
    return {d.sx * c * p.x() - d.sy * s * p.y() + d.dx, d.sx * s * p.x() + d.sy * c * p.y() + d.dy};
}

// Gauss-Newton on (dx, dy, sx, sy, rotation); the problem is nearly linear
// for the small rotations printers have, so a few steps from no distortion
// converge.
bool fitDistortion(const std::vector<QPointF>& nominal, const std::vector<QPointF>& measured, printerDistortion_t& d)
{
    d = printerDistortion_t{};
    for (int iteration = 0; iteration < 30; ++iteration) {
        const double t = d.rotation * degree, c = std::cos(t), s = std::sin(t);
        std::array<std::array<double, 5>, 5> jtj{};
        std::array<double, 5> jtr{};
        for (size_t i = 0; i < nominal.size(); ++i) {
            const double x = nominal[i].x(), y = nominal[i].y();
            const QPointF m = distort(d, nominal[i]);
            const std::array<double, 5> rowX = {1, 0, c * x, -s * y, (-d.sx * s * x - d.sy * c * y) * degree};
            const std::array<double, 5> rowY = {0, 1, s * x, c * y, (d.sx * c * x - d.sy * s * y) * degree};
            const double rx = measured[i].x() - m.x(), ry = measured[i].y() - m.y();
            for (size_t a = 0; a < 5; ++a) {
                jtr[a] += rowX[a] * rx + rowY[a] * ry;
                for (size_t b = 0; b < 5; ++b) jtj[a][b] += rowX[a] * rowX[b] + rowY[a] * rowY[b];
            }
        }
        std::array<double, 5> step{};
        if (!solveLinear(jtj, jtr, step)) return false;
        d.dx += step[0];
        d.dy += step[1];
        d.sx += step[2];
        d.sy += step[3];
        d.rotation += step[4];
        if (std::abs(step[0]) + std::abs(step[1]) < 1e-9 && std::abs(step[2]) + std::abs(step[3]) < 1e-12 &&
            std::abs(step[4]) < 1e-10)
            break;
    }
    return true;
}

// The spread of the points across their main direction, in mm: zero when
// they lie on one line.
double spreadAcross(const std::vector<QPointF>& points)
{
    QPointF mean;
    for (const QPointF& p : points) mean += p;
    mean /= double(points.size());
    double sxx = 0, syy = 0, sxy = 0;
    for (const QPointF& p : points) {
        const QPointF q = p - mean;
        sxx += q.x() * q.x();
        syy += q.y() * q.y();
        sxy += q.x() * q.y();
    }
    const double half = (sxx + syy) / 2, root = std::sqrt(std::max(0.0, half * half - (sxx * syy - sxy * sxy)));
    return std::sqrt(std::max(0.0, (half - root) / double(points.size())));
}

// Normalises "-0" away after rounding to `decimals`.
QString fixed(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    double r = std::round(v * scale) / scale;
    if (r == 0) r = 0;
    return QString::number(r, 'f', decimals);
}

} // namespace

std::vector<calibrationMark_t> calibrationMarks(QSizeF paperMm)
{
    const double w = paperMm.width(), h = paperMm.height();
    const double inset = std::min(markInsetMm, std::min(w, h) / 4);
    return {{QStringLiteral("TL"), {inset, inset}},
            {QStringLiteral("TR"), {w - inset, inset}},
            {QStringLiteral("C"), {w / 2, h / 2}},
            {QStringLiteral("BL"), {inset, h - inset}},
            {QStringLiteral("BR"), {w - inset, h - inset}}};
}

calibrationFit_t solveCalibration(QSizeF paperMm, const std::vector<calibrationMark_t>& measured)
{
    calibrationFit_t fit;
    const std::vector<calibrationMark_t> marks = calibrationMarks(paperMm);
    std::vector<QPointF> nominal, seen;
    for (const calibrationMark_t& m : measured) {
        const auto it = std::find_if(marks.begin(), marks.end(), [&](const calibrationMark_t& k) {
            return k.name.compare(m.name, Qt::CaseInsensitive) == 0;
        });
        if (it == marks.end()) {
            fit.error = QStringLiteral("There is no mark named \"%1\"; the marks are TL, TR, C, BL and BR.").arg(m.name);
            return fit;
        }
        for (const calibrationMark_t& earlier : measured) {
            if (&earlier == &m) break;
            if (earlier.name.compare(m.name, Qt::CaseInsensitive) == 0) {
                fit.error = QStringLiteral("The mark %1 is given twice.").arg(it->name);
                return fit;
            }
        }
        if (!std::isfinite(m.mm.x()) || !std::isfinite(m.mm.y())) {
            fit.error = QStringLiteral("The position of %1 is not a number.").arg(it->name);
            return fit;
        }
        nominal.push_back(it->mm);
        seen.push_back(m.mm);
    }
    if (nominal.size() < 3) {
        fit.error = QStringLiteral("At least three marks are needed to solve the correction, not %1.").arg(nominal.size());
        return fit;
    }
    // A line of marks says nothing about the scale across it.
    if (spreadAcross(nominal) < 1.0 || !fitDistortion(nominal, seen, fit.distortion)) {
        fit.error = QStringLiteral("The marks lie on one line, so they cannot give a correction; add a mark off that line.");
        return fit;
    }
    for (size_t i = 0; i < nominal.size(); ++i) {
        const QPointF off = distort(fit.distortion, nominal[i]) - seen[i];
        fit.residuals.push_back(std::hypot(off.x(), off.y()));
        fit.worstResidual = std::max(fit.worstResidual, fit.residuals.back());
    }
    const printerDistortion_t& d = fit.distortion;
    if (!settings::plausibleDistortion(d)) {
        fit.error = QStringLiteral("The measured marks give an implausible correction (%1); check the values typed.")
                        .arg(distortionLine(d, fit.worstResidual));
        return fit;
    }
    if (std::abs(d.sx - 1) > warnScaleError || std::abs(d.sy - 1) > warnScaleError)
        fit.warnings << QStringLiteral("The scale is off by more than 5 %: probably a typing slip.");
    for (size_t i = 0; i < fit.residuals.size(); ++i)
        if (fit.residuals[i] > warnResidualMm)
            fit.warnings << QStringLiteral("%1 is %2 mm away from the solved correction: probably a typing slip.")
                                .arg(measured[i].name.toUpper(), fixed(fit.residuals[i], 2));
    fit.ok = true;
    return fit;
}

QTransform distortionTransform(const printerDistortion_t& d)
{
    const double c = std::cos(d.rotation * degree), s = std::sin(d.rotation * degree);
    // Qt maps x' = m11·x + m21·y + dx, y' = m12·x + m22·y + dy.
    return QTransform(d.sx * c, d.sx * s, -d.sy * s, d.sy * c, d.dx, d.dy);
}

QTransform correctionTransform(const printerDistortion_t& d, const device_t& device)
{
    // Device pixels to paper millimetres and back; Qt composes left to right.
    const QTransform toPaper = QTransform::fromTranslate(device.offX, device.offY) *
                               QTransform::fromScale(mmPerInch / std::max(1, device.ppiX), mmPerInch / std::max(1, device.ppiY));
    const QTransform undo = distortionTransform(d).inverted();
    return toPaper * undo * toPaper.inverted();
}

QString distortionSummary(const printerDistortion_t& d)
{
    return QStringLiteral("dx %1 dy %2 sx %3 sy %4 rotation %5")
        .arg(fixed(d.dx, 3), fixed(d.dy, 3), fixed(d.sx, 5), fixed(d.sy, 5), fixed(d.rotation, 4));
}

QString distortionLine(const printerDistortion_t& d, double residual)
{
    return distortionSummary(d) + QStringLiteral(" residual ") + fixed(residual, 3);
}

QString shortNumber(double v)
{
    QString s = fixed(v, 3);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0'))) s.chop(1);
        if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    }
    return s;
}

void drawCalibrationSheet(QPainter& painter, QSizeF paperMm, const device_t& device, const QString& caption)
{
    const double kx = device.ppiX / mmPerInch, ky = device.ppiY / mmPerInch;
    auto at = [&](double x, double y) { return QPointF(x * kx - device.offX, y * ky - device.offY); };
    auto line = [&](double x1, double y1, double x2, double y2) { painter.drawLine(QLineF(at(x1, y1), at(x2, y2))); };
    auto fontOf = [&](double heightMm) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(std::max(1, int(std::lround(heightMm * ky))));
        return f;
    };
    // Text with its top-left (or, with alignRight, top-right) at a paper point.
    auto text = [&](double x, double y, const QString& s, double heightMm, bool alignRight = false) {
        painter.setFont(fontOf(heightMm));
        const QPointF p = at(x, y);
        const QRectF box = alignRight ? QRectF(p.x() - 200 * kx, p.y(), 200 * kx, heightMm * 2 * ky)
                                      : QRectF(p.x(), p.y(), 200 * kx, heightMm * 2 * ky);
        painter.drawText(box, (alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop, s);
    };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(QPen(Qt::black, lineMm * kx, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    const double w = paperMm.width(), h = paperMm.height();

    // Rulers: a tick every half millimetre, longer every 1, 5 and 10 mm,
    // numbered every 10 mm, measured from the paper's edges.
    // Each ruler starts clear of the other one's ticks.
    const int32_t firstHalf = int32_t(rulerStartMm * 2);
    for (int32_t half = firstHalf; half <= int32_t(w * 2); ++half) {
        const double x = half / 2.0;
        const double len = half % 20 == 0 ? 3.5 : half % 10 == 0 ? 2.5 : half % 2 == 0 ? 1.5 : 1.0;
        line(x, rulerEdgeMm, x, rulerEdgeMm + len);
        if (half % 20 == 0 && half > 0 && x < w - 3) text(x + 0.3, rulerEdgeMm + 3.6, QString::number(half / 2), 1.8);
    }
    line(rulerStartMm, rulerEdgeMm, w, rulerEdgeMm);
    for (int32_t half = firstHalf; half <= int32_t(h * 2); ++half) {
        const double y = half / 2.0;
        const double len = half % 20 == 0 ? 3.5 : half % 10 == 0 ? 2.5 : half % 2 == 0 ? 1.5 : 1.0;
        line(rulerEdgeMm, y, rulerEdgeMm + len, y);
        if (half % 20 == 0 && half > 0 && y < h - 3) text(rulerEdgeMm + 3.8, y + 0.2, QString::number(half / 2), 1.8);
    }
    line(rulerEdgeMm, rulerStartMm, rulerEdgeMm, h);

    // Crosshairs, each labelled on the side towards the paper's centre.
    for (const calibrationMark_t& m : calibrationMarks(paperMm)) {
        const double x = m.mm.x(), y = m.mm.y();
        line(x - armMm, y, x + armMm, y);
        line(x, y - armMm, x, y + armMm);
        const QPointF c = at(x, y);
        painter.drawEllipse(c, circleMm * kx, circleMm * ky);
        const bool right = x > w / 2 + 1, below = y > h / 2 + 1;
        const QString label = QStringLiteral("%1 (%2, %3)").arg(m.name, shortNumber(x), shortNumber(y));
        const double ly = below ? y - labelClearMm - 3 : y + labelClearMm;
        text(right ? x - labelClearMm : x + labelClearMm, ly, label, 2.5, right);
    }

    const QPointF centre(w / 2, h / 2);
    const double textLeft = std::min(markInsetMm, std::min(w, h) / 4) + labelClearMm;
    text(textLeft, std::max(centre.y() - 30, rulerEdgeMm + 20), QStringLiteral("Printer calibration sheet"), 4);
    text(textLeft, std::max(centre.y() - 23, rulerEdgeMm + 27),
         QStringLiteral("Measure the centre of each crosshair from the paper's top-left corner."), 2.5);
    text(textLeft, h - 8, caption, 2.5);
    painter.restore();
}

bool writeCalibrationSheet(const QString& fileName, QSizeF paperMm, const QString& caption, QString* error)
{
    if (!(paperMm.width() >= 20 && paperMm.height() >= 20 && paperMm.width() <= 5000 && paperMm.height() <= 5000))
        return fail(error, QStringLiteral("the paper must be 20 to 5000 mm a side"));
    constexpr int32_t dpi = 1200;
    const QPageLayout layout(QPageSize(paperMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                             QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    const device_t device = pdfDevice(layout, dpi);
    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, file.errorString());
    bool ok = false;
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Lumora"));
        pdf.setTitle(QStringLiteral("Printer calibration sheet"));
        pdf.setResolution(dpi);
        pdf.setPageLayout(layout);
        QPainter painter;
        if (painter.begin(&pdf)) {
            drawCalibrationSheet(painter, paperMm, device, caption);
            ok = painter.end();
        } else if (error) {
            *error = QStringLiteral("the PDF file could not be started");
        }
    }
    return commitOrCancel(file, ok, error);
}

} // namespace output
