// Requests from the desktop to open a document. One editor runs per user:
// a second start hands its files to the running one through a local socket,
// as the open macro the file association uses, and ends.
//
// The socket lives in a folder only this user can enter (the runtime folder,
// or a 0700 folder of the user's own), and both ends check that the other
// end runs as the same user before a request is sent or taken, so no other
// local user can receive the names this user opens or keep the editor from
// starting.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <sys/types.h>
#include <unistd.h>

class QLocalServer;
class QLocalSocket;

namespace app {

// A folder for the socket that exists, is a real folder (not a link), is
// owned by `uid` and lets nobody else in; empty when none can be had. The
// runtime folder is taken when it qualifies; otherwise "lumora-<uid>" under
// each fallback base in turn is made (mode 0700) or taken when it qualifies.
QString privateSocketFolder(const QString& runtimeDir, const QStringList& fallbackBases, uid_t uid);

// True when `path` is a folder (not a link) owned by `uid` with no access
// for group or others.
bool isPrivateFolder(const QString& path, uid_t uid);

// The socket path of this user's editor: LUMORA_INSTANCE_NAME (so that tests
// do not meet a running editor) or "lumora-editor", inside the private folder.
// Empty when no private folder could be had: the editor then runs on its own.
QString instanceName();

// The user id at the other end of a connected local socket; false when the
// system does not say.
bool peerUid(const QLocalSocket& s, uid_t& uid);

// Hands `macro` to the editor listening at `socketPath`; false when none
// answered in time or the listener does not run as `expectedUid`.
bool sendOpenRequest(const QString& macro, int timeoutMs = 1500, const QString& socketPath = instanceName(),
                     uid_t expectedUid = ::getuid());

// Listens for open requests and passes each one's text on; connections from
// another user are closed unread.
class openRequestServer_t : public QObject {
public:
    explicit openRequestServer_t(QObject* parent = nullptr, uid_t expectedUid = ::getuid());
    ~openRequestServer_t() override;
    // False when the name is held by a live editor (or by anything else that
    // answers on it), or when there is no private folder for it.
    bool start(const QString& name = instanceName());
    std::function<void(const QString& macro)> onRequest;

private:
    void take(QLocalSocket* c);
    QLocalServer* server_ = nullptr;
    uid_t expectedUid_;
};

} // namespace app
