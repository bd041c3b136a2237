#include "kol/SampleSeason.h"

#include <algorithm>
#include <array>
#include <deque>
#include <set>
#include <string_view>
#include <vector>

#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"
#include "kol/SampleParts.h"

namespace furlox::kol {
namespace {

using namespace sample;
using std::chrono::sys_days;

// The pools horses run in: the class of their races, and the steeplechasers apart. A horse
// moves up one class with each win; a debutant runs once in a newcomers' race.
enum Pool : int
{
    kDebut = 0,  // 新馬
    kMaiden = 1, // 未勝利
    k500 = 2,    // 500万
    k1000 = 3,   // 1000万 (and 900万)
    k1600 = 4,   // 1600万
    kOpen = 5,   // オープン, graded or not
    kSteeple = 6,
    kPoolCount = 7,
};

// Each horse runs about every tenth race day: a pool holds ten times the runners its races
// take on an average day.
constexpr int kPoolDays = 10;
constexpr int kMinRest = 13; // days: no horse runs twice within two weeks

// Roughly normal: the sum of three uniform draws, mean 0, spread (standard deviation) about
// `spread`.
int Noise(Random& rng, int spread)
{
    return rng.Between(-spread, spread) + rng.Between(-spread, spread) +
           rng.Between(-spread, spread);
}

// Ten digits of yen, capped where the field ends.
std::string Yen(long long value)
{
    value = std::clamp(value, 0LL, 9999999999LL);
    return PadZero(std::to_string(value), 10);
}

// The courses of each block of four weekends (eight race days), the main course first, as
// the racing calendar moves round the country over a year of thirteen blocks.
constexpr std::array<std::array<const char*, 3>, 13> kCalendar = {{
    {"05", "00", "02"},
    {"04", "00", "03"},
    {"05", "01", "02"},
    {"05", "01", "06"},
    {"04", "00", "07"},
    {"04", "01", "06"},
    {"06", "02", "09"},
    {"07", "03", "08"},
    {"07", "03", "08"},
    {"05", "01", "07"},
    {"04", "00", "07"},
    {"04", "00", "06"},
    {"05", "01", "02"},
}};

// One row per race number: pool, class code, turf, the distances to choose from, weight
// terms. Race 3 is a newcomers' race on Saturdays and a maiden race on Sundays; race 4 is a
// steeplechase, for maidens on Saturdays and open on Sundays.
struct SeasonPlan
{
    int pool;
    const char* classCode;
    bool turf;
    std::array<int, 3> distance;
    const char* weightTerms;
};
constexpr std::array<SeasonPlan, 12> kSeasonPlan = {{
    {kMaiden, "00003", false, {1200, 1400, 1800}, "01"},
    {kMaiden, "00003", true, {1600, 1800, 2000}, "01"},
    {kDebut, "00001", true, {1400, 1600, 1800}, "01"},
    {kSteeple, "00003", true, {2880, 3000, 3200}, "90"},
    {k500, "05000", false, {1400, 1700, 1800}, "00"},
    {k500, "05000", true, {1600, 1800, 2000}, "03"},
    {k1000, "10000", false, {1600, 1800, 2100}, "00"},
    {k500, "05000", true, {1200, 1400, 2200}, "03"},
    {k1000, "10000", true, {1800, 2000, 2400}, "00"},
    {k1600, "16000", true, {1400, 1600, 2000}, "02"},
    {kOpen, "00004", true, {1600, 2000, 2400}, "03"},
    {k1000, "09000", false, {1200, 1400, 1800}, "00"},
}};

constexpr std::array<std::string_view, 32> kNameWords = {
    "初富士", "若潮", "春望", "梅花", "白梅", "早春", "弥生",   "桜花", "新緑", "青葉", "若葉",
    "紫陽花", "七夕", "夏至", "朱鷺", "銀嶺", "紅葉", "菊花",   "霜月", "師走", "雪嶺", "飛鳥",
    "鳴門",   "鞍馬", "比叡", "六甲", "白川", "浦安", "犬吠埼", "潮騒", "天草", "摩周"};
constexpr std::array<std::string_view, 5> kGradedEnds = {"記念", "杯", "カップ", "ステークス",
                                                         "賞"};
constexpr std::array<std::string_view, 16> kPreSeasonShortNames = {
    "未勝利", "新馬戦", "特別", "天皇賞", "皐月賞", "日本ダ", "安田記", "ハンデ",
    "障害",   "オープ", "若駒", "寒椿",   "冬至",   "師走",   "霜月",   "菊花"};
constexpr std::array<const char*, 10> kFigureCourses = {"00", "01", "02", "03", "04",
                                                        "05", "06", "07", "08", "09"};
constexpr std::array<const char*, 8> kLocalCourses = {"10", "11", "19", "20",
                                                      "33", "37", "42", "61"};
constexpr std::array<const char*, 6> kLocalClasses = {"00010", "00021", "00032",
                                                      "00043", "00093", "00009"};

// The class codes a horse of each pool ran in before the season.
constexpr std::array<const char*, kPoolCount> kPoolClass = {"00001", "00003", "05000", "10000",
                                                            "16000", "00004", "00003"};

// The win prize (yen) of a race of each pool; graded races pay more.
constexpr std::array<long long, kPoolCount> kWinPrize = {5000000,  5000000,  7000000, 10000000,
                                                         15000000, 22000000, 8000000};

struct Jockey
{
    std::string entryName; // three full-width characters, as the entry record has it
    std::string runName;   // four, as a past run has it
    int skill = 0;
};

struct Horse
{
    std::string name;      // CP932, without the blanks that fill the field
    std::string nameField; // the entry record's 18 bytes
    int sex = 0;
    int birthYear = 0;
    int ability = 0; // hidden: the better, the higher
    int turfPreference = 0;
    int bestDistance = 1600;
    int style = 50; // 0 leads from the start, 100 comes from behind
    int pool = kMaiden;
    sys_days lastRun{};
    int rest = 28;  // days it wants between two races
    int ranOn = -1; // the day index of its last entry
    int bodyWeight = 480;
    std::string profile; // the horse record before its past runs
    std::array<int, 4> career{};
    std::array<std::array<int, 4>, horse::kRecordGroups> groups{};
    long long mainPrize = 0;
    long long otherPrize = 0;       // prize part 2
    long long totalPrize = 0;       // prize part 1
    std::deque<std::string> blocks; // past-run blocks, newest first, at most five
    int starts = 0;
    bool retired = false;
};

struct RaceCard
{
    int slot = 0; // the course's place in the day
    std::string courseCode;
    int meeting = 1;
    int meetingDay = 1;
    int number = 1;
    int pool = kMaiden;
    std::string classCode;
    std::string gradeCode = " ";
    std::string weightTerms;
    std::string name; // CP932
    bool steeple = false;
    bool turf = true;
    int distance = 1600;
    int going = 0;
    int wanted = 12;
    std::vector<std::size_t> runners; // horse indices, in horse-number order
    std::vector<int> jockeys;
    std::vector<int> weights; // tenths of a kilogram
};

// The record-table group of a run by surface and distance (the detail window's rows).
int DistanceGroup(bool turf, int distance)
{
    static constexpr std::array<int, 7> kLimits = {1000, 1200, 1400, 1600, 1800, 2000, 2200};
    int band = 0;
    while (band < 7 && distance > kLimits[static_cast<std::size_t>(band)]) {
        ++band;
    }
    return (turf ? 20 : 28) + band;
}

// Counts a start into the career and the record table: place 1, 2, 3, or 4 for the rest.
void CountStart(Horse& h, int place, bool steeple, bool turf, int distance, int going)
{
    const auto p = static_cast<std::size_t>(std::clamp(place, 1, 4) - 1);
    ++h.career[p];
    ++h.starts;
    if (steeple) {
        return;
    }
    auto count = [&](int group) { ++h.groups[static_cast<std::size_t>(group)][p]; };
    count(turf ? 2 : 4);
    if (going >= 2) {
        count(turf ? 10 : 14);
    }
    count(DistanceGroup(turf, distance));
}

// Everything of a past-run block that a race gives one runner.
struct RunFacts
{
    std::string courseCode;
    sys_days date;
    int raceNumber = 0; // 0: not written
    bool steeple = false;
    bool turf = true;
    std::string shortName; // CP932
    std::string gradeCode = " ";
    std::string classCode;
    int distance = 1600;
    int heads = 12;
    int going = 0;
    int horseNumber = 1;
    int weightCarried = 550;
    std::string bodyWeight;
    std::string jockey; // CP932
    std::string popularity;
    std::string finish;
    std::string figureFinish;
    int time = -1; // tenths of a second; -1 for none
    std::string margin;
    std::string last3F;
    std::array<std::string, 4> corners; // blank when not passed
    std::string winnerOrSecond;         // CP932
};

std::string Block(const RunFacts& r)
{
    std::string b(static_cast<std::size_t>(horse::kPastRunLength), ' ');
    const std::chrono::year_month_day ymd(r.date);
    Put(b, pastrun::kCourseCode, r.courseCode);
    if (r.raceNumber > 0) {
        Put(b, pastrun::kRaceNumber, Digits(r.raceNumber, 2));
    }
    Put(b, pastrun::kMonth, Digits(static_cast<int>(unsigned(ymd.month())), 2));
    Put(b, pastrun::kDay, Digits(static_cast<int>(unsigned(ymd.day())), 2));
    Put(b, pastrun::kSteeplechaseFlag, r.steeple ? "1" : "0");
    Put(b, pastrun::kRaceShortName, r.shortName);
    Put(b, pastrun::kGradeCode, r.gradeCode);
    Put(b, pastrun::kClassCode, r.classCode);
    Put(b, pastrun::kTurfFlag, r.turf ? "1" : "0");
    Put(b, pastrun::kDistance, Digits(r.distance, 4));
    Put(b, pastrun::kHeadCount, Digits(r.heads, 2));
    Put(b, pastrun::kGoingCode, std::to_string(r.going));
    Put(b, pastrun::kHorseNumber, Digits(r.horseNumber, 2));
    Put(b, pastrun::kWeightCarried, Digits(r.weightCarried, 3));
    Put(b, pastrun::kBodyWeight, r.bodyWeight);
    Put(b, pastrun::kJockey, r.jockey);
    Put(b, pastrun::kPopularity, r.popularity);
    Put(b, pastrun::kFinish, r.finish);
    Put(b, pastrun::kFigureFinish, r.figureFinish);
    if (r.time >= 0) {
        Put(b, pastrun::kTimeMinutes, std::to_string(r.time / 600));
        Put(b, pastrun::kTimeSeconds, Digits(r.time / 10 % 60, 2));
        Put(b, pastrun::kTimeTenths, std::to_string(r.time % 10));
    }
    Put(b, pastrun::kMargin, r.margin);
    Put(b, pastrun::kLast3F, r.last3F);
    const FieldPos corners[] = {pastrun::kCorner1, pastrun::kCorner2, pastrun::kCorner3,
                                pastrun::kCorner4};
    for (std::size_t c = 0; c < 4; ++c) {
        Put(b, corners[c], r.corners[c]);
    }
    Put(b, pastrun::kWinnerOrSecond, r.winnerOrSecond);
    return b;
}

// A Saturday or Sunday on or before the date.
sys_days WeekendOnOrBefore(sys_days date)
{
    const std::chrono::weekday wd(date);
    const unsigned back = wd.c_encoding() == 0 ? 0 : wd.c_encoding() == 6 ? 0 : wd.c_encoding();
    return date - std::chrono::days(back);
}

// The par time (tenths of a second) of a race by its conditions.
int ParTime(bool steeple, bool turf, int distance, int going)
{
    static constexpr std::array<int, 4> kTurfGoing = {0, 5, 12, 20};
    static constexpr std::array<int, 4> kDirtGoing = {0, -3, -6, -4};
    const auto g = static_cast<std::size_t>(std::clamp(going, 0, 3));
    if (steeple) {
        return 667 * distance / 1000 + 80 + kTurfGoing[g] * distance / 2000;
    }
    if (turf) {
        return 629 * distance / 1000 - 60 + kTurfGoing[g] * distance / 2000;
    }
    return 667 * distance / 1000 - 80 + kDirtGoing[g] * distance / 2000;
}

// The last three furlongs (tenths of a second) of an average runner.
int ParLast3F(bool steeple, bool turf, int going)
{
    static constexpr std::array<int, 4> kTurfGoing = {0, 4, 9, 15};
    static constexpr std::array<int, 4> kDirtGoing = {0, -2, -3, -2};
    const auto g = static_cast<std::size_t>(std::clamp(going, 0, 3));
    if (steeple) {
        return 390 + kTurfGoing[g];
    }
    return turf ? 345 + kTurfGoing[g] : 360 + kDirtGoing[g];
}

// The class text a past-run block shows, cut to its field (three full-width characters).
std::string ShortName(const RaceCard& card)
{
    if (!card.name.empty()) {
        return card.name;
    }
    if (card.steeple) {
        return "障害"_sj;
    }
    return ClassText(card.classCode);
}

} // namespace

struct SampleSeason::State
{
    SeasonOptions options;
    Random rng;
    int day = 0;
    std::vector<Horse> horses;
    std::vector<Jockey> jockeys;
    std::set<std::string> usedNames;
    std::array<int, kPoolCount> target{};

