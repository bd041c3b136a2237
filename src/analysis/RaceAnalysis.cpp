#include "analysis/RaceAnalysis.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

#include "analysis/FxValue.h"
#include "analysis/GradeLabelRules.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"

namespace furlox {
namespace {

// The marks in ranking order. Every mark needs that many rated runners; the three crosses
// also need that many runners in the field.
struct MarkRow
{
    Mark mark;
    int minRunners;
};
constexpr MarkRow kMarkRows[7] = {
    {Mark::DoubleCircle, 0}, {Mark::Circle, 0}, {Mark::FilledTriangle, 0}, {Mark::Triangle, 0},
    {Mark::Cross, 5},        {Mark::Cross, 6},  {Mark::Cross, 7},
};

// Fields of nine or more are bet by quinella, smaller ones by bracket quinella.
constexpr int kQuinellaMinRunners = 9;

AnalysedRunner Runner(std::string_view entryLine, std::string_view horseLine, int horseNumber)
{
    namespace en = kol::entry;
    AnalysedRunner runner;
    runner.horseNumber = horseNumber;
    runner.bracket = kol::Field(entryLine, en::kBracket);
    runner.bracketNumber = kol::LenientNumber(runner.bracket);
    runner.horseName = kol::Field(entryLine, en::kHorseName);
    runner.weightCarried = kol::StrictNumber(kol::Field(entryLine, en::kWeightCarried));
    runner.jockey = kol::Field(entryLine, en::kJockey);

    long long sum = 0;
    int count = 0;
    for (int run = 0; run < kRunsPerRunner; ++run) {
        const int value = CalcFxValue(horseLine, run);
        runner.fx[static_cast<std::size_t>(run)] = value;
        if (value != kNoFigure) {
            sum += value;
            ++count;
        }
    }
    runner.totalTenths = MeanTenths(sum, count);

    runner.sexText = kol::SexText(kol::Field(entryLine, en::kSexCode));
    runner.age = kol::LenientNumber(kol::Field(entryLine, en::kAge));
    runner.coatColour = kol::CoatColourText(kol::Field(horseLine, kol::horse::kCoatColourCode));
    return runner;
}

// The ranking by total, best first: a stable order, so that among equal totals (equal to the
// tenth that is shown) the lower horse number ranks first; runners without a total last.
std::vector<std::size_t> Ranking(const std::vector<AnalysedRunner>& runners)
{
    std::vector<std::size_t> order(runners.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const std::optional<int>& x = runners[a].totalTenths;
        const std::optional<int>& y = runners[b].totalTenths;
        return x.has_value() != y.has_value() ? x.has_value() : x && *x > *y;
    });
    return order;
}

// Bets and grade, once the runners are ranked and marked.
Bets MakeBets(const AnalysedRace& race, const kol::RaceTexts& texts)
{
    Bets bets;
    // At least half the field must have a figure before the data can back a bet.
    bets.made = race.ratedCount >= 1 && race.ratedCount * 2 >= race.headCount;
    if (!bets.made) {
        return bets;
    }
    bets.win = race.markTable[0];
    bets.kind =
        race.headCount >= kQuinellaMinRunners ? BetKind::Quinella : BetKind::BracketQuinella;
    bets.combinationCount = std::min(race.ratedCount - 1, 6);
    for (int k = 0; k < bets.combinationCount; ++k) {
        const int partner = race.markTable[static_cast<std::size_t>(k + 1)];
        bets.pairs[static_cast<std::size_t>(k)] = {std::min(bets.win, partner),
                                                   std::max(bets.win, partner)};
    }
    bets.confidence = RaceConfidence(texts);
    return bets;
}

} // namespace

Confidence RaceConfidence(const kol::RaceTexts& race)
{
    const std::string_view raceNumber = race.raceNumberText;
    const std::string_view kindPrefix = std::string_view(race.raceKindText).substr(0, 7);
    auto isOneOf = [](std::string_view text, std::initializer_list<std::string_view> values) {
        return std::find(values.begin(), values.end(), text) != values.end();
    };

    int score = 0;
    if (isOneOf(raceNumber, {"05", "07", "08", "09"})) {
        score -= 1;
    }
    score += RulesOfGradeLabel(race.label).confidence; // G1 +1; G2, G3, 900万 … -1
    if (kol::StrictNumber(race.distanceText) >= 2001) {
        score -= 1;
    }
    if (kindPrefix == "サラ2歳"_sj) {
        score -= 1;
    }
    if (race.weightTermsText == "ハンデ"_sj) {
        score -= 1;
    }
    if (kol::StrictNumber(race.headCountText) <= 8) {
        score -= 1;
    }
    if (kindPrefix == "サラ3歳"_sj) {
        score += 1;
    }
    if (isOneOf(raceNumber, {"02", "04", "12"})) {
        score += 1;
    }
    // The first race of the day is never graded A, however good its conditions look.
    if (raceNumber == "01" && score >= 1) {
        score = 0;
    }
    return score <= -2 ? Confidence::C : score >= 1 ? Confidence::A : Confidence::B;
}

AnalysedRace AnalyseRace(const kol::RaceDay& day, int raceIndex)
{
    if (raceIndex < 0 || raceIndex >= day.RaceCount() ||
        raceIndex >= static_cast<int>(day.races.size())) {
        throw Error(NoSuchRaceMessage(raceIndex));
    }
    const kol::RaceTexts& texts = day.races[static_cast<std::size_t>(raceIndex)];

    AnalysedRace race;
    race.raceIndex = raceIndex;
    race.courseCode = texts.courseCode;
    race.raceNumber = texts.raceNumber;
    race.date = texts.date;
    race.gradeLabel = texts.label;
    race.surface = texts.surface;
    race.startLine = texts.startLine;
    race.raceHeader = texts.raceHeader;

    // A negative head count cannot name any runner: the race shows as an empty field.
    race.headCount = std::max(0, kol::HeadCount(day, raceIndex));
    const int first = kol::FirstEntryIndex(day, raceIndex);

    race.runners.reserve(static_cast<std::size_t>(race.headCount));
    for (int r = 1; r <= race.headCount; ++r) {
        const int entryIndex = first < 0 ? -1 : first + r - 1;
        race.runners.push_back(Runner(day.EntryLine(entryIndex), day.HorseLine(entryIndex), r));
    }
    race.ratedCount = static_cast<int>(
        std::count_if(race.runners.begin(), race.runners.end(),
                      [](const AnalysedRunner& runner) { return runner.totalTenths.has_value(); }));

    const std::vector<std::size_t> ranking = Ranking(race.runners);
    for (std::size_t place = 0; place < ranking.size(); ++place) {
        AnalysedRunner& runner = race.runners[ranking[place]];
        if (!runner.totalTenths) {
            break; // the rest have no total either
        }
        runner.place = static_cast<int>(place) + 1;
        if (place < std::size(kMarkRows) && race.headCount >= kMarkRows[place].minRunners) {
            runner.mark = kMarkRows[place].mark;
            race.markTable[place] = runner.horseNumber;
        }
    }

    race.bets = MakeBets(race, texts);
    return race;
}

std::string NoSuchRaceMessage(int raceIndex)
{
    return "レース "_sj + std::to_string(raceIndex) + " はありません。"_sj;
}

} // namespace furlox
