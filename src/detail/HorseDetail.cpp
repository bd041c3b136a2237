#include "detail/HorseDetail.h"

#include <cstdlib>
#include <initializer_list>

#include "analysis/FxValue.h"
#include "analysis/GradeLabelRules.h"
#include "analysis/RaceFormat.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"

namespace furlox {

namespace {

using kol::FieldPos;

// Record-count labels lbl2 .. lbl11 and the record-table groups each one adds up.
struct CategoryRow
{
    int label; // index into lblRecord (lbl2 is 1)
    std::initializer_list<int> groups;
};
const CategoryRow kCategories[] = {
    {1, {2, 3}},            // 全芝
    {2, {10, 11}},          // 芝重
    {3, {27}},              // 芝2300M～
    {4, {24, 25, 26}},      // 芝～2200M
    {5, {20, 21, 22, 23}},  // 芝～1600M
    {6, {4, 5}},            // 全ダ
    {7, {14, 15}},          // ダ重
    {8, {35}},              // ダ2300M～
    {9, {32, 33, 34}},      // ダ～2200M
    {10, {28, 29, 30, 31}}, // ダ～1600M
};

// The coat pictures Image1 .. Image11, by coat name.
constexpr const char* kCoatPictures[] = {
    "栗毛", "栃栗毛", "鹿毛",   "黒鹿毛", "青鹿毛", "青毛",
    "芦毛", "栗粕毛", "鹿粕毛", "青粕毛", "白毛",
};
constexpr int kDefaultCoatPicture = 3; // 鹿毛

// The chart's lines stand 30 apart (every specified range spans 150); an axis widened for
// points outside its range grows by whole lines and keeps no more than this many.
constexpr int kChartLineStep = 30;
constexpr int kChartMaxLines = 10;

// Finish positions and popularities above 30 are outcomes, not places.
struct OutcomeRow
{
    const char* shown; // UTF-8, the padded number with its unit
    const char* text;
};
const OutcomeRow kPopularityOutcomes[] = {{"34人", "取消"}, {"35人", "除外"}};
const OutcomeRow kFinishOutcomes[] = {
    {"31着", "落馬"}, {"32着", "失格"}, {"33着", "中止"}, {"34着", "取消"}, {"35着", "除外"},
};

const char* const kColumnHeaders[kPastRunColumns + 1] = {
    "",     "開催日",   "レース", "条件", "距離", "タイム", "頭",   "人",       "着",
    "上り", "通過順位", "騎手",   "斤量", "体重", "馬番",   "着差", "1(2)着馬",
};
const char* const kRowHeaders[kPastRunRows + 1] = {"", "5走前", "4走前", "3走前", "2走前", "1走前"};
const int kColumnWidths[kPastRunColumns + 1] = {46, 72, 52, 76, 60, 48, 32, 32, 32,
                                                36, 60, 58, 34, 38, 32, 38, 130};
const CellAlign kColumnAlign[kPastRunColumns + 1] = {
    CellAlign::Centre, CellAlign::Left,  CellAlign::Left,  CellAlign::Left,  CellAlign::Left,
    CellAlign::Right,  CellAlign::Right, CellAlign::Right, CellAlign::Right, CellAlign::Right,
    CellAlign::Centre, CellAlign::Left,  CellAlign::Right, CellAlign::Right, CellAlign::Right,
    CellAlign::Right,  CellAlign::Left,
};

constexpr std::uint32_t kFixedBackground = 0x808080;
constexpr std::uint32_t kFixedFont = 0xFFFFFF;
constexpr std::uint32_t kStateFont[] = {0x000000, 0x0000FF, 0x808080, 0x800000};
constexpr std::uint32_t kWinnerFont = 0xFF0000;

// Prizes are shown in units of 10,000 yen; what is left after dropping four digits is 0.
std::string PrizeText(const std::string& caption, std::int64_t yen)
{
    return caption + std::to_string(yen / 10000) + "万円"_sj;
}

std::string FourCounts(int a, int b, int c, int d)
{
    return kol::PadLeft(std::to_string(a), 3) + kol::PadLeft(std::to_string(b), 3) +
           kol::PadLeft(std::to_string(c), 3) + kol::PadLeft(std::to_string(d), 3);
}

std::string NumberWithUnit(std::string_view field, const std::string& unit)
{
    return kol::PadLeft(std::to_string(kol::LenientNumber(field)), 2) + unit;
}

// Replaces an outcome code ("34人" and the like) by its word.
template <std::size_t N>
std::string Outcome(std::string shown, const OutcomeRow (&table)[N])
{
    for (const OutcomeRow& row : table) {
        if (shown == ToCp932(row.shown)) {
            return ToCp932(row.text);
        }
    }
    return shown;
}

// A margin in tenths of a second, shown "#0.0".
std::string MarginText(int tenths)
{
    const long long magnitude = std::llabs(static_cast<long long>(tenths));
    std::string text = std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10);
    return tenths < 0 ? "-" + text : text;
}

class PastRun
{
public:
    PastRun(std::string_view horseLine, int run) : m_line(horseLine), m_run(run) {}

