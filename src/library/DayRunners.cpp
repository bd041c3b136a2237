#include "library/DayRunners.h"

#include <algorithm>

#include "analysis/FxValue.h"
#include "analysis/RaceAnalysis.h"
#include "analysis/RaceFormat.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "library/LibraryTexts.h"

namespace furlox::library {
namespace {

// A record text without its trailing blanks, ASCII and full-width (CP932).
std::string Trimmed(std::string_view cp932)
{
    return ToCp932(HorseKey(cp932));
}

std::optional<int> Known(int value, bool known)
{
    return known ? std::optional<int>(value) : std::nullopt;
}

int MarkOrder(Mark mark)
{
    return static_cast<int>(mark); // ◎ 1 … × 5
}

// ① … ⑳ (CP932 0x8740 onwards); a number past them as it is.
std::string Circled(int number)
{
    if (number < 1 || number > 20) {
        return std::to_string(number);
    }
    const char text[3] = {static_cast<char>(0x87), static_cast<char>(0x40 + number - 1), 0};
    return text;
}

} // namespace

std::optional<Date> DayDate(const kol::RaceDay& day)
{
    if (day.races.empty()) {
        return std::nullopt;
    }
    const kol::RaceDate& d = day.races.front().date;
    if (d.year <= 0 || d.month < 1 || d.day < 1) {
        return std::nullopt;
    }
    const Date date{std::chrono::year(d.year), std::chrono::month(static_cast<unsigned>(d.month)),
                    std::chrono::day(static_cast<unsigned>(d.day))};
    return date.ok() ? std::optional<Date>(date) : std::nullopt;
}

std::optional<std::vector<RaceResults>> ResultsOfDay(const std::filesystem::path& workDir,
                                                     const kol::RaceDay& day)
{
    const std::optional<Date> date = DayDate(day);
    if (!date || !std::filesystem::exists(Library::FileIn(workDir))) {
        return std::nullopt;
    }
    try {
        Library library = Library::Open(workDir);
        return library.Results(*date);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<RunnerResult> ResultOf(const std::vector<RaceResults>& results, int raceIndex,
                                     int courseCode, int raceNumber, int horseNumber,
                                     std::string_view horseKey)
{
    const auto race = std::find_if(results.begin(), results.end(),
                                   [&](const RaceResults& r) { return r.raceIndex == raceIndex; });
    if (race == results.end() || race->courseCode != courseCode || race->raceNumber != raceNumber) {
        return std::nullopt;
    }
    for (const RunnerOfDay& runner : race->runners) {
        if (runner.horseNumber == horseNumber) {
            return runner.name == horseKey ? runner.result : std::nullopt;
        }
    }
    return std::nullopt;
}

DayRunnerList ListDayRunners(const kol::RaceDay& day, const std::vector<RaceResults>* results)
{
    DayRunnerList list;
    for (int i = 0; i < day.RaceCount(); ++i) {
        AnalysedRace race;
        try {
            race = AnalyseRace(day, i);
        } catch (const std::exception& e) {
            const kol::RaceTexts& texts = day.races[static_cast<std::size_t>(i)];
            list.failed.push_back({i, texts.courseCode, texts.raceNumber, e.what()});
            continue;
        }
        for (AnalysedRunner& runner : race.runners) {
            DayRunner row;
            row.raceIndex = i;
            row.courseCode = race.courseCode;
            row.raceNumber = race.raceNumber;
            row.name = Trimmed(runner.horseName);
            row.jockey = Trimmed(runner.jockey);
            if (results) {
                row.result = ResultOf(*results, i, race.courseCode, race.raceNumber,
                                      runner.horseNumber, HorseKey(runner.horseName));
            }
            row.runner = std::move(runner);
            list.runners.push_back(std::move(row));
        }
    }
    return list;
}

std::string RaceShortName(int courseCode, int raceNumber)
{
    const std::string number = raceNumber >= 0 && raceNumber < 10 ? "0" + std::to_string(raceNumber)
                                                                  : std::to_string(raceNumber);
    return CourseText(courseCode) + number + "R";
}

const std::string& DayRunnerHeader(int column)
{
    static const std::array<std::string, kDayRunnerColumns> headers = {
        ToCp932("レース"), ToCp932("馬番"), ToCp932("馬名"), ToCp932("騎手"), ToCp932("5前"),
        ToCp932("4前"),    ToCp932("3前"),  ToCp932("2前"),  ToCp932("1前"),  ToCp932("総合"),
        ToCp932("順位"),   ToCp932("印"),   ToCp932("人気"), ToCp932("着順")};
    static const std::string none;
    return column >= 0 && column < kDayRunnerColumns ? headers[static_cast<std::size_t>(column)]
                                                     : none;
}

std::string DayRunnerCell(const DayRunner& r, int column)
{
    switch (column) {
    case kRunnerRace:
        return RaceShortName(r.courseCode, r.raceNumber);
    case kRunnerHorseNumber:
        return std::to_string(r.runner.horseNumber);
    case kRunnerName:
        return r.name;
    case kRunnerJockey:
        return r.jockey;
    case kRunnerTotal:
        return TotalText(r.runner.totalTenths);
    case kRunnerPlace:
        return r.runner.place > 0 ? std::to_string(r.runner.place) : std::string();
    case kRunnerMark:
        return MarkText(r.runner.mark);
    case kRunnerPopularity:
        return r.result && r.result->popularity ? PopularityText(*r.result->popularity)
                                                : std::string();
    case kRunnerFinish:
        return r.result ? FinishText(r.result->finish) : std::string();
    default:
        break;
    }
    if (column >= kRunnerFx5 && column <= kRunnerFx1) {
        return FxText(r.runner.fx[static_cast<std::size_t>(kRunnerFx1 - column)]);
    }
    return {};
}

std::optional<int> DayRunnerSortKey(const DayRunner& r, int column)
{
    switch (column) {
    case kRunnerRace:
        return r.raceIndex;
    case kRunnerHorseNumber:
        return r.runner.horseNumber;
    case kRunnerTotal:
        return r.runner.totalTenths;
    case kRunnerPlace:
        return Known(r.runner.place, r.runner.place > 0);
    case kRunnerMark:
        return Known(MarkOrder(r.runner.mark), r.runner.mark != Mark::None);
    case kRunnerPopularity:
        return r.result ? r.result->popularity : std::nullopt;
    case kRunnerFinish:
        return r.result ? std::optional<int>(r.result->finish) : std::nullopt;
    default:
        break;
    }
    if (column >= kRunnerFx5 && column <= kRunnerFx1) {
        const int fx = r.runner.fx[static_cast<std::size_t>(kRunnerFx1 - column)];
        return Known(fx, fx != kNoFigure);
    }
    return std::nullopt;
}

bool IsTextColumn(int column)
{
    return column == kRunnerName || column == kRunnerJockey;
}

bool Keeps(const DayRunnerFilter& filter, const DayRunner& r)
{
    if (filter.courseCode && r.courseCode != *filter.courseCode) {
        return false;
    }
    if (filter.raceIndex && r.raceIndex != *filter.raceIndex) {
        return false;
    }
    if (filter.mark && r.runner.mark != *filter.mark) {
        return false;
    }
    if (filter.overlookedTopPick) {
        if (r.runner.mark != Mark::DoubleCircle || !r.result || !r.result->popularity ||
            *r.result->popularity < 4) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> PlacingLines(const std::vector<std::optional<RunnerResult>>& byHorse)
{
    std::array<std::string, 3> horses;
    bool any = false;
    for (std::size_t i = 0; i < byHorse.size(); ++i) {
        const std::optional<RunnerResult>& result = byHorse[i];
        if (result && result->finish >= 1 && result->finish <= 3) {
            horses[static_cast<std::size_t>(result->finish - 1)] +=
                Circled(static_cast<int>(i) + 1);
            any = true;
        }
    }
    if (!any) {
        return {};
    }
    std::vector<std::string> lines;
    for (std::size_t place = 0; place < horses.size(); ++place) {
        lines.push_back(std::to_string(place + 1) + "着 "_sj +
                        (horses[place].empty() ? "－"_sj : horses[place]));
    }
    return lines;
}

std::string RunnerResultText(const std::optional<RunnerResult>& result)
{
    if (!result) {
        return {};
    }
    std::string text = FinishText(result->finish);
    if (result->popularity && *result->popularity >= 1 && *result->popularity <= 18) {
        text += "（"_sj + std::to_string(*result->popularity) + "番人気）"_sj;
    }
    return text;
}

} // namespace furlox::library