    explicit State(const SeasonOptions& o) : options(o), rng(o.seed * 0x2545F4914F6CDD1Dull + 7) {}

    int Courses() const { return options.full ? 3 : 2; }

    sys_days DateOf(int index) const
    {
        return sys_days(SeasonFirstDate()) + std::chrono::days(index / 2 * 7 + index % 2);
    }

    // ------------------------------------------------------------------ the horses
    std::string NewName()
    {
        for (;;) {
            std::string name = HorseName(rng, 9);
            if (rng.Chance(2) && name.size() <= 14) {
                // Now and then a name with a blank of its own inside (a foreign horse's).
                name = name.substr(0, 4) + "　"_sj + name.substr(4);
            }
            if (usedNames.insert(name).second) {
                return name;
            }
        }
    }

    std::string NewProfile()
    {
        std::string line(static_cast<std::size_t>(horse::kPastRunsPos - 1), ' ');
        static constexpr std::array<const char*, 16> kCoats = {"01", "02", "03", "04", "05", "06",
                                                               "07", "03", "03", "01", "04", "11",
                                                               "12", "03", "01", "04"};
        Put(line, horse::kCoatColourCode, rng.Pick(kCoats));
        static constexpr std::array<const char*, 12> kAreas = {
            "003", "005", "006", "007", "004", "009", "044", "011", "071", "073", "075", "003"};
        Put(line, horse::kBreedingAreaCode, rng.Pick(kAreas));
        static constexpr std::array<const char*, 10> kMarks = {"00", "00", "00", "00", "00",
                                                               "00", "01", "03", "04", "06"};
        Put(line, horse::kHorseMarkCode, rng.Pick(kMarks));
        Put(line, horse::kSire, HorseName(rng, 9));
        Put(line, horse::kDam, HorseName(rng, 9));
        Put(line, horse::kDamSire, HorseName(rng, 9));
        Put(line, horse::kDamDam, HorseName(rng, 9));
        const std::string_view family = rng.Pick(kFamily);
        const std::string_view given = rng.Pick(kGiven);
        Put(line, horse::kOwner, ToCp932(std::string(family) + "　" + std::string(given)));
        Put(line, horse::kBreeder, ToCp932(std::string(rng.Pick(kFarms)) + "牧場"));
        Put(line, horse::kTrainer, PersonName(rng, 4));
        return line;
    }

