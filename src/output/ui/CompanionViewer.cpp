#include "output/ui/CompanionViewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <csignal>

namespace furlox::ui {

CompanionViewer::CompanionViewer(QObject* parent) : QObject(parent) {}

bool CompanionViewer::Running() const
{
    // Signal 0 asks only whether the process is still there.
    return m_pid > 0 && ::kill(static_cast<pid_t>(m_pid), 0) == 0;
}

CompanionViewer::Result CompanionViewer::StartOrActivate(const std::filesystem::path& workDir)
{
    if (Running()) {
        return Result::AlreadyRunning;
    }
    const QString folder = QString::fromStdString(workDir.string());
    const QFileInfo native(folder + QStringLiteral("/pt"));
    if (native.isFile() && native.isExecutable()) {
        qint64 pid = 0;
        if (QProcess::startDetached(native.absoluteFilePath(), {}, folder, &pid)) {
            m_pid = pid;
            return Result::Started;
        }
        return Result::FailedToStart;
    }
    const QFileInfo windows(folder + QStringLiteral("/pt.exe"));
    if (windows.isFile()) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(windows.absoluteFilePath()))
                   ? Result::Started
                   : Result::FailedToStart;
    }
    return Result::Missing;
}

} // namespace furlox::ui
