#include "app/openrequest.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <sys/socket.h>
#include <sys/stat.h>

namespace app {

namespace {
// A request is one line of text; anything longer is not a file name.
constexpr qint64 requestLimit = 64 * 1024;
// A socket path must fit in sockaddr_un's 108 bytes with its terminator.
constexpr qsizetype socketPathLimit = 107;
constexpr char defaultSocketName[] = "lumora-editor";

bool makeOrTakePrivateFolder(const QString& path, uid_t uid)
{
    const QByteArray p = QFile::encodeName(path);
    if (::mkdir(p.constData(), 0700) != 0 && errno != EEXIST) return false;
    return isPrivateFolder(path, uid);
}
} // namespace

bool isPrivateFolder(const QString& path, uid_t uid)
{
    if (path.isEmpty()) return false;
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == uid && (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

QString privateSocketFolder(const QString& runtimeDir, const QStringList& fallbackBases, uid_t uid)
{
    if (isPrivateFolder(runtimeDir, uid)) return runtimeDir;
    for (const QString& base : fallbackBases) {
        if (base.isEmpty()) continue;
        const QString folder = QDir(base).filePath(QStringLiteral("lumora-%1").arg(static_cast<qulonglong>(uid)));
        if (makeOrTakePrivateFolder(folder, uid)) return folder;
    }
    return {};
}

QString instanceName()
{
    const uid_t uid = ::getuid();
    const QString folder = privateSocketFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"),
                                               {QDir::tempPath(), QDir::home().filePath(QStringLiteral(".cache"))},
                                               uid);
    if (folder.isEmpty()) return {};
    QString name = qEnvironmentVariable("LUMORA_INSTANCE_NAME");
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) name = QString::fromLatin1(defaultSocketName);
    const QString path = QDir(folder).filePath(name);
    return QFile::encodeName(path).size() <= socketPathLimit ? path : QString();
}

bool peerUid(const QLocalSocket& s, uid_t& uid)
{
    const qintptr fd = s.socketDescriptor();
    if (fd < 0) return false;
    struct ucred cred {};
    socklen_t len = sizeof cred;
    if (::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof cred)
        return false;
    uid = cred.uid;
    return true;
}

bool sendOpenRequest(const QString& macro, int timeoutMs, const QString& socketPath, uid_t expectedUid)
{
    if (socketPath.isEmpty()) return false;
    QLocalSocket s;
    s.connectToServer(socketPath);
    if (!s.waitForConnected(timeoutMs)) return false;
    uid_t peer = 0;
    if (!peerUid(s, peer) || peer != expectedUid) {
        // Not this user's editor: it never sees the file name.
        s.abort();
        return false;
    }
    const QByteArray data = macro.toUtf8() + '\n';
    s.write(data);
    if (!s.waitForBytesWritten(timeoutMs)) return false;
    // The editor answers once it has taken the request.
    if (!s.waitForReadyRead(timeoutMs)) return false;
    s.disconnectFromServer();
    return true;
}

openRequestServer_t::openRequestServer_t(QObject* parent, uid_t expectedUid)
    : QObject(parent), expectedUid_(expectedUid)
{
}

openRequestServer_t::~openRequestServer_t() = default;

bool openRequestServer_t::start(const QString& name)
{
    if (server_) return true;
    if (name.isEmpty()) return false;
    auto* srv = new QLocalServer(this);
    srv->setSocketOptions(QLocalServer::UserAccessOption);
    if (!srv->listen(name)) {
        // A name left behind by an editor that crashed: take it over unless
        // someone answers on it.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(300)) {
            delete srv;
            return false;
        }
        QLocalServer::removeServer(name);
        if (!srv->listen(name)) {
            delete srv;
            return false;
        }
    }
    server_ = srv;
    QObject::connect(srv, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* c = server_->nextPendingConnection()) take(c);
    });
    return true;
}

void openRequestServer_t::take(QLocalSocket* c)
{
    QObject::connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
    uid_t peer = 0;
    if (!peerUid(*c, peer) || peer != expectedUid_) {
        c->abort();
        c->deleteLater();
        return;
    }
    QObject::connect(c, &QLocalSocket::readyRead, this, [this, c] {
        if (c->bytesAvailable() > requestLimit) {
            c->abort();
            return;
        }
        if (!c->canReadLine()) return;
        QString macro = QString::fromUtf8(c->readLine(requestLimit));
        while (macro.endsWith(QLatin1Char('\n')) || macro.endsWith(QLatin1Char('\r'))) macro.chop(1);
        c->write("ok\n");
        c->flush();
        // The request is handled after this event, as the desktop's
        // request would be.
        QPointer<openRequestServer_t> self(this);
        QMetaObject::invokeMethod(this, [self, macro] {
            if (self && self->onRequest) self->onRequest(macro);
        }, Qt::QueuedConnection);
    });
}

} // namespace app
