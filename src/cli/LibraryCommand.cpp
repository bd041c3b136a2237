// furlox-cli library …: the season library of the work directory, headless.
#include <array>
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
    "  results DATE --json   the results of a day's races known from later days\n"
    "  tally [--from DATE] [--to DATE] [--course NAME] [--surface 芝|ダ|障]\n"
    "        [--grade A|B|C] [--distance -1600|1601-2200|2201-] [--class TEXT]\n"
    "        [--json | --csv] whether the marks come in (a table without --json, --csv)\n"
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

std::optional<std::string> MarkJson(library::StoredMark mark)
{
    if (mark == library::StoredMark::None) {
        return std::nullopt;
    }
    return JsonString(library::TallyMarkText(library::MarkRow(mark)));
}

// "2001-01-06 中山11R": how a race is named in a message (CP932).
std::string RaceName(Date day, std::optional<int> courseCode, std::optional<int> raceNumber,
                     int raceIndex)
{
    std::string name = library::DateText(day) + " ";
    if (courseCode) {
        name += library::CourseText(*courseCode);
    }
    if (raceNumber) {
        name += std::to_string(*raceNumber) + "R";
    }
    return name + " ("_sj + "レース "_sj + std::to_string(raceIndex) + ")";
}

void PrintFailedRace(Date day, std::optional<int> courseCode, std::optional<int> raceNumber,
                     int raceIndex, const std::string& utf8Error)
{
    PrintError(RaceName(day, courseCode, raceNumber, raceIndex) +
               " は解析できないため、除きました: "_sj + ToCp932(utf8Error));
}

int Results(const Context& ctx)
{
    if (ctx.args.size() != 3 || ctx.args[2] != "--json") {
        return Usage();
    }
    const std::optional<Date> date = DateArgument(ctx.args[1]);
    if (!date) {
        return 2;
    }
    Library library = OpenLibrary(ctx);
    const std::optional<std::vector<library::RaceResults>> races = library.Results(*date);
    if (!races) {
        PrintError("ライブラリに "_sj + ctx.args[1] + " の日はありません。"_sj);
        return 1;
    }
    int failed = 0;
    std::ostringstream out;
    out << "{\"date\": \"" << library::DateText(*date) << "\", \"races\": [";
    bool firstRace = true;
    for (const library::RaceResults& race : *races) {
        if (!race.analysisError.empty()) {
            ++failed;
            PrintFailedRace(*date, race.courseCode, race.raceNumber, race.raceIndex,
                            race.analysisError);
            continue;
        }
        out << (firstRace ? "" : ", ") << "{\"race\": " << race.raceIndex << ", \"course\": "
            << (race.courseCode ? JsonString(library::CourseText(*race.courseCode)) : "null")
            << ", \"number\": " << JsonNumber(race.raceNumber) << ", \"runners\": [";
        firstRace = false;
        for (std::size_t i = 0; i < race.runners.size(); ++i) {
            const library::RunnerOfDay& r = race.runners[i];
            const std::string finish = r.result ? std::to_string(r.result->finish) : "null";
            const std::string popularity =
                r.result && r.result->popularity ? std::to_string(*r.result->popularity) : "null";
            out << (i ? ", " : "") << "{\"horse\": " << r.horseNumber
                << ", \"name\": " << Json(r.name) << ", \"finish\": " << finish
                << ", \"popularity\": " << popularity
                << ", \"mark\": " << MarkJson(r.mark).value_or("null") << "}";
        }
        out << "]}";
    }
    out << "]}\n";
    std::cout << out.str();
    return failed > 0 ? 1 : 0;
}

std::optional<int> CourseCodeNamed(const std::string& utf8)
{
    const std::string wanted = ToCp932(library::SearchKey(utf8));
    for (int code = 1; code <= 99; ++code) {
        const std::string& name = kol::CourseName(code);
        if (name != kol::UnknownCourseName() && name == wanted) {
            return code;
        }
    }
    return std::nullopt;
}

enum class TallyFormat
{
    Table,
    Json,
    Csv,
};

struct TallyArguments
{
    library::TallyFilter filter;
    TallyFormat format = TallyFormat::Table;
};

