#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "base/Encoding.h"

namespace furlox::test {

// A fresh folder under the system's temporary folder (a new random name), removed with
// everything in it.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Names are UTF-8 text, "/" between folders.
    std::filesystem::path operator/(std::string_view name) const { return m_path / Utf8Path(name); }
    void Write(std::string_view name, std::string_view bytes) const;
    std::string Read(std::string_view name) const;

private:
    std::filesystem::path m_path;
};

// The names in a folder as UTF-8, leaving out the work directory's lock file (on Windows the
// lock is held on a hidden file ".furlox-lock" in the folder, which stays there).
std::set<std::string> NamesIn(const std::filesystem::path& folder);

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

} // namespace furlox::test
