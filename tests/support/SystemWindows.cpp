#include "support/System.h"

#include <cwchar>
#include <windows.h>

namespace furlox::test {
namespace {

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty()) {
        return {};
    }
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          size);
    return wide;
}

// Appends one argument to a command line so that the C runtime's parser (and
// CommandLineToArgvW) gives it back unchanged: quotes around it when it holds a blank or a
// quote or is empty; a quote inside escaped, and the backslashes right before a quote (or the
// closing one) doubled.
void AppendQuoted(std::wstring& line, const std::wstring& argument)
{
    if (!line.empty()) {
        line += L' ';
    }
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            line.append(backslashes * 2 + 1, L'\\');
        } else {
            line.append(backslashes, L'\\');
        }
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

// This process's environment with the given variables added or replaced, as the block
// CreateProcessW takes (NAME=VALUE\0 ... \0).
std::wstring EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& changes)
{
    std::wstring block;
    wchar_t* const strings = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; entry && *entry; entry += std::wcslen(entry) + 1) {
        const std::wstring text = entry;
        bool replaced = false;
        for (const auto& [name, value] : changes) {
            const std::wstring prefix = Wide(name) + L"=";
            replaced =
                replaced || ::CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()),
                                                   prefix.c_str(), static_cast<int>(prefix.size()),
                                                   TRUE) == CSTR_EQUAL;
        }
        if (!replaced) {
            block += text;
            block += L'\0';
        }
    }
    if (strings) {
        ::FreeEnvironmentStringsW(strings);
    }
    for (const auto& [name, value] : changes) {
        block += Wide(name) + L"=" + Wide(value);
        block += L'\0';
    }
    block += L'\0';
    return block;
}

// Handles that the child inherits, closed in this process when the run is over.
class Handles
{
public:
    ~Handles()
    {
        for (HANDLE h : m_handles) {
            ::CloseHandle(h);
        }
    }
    HANDLE Add(HANDLE h)
    {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) {
            m_handles.push_back(h);
        }
        return h;
    }
    void CloseAll()
    {
        for (HANDLE h : m_handles) {
            ::CloseHandle(h);
        }
        m_handles.clear();
    }

private:
    std::vector<HANDLE> m_handles;
};

HANDLE OpenNul(SECURITY_ATTRIBUTES& inheritable, DWORD access)
{
    return ::CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                         OPEN_EXISTING, 0, nullptr);
}

} // namespace

CommandResult RunProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments, Stderr stderrTo,
                         const std::vector<std::pair<std::string, std::string>>& environment)
{
    CommandResult result;
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        return result;
    }
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    Handles forChild;
    forChild.Add(writeEnd);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = forChild.Add(OpenNul(inheritable, GENERIC_READ));
    startup.hStdOutput = writeEnd;
    switch (stderrTo) {
    case Stderr::Keep: {
        HANDLE own = nullptr;
        ::DuplicateHandle(::GetCurrentProcess(), ::GetStdHandle(STD_ERROR_HANDLE),
                          ::GetCurrentProcess(), &own, 0, TRUE, DUPLICATE_SAME_ACCESS);
        startup.hStdError = forChild.Add(own);
        break;
    }
    case Stderr::Merge:
        startup.hStdError = writeEnd;
        break;
    case Stderr::Discard:
        startup.hStdError = forChild.Add(OpenNul(inheritable, GENERIC_WRITE));
        break;
    case Stderr::Capture:
        startup.hStdOutput = forChild.Add(OpenNul(inheritable, GENERIC_WRITE));
        startup.hStdError = writeEnd;
        break;
    }

    std::wstring line;
    AppendQuoted(line, program.wstring());
    for (const std::string& argument : arguments) {
        AppendQuoted(line, Wide(argument));
    }
    std::wstring block = EnvironmentWith(environment);
    PROCESS_INFORMATION process{};
    const BOOL started =
        ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                         block.data(), nullptr, &startup, &process);
    // The child holds its own copies now; the pipe ends only when the child's write end is
    // the last one open.
    forChild.CloseAll();
    if (!started) {
        ::CloseHandle(readEnd);
        return result;
    }

    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        result.out.append(buffer, n);
    }
    ::CloseHandle(readEnd);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (::GetExitCodeProcess(process.hProcess, &code)) {
        result.exitCode = static_cast<int>(code);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return result;
}