// nullopt after a usage error has been said.
std::optional<TallyArguments> ParseTally(const std::vector<std::string>& args)
{
    TallyArguments parsed;
    bool formatGiven = false;
    const auto bad = [](const std::string& what) {
        std::cerr << "furlox-cli library tally: " << what << "\n";
        return std::nullopt;
    };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json" || a == "--csv") {
            if (formatGiven) {
                return bad("give --json or --csv, not both");
            }
            formatGiven = true;
            parsed.format = a == "--json" ? TallyFormat::Json : TallyFormat::Csv;
            continue;
        }
        if (i + 1 >= args.size()) {
            return bad("unexpected argument " + a);
        }
        const std::string& value = args[++i];
        library::TallyFilter& f = parsed.filter;
        if (a == "--from" || a == "--to") {
            const std::optional<Date> date = library::ParseDateText(value);
            if (!date) {
                return bad("not a date (YYYY-MM-DD): " + value);
            }
            (a == "--from" ? f.from : f.to) = date;
        } else if (a == "--course") {
            f.courseCode = CourseCodeNamed(value);
            if (!f.courseCode) {
                return bad("no such course: " + value);
            }
        } else if (a == "--surface") {
            for (const auto surface : {library::StoredSurface::Turf, library::StoredSurface::Dirt,
                                       library::StoredSurface::Steeplechase}) {
                if (ToCp932(value) == library::SurfaceLetter(surface)) {
                    f.surface = surface;
                }
            }
            if (!f.surface) {
                return bad("the surface is 芝, ダ or 障: " + value);
            }
        } else if (a == "--grade") {
            if (value != "A" && value != "B" && value != "C") {
                return bad("the grade is A, B or C: " + value);
            }
            f.grade = static_cast<library::BetGrade>(value[0] - 'A');
        } else if (a == "--distance") {
            if (value == "-1600") {
                f.distance = library::DistanceBand::UpTo1600;
            } else if (value == "1601-2200") {
                f.distance = library::DistanceBand::From1601To2200;
            } else if (value == "2201-") {
                f.distance = library::DistanceBand::From2201;
            } else {
                return bad("the distance is -1600, 1601-2200 or 2201-: " + value);
            }
        } else if (a == "--class") {
            f.classText = ToCp932(library::SearchKey(value));
        } else {
            return bad("unexpected argument " + a);
        }
    }
    return parsed;
}

// The tables' fields, in the order of the JSON; a CSV row leaves empty what its table lacks.
constexpr std::array<const char*, 14> kTallyFields = {
    "mark",       "starts", "first", "second", "third",   "out",  "unknown",
    "popularity", "kind",   "grade", "races",  "decided", "hits", "void"};

using TallyFields = std::array<std::string, kTallyFields.size()>;

void PutCounts(TallyFields& fields, const library::MarkCounts& c)
{
    fields[1] = std::to_string(c.starts);
    fields[2] = std::to_string(c.first);
    fields[3] = std::to_string(c.second);
    fields[4] = std::to_string(c.third);
    fields[5] = std::to_string(c.out);
    fields[6] = std::to_string(c.unknown);
}

struct TallyRow
{
    const char* table;
    TallyFields fields; // UTF-8 values, empty where the table has no such field
    std::array<bool, kTallyFields.size()> isText{};
};

std::vector<TallyRow> TallyRows(const library::TallyResult& tally)
{
    std::vector<TallyRow> rows;
    for (int m = 0; m < library::kTallyMarks; ++m) {
        TallyRow& row = rows.emplace_back(TallyRow{"marks", {}, {}});
        row.fields[0] = ToUtf8(library::TallyMarkText(m));
        row.isText[0] = true;
        PutCounts(row.fields, tally.marks[static_cast<std::size_t>(m)]);
    }
    for (int p = 0; p < library::kMarketRows; ++p) {
        TallyRow& row = rows.emplace_back(TallyRow{"market", {}, {}});
        row.fields[7] = std::to_string(p + 1);
        PutCounts(row.fields, tally.market[static_cast<std::size_t>(p)]);
    }
    for (int k = 0; k < library::kBetKinds; ++k) {
        for (int g = 0; g < library::kBetGrades; ++g) {
            const library::BetCounts& c =
                tally.bets[static_cast<std::size_t>(k)][static_cast<std::size_t>(g)];
            TallyRow& row = rows.emplace_back(TallyRow{"bets", {}, {}});
            row.fields[8] = ToUtf8(library::BetKindText(static_cast<library::TallyBetKind>(k)));
            row.fields[9] = library::GradeLetter(static_cast<library::BetGrade>(g));
            row.isText[8] = row.isText[9] = true;
            row.fields[10] = std::to_string(c.races);
            row.fields[11] = std::to_string(c.decided);
            row.fields[12] = std::to_string(c.hits);
            row.fields[13] = std::to_string(c.voids);
        }
    }
    return rows;
}

std::string TallyJson(const library::TallyResult& tally)
{
    const std::vector<TallyRow> rows = TallyRows(tally);
    std::ostringstream out;
    out << "{\"races\": " << tally.races;
    std::string table;
    bool first = true;
    const auto open = [&](const std::string& name) {
        out << (table.empty() ? "" : "]") << ", \"" << name << "\": [";
        table = name;
        first = true;
    };
    for (const TallyRow& row : rows) {
        if (row.table != table) {
            if (table == "market") {
                // The user's own marks have a table of their own once there are any.
                open("myMarks");
            }
            open(row.table);
        }
        out << (first ? "" : ", ") << "{";
        // Each table's own field first: the mark, the popularity, the kind and grade.
        static constexpr std::array<std::size_t, kTallyFields.size()> kJsonOrder = {
            0, 7, 8, 9, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13};
        bool firstField = true;
        for (const std::size_t f : kJsonOrder) {
            if (row.fields[f].empty()) {
                continue;
            }
            out << (firstField ? "" : ", ") << "\"" << kTallyFields[f]
                << "\": " << (row.isText[f] ? Json(row.fields[f]) : row.fields[f]);
            firstField = false;
        }
        out << "}";
        first = false;
    }
    out << "]}\n";
    return out.str();
}

