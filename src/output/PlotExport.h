#pragma once

#include <string>
#include <vector>

#include "analysis/AnalysedRace.h"
#include "kol/RaceDay.h"

// The P.L.O.T batch file for the companion viewer: per run of races at one course a block
// headed by the meeting's date line, and in it one line per race with recommended bets.
namespace furlox {

// The 76-hyphen line between blocks.
const std::string& PlotSeparator();

// The date line of a block, from its first race: 東京 2001年  3回  8日目  5月 27日(日) [9999] …
std::string PlotDateLine(const kol::RaceTexts& race);

// The line of a race with recommended bets: race number, ◎, the pairs and the grade.
std::string PlotRaceLine(const AnalysedRace& race);

// All lines of the file for the whole day; every race is analysed in race order. A race whose
// analysis fails aborts the whole file with an error that names the race.
std::vector<std::string> PlotLines(const kol::RaceDay& day);

// The file's bytes: the lines, each ended with CR LF.
std::string PlotText(const kol::RaceDay& day);

} // namespace furlox