std::unique_ptr<StartedProgram> StartedProgram::Start(const std::filesystem::path& program,
                                                      const std::vector<std::string>& arguments)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handles forChild;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = forChild.Add(OpenNul(inheritable, GENERIC_READ));
    startup.hStdOutput = forChild.Add(OpenNul(inheritable, GENERIC_WRITE));
    HANDLE own = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), ::GetStdHandle(STD_ERROR_HANDLE),
                      ::GetCurrentProcess(), &own, 0, TRUE, DUPLICATE_SAME_ACCESS);
    startup.hStdError = forChild.Add(own);

    std::wstring line;
    AppendQuoted(line, program.wstring());
    for (const std::string& argument : arguments) {
        AppendQuoted(line, Wide(argument));
    }
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &startup, &process);
    forChild.CloseAll();
    if (!started) {
        return nullptr;
    }
    ::CloseHandle(process.hThread);
    return std::unique_ptr<StartedProgram>(
        new StartedProgram(reinterpret_cast<std::intptr_t>(process.hProcess)));
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
        // The exit code of a killed program, as a POSIX shell reports kill -9.
        ::TerminateProcess(reinterpret_cast<HANDLE>(m_handle), 137);
    }
}

int StartedProgram::Wait()
{
    if (m_ended) {
        return m_exitCode;
    }
    const HANDLE process = reinterpret_cast<HANDLE>(m_handle);
    ::WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    // Killed (TerminateProcess above) reads as -1, as on POSIX.
    m_exitCode = ::GetExitCodeProcess(process, &code) && code != 137 ? static_cast<int>(code) : -1;
    ::CloseHandle(process);
    m_ended = true;
    return m_exitCode;
}

bool RunOnConsole(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  std::string& shown)
{
    // The test program's own standard handles (ctest's pipes) come back afterwards.
    const HANDLE ownIn = ::GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE ownOut = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE ownErr = ::GetStdHandle(STD_ERROR_HANDLE);
    ::FreeConsole();
    if (!::AllocConsole()) {
        return false;
    }
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handles forChild;
    const HANDLE screen = forChild.Add(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     &inheritable, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = forChild.Add(OpenNul(inheritable, GENERIC_READ));
    startup.hStdOutput = screen;
    startup.hStdError = screen;
    std::wstring line;
    AppendQuoted(line, program.wstring());
    for (const std::string& argument : arguments) {
        AppendQuoted(line, Wide(argument));
    }
    PROCESS_INFORMATION process{};
    bool ran = screen != INVALID_HANDLE_VALUE &&
               ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                &startup, &process);
    if (ran) {
        ::WaitForSingleObject(process.hProcess, 60000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        // The screen buffer, row by row, down to the cursor's row.
        CONSOLE_SCREEN_BUFFER_INFO info{};
        ran = ::GetConsoleScreenBufferInfo(screen, &info) != 0;
        for (SHORT row = 0; ran && row <= info.dwCursorPosition.Y; ++row) {
            std::wstring text(static_cast<std::size_t>(info.dwSize.X), L' ');
            DWORD read = 0;
            ::ReadConsoleOutputCharacterW(screen, text.data(), static_cast<DWORD>(text.size()),
                                          COORD{0, row}, &read);
            text.resize(read);
            while (!text.empty() && text.back() == L' ') {
                text.pop_back();
            }
            const int size =
                ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
            std::string utf8(static_cast<std::size_t>(size), '\0');
            ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                  utf8.data(), size, nullptr, nullptr);
            shown += utf8 + "\n";
        }
    }
    forChild.CloseAll();
    ::FreeConsole();
    ::SetStdHandle(STD_INPUT_HANDLE, ownIn);
    ::SetStdHandle(STD_OUTPUT_HANDLE, ownOut);
    ::SetStdHandle(STD_ERROR_HANDLE, ownErr);
    return ran;
}

bool MakeFifo(const std::filesystem::path&)
{
    return false;
}

bool IsSuperUser()
{
    return false;
}

bool RunsUnderWine()
{
    // Wine's ntdll exports its version; Windows' own does not.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace furlox::test
