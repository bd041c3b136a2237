#include "kol/WorkDir.h"

#include "base/Encoding.h"
#include "base/Error.h"
#include "base/FileBatch.h"

namespace furlox::kol {

const std::vector<std::string>& ProgramFileNames()
{
    static const std::vector<std::string> names = {
        "furlox", "furlox-cli", "furlox.exe", "furlox-cli.exe", "Foot.dat", "help/index.html",
        "Velko.hlp",
        "pt.exe", // the companion viewer, started from the work directory
        // The program's state.
        kCommitJournalName, kLockFileName, kLibraryFileName, "library.sqlite3-wal",
        "library.sqlite3-shm", "library.sqlite3-journal",
        // The settings, where a portable program keeps them in a file of its folder.
        "GLX.ini", "GLX.conf"};
    return names;
}

std::unique_ptr<platform::FileLock> LockWorkDir(const std::filesystem::path& workDir,
                                                std::chrono::milliseconds patience)
{
    bool busy = false;
    std::unique_ptr<platform::FileLock> lock =
        platform::FileLock::Acquire(workDir, patience, &busy);
    if (!lock && busy) {
        throw Error("別の書庫の展開が実行中です（同じ作業フォルダを別のウィンドウかコマンドが使って"
                    "います）。"
                    "\r\nその展開が終わってから、もう一度お試しください。"_sj);
    }
    return lock;
}

void RecoverWorkDir(const std::filesystem::path& workDir)
{
    FileBatch::Recover(workDir, workDir / kCommitJournalName);
    // What a run killed before its journal was written left: the day itself is whole.
    FileBatch(workDir, kStagePrefix).RemoveLeftovers();
}

void RecoverWorkDirLocked(const std::filesystem::path& workDir, std::chrono::milliseconds patience)
{
    if (const std::unique_ptr<platform::FileLock> lock = LockWorkDir(workDir, patience)) {
        RecoverWorkDir(workDir);
    }
}

std::optional<LoadedDay> LoadWorkDay(const std::filesystem::path& workDir,
                                     std::chrono::milliseconds patience)
{
    const std::unique_ptr<platform::FileLock> lock = LockWorkDir(workDir, patience);
    if (lock) {
        RecoverWorkDir(workDir);
    }
    return LoadKolFiles(workDir);
}

std::string NoRaceDataMessage(const std::filesystem::path& workDir)
{
    return "作業フォルダ "_sj + EscapeControlBytes(PathText(workDir)) +
           " にレースデータ(kol_den1.kd2, kol_den2.kd2, kol_uma.kd2)がありません。"_sj;
}

} // namespace furlox::kol