    Horse NewHorse(int pool, int year)
    {
        Horse h;
        h.name = NewName();
        // The data service fills a short name with ASCII blanks or, for some horses, with
        // full-width ones.
        const bool wideFill = rng.Chance(30);
        h.nameField = h.name;
        while (h.nameField.size() + 2 <= 18 && wideFill) {
            h.nameField += "　"_sj;
        }
        h.nameField = PadRight(h.nameField, 18);
        h.sex = rng.Between(1, 100) <= 52 ? 0 : 1;
        const int tier = pool == kSteeple ? 3 : std::max(pool, 1);
        int age = 2;
        if (pool == kDebut) {
            age = 2;
        } else if (pool == kMaiden) {
            age = 3;
        } else if (pool == kSteeple) {
            age = rng.Between(4, 8);
        } else {
            age = rng.Between(3, 3 + tier);
        }
        if (age >= 5 && h.sex == 0 && rng.Chance(25)) {
            h.sex = 2; // gelded
        }
        h.birthYear = year - age;
        h.ability = pool == kDebut ? 8 + Noise(rng, 8) : 8 * tier + Noise(rng, 5);
        h.turfPreference = rng.Between(-4, 4);
        h.bestDistance = rng.Between(6, 12) * 200;
        h.style = rng.Between(0, 100);
        h.pool = pool;
        h.rest = rng.Between(14, 42);
        h.bodyWeight = (h.sex == 1 ? 440 : 470) + 2 * rng.Between(-15, 20);
        h.profile = NewProfile();
        h.otherPrize = rng.Between(0, 99) * 100000LL;
        return h;
    }

    // A run before the season, against a field of made-up rivals of the horse's class: as
    // the one-day sample's runs, with the quirks the figure rules must handle.
    void PreSeasonRun(Horse& h, sys_days date)
    {
        RunFacts r;
        r.date = date;
        const bool local = h.pool != kSteeple && rng.Chance(12);
        r.steeple = h.pool == kSteeple && rng.Chance(60);
        r.courseCode = local ? rng.Pick(kLocalCourses) : rng.Pick(kFigureCourses);
        r.raceNumber = rng.Between(1, 12);
        r.shortName = ToCp932(rng.Pick(kPreSeasonShortNames));
        const int pool = h.pool == kSteeple ? k500 : h.pool;
        r.classCode = local ? rng.Pick(kLocalClasses) : kPoolClass[static_cast<std::size_t>(pool)];
        if (pool == kOpen && rng.Chance(50)) {
            r.gradeCode = std::to_string(rng.Between(0, 2));
        } else if (r.steeple && rng.Chance(20)) {
            r.gradeCode = std::to_string(rng.Between(4, 5));
        }
        r.turf = r.steeple || rng.Chance(55);
        r.distance = r.steeple ? 3000 : rng.Between(5, 12) * 200;
        r.heads = rng.Between(8, 18);
        r.going = rng.Between(0, 3);
        r.horseNumber = rng.Between(1, r.heads);
        r.weightCarried = rng.Between(52, 58) * 10 + (rng.Chance(20) ? 5 : 0);
        h.bodyWeight = std::clamp(h.bodyWeight + 2 * rng.Between(-4, 4), 380, 580);
        r.bodyWeight = rng.Chance(4) ? std::string("000") : Digits(h.bodyWeight, 3);
        r.jockey = PersonName(rng, 4);
        // The winner (or second) was one of the other horses.
        r.winnerOrSecond = horses.empty() ? HorseName(rng, 9)
                                          : horses[static_cast<std::size_t>(rng.Between(
                                                       0, static_cast<int>(horses.size()) - 1))]
                                                .nameField;

        const int roll = rng.Between(1, 100);
        if (roll <= 4) {
            const char* code = roll <= 3 ? "34" : "35";
            r.popularity = code;
            r.finish = code;
            r.figureFinish = "  ";
            h.blocks.push_back(Block(r));
            return;
        }
        // The field: the horse's own run and its rivals', each from an ability with noise.
        const int tierMean = 8 * std::max(1, pool);
        const int expected = h.ability + Aptitude(h, r.turf, r.distance);
        const int own = expected + Noise(rng, 5);
        const int ownMarket = expected + Noise(rng, 3);
        int better = 0, betterMarket = 0, best = own, second = -1000;
        for (int i = 1; i < r.heads; ++i) {
            const int ability = tierMean + Noise(rng, 6);
            const int p = ability + Noise(rng, 5);
            better += p > own;
            betterMarket += ability + Noise(rng, 3) > ownMarket;
            if (p > best) {
                second = best;
                best = p;
            } else if (p > second) {
                second = p;
            }
        }
        const int finish = better + 1;
        r.popularity = Digits(betterMarket + 1, 2);
        if (roll == 5) {
            const std::string code = std::to_string(rng.Between(31, 33));
            r.finish = code;
            r.figureFinish = code;
            CountStart(h, 4, r.steeple, r.turf, r.distance, r.going);
            h.blocks.push_back(Block(r));
            return;
        }
        r.finish = Digits(finish, 2);
        r.figureFinish = rng.Chance(2) ? "00" : r.finish;
        const int behind = finish == 1 ? own - second : best - own;
        const int margin = std::min(997, std::max(0, behind) * 8 * r.distance / 16000);
        r.time = ParTime(r.steeple, r.turf, r.distance, r.going) + (finish == 1 ? 0 : margin);
        r.margin = rng.Chance(3) ? std::string("998") : Digits(margin, 3);
        int last3F = ParLast3F(r.steeple, r.turf, r.going) - (own - tierMean) / 2 -
                     (h.style - 50) / 10 + Noise(rng, 2);
        r.last3F = Digits(std::clamp(last3F, 310, 450), 3);
        if (rng.Chance(3)) {
            r.last3F = rng.Chance(50) ? "000" : "999";
        }
        const int styleRank = 1 + h.style * (r.heads - 1) / 100;
        static constexpr std::array<int, 4> kStyleWeight = {90, 80, 60, 40};
        for (std::size_t c = 0; c < 4; ++c) {
            if (r.distance <= 1200 && c < 2) {
                continue; // a short race passes two corners only
            }
            const int w = kStyleWeight[c];
            const int pos = std::clamp(
                (styleRank * w + finish * (100 - w)) / 100 + rng.Between(-2, 2), 1, r.heads);
            r.corners[c] = Digits(pos + (rng.Chance(8) ? 40 : 0), 2);
        }
        CountStart(h, finish, r.steeple, r.turf, r.distance, r.going);
        h.blocks.push_back(Block(r));
    }

