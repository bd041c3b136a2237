#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The line rule of the KOL data files: a CR ends a line and an LF right after it belongs to
// that line end; an LF anywhere else is an ordinary byte; 0x1A ends the file; every line up
// to the end, a last line without line end included, is one record.
namespace furlox::kol {

struct KolLines
{
    std::vector<std::string> lines; // at most the limit given
    std::size_t total = 0;          // lines in the file, also those past the limit
};

// Splits the bytes of a whole file. With `complete`, a last line without line end counts;
// without it (bytes cut short by a read error) it is dropped.
KolLines SplitKolLines(std::string_view bytes, std::size_t maxLines, bool complete = true);

struct KolFileRead
{
    KolLines lines;
    std::optional<std::string> error; // CP932 message when reading failed part-way
};

// Reads a whole file and splits it. On a read error the lines read before it are kept.
KolFileRead ReadKolFile(const std::filesystem::path& path, std::size_t maxLines);

} // namespace furlox::kol
