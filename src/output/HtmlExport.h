#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/AnalysedRace.h"

// The HTML export: the head lines of the analysed race (kept in Head.dat), the race grid as
// an HTML table drawn with the grid's own colour rules, and the footer from Foot.dat.
namespace furlox {

inline constexpr const char* kHeadFileName = "Head.dat";
inline constexpr const char* kFootFileName = "Foot.dat";

// The header row's background stands for the system colour of the active window border.
// Linux has no such colour, and the value changes with every Windows theme; #B4B4B4, the
// Windows default, keeps every page the same wherever it is written.
inline constexpr std::uint32_t kActiveBorderColour = 0xB4B4B4;

// & < > and " as entities. No CP932 trail byte is one of these bytes, so the text stays whole.
std::string HtmlEscape(std::string_view text);

// The nine head lines as they go into Head.dat. The line with the race titles is rebuilt from
// the race's start line and header so that the data in it is escaped.
std::vector<std::string> HtmlHeadLines(const AnalysedRace& race);

// The table lines: start tag, header row, runner rows and the closing "</table><p>".
std::vector<std::string> HtmlTableLines(const AnalysedRace& race);

// Rewrites the head file with the race's head lines. Throws furlox::Error
// "ファイル <path> を作成できません" when it cannot be written.
void WriteHeadFile(const std::filesystem::path& headFile, const AnalysedRace& race);

// Writes the page: the head file's lines, the table lines, the foot file's lines, each ended
// with CR LF. A head or foot file that cannot be read is left out. Throws furlox::Error
// "Cannot Create file <path>" when the page cannot be written; an existing page stays intact.
void SaveGridToHTML(const AnalysedRace& race, const std::filesystem::path& output,
                    const std::filesystem::path& headFile, const std::filesystem::path& footFile);

// The whole export: Head.dat rewritten in the work directory, then the page, with Foot.dat
// read from the work directory. Both targets are checked first (read-only, no folder to hold
// it), and a page that cannot be written after all brings the earlier Head.dat back.
void WriteHtmlExport(const AnalysedRace& race, const std::filesystem::path& output,
                     const std::filesystem::path& workDir);

} // namespace furlox
