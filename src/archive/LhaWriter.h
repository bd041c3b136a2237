#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A small writer of LHA archives that stores its files as they are (-lh0-): the season
// sample's day archives, and every archive the tests need. Headers of level 0, 1 or 2 with
// their checksums and CRC-16s, directory entries (-lhd-), a Unix permission header. Nothing
// is compressed: the program reads archives, it never packs the user's data.
namespace furlox::archive {

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
    // Stored in place of the data's own CRC or size: how the tests make a damaged archive.
    std::optional<std::uint16_t> crc;
    std::optional<std::uint32_t> originalSize;
};

// The CRC-16 of LHA (polynomial 0xA001, reflected), continued from `crc`.
std::uint16_t Crc16(std::string_view bytes, std::uint16_t crc = 0);

// The archive bytes: every entry in order, then the end mark (a single NUL byte). Throws
// std::length_error for a level-0/1 header longer than its one-byte size can say, or an entry
// of 4 GB or more.
std::string MakeLha(const std::vector<LhaEntry>& entries);

// Stored level-2 entries of (name, data), each with the Unix time `time`.
std::string MakeLhaFiles(const std::vector<std::pair<std::string, std::string>>& files,
                         std::uint32_t time = 0x5F000000);

} // namespace furlox::archive
