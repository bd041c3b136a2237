#include "app/KeepDay.h"

#include "app/OpenDataArchive.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "library/Library.h"

namespace furlox::app {

std::string KeepOpenedDay(const std::filesystem::path& archive,
                          const std::filesystem::path& workDir, const kol::RaceDay& day)
{
    try {
        library::OpenReport report;
        library::Library library = library::Library::Open(workDir, &report);
        library.ImportOpened(archive, day);
        return report.notice;
    } catch (const Error& e) {
        return "この日はライブラリに保存されませんでした（表示には影響ありません）。\r\n"_sj +
               e.what();
    } catch (const std::exception&) {
        return "この日はライブラリに保存されませんでした（表示には影響ありません）。"_sj;
    }
}

std::string PrepareLibraryAtStart(const std::filesystem::path& workDir)
{
    try {
        library::OpenReport report;
        library::Library library = library::Library::Open(workDir, &report);
        if (report.created) {
            library.ImportWorkDay();
        }
        return report.notice;
    } catch (const Error& e) {
        return "ライブラリを使えません（今日のレースはそのまま表示できます）。\r\n"_sj + e.what();
    } catch (const std::exception&) {
        return "ライブラリを使えません（今日のレースはそのまま表示できます）。"_sj;
    }
}

std::optional<archive::OpenedDay> OpenLibraryDay(const std::filesystem::path& workDir,
                                                 library::Date date,
                                                 archive::ArchiverProgress* progress)
{
    std::optional<library::ScratchFolder> scratch;
    std::optional<std::filesystem::path> kept;
    {
        // Closed before the open: the day's put in place under the work directory's lock only.
        library::Library library = library::Library::Open(workDir);
        scratch.emplace(workDir);
        kept = library.KeptArchive(date, scratch->Path());
    }
    if (!kept) {
        return std::nullopt;
    }
    return OpenDataArchive(*kept, workDir, progress);
}

} // namespace furlox::app
