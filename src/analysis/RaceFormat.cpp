#include "analysis/RaceFormat.h"

#include "analysis/FxValue.h"
#include "base/Encoding.h"
#include "kol/KolHen.h"

namespace furlox {
namespace {

const std::string& Crlf()
{
    static const std::string crlf = "\r\n";
    return crlf;
}

// A magnitude in tenths as "#0.0", with a minus sign for a negative value.
std::string Tenths(long long tenths)
{
    const unsigned long long magnitude =
        tenths < 0 ? 0ULL - static_cast<unsigned long long>(tenths) : tenths;
    return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
           std::to_string(magnitude % 10);
}

const std::string& BetKindText(BetKind kind)
{
    return kind == BetKind::Quinella ? "馬連："_sj : "枠連："_sj;
}

} // namespace

const GridRow& GridHeader()
{
    static const GridRow header = {"枠"_sj,   "馬"_sj,  "馬　　名"_sj, "斤量"_sj,
                                   "騎手"_sj, "5前"_sj, "4前"_sj,      "3前"_sj,
                                   "2前"_sj,  "1前"_sj, "総合"_sj,     "印"_sj};
    return header;
}

GridRow GridRowOf(const AnalysedRunner& runner)
{
    GridRow row;
    row[kColBracket] = runner.bracket;
    row[kColHorseNumber] = std::to_string(runner.horseNumber);
    row[kColHorseName] = runner.horseName;
    row[kColWeight] = FormatWeightCarried(runner.weightCarried);
    row[kColJockey] = runner.jockey;
    for (int column = kColRun5; column <= kColRun1; ++column) {
        row[static_cast<std::size_t>(column)] =
            FxText(runner.fx[static_cast<std::size_t>(RunOfColumn(column))]);
    }
    row[kColTotal] = TotalText(runner.totalTenths);
    row[kColMark] = MarkText(runner.mark);
    return row;
}

std::vector<GridRow> GridRows(const AnalysedRace& race)
{
    std::vector<GridRow> rows;
    rows.reserve(race.runners.size());
    for (const AnalysedRunner& runner : race.runners) {
        rows.push_back(GridRowOf(runner));
    }
    return rows;
}

std::string FxText(int value)
{
    return value == kNoFigure ? std::string("*") : std::to_string(value);
}

std::optional<int> MeanTenths(long long sum, int count)
{
    if (count <= 0) {
        return std::nullopt;
    }
    // In integers: a binary double would turn 1.25 into 1.2 and disagree with the printed
    // tables.
    const unsigned long long magnitude = sum < 0 ? 0ULL - static_cast<unsigned long long>(sum)
                                                 : static_cast<unsigned long long>(sum);
    const auto den = static_cast<unsigned long long>(count);
    const auto tenths = static_cast<long long>((magnitude * 20 + den) / (2 * den));
    return static_cast<int>(sum < 0 ? -tenths : tenths);
}

std::string TotalText(std::optional<int> tenths)
{
    return tenths ? Tenths(*tenths) : std::string("*");
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

const std::string& MarkText(Mark mark)
{
    switch (mark) {
    case Mark::DoubleCircle:
        return "◎"_sj;
    case Mark::Circle:
        return "○"_sj;
    case Mark::FilledTriangle:
        return "▲"_sj;
    case Mark::Triangle:
        return "△"_sj;
    case Mark::Cross:
        return "×"_sj;
    case Mark::None:
        break;
    }
    static const std::string none;
    return none;
}

std::string RunnerProfile(const AnalysedRunner& runner)
{
    return kol::PadRight(runner.sexText + std::to_string(runner.age), 6) +
           kol::PadRight(runner.coatColour, 6);
}

std::string BetText(const BetPair& pair)
{
    return kol::PadLeft(std::to_string(pair.low), 2) + "-" +
           kol::PadLeft(std::to_string(pair.high), 2);
}

std::array<std::string, 6> BetTexts(const Bets& bets)
{
    std::array<std::string, 6> texts;
    for (int k = 0; k < bets.combinationCount && k < 6; ++k) {
        texts[static_cast<std::size_t>(k)] = BetText(bets.pairs[static_cast<std::size_t>(k)]);
    }
    return texts;
}

const std::string& ConfidenceText(Confidence confidence)
{
    static const std::array<std::string, 4> texts = {"", "A", "B", "C"};
    const auto index = static_cast<std::size_t>(confidence);
    return index < texts.size() ? texts[index] : texts[0];
}

char GradePicture(const Bets& bets)
{
    switch (bets.made ? bets.confidence : Confidence::None) {
    case Confidence::A:
        return 'A';
    case Confidence::B:
        return 'B';
    case Confidence::C:
        return 'C';
    case Confidence::None:
        break;
    }
    return 'D';
}

std::string BetsLabel(const Bets& bets)
{
    if (!bets.made) {
        return "データ充足率が"_sj + Crlf() + "規定に満たない"_sj + Crlf() + "ため推奨馬券は"_sj +
               Crlf() + "ありません。"_sj;
    }
    std::string label = "単勝："_sj + Crlf() + kol::PadLeft(std::to_string(bets.win), 2) + Crlf() +
                        Crlf() + BetKindText(bets.kind) + Crlf();
    for (const std::string& bet : BetTexts(bets)) {
        if (!bet.empty()) {
            label += bet + Crlf();
        }
    }
    return label;
}

std::string BetsLine(const Bets& bets)
{
    if (!bets.made) {
        return NoBetsLine();
    }
    std::string line =
        "単勝： "_sj + std::to_string(bets.win) + "  " + BetKindText(bets.kind) + " ";
    for (int k = 0; k < bets.combinationCount && k < 6; ++k) {
        const BetPair& pair = bets.pairs[static_cast<std::size_t>(k)];
        line += std::to_string(pair.low) + "-" + std::to_string(pair.high) + " ";
    }
    return line + "  勝負度： "_sj + ConfidenceText(bets.confidence);
}

const std::string& NoBetsLine()
{
    return "データ充足率が規定に満たないため推奨馬券はありません。"_sj;
}

std::vector<std::string> PrintTitleLines(const AnalysedRace& race)
{
    return {race.startLine, race.raceHeader, "", BetsLine(race.bets), ""};
}

} // namespace furlox
