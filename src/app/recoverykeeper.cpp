#include "app/recoverykeeper.h"

#include "canvas/sandbox.h"
#include "model/docfile.h"
#include "model/itemlist.h"

#include <QFile>
#include <QSaveFile>
#include <QtConcurrent/QtConcurrentRun>

namespace app {

namespace {

struct snapshotJob_t {
    std::string path;
    std::vector<uint8_t> bytes;
};

} // namespace

recoveryKeeper_t::recoveryKeeper_t(QString folder, documents_t documents, std::function<void(const QString&)> status,
                                   int32_t idleMs, QObject* parent)
    : QObject(parent), store_(std::move(folder)), documents_(std::move(documents)), status_(std::move(status))
{
    idle_.setObjectName(QStringLiteral("recoveryIdleTimer"));
    idle_.setSingleShot(true);
    idle_.setInterval(std::max(100, idleMs));
    longest_.setObjectName(QStringLiteral("recoveryLongestTimer"));
    longest_.setSingleShot(true);
    longest_.setInterval(longestGapMs);
    QObject::connect(&idle_, &QTimer::timeout, this, [this] { snapshotNow(); });
    QObject::connect(&longest_, &QTimer::timeout, this, [this] { snapshotNow(); });
    QObject::connect(&writer_, &QFutureWatcher<QString>::finished, this, [this] { writerFinished(); });
}

recoveryKeeper_t::~recoveryKeeper_t() { waitForWriter(); }

bool recoveryKeeper_t::start()
{
    QString why;
    if (store_.start(&why)) return true;
    off_ = true;
    if (status_) status_(QStringLiteral("Recovery snapshots are off for this session: %1.").arg(why));
    return false;
}

void recoveryKeeper_t::setEnabled(bool on)
{
    if (on == !off_) return;
    off_ = !on;
    if (off_) {
        idle_.stop();
        longest_.stop();
        waitForWriter();
        for (const auto& [number, entry] : written_) QFile::remove(entry.snapshot);
        written_.clear();
        QFile::remove(store_.indexPath());
    } else if (!store_.active()) {
        start();
    }
}

void recoveryKeeper_t::documentChanged()
{
    if (!active()) return;
    idle_.start();
    if (!longest_.isActive()) longest_.start();
}

void recoveryKeeper_t::documentClean(canvas::TSandbox* w)
{
    if (w) documentClosed(w->documentNumber());
}

void recoveryKeeper_t::documentClosed(int32_t docNumber)
{
    auto it = written_.find(docNumber);
    if (it == written_.end()) return;
    // A write in flight could bring the file back after its removal.
    waitForWriter();
    QFile::remove(it->second.snapshot);
    written_.erase(it);
    writeIndexNow();
}

void recoveryKeeper_t::snapshotNow()
{
    idle_.stop();
    longest_.stop();
    if (!active()) return;
    if (writer_.isRunning()) {
        // The next round follows the one being written.
        pending_ = true;
        return;
    }
    std::vector<snapshotJob_t> jobs;
    const std::vector<canvas::TSandbox*> docs = documents_ ? documents_() : std::vector<canvas::TSandbox*>{};
    std::map<int32_t, settings::recoveryEntry_t> now;
    for (canvas::TSandbox* w : docs) {
        if (!w || w->isClosing() || !w->header()) continue;
        const int32_t number = w->documentNumber();
        if (!w->isModified()) continue;
        snapshotJob_t job;
        job.path = store_.snapshotPath(number).toStdString();
        // The copy is taken here, on the GUI thread, so that the worker
        // never reads the model while the user changes it.
        if (!model::encodeDocument(w->items(), job.bytes)) continue;
        settings::recoveryEntry_t e;
        e.docNumber = number;
        e.snapshot = store_.snapshotPath(number);
        e.original = w->fileName();
        e.title = w->caption();
        e.time = QDateTime::currentDateTime();
        e.unit = w->header()->hdr().unit;
        e.zoom = w->header()->hdr().zoom;
        now[number] = e;
        jobs.push_back(std::move(job));
    }
    // Windows no longer modified lose their snapshot.
    for (const auto& [number, entry] : written_)
        if (!now.count(number)) QFile::remove(entry.snapshot);
    written_ = now;
    if (jobs.empty()) {
        writeIndexNow();
        return;
    }
    std::vector<settings::recoveryEntry_t> entries;
    for (const auto& [number, entry] : written_) entries.push_back(entry);
    const QByteArray index = store_.indexBytes(entries);
    const QString indexPath = store_.indexPath();
    writer_.setFuture(QtConcurrent::run([jobs = std::move(jobs), index, indexPath]() -> QString {
        for (const snapshotJob_t& job : jobs) {
            std::string error;
            if (!model::writeBytesToFile(job.path, job.bytes, &error)) return QString::fromStdString(error);
        }
        QSaveFile f(indexPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(index) != index.size() || !f.commit())
            return QStringLiteral("cannot write %1: %2").arg(indexPath, f.errorString());
        return QString();
    }));
}

void recoveryKeeper_t::writerFinished()
{
    const QString error = writer_.result();
    if (!error.isEmpty()) {
        // A full disk or a read-only folder: off for the run, said once, and
        // editing and saving go on as before.
        off_ = true;
        if (status_) status_(QStringLiteral("Recovery snapshots are off for this session: %1.").arg(error));
        return;
    }
    if (pending_) {
        pending_ = false;
        documentChanged();
    }
}

void recoveryKeeper_t::waitForWriter()
{
    if (writer_.isRunning()) writer_.waitForFinished();
}

void recoveryKeeper_t::writeIndexNow()
{
    if (!store_.active()) return;
    std::vector<settings::recoveryEntry_t> entries;
    for (const auto& [number, entry] : written_) entries.push_back(entry);
    if (entries.empty()) {
        QFile::remove(store_.indexPath());
        return;
    }
    QSaveFile f(store_.indexPath());
    if (f.open(QIODevice::WriteOnly)) {
        f.write(store_.indexBytes(entries));
        f.commit();
    }
}

void recoveryKeeper_t::finish()
{
    idle_.stop();
    longest_.stop();
    waitForWriter();
    written_.clear();
    store_.finish();
}

} // namespace app
