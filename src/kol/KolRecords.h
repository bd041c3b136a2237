#pragma once

#include <string_view>

// Where each field of the three KOL record kinds lies: 1-based byte positions and byte
// lengths in a CP932 line. This is the one place that knows the layouts; every reader
// (analysis, detail data, exports) takes its fields through these constants.
namespace furlox::kol {

struct FieldPos
{
    int pos;
    int len;
};

// The bytes of a field; a line that ends early gives a shorter or empty field.
constexpr std::string_view Field(std::string_view line, int pos, int len)
{
    const auto start = static_cast<std::size_t>(pos - 1);
    if (pos < 1 || len <= 0 || start >= line.size()) {
        return {};
    }
    return line.substr(start, static_cast<std::size_t>(len));
}
constexpr std::string_view Field(std::string_view line, FieldPos f)
{
    return Field(line, f.pos, f.len);
}

// The race record (kol_den1.kd2, one line per race).
namespace race {
inline constexpr FieldPos kCourseCode{1, 2};
inline constexpr FieldPos kMeetingNumber{7, 2};
inline constexpr FieldPos kMeetingDay{9, 2};
inline constexpr FieldPos kRaceNumber{11, 2};
inline constexpr FieldPos kYear{13, 4};
inline constexpr FieldPos kMonth{17, 2};
inline constexpr FieldPos kDay{19, 2};
inline constexpr FieldPos kWeekdayCode{21, 2};
inline constexpr FieldPos kSteeplechaseFlag{25, 1};
inline constexpr FieldPos kRaceName{29, 30};
inline constexpr FieldPos kGradeCode{73, 1};
inline constexpr FieldPos kWeightTermsCode{74, 2};
inline constexpr FieldPos kRaceKindCode{98, 1};
inline constexpr FieldPos kClassCode{100, 5};
inline constexpr FieldPos kTurfFlag{105, 1};
inline constexpr FieldPos kDistance{109, 4};
inline constexpr FieldPos kPostTime{332, 5};
inline constexpr FieldPos kHeadCount{337, 2};
} // namespace race

// The entry record (kol_den2.kd2, one line per runner).
namespace entry {
inline constexpr FieldPos kBracket{23, 1};
inline constexpr FieldPos kHorseName{33, 18};
inline constexpr FieldPos kSexCode{65, 1};
inline constexpr FieldPos kAge{66, 2};
inline constexpr FieldPos kWeightCarried{149, 3};
inline constexpr FieldPos kJockey{189, 6};
} // namespace entry

// The horse record (kol_uma.kd2, one line per runner), the fields about the horse itself.
namespace horse {
inline constexpr FieldPos kCoatColourCode{86, 2};
inline constexpr FieldPos kBreedingAreaCode{90, 3};
inline constexpr FieldPos kHorseMarkCode{93, 2};
inline constexpr FieldPos kSire{105, 34};
inline constexpr FieldPos kDam{146, 34};
inline constexpr FieldPos kDamSire{187, 34};
inline constexpr FieldPos kDamDam{228, 34};
inline constexpr FieldPos kOwner{344, 40};
inline constexpr FieldPos kBreeder{424, 40};
inline constexpr FieldPos kTrainer{526, 8};
inline constexpr FieldPos kMainPrize{570, 10};
inline constexpr FieldPos kPrizePart1{580, 10};
inline constexpr FieldPos kPrizePart2{610, 10};
inline constexpr FieldPos kCareerFirsts{633, 3};
inline constexpr FieldPos kCareerSeconds{636, 3};
inline constexpr FieldPos kCareerThirds{639, 3};
inline constexpr FieldPos kCareerUnplaced{642, 3};
// 144 two-byte counts: 36 groups of (firsts, seconds, thirds, unplaced).
inline constexpr int kRecordTablePos = 657;
inline constexpr int kRecordGroups = 36;
inline constexpr int kPastRunsPos = 1065;
inline constexpr int kPastRunLength = 590;
inline constexpr int kPastRuns = 5;
} // namespace horse

// Offsets (from 1) inside one 590-byte past-run block of the horse record.
namespace pastrun {
inline constexpr FieldPos kCourseCode{1, 2};
// Where the race record keeps it; no figure or window reads it (the season sample writes it).
inline constexpr FieldPos kRaceNumber{11, 2};
inline constexpr FieldPos kMonth{17, 2};
inline constexpr FieldPos kDay{19, 2};
inline constexpr FieldPos kSteeplechaseFlag{26, 1};
inline constexpr FieldPos kRaceShortName{60, 6};
inline constexpr FieldPos kGradeCode{74, 1};
inline constexpr FieldPos kClassCode{101, 5};
inline constexpr FieldPos kTurfFlag{116, 1};
inline constexpr FieldPos kDistance{120, 4};
inline constexpr FieldPos kHeadCount{124, 2};
inline constexpr FieldPos kGoingCode{130, 1};
inline constexpr FieldPos kHorseNumber{153, 2};
inline constexpr FieldPos kWeightCarried{243, 3};
inline constexpr FieldPos kBodyWeight{246, 3};
inline constexpr FieldPos kJockey{292, 8};
inline constexpr FieldPos kPopularity{360, 2};
inline constexpr FieldPos kFinish{367, 2};
inline constexpr FieldPos kFigureFinish{371, 2};
inline constexpr FieldPos kTimeMinutes{375, 1};
inline constexpr FieldPos kTimeSeconds{376, 2};
inline constexpr FieldPos kTimeTenths{378, 1};
inline constexpr FieldPos kMargin{382, 3};
inline constexpr FieldPos kLast3F{388, 3};
inline constexpr FieldPos kCorner1{391, 2};
inline constexpr FieldPos kCorner2{393, 2};
inline constexpr FieldPos kCorner3{395, 2};
inline constexpr FieldPos kCorner4{397, 2};
inline constexpr FieldPos kWinnerOrSecond{517, 30};
} // namespace pastrun

// A field of past run `run` (0 = the latest run) of a horse record.
constexpr std::string_view PastRunField(std::string_view horseLine, int run, FieldPos f)
{
    return Field(horseLine, horse::kPastRunsPos - 1 + horse::kPastRunLength * run + f.pos, f.len);
}

// Count i (0 to 143) of the horse record's record table, read leniently.
int RecordTableCount(std::string_view horseLine, int i);

// The four counts (firsts, seconds, thirds, unplaced) of record-table group g (0 to 35).
struct PlaceCounts
{
    int firsts = 0;
    int seconds = 0;
    int thirds = 0;
    int unplaced = 0;
};
PlaceCounts RecordTableGroup(std::string_view horseLine, int g);

} // namespace furlox::kol
