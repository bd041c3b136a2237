#pragma once

#include <string>

#include "analysis/AnalysedRace.h"
#include "analysis/RaceFormat.h"
#include "kol/RaceDay.h"

namespace furlox {

// Analyses race `raceIndex` of the loaded race day: figures, totals, ranking, marks, bets and
// grade. Throws ConvertError when the head count, a weight carried or the distance is not a
// whole number, and furlox::Error for a race index outside the loaded race day. The race day
// is never changed.
AnalysedRace AnalyseRace(const kol::RaceDay& day, int raceIndex);

// The confidence grade A, B or C of a race, from its conditions alone (no figures). Throws
// ConvertError when the distance or the head count is not a whole number.
Confidence RaceConfidence(const kol::RaceTexts& race);

// The message of AnalyseRace for a race index outside the loaded race day.
std::string NoSuchRaceMessage(int raceIndex);

} // namespace furlox
