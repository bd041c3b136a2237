#include "kol/SampleDay.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string_view>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"
#include "kol/RaceDay.h"
#include "kol/SampleParts.h"

namespace furlox::kol {
namespace {

using namespace sample;

constexpr std::array<std::string_view, 10> kShortNames = {
    "未勝利", "新馬戦", "特別", "天皇賞", "皐月賞", "日本ダ", "安田記", "ハンデ", "障害", "オープ"};
constexpr std::array<std::string_view, 12> kRaceNames = {
    "日本ダービー",   "オークス", "安田記念", "目黒記念", "エプソムカップ", "ユニコーンＳ",
    "さくらんぼ特別", "青嵐賞",   "駒草賞",   "新緑賞",   "鳳雛ステークス", "アハルテケＳ"};

struct CourseDay
{
    const char* code;
    int meeting;
    int day;
};
constexpr std::array<CourseDay, 3> kCourses = {{{"04", 3, 8}, {"00", 3, 8}, {"07", 1, 12}}};

// One row per race number: class code, race kind per course, weight terms, turf, distance.
struct RacePlan
{
    const char* classCode;
    std::array<const char*, 3> kind;
    const char* weightTerms;
    bool turf;
    std::array<int, 3> distance;
    int headCount;
};
constexpr std::array<RacePlan, 12> kPlan = {{
    {"00003", {"1", "2", "5"}, "01", false, {1400, 1800, 1000}, 16},
    {"00003", {"2", "2", "6"}, "01", true, {1600, 2000, 1200}, 12},
    {"00001", {"1", "1", "1"}, "01", true, {1400, 1600, 1000}, 14},
    {"00003", {"8", "9", "0"}, "90", true, {3000, 3110, 2850}, 8},
    {"05000", {"3", "3", "B"}, "00", false, {1600, 1800, 1200}, 18},
    {"05000", {"2", "4", "A"}, "01", true, {1800, 2200, 1400}, 15},
    {"09000", {"4", "3", "7"}, "00", false, {2100, 1900, 1700}, 10},
    {"10000", {"3", "3", "3"}, "03", true, {2400, 1800, 1000}, 13},
    {"15000", {"B", "4", "C"}, "00", true, {1800, 1400, 2000}, 16},
    {"16000", {"4", "4", "4"}, "02", true, {2000, 2400, 1600}, 9},
    {"00004", {"3", "3", "3"}, "03", true, {2400, 1600, 2000}, 18},
    {"10000", {"3", "4", "3"}, "00", false, {1200, 1400, 1800}, 11},
}};

constexpr std::array<const char*, 10> kFigureCourses = {"00", "01", "02", "03", "04",
                                                        "05", "06", "07", "08", "09"};
constexpr std::array<const char*, 8> kLocalCourses = {"10", "11", "19", "20",
                                                      "33", "37", "42", "61"};
constexpr std::array<const char*, 9> kPastClasses = {"00003", "00001", "05000", "09000", "10000",
                                                     "15000", "16000", "00004", "00005"};
constexpr std::array<const char*, 6> kLocalClasses = {"00010", "00021", "00032",
                                                      "00043", "00093", "00009"};

void PastRun(Random& rng, std::string& line, int run, bool steeplechaser, int month, int day,
             const std::vector<std::string>& rivals)
{
    const bool local = rng.Chance(12);
    const bool steeple = steeplechaser && rng.Chance(60);
    PutRun(line, run, pastrun::kCourseCode,
           local ? rng.Pick(kLocalCourses) : rng.Pick(kFigureCourses));
    PutRun(line, run, pastrun::kMonth, Digits(month, 2));
    PutRun(line, run, pastrun::kDay, Digits(day, 2));
    PutRun(line, run, pastrun::kSteeplechaseFlag, steeple ? "1" : "0");
    PutRun(line, run, pastrun::kRaceShortName, ToCp932(rng.Pick(kShortNames)));
    const char* classCode = local ? rng.Pick(kLocalClasses) : rng.Pick(kPastClasses);
    PutRun(line, run, pastrun::kClassCode, classCode);
    std::string grade = " ";
    if (std::string_view(classCode) == "00004" && rng.Chance(60)) {
        grade = std::to_string(rng.Between(0, steeple ? 5 : 2));
    }
    PutRun(line, run, pastrun::kGradeCode, grade);
    const bool turf = rng.Chance(55);
    PutRun(line, run, pastrun::kTurfFlag, turf ? "1" : "0");
    const int distance = steeple ? 3000 : rng.Between(5, 12) * 200;
    PutRun(line, run, pastrun::kDistance, Digits(distance, 4));
    const int heads = rng.Between(8, 18);
    PutRun(line, run, pastrun::kHeadCount, Digits(heads, 2));
    PutRun(line, run, pastrun::kGoingCode, std::to_string(rng.Between(0, 3)));
    PutRun(line, run, pastrun::kHorseNumber, Digits(rng.Between(1, heads), 2));
    PutRun(line, run, pastrun::kWeightCarried,
           Digits(rng.Between(50, 59) * 10 + (rng.Chance(20) ? 5 : 0), 3));
    PutRun(line, run, pastrun::kBodyWeight,
           rng.Chance(6) ? std::string("000") : Digits(rng.Between(420, 540), 3));
    PutRun(line, run, pastrun::kJockey, PersonName(rng, 4));

    const int roll = rng.Between(1, 100);
    if (roll <= 3 || roll == 4) {
        // Scratched (取消) or excluded (除外): no time, no figure.
        const char* code = roll <= 3 ? "34" : "35";
        PutRun(line, run, pastrun::kPopularity, code);
        PutRun(line, run, pastrun::kFinish, code);
        PutRun(line, run, pastrun::kFigureFinish, "  ");
        return;
    }
    int finish = rng.Between(1, heads);
    PutRun(line, run, pastrun::kPopularity, Digits(rng.Between(1, heads), 2));
    if (roll == 5) {
        // Fell, disqualified or did not finish.
        std::string code = std::to_string(rng.Between(31, 33));
        PutRun(line, run, pastrun::kFinish, code);
        PutRun(line, run, pastrun::kFigureFinish, code);
        return;
    }
    PutRun(line, run, pastrun::kFinish, Digits(finish, 2));
    PutRun(line, run, pastrun::kFigureFinish, rng.Chance(2) ? "00" : Digits(finish, 2));
    const int seconds = distance * 6 / 100 + rng.Between(0, 9);
    PutRun(line, run, pastrun::kTimeMinutes, std::to_string(seconds / 60));
    PutRun(line, run, pastrun::kTimeSeconds, Digits(seconds % 60, 2));
    PutRun(line, run, pastrun::kTimeTenths, std::to_string(rng.Between(0, 9)));
    int margin = finish == 1 ? rng.Between(0, 5) : (finish - 1) * rng.Between(1, 4);
    PutRun(line, run, pastrun::kMargin, rng.Chance(3) ? std::string("998") : Digits(margin, 3));
    int last3F = (turf ? 335 : 360) + rng.Between(0, 30) + finish / 2;
    std::string last3FText = Digits(last3F, 3);
    if (rng.Chance(3)) {
        last3FText = rng.Chance(50) ? "000" : "999";
    }
    PutRun(line, run, pastrun::kLast3F, last3FText);
    const FieldPos corners[] = {pastrun::kCorner1, pastrun::kCorner2, pastrun::kCorner3,
                                pastrun::kCorner4};
    for (int c = 0; c < 4; ++c) {
        int position = std::max(1, std::min(heads, finish + rng.Between(-3, 3)));
        if (distance <= 1200 && c < 2) {
            PutRun(line, run, corners[c], "  "); // short races pass two corners only
            continue;
        }
        PutRun(line, run, corners[c], Digits(position + (rng.Chance(8) ? 40 : 0), 2));
    }
    PutRun(line, run, pastrun::kWinnerOrSecond,
           rivals[static_cast<std::size_t>(rng.Between(0, static_cast<int>(rivals.size()) - 1))]);
}

std::string HorseLine(Random& rng, int runs, bool steeplechaser,
                      const std::vector<std::string>& rivals)
{
    std::string line(horse::kPastRunsPos - 1 + horse::kPastRunLength * horse::kPastRuns, ' ');
    static constexpr std::array<const char*, 32> kCoats = {
        "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11",
        "12", "13", "20", "21", "23", "24", "25", "28", "30", "31", "35",
        "03", "03", "03", "01", "01", "04", "04", "99", "  ", "07"};
    Put(line, horse::kCoatColourCode, rng.Pick(kCoats));
    static constexpr std::array<const char*, 16> kAreas = {"003", "005", "006", "007", "004", "009",
                                                           "044", "055", "071", "073", "075", "228",
                                                           "214", "255", "300", "003"};
    Put(line, horse::kBreedingAreaCode, rng.Pick(kAreas));
    static constexpr std::array<const char*, 12> kMarks = {"00", "00", "00", "00", "00", "01",
                                                           "02", "03", "04", "06", "12", "27"};
    Put(line, horse::kHorseMarkCode, rng.Pick(kMarks));
    Put(line, horse::kSire, HorseName(rng, 9));
    Put(line, horse::kDam, HorseName(rng, 9));
    Put(line, horse::kDamSire, HorseName(rng, 9));
    Put(line, horse::kDamDam, HorseName(rng, 9));
    Put(line, horse::kOwner,
        ToCp932(std::string(rng.Pick(kFamily)) + "　" + std::string(rng.Pick(kGiven))));
    Put(line, horse::kBreeder, ToCp932(std::string(rng.Pick(kFarms)) + "牧場"));
    Put(line, horse::kTrainer, PersonName(rng, 4));
    const int wins = runs == 0 ? 0 : rng.Between(0, 6);
    const long long mainPrize = wins * 1000000LL * rng.Between(5, 60) + rng.Between(0, 9999);
    Put(line, horse::kMainPrize, Digits(static_cast<int>(mainPrize % 2000000000), 10));
    Put(line, horse::kPrizePart1, Digits(static_cast<int>((mainPrize * 3 / 2) % 2000000000), 10));
    Put(line, horse::kPrizePart2, Digits(rng.Between(0, 99) * 100000, 10));
    const int seconds = runs == 0 ? 0 : rng.Between(0, 5);
    const int thirds = runs == 0 ? 0 : rng.Between(0, 5);
    const int unplaced = runs == 0 ? 0 : rng.Between(runs / 2, 20);
    Put(line, horse::kCareerFirsts, Digits(wins, 3));
    Put(line, horse::kCareerSeconds, Digits(seconds, 3));
    Put(line, horse::kCareerThirds, Digits(thirds, 3));
    Put(line, horse::kCareerUnplaced, Digits(unplaced, 3));
    for (int i = 0; i < horse::kRecordGroups * 4; ++i) {
        int count = runs == 0 ? 0 : (rng.Chance(40) ? rng.Between(0, 4) : 0);
        Put(line, {horse::kRecordTablePos + 2 * i, 2}, Digits(count, 2));
    }
    // Each run a week to five weeks before the one after it, counted back from a week
    // before the day, on the real calendar (the month's own length, across the new year).
    using namespace std::chrono;
    sys_days date = sys_days(year(2001) / May / 20);
    for (int run = 0; run < runs; ++run) {
        date -= days(rng.Between(7, 35));
        const year_month_day shown(date);
        PastRun(rng, line, run, steeplechaser, static_cast<int>(unsigned(shown.month())),
                static_cast<int>(unsigned(shown.day())), rivals);
    }
    // A horse with fewer runs ends its line after its last run, as the data service does.
    if (runs < horse::kPastRuns) {
        line.resize(
            static_cast<std::size_t>(horse::kPastRunsPos - 1 + horse::kPastRunLength * runs));
    }
    return line;
}

} // namespace

SampleFiles MakeSampleDay(const SampleOptions& options)
{
    Random rng(options.seed);
    SampleFiles files;
    const int races = std::max(1, std::min(options.races, 36));
    std::vector<std::string> rivals;
    for (int i = 0; i < 40; ++i) {
        rivals.push_back(HorseName(rng, 9));
    }
    for (int index = 0; index < races; ++index) {
        const int block = index / 12;
        const int number = index % 12 + 1;
        const CourseDay& course = kCourses[static_cast<std::size_t>(block)];
        const RacePlan& plan = kPlan[static_cast<std::size_t>(number - 1)];
        const bool steeple = number == 4;
        int heads = options.full ? 18 : plan.headCount;
        if (!options.full && block == 2 && number == 4) {
            heads = 6;
        }

        std::string race(340, ' ');
        Put(race, race::kCourseCode, course.code);
        Put(race, race::kMeetingNumber, Digits(course.meeting, 2));
        Put(race, race::kMeetingDay, Digits(course.day, 2));
        Put(race, race::kRaceNumber, Digits(number, 2));
        Put(race, race::kYear, "2001");
        Put(race, race::kMonth, "05");
        Put(race, race::kDay, "27");
        Put(race, race::kWeekdayCode, "02");
        Put(race, race::kSteeplechaseFlag, steeple ? "1" : "0");
        std::string name;
        if (number == 11 || number == 9 || number == 10) {
            name = ToCp932(kRaceNames[static_cast<std::size_t>((block * 3 + number) % 12)]);
        } else if (steeple) {
            name = "障害未勝利"_sj;
        }
        Put(race, race::kRaceName, name);
        std::string grade = " ";
        if (number == 11) {
            grade = std::to_string(block); // G1, G2, G3
        } else if (steeple && block < 3) {
            grade = block == 0 ? " " : std::to_string(block + 3); // JG2, JG3
        }
        Put(race, race::kGradeCode, grade);
        Put(race, race::kWeightTermsCode, plan.weightTerms);
        Put(race, race::kRaceKindCode, plan.kind[static_cast<std::size_t>(block)]);
        Put(race, race::kClassCode, steeple && block > 0 ? "00004" : plan.classCode);
        Put(race, race::kTurfFlag, plan.turf ? "1" : "0");
        Put(race, race::kDistance, Digits(plan.distance[static_cast<std::size_t>(block)], 4));
        Put(race, race::kPostTime,
            Digits(9 + (number * 35 + 50) / 60, 2) + ":" + Digits((number * 35 + 50) % 60, 2));
        Put(race, race::kHeadCount, Digits(heads, 2));
        files.raceFile += race + "\r\n";

        for (int h = 1; h <= heads; ++h) {
            std::string entryLine(200, ' ');
            Put(entryLine, entry::kBracket, std::to_string(Bracket(h, heads)));
            const std::string horseName = HorseName(rng, 9);
            Put(entryLine, entry::kHorseName, horseName);
            Put(entryLine, entry::kSexCode, std::to_string(rng.Between(0, 2)));
            const int age = number == 3 || number == 1 ? 2 + block % 2 : rng.Between(3, 7);
            Put(entryLine, entry::kAge, Digits(age, 2));
            Put(entryLine, entry::kWeightCarried,
                Digits(rng.Between(48, 59) * 10 + (rng.Chance(30) ? 5 : 0), 3));
            Put(entryLine, entry::kJockey, PersonName(rng, 3));
            files.entryFile += entryLine + "\r\n";

            int runs = 5;
            if (!options.full) {
                if (number == 3) {
                    runs = rng.Chance(70) ? 0 : rng.Between(1, 2); // newcomers
                } else if (rng.Chance(20)) {
                    runs = rng.Between(0, 4);
                }
            }
            files.horseFile += HorseLine(rng, runs, steeple, rivals) + "\r\n";
        }
    }
    return files;
}

void WriteSampleDay(const SampleOptions& options, const std::filesystem::path& dir)
{
    const SampleFiles files = MakeSampleDay(options);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::pair<const char*, const std::string*> outputs[] = {
        {kRaceFileName, &files.raceFile},
        {kEntryFileName, &files.entryFile},
        {kHorseFileName, &files.horseFile}};
    for (const auto& [name, bytes] : outputs) {
        if (!WriteFileAtomic(dir / name, *bytes)) {
            throw Error("ファイル "_sj + PathText(dir / name) + " を作成できません"_sj);
        }
    }
}

} // namespace furlox::kol
