#include "support/System.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace furlox::test {
namespace {

// The environment of this process with the given variables added or replaced.
std::vector<std::string>
EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& changes)
{
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        bool replaced = false;
        for (const auto& [name, value] : changes) {
            replaced = replaced || text.rfind(name + "=", 0) == 0;
        }
        if (!replaced) {
            result.push_back(text);
        }
    }
    for (const auto& [name, value] : changes) {
        result.push_back(name + "=" + value);
    }
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (std::string& text : texts) {
        result.push_back(text.data());
    }
    result.push_back(nullptr);
    return result;
}

} // namespace

CommandResult RunProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments, Stderr stderrTo,
                         const std::vector<std::pair<std::string, std::string>>& environment)
{
    CommandResult result;
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return result;
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (stderrTo == Stderr::Capture) {
        ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    } else {
        ::posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        if (stderrTo == Stderr::Merge) {
            ::posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
        } else if (stderrTo == Stderr::Discard) {
            ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
    }

    std::vector<std::string> argv = {program.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = EnvironmentWith(environment);
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envpPointers = Pointers(envp);
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, argv[0].c_str(), &actions, nullptr,
                                       argvPointers.data(), envpPointers.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        return result;
    }

    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (n > 0) {
            result.out.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(pipeEnds[0]);

    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return result;
        }
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::unique_ptr<StartedProgram> StartedProgram::Start(const std::filesystem::path& program,
                                                      const std::vector<std::string>& arguments)
{
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> argv = {program.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argvPointers = Pointers(argv);
    pid_t child = 0;
    const int spawned =
        ::posix_spawn(&child, argv[0].c_str(), &actions, nullptr, argvPointers.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return nullptr;
    }
    return std::unique_ptr<StartedProgram>(new StartedProgram(child));
}

StartedProgram::~StartedProgram()
{
    if (!m_ended) {
        Kill();
        Wait();
    }
}

void StartedProgram::Kill()
{
    if (!m_ended) {
        ::kill(static_cast<pid_t>(m_handle), SIGKILL);
    }
}

int StartedProgram::Wait()
{
    if (m_ended) {
        return m_exitCode;
    }
    int status = 0;
    while (::waitpid(static_cast<pid_t>(m_handle), &status, 0) < 0) {
        if (errno != EINTR) {
            m_ended = true;
            return m_exitCode;
        }
    }
    m_ended = true;
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m_exitCode;
}

bool RunOnConsole(const std::filesystem::path&, const std::vector<std::string>&, std::string&)
{
    return false;
}

bool MakeFifo(const std::filesystem::path& path)
{
    return ::mkfifo(path.c_str(), 0600) == 0;
}

bool IsSuperUser()
{
    return ::geteuid() == 0;
}

bool RunsUnderWine()
{
    return false;
}

} // namespace furlox::test
