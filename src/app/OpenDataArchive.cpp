#include "app/OpenDataArchive.h"

#include <array>
#include <sys/stat.h>

#include "archive/ARCHIVES.h"
#include "archive/ArchiverProgress.h"
#include "kol/Encoding.h"

namespace furlox::app {
namespace {

constexpr unsigned kListingMode = 0x800000;
constexpr int kOutputSize = 8192;

// What a KOL data file in the work directory is, to tell afterwards whether the extraction
// put a new one in place (a new file always comes with a new inode).
struct FileStamp
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    off_t size = 0;

    bool operator==(const FileStamp& o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               size == o.size;
    }
};

using KolStamps = std::array<FileStamp, 3>;

KolStamps StampKolFiles(const std::filesystem::path& workDir)
{
    KolStamps stamps;
    const char* names[] = {kol::kRaceFileName, kol::kEntryFileName, kol::kHorseFileName};
    for (std::size_t i = 0; i < stamps.size(); ++i) {
        struct stat st = {};
        if (::stat((workDir / names[i]).c_str(), &st) == 0) {
            stamps[i] = {true, st.st_dev, st.st_ino, st.st_mtim, st.st_size};
        }
    }
    return stamps;
}

std::string PathText(const std::string& path)
{
    return ToCp932(path);
}

OpenArchiveResult Failed(std::string message)
{
    OpenArchiveResult result;
    result.status = OpenArchiveResult::Status::Failed;
    result.message = std::move(message);
    return result;
}

// The library's lines after a first sentence, without the last line end.
std::string WithDetails(std::string first, std::string details)
{
    while (!details.empty() && (details.back() == '\n' || details.back() == '\r')) {
        details.pop_back();
    }
    return details.empty() ? first : first + "\r\n\r\n" + details;
}

// Shows the progress state for the extraction and hides it afterwards, also on an error.
class ShownProgress
{
public:
    ShownProgress(archive::ArchiverProgress* progress, archive::TArchiveFile& archiveFile)
        : m_progress(progress)
    {
        if (m_progress) {
            archiveFile.SetOnProgress(m_progress->Handler());
            m_progress->FormShow();
        }
    }
    ~ShownProgress()
    {
        if (m_progress) {
            m_progress->FormHide();
        }
    }
    ShownProgress(const ShownProgress&) = delete;
    ShownProgress& operator=(const ShownProgress&) = delete;

private:
    archive::ArchiverProgress* m_progress;
};

} // namespace

const std::string& NoDataMessage()
{
    return "指定した書庫ファイルにデータは含まれておりません。\r\n\r\n"
           "このプログラムは新形式データのみの対応となりますので、\r\n"
           "旧形式データをご利用の場合は、新形式データを入手\r\n"
           "してご利用ください。"_sj;
}

OpenArchiveResult OpenDataArchive(const std::string& archivePath,
                                  const std::filesystem::path& workDir, kol::RaceDay& day,
                                  archive::ArchiverProgress* progress)
{
    archive::TArchiveFile archiveFile;
    archiveFile.SetFileName(archivePath);
    archiveFile.Options().c = 1;
    archiveFile.SetOutputSize(kOutputSize);
    archiveFile.SetArchiverType(archive::atLha);
    archiveFile.Options().n = 1;

    const std::string shown = PathText(archivePath);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(archivePath, ec)) {
        return Failed("書庫ファイル "_sj + shown + " が見つかりません。"_sj);
    }
    if (std::filesystem::file_size(archivePath, ec) == 0 && !ec) {
        return Failed("書庫ファイル "_sj + shown + " は空です。"_sj);
    }
    if (archiveFile.OpenArchive(kListingMode) != 0) {
        archiveFile.CloseArchive();
        return Failed("書庫ファイル "_sj + shown +
                      " を読み込めません。\r\n壊れているか、LHA 形式の書庫ではありません。"_sj);
    }

    // Only the names at the top level count, exactly as written.
    bool raceFileSeen = false;
    bool horseFileSeen = false;
    archive::EntryInfo entry;
    int code = archiveFile.FindFirst("*.*", entry);
    while (code == 0) {
        raceFileSeen = raceFileSeen || entry.fileName == kol::kRaceFileName;
        horseFileSeen = horseFileSeen || entry.fileName == kol::kHorseFileName;
        code = archiveFile.FindNext(entry);
    }
    archiveFile.CloseArchive();
    if (code != archive::lha::kEndOfList) {
        return Failed("書庫ファイル "_sj + shown + " は壊れているか、途中で切れています。"_sj);
    }
    if (!raceFileSeen && !horseFileSeen) {
        OpenArchiveResult result;
        result.status = OpenArchiveResult::Status::NoData;
        result.message = NoDataMessage();
        return result;
    }

    const KolStamps before = StampKolFiles(workDir);
    int extractResult = 0;
    {
        ShownProgress shownProgress(progress, archiveFile);
        extractResult = archiveFile.Extract(nullptr, {}, workDir.string());
    }
    const bool replaced = StampKolFiles(workDir) != before;

    OpenArchiveResult result;
    result.extractResult = extractResult;
    if (extractResult != 0) {
        if (!replaced) {
            result.status = OpenArchiveResult::Status::Failed;
            result.message =
                WithDetails("書庫ファイル "_sj + shown + " を展開できませんでした。"_sj,
                            archiveFile.OutputText());
            return result;
        }
        result.message =
            WithDetails("書庫ファイル "_sj + shown + " の一部のファイルを展開できませんでした。"_sj,
                        archiveFile.OutputText());
    }
    result.status = OpenArchiveResult::Status::Extracted;
    result.load = kol::LoadKolFiles(workDir, day);
    return result;
}

} // namespace furlox::app
