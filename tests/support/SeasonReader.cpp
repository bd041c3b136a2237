#include "support/SeasonReader.h"

#include "base/Encoding.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"
#include "kol/LineReader.h"

namespace furlox::test {
namespace {

using namespace std::chrono;

std::optional<sys_days> LatestOnOrBefore(int monthNumber, int dayOfMonth, sys_days limit)
{
    if (monthNumber < 1 || monthNumber > 12 || dayOfMonth < 1 || dayOfMonth > 31) {
        return std::nullopt;
    }
    const int limitYear = static_cast<int>(year_month_day(limit).year());
    for (int y = limitYear; y >= limitYear - 8; --y) {
        const year_month_day candidate{year(y), month(unsigned(monthNumber)),
                                       day(unsigned(dayOfMonth))};
        if (candidate.ok() && sys_days(candidate) <= limit) {
            return sys_days(candidate);
        }
    }
    return std::nullopt;
}

} // namespace

std::string HorseKey(std::string_view nameField)
{
    // Walked character by character: the bytes of a full-width blank may also end another
    // double-byte character followed by a single byte.
    const std::string& wide = "　"_sj;
    std::size_t end = 0;
    for (std::size_t i = 0; i < nameField.size();) {
        const std::size_t step =
            IsLeadByte(static_cast<unsigned char>(nameField[i])) && i + 1 < nameField.size() ? 2
                                                                                             : 1;
        const std::string_view c = nameField.substr(i, step);
        i += step;
        if (c != " " && c != wide) {
            end = i;
        }
    }
    return std::string(nameField.substr(0, end));
}

std::string SeenBlock::Field(kol::FieldPos f) const
{
    return std::string(kol::Field(bytes, f));
}

int SeenBlock::Number(kol::FieldPos f) const
{
    return kol::LenientNumber(kol::Field(bytes, f));
}

std::vector<std::optional<sys_days>> BlockDates(std::string_view horseLine, sys_days dayDate)
{
    std::vector<std::optional<sys_days>> dates;
    sys_days limit = dayDate;
    for (int run = 0; run < kol::horse::kPastRuns; ++run) {
        const std::string_view course =
            kol::PastRunField(horseLine, run, kol::pastrun::kCourseCode);
        std::optional<sys_days> date;
        if (kol::CourseName(course) != kol::UnknownCourseName()) {
            date = LatestOnOrBefore(
                kol::LenientNumber(kol::PastRunField(horseLine, run, kol::pastrun::kMonth)),
                kol::LenientNumber(kol::PastRunField(horseLine, run, kol::pastrun::kDay)), limit);
        }
        if (date) {
            limit = *date - days(1);
        }
        dates.push_back(date);
    }
    return dates;
}

kol::RaceDay DayOf(const kol::SampleFiles& files)
{
    kol::RaceDay day;
    day.raceLines = kol::SplitKolLines(files.raceFile, kol::kMaxRaces).lines;
    day.entryLines = kol::SplitKolLines(files.entryFile, kol::kMaxEntryLines).lines;
    day.horseLines = kol::SplitKolLines(files.horseFile, kol::kMaxEntryLines).lines;
    for (const std::string& line : day.raceLines) {
        day.races.push_back(kol::ParseRaceRecord(line));
    }
    return day;
}

const SeenBlock* ReadSeason::Result(const SeasonRace& race, const SeasonRunner& r) const
{
    const auto found = blocks.find({r.name, race.courseCode, race.date});
    if (found == blocks.end()) {
        return nullptr;
    }
    for (auto it = found->second.rbegin(); it != found->second.rend(); ++it) {
        if (it->Number(kol::pastrun::kHorseNumber) == r.horseNumber) {
            return &*it;
        }
    }
    return nullptr;
}

ReadSeason ReadSampleSeason(const kol::SeasonOptions& options)
{
    ReadSeason season;
    kol::SampleSeason generator(options);
    while (!generator.Done()) {
        season.days.push_back(generator.NextDay());
    }
    for (std::size_t d = 0; d < season.days.size(); ++d) {
        const kol::RaceDay raceDay = DayOf(season.days[d].files);
        int entry = 0;
        for (int i = 0; i < raceDay.RaceCount(); ++i) {
            const std::string& line = raceDay.raceLines[static_cast<std::size_t>(i)];
            SeasonRace race;
            race.dayIndex = static_cast<int>(d);
            race.raceIndex = i;
            race.courseCode = std::string(kol::Field(line, kol::race::kCourseCode));
            race.date =
                sys_days(year(kol::LenientNumber(kol::Field(line, kol::race::kYear))) /
                         month(unsigned(kol::LenientNumber(kol::Field(line, kol::race::kMonth)))) /
                         day(unsigned(kol::LenientNumber(kol::Field(line, kol::race::kDay)))));
            race.number = kol::LenientNumber(kol::Field(line, kol::race::kRaceNumber));
            race.raceLine = line;
            const int heads = kol::LenientNumber(kol::Field(line, kol::race::kHeadCount));
            for (int h = 1; h <= heads; ++h, ++entry) {
                SeasonRunner r;
                r.entryLine = std::string(raceDay.EntryLine(entry));
                r.horseLine = std::string(raceDay.HorseLine(entry));
                r.name = HorseKey(kol::Field(r.entryLine, kol::entry::kHorseName));
                r.horseNumber = h;
                const std::vector<std::optional<sys_days>> dates =
                    BlockDates(r.horseLine, race.date);
                for (int run = 0; run < kol::horse::kPastRuns; ++run) {
                    if (!dates[static_cast<std::size_t>(run)]) {
                        continue;
                    }
                    SeenBlock b;
                    b.dayIndex = static_cast<int>(d);
                    b.date = *dates[static_cast<std::size_t>(run)];
                    const auto start = static_cast<std::size_t>(kol::horse::kPastRunsPos - 1 +
                                                                kol::horse::kPastRunLength * run);
                    b.bytes = r.horseLine.substr(
                        start, static_cast<std::size_t>(kol::horse::kPastRunLength));
                    const std::string course(kol::Field(b.bytes, kol::pastrun::kCourseCode));
                    season.blocks[{r.name, course, b.date}].push_back(std::move(b));
                }
                race.runners.push_back(std::move(r));
            }
            season.races.push_back(std::move(race));
        }
    }
    return season;
}

} // namespace furlox::test
