#pragma once

#include <deque>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kol/KolRecords.h"
#include "kol/RaceDay.h"
#include "kol/SampleDay.h"

// Builds small KOL race days for tests, field by field, through the positions of
// kol/KolRecords.h. Values are given in UTF-8 (codes are plain ASCII) and written as CP932;
// SetRaw writes bytes unchanged.
//
//     KolBuilder b;
//     b.AddRace().Set(kol::race::kClassCode, "10000");
//     b.AddRunner().Figures({96, kNoFigure, 100});       // run 0 (the latest) first
//     b.AddRunner().Run(0, PastRun{}.With(kol::pastrun::kLast3F, "339"));
//     kol::RaceDay day = b.Build();
namespace furlox::test {

// Writes CP932 bytes into a field: the line grows with blanks to hold the field; the value is
// filled with blanks, or cut at a whole character, to the field's length.
void PutField(std::string& line, kol::FieldPos f, std::string_view cp932);

// One record line; fields that were never set are blanks.
class RecordLine
{
public:
    RecordLine() = default;
    explicit RecordLine(std::size_t length) : m_line(length, ' ') {}

    RecordLine& Set(kol::FieldPos f, std::string_view utf8);
    RecordLine& SetRaw(kol::FieldPos f, std::string_view cp932);
    // A field of past-run block `run` (horse records only).
    RecordLine& SetRun(int run, kol::FieldPos f, std::string_view utf8);
    // Blanks the whole past-run block: the block then holds no run.
    RecordLine& ClearRun(int run);
    // Ends the line after `length` bytes, as a short record in a file would.
    RecordLine& Truncate(std::size_t length);

    const std::string& Text() const { return m_line; }
    std::string& Bytes() { return m_line; }

private:
    std::string m_line;
};

// The fields of one past run. The defaults are a rated turf run at 東京 in a 1000万 race:
// 16 runners, 3rd, last three furlongs 34.5, corners 5 and 4, margin 0.3 — FX value 96.
struct PastRun
{
    std::string course = "04";
    std::string month = "05";
    std::string day = "13";
    std::string steeplechase = "0";
    std::string raceShortName = "テスト";
    std::string grade = " ";
    std::string classCode = "10000";
    std::string turf = "1";
    std::string distance = "1600";
    std::string headCount = "16";
    std::string going = "0";
    std::string horseNumber = "05";
    std::string weightCarried = "550";
    std::string bodyWeight = "480";
    std::string jockey = "騎手一郎";
    std::string popularity = "03";
    std::string finish = "03";
    std::string figureFinish = "03";
    std::string timeMinutes = "1";
    std::string timeSeconds = "34";
    std::string timeTenths = "5";
    std::string margin = "003";
    std::string last3F = "345";
    std::string corner1 = "06";
    std::string corner2 = "06";
    std::string corner3 = "05";
    std::string corner4 = "04";
    std::string winnerOrSecond = "ライバル";

    // The same run with one field changed, by its position in the block.
    PastRun With(kol::FieldPos f, std::string value) const;

    // A rated run whose FX value is exactly `value` (from -550 to 170).
    static PastRun WithFigure(int value);
};

// A horse record whose past-run block `run` holds `past` (the other blocks hold no run).
std::string HorseLineWith(const PastRun& past, int run = 0);

struct Runner
{
    int horseNumber = 0;
    RecordLine entry; // kol_den2.kd2 line
    RecordLine horse; // kol_uma.kd2 line, all five blocks long, no runs until set

    Runner& Run(int run, const PastRun& past);
    // FX values of runs 0, 1, 2 … (0 is the latest); kNoFigure leaves the block without a run.
    Runner& Figures(std::initializer_list<int> latestFirst);
    Runner& Figures(const std::vector<int>& latestFirst);
    Runner& SetEntry(kol::FieldPos f, std::string_view utf8);
    Runner& SetHorse(kol::FieldPos f, std::string_view utf8);
};

struct Race
{
    RecordLine line;
    std::deque<Runner> runners;
    // The head count field as written; unset, it is the number of runners added.
    std::optional<std::string> headCount;

    Race& Set(kol::FieldPos f, std::string_view utf8);
    Runner& AddRunner();
};

class KolBuilder
{
public:
    // A race record with defaults: 2001/05/27(日) 東京11R サラ3歳以上 1000万 別定 テスト特別,
    // turf 1600 m, post time 15:40.
    Race& AddRace();
    // A runner for the last race (a default race is added first when there is none):
    // bracket (n - 1) % 8 + 1, name テストホースNN, 牡4, 55.0 kg, jockey 騎手, coat 鹿毛.
    Runner& AddRunner();

    Race& race(std::size_t i) { return m_races[i]; }
    std::size_t RaceCount() const { return m_races.size(); }

    // The loaded race day, as LoadKolFiles would hold it after reading Files().
    kol::RaceDay Build() const;
    // The three files' bytes, lines ended with CR LF.
    kol::SampleFiles Files() const;
    void WriteFiles(const std::filesystem::path& dir) const;

private:
    std::deque<Race> m_races;
};

// The sample day of `options` as the program loads it: written to a temporary folder and read
// back with LoadKolFiles. Throws std::runtime_error when it does not load.
kol::RaceDay LoadSampleDay(const kol::SampleOptions& options);

} // namespace furlox::test
