#include "app/openrequest.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <unistd.h>

namespace app {

namespace {
// A request is one line of text; anything longer is not a file name.
constexpr qint64 requestLimit = 64 * 1024;
}

QString instanceName()
{
    const QByteArray env = qgetenv("LUMORA_INSTANCE_NAME");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    return QStringLiteral("lumora-editor-%1").arg(static_cast<qulonglong>(getuid()));
}

bool sendOpenRequest(const QString& macro, int timeoutMs)
{
    QLocalSocket s;
    s.connectToServer(instanceName());
    if (!s.waitForConnected(timeoutMs)) return false;
    const QByteArray data = macro.toUtf8() + '\n';
    s.write(data);
    if (!s.waitForBytesWritten(timeoutMs)) return false;
    // The editor answers once it has taken the request.
    if (!s.waitForReadyRead(timeoutMs)) return false;
    s.disconnectFromServer();
    return true;
}

openRequestServer_t::openRequestServer_t(QObject* parent) : QObject(parent) {}

openRequestServer_t::~openRequestServer_t() = default;

bool openRequestServer_t::start(const QString& name)
{
    if (server_) return true;
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
        while (QLocalSocket* c = server_->nextPendingConnection()) {
            QObject::connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
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
    });
    return true;
}

} // namespace app
