// Recovery snapshots while the user works: after a change and a short pause
// (and at least every two minutes while changes keep coming), each modified
// document window's records are encoded on the GUI thread and written by a
// worker thread into the recovery folder, never over the document's own
// file. A save, a close without saving or a clean exit removes the window's
// snapshot. A failed write turns snapshots off for the run with one message.
#pragma once

#include "settings/recoverystore.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace canvas {
class TSandbox;
}

namespace app {

// The settings of the snapshots, in the store's "Recovery" key (a reader
// that does not know the key skips it).
inline const QString keyRecovery = QStringLiteral("Recovery");
constexpr int32_t defaultIdleMs = 3000;
constexpr int32_t longestGapMs = 120000;

class recoveryKeeper_t : public QObject {
public:
    using documents_t = std::function<std::vector<canvas::TSandbox*>()>;
    recoveryKeeper_t(QString folder, documents_t documents, std::function<void(const QString&)> status,
                     int32_t idleMs, QObject* parent = nullptr);
    ~recoveryKeeper_t() override;

    // Takes the lock; false when snapshots cannot be written (off for the run).
    bool start();
    bool active() const { return store_.active() && !off_; }
    void setEnabled(bool on);

    // A document changed: a snapshot follows after the pause.
    void documentChanged();
    // Saved (no longer modified) or closed: its snapshot goes.
    void documentClean(canvas::TSandbox* w);
    void documentClosed(int32_t docNumber);
    // Takes the snapshots now (the timers' work); waits for nothing.
    void snapshotNow();
    // Waits until the worker has written what it was given (tests, exit).
    void waitForWriter();
    // A clean end: the snapshots and index of this run are removed.
    void finish();

    QTimer& idleTimer() { return idle_; }
    QTimer& longestTimer() { return longest_; }
    const settings::recoveryStore_t& store() const { return store_; }

private:
    void writeIndexNow();
    void writerFinished();

    settings::recoveryStore_t store_;
    documents_t documents_;
    std::function<void(const QString&)> status_;
    QTimer idle_, longest_;
    QFutureWatcher<QString> writer_;
    std::map<int32_t, settings::recoveryEntry_t> written_;  // by document number
    bool pending_ = false;
    bool off_ = false;
};

} // namespace app
