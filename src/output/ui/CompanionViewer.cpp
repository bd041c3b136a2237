#include "output/ui/CompanionViewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "base/Platform.h"
#include "base/ui/QtText.h"

namespace furlox::ui {

CompanionViewer::CompanionViewer(QObject* parent) : QObject(parent) {}

namespace {

// The viewer's main window title, by which a running copy is found on Windows.
constexpr const char* kViewerTitle = "Plotline Viewer";

#ifdef _WIN32
constexpr const char* kNativeViewer = "/pt.exe";
#else
constexpr const char* kNativeViewer = "/pt";
#endif

} // namespace

bool CompanionViewer::Running() const
{
    return m_pid > 0 && platform::ProcessRunning(m_pid);
}

CompanionViewer::Result CompanionViewer::StartOrActivate(const std::filesystem::path& workDir)
{
    // On Windows a copy started by anyone is brought to the front; elsewhere the copy this
    // window started counts.
    if (platform::ActivateWindowTitled(kViewerTitle) || Running()) {
        return Result::AlreadyRunning;
    }
    const QString folder = PathQ(workDir);
    const QFileInfo native(folder + QLatin1String(kNativeViewer));
    if (native.isFile() && native.isExecutable()) {
        qint64 pid = 0;
        if (QProcess::startDetached(native.absoluteFilePath(), {}, folder, &pid)) {
            m_pid = pid;
            return Result::Started;
        }
        return Result::FailedToStart;
    }
    // Elsewhere the Windows viewer is handed to the desktop (which may run it with Wine).
    const QFileInfo windows(folder + QStringLiteral("/pt.exe"));
    if (windows.isFile() && windows != native) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(windows.absoluteFilePath()))
                   ? Result::Started
                   : Result::FailedToStart;
    }
    return Result::Missing;
}

} // namespace furlox::ui
