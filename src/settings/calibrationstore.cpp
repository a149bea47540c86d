#include "settings/calibrationstore.h"

#include <QStringList>
#include <QUrl>

#include <cmath>

namespace settings {

namespace {

constexpr double maxScaleError = 0.10;
constexpr double maxOffsetMm = 20.0;
constexpr double maxRotationDeg = 5.0;

} // namespace

QString calibrationName(const QString& printer, const QString& paperSource)
{
    // Printer names may hold "/" and "\\", which the settings file reads as
    // groups; percent-encoding keeps every name one value.
    auto encoded = [](const QString& s) { return QString::fromLatin1(QUrl::toPercentEncoding(s, " ()-_")); };
    return QStringLiteral("calibration.%1.%2").arg(encoded(printer), encoded(paperSource));
}

bool plausibleDistortion(const printerDistortion_t& d)
{
    for (double v : {d.dx, d.dy, d.sx, d.sy, d.rotation})
        if (!std::isfinite(v)) return false;
    return std::abs(d.sx - 1) <= maxScaleError && std::abs(d.sy - 1) <= maxScaleError &&
           std::abs(d.dx) <= maxOffsetMm && std::abs(d.dy) <= maxOffsetMm && std::abs(d.rotation) <= maxRotationDeg;
}

QString distortionText(const printerDistortion_t& d)
{
    QStringList parts;
    for (double v : {d.dx, d.dy, d.sx, d.sy, d.rotation}) parts << QString::number(v, 'g', 17);
    return parts.join(QLatin1Char(' '));
}

std::optional<printerDistortion_t> parseDistortionText(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 5) return std::nullopt;
    double v[5];
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        v[i] = parts[i].toDouble(&ok);
        if (!ok) return std::nullopt;
    }
    return printerDistortion_t{v[0], v[1], v[2], v[3], v[4]};
}

std::optional<printerDistortion_t> loadCalibration(const settingsStore_t& store, const QString& printer,
                                                    const QString& paperSource)
{
    QString text;
    if (!store.readText(calibrationKey, calibrationName(printer, paperSource), text)) return std::nullopt;
    const auto d = parseDistortionText(text);
    if (!d || !plausibleDistortion(*d)) return std::nullopt;
    return d;
}

bool saveCalibration(settingsStore_t& store, const QString& printer, const QString& paperSource,
                     const printerDistortion_t& d)
{
    if (!plausibleDistortion(d) || !store.openKey(calibrationKey)) return false;
    return store.writeText(calibrationKey, calibrationName(printer, paperSource), distortionText(d)) && store.commit();
}

bool clearCalibration(settingsStore_t& store, const QString& printer, const QString& paperSource)
{
    if (!store.openKey(calibrationKey)) return false;
    return store.deleteValue(calibrationKey, calibrationName(printer, paperSource)) && store.commit();
}

} // namespace settings
