#include "app/WorkDir.h"

#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Platform.h"

namespace furlox {

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
    if (!std::filesystem::is_directory(userDir, ec)) {
        throw Error("データフォルダ "_sj + EscapeControlBytes(PathText(userDir)) +
                    " を作成できません。"_sj);
    }
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

} // namespace furlox
