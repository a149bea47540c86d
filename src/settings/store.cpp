#include "settings/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include <cstdio>
#include <unistd.h>

namespace settings {

// ---- memory store ---------------------------------------------------------

bool memoryStore_t::openKey(const QString& key) { return !brokenKeys.contains(key); }

bool memoryStore_t::exists(const QString& key, const QString& name) const
{
    if (brokenKeys.contains(key)) return false;
    const auto k = values.constFind(key);
    return k != values.constEnd() && k->contains(name);
}

bool memoryStore_t::readInt(const QString& key, const QString& name, int32_t& value) const
{
    if (brokenKeys.contains(key)) return false;
    const auto k = values.constFind(key);
    if (k == values.constEnd()) return false;
    const auto v = k->constFind(name);
    if (v == k->constEnd() || !std::holds_alternative<int32_t>(*v)) return false;
    value = std::get<int32_t>(*v);
    return true;
}

bool memoryStore_t::readText(const QString& key, const QString& name, QString& value) const
{
    if (brokenKeys.contains(key)) return false;
    const auto k = values.constFind(key);
    if (k == values.constEnd()) return false;
    const auto v = k->constFind(name);
    if (v == k->constEnd() || !std::holds_alternative<QString>(*v)) return false;
    value = std::get<QString>(*v);
    return true;
}

bool memoryStore_t::writeInt(const QString& key, const QString& name, int32_t value)
{
    if (brokenKeys.contains(key) || readOnlyKeys.contains(key)) return false;
    values[key][name] = value;
    return true;
}

bool memoryStore_t::writeText(const QString& key, const QString& name, const QString& value)
{
    if (brokenKeys.contains(key) || readOnlyKeys.contains(key)) return false;
    values[key][name] = value;
    return true;
}

bool memoryStore_t::deleteValue(const QString& key, const QString& name)
{
    if (brokenKeys.contains(key) || readOnlyKeys.contains(key)) return false;
    auto k = values.find(key);
    if (k != values.end()) k->remove(name);
    return true;
}

// ---- INI file store -------------------------------------------------------

namespace {

const QString intPrefix = QStringLiteral("dword:");
const QString textPrefix = QStringLiteral("sz:");

storeValue_t decode(const QVariant& raw)
{
    QString s;
    if (raw.typeId() == QMetaType::QStringList)
        s = raw.toStringList().join(QLatin1Char(','));  // an unquoted comma in a hand edit
    else if (raw.canConvert<QString>())
        s = raw.toString();
    else
        return std::monostate{};
    if (s.startsWith(textPrefix)) return s.mid(textPrefix.size());
    if (s.startsWith(intPrefix)) {
        static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{8}$"));
        const QString digits = s.mid(intPrefix.size());
        if (!hex.match(digits).hasMatch()) return std::monostate{};
        bool ok = false;
        const uint v = digits.toUInt(&ok, 16);
        if (!ok) return std::monostate{};
        return static_cast<int32_t>(v);
    }
    return s;
}

QString encode(const storeValue_t& v)
{
    if (const auto* i = std::get_if<int32_t>(&v))
        return intPrefix + QStringLiteral("%1").arg(static_cast<uint32_t>(*i), 8, 16, QLatin1Char('0'));
    if (const auto* t = std::get_if<QString>(&v))
        return (t->startsWith(intPrefix) || t->startsWith(textPrefix)) ? textPrefix + *t : *t;
    return {};
}

} // namespace

iniStore_t::iniStore_t(QString path) : path_(std::move(path))
{
    const QFileInfo fi(path_);
    if (!fi.exists()) {
        readable_ = true;  // an empty store
        return;
    }
    // A real store is a few tens of kilobytes; anything far larger is not
    // one, and is neither loaded into memory nor overwritten.
    constexpr qint64 largestStore = 8 * 1024 * 1024;
    if (!fi.isFile() || !fi.isReadable() || fi.size() > largestStore) return;
    QFile probe(path_);
    if (!probe.open(QIODevice::ReadOnly)) return;
    probe.close();
    readable_ = true;

    QSettings ini(path_, QSettings::IniFormat);
    // A damaged file still yields whatever lines could be parsed; each value
    // is then checked on its own when it is read.
    ini.beginGroup(storeRoot);
    const QStringList keys = ini.childGroups();
    for (const QString& key : keys) {
        ini.beginGroup(key);
        auto& bucket = values[key];
        const QStringList names = ini.childKeys();
        for (const QString& name : names) bucket.insert(name, decode(ini.value(name)));
        ini.endGroup();
    }
    ini.endGroup();
}

bool iniStore_t::commit()
{
    if (!readable_) return false;
    const QFileInfo fi(path_);
    if (!QDir().mkpath(fi.absolutePath())) return false;
    const QString tmp = path_ + QStringLiteral(".tmp%1").arg(::getpid());
    QFile::remove(tmp);
    {
        QSettings ini(tmp, QSettings::IniFormat);
        ini.beginGroup(storeRoot);
        for (auto k = values.constBegin(); k != values.constEnd(); ++k) {
            ini.beginGroup(k.key());
            for (auto v = k->constBegin(); v != k->constEnd(); ++v) {
                // A damaged value read from the old file is not carried over.
                if (std::holds_alternative<std::monostate>(v.value())) continue;
                ini.setValue(v.key(), encode(v.value()));
            }
            ini.endGroup();
        }
        ini.endGroup();
        ini.sync();
        if (ini.status() != QSettings::NoError) {
            QFile::remove(tmp);
            return false;
        }
    }
    if (!QFileInfo::exists(tmp)) {
        // Nothing to write (an empty store) still leaves an empty file.
        QFile f(tmp);
        if (!f.open(QIODevice::WriteOnly)) return false;
    }
    if (std::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path_).constData()) != 0) {
        QFile::remove(tmp);
        return false;
    }
    return true;
}

QString userStorePath()
{
    const QByteArray own = qgetenv("LUMORA_CONFIG_DIR");
    if (!own.isEmpty()) return QDir(QFile::decodeName(own)).filePath(QStringLiteral("Velantis.ini"));
    QString base = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Velantis/Velantis.ini");
}

std::unique_ptr<settingsStore_t> openUserStore()
{
    return std::make_unique<iniStore_t>(userStorePath());
}

} // namespace settings
