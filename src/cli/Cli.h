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
int CmdSampleSeason(const Context& ctx);
int CmdText(const Context& ctx);
int CmdHtml(const Context& ctx);
int CmdPlot(const Context& ctx);
int CmdDetail(const Context& ctx);
int CmdShow(const Context& ctx);
int CmdOpen(const Context& ctx);
int CmdCsv(const Context& ctx);
int CmdLibrary(const Context& ctx);

// Writes the load warnings to stderr and the race list to stdout, as `races` shows them.
void PrintRaceList(const kol::LoadedDay& loaded);

// The race day of the work directory (its warnings written to stderr); throws furlox::Error
// when it holds none.
kol::RaceDay RequireRaceDay(const Context& ctx);

// A race index or horse number given on the command line: decimal digits only.
std::optional<int> ParseIndex(const std::string& text);

// A CP932 text as a JSON string (UTF-8), quotes included; control characters (C0, DEL and
// C1) as \u escapes.
std::string JsonString(std::string_view cp932);

// The data's text with every control byte written as "\xHH", still CP932: for layouts that
// line columns up in CP932 bytes before the whole is made Printable.
std::string EscapedData(std::string_view cp932);

enum class LineBreaks
{
    Escape, // a CR or LF is shown as "\x0D" or "\x0A" like every other control byte
    Keep,   // CR LF and LF end a line (a message's own line breaks); a lone CR is escaped
};

// The one way a text reaches the terminal or a pipe: CP932 made UTF-8, with every control
// byte (ESC, BEL, BS, DEL, NUL …, and the C1 characters of UTF-8) written as "\xHH", so no
// byte of a data file can move the cursor, retitle the terminal or cut a line.
std::string Printable(std::string_view cp932, LineBreaks breaks = LineBreaks::Escape);

// Prints a CP932 message to stderr, Printable with its line breaks, with a line end.
void PrintError(const std::string& cp932);

// True when stderr goes to a terminal, where a progress line may update in place.
bool StderrIsTerminal();

// The folder of the running program file.
std::filesystem::path ProgramFolder();

} // namespace furlox::cli
