// One running instance per user session: a lock file named after the instance text and a local
// server of the same name that receives what later starts hand over.
#pragma once

#include "app/HandOverRecord.h"

#include <QLockFile>
#include <QObject>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace vst::app {

/// The name the lock and the server are made from.
inline constexpr const char* kInstanceName = "7EACV1BF-F1E0-4VD9-91E7-43467C5A2B6A";

/// The folder holding the lock and the server socket: the user's runtime folder.
QString instanceFolder();

/// The first instance's side: holds the lock, serves hand-overs.
class TSingleInstance : public QObject {
public:
    /// `folder` holds the lock file and the server socket.
    explicit TSingleInstance(const QString& folder = instanceFolder());
    ~TSingleInstance() override;

    /// Takes the lock. False when another live instance holds it; throws ie::Error when the
    /// lock can't be created at all.
    bool tryLock();
    /// Starts serving; `handler` gets every well-formed message, on the GUI thread. The sender
    /// is answered once the handler returns (the hand-over is synchronous).
    bool listen(std::function<void(const InstanceMessage&)> handler);
    QString serverName() const { return m_serverPath; }

private:
    void onConnection();
    void onReadyRead(QLocalSocket* socket);

    QString m_serverPath;
    QLockFile m_lock;
    QLocalServer* m_server = nullptr;
    std::function<void(const InstanceMessage&)> m_handler;
};

/// The second start's side: sends `message` to the server in `folder` and waits until the
/// first instance handled it (at most `timeoutMs`). False when no instance answers.
bool sendToRunningInstance(
    const QByteArray& message, const QString& folder = instanceFolder(), int timeoutMs = 30000);

/// The whole hand-over of a second start: the file when given, else the bring-to-front
/// request; after a file it sleeps `sleepMs` (1000 in the program) before returning.
bool handOverToRunningInstance(
    const QString& file, const QString& folder = instanceFolder(), int sleepMs = 1000);

} // namespace vst::app
