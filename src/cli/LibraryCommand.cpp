// furlox-cli library …: the season library of the work directory, headless.
#include <iostream>
#include <sstream>

#include "app/KeepDay.h"
#include "app/OpenDataArchive.h"
#include "archive/ArchiverProgress.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "cli/Cli.h"
#include "library/Library.h"
#include "library/LibraryError.h"
#include "library/LibraryTexts.h"

namespace furlox::cli {
namespace {

namespace fs = std::filesystem;
using library::Date;
using library::Library;

constexpr const char* kLibraryUsage =
    "usage: furlox-cli [--workdir DIR] library COMMAND\n"
    "  import PATH...        import archives, or the archives in folders\n"
    "  days [--json]         the days of the library, newest first\n"
    "  open DATE             put a day (YYYY-MM-DD) into the work directory\n"
    "  remove DATE           remove a day and its kept archive\n"
    "  horse NAME [--json]   every run of a horse the library knows, oldest first\n"
    "  backup FILE           copy the library into FILE\n"
    "  restore FILE          put the library FILE in place of the library\n"
    "  check                 check the whole library (exit 0 when it is sound)\n";

int Usage()
{
    std::cerr << kLibraryUsage;
    return 2;
}

std::string Json(std::string_view utf8)
{
    return JsonString(ToCp932(utf8));
}

template <class T>
std::string JsonNumber(const std::optional<T>& value)
{
    return value ? std::to_string(*value) : "null";
}

// Opens the library, saying on stderr what was found at the open (a damaged one moved
// aside); a library made just now takes the work directory's day first.
Library OpenLibrary(const Context& ctx)
{
    library::OpenReport report;
    Library opened = Library::Open(ctx.workDir, &report);
    if (!report.notice.empty()) {
        PrintError(report.notice);
    }
    if (report.created) {
        // The day that was in the work directory before there was a library joins it.
        try {
            opened.ImportWorkDay();
        } catch (const Error& e) {
            PrintError(e.what());
        }
    }
    return opened;
}

std::optional<Date> DateArgument(const std::string& text)
{
    const std::optional<Date> date = library::ParseDateText(text);
    if (!date) {
        std::cerr << "furlox-cli: not a date (YYYY-MM-DD): " << text << "\n";
    }
    return date;
}

int Import(const Context& ctx)
{
    if (ctx.args.size() < 2) {
        return Usage();
    }
    std::vector<fs::path> paths;
    for (std::size_t i = 1; i < ctx.args.size(); ++i) {
        paths.push_back(Utf8Path(ctx.args[i]));
    }
    Library library = OpenLibrary(ctx);
    const bool terminal = StderrIsTerminal();
    std::size_t shownWidth = 0;
    const auto progress = [&](int done, int total, const fs::path& path) {
        if (!terminal) {
            return;
        }
        std::string text = std::to_string(done + (path.empty() ? 0 : 1)) + "/" +
                           std::to_string(total) + " " + Printable(PathText(path.filename()));
        std::cerr << '\r' << text;
        if (text.size() < shownWidth) {
            std::cerr << std::string(shownWidth - text.size(), ' ') << '\r' << text;
        }
        if (path.empty()) {
            std::cerr << '\r' << std::string(text.size(), ' ') << '\r';
        }
        std::cerr << std::flush;
        shownWidth = text.size();
    };
    const std::vector<library::ImportItem> items = library.ImportMany(paths, progress);
    int refused = 0;
    int added = 0;
    for (const library::ImportItem& item : items) {
        const std::string name = Printable(PathText(item.path));
        if (!item.result) {
            ++refused;
            PrintError(PathText(item.path) + ": "_sj + item.refusal);
            continue;
        }
        const std::string date = library::DateText(item.result->date);
        switch (item.result->outcome) {
        case library::ImportOutcome::Added:
            ++added;
            std::cout << date << " " << Printable("取り込みました"_sj) << ": " << name << "\n";
            break;
        case library::ImportOutcome::Replaced:
            ++added;
            std::cout << date << " " << Printable("置き換えました"_sj) << ": " << name << "\n";
            break;
        case library::ImportOutcome::AlreadyThere:
            std::cout << date << " " << Printable("取り込み済みです（変更なし）"_sj) << ": " << name
                      << "\n";
            break;
        }
    }
    std::cout << Printable("取り込み "_sj + std::to_string(added) + " 日、拒否 "_sj +
                           std::to_string(refused) + " 件"_sj)
              << "\n";
    return refused > 0 ? 1 : 0;
}

int Days(const Context& ctx)
{
    const bool json = ctx.args.size() == 2 && ctx.args[1] == "--json";
    if (ctx.args.size() > 2 || (ctx.args.size() == 2 && !json)) {
        return Usage();
    }
    Library library = OpenLibrary(ctx);
    const std::vector<library::DaySummary> days = library.Days();
    std::ostringstream out;
    if (json) {
        out << "{\"days\": [";
        for (std::size_t i = 0; i < days.size(); ++i) {
            const library::DaySummary& d = days[i];
            out << (i ? ", " : "") << "{\"date\": \"" << library::DateText(d.date)
                << "\", \"courses\": [";
            for (std::size_t c = 0; c < d.courseCodes.size(); ++c) {
                out << (c ? ", " : "") << JsonString(library::CourseText(d.courseCodes[c]));
            }
            out << "], \"races\": " << d.races << ", \"runners\": " << d.runners
                << ", \"known\": " << d.known << "}";
        }
        out << "]}\n";
    } else {
        for (const library::DaySummary& d : days) {
            out << library::DateText(d.date) << " "
                << Printable("("_sj + library::WeekdayText(d.date) + ") "_sj +
                             library::CoursesText(d))
                << "  " << d.races << "R " << d.runners << Printable("頭"_sj) << "\n";
        }
    }
    std::cout << out.str();
    return 0;
}

int OpenDay(const Context& ctx)
{
    if (ctx.args.size() != 2) {
        return Usage();
    }
    const std::optional<Date> date = DateArgument(ctx.args[1]);
    if (!date) {
        return 2;
    }
    {
        // Says what the open of the library found (a damaged one moved aside) first.
        Library library = OpenLibrary(ctx);
    }
    const std::optional<archive::OpenedDay> opened = app::OpenLibraryDay(ctx.workDir, *date);
    if (!opened) {
        PrintError("ライブラリに "_sj + ctx.args[1] + " の日はありません。"_sj);
        return 1;
    }
    if (!opened->refusals.empty()) {
        PrintError(opened->refusals);
    }
    PrintRaceList(opened->loaded);
    return 0;
}

int Remove(const Context& ctx)
{
    if (ctx.args.size() != 2) {
        return Usage();
    }
    const std::optional<Date> date = DateArgument(ctx.args[1]);
    if (!date) {
        return 2;
    }
    Library library = OpenLibrary(ctx);
    if (!library.RemoveDay(*date)) {
        PrintError("ライブラリに "_sj + ctx.args[1] + " の日はありません。"_sj);
        return 1;
    }
    return 0;
}

int Horse(const Context& ctx)
{
    const bool json = ctx.args.size() == 3 && ctx.args[2] == "--json";
    if (ctx.args.size() < 2 || ctx.args.size() > 3 || (ctx.args.size() == 3 && !json)) {
        return Usage();
    }
    const std::string name = library::SearchKey(ctx.args[1]);
    Library library = OpenLibrary(ctx);
    if (!library.HasHorse(name)) {
        PrintError("ライブラリに "_sj + ToCp932(name) + " という馬はいません。"_sj);
        return 1;
    }
    const std::vector<library::HistoryRun> runs = library.History(name);
    std::ostringstream out;
    if (json) {
        out << "{\"name\": " << Json(name) << ", \"runs\": [";
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const library::HistoryRun& r = runs[i];
            out << (i ? ", " : "") << "{\"date\": \"" << library::DateText(r.date)
                << "\", \"course\": " << JsonString(library::CourseText(r.courseCode))
                << ", \"fx\": " << JsonNumber(r.fx) << ", \"finish\": " << JsonNumber(r.finish)
                << ", \"popularity\": " << JsonNumber(r.popularity) << ", \"source\": \""
                << (r.source == library::HistoryRun::Source::Block ? "block" : "race") << "\"}";
        }
        out << "]}\n";
    } else {
        for (const library::HistoryRun& r : runs) {
            out << library::DateText(r.date) << " " << Printable(library::CourseText(r.courseCode))
                << " FX " << (r.fx ? std::to_string(*r.fx) : "-") << "  " << Printable("着順 "_sj)
                << (r.finish ? std::to_string(*r.finish) : "-") << "  " << Printable("人気 "_sj)
                << (r.popularity ? std::to_string(*r.popularity) : "-") << "  "
                << Printable(ToCp932(r.raceName)) << "\n";
        }
    }
    std::cout << out.str();
    return 0;
}

int Backup(const Context& ctx)
{
    if (ctx.args.size() != 2) {
        return Usage();
    }
    Library library = OpenLibrary(ctx);
    library.Backup(Utf8Path(ctx.args[1]));
    return 0;
}

int Restore(const Context& ctx)
{
    if (ctx.args.size() != 2) {
        return Usage();
    }
    const fs::path moved = Library::Restore(ctx.workDir, Utf8Path(ctx.args[1]));
    if (!moved.empty()) {
        PrintError("元のライブラリは "_sj + PathText(moved) + " に移しました。"_sj);
    }
    return 0;
}

int Check(const Context& ctx)
{
    if (ctx.args.size() != 1) {
        return Usage();
    }
    Library library = OpenLibrary(ctx);
    const library::CheckResult result = library.Check();
    for (const std::string& problem : result.problems) {
        std::cout << problem << "\n";
    }
    if (!result.sound) {
        PrintError("ライブラリ "_sj + PathText(Library::FileIn(ctx.workDir)) +
                   " に問題が見つかりました。"_sj);
        return 1;
    }
    std::cout << "ok\n";
    return 0;
}

} // namespace

int CmdLibrary(const Context& ctx)
{
    if (ctx.args.empty()) {
        return Usage();
    }
    const std::string& sub = ctx.args.front();
    if (sub == "import") {
        return Import(ctx);
    }
    if (sub == "days") {
        return Days(ctx);
    }
    if (sub == "open") {
        return OpenDay(ctx);
    }
    if (sub == "remove") {
        return Remove(ctx);
    }
    if (sub == "horse") {
        return Horse(ctx);
    }
    if (sub == "backup") {
        return Backup(ctx);
    }
    if (sub == "restore") {
        return Restore(ctx);
    }
    if (sub == "check") {
        return Check(ctx);
    }
    std::cerr << "furlox-cli: unknown library command " << sub << "\n";
    return Usage();
}

} // namespace furlox::cli
