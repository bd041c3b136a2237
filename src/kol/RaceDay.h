#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kol/KolHen.h"

// The loaded race day: the lines of the three KOL data files as read, and the texts built
// once per race from the race file. All texts are CP932.
namespace furlox::kol {

inline constexpr int kMaxRaces = 39;       // race menu entries that can select a race
inline constexpr int kMaxEntryLines = 648; // 36 races of 18 runners
inline constexpr int kMaxRunners = 18;     // runner rows the race grid is laid out for

inline constexpr const char* kRaceFileName = "kol_den1.kd2";
inline constexpr const char* kEntryFileName = "kol_den2.kd2";
inline constexpr const char* kHorseFileName = "kol_uma.kd2";

// A race's date as the race record gives it, each part read as a lenient number.
struct RaceDate
{
    int year = 0;
    int month = 0;
    int day = 0;

    friend bool operator==(const RaceDate&, const RaceDate&) = default;
};

// The texts kept per race, built at load time by ParseRaceRecord, and the values of the race
// record that name the race and that its rules read.
struct RaceTexts
{
    std::string dateText;      // YYYY/MM/DD(土)
    std::string meetingText;   // meeting number + meeting day
    std::string headCountText; // the head count field unchanged
    std::string startLine;     // date text + " 発走" + post time + " " + head count + "頭"
    std::string raceHeader;    // shown above the grid
    std::string menuCaption;   // the race's entry in the race menu
    std::string distanceText;
    std::string raceKindText;
    std::string weightTermsText;
    std::string gradeLabel;  // "G1", "G2", "G3" or the class text
    std::string surfaceText; // 障 / 芝 / ダ of the race itself

    int courseCode = kNoCourse; // 0 to 99; kNoCourse when the field is not two digits
    std::string raceNumberText; // the race number field as read, "01" to "12"
    int raceNumber = 0;         // the same, read leniently
    RaceDate date;
    int meetingNumber = 0; // 開催回
    int meetingDay = 0;    // 開催日目
    int distance = 0;      // metres, read leniently (the grade reads the field strictly)
    GradeLabel label;      // the grade label as a value
    Surface surface = Surface::Turf;
};

RaceTexts ParseRaceRecord(std::string_view raceLine);

struct RaceDay
{
    std::vector<std::string> raceLines;
    std::vector<RaceTexts> races;
    std::vector<std::string> entryLines;
    std::vector<std::string> horseLines;

    int RaceCount() const { return static_cast<int>(raceLines.size()); }

    // Lines past the loaded ones read as empty lines, never as another day's lines.
    std::string_view EntryLine(int j) const;
    std::string_view HorseLine(int j) const;
};

// The head count of race i, converted strictly (ConvertError when it is not a number).
int HeadCount(const RaceDay& day, int raceIndex);

// Entry index of the first runner of race i: the sum of the head counts before it (strict).
int FirstEntryIndex(const RaceDay& day, int raceIndex);

// A race day read from its three files, with what the user should be told about it (CP932
// messages about a day that was cut short).
struct LoadedDay
{
    RaceDay day;
    std::vector<std::string> warnings;
};

// Where the three files of a day are.
struct DayFiles
{
    std::filesystem::path raceFile;
    std::filesystem::path entryFile;
    std::filesystem::path horseFile;

    // kol_den1.kd2, kol_den2.kd2 and kol_uma.kd2 in a folder.
    static DayFiles In(const std::filesystem::path& folder);
};

// Reads kol_den1.kd2, kol_den2.kd2 and kol_uma.kd2 from the work directory. nullopt when one
// of them is missing (nothing to load: the caller's day stays, without a message). Throws
// furlox::Error with the message for the user when a file is there but cannot be read to its
// end (a folder, a device, a read error); nothing is loaded then either, so the caller's day
// is never replaced by half a day.
std::optional<LoadedDay> LoadKolFiles(const std::filesystem::path& workDir);
std::optional<LoadedDay> LoadKolFiles(const DayFiles& files);

} // namespace furlox::kol
