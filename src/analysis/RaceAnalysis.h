#pragma once

#include <string>

#include "analysis/AnalysedRace.h"
#include "kol/RaceDay.h"

namespace furlox {

// Analyses race `raceIndex` of the loaded race day: grid rows, totals, ranking, marks, bets,
// grade and the texts the exports read. Throws ConvertError when the head count, a weight
// carried or the distance is not a whole number, and furlox::Error for a race index outside
// the loaded race day. The race day is never changed.
AnalysedRace AnalyseRace(const kol::RaceDay& day, int raceIndex);

// The confidence grade "A", "B" or "C" of a race, from its conditions alone (no figures).
// Throws ConvertError when the distance or the head count is not a whole number.
std::string RaceConfidence(const kol::RaceTexts& race);

// The line printed and written instead of the bets when too few runners have a figure.
const std::string& NoBetsLine();

// The weight carried (tenths of a kilogram) as the grid shows it, "##.0": 550 → "55.0",
// 5 → ".5", 0 → ".0".
std::string FormatWeightCarried(long long tenths);

// The mean of `count` figures summing to `sum`, "#0.0" rounded half away from zero
// (1.25 → "1.3", -0.25 → "-0.3"); "-9999" when count is 0.
std::string FormatTotal(long long sum, int count);

// The message of AnalyseRace for a race index outside the loaded race day.
std::string NoSuchRaceMessage(int raceIndex);

} // namespace furlox