    static int Aptitude(const Horse& h, bool turf, int distance)
    {
        return (turf ? h.turfPreference : -h.turfPreference) -
               std::abs(distance - h.bestDistance) / 250;
    }

    // A horse of the first day: up to five runs before the season, the last a week to eight
    // weeks before it, each two to six weeks before the next, on race days (weekends).
    void AddFirstDayHorse(int pool)
    {
        const int year = static_cast<int>(std::chrono::year_month_day(DateOf(0)).year());
        Horse h = NewHorse(pool, year);
        int runs = 5;
        if (pool == kMaiden && rng.Chance(40)) {
            runs = rng.Between(1, 4);
        } else if (rng.Chance(8)) {
            runs = rng.Between(1, 4);
        }
        sys_days date = WeekendOnOrBefore(DateOf(0) - std::chrono::days(rng.Between(7, 56)));
        h.lastRun = date;
        for (int run = 0; run < runs; ++run) {
            PreSeasonRun(h, date);
            date = WeekendOnOrBefore(date - std::chrono::days(rng.Between(14, 42)));
        }
        // The career before these runs, in the counts alone.
        const int older = pool == kMaiden ? 0 : rng.Between(0, 4 * pool);
        for (int i = 0; i < older; ++i) {
            CountStart(h, rng.Between(1, 10), false, rng.Chance(55), rng.Between(5, 12) * 200,
                       rng.Between(0, 3));
        }
        const int tier = pool == kSteeple ? 2 : pool;
        for (int t = 1; t < tier; ++t) {
            h.mainPrize += kWinPrize[static_cast<std::size_t>(t)];
        }
        h.mainPrize += (h.career[1] + h.career[2]) * 2000000LL + rng.Between(0, 999) * 1000LL;
        h.totalPrize = h.mainPrize * 11 / 10;
        horses.push_back(std::move(h));
    }

    void MakeJockeys()
    {
        std::set<std::pair<std::size_t, std::size_t>> taken;
        const int count = options.full ? 90 : 80;
        while (static_cast<int>(jockeys.size()) < count) {
            const auto f = static_cast<std::size_t>(rng.Between(0, 23));
            const auto g = static_cast<std::size_t>(rng.Between(0, 15));
            if (!taken.insert({f, g}).second) {
                continue;
            }
            Jockey j;
            j.entryName = PersonName(kFamily[f], kGiven[g], 3);
            j.runName = PersonName(kFamily[f], kGiven[g], 4);
            j.skill = rng.Between(-3, 3);
            jockeys.push_back(std::move(j));
        }
    }

    // Runners an average race day takes from each pool: every pool holds kPoolDays times as
    // many horses.
    void SetTargets()
    {
        const int field = options.full ? 18 : 12;
        std::array<int, kPoolCount> perWeekend{};
        for (int sunday = 0; sunday < 2; ++sunday) {
            for (const SeasonPlan& plan : kSeasonPlan) {
                int pool = plan.pool;
                if (pool == kDebut && sunday) {
                    pool = kMaiden;
                }
                perWeekend[static_cast<std::size_t>(pool)] += field * Courses();
            }
        }
        for (std::size_t p = 0; p < kPoolCount; ++p) {
            target[p] = perWeekend[p] * kPoolDays / 2;
        }
        target[kDebut] = 0;
    }

    void Start()
    {
        MakeJockeys();
        SetTargets();
        for (int pool = kMaiden; pool < kPoolCount; ++pool) {
            for (int i = 0; i < target[static_cast<std::size_t>(pool)]; ++i) {
                AddFirstDayHorse(pool);
            }
        }
    }

