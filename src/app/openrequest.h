// Requests from the desktop to open a document. One editor runs per user:
// a second start hands its file to the running one through a local socket,
// as the open macro the file association uses, and ends.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace app {

// The socket name of this user's editor (LUMORA_INSTANCE_NAME overrides it,
// so that tests do not meet a running editor).
QString instanceName();

// Hands `macro` to a running editor; false when none answered in time.
bool sendOpenRequest(const QString& macro, int timeoutMs = 1500);

// Listens for open requests and passes each one's text on.
class openRequestServer_t : public QObject {
public:
    explicit openRequestServer_t(QObject* parent = nullptr);
    ~openRequestServer_t() override;
    // False when the name is held by a live editor.
    bool start(const QString& name = instanceName());
    std::function<void(const QString& macro)> onRequest;

private:
    QLocalServer* server_ = nullptr;
};

} // namespace app
