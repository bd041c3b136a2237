#include "kol/LineReader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "kol/Encoding.h"

namespace furlox::kol {

KolLines SplitKolLines(std::string_view bytes, std::size_t maxLines, bool complete)
{
    if (auto eof = bytes.find('\x1A'); eof != std::string_view::npos) {
        bytes = bytes.substr(0, eof);
        complete = true;
    }
    KolLines out;
    std::size_t start = 0;
    auto add = [&](std::size_t end) {
        if (out.lines.size() < maxLines) {
            out.lines.emplace_back(bytes.substr(start, end - start));
        }
        ++out.total;
    };
    while (start < bytes.size()) {
        std::size_t cr = bytes.find('\r', start);
        if (cr == std::string_view::npos) {
            if (complete) {
                add(bytes.size());
            }
            break;
        }
        add(cr);
        start = cr + 1;
        if (start < bytes.size() && bytes[start] == '\n') {
            ++start;
        }
    }
    return out;
}

KolFileRead ReadKolFile(const std::filesystem::path& path, std::size_t maxLines)
{
    KolFileRead result;
    std::string bytes;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int failure = fd < 0 ? errno : 0;
    if (fd >= 0) {
        char buffer[65536];
        for (;;) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                bytes.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0) {
                break;
            } else if (errno != EINTR) {
                failure = errno;
                break;
            }
        }
        ::close(fd);
    }
    result.lines = SplitKolLines(bytes, maxLines, failure == 0);
    if (failure != 0) {
        result.error = "ファイル "_sj + path.filename().string() + " の読み込み中にエラーが発生しました。"_sj +
                       "(" + std::strerror(failure) + ")";
    }
    return result;
}

} // namespace furlox::kol
