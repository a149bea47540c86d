#include "cli/calibrationargs.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <vector>

namespace cli {

namespace {

// Finite numbers separated by `sep`; false for any other text.
bool numbers(const QString& text, QChar sep, std::vector<double>& out)
{
    out.clear();
    for (const QString& part : text.split(sep)) {
        bool ok = false;
        const double v = part.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v)) return false;
        out.push_back(v);
    }
    return true;
}

} // namespace

bool parsePaperSize(const std::string& text, QSizeF& paperMm, std::string& why)
{
    std::vector<double> v;
    if (!numbers(QString::fromStdString(text).toLower(), QLatin1Char('x'), v) || v.size() != 2) {
        why = "--paper wants the paper's width and height in millimetres, as 210x297, not '" + text + "'";
        return false;
    }
    if (v[0] < 20 || v[1] < 20 || v[0] > 5000 || v[1] > 5000) {
        why = "--paper wants each side from 20 to 5000 mm, not '" + text + "'";
        return false;
    }
    paperMm = QSizeF(v[0], v[1]);
    return true;
}

bool parseMeasuredMark(const std::string& text, output::calibrationMark_t& mark, std::string& why)
{
    const QString t = QString::fromStdString(text);
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    std::vector<double> v;
    if (eq <= 0 || !numbers(t.mid(eq + 1), QLatin1Char(','), v) || v.size() != 2) {
        why = "a measured mark is NAME=X,Y with two numbers in millimetres, as TL=20.4,19.8, not '" + text + "'";
        return false;
    }
    mark.name = t.left(eq).trimmed();
    mark.mm = QPointF(v[0], v[1]);
    return true;
}

bool parseDistortion(const std::string& text, output::printerDistortion_t& d, std::string& why)
{
    std::vector<double> v;
    if (!numbers(QString::fromStdString(text), QLatin1Char(','), v) || v.size() < 4 || v.size() > 5) {
        why = "--correction wants DX,DY,SX,SY or DX,DY,SX,SY,DEG (millimetres, factors, degrees), not '" + text + "'";
        return false;
    }
    d = output::printerDistortion_t{v[0], v[1], v[2], v[3], v.size() == 5 ? v[4] : 0.0};
    if (!settings::plausibleDistortion(d)) {
        why = "the correction '" + text +
              "' is not one a printer can have (scales within 10 %, offsets within 20 mm, rotation within 5 degrees)";
        return false;
    }
    return true;
}

} // namespace cli
