#include "analysis/RaceAnalysis.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "analysis/FxValue.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"

namespace furlox {
namespace {

// The total of a runner without any figure while the runners are ranked: it sorts last.
constexpr const char* kUnratedTotal = "-9999";

const std::string& Crlf()
{
    static const std::string crlf = "\r\n";
    return crlf;
}

GridRow HeaderRow()
{
    return {"枠"_sj,  "馬"_sj,  "馬　　名"_sj, "斤量"_sj, "騎手"_sj, "5前"_sj,
            "4前"_sj, "3前"_sj, "2前"_sj,      "1前"_sj,  "総合"_sj, "印"_sj};
}

// A grid cell read as a number, the way the grid's numeric sort reads it.
double CellNumber(const std::string& text)
{
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0;
}

// The grid's sort: a stable exchange sort on one column read as numbers. Adjacent rows swap
// only when strictly out of order, so equal keys keep their current order; the ranking
// depends on that to put the lower horse number first among equal totals.
//
// The exchanges move row numbers, and every row moves once at the end: exchanging the twelve
// texts of two rows at every step cost more than all the rest of the analysis.
void ExchangeSort(std::vector<GridRow>& rows, int column, bool descending)
{
    std::vector<double> keys;
    keys.reserve(rows.size());
    for (const GridRow& row : rows) {
        keys.push_back(CellNumber(row[column]));
    }
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
            const bool outOfOrder = descending ? keys[i] < keys[i + 1] : keys[i] > keys[i + 1];
            if (outOfOrder) {
                std::swap(order[i], order[i + 1]);
                std::swap(keys[i], keys[i + 1]);
                swapped = true;
            }
        }
    }
    std::vector<GridRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t from : order) {
        sorted.push_back(std::move(rows[from]));
    }
    rows = std::move(sorted);
}

// The marks in ranking order. Every mark needs that many rated runners; the three crosses
// also need that many runners in the field.
struct MarkRow
{
    const std::string& mark;
    int minRunners;
};

const std::array<MarkRow, 7>& MarkRows()
{
    static const std::array<MarkRow, 7> rows = {{
        {"◎"_sj, 0},
        {"○"_sj, 0},
        {"▲"_sj, 0},
        {"△"_sj, 0},
        {"×"_sj, 5},
        {"×"_sj, 6},
        {"×"_sj, 7},
    }};
    return rows;
}

std::string Profile(std::string_view entryLine, std::string_view horseLine)
{
    namespace en = kol::entry;
    const std::string sexAge = kol::SexText(kol::Field(entryLine, en::kSexCode)) +
                               std::to_string(kol::LenientNumber(kol::Field(entryLine, en::kAge)));
    return kol::PadRight(sexAge, 6) +
           kol::PadRight(kol::CoatColourText(kol::Field(horseLine, kol::horse::kCoatColourCode)),
                         6);
}

// Columns 0-10 of one runner; the mark comes later, from the ranking.
GridRow RunnerRow(std::string_view entryLine, std::string_view horseLine, int horseNumber)
{
    namespace en = kol::entry;
    GridRow row;
    row[kColBracket] = kol::Field(entryLine, en::kBracket);
    row[kColHorseNumber] = std::to_string(horseNumber);
    row[kColHorseName] = kol::Field(entryLine, en::kHorseName);
    row[kColWeight] =
        FormatWeightCarried(kol::StrictNumber(kol::Field(entryLine, en::kWeightCarried)));
    row[kColJockey] = kol::Field(entryLine, en::kJockey);

    int sum = 0;
    int count = 0;
    for (int column = kColRun5; column <= kColRun1; ++column) {
        const int value = CalcFxValue(horseLine, 9 - column);
        if (value == kNoFigure) {
            row[column] = "*";
        } else {
            row[column] = std::to_string(value);
            sum += value;
            ++count;
        }
    }
    row[kColTotal] = count == 0 ? std::string(kUnratedTotal) : FormatTotal(sum, count);
    return row;
}

std::string BetText(int a, int b)
{
    return kol::PadLeft(std::to_string(a), 2) + "-" + kol::PadLeft(std::to_string(b), 2);
}

// Bets, grade and their texts, once the runners are ranked and marked.
void MakeBets(AnalysedRace& race, const kol::RaceTexts& texts)
{
    race.betTexts = {};
    race.combinationCount = 0;
    race.confidence.clear();

    // At least half the field must have a figure before the data can back a bet.
    const bool enoughData = race.ratedCount >= 1 && race.ratedCount * 2 >= race.headCount;
    if (!enoughData) {
        race.hasBets = false;
        race.lblTan = "データ充足率が"_sj + Crlf() + "規定に満たない"_sj + Crlf() +
                      "ため推奨馬券は"_sj + Crlf() + "ありません。"_sj;
        race.betsLine = NoBetsLine();
        race.gradePicture = 'D';
        race.printTitleLines.push_back(race.betsLine);
        return;
    }

    race.hasBets = true;
    const int top = race.markTable[0];
    const bool quinella = race.headCount >= 9; // small fields are bet by bracket instead
    const std::string& betType = quinella ? "馬連："_sj : "枠連："_sj;

    race.lblTan = "単勝："_sj + Crlf() + kol::PadLeft(std::to_string(top), 2) + Crlf() + Crlf() +
                  betType + Crlf();
    race.betsLine = "単勝： "_sj + std::to_string(top) + "  " + betType + " ";

    race.combinationCount = std::min(race.ratedCount - 1, 6);
    for (int k = 1; k <= race.combinationCount; ++k) {
        const int partner = race.markTable[static_cast<std::size_t>(k)];
        const int a = std::min(top, partner);
        const int b = std::max(top, partner);
        race.betTexts[static_cast<std::size_t>(k - 1)] = BetText(a, b);
        race.lblTan += BetText(a, b) + Crlf();
        race.betsLine += std::to_string(a) + "-" + std::to_string(b) + " ";
    }

    race.confidence = RaceConfidence(texts);
    race.gradePicture = race.confidence == "A"   ? 'A'
                        : race.confidence == "B" ? 'B'
                        : race.confidence == "C" ? 'C'
                                                 : 'D';
    race.betsLine += "  勝負度： "_sj + race.confidence;
    race.printTitleLines.push_back(race.betsLine);
}

} // namespace

