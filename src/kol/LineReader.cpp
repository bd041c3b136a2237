#include "kol/LineReader.h"

#include <cstring>

#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Platform.h"
#include "base/SystemError.h"

namespace furlox::kol {
namespace {

constexpr std::size_t kReadPiece = 64 * 1024;

} // namespace

KolLineSplitter::KolLineSplitter(std::size_t maxLines) : m_maxLines(maxLines) {}

void KolLineSplitter::Add(std::string_view line)
{
    if (m_out.lines.size() < m_maxLines) {
        if (m_pending.empty()) {
            m_out.lines.emplace_back(line);
        } else {
            m_pending.append(line);
            m_out.lines.push_back(std::move(m_pending));
        }
    }
    m_pending.clear();
    ++m_out.total;
}

void KolLineSplitter::Feed(std::string_view bytes)
{
    if (m_ended || bytes.empty()) {
        return;
    }
    std::size_t start = 0;
    if (m_afterCr) {
        m_afterCr = false;
        if (bytes[0] == '\n') {
            start = 1; // the LF of a CR LF that was cut between two pieces
        }
    }
    while (start < bytes.size()) {
        const void* crAt = std::memchr(bytes.data() + start, '\r', bytes.size() - start);
        const std::size_t cr =
            crAt ? static_cast<std::size_t>(static_cast<const char*>(crAt) - bytes.data())
                 : bytes.size();
        // The end-of-file byte is looked for line by line, while the line is in the cache.
        if (const void* eof = std::memchr(bytes.data() + start, '\x1A', cr - start)) {
            m_pending.append(bytes.data() + start, static_cast<const char*>(eof));
            m_ended = true;
            return;
        }
        if (crAt == nullptr) {
            m_pending.append(bytes.substr(start));
            return;
        }
        Add(bytes.substr(start, cr - start));
        start = cr + 1;
        if (start == bytes.size()) {
            m_afterCr = true;
        } else if (bytes[start] == '\n') {
            ++start;
        }
    }
}

KolLines KolLineSplitter::Finish(bool complete)
{
    // An end-of-file byte ends the file as surely as its real end does.
    if ((complete || m_ended) && !m_pending.empty()) {
        Add({});
    }
    m_pending.clear();
    return std::move(m_out);
}

KolLines SplitKolLines(std::string_view bytes, std::size_t maxLines, bool complete)
{
    KolLineSplitter splitter(maxLines);
    splitter.Feed(bytes);
    return splitter.Finish(complete);
}

KolFileRead ReadKolFile(const std::filesystem::path& path, std::size_t maxLines)
{
    // The file is split as it is read, a cache-sized piece at a time: reading a whole horse
    // file into one buffer first and copying its lines out of it made loading cost twice the
    // reading.
    KolFileRead result;
    KolLineSplitter splitter(maxLines);
    // The file's name is made only for a message: a file that reads well needs none.
    const auto shown = [&path] { return EscapeControlBytes(PathText(path.filename())); };
    if (platform::KindOf(path) == platform::EntryKind::Folder) {
        // Reading it would only say that a read failed; say what is in the way.
        throw Error("作業フォルダの "_sj + shown() +
                    " がファイルではなくフォルダになっているため、読み込めません。\r\n"
                    "このフォルダを削除するか名前を変えてから、もう一度書庫を開いてください。"_sj);
    }
    const std::uintmax_t budget = static_cast<std::uintmax_t>(maxLines) * kMaxLineBytes;
    const int failure = platform::ReadInPieces(path, kReadPiece, [&](std::string_view piece) {
        const std::uintmax_t room = budget - result.bytesRead;
        if (piece.size() > room) {
            piece = piece.substr(0, static_cast<std::size_t>(room));
            result.cutAtSize = true;
        }
        splitter.Feed(piece);
        result.bytesRead += piece.size();
        return !result.cutAtSize;
    });
    if (failure == platform::kNotRegularFile) {
        throw Error("作業フォルダの "_sj + shown() +
                    " は通常のファイルではない（装置やパイプなど）ため、読み込めません。\r\n"
                    "これを削除してから、もう一度書庫を開いてください。"_sj);
    }
    if (failure != 0) {
        throw Error("ファイル "_sj + shown() + " の読み込み中にエラーが発生しました（"_sj +
                    SystemErrorText(failure) + "）。"_sj);
    }
    result.lines = splitter.Finish(!result.cutAtSize); // a line cut at the limit is no line
    return result;
}

} // namespace furlox::kol
