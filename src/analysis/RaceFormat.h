#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis/AnalysedRace.h"

// The one formatting step: every text of the analysed race, made from its values. The race
// grid on screen, the printer, the race card, the text, HTML, P.L.O.T and CSV writers and the
// CLI all take their texts from here; nothing reads a number back out of them. Every text is
// CP932.
namespace furlox {

// Row 0 of the grid: 枠 馬 馬　　名 斤量 騎手 5前 4前 3前 2前 1前 総合 印.
const GridRow& GridHeader();

// A runner's grid row as the grid shows it, columns 0 to 11.
GridRow GridRowOf(const AnalysedRunner& runner);

// Grid rows 1..n of the race, in horse-number order.
std::vector<GridRow> GridRows(const AnalysedRace& race);

// An FX value as a decimal integer, "*" for the no-figure value.
std::string FxText(int value);

// The mean of `count` figures summing to `sum`, in tenths rounded half away from zero
// (1.25 gives 13, -0.25 gives -3); empty when count is 0.
std::optional<int> MeanTenths(long long sum, int count);

// A total "#0.0" (13 tenths: "1.3", -3: "-0.3"); "*" for a runner without any figure.
std::string TotalText(std::optional<int> tenths);

// The weight carried (tenths of a kilogram) "##.0": 550 → "55.0", 5 → ".5", 0 → ".0".
std::string FormatWeightCarried(long long tenths);

// "◎", "○", "▲", "△", "×", or empty.
const std::string& MarkText(Mark mark);

// The runner profile (12 bytes): sex and age padded right to 6, coat colour padded to 6.
std::string RunnerProfile(const AnalysedRunner& runner);

// A bet text: both horse numbers right-aligned in two characters, "␣3-12".
std::string BetText(const BetPair& pair);

// The six bet texts; the slots past the combination count are empty.
std::array<std::string, 6> BetTexts(const Bets& bets);

// "A", "B" or "C"; empty without bets.
const std::string& ConfidenceText(Confidence confidence);

// The grade picture: 'A', 'B' or 'C', and 'D' without bets.
char GradePicture(const Bets& bets);

// The bets label lblTan (CR LF lines), or the four-line no-bets message.
std::string BetsLabel(const Bets& bets);

// The bets line "単勝： 5  馬連： 5-12 … 勝負度： B", or the no-bets line.
std::string BetsLine(const Bets& bets);

// The line printed and written instead of the bets when too few runners have a figure.
const std::string& NoBetsLine();

// The five print title lines: start line, race header, an empty line, the bets line (or the
// no-bets line) and an empty line.
std::vector<std::string> PrintTitleLines(const AnalysedRace& race);

} // namespace furlox