const std::string& NoBetsLine()
{
    return "データ充足率が規定に満たないため推奨馬券はありません。"_sj;
}

std::string FormatWeightCarried(long long tenths)
{
    // "##.0": no leading zero, so 5 shows ".5" and 0 shows ".0".
    const unsigned long long magnitude =
        tenths < 0 ? 0ULL - static_cast<unsigned long long>(tenths) : tenths;
    std::string text = tenths < 0 ? "-" : "";
    if (magnitude >= 10) {
        text += std::to_string(magnitude / 10);
    }
    return text + "." + std::to_string(magnitude % 10);
}

std::string FormatTotal(long long sum, int count)
{
    if (count <= 0) {
        return kUnratedTotal;
    }
    // The mean in tenths, rounded half away from zero in integers: a binary double would
    // turn 1.25 into 1.2 and disagree with the printed tables.
    const unsigned long long magnitude = sum < 0 ? 0ULL - static_cast<unsigned long long>(sum)
                                                 : static_cast<unsigned long long>(sum);
    const auto den = static_cast<unsigned long long>(count);
    const unsigned long long tenths = (magnitude * 20 + den) / (2 * den);
    std::string text = sum < 0 && tenths != 0 ? "-" : "";
    return text + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string RaceConfidence(const kol::RaceTexts& race)
{
    const std::string_view raceNumber = kol::Field(race.raceHeader, 5, 2);
    const std::string_view kindPrefix = std::string_view(race.raceKindText).substr(0, 7);
    auto isOneOf = [](std::string_view text, std::initializer_list<std::string_view> values) {
        return std::find(values.begin(), values.end(), text) != values.end();
    };

    int score = 0;
    if (isOneOf(raceNumber, {"05", "07", "08", "09"})) {
        score -= 1;
    }
    if (isOneOf(race.gradeLabel, {"G2", "G3", "900万"_sj, "1000万"_sj, "新馬"_sj, "1600万"_sj})) {
        score -= 1;
    }
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
    if (race.gradeLabel == "G1") {
        score += 1;
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
    return score <= -2 ? "C" : score >= 1 ? "A" : "B";
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
    race.startLine = texts.startLine;
    race.raceHeader = texts.raceHeader;
    race.gradeLabel = texts.gradeLabel;
    race.surfaceText = texts.surfaceText;
    race.header = HeaderRow();

    // A negative head count cannot name any runner: the race shows as an empty field.
    race.headCount = std::max(0, kol::HeadCount(day, raceIndex));
    const int first = kol::FirstEntryIndex(day, raceIndex);

    race.rows.reserve(static_cast<std::size_t>(race.headCount));
    race.profiles.reserve(static_cast<std::size_t>(race.headCount));
    for (int r = 1; r <= race.headCount; ++r) {
        const int entryIndex = first < 0 ? -1 : first + r - 1;
        const std::string_view entryLine = day.EntryLine(entryIndex);
        const std::string_view horseLine = day.HorseLine(entryIndex);
        race.rows.push_back(RunnerRow(entryLine, horseLine, r));
        race.profiles.push_back(Profile(entryLine, horseLine));
    }

    race.ratedCount =
        static_cast<int>(std::count_if(race.rows.begin(), race.rows.end(), [](const GridRow& row) {
            return row[kColTotal] != kUnratedTotal;
        }));

    race.markTable = {};
    ExchangeSort(race.rows, kColTotal, true);
    for (std::size_t i = 0; i < MarkRows().size() && i < race.rows.size(); ++i) {
        const MarkRow& mark = MarkRows()[i];
        if (race.ratedCount < static_cast<int>(i) + 1 || race.headCount < mark.minRunners) {
            break;
        }
        race.rows[i][kColMark] = mark.mark;
        race.markTable[i] = kol::LenientNumber(race.rows[i][kColHorseNumber]);
    }
    ExchangeSort(race.rows, kColHorseNumber, false);
    for (GridRow& row : race.rows) {
        if (row[kColTotal] == kUnratedTotal) {
            row[kColTotal] = "*";
        }
    }

    race.printTitleLines = {race.startLine, race.raceHeader, ""};
    MakeBets(race, texts);
    race.printTitleLines.push_back("");
    return race;
}

std::string NoSuchRaceMessage(int raceIndex)
{
    return "レース "_sj + std::to_string(raceIndex) + " はありません。"_sj;
}

} // namespace furlox
