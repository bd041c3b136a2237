#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace furlox::ui {

// One running instance per work directory (so one per user for the default folder): the
// first start listens on a local socket named after the program's mutex and its folder; a
// second start for the same folder finds it, hands over its archive (or only asks the first
// to come to the front), and ends. A start for another folder runs on its own.
//
// The name is guarded by a lock file beside the socket, held for the life of the instance:
// only its holder may take the name (and remove a socket left behind by a crash), so two
// starts at the same moment never both run. QLockFile treats the lock of a process that no
// longer runs as stale, so a crash does not keep later starts out.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(SingleInstance)
public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The whole start-up decision. True: this is the one instance, listening now. False:
    // another instance runs and has been handed `archive` (an absolute path; empty: only
    // activate), or none could be reached in `waitMs` while another start held the name.
    bool Start(const QString& archive, int waitMs = 10000);
    // After a false Start: true when the running instance took the message, false when none
    // answered (a start that hangs, or one the system has not cleared away).
    bool HandedOver() const { return m_handedOver; }

    // The steps of Start, for tests. True when another instance runs and took the message.
    bool ActivateRunning(const QString& archive = QString());
    // Takes the name's lock without waiting; false while another instance holds it.
    bool TryLock();
    // Starts listening; false when the name cannot be taken.
    bool Listen();

signals:
    void activationRequested();
    // A second start handed over this archive (absolute path).
    void archiveRequested(const QString& archive);

private:
    void ReadRequests(QLocalSocket* socket);

    QString m_name;
    QLocalServer* m_server = nullptr;
    std::unique_ptr<QLockFile> m_lock;
    bool m_handedOver = false;
};

// The socket name for this user and work directory. Two spellings of one folder (a trailing
// separator, "." steps, a link to it; on Windows other capitals) give the same name.
QString InstanceName(const std::filesystem::path& workDir);

// The lock file that guards a socket name.
QString InstanceLockPath(const QString& name);

} // namespace furlox::ui
