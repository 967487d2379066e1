#include "app/ui/SingleInstance.h"

#include "imaging/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

namespace vst::app {

namespace {

QString serverPathIn(const QString& folder) {
    return folder + "/" + kInstanceName + ".socket";
}

constexpr char kAck = 'K';

} // namespace

QString instanceFolder() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir;
}

TSingleInstance::TSingleInstance(const QString& folder)
    : m_serverPath(serverPathIn(folder))
    , m_lock(folder + "/" + kInstanceName + ".lock") {
    // A lock left by a crashed instance is taken over (its process is gone).
    m_lock.setStaleLockTime(0);
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::tryLock() {
    if (m_lock.tryLock(0)) return true;
    if (m_lock.error() == QLockFile::LockFailedError) return false;
    throw ie::Error("Unable to create the instance lock " + m_lock.fileName().toStdString());
}

bool TSingleInstance::listen(std::function<void(const InstanceMessage&)> handler) {
    m_handler = std::move(handler);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left behind belongs to a dead instance.
    QLocalServer::removeServer(m_serverPath);
    connect(m_server, &QLocalServer::newConnection, this, &TSingleInstance::onConnection);
    return m_server->listen(m_serverPath);
}

void TSingleInstance::onConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        if (socket->bytesAvailable() > 0) onReadyRead(socket);
    }
}

void TSingleInstance::onReadyRead(QLocalSocket* socket) {
    QPointer<QLocalSocket> guard(socket);
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    const DecodeResult r = decodeInstanceMessage(buffer);
    if (r.status == DecodeResult::NeedMore) {
        socket->setProperty("buffer", buffer);
        return;
    }
    socket->setProperty("buffer", QByteArray());
    if (r.status == DecodeResult::Malformed) {
        socket->disconnectFromServer();
        return;
    }
    // The handler may run a load loop that processes events; the socket may go meanwhile.
    if (m_handler) m_handler(r.message);
    if (!guard) return;
    guard->write(&kAck, 1);
    guard->flush();
    guard->disconnectFromServer();
}

bool sendToRunningInstance(const QByteArray& message, const QString& folder, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverPathIn(folder));
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    // Wait until the first instance has handled it, as a synchronous send does.
    socket.waitForReadyRead(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool handOverToRunningInstance(const QString& file, const QString& folder, int sleepMs) {
    if (file.isEmpty()) return sendToRunningInstance(encodeRestoreInstance(), folder);
    const QString path = QFileInfo(file).absoluteFilePath();
    const bool sent = sendToRunningInstance(
        encodeCopyData(path, std::uint64_t(QCoreApplication::applicationPid())), folder);
    if (sent) QThread::msleep(std::uint64_t(sleepMs));
    return sent;
}

} // namespace vst::app
