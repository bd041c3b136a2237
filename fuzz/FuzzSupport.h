#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// What the fuzz targets share: a scratch folder of their own, file helpers and the way a
// broken invariant is reported (an abort, so that libFuzzer keeps the input as a finding).
namespace furlox::fuzz {

// Prints the broken invariant and aborts.
[[noreturn]] void Finding(std::string_view what);

#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::furlox::fuzz::Finding(std::string(__FILE__ ":") + std::to_string(__LINE__) +         \
                                    ": " #condition ": " + (what));                                \
        }                                                                                          \
    } while (false)

// A folder made once per process under $FURLOX_FUZZ_TMP, /dev/shm (no disk writes, cheap
// fsync) or the system's temporary folder; removed when the process ends normally, and by a
// later run when it ended with a finding.
const std::filesystem::path& ScratchRoot();

// Writes the bytes to a file, replacing it; a failure is a finding (the scratch folder is ours).
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// Every path below root (root itself not included), found without following symbolic links.
std::vector<std::filesystem::path> TreeBelow(const std::filesystem::path& root);

// Removes a folder and everything in it; a failure is a finding.
void RemoveTree(const std::filesystem::path& path);

// True when path is root or lies below it (both already normal, absolute paths).
bool IsWithin(const std::filesystem::path& path, const std::filesystem::path& root);

// The text as printable ASCII with \xNN escapes, for messages.
std::string Printable(std::string_view bytes);

} // namespace furlox::fuzz
