#include "support/KolBuilder.h"

#include <stdexcept>

#include "analysis/FxValue.h"
#include "base/AtomicFile.h"
#include "base/Encoding.h"
#include "kol/KolHen.h"
#include "support/TempDir.h"

namespace furlox::test {
namespace {

namespace pr = kol::pastrun;

constexpr std::size_t kRaceLineLength = 340;
constexpr std::size_t kEntryLineLength = 200;
constexpr std::size_t kHorseLineLength =
    kol::horse::kPastRunsPos - 1 + kol::horse::kPastRunLength * kol::horse::kPastRuns;

kol::FieldPos RunField(int run, kol::FieldPos f)
{
    return {kol::horse::kPastRunsPos - 1 + kol::horse::kPastRunLength * run + f.pos, f.len};
}

std::string TwoDigits(int n)
{
    return kol::PadZero(std::to_string(n), 2);
}

} // namespace

namespace {

std::string RaceLineText(const Race& race)
{
    std::string line = race.line.Text();
    const std::string heads = race.headCount ? ToCp932(*race.headCount)
                                             : TwoDigits(static_cast<int>(race.runners.size()));
    PutField(line, kol::race::kHeadCount, heads);
    return line;
}

} // namespace

void PutField(std::string& line, kol::FieldPos f, std::string_view cp932)
{
    const auto start = static_cast<std::size_t>(f.pos - 1);
    const auto len = static_cast<std::size_t>(f.len);
    if (line.size() < start + len) {
        line.resize(start + len, ' ');
    }
    std::size_t n = 0;
    while (n < cp932.size() && n < len) {
        const std::size_t step = IsLeadByte(static_cast<unsigned char>(cp932[n])) ? 2 : 1;
        if (n + step > len) {
            break;
        }
        n += step;
    }
    line.replace(start, len, kol::PadRight(cp932.substr(0, n), len));
}

RecordLine& RecordLine::Set(kol::FieldPos f, std::string_view utf8)
{
    PutField(m_line, f, ToCp932(utf8));
    return *this;
}

RecordLine& RecordLine::SetRaw(kol::FieldPos f, std::string_view cp932)
{
    PutField(m_line, f, cp932);
    return *this;
}

RecordLine& RecordLine::SetRun(int run, kol::FieldPos f, std::string_view utf8)
{
    return Set(RunField(run, f), utf8);
}

RecordLine& RecordLine::ClearRun(int run)
{
    return SetRaw(RunField(run, {1, kol::horse::kPastRunLength}), "");
}

RecordLine& RecordLine::Truncate(std::size_t length)
{
    if (m_line.size() > length) {
        m_line.resize(length);
    }
    return *this;
}

PastRun PastRun::With(kol::FieldPos f, std::string value) const
{
    struct Slot
    {
        kol::FieldPos pos;
        std::string PastRun::*member;
    };
    static const Slot slots[] = {
        {pr::kCourseCode, &PastRun::course},
        {pr::kMonth, &PastRun::month},
        {pr::kDay, &PastRun::day},
        {pr::kSteeplechaseFlag, &PastRun::steeplechase},
        {pr::kRaceShortName, &PastRun::raceShortName},
        {pr::kGradeCode, &PastRun::grade},
        {pr::kClassCode, &PastRun::classCode},
        {pr::kTurfFlag, &PastRun::turf},
        {pr::kDistance, &PastRun::distance},
        {pr::kHeadCount, &PastRun::headCount},
        {pr::kGoingCode, &PastRun::going},
        {pr::kHorseNumber, &PastRun::horseNumber},
        {pr::kWeightCarried, &PastRun::weightCarried},
        {pr::kBodyWeight, &PastRun::bodyWeight},
        {pr::kJockey, &PastRun::jockey},
        {pr::kPopularity, &PastRun::popularity},
        {pr::kFinish, &PastRun::finish},
        {pr::kFigureFinish, &PastRun::figureFinish},
        {pr::kTimeMinutes, &PastRun::timeMinutes},
        {pr::kTimeSeconds, &PastRun::timeSeconds},
        {pr::kTimeTenths, &PastRun::timeTenths},
        {pr::kMargin, &PastRun::margin},
        {pr::kLast3F, &PastRun::last3F},
        {pr::kCorner1, &PastRun::corner1},
        {pr::kCorner2, &PastRun::corner2},
        {pr::kCorner3, &PastRun::corner3},
        {pr::kCorner4, &PastRun::corner4},
        {pr::kWinnerOrSecond, &PastRun::winnerOrSecond},
    };
    PastRun copy = *this;
    for (const Slot& slot : slots) {
        if (slot.pos.pos == f.pos && slot.pos.len == f.len) {
            copy.*slot.member = std::move(value);
            return copy;
        }
    }
    throw std::invalid_argument("PastRun::With: not a past-run field");
}

PastRun PastRun::WithFigure(int value)
{
    // The defaults give 441 - last3F; an open G1 race without corner or margin terms gives
    // 473 - last3F. Last three furlongs must stay between 30.0 and 99.8 seconds.
    PastRun run;
    int last3F = 441 - value;
    if (last3F < 300) {
        run.classCode = "00004";
        run.grade = "0";
        run.corner3 = "00";
        run.corner4 = "00";
        run.margin = "000";
        last3F = 473 - value;
    }
    if (last3F < 300 || last3F > 998) {
        throw std::invalid_argument("PastRun::WithFigure: value out of range");
    }
    run.last3F = kol::PadZero(std::to_string(last3F), 3);
    return run;
}

std::string HorseLineWith(const PastRun& past, int run)
{
    Runner runner;
    runner.horse = RecordLine(kHorseLineLength);
    runner.Run(run, past);
    return runner.horse.Text();
}

Runner& Runner::Run(int run, const PastRun& p)
{
    const std::pair<kol::FieldPos, const std::string*> fields[] = {
        {pr::kCourseCode, &p.course},
        {pr::kMonth, &p.month},
        {pr::kDay, &p.day},
        {pr::kSteeplechaseFlag, &p.steeplechase},
        {pr::kRaceShortName, &p.raceShortName},
        {pr::kGradeCode, &p.grade},
        {pr::kClassCode, &p.classCode},
        {pr::kTurfFlag, &p.turf},
        {pr::kDistance, &p.distance},
        {pr::kHeadCount, &p.headCount},
        {pr::kGoingCode, &p.going},
        {pr::kHorseNumber, &p.horseNumber},
        {pr::kWeightCarried, &p.weightCarried},
        {pr::kBodyWeight, &p.bodyWeight},
        {pr::kJockey, &p.jockey},
        {pr::kPopularity, &p.popularity},
        {pr::kFinish, &p.finish},
        {pr::kFigureFinish, &p.figureFinish},
        {pr::kTimeMinutes, &p.timeMinutes},
        {pr::kTimeSeconds, &p.timeSeconds},
        {pr::kTimeTenths, &p.timeTenths},
        {pr::kMargin, &p.margin},
        {pr::kLast3F, &p.last3F},
        {pr::kCorner1, &p.corner1},
        {pr::kCorner2, &p.corner2},
        {pr::kCorner3, &p.corner3},
        {pr::kCorner4, &p.corner4},
        {pr::kWinnerOrSecond, &p.winnerOrSecond},
    };
    horse.ClearRun(run);
    for (const auto& [pos, value] : fields) {
        horse.SetRun(run, pos, *value);
    }
    return *this;
}

Runner& Runner::Figures(std::initializer_list<int> latestFirst)
{
    return Figures(std::vector<int>(latestFirst));
}

Runner& Runner::Figures(const std::vector<int>& latestFirst)
{
    int run = 0;
    for (int value : latestFirst) {
        if (value == kNoFigure) {
            horse.ClearRun(run);
        } else {
            Run(run, PastRun::WithFigure(value));
        }
        ++run;
    }
    return *this;
}

Runner& Runner::SetEntry(kol::FieldPos f, std::string_view utf8)
{
    entry.Set(f, utf8);
    return *this;
}

Runner& Runner::SetHorse(kol::FieldPos f, std::string_view utf8)
{
    horse.Set(f, utf8);
    return *this;
}

Race& Race::Set(kol::FieldPos f, std::string_view utf8)
{
    line.Set(f, utf8);
    return *this;
}

Runner& Race::AddRunner()
{
    namespace en = kol::entry;
    Runner& runner = runners.emplace_back();
    runner.horseNumber = static_cast<int>(runners.size());
    runner.entry = RecordLine(kEntryLineLength);
    runner.entry.Set(en::kBracket, std::to_string((runner.horseNumber - 1) % 8 + 1))
        .Set(en::kHorseName, "テストホース" + TwoDigits(runner.horseNumber % 100))
        .Set(en::kSexCode, "0")
        .Set(en::kAge, "04")
        .Set(en::kWeightCarried, "550")
        .Set(en::kJockey, "騎手");
    runner.horse = RecordLine(kHorseLineLength);
    runner.horse.Set(kol::horse::kCoatColourCode, "03");
    return runner;
}

Race& KolBuilder::AddRace()
{
    namespace rc = kol::race;
    Race& race = m_races.emplace_back();
    race.line = RecordLine(kRaceLineLength);
    race.line.Set(rc::kCourseCode, "04")
        .Set(rc::kMeetingNumber, "03")
        .Set(rc::kMeetingDay, "12")
        .Set(rc::kRaceNumber, "11")
        .Set(rc::kYear, "2001")
        .Set(rc::kMonth, "05")
        .Set(rc::kDay, "27")
        .Set(rc::kWeekdayCode, "02")
        .Set(rc::kSteeplechaseFlag, "0")
        .Set(rc::kRaceName, "テスト特別")
        .Set(rc::kGradeCode, " ")
        .Set(rc::kWeightTermsCode, "00")
        .Set(rc::kRaceKindCode, "3")
        .Set(rc::kClassCode, "10000")
        .Set(rc::kTurfFlag, "1")
        .Set(rc::kDistance, "1600")
        .Set(rc::kPostTime, "15:40");
    return race;
}

Runner& KolBuilder::AddRunner()
{
    if (m_races.empty()) {
        AddRace();
    }
    return m_races.back().AddRunner();
}

kol::SampleFiles KolBuilder::Files() const
{
    kol::SampleFiles files;
    for (const Race& race : m_races) {
        std::string line = RaceLineText(race);
        files.raceFile += line + "\r\n";
        for (const Runner& runner : race.runners) {
            files.entryFile += runner.entry.Text() + "\r\n";
            files.horseFile += runner.horse.Text() + "\r\n";
        }
    }
    return files;
}

kol::RaceDay KolBuilder::Build() const
{
    kol::RaceDay day;
    for (const Race& race : m_races) {
        std::string line = RaceLineText(race);
        day.races.push_back(kol::ParseRaceRecord(line));
        day.raceLines.push_back(std::move(line));
        for (const Runner& runner : race.runners) {
            day.entryLines.push_back(runner.entry.Text());
            day.horseLines.push_back(runner.horse.Text());
        }
    }
    return day;
}

void KolBuilder::WriteFiles(const std::filesystem::path& dir) const
{
    const kol::SampleFiles files = Files();
    std::filesystem::create_directories(dir);
    if (!WriteFileAtomic(dir / kol::kRaceFileName, files.raceFile) ||
        !WriteFileAtomic(dir / kol::kEntryFileName, files.entryFile) ||
        !WriteFileAtomic(dir / kol::kHorseFileName, files.horseFile)) {
        throw std::runtime_error("KolBuilder: cannot write the KOL files to " + Utf8Text(dir));
    }
}

kol::RaceDay LoadSampleDay(const kol::SampleOptions& options)
{
    TempDir dir;
    kol::WriteSampleDay(options, dir.path());
    std::optional<kol::LoadedDay> loaded = kol::LoadKolFiles(dir.path());
    if (!loaded) {
        throw std::runtime_error("LoadSampleDay: the sample day does not load");
    }
    return std::move(loaded->day);
}

} // namespace furlox::test
