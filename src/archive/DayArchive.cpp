#include "archive/DayArchive.h"

#include <algorithm>
#include <array>
#include <optional>

#include "archive/ARCHIVES.h"
#include "archive/ArchiverProgress.h"
#include "base/Encoding.h"
#include "kol/WorkDir.h"

namespace furlox::archive {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kListingMode = 0x800000;
constexpr int kOutputSize = 8192;

constexpr std::array<const char*, 3> kKolNames = {kol::kRaceFileName, kol::kEntryFileName,
                                                  kol::kHorseFileName};

std::string Shown(const fs::path& archive)
{
    return EscapeControlBytes(PathText(archive));
}

// The library's lines after a first sentence, without the last line end.
std::string WithDetails(std::string first, std::string details)
{
    while (!details.empty() && (details.back() == '\n' || details.back() == '\r')) {
        details.pop_back();
    }
    return details.empty() ? first : first + "\r\n\r\n" + details;
}

const std::string& WholeDayNote()
{
    return "\r\n\r\n3 つのデータファイル(kol_den1.kd2, kol_den2.kd2, "
           "kol_uma.kd2)がそろった書庫だけを"
           "読み込みます。作業フォルダのデータは元のままです。"_sj;
}

// Shows the progress state for the extraction and hides it afterwards, also on an error.
class ShownProgress
{
public:
    ShownProgress(ArchiverProgress* progress, TArchiveFile& archiveFile) : m_progress(progress)
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
    ArchiverProgress* m_progress;
};

// The whole-day check over the files of the extraction, before any is put in place: each
// data file there, not empty, a race in the race file; then the day loaded from them.
kol::LoadedDay CheckAndLoad(const std::vector<StagedFile>& staged, const fs::path& destination,
                            const fs::path& archive, const std::string& refusals)
{
    std::array<const StagedFile*, 3> found = {};
    for (std::size_t k = 0; k < kKolNames.size(); ++k) {
        const fs::path target = destination / kKolNames[k];
        // The last of two entries of one name is the one put in place.
        for (auto it = staged.rbegin(); it != staged.rend() && !found[k]; ++it) {
            if (it->target == target) {
                found[k] = &*it;
            }
        }
        if (!found[k]) {
            throw NotADayError(
                WithDetails("書庫ファイル "_sj + Shown(archive) + " には "_sj + kKolNames[k] +
                                " がないか、展開できない形で入っています。"_sj + WholeDayNote(),
                            refusals));
        }
        std::error_code ec;
        if (fs::file_size(found[k]->staged, ec) == 0 && !ec) {
            throw NotADayError("書庫ファイル "_sj + Shown(archive) + " の "_sj + kKolNames[k] +
                               " は空です。"_sj + WholeDayNote());
        }
    }
    std::optional<kol::LoadedDay> loaded =
        kol::LoadKolFiles(kol::DayFiles{found[0]->staged, found[1]->staged, found[2]->staged});
    const bool noRace =
        !loaded || std::none_of(loaded->day.raceLines.begin(), loaded->day.raceLines.end(),
                                [](const std::string& line) { return !line.empty(); });
    if (noRace) {
        throw NotADayError("書庫ファイル "_sj + Shown(archive) + " の "_sj + kol::kRaceFileName +
                           " にはレースが 1 つもありません。"_sj + WholeDayNote());
    }
    return std::move(*loaded);
}

} // namespace

const std::string& NoDataMessage()
{
    return "指定した書庫ファイルにデータは含まれておりません。\r\n\r\n"
           "このプログラムは新形式データのみの対応となりますので、\r\n"
           "旧形式データをご利用の場合は、新形式データを入手\r\n"
           "してご利用ください。"_sj;
}

