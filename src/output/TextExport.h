#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/AnalysedRace.h"
#include "kol/RaceDay.h"

// The text export: an analysed race (or every race of the day) as a fixed-column Shift-JIS
// text file, plus the pieces the other exports share: CR LF joining, the file names the save
// dialog suggests and writing a whole file or nothing.
namespace furlox {

inline constexpr std::string_view kCrLf = "\r\n";

// The runner table's header line (68 bytes).
const std::string& TextHeaderLine();

// One runner line from a grid row; a cell longer than its width shifts the rest of the line.
std::string TextRunnerLine(const GridRow& row);

// The lines of one race: the print title lines, the header line and the runner lines.
std::vector<std::string> RaceTextLines(const AnalysedRace& race);

// The one-race file: every line ends with CR LF, no empty line after the last runner.
std::string OneRaceText(const AnalysedRace& race);

// The all-races file: every race analysed in race order, each block followed by one empty
// line. A race whose analysis fails aborts the whole text with an error that names the race.
std::string AllRacesText(const kol::RaceDay& day);

// Lines joined with CR LF after every line.
std::string JoinCrLf(const std::vector<std::string>& lines);

// Runs an analysis step for race `raceIndex` of a batch export; an error thrown by it comes
// back with the race named in front ("3番目のレース「…」: "), keeping its kind.
AnalysedRace AnalyseRaceForBatch(const kol::RaceDay& day, int raceIndex);

// Throws furlox::Error when the file at `path` is one the user made read-only: an export
// never replaces it.
void RefuseReadOnlyTarget(const std::filesystem::path& path);

// True when a file can be made at `path` as far as can be seen before writing: its folder is
// there and no folder has its name. An export of more than one file asks it of each first.
bool CanCreateFile(const std::filesystem::path& path);

// Writes the bytes to `path` whole or not at all; a read-only file there is refused
// (RefuseReadOnlyTarget); on failure throws furlox::Error "ファイル <path> を作成できません" and
// leaves any existing file as it was.
void WriteExportFile(const std::filesystem::path& path, std::string_view bytes);

// File names the save dialog suggests, from the shown race's texts: 010527東京11 for one race,
// 010527s for all races and 010527w for the P.L.O.T file.
std::string SuggestedRaceFileName(const kol::RaceTexts& race);
std::string SuggestedAllRacesFileName(const kol::RaceTexts& race);
std::string SuggestedPlotFileName(const kol::RaceTexts& race);
// The day alone (010527), for the race card and the CSV file, which hold the whole day.
std::string SuggestedDayFileName(const kol::RaceTexts& race);

} // namespace furlox
