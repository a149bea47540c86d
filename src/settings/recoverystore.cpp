#include "settings/recoverystore.h"

#include "model/docfile.h"
#include "model/item.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUuid>

#include <algorithm>
#include <cstring>

namespace settings {

namespace {

const QString indexSuffix = QStringLiteral(".json");
const QString lockSuffix = QStringLiteral(".lock");

// A snapshot starts with a header record: its type at offset 0 and the
// record magic at its place.
bool looksLikeDocument(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(model::recordSize);
    if (head.size() < model::recordSize) return false;
    int32_t type = 0, magic = 0;
    std::memcpy(&type, head.constData() + offsetof(model::itemBody_t, itemType), sizeof type);
    std::memcpy(&magic, head.constData() + offsetof(model::itemBody_t, magic), sizeof magic);
    return type == model::typeHeader && magic == model::recordMagic;
}

QJsonObject entryJson(const recoveryEntry_t& e)
{
    return QJsonObject{{"document", e.docNumber},
                       {"snapshot", QFileInfo(e.snapshot).fileName()},
                       {"original", e.original},
                       {"title", e.title},
                       {"time", e.time.toString(Qt::ISODateWithMs)},
                       {"unit", e.unit},
                       {"zoom", e.zoom}};
}

std::vector<recoveryEntry_t> readIndex(const QString& path)
{
    std::vector<recoveryEntry_t> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > (1 << 20)) return out;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll());
    if (!doc.isObject()) return out;
    const QDir dir = QFileInfo(path).dir();
    for (const QJsonValue v : doc.object().value(QStringLiteral("documents")).toArray()) {
        const QJsonObject o = v.toObject();
        const QString name = o.value(QStringLiteral("snapshot")).toString();
        // Only a plain name inside the folder: an index never points elsewhere.
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.'))) continue;
        recoveryEntry_t e;
        e.docNumber = o.value(QStringLiteral("document")).toInt();
        e.snapshot = dir.filePath(name);
        e.original = o.value(QStringLiteral("original")).toString();
        e.title = o.value(QStringLiteral("title")).toString();
        e.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
        e.unit = o.value(QStringLiteral("unit")).toInt();
        e.zoom = o.value(QStringLiteral("zoom")).toDouble(1.0);
        e.index = path;
        e.damaged = !looksLikeDocument(e.snapshot);
        out.push_back(e);
    }
    return out;
}

bool writeIndex(const QString& path, const std::vector<recoveryEntry_t>& entries)
{
    QJsonArray docs;
    for (const recoveryEntry_t& e : entries) docs.append(entryJson(e));
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(QJsonDocument(QJsonObject{{"documents", docs}}).toJson()) >= 0 && f.commit();
}

} // namespace

QString recoveryFolder()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data)) data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/Velantis/Lumora/recovery");
}

recoveryStore_t::recoveryStore_t(QString folder)
    : folder_(std::move(folder)), id_(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

recoveryStore_t::~recoveryStore_t() = default;

bool recoveryStore_t::start(QString* error)
{
    if (!QDir().mkpath(folder_)) {
        if (error) *error = QStringLiteral("the folder %1 cannot be created").arg(folder_);
        return false;
    }
    auto lock = std::make_unique<QLockFile>(QDir(folder_).filePath(id_ + lockSuffix));
    lock->setStaleLockTime(0);  // stale only when its process is gone
    if (!lock->tryLock(0)) {
        if (error) *error = QStringLiteral("the folder %1 does not accept new files").arg(folder_);
        return false;
    }
    lock_ = std::move(lock);
    return true;
}

QString recoveryStore_t::snapshotPath(int32_t docNumber) const
{
    return QDir(folder_).filePath(QStringLiteral("%1-%2.%3").arg(id_).arg(docNumber).arg(model::documentExtension));
}

QString recoveryStore_t::indexPath() const { return QDir(folder_).filePath(id_ + indexSuffix); }

QByteArray recoveryStore_t::indexBytes(const std::vector<recoveryEntry_t>& entries) const
{
    QJsonArray docs;
    for (const recoveryEntry_t& e : entries) docs.append(entryJson(e));
    return QJsonDocument(QJsonObject{{"documents", docs}}).toJson();
}

void recoveryStore_t::removeSnapshot(int32_t docNumber) const { QFile::remove(snapshotPath(docNumber)); }

void recoveryStore_t::finish()
{
    if (!lock_) return;
    const QDir dir(folder_);
    for (const QString& name : dir.entryList({id_ + QStringLiteral("*")}, QDir::Files))
        if (!name.endsWith(lockSuffix)) QFile::remove(dir.filePath(name));
    lock_->unlock();
    lock_.reset();
}

std::vector<recoveryEntry_t> recoveryStore_t::orphans(const QString& folder)
{
    std::vector<recoveryEntry_t> out;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*") + indexSuffix}, QDir::Files)) {
        const QString id = name.left(name.size() - indexSuffix.size());
        QLockFile lock(dir.filePath(id + lockSuffix));
        lock.setStaleLockTime(0);
        // Held by a running editor (this one or another): not an orphan.
        if (!lock.tryLock(0)) continue;
        lock.unlock();
        for (recoveryEntry_t& e : readIndex(dir.filePath(name))) out.push_back(std::move(e));
    }
    std::sort(out.begin(), out.end(), [](const recoveryEntry_t& a, const recoveryEntry_t& b) { return a.time > b.time; });
    return out;
}

bool recoveryStore_t::discard(const recoveryEntry_t& entry)
{
    std::vector<recoveryEntry_t> rest = readIndex(entry.index);
    const auto before = rest.size();
    rest.erase(std::remove_if(rest.begin(), rest.end(),
                              [&](const recoveryEntry_t& e) { return e.snapshot == entry.snapshot; }),
               rest.end());
    QFile::remove(entry.snapshot);
    if (rest.empty()) return QFile::remove(entry.index) || !QFileInfo::exists(entry.index);
    return rest.size() < before ? writeIndex(entry.index, rest) : true;
}

} // namespace settings
