#include "app/ui/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include "base/Platform.h"
#include "base/ui/QtText.h"

namespace furlox::ui {
namespace {

// One request per line: "activate", or "open " followed by the archive's path in UTF-8.
constexpr char kActivate[] = "activate";
constexpr char kOpen[] = "open ";

} // namespace

QString InstanceName(const std::filesystem::path& workDir)
{
    const QFileInfo folder(PathQ(workDir));
    QString key = folder.canonicalFilePath();
    if (key.isEmpty()) {
        key = QDir::cleanPath(folder.absoluteFilePath()); // a folder not made yet
    }
#ifdef Q_OS_WIN
    key = key.toLower(); // Windows file names ignore case
#endif
    // The folder's own name could be too long for a socket name, or hold characters a pipe
    // name cannot: a digest of it stands in.
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("FurloxKolMutex-%1-%2")
        .arg(QString::fromStdString(platform::UserKey()), QString::fromLatin1(digest));
}

QString InstanceLockPath(const QString& name)
{
    return QDir(QDir::tempPath()).filePath(name + QStringLiteral(".lock"));
}

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent), m_name(name)
{}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::ActivateRunning(const QString& archive)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(500)) {
        return false;
    }
    const QByteArray request = archive.isEmpty() ? QByteArray(kActivate) + '\n'
                                                 : QByteArray(kOpen) + archive.toUtf8() + '\n';
    socket.write(request);
    const bool written = socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(500);
    }
    return written || socket.bytesToWrite() == 0;
}

bool SingleInstance::TryLock()
{
    if (m_lock) {
        return true;
    }
    auto lock = std::make_unique<QLockFile>(InstanceLockPath(m_name));
    lock->setStaleLockTime(0); // only a dead holder makes it stale, never its age
    if (!lock->tryLock(0)) {
        return false;
    }
    m_lock = std::move(lock);
    return true;
}

bool SingleInstance::Start(const QString& archive, int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    m_handedOver = false;
    for (;;) {
        if (ActivateRunning(archive)) {
            m_handedOver = true;
            return false;
        }
        if (TryLock()) {
            // Between the first try and the lock another instance may have finished starting.
            if (ActivateRunning(archive)) {
                m_lock.reset();
                m_handedOver = true;
                return false;
            }
            return Listen();
        }
        // Another start holds the name but does not answer yet: it is still starting.
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(100);
    }
}

bool SingleInstance::Listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A socket left behind by an instance that crashed: nobody answers on it. Only the
        // holder of the lock (or a caller that does not use it) gets here.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { ReadRequests(socket); });
            connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
                ReadRequests(socket);
                socket->deleteLater();
            });
            ReadRequests(socket);
        }
    });
    return true;
}

void SingleInstance::ReadRequests(QLocalSocket* socket)
{
    // The requests are answered from the event loop, not inside the socket's own signal: opening
    // an archive runs a nested event loop, in which the socket may well be deleted.
    while (socket->canReadLine()) {
        QByteArray line = socket->readLine();
        if (line.endsWith('\n')) {
            line.chop(1);
        }
        QMetaObject::invokeMethod(
            this,
            [this, line] {
                emit activationRequested();
                if (line.startsWith(kOpen)) {
                    emit archiveRequested(QString::fromUtf8(line.mid(int(sizeof(kOpen)) - 1)));
                }
            },
            Qt::QueuedConnection);
    }
}

} // namespace furlox::ui
