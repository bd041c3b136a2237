#include "library/DayRecords.h"

#include <cstdio>

#include "analysis/FxValue.h"
#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"

namespace furlox::library {
namespace {

using namespace std::chrono;

const std::string& FullWidthBlank()
{
    static const std::string blank = "\xE3\x80\x80"; // U+3000 in UTF-8
    return blank;
}

// Removes ASCII blanks and U+3000 from the end (and from the front too when `front`).
std::string StripBlanks(std::string text, bool front)
{
    const std::string& wide = FullWidthBlank();
    for (bool changed = true; changed;) {
        changed = false;
        if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
            text.pop_back();
            changed = true;
        } else if (text.size() >= wide.size() &&
                   text.compare(text.size() - wide.size(), wide.size(), wide) == 0) {
            text.resize(text.size() - wide.size());
            changed = true;
        }
        if (front && !text.empty() && (text.front() == ' ' || text.front() == '\t')) {
            text.erase(0, 1);
            changed = true;
        } else if (front && text.compare(0, wide.size(), wide) == 0) {
            text.erase(0, wide.size());
            changed = true;
        }
    }
    return text;
}

std::optional<int> Number(std::string_view field)
{
    const std::string_view trimmed = kol::Trim(field);
    if (trimmed.empty()) {
        return std::nullopt;
    }
    return ParseNumber(trimmed);
}

std::string Text(std::string_view cp932Field)
{
    return ToUtf8(kol::Trim(cp932Field));
}

StoredSurface SurfaceOf(std::string_view steeplechaseFlag, std::string_view turfFlag)
{
    switch (kol::ReadSurface(steeplechaseFlag, turfFlag)) {
    case kol::Surface::Turf:
        return StoredSurface::Turf;
    case kol::Surface::Dirt:
        return StoredSurface::Dirt;
    case kol::Surface::Steeplechase:
        return StoredSurface::Steeplechase;
    }
    return StoredSurface::Dirt;
}

// Whether the course table lists the two-digit code.
std::optional<int> ListedCourse(std::string_view code)
{
    if (code.size() != 2 || code[0] < '0' || code[0] > '9' || code[1] < '0' || code[1] > '9' ||
        kol::CourseName(code) == kol::UnknownCourseName()) {
        return std::nullopt;
    }
    return (code[0] - '0') * 10 + (code[1] - '0');
}

// The latest year that puts month/day on or before `limit` (strictly before when `strict`).
int YearFor(int month, int day, Date limit, bool strict)
{
    const int limitMonth = static_cast<int>(static_cast<unsigned>(limit.month()));
    const int limitDay = static_cast<int>(static_cast<unsigned>(limit.day()));
    const bool sameYear = month < limitMonth || (month == limitMonth && day < limitDay) ||
                          (!strict && month == limitMonth && day == limitDay);
    return static_cast<int>(limit.year()) - (sameYear ? 0 : 1);
}

StoredMark StoredOf(Mark mark)
{
    switch (mark) {
    case Mark::None:
        return StoredMark::None;
    case Mark::DoubleCircle:
        return StoredMark::DoubleCircle;
    case Mark::Circle:
        return StoredMark::Circle;
    case Mark::FilledTriangle:
        return StoredMark::FilledTriangle;
    case Mark::Triangle:
        return StoredMark::Triangle;
    case Mark::Cross:
        return StoredMark::Cross;
    }
    return StoredMark::None;
}

std::string ConfidenceLetter(Confidence confidence)
{
    switch (confidence) {
    case Confidence::A:
        return "A";
    case Confidence::B:
        return "B";
    case Confidence::C:
        return "C";
    case Confidence::None:
        break;
    }
    return {};
}

// The analysed values of the race: each runner's total, place in the ranking and mark, the
// grade and the bets.
void StoreAnalysis(const kol::RaceDay& day, RaceRow& race)
{
    AnalysedRace analysed;
    try {
        analysed = AnalyseRace(day, race.raceIndex);
    } catch (const Error& e) {
        race.analysisError = ToUtf8(e.what());
        return;
    }
    for (const AnalysedRunner& a : analysed.runners) {
        if (a.horseNumber < 1 || a.horseNumber > static_cast<int>(race.runners.size())) {
            continue;
        }
        RunnerRow& runner = race.runners[static_cast<std::size_t>(a.horseNumber - 1)];
        runner.totalTenths = a.totalTenths;
        runner.place = a.place > 0 ? std::optional<int>(a.place) : std::nullopt;
        runner.mark = StoredOf(a.mark);
    }
    const Bets& bets = analysed.bets;
    if (!bets.made) {
        return;
    }
    race.confidence = ConfidenceLetter(bets.confidence);
    race.bets.push_back(BetRow{0, 0, bets.win, 0});
    const int pairKind = bets.kind == BetKind::Quinella ? 1 : 2;
    for (int k = 0; k < bets.combinationCount; ++k) {
        const BetPair& pair = bets.pairs[static_cast<std::size_t>(k)];
        race.bets.push_back(BetRow{k + 1, pairKind, pair.low, pair.high});
    }
}

RunnerRow MakeRunner(const kol::RaceDay& day, int entryIndex, int horseNumber, Date dayDate)
{
    const std::string_view entry = day.EntryLine(entryIndex);
    const std::string_view horse = day.HorseLine(entryIndex);
    RunnerRow runner;
    runner.horseNumber = horseNumber;
    runner.bracket = ToUtf8(kol::Field(entry, kol::entry::kBracket));
    runner.name = HorseKey(kol::Field(entry, kol::entry::kHorseName));
    runner.jockey = Text(kol::Field(entry, kol::entry::kJockey));
    for (int run = 0; run < kol::horse::kPastRuns; ++run) {
        const int fx = CalcFxValue(horse, run);
        if (fx != kNoFigure) {
            runner.fx[static_cast<std::size_t>(run)] = fx;
        }
    }
    runner.pastRuns = PastRunsOf(horse, dayDate);
    return runner;
}

} // namespace

