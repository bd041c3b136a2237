#pragma once

#include <QObject>
#include <QString>
#include <filesystem>

namespace furlox::ui {

// The companion viewer of the P.L.O.T files: started from the program's folder, or brought
// to the front when it already runs.
//
// On Windows the viewer is pt.exe, found by its main window title "Plotline Viewer". Other
// platforms have no such window lookup between programs; there this layer keeps the contract
// for the viewer it started itself: while that process runs, a second press starts no other
// copy (it cannot raise another program's window there), and otherwise it starts `pt` (a
// native build) or `pt.exe` (handed to the desktop, e.g. for Wine) from the work directory.
// A missing viewer is reported by the result, so the window can say what is missing.
class CompanionViewer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(CompanionViewer)
public:
    explicit CompanionViewer(QObject* parent = nullptr);

    enum class Result
    {
        Started,
        AlreadyRunning,
        Missing,       // neither pt nor pt.exe in the work directory
        FailedToStart, // there, but it could not be started
    };
    Result StartOrActivate(const std::filesystem::path& workDir);
    bool Running() const;

private:
    qint64 m_pid = 0;
};

} // namespace furlox::ui
