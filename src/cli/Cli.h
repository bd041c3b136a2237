#pragma once

#include <filesystem>
#include <string>
#include <vector>

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

// Prints a CP932 message to stderr as UTF-8, with a line end.
void PrintError(const std::string& cp932);

// The folder of the running program file.
std::filesystem::path ProgramFolder();

} // namespace furlox::cli