    // ------------------------------------------------------------------ the day's card
    std::vector<RaceCard> MakeCards()
    {
        const int block = day / 8;
        const auto cycle = static_cast<std::size_t>(block % 13);
        const bool sunday = day % 2 == 1;
        std::vector<RaceCard> cards;
        for (int slot = 0; slot < Courses(); ++slot) {
            const std::string course = kCalendar[cycle][static_cast<std::size_t>(slot)];
            int meeting = 1;
            for (std::size_t c = 0; c < cycle; ++c) {
                for (int s = 0; s < Courses(); ++s) {
                    meeting += course == kCalendar[c][static_cast<std::size_t>(s)];
                }
            }
            const int turfGoing = rng.Chance(60) ? 0 : rng.Between(1, 3);
            const int dirtGoing = std::clamp(turfGoing + rng.Between(0, 1), 0, 3);
            for (int number = 1; number <= 12; ++number) {
                const SeasonPlan& plan = kSeasonPlan[static_cast<std::size_t>(number - 1)];
                RaceCard card;
                card.slot = slot;
                card.courseCode = course;
                card.meeting = meeting;
                card.meetingDay = day % 8 + 1;
                card.number = number;
                card.pool = plan.pool;
                card.classCode = plan.classCode;
                card.weightTerms = plan.weightTerms;
                card.turf = plan.turf;
                card.steeple = plan.pool == kSteeple;
                card.distance = plan.distance[static_cast<std::size_t>(rng.Between(0, 2))];
                if (card.pool == kDebut && sunday) {
                    card.pool = kMaiden;
                    card.classCode = "00003";
                }
                if (card.steeple && sunday) {
                    card.classCode = "00004";
                    if (rng.Chance(30)) {
                        card.gradeCode = rng.Chance(70) ? "5" : "4";
                    }
                }
                if (number == 12 && sunday) {
                    card.classCode = "10000";
                }
                if (course == "07" && number == 8) {
                    card.distance = 1000; // the straight course
                }
                card.going = card.turf ? turfGoing : dirtGoing;
                NameRace(card, sunday);
                if (options.full) {
                    card.wanted = 18;
                } else if (card.steeple) {
                    card.wanted = rng.Between(6, 12);
                } else {
                    card.wanted = rng.Chance(12) ? rng.Between(5, 8) : rng.Between(9, 16);
                }
                cards.push_back(std::move(card));
            }
        }
        return cards;
    }

    void NameRace(RaceCard& card, bool sunday)
    {
        const std::string word(rng.Pick(kNameWords));
        if (card.number == 9) {
            card.name = ToCp932(word + "特別");
        } else if (card.number == 10) {
            card.name = ToCp932(word + "ステークス");
        } else if (card.number == 11) {
            int roll = rng.Between(1, 100);
            if (card.slot == 0 && sunday) {
                card.gradeCode = roll <= 30 ? "0" : roll <= 65 ? "1" : "2";
            } else if (card.slot == 0) {
                card.gradeCode = roll <= 20 ? "1" : roll <= 60 ? "2" : " ";
            } else {
                card.gradeCode = roll <= (card.slot == 1 ? 40 : 25) ? "2" : " ";
            }
            card.name = ToCp932(word + std::string(card.gradeCode == " " ? std::string_view("Ｓ")
                                                                         : rng.Pick(kGradedEnds)));
            if (card.gradeCode == "0") {
                card.weightTerms = "03";
            } else if (card.gradeCode != " ") {
                card.weightTerms = rng.Chance(50) ? "00" : "02";
            }
        } else if (card.steeple) {
            card.name = card.classCode == "00004" ? "障害オープン"_sj : "障害未勝利"_sj;
        }
    }

    bool Ready(const Horse& h, sys_days date, bool relaxed) const
    {
        const auto since = static_cast<int>((date - h.lastRun).count());
        return !h.retired && h.ranOn != day && since >= (relaxed ? kMinRest : h.rest);
    }

