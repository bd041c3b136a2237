#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Encoding.h"

// The one part of the tests with calls of the operating system, one file per system
// (SystemPosix.cpp, SystemWindows.cpp): running a program with an argument vector handed over
// as it is (no shell between) and its standard output captured, and making a fifo.
namespace furlox::test {

// What becomes of the program's standard error stream.
enum class Stderr
{
    Keep,    // goes where the test's own goes
    Merge,   // captured together with stdout, in the order written
    Discard, // thrown away
    Capture, // captured instead of stdout, which is thrown away
};

struct CommandResult
{
    int exitCode = -1; // -1 when it could not be started or did not end by itself
    std::string out;
};

// Runs a program (a path, or a bare name looked up on the search path) with the UTF-8
// arguments and waits for its end. `environment` adds or replaces variables (UTF-8) for the
// program alone. Its standard input is empty.
CommandResult RunProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments, Stderr stderrTo = Stderr::Keep,
                         const std::vector<std::pair<std::string, std::string>>& environment = {});

// The command-line program of this build.
inline CommandResult RunCli(const std::vector<std::string>& arguments,
                            Stderr stderrTo = Stderr::Keep)
{
    return RunProgram(FURLOX_CLI, arguments, stderrTo);
}

// The command-line program working in the folder `work` (--workdir before the arguments).
inline CommandResult RunCliIn(const std::filesystem::path& work, std::vector<std::string> arguments,
                              Stderr stderrTo = Stderr::Keep)
{
    arguments.insert(arguments.begin(), {"--workdir", Utf8Text(work)});
    return RunCli(arguments, stderrTo);
}

// A program running beside the test, started without waiting for it (its standard input and
// output empty, its standard error the test's own), for tests that stop one half-way.
class StartedProgram
{
public:
    // nullptr when it cannot be started.
    static std::unique_ptr<StartedProgram> Start(const std::filesystem::path& program,
                                                 const std::vector<std::string>& arguments);
    // Kills it when it still runs, and waits for its end.
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    // Ends it at once, as kill -9 or a power cut would: none of its own code runs any more.
    void Kill();
    // Waits for its end: its exit code, -1 when it was killed.
    int Wait();

private:
    explicit StartedProgram(std::intptr_t handle) : m_handle(handle) {}
    std::intptr_t m_handle; // the process id, or the process handle on Windows
    bool m_ended = false;
    int m_exitCode = -1;
};

// Runs a program with its standard output and error on a console (a new one, of this test
// program, while it runs) and returns what the console shows, line after line (UTF-8, the
// blanks at the ends of lines dropped). False (nothing run) where there are no consoles
// (POSIX) or none can be made.
bool RunOnConsole(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  std::string& shown);

// Makes a fifo (a named pipe in the file system). False when it cannot be made, and always on
// Windows, which has no such thing.
bool MakeFifo(const std::filesystem::path& path);

// True when the Windows test program runs under Wine (Linux's Windows layer), not on Windows.
bool RunsUnderWine();

// True when the tests run as the super-user (POSIX root), for whom no permission bit refuses
// anything. Always false on Windows.
bool IsSuperUser();

} // namespace furlox::test
