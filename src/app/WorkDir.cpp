#include "app/WorkDir.h"

#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Platform.h"
#include "output/TextExport.h"

namespace furlox {

std::string NoRaceDataMessage(const std::filesystem::path& workDir)
{
    return "作業フォルダ "_sj + PathText(workDir) +
           " にレースデータ(kol_den1.kd2, kol_den2.kd2, kol_uma.kd2)がありません。"_sj;
}

std::filesystem::path UserDataDir()
{
    return platform::UserDataRoot() / "Morvane" / "Furlox";
}

std::filesystem::path ChooseWorkDir(const std::filesystem::path& programFolder)
{
    return ChooseWorkDir(programFolder, UserDataDir());
}

std::filesystem::path ChooseWorkDir(const std::filesystem::path& programFolder,
                                    const std::filesystem::path& userDir)
{
    std::error_code ec;
    const bool ownFolder = std::filesystem::is_regular_file(programFolder / "Foot.dat", ec);
    if (ownFolder && platform::IsWritableFolder(programFolder)) {
        return programFolder;
    }
    std::filesystem::create_directories(userDir, ec);
    // The HTML footer template travels with the program; give the data folder its copy.
    for (const auto& source : {programFolder / "Foot.dat",
                               programFolder.parent_path() / "share" / "furlox" / "Foot.dat"}) {
        if (!std::filesystem::exists(userDir / "Foot.dat", ec) &&
            std::filesystem::exists(source, ec)) {
            std::filesystem::copy_file(source, userDir / "Foot.dat", ec);
        }
    }
    return userDir;
}

const std::vector<std::string>& ProgramFileNames()
{
    static const std::vector<std::string> names = {
        "furlox",   "furlox-cli",      "furlox.exe", "furlox-cli.exe",
        "Foot.dat", "help/index.html", "Velko.hlp",
        "pt.exe", // the companion viewer, started from the work directory
    };
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

kol::LoadOutcome LoadWorkDay(const std::filesystem::path& workDir, kol::RaceDay& day,
                             std::chrono::milliseconds patience)
{
    const std::unique_ptr<platform::FileLock> lock = LockWorkDir(workDir, patience);
    return kol::LoadKolFiles(workDir, day);
}

} // namespace furlox