std::string DateText(Date date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::optional<Date> ParseDateText(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
    }
    const auto part = [&](std::size_t from, std::size_t n) {
        return *ParseNumber(text.substr(from, n));
    };
    const Date date{year(part(0, 4)), month(static_cast<unsigned>(part(5, 2))),
                    day(static_cast<unsigned>(part(8, 2)))};
    return date.ok() ? std::optional<Date>(date) : std::nullopt;
}

std::string HorseKey(std::string_view cp932Name)
{
    return StripBlanks(ToUtf8(cp932Name), false);
}

std::string SearchKey(std::string_view utf8Name)
{
    return StripBlanks(std::string(utf8Name), true);
}

int DayRecord::RunnerCount() const
{
    int count = 0;
    for (const RaceRow& race : races) {
        count += static_cast<int>(race.runners.size());
    }
    return count;
}

std::vector<PastRunRow> PastRunsOf(std::string_view horseLine, Date dayDate)
{
    namespace p = kol::pastrun;
    std::vector<PastRunRow> runs;
    Date limit = dayDate;
    bool strict = false; // block 0 may be on the day itself (a day file read late)
    for (int block = 0; block < kol::horse::kPastRuns; ++block) {
        const auto field = [&](kol::FieldPos f) { return kol::PastRunField(horseLine, block, f); };
        const std::optional<int> course = ListedCourse(field(p::kCourseCode));
        const std::optional<int> month = Number(field(p::kMonth));
        const std::optional<int> dayOfMonth = Number(field(p::kDay));
        if (!course || !month || !dayOfMonth || *month < 1 || *month > 12 || *dayOfMonth < 1 ||
            *dayOfMonth > 31) {
            continue;
        }
        const int y = YearFor(*month, *dayOfMonth, limit, strict);
        const Date date{year(y), std::chrono::month(static_cast<unsigned>(*month)),
                        std::chrono::day(static_cast<unsigned>(*dayOfMonth))};
        if (!date.ok()) {
            continue;
        }
        PastRunRow run;
        run.block = block;
        run.courseCode = *course;
        run.date = date;
        const int fx = CalcFxValue(horseLine, block);
        if (fx != kNoFigure) {
            run.fx = fx;
        }
        run.finish = Number(field(p::kFinish));
        run.popularity = Number(field(p::kPopularity));
        const std::optional<int> minutes = Number(field(p::kTimeMinutes));
        const std::optional<int> seconds = Number(field(p::kTimeSeconds));
        const std::optional<int> tenths = Number(field(p::kTimeTenths));
        if (seconds && tenths) {
            run.timeTenths = (minutes.value_or(0) * 60 + *seconds) * 10 + *tenths;
        }
        run.margin = Number(field(p::kMargin));
        run.last3fTenths = Number(field(p::kLast3F));
        run.horseNumber = Number(field(p::kHorseNumber));
        run.headCount = Number(field(p::kHeadCount));
        run.distance = Number(field(p::kDistance));
        run.surface = SurfaceOf(field(p::kSteeplechaseFlag), field(p::kTurfFlag));
        run.goingCode = Text(field(p::kGoingCode));
        run.classCode = Text(field(p::kClassCode));
        run.gradeCode = Text(field(p::kGradeCode));
        run.raceName = Text(field(p::kRaceShortName));
        run.jockey = Text(field(p::kJockey));
        run.winnerOrSecond = HorseKey(field(p::kWinnerOrSecond));
        run.weightCarried = Number(field(p::kWeightCarried));
        run.bodyWeight = Number(field(p::kBodyWeight));
        runs.push_back(std::move(run));
        limit = date;
        strict = true;
    }
    return runs;
}

