#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace furlox::ui {

// One running instance per user: the first start listens on a local socket named after the
// program's mutex; a second start finds it, asks the first to come to the front, and ends.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(SingleInstance)
public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // True when another instance runs: it has been asked to activate itself.
    bool ActivateRunning();
    // Starts listening; false when the name cannot be taken.
    bool Listen();

signals:
    void activationRequested();

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
};

// The socket name for this user.
QString InstanceName();

} // namespace furlox::ui
