// Recovery snapshots on disk: each running editor keeps, in the user's data
// folder, one snapshot file per modified document window and a small JSON
// index, and holds a lock file while it runs. The snapshots of an editor
// whose lock is stale (its process is gone: a crash, a kill, a power cut) are
// orphans, offered at the next start until the user restores or discards them.
#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace settings {

// $XDG_DATA_HOME/Velantis/Lumora/recovery (~/.local/share without it).
QString recoveryFolder();

struct recoveryEntry_t {
    int32_t docNumber = 0;
    QString snapshot;  // the snapshot file, absolute
    QString original;  // the document's own file; empty when never saved
    QString title;     // the window's title when the snapshot was taken
    QDateTime time;
    int32_t unit = 0;
    double zoom = 1.0;
    QString index;         // the index file listing it
    bool damaged = false;  // missing, or not a document
};

class recoveryStore_t {
public:
    explicit recoveryStore_t(QString folder);
    ~recoveryStore_t();

    // Creates the folder and takes this editor's lock; false (with `error`)
    // when the folder cannot be written: snapshots are then off for the run.
    bool start(QString* error = nullptr);
    bool active() const { return lock_ != nullptr; }
    const QString& folder() const { return folder_; }

    // Where the snapshot of a document window goes.
    QString snapshotPath(int32_t docNumber) const;
    // The index of this editor as JSON bytes (written by the caller's worker).
    QByteArray indexBytes(const std::vector<recoveryEntry_t>& entries) const;
    QString indexPath() const;
    // Removes one window's snapshot (its index is rewritten by the caller).
    void removeSnapshot(int32_t docNumber) const;
    // A clean end: every file of this editor goes, the lock last.
    void finish();

    // The snapshots of editors that are no longer running, newest first. A
    // snapshot that is missing or is not a document is listed as damaged; an
    // index that cannot be read is skipped.
    static std::vector<recoveryEntry_t> orphans(const QString& folder);
    // Removes an orphan's snapshot and its line of the index (the index
    // goes with its last line).
    static bool discard(const recoveryEntry_t& entry);

private:
    QString folder_;
    QString id_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace settings