DayRecord MakeDayRecord(const kol::RaceDay& day)
{
    namespace r = kol::race;
    const auto dateOf = [](std::string_view line) -> std::optional<Date> {
        const std::optional<int> y = Number(kol::Field(line, r::kYear));
        const std::optional<int> m = Number(kol::Field(line, r::kMonth));
        const std::optional<int> d = Number(kol::Field(line, r::kDay));
        if (!y || !m || !d || *m < 1 || *d < 1) {
            return std::nullopt;
        }
        const Date date{year(*y), month(static_cast<unsigned>(*m)),
                        std::chrono::day(static_cast<unsigned>(*d))};
        return date.ok() ? std::optional<Date>(date) : std::nullopt;
    };
    const std::optional<Date> first =
        day.raceLines.empty() ? std::nullopt : dateOf(day.raceLines.front());
    if (!first) {
        throw Error(
            "最初のレースの日付が読み取れないため、この日をライブラリに入れられません。"_sj);
    }
    DayRecord record;
    record.date = *first;
    for (int i = 0; i < day.RaceCount(); ++i) {
        const std::string& line = day.raceLines[static_cast<std::size_t>(i)];
        RaceRow race;
        race.raceIndex = i;
        race.courseCode = Number(kol::Field(line, r::kCourseCode));
        race.raceNumber = Number(kol::Field(line, r::kRaceNumber));
        race.date = dateOf(line);
        race.classCode = Text(kol::Field(line, r::kClassCode));
        race.gradeCode = Text(kol::Field(line, r::kGradeCode));
        race.surface =
            SurfaceOf(kol::Field(line, r::kSteeplechaseFlag), kol::Field(line, r::kTurfFlag));
        race.distance = Number(kol::Field(line, r::kDistance));
        race.headCount = Number(kol::Field(line, r::kHeadCount));
        race.raceName = Text(kol::Field(line, r::kRaceName));
        int first = -1;
        int count = 0;
        try {
            first = kol::FirstEntryIndex(day, i);
            count = std::max(0, kol::HeadCount(day, i));
        } catch (const Error& e) {
            race.analysisError = ToUtf8(e.what());
        }
        const Date runnerDay = race.date.value_or(record.date);
        for (int k = 0; first >= 0 && k < count; ++k) {
            race.runners.push_back(MakeRunner(day, first + k, k + 1, runnerDay));
        }
        if (race.analysisError.empty()) {
            StoreAnalysis(day, race);
        }
        record.races.push_back(std::move(race));
    }
    return record;
}

} // namespace furlox::library
