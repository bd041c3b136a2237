#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A tiny LHA archive writer for the tests: stored entries (-lh0-) and directory entries
// (-lhd-) with level-0, level-1 or level-2 headers, correct header checksums and CRC-16s, so
// the tests can make every archive they need without an external archiver.
namespace furlox::test {

struct LhaEntry
{
    std::string name;    // bytes of the name field (level 0/1) or the file name header (level 2)
    std::string dirName; // optional directory header, "/"-separated (level 1/2 only)
    std::string data;
    int level = 2;
    char osId = 'M';
    bool directory = false;                // written as -lhd-
    std::optional<std::uint16_t> unixMode; // adds a Unix permission header (level 1/2)
    std::uint32_t time = 0x5F000000;       // Unix time (level 2) or a DOS time stamp (level 0/1)
    std::optional<std::uint16_t> crc;      // a stored CRC other than the data's own
    std::optional<std::uint32_t> originalSize; // a stored size other than the data's own
};

std::uint16_t Crc16(std::string_view bytes, std::uint16_t crc = 0);

// The archive bytes: every entry in order, then the end mark (a single NUL byte).
std::string MakeLha(const std::vector<LhaEntry>& entries);

// Shorthand for the common case: stored level-2 entries of (name, data).
std::string MakeLhaFiles(const std::vector<std::pair<std::string, std::string>>& files);

} // namespace furlox::test