void CheckArchivePath(const fs::path& archive)
{
    const std::string shown = Shown(archive);
    std::error_code ec;
    const fs::file_status status = fs::status(archive, ec);
    switch (status.type()) {
    case fs::file_type::regular:
        break;
    case fs::file_type::not_found:
        throw Error("書庫ファイル "_sj + shown + " が見つかりません。"_sj);
    case fs::file_type::directory:
        throw Error(shown + " はフォルダです。書庫ファイル（.lzh）を指定してください。"_sj);
    default:
        if (ec && status.type() == fs::file_type::none) {
            throw Error("書庫ファイル "_sj + shown + " を開けません。"_sj);
        }
        throw Error(shown + " は通常のファイルではありません（装置やパイプなど）。"
                            "書庫ファイル（.lzh）を指定してください。"_sj);
    }
    const std::uintmax_t size = fs::file_size(archive, ec);
    if (!ec && size == 0) {
        throw Error("書庫ファイル "_sj + shown + " は空です。"_sj);
    }
    if (!ec && size > lha::kMaxArchiveSize) {
        throw Error("書庫ファイル "_sj + shown +
                    " は大きすぎます（64 MB を超える書庫は"
                    "読み込みません）。"_sj);
    }
}

OpenedDay ExtractDayArchive(const fs::path& archive, const fs::path& destination,
                            ArchiverProgress* progress,
                            const std::function<void(int step)>& commitStep)
{
    CheckArchivePath(archive);
    const std::string shown = Shown(archive);

    TArchiveFile archiveFile;
    archiveFile.SetFileName(Utf8Text(archive));
    archiveFile.Options().c = 1;
    archiveFile.SetOutputSize(kOutputSize);
    archiveFile.SetArchiverType(atLha);
    archiveFile.Options().n = 1;

    if (archiveFile.OpenArchive(kListingMode) != 0) {
        archiveFile.CloseArchive();
        throw Error("書庫ファイル "_sj + shown +
                    " を読み込めません。\r\n壊れているか、LHA 形式の書庫ではありません。"_sj);
    }
    // Only the names at the top level count, exactly as written.
    bool raceFileSeen = false;
    bool horseFileSeen = false;
    EntryInfo entry;
    int code = archiveFile.FindFirst("*.*", entry);
    while (code == 0) {
        raceFileSeen = raceFileSeen || entry.fileName == kol::kRaceFileName;
        horseFileSeen = horseFileSeen || entry.fileName == kol::kHorseFileName;
        code = archiveFile.FindNext(entry);
    }
    archiveFile.CloseArchive();
    if (code == lha::kErrorUnreadableName) {
        throw Error("書庫ファイル "_sj + shown +
                    " のファイル名を読み取れません。\r\n"
                    "Shift-JIS でも UTF-8 でもない名前の格納ファイルがあります。"_sj);
    }
    if (code != lha::kEndOfList) {
        throw Error("書庫ファイル "_sj + shown + " は壊れているか、途中で切れています。"_sj);
    }
    if (!raceFileSeen && !horseFileSeen) {
        throw NotADayError(NoDataMessage());
    }

    std::optional<kol::LoadedDay> loaded;
    ExtractRules& rules = archiveFile.Rules();
    rules.fixedNames.assign(kKolNames.begin(), kKolNames.end());
    rules.protectedNames = kol::ProgramFileNames();
    rules.journal = {destination / kol::kCommitJournalName, commitStep};
    rules.beforeCommit = [&](const std::vector<StagedFile>& staged, const std::string& refusals) {
        loaded = CheckAndLoad(staged, destination, archive, refusals);
    };
    std::error_code made;
    fs::create_directories(destination, made);
    int extractResult = 0;
    {
        ShownProgress shownProgress(progress, archiveFile);
        extractResult = archiveFile.Extract(nullptr, {}, Utf8Text(destination));
    }
    const lha::ExtractResult& result = archiveFile.LastResult();
    if (!loaded || result.placed.empty()) {
        throw Error(WithDetails("書庫ファイル "_sj + shown + " を展開できませんでした。"_sj,
                                result.Text()));
    }
    OpenedDay opened{std::move(*loaded), {}};
    if (extractResult != 0) {
        opened.refusals =
            WithDetails("書庫ファイル "_sj + shown + " の一部のファイルを展開できませんでした。"_sj,
                        result.Text());
    }
    return opened;
}

} // namespace furlox::archive