    // The field as stored; cut short or empty where the line ends early.
    std::string_view Raw(FieldPos f) const { return kol::PastRunField(m_line, m_run, f); }

    // The field with missing bytes read as blanks, so a record cut short is shown like one
    // whose fields are blank and falls under the same left-empty rules.
    std::string Blank(FieldPos f) const
    {
        return kol::PadRight(Raw(f), static_cast<std::size_t>(f.len));
    }

private:
    std::string_view m_line;
    int m_run;
};

PastRunRow FillPastRun(const PastRun& p, const std::string& courseName)
{
    namespace pr = kol::pastrun;
    PastRunRow row;
    auto& c = row.cells; // c[k - 1] is column k
    auto leftEmptyWhen = [](std::string text, const std::string& empty) {
        return text == empty ? std::string() : text;
    };

    c[0] = courseName + p.Blank(pr::kMonth) + "/" + p.Blank(pr::kDay);
    c[1] = p.Raw(pr::kRaceShortName);
    c[2] = kol::PastClassText(p.Raw(pr::kClassCode), p.Raw(pr::kGradeCode));
    const kol::Surface surface =
        kol::ReadSurface(p.Raw(pr::kSteeplechaseFlag), p.Raw(pr::kTurfFlag));
    c[3] = kol::SurfaceText(surface) + p.Blank(pr::kDistance) + "M" +
           kol::GoingText(p.Raw(pr::kGoingCode));
    c[4] = leftEmptyWhen(p.Blank(pr::kTimeMinutes) + "." + p.Blank(pr::kTimeSeconds) + "." +
                             p.Blank(pr::kTimeTenths),
                         " .  . ");
    c[5] = leftEmptyWhen(NumberWithUnit(p.Raw(pr::kHeadCount), "頭"_sj), " 0頭"_sj);
    c[6] = leftEmptyWhen(
        Outcome(NumberWithUnit(p.Raw(pr::kPopularity), "人"_sj), kPopularityOutcomes), " 0人"_sj);
    c[7] = leftEmptyWhen(Outcome(NumberWithUnit(p.Raw(pr::kFinish), "着"_sj), kFinishOutcomes),
                         " 0着"_sj);
    c[8] = leftEmptyWhen(p.Blank(pr::kLast3F).substr(0, 2) + "." + p.Blank(pr::kLast3F).substr(2),
                         "  . ");
    for (FieldPos corner : {pr::kCorner1, pr::kCorner2, pr::kCorner3, pr::kCorner4}) {
        c[9] += kol::CircledNumber(p.Blank(corner));
    }
    c[10] = p.Raw(pr::kJockey);
    const std::string weight = p.Blank(pr::kWeightCarried);
    c[11] = leftEmptyWhen(weight.substr(0, 2) + "." + weight.substr(2), "  . ");
    c[12] = leftEmptyWhen(p.Blank(pr::kBodyWeight) + "kg", "   kg");
    c[13] = leftEmptyWhen(NumberWithUnit(p.Raw(pr::kHorseNumber), "番"_sj), " 0番"_sj);
    row.finish = kol::LenientNumber(p.Raw(pr::kFinish));
    if (!c[4].empty()) {
        // The winner's margin is its lead over the second: shown as a negative gap.
        const int margin = kol::MarginTenths(p.Raw(pr::kMargin));
        c[14] = MarginText(row.finish == 1 ? -margin : margin);
    }
    c[15] = kol::Trim(p.Raw(pr::kWinnerOrSecond));

    if (!IsFigureCourse(courseName)) {
        row.state = kRunOtherCourse;
    } else if (c[4].empty()) {
        row.state = kRunNoTime;
    } else if (surface == kol::Surface::Steeplechase) {
        row.state = kRunSteeplechase;
    } else {
        row.state = kRunNormal;
    }
    return row;
}

} // namespace

