#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/AnalysedRace.h"
#include "kol/RaceDay.h"

// The day as CSV for spreadsheet programs: one header row, then one row per runner of every
// race, races in order and runners in horse-number order, with the texts the race grid shows
// and each runner's place in the ranking by total.
namespace furlox {

enum class CsvEncoding
{
    Utf8,  // with a byte-order mark, so that spreadsheet programs read it as Japanese
    Cp932, // Shift-JIS
};

struct DayCsv
{
    std::string bytes;                 // the whole file, CR LF line ends
    std::vector<std::string> failures; // CP932: one message per race left out, naming it
};

// Every race of the day analysed in turn; a race whose analysis fails is left out and its
// message kept.
DayCsv BuildDayCsv(const kol::RaceDay& day, CsvEncoding encoding);

// A CSV field: quoted, with doubled quotes, when it holds a comma, a quote or a line break.
std::string CsvField(std::string_view text);

} // namespace furlox
