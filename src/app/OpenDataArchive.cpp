#include "app/OpenDataArchive.h"

#include <algorithm>

#include "app/WorkDir.h"
#include "archive/ARCHIVES.h"
#include "archive/ArchiverProgress.h"
#include "base/Encoding.h"
#include "base/Error.h"

namespace furlox::app {
namespace {

constexpr unsigned kListingMode = 0x800000;
constexpr int kOutputSize = 8192;

std::string PathText(const std::string& path)
{
    return EscapeControlBytes(furlox::PathText(Utf8Path(path)));
}

const char* const kKolNames[] = {kol::kRaceFileName, kol::kEntryFileName, kol::kHorseFileName};

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
                                  archive::ArchiverProgress* progress,
                                  std::chrono::milliseconds lockPatience)
{
    archive::TArchiveFile archiveFile;
    archiveFile.SetFileName(archivePath);
    archiveFile.Options().c = 1;
    archiveFile.SetOutputSize(kOutputSize);
    archiveFile.SetArchiverType(archive::atLha);
    archiveFile.Options().n = 1;
    archiveFile.Rules().fixedNames.assign(std::begin(kKolNames), std::end(kKolNames));
    archiveFile.Rules().protectedNames = ProgramFileNames();

    const std::string shown = PathText(archivePath);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Utf8Path(archivePath), ec)) {
        return Failed("書庫ファイル "_sj + shown + " が見つかりません。"_sj);
    }
    if (std::filesystem::file_size(Utf8Path(archivePath), ec) == 0 && !ec) {
        return Failed("書庫ファイル "_sj + shown + " は空です。"_sj);
    }
    // From the check to the end of the load, no other open or load uses the work directory.
    std::error_code made;
    std::filesystem::create_directories(workDir, made);
    std::unique_ptr<platform::FileLock> lock;
    try {
        lock = LockWorkDir(workDir, lockPatience);
    } catch (const Error& e) {
        return Failed(e.what());
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
    if (code == archive::lha::kErrorUnreadableName) {
        return Failed("書庫ファイル "_sj + shown +
                      " のファイル名を読み取れません。\r\n"
                      "Shift-JIS でも UTF-8 でもない名前の格納ファイルがあります。"_sj);
    }
    if (code != archive::lha::kEndOfList) {
        return Failed("書庫ファイル "_sj + shown + " は壊れているか、途中で切れています。"_sj);
    }
    if (!raceFileSeen && !horseFileSeen) {
        OpenArchiveResult result;
        result.status = OpenArchiveResult::Status::NoData;
        result.message = NoDataMessage();
        return result;
    }

    int extractResult = 0;
    {
        ShownProgress shownProgress(progress, archiveFile);
        extractResult = archiveFile.Extract(nullptr, {}, Utf8Text(workDir));
    }
    // The extraction names the files it placed.
    const std::vector<std::filesystem::path>& placed = archiveFile.LastResult().placed;
    const bool replaced = std::any_of(placed.begin(), placed.end(), [](const auto& path) {
        const std::string name = Utf8Text(path.filename());
        return std::find(std::begin(kKolNames), std::end(kKolNames), name) != std::end(kKolNames);
    });

    OpenArchiveResult result;
    result.extractResult = extractResult;
    if (extractResult != 0) {
        const std::string details = archiveFile.LastResult().Text();
        if (!replaced) {
            result.status = OpenArchiveResult::Status::Failed;
            result.message =
                WithDetails("書庫ファイル "_sj + shown + " を展開できませんでした。"_sj, details);
            return result;
        }
        result.message = WithDetails(
            "書庫ファイル "_sj + shown + " の一部のファイルを展開できませんでした。"_sj, details);
    }
    result.status = OpenArchiveResult::Status::Extracted;
    result.load = kol::LoadKolFiles(workDir, day); // under the lock already held
    return result;
}

} // namespace furlox::app
