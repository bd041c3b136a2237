#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kol/RaceDay.h"

// The headless front end's shared pieces: each command is one function over its arguments.
namespace furlox::cli {

struct Context
{
    std::filesystem::path workDir;
    std::vector<std::string> args; // the command's own arguments, after the command name
};

// Exit codes: 0 success, 1 failure, 2 usage (and, for `open`, an archive without data).
int CmdRaces(const Context& ctx);
int CmdSample(const Context& ctx);
int CmdText(const Context& ctx);
int CmdHtml(const Context& ctx);
int CmdPlot(const Context& ctx);
int CmdDetail(const Context& ctx);
int CmdShow(const Context& ctx);
int CmdOpen(const Context& ctx);
int CmdCsv(const Context& ctx);

// Writes the load notices to stderr and the race list to stdout, as `races` shows them.
void PrintRaceList(const kol::LoadOutcome& outcome, const kol::RaceDay& day);
void PrintRaces(const kol::RaceDay& day);

// The race day of the work directory; throws furlox::Error when it holds none.
kol::RaceDay RequireRaceDay(const Context& ctx);

// A race index or horse number given on the command line: decimal digits only.
std::optional<int> ParseIndex(const std::string& text);

// A CP932 text as a JSON string (UTF-8), quotes included.
std::string JsonString(std::string_view cp932);

// Prints a CP932 message to stderr as UTF-8, with a line end.
void PrintError(const std::string& cp932);

// True when stderr goes to a terminal, where a progress line may update in place.
bool StderrIsTerminal();

// The folder of the running program file.
std::filesystem::path ProgramFolder();

} // namespace furlox::cli