std::string TallyCsv(const library::TallyResult& tally)
{
    std::string out = "\xEF\xBB\xBFtable";
    for (const char* field : kTallyFields) {
        out += std::string(",") + field;
    }
    out += "\r\n";
    for (const TallyRow& row : TallyRows(tally)) {
        out += row.table;
        for (const std::string& value : row.fields) {
            out += "," + value;
        }
        out += "\r\n";
    }
    return out;
}

// The tables as a person reads them, the rates made by the one rate text (CP932).
std::string TallyTable(const library::TallyResult& tally, const library::TallyFilter& filter)
{
    using kol::PadLeft;
    using kol::PadRight;
    std::string out = "成績集計  "_sj;
    if (filter.from || filter.to) {
        out += (filter.from ? library::DateText(*filter.from) : "最初の日"_sj) + " - " +
               (filter.to ? library::DateText(*filter.to) : "最後の日"_sj) + "  ";
    }
    out += std::to_string(tally.races) + " レース"_sj + "\n";
    const auto header = [&](const std::string& first) {
        out += "\n" + PadRight(first, 8) + PadLeft("出走"_sj, 6) + PadLeft("1着"_sj, 6) +
               PadLeft("2着"_sj, 6) + PadLeft("3着"_sj, 6) + PadLeft("着外"_sj, 6) +
               PadLeft("勝率"_sj, 8) + PadLeft("連対率"_sj, 8) + PadLeft("複勝率"_sj, 8) +
               PadLeft("未確定"_sj, 8) + "\n";
    };
    const auto line = [&](const std::string& first, const library::MarkCounts& c) {
        out += PadRight(first, 8) + PadLeft(std::to_string(c.starts), 6) +
               PadLeft(std::to_string(c.first), 6) + PadLeft(std::to_string(c.second), 6) +
               PadLeft(std::to_string(c.third), 6) + PadLeft(std::to_string(c.out), 6) +
               PadLeft(library::RateText(c.first, c.starts), 8) +
               PadLeft(library::RateText(c.first + c.second, c.starts), 8) +
               PadLeft(library::RateText(c.first + c.second + c.third, c.starts), 8) +
               PadLeft(std::to_string(c.unknown), 8) + "\n";
    };
    header("印"_sj);
    for (int m = 0; m < library::kTallyMarks; ++m) {
        line(library::TallyMarkText(m), tally.marks[static_cast<std::size_t>(m)]);
    }
    header("人気"_sj);
    for (int p = 0; p < library::kMarketRows; ++p) {
        line(std::to_string(p + 1) + "番人気"_sj, tally.market[static_cast<std::size_t>(p)]);
    }
    out += "\n" + PadRight("馬券"_sj, 10) + PadLeft("レース"_sj, 8) + PadLeft("確定"_sj, 6) +
           PadLeft("的中"_sj, 6) + PadLeft("返還"_sj, 6) + PadLeft("未確定"_sj, 8) +
           PadLeft("的中率"_sj, 8) + "\n";
    for (int k = 0; k < library::kBetKinds; ++k) {
        for (int g = 0; g < library::kBetGrades; ++g) {
            const library::BetCounts& c =
                tally.bets[static_cast<std::size_t>(k)][static_cast<std::size_t>(g)];
            out += PadRight(library::BetKindText(static_cast<library::TallyBetKind>(k)) + " " +
                                library::GradeLetter(static_cast<library::BetGrade>(g)),
                            10) +
                   PadLeft(std::to_string(c.races), 8) + PadLeft(std::to_string(c.decided), 6) +
                   PadLeft(std::to_string(c.hits), 6) + PadLeft(std::to_string(c.voids), 6) +
                   PadLeft(std::to_string(c.Open()), 8) +
                   PadLeft(library::RateText(c.hits, c.decided), 8) + "\n";
        }
    }
    return out;
}

int Tally(const Context& ctx)
{
    const std::optional<TallyArguments> args = ParseTally(ctx.args);
    if (!args) {
        return Usage();
    }
    Library library = OpenLibrary(ctx);
    const library::TallyResult tally = library.Tally(args->filter);
    switch (args->format) {
    case TallyFormat::Json:
        std::cout << TallyJson(tally);
        break;
    case TallyFormat::Csv:
        std::cout << TallyCsv(tally);
        break;
    case TallyFormat::Table:
        std::cout << Printable(TallyTable(tally, args->filter), LineBreaks::Keep);
        break;
    }
    std::cout << std::flush;
    for (const library::FailedRace& race : tally.failed) {
        PrintFailedRace(race.day, race.courseCode, race.raceNumber, race.raceIndex, race.error);
    }
    return tally.failed.empty() ? 0 : 1;
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
    if (sub == "results") {
        return Results(ctx);
    }
    if (sub == "tally") {
        return Tally(ctx);
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
