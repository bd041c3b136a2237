#include "app/OpenDataArchive.h"

#include "base/Encoding.h"
#include "base/Error.h"

namespace furlox::app {

archive::OpenedDay OpenDataArchive(const std::filesystem::path& archivePath,
                                   const std::filesystem::path& workDir,
                                   archive::ArchiverProgress* progress,
                                   std::chrono::milliseconds lockPatience)
{
    archive::CheckArchivePath(archivePath);
    std::error_code ec;
    std::filesystem::create_directories(workDir, ec);
    if (!std::filesystem::is_directory(workDir, ec)) {
        throw Error("作業フォルダ "_sj + EscapeControlBytes(PathText(workDir)) +
                    " を作成できないため、書庫を展開できません。"_sj);
    }
    // From the check to the end of the load, no other open or load uses the work directory.
    const std::unique_ptr<platform::FileLock> lock = kol::LockWorkDir(workDir, lockPatience);
    kol::RecoverWorkDir(workDir);
    return archive::ExtractDayArchive(archivePath, workDir, progress);
}

} // namespace furlox::app