    void ChooseRunners(RaceCard& card, sys_days date, int year)
    {
        if (card.pool == kDebut) {
            for (int i = 0; i < card.wanted; ++i) {
                Horse h = NewHorse(kDebut, year);
                h.birthYear =
                    year - (std::chrono::year_month_day(date).month() <= std::chrono::May ? 3 : 2);
                h.ranOn = day;
                h.lastRun = date;
                horses.push_back(std::move(h));
                card.runners.push_back(horses.size() - 1);
            }
            return;
        }
        // The horses of the race's class that have rested as long as they like, the longest
        // waiting first; then those of the class below (a horse may run above its class),
        // then of its class those that have rested at least two weeks.
        struct Candidate
        {
            int key;
            std::size_t index;
        };
        auto gather = [&](int pool, bool relaxed) {
            std::vector<Candidate> found;
            for (std::size_t i = 0; i < horses.size(); ++i) {
                const Horse& h = horses[i];
                if (h.pool == pool && Ready(h, date, relaxed)) {
                    const auto since = static_cast<int>((date - h.lastRun).count());
                    found.push_back({since - h.rest + rng.Between(0, 10), i});
                }
            }
            std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
                return a.key != b.key ? a.key > b.key : a.index < b.index;
            });
            for (const Candidate& c : found) {
                if (static_cast<int>(card.runners.size()) >= card.wanted) {
                    break;
                }
                horses[c.index].ranOn = day;
                card.runners.push_back(c.index);
            }
        };
        gather(card.pool, false);
        if (card.pool > kMaiden && card.pool != kSteeple) {
            gather(card.pool - 1, false);
        }
        gather(card.pool, true);
        for (int pool = kMaiden; pool <= kOpen && card.runners.size() < 5; ++pool) {
            gather(pool, true); // a class run dry is never a race without runners
        }
        // The post positions are drawn.
        for (std::size_t i = card.runners.size(); i > 1; --i) {
            const auto j = static_cast<std::size_t>(rng.Between(0, static_cast<int>(i) - 1));
            std::swap(card.runners[i - 1], card.runners[j]);
        }
    }

    void AssignJockeysAndWeights(RaceCard& card, int year)
    {
        // The day's jockeys of this course; the better ones tend to get the better horses.
        std::vector<std::pair<int, int>> riders; // (key, jockey)
        for (std::size_t j = 0; j < jockeys.size(); ++j) {
            if (static_cast<int>((j + static_cast<std::size_t>(day / 2)) %
                                 static_cast<std::size_t>(Courses())) == card.slot) {
                riders.push_back({jockeys[j].skill * 2 + rng.Between(0, 6), static_cast<int>(j)});
            }
        }
        std::sort(riders.begin(), riders.end(), [](auto a, auto b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
        std::vector<std::pair<int, std::size_t>> byStrength; // (key, runner)
        for (std::size_t r = 0; r < card.runners.size(); ++r) {
            const Horse& h = horses[card.runners[r]];
            byStrength.push_back({h.ability + rng.Between(0, 8), r});
        }
        std::sort(byStrength.begin(), byStrength.end(), [](auto a, auto b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
        card.jockeys.assign(card.runners.size(), 0);
        for (std::size_t k = 0; k < byStrength.size(); ++k) {
            card.jockeys[byStrength[k].second] = riders[k % riders.size()].second;
        }
        card.weights.assign(card.runners.size(), 550);
        for (std::size_t k = 0; k < byStrength.size(); ++k) {
            const std::size_t r = byStrength[k].second;
            const Horse& h = horses[card.runners[r]];
            const int age = year - h.birthYear;
            const bool filly = h.sex == 1;
            int weight = age <= 2 ? 540 : age == 3 ? (filly ? 540 : 560) : (filly ? 550 : 570);
            if (card.steeple) {
                weight = filly ? 580 : 600;
            } else if (card.weightTerms == "02") {
                // A handicap: half a kilogram less for each place down the order of strength.
                weight = std::max(480, 580 - 5 * static_cast<int>(k));
            } else if (card.weightTerms == "00") {
                weight += std::min(20, std::max(0, h.career[0] - 1) * 10);
            } else if (card.weightTerms == "03" && age == 3) {
                weight -= 10;
            }
            card.weights[r] = weight;
        }
    }

    // ------------------------------------------------------------------ the files
    std::string RaceLine(const RaceCard& card, sys_days date, int year) const
    {
        const std::chrono::year_month_day ymd(date);
        std::string race(340, ' ');
        Put(race, race::kCourseCode, card.courseCode);
        Put(race, race::kMeetingNumber, Digits(card.meeting, 2));
        Put(race, race::kMeetingDay, Digits(card.meetingDay, 2));
        Put(race, race::kRaceNumber, Digits(card.number, 2));
        Put(race, race::kYear, Digits(static_cast<int>(ymd.year()), 4));
        Put(race, race::kMonth, Digits(static_cast<int>(unsigned(ymd.month())), 2));
        Put(race, race::kDay, Digits(static_cast<int>(unsigned(ymd.day())), 2));
        Put(race, race::kWeekdayCode, day % 2 == 0 ? "01" : "02");
        Put(race, race::kSteeplechaseFlag, card.steeple ? "1" : "0");
        Put(race, race::kRaceName, card.name);
        Put(race, race::kGradeCode, card.gradeCode);
        Put(race, race::kWeightTermsCode, card.weightTerms);
        // The race kind follows the ages of the runners it took.
        int youngest = 99, oldest = 0;
        for (std::size_t i : card.runners) {
            youngest = std::min(youngest, year - horses[i].birthYear);
            oldest = std::max(oldest, year - horses[i].birthYear);
        }
        const char* kind = "3";
        if (card.steeple) {
            kind = youngest <= 3 ? "8" : "9";
        } else if (oldest <= 2) {
            kind = "1";
        } else if (oldest == 3) {
            kind = "2";
        } else if (youngest >= 4) {
            kind = "4";
        }
        Put(race, race::kRaceKindCode, kind);
        Put(race, race::kClassCode, card.classCode);
        Put(race, race::kTurfFlag, card.turf ? "1" : "0");
        Put(race, race::kDistance, Digits(card.distance, 4));
        const int minutes = card.number * 35 + 50;
        Put(race, race::kPostTime, Digits(9 + minutes / 60, 2) + ":" + Digits(minutes % 60, 2));
        Put(race, race::kHeadCount, Digits(static_cast<int>(card.runners.size()), 2));
        return race;
    }

    std::string EntryLine(const RaceCard& card, std::size_t r, int year) const
    {
        const Horse& h = horses[card.runners[r]];
        std::string line(200, ' ');
        Put(line, entry::kBracket,
            std::to_string(
                Bracket(static_cast<int>(r) + 1, static_cast<int>(card.runners.size()))));
        Put(line, entry::kHorseName, h.nameField);
        Put(line, entry::kSexCode, std::to_string(h.sex));
        Put(line, entry::kAge, Digits(year - h.birthYear, 2));
        Put(line, entry::kWeightCarried, Digits(card.weights[r], 3));
        Put(line, entry::kJockey, jockeys[static_cast<std::size_t>(card.jockeys[r])].entryName);
        return line;
    }

    static std::string HorseLine(const Horse& h)
    {
        std::string line = h.profile;
        Put(line, horse::kMainPrize, Yen(h.mainPrize));
        Put(line, horse::kPrizePart1, Yen(h.totalPrize));
        Put(line, horse::kPrizePart2, Yen(h.otherPrize));
        const FieldPos career[] = {horse::kCareerFirsts, horse::kCareerSeconds,
                                   horse::kCareerThirds, horse::kCareerUnplaced};
        for (std::size_t p = 0; p < 4; ++p) {
            Put(line, career[p], Digits(std::min(999, h.career[p]), 3));
        }
        for (std::size_t g = 0; g < h.groups.size(); ++g) {
            for (std::size_t p = 0; p < 4; ++p) {
                Put(line, {horse::kRecordTablePos + 2 * static_cast<int>(g * 4 + p), 2},
                    Digits(std::min(99, h.groups[g][p]), 2));
            }
        }
        for (const std::string& block : h.blocks) {
            line += block;
        }
        return line;
    }

    // ------------------------------------------------------------------ the race
    void RunRace(RaceCard& card, sys_days date)
    {
        const std::size_t n = card.runners.size();
        constexpr int kPlaced = 0;
        std::vector<int> code(n, kPlaced); // 34/35 no start, 31-33 started without a place
        int starters = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const int roll = rng.Between(1, 1000);
            code[i] = roll <= 12 ? 34 : roll <= 16 ? 35 : kPlaced;
            starters += code[i] == kPlaced;
        }
        if (starters < 2) {
            std::fill(code.begin(), code.end(), kPlaced);
        }
        std::vector<int> perf(n, 0), market(n, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const Horse& h = horses[card.runners[i]];
            const int expected = h.ability + Aptitude(h, card.turf, card.distance) +
                                 jockeys[static_cast<std::size_t>(card.jockeys[i])].skill -
                                 (card.weights[i] - 550) / 10;
            perf[i] = expected + Noise(rng, 5);
            market[i] = expected + Noise(rng, 5);
        }
        // Falls, disqualifications, and horses pulled up.
        int finishers = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (code[i] != kPlaced) {
                continue;
            }
            const int roll = rng.Between(1, 1000);
            if (card.steeple) {
                code[i] = roll <= 40 ? 31 : roll <= 60 ? 33 : roll <= 62 ? 32 : kPlaced;
            } else {
                code[i] = roll <= 3 ? 31 : roll <= 4 ? 32 : roll <= 7 ? 33 : kPlaced;
            }
            finishers += code[i] == kPlaced;
        }
        if (finishers == 0) {
            for (std::size_t i = 0; i < n; ++i) {
                if (code[i] >= 31 && code[i] <= 33) {
                    code[i] = kPlaced;
                    break;
                }
            }
        }
        auto byDescending = [&](const std::vector<int>& score, auto keep) {
            std::vector<std::size_t> order;
            for (std::size_t i = 0; i < n; ++i) {
                if (keep(i)) {
                    order.push_back(i);
                }
            }
            std::stable_sort(order.begin(), order.end(),
                             [&](std::size_t a, std::size_t b) { return score[a] > score[b]; });
            return order;
        };
        const std::vector<std::size_t> byMarket =
            byDescending(market, [&](std::size_t i) { return code[i] < 34; });
        std::vector<int> popularity(n, 0);
        for (std::size_t k = 0; k < byMarket.size(); ++k) {
            popularity[byMarket[k]] = static_cast<int>(k) + 1;
        }
        const std::vector<std::size_t> order =
            byDescending(perf, [&](std::size_t i) { return code[i] == kPlaced; });
        const std::size_t m = order.size();
        std::vector<int> place(n, 0);
        std::vector<bool> tiedWithAbove(m, false);
        if (m >= 3 && rng.Chance(2)) {
            // A dead heat: two horses share a place.
            const auto k = static_cast<std::size_t>(rng.Between(1, std::min<int>(5, int(m) - 1)));
            tiedWithAbove[k] = true;
            perf[order[k]] = perf[order[k - 1]];
        }
        for (std::size_t k = 0; k < m; ++k) {
            place[order[k]] = tiedWithAbove[k] ? place[order[k - 1]] : static_cast<int>(k) + 1;
        }

        const int best = perf[order[0]];
        const int tier = card.pool == kSteeple ? 2 : std::max(1, card.pool);
        const int winnerTime = ParTime(card.steeple, card.turf, card.distance, card.going) -
                               4 * tier * card.distance / 2000 -
                               (best - 8 * tier) * card.distance / 3200;
        auto behind = [&](int p) {
            return std::min(997, std::max(0, best - p) * 8 * card.distance / 16000);
        };
        // The winner's margin is its lead over the first horse that did not share its place.
        int lead = 0;
        for (std::size_t k = 1; k < m; ++k) {
            if (place[order[k]] != 1) {
                lead = behind(perf[order[k]]);
                break;
            }
        }
        int mean = 0;
        for (std::size_t k = 0; k < m; ++k) {
            mean += perf[order[k]];
        }
        mean /= static_cast<int>(m);

        // Positions at the corners: early on by running style, at the end by the finish.
        std::vector<std::array<int, 4>> corner(n, {0, 0, 0, 0});
        const bool straight = card.courseCode == "07" && card.distance == 1000;
        static constexpr std::array<int, 4> kStyleWeight = {90, 80, 60, 40};
        for (std::size_t c = 0; c < 4; ++c) {
            if (straight || (card.distance <= 1200 && c < 2)) {
                continue;
            }
            std::vector<int> score(n, 0);
            for (std::size_t k = 0; k < m; ++k) {
                const Horse& h = horses[card.runners[order[k]]];
                const int w = kStyleWeight[c];
                score[order[k]] =
                    -(h.style * w + static_cast<int>(k) * 100 / static_cast<int>(m) * (100 - w)) -
                    rng.Between(0, 1500);
            }
            const std::vector<std::size_t> running =
                byDescending(score, [&](std::size_t i) { return code[i] == kPlaced; });
            for (std::size_t k = 0; k < running.size(); ++k) {
                corner[running[k]][c] = static_cast<int>(k) + 1;
            }
        }

        // Names the block gives: the winner, and for a winner the second (the other winner
        // of a dead heat for first).
        auto lowestNumberAt = [&](int wanted, std::size_t except) -> const std::string* {
            for (std::size_t i = 0; i < n; ++i) {
                if (i != except && code[i] == kPlaced && place[i] == wanted) {
                    return &horses[card.runners[i]].nameField;
                }
            }
            return nullptr;
        };
        const std::string* winner = lowestNumberAt(1, n);

        for (std::size_t i = 0; i < n; ++i) {
            Horse& h = horses[card.runners[i]];
            RunFacts r;
            r.courseCode = card.courseCode;
            r.date = date;
            r.raceNumber = card.number;
            r.steeple = card.steeple;
            r.turf = card.turf;
            r.shortName = ShortName(card);
            r.gradeCode = card.gradeCode;
            r.classCode = card.classCode;
            r.distance = card.distance;
            r.heads = static_cast<int>(n);
            r.going = card.going;
            r.horseNumber = static_cast<int>(i) + 1;
            r.weightCarried = card.weights[i];
            r.jockey = jockeys[static_cast<std::size_t>(card.jockeys[i])].runName;
            h.lastRun = date;
            if (code[i] >= 34) {
                r.popularity = std::to_string(code[i]);
                r.finish = r.popularity;
                r.figureFinish = "  ";
                r.bodyWeight = "   ";
                r.winnerOrSecond = winner ? *winner : std::string();
                h.rest = rng.Between(14, 28);
                PushBlock(h, Block(r));
                if (h.pool == kDebut) {
                    h.pool = kMaiden;
                }
                continue;
            }
            h.bodyWeight = std::clamp(h.bodyWeight + 2 * rng.Between(-4, 4), 380, 580);
            r.bodyWeight = rng.Between(1, 1000) <= 3 ? std::string("000") : Digits(h.bodyWeight, 3);
            r.popularity = Digits(popularity[i], 2);
            h.rest = rng.Between(14, 42);
            if (code[i] != kPlaced) {
                r.finish = std::to_string(code[i]);
                r.figureFinish = r.finish;
                r.winnerOrSecond = winner ? *winner : std::string();
                CountStart(h, 4, card.steeple, card.turf, card.distance, card.going);
                PushBlock(h, Block(r));
                if (h.pool == kDebut) {
                    h.pool = kMaiden;
                }
                continue;
            }
            r.finish = Digits(place[i], 2);
            r.figureFinish = r.finish;
            const int margin = place[i] == 1 ? lead : behind(perf[i]);
            r.time = winnerTime + (place[i] == 1 ? 0 : margin);
            r.margin = Digits(margin, 3);
            const int last3F = ParLast3F(card.steeple, card.turf, card.going) -
                               (perf[i] - mean) / 2 - (h.style - 50) / 10 + Noise(rng, 2);
            r.last3F = Digits(std::clamp(last3F, 310, 450), 3);
            for (std::size_t c = 0; c < 4; ++c) {
                if (corner[i][c] > 0) {
                    r.corners[c] = Digits(corner[i][c] + (rng.Between(1, 100) <= 2 ? 40 : 0), 2);
                }
            }
            if (place[i] == 1) {
                const std::string* other = lowestNumberAt(1, i);
                if (!other) {
                    other = lowestNumberAt(2, n);
                }
                r.winnerOrSecond = other ? *other : std::string();
            } else {
                r.winnerOrSecond = winner ? *winner : std::string();
            }
            CountStart(h, place[i], card.steeple, card.turf, card.distance, card.going);
            Pay(h, card, place[i]);
            PushBlock(h, Block(r));
            if (h.pool == kDebut) {
                h.pool = place[i] == 1 ? k500 : kMaiden;
            } else if (place[i] == 1 && h.pool >= kMaiden && h.pool < kOpen) {
                ++h.pool;
            }
        }
    }

    static void PushBlock(Horse& h, std::string block)
    {
        h.blocks.push_front(std::move(block));
        if (h.blocks.size() > static_cast<std::size_t>(horse::kPastRuns)) {
            h.blocks.pop_back();
        }
    }

    static void Pay(Horse& h, const RaceCard& card, int place)
    {
        static constexpr std::array<int, 5> kShare = {100, 40, 25, 15, 10};
        if (place > 5) {
            return;
        }
        long long prize = kWinPrize[static_cast<std::size_t>(card.pool)];
        if (card.steeple && card.classCode == "00004") {
            prize = 14000000;
        }
        if (card.gradeCode == "0") {
            prize = 120000000;
        } else if (card.gradeCode == "1") {
            prize = 55000000;
        } else if (card.gradeCode == "2") {
            prize = 38000000;
        }
        const long long won = prize * kShare[static_cast<std::size_t>(place - 1)] / 100;
        h.mainPrize += won;
        h.totalPrize += won * 11 / 10;
    }

    // After the day, each class is kept near its size: ten-year-olds retire; a class short of
    // horses takes the best of the class below (as their earnings from places would lift them),
    // the steeplechase the weakest older horses of the lower classes; a class over its size
    // loses those with the longest careers (to stud, to the local tracks).
    void Upkeep(int year)
    {
        for (Horse& h : horses) {
            h.retired = h.retired || year - h.birthYear >= 10;
        }
        auto membersOf = [&](int pool) {
            std::vector<std::size_t> list;
            for (std::size_t i = 0; i < horses.size(); ++i) {
                if (!horses[i].retired && horses[i].pool == pool) {
                    list.push_back(i);
                }
            }
            return list;
        };
        auto fill = [&](int pool, std::vector<std::size_t> from, bool best) {
            const int missing = target[static_cast<std::size_t>(pool)] * 19 / 20 -
                                static_cast<int>(membersOf(pool).size());
            if (missing <= 0) {
                return;
            }
            std::stable_sort(from.begin(), from.end(), [&](std::size_t a, std::size_t b) {
                return best ? horses[a].ability > horses[b].ability
                            : horses[a].ability < horses[b].ability;
            });
            for (std::size_t k = 0; k < from.size() && static_cast<int>(k) < missing; ++k) {
                horses[from[k]].pool = pool;
            }
        };
        for (int pool = kOpen; pool >= k500; --pool) {
            fill(pool, membersOf(pool - 1), true);
        }
        std::vector<std::size_t> older;
        for (const int pool : {k500, k1000}) {
            for (std::size_t i : membersOf(pool)) {
                if (year - horses[i].birthYear >= 4) {
                    older.push_back(i);
                }
            }
        }
        fill(kSteeple, older, false);
        for (int pool = kMaiden; pool < kPoolCount; ++pool) {
            std::vector<std::pair<int, std::size_t>> list;
            for (std::size_t i : membersOf(pool)) {
                const Horse& h = horses[i];
                list.push_back({(year - h.birthYear) * 20 + h.starts * 3 + rng.Between(0, 40), i});
            }
            const auto p = static_cast<std::size_t>(pool);
            if (static_cast<int>(list.size()) <= target[p] * 6 / 5) {
                continue;
            }
            std::sort(list.begin(), list.end(), [](auto a, auto b) {
                return a.first != b.first ? a.first > b.first : a.second < b.second;
            });
            const std::size_t excess = list.size() - static_cast<std::size_t>(target[p] * 11 / 10);
            for (std::size_t k = 0; k < excess; ++k) {
                horses[list[k].second].retired = true;
            }
        }
        std::erase_if(horses, [](const Horse& h) { return h.retired; });
    }

    SeasonDay MakeDay()
    {
        const sys_days date = DateOf(day);
        const int year = static_cast<int>(std::chrono::year_month_day(date).year());
        std::vector<RaceCard> cards = MakeCards();
        for (RaceCard& card : cards) {
            ChooseRunners(card, date, year);
            AssignJockeysAndWeights(card, year);
        }
        SeasonDay result;
        result.index = day;
        result.date = std::chrono::year_month_day(date);
        for (const RaceCard& card : cards) {
            result.files.raceFile += RaceLine(card, date, year) + "\r\n";
            for (std::size_t r = 0; r < card.runners.size(); ++r) {
                result.files.entryFile += EntryLine(card, r, year) + "\r\n";
                result.files.horseFile += HorseLine(horses[card.runners[r]]) + "\r\n";
            }
        }
        for (RaceCard& card : cards) {
            RunRace(card, date);
        }
        Upkeep(year);
        ++day;
        return result;
    }
};

std::chrono::year_month_day SeasonFirstDate()
{
    return std::chrono::year(2001) / std::chrono::January / 6;
}

std::string SeasonArchiveName(std::chrono::year_month_day date)
{
    return Digits(static_cast<int>(date.year()), 4) +
           Digits(static_cast<int>(unsigned(date.month())), 2) +
           Digits(static_cast<int>(unsigned(date.day())), 2) + ".lzh";
}

std::uint32_t SeasonPackTime(std::chrono::year_month_day date)
{
    // 18:00 in Japan (UTC+9) is 09:00 UTC the same day.
    const sys_days before = sys_days(date) - std::chrono::days(1);
    return static_cast<std::uint32_t>(before.time_since_epoch().count() * 86400LL + 9 * 3600);
}

SampleSeason::SampleSeason(const SeasonOptions& options)
{
    if (options.days < 1 || options.days > kMaxSeasonDays) {
        throw Error("日数は 1 から "_sj + std::to_string(kMaxSeasonDays) + " までです"_sj);
    }
    m = std::make_unique<State>(options);
    m->Start();
}

SampleSeason::~SampleSeason() = default;

bool SampleSeason::Done() const
{
    return m->day >= m->options.days;
}

SeasonDay SampleSeason::NextDay()
{
    if (Done()) {
        throw Error("シーズンの最後の日の後には日がありません"_sj);
    }
    return m->MakeDay();
}

} // namespace furlox::kol
