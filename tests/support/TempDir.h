#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace furlox::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }
    void Write(std::string_view name, std::string_view bytes) const;
    std::string Read(std::string_view name) const;

private:
    std::filesystem::path m_path;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// Runs a shell command; returns its exit code and what it wrote to stdout.
struct CommandResult
{
    int exitCode = -1;
    std::string out;
};
CommandResult RunCommand(const std::string& command);

} // namespace furlox::test