HorseDetail BuildHorseDetail(const kol::RaceDay& day, const AnalysedRace& race, int runnerIndex)
{
    if (runnerIndex < 0 || runnerIndex >= static_cast<int>(race.runners.size())) {
        throw Error("馬番 "_sj + std::to_string(runnerIndex + 1) +
                    " の馬はこのレースに出走していません。"_sj);
    }
    namespace hf = kol::horse;
    const int entry = kol::FirstEntryIndex(day, race.raceIndex) + runnerIndex;
    const std::string_view h = day.HorseLine(entry);
    auto field = [h](FieldPos f) { return kol::Field(h, f); };

    HorseDetail d;
    d.runnerIndex = runnerIndex;

    // The prizes come first: when one is not a number nothing of this horse is shown.
    const std::int64_t mainPrize = kol::StrictNumber64(field(hf::kMainPrize));
    const std::int64_t totalPrize =
        kol::StrictNumber64(field(hf::kPrizePart1)) + kol::StrictNumber64(field(hf::kPrizePart2));

    const AnalysedRunner& runner = race.runners[static_cast<std::size_t>(runnerIndex)];
    d.lblSeinen = RunnerProfile(runner);
    d.lblUmaKigou = kol::HorseMarkText(field(hf::kHorseMarkCode));
    d.lblSanti = "産地："_sj + kol::BreedingAreaText(field(hf::kBreedingAreaCode));
    d.lblSeisansya = "生産者："_sj + std::string(kol::Trim(field(hf::kBreeder)));
    d.lblBanusi = "馬主："_sj + std::string(kol::Trim(field(hf::kOwner)));
    d.lblChokyosi = "調教師："_sj + std::string(kol::Trim(field(hf::kTrainer)));
    d.lblSouSyokin = PrizeText("総賞金："_sj, totalPrize);
    d.lblHonSyokin = PrizeText("本賞金："_sj, mainPrize);
    d.lblTiti = "父："_sj + std::string(kol::Trim(field(hf::kSire)));
    d.lblHaha = "母："_sj + std::string(kol::Trim(field(hf::kDam)));
    d.lblHahaTiti = "母父："_sj + std::string(kol::Trim(field(hf::kDamSire)));
    d.lblHahaHaha = "母母："_sj + std::string(kol::Trim(field(hf::kDamDam)));

    d.lblRecord[0] = FourCounts(kol::LenientNumber(field(hf::kCareerFirsts)),
                                kol::LenientNumber(field(hf::kCareerSeconds)),
                                kol::LenientNumber(field(hf::kCareerThirds)),
                                kol::LenientNumber(field(hf::kCareerUnplaced)));
    // Surface and distance records say nothing about a steeplechase.
    if (race.surface != kol::Surface::Steeplechase) {
        for (const CategoryRow& category : kCategories) {
            kol::PlaceCounts sum;
            for (int g : category.groups) {
                const kol::PlaceCounts group = kol::RecordTableGroup(h, g);
                sum.firsts += group.firsts;
                sum.seconds += group.seconds;
                sum.thirds += group.thirds;
                sum.unplaced += group.unplaced;
            }
            d.lblRecord[static_cast<std::size_t>(category.label)] =
                FourCounts(sum.firsts, sum.seconds, sum.thirds, sum.unplaced);
        }
    }

    d.coatPicture = kDefaultCoatPicture;
    for (std::size_t i = 0; i < std::size(kCoatPictures); ++i) {
        if (runner.coatColour == ToCp932(kCoatPictures[i])) {
            d.coatPicture = static_cast<int>(i) + 1;
            break;
        }
    }

    // The chart's FX axis follows the class of the race being shown, not that of the runs.
    const GradeLabelRules& rules = RulesOfGradeLabel(race.gradeLabel);
    d.chartMax = rules.chartMax;
    d.chartMin = rules.chartMin;

    d.rows = BuildPastRuns(day, race, runnerIndex);
    for (int r = 0; r < kPastRunRows; ++r) {
        // Only runs the past-run grid shows get a point.
        if (d.rows[static_cast<std::size_t>(kPastRunRows - 1 - r)].cells[0].empty()) {
            continue;
        }
        const int fx = runner.fx[static_cast<std::size_t>(r)];
        if (fx != kNoFigure) {
            d.points.push_back({r + 1, fx, std::to_string(r + 1) + "走前"_sj});
        }
    }
    return d;
}

std::array<PastRunRow, kPastRunRows> BuildPastRuns(const kol::RaceDay& day,
                                                   const AnalysedRace& race, int runnerIndex)
{
    std::array<PastRunRow, kPastRunRows> rows;
    const int entry = kol::FirstEntryIndex(day, race.raceIndex) + runnerIndex;
    const std::string_view h = day.HorseLine(entry);
    for (int r = 0; r < kPastRunRows; ++r) {
        const PastRun run(h, r);
        const std::string& courseName = kol::CourseName(run.Raw(kol::pastrun::kCourseCode));
        // A course the table does not know is a block that holds no run.
        if (courseName == kol::UnknownCourseName()) {
            continue;
        }
        rows[static_cast<std::size_t>(kPastRunRows - 1 - r)] = FillPastRun(run, courseName);
    }
    return rows;
}

