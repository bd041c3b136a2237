#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
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

// The line rule applied to a file that arrives in pieces, cut anywhere (a CR LF or a line may
// be cut between two pieces). Feeding every piece and then finishing gives exactly what
// SplitKolLines gives for the whole bytes.
class KolLineSplitter
{
public:
    explicit KolLineSplitter(std::size_t maxLines);
    void Feed(std::string_view bytes);
    // `complete` as for SplitKolLines: false drops a last line without line end.
    KolLines Finish(bool complete);

private:
    void Add(std::string_view line);

    std::size_t m_maxLines;
    KolLines m_out;
    std::string m_pending;  // the start of a line cut at the end of the last piece
    bool m_afterCr = false; // the last piece ended with a CR: an LF may follow
    bool m_ended = false;   // an end-of-file byte was found
};

// Splits the bytes of a whole file. With `complete`, a last line without line end counts;
// without it (bytes cut short by a read error) it is dropped.
KolLines SplitKolLines(std::string_view bytes, std::size_t maxLines, bool complete = true);

// The longest line a day's file is read for: a horse record with its five past runs is about
// 4 KB. With the line limits this bounds what a file can make the program read: what the
// limits of a day cannot hold is never read (a file of gigabytes, a link to an endless device).
inline constexpr std::size_t kMaxLineBytes = 16 * 1024;

struct KolFileRead
{
    KolLines lines;
    bool cutAtSize = false; // the file is larger than maxLines lines can be; the rest was not read
    std::uintmax_t bytesRead = 0;
};

// Reads a regular file and splits it, reading no more than maxLines × kMaxLineBytes bytes.
// Throws furlox::Error with the message for the user when the path names a folder or no
// regular file (a device, a pipe), or when reading fails part-way.
KolFileRead ReadKolFile(const std::filesystem::path& path, std::size_t maxLines);

} // namespace furlox::kol