std::vector<std::pair<std::string, const std::string*>> HorseDetailLabels(const HorseDetail& d)
{
    std::vector<std::pair<std::string, const std::string*>> labels = {
        {"lblSeinen", &d.lblSeinen},       {"lblUmaKigou", &d.lblUmaKigou},
        {"lblSanti", &d.lblSanti},         {"lblSeisansya", &d.lblSeisansya},
        {"lblBanusi", &d.lblBanusi},       {"lblChokyosi", &d.lblChokyosi},
        {"lblSouSyokin", &d.lblSouSyokin}, {"lblHonSyokin", &d.lblHonSyokin},
        {"lblTiti", &d.lblTiti},           {"lblHaha", &d.lblHaha},
        {"lblHahaTiti", &d.lblHahaTiti},   {"lblHahaHaha", &d.lblHahaHaha},
    };
    for (std::size_t i = 0; i < d.lblRecord.size(); ++i) {
        labels.emplace_back("lbl" + std::to_string(i + 1), &d.lblRecord[i]);
    }
    return labels;
}

std::string CoatPictureName(int picture)
{
    return "Image" + std::to_string(picture);
}

std::vector<std::string> RunnerListTexts(const AnalysedRace& race)
{
    std::vector<std::string> items;
    items.reserve(race.runners.size());
    for (const AnalysedRunner& runner : race.runners) {
        items.push_back(kol::PadLeft(std::to_string(runner.horseNumber), 2) + " " +
                        runner.horseName);
    }
    return items;
}

const std::string& Grid2ColumnHeader(int column)
{
    static const auto headers = [] {
        std::array<std::string, kPastRunColumns + 1> h;
        for (std::size_t i = 0; i < h.size(); ++i) {
            h[i] = ToCp932(kColumnHeaders[i]);
        }
        return h;
    }();
    static const std::string none;
    return column >= 0 && column <= kPastRunColumns ? headers[static_cast<std::size_t>(column)]
                                                    : none;
}

const std::string& Grid2RowHeader(int row)
{
    static const auto headers = [] {
        std::array<std::string, kPastRunRows + 1> h;
        for (std::size_t i = 0; i < h.size(); ++i) {
            h[i] = ToCp932(kRowHeaders[i]);
        }
        return h;
    }();
    static const std::string none;
    return row >= 0 && row <= kPastRunRows ? headers[static_cast<std::size_t>(row)] : none;
}

int Grid2ColumnWidth(int column)
{
    return column >= 0 && column <= kPastRunColumns ? kColumnWidths[column] : 0;
}

PastRunCellStyle Grid2CellStyle(const HorseDetail& detail, int row, int column)
{
    PastRunCellStyle style;
    if (column >= 0 && column <= kPastRunColumns) {
        style.align = row == 0 ? CellAlign::Centre : kColumnAlign[column];
    }
    if (row == 0 || column == 0) {
        style.font = kFixedFont;
        style.background = kFixedBackground;
        return style;
    }
    if (row >= 1 && row <= kPastRunRows) {
        style.font = PastRunFont(detail.rows[static_cast<std::size_t>(row - 1)], column);
    }
    return style;
}

std::uint32_t PastRunFont(const PastRunRow& run, int column)
{
    const int state =
        run.state >= kRunNormal && run.state <= kRunSteeplechase ? run.state : kRunNormal;
    // A win stands out whatever else the row says.
    if (column == kPastRunFinishColumn && run.finish == 1) {
        return kWinnerFont;
    }
    return kStateFont[state];
}

ChartAxis WidenedChartAxis(int min, int max, std::span<const int> figures)
{
    ChartAxis axis{min, max, kChartLineStep};
    for (const int y : figures) {
        // Whole steps, counted rather than looped, so no figure can make this slow.
        if (y > axis.max) {
            axis.max += (y - axis.max + kChartLineStep - 1) / kChartLineStep * kChartLineStep;
        }
        if (y < axis.min) {
            axis.min -= (axis.min - y + kChartLineStep - 1) / kChartLineStep * kChartLineStep;
        }
    }
    const int lines = (axis.max - axis.min) / kChartLineStep;
    if (lines > kChartMaxLines) {
        axis.step = (lines + kChartMaxLines - 1) / kChartMaxLines * kChartLineStep;
        // The top line closes the axis: it grows to the next whole step above the points.
        const int rest = (axis.max - axis.min) % axis.step;
        if (rest != 0) {
            axis.max += axis.step - rest;
        }
    }
    return axis;
}

ChartAxis DrawnChartAxis(const HorseDetail& detail)
{
    std::vector<int> figures;
    for (const ChartPoint& point : detail.points) {
        figures.push_back(point.y);
    }
    return WidenedChartAxis(detail.chartMin, detail.chartMax, figures);
}

} // namespace furlox
