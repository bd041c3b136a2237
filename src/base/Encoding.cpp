#include "base/Encoding.h"

#include <algorithm>

#include "base/Platform.h"

namespace furlox {

std::string ToCp932(std::string_view utf8)
{
    return platform::Utf8ToCp932(utf8);
}

std::string ToUtf8(std::string_view cp932)
{
    // Code page 932 keeps the ASCII bytes as they are, and most texts shown (numbers, "*",
    // codes) are nothing else: they need no converter.
    if (std::all_of(cp932.begin(), cp932.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return std::string(cp932);
    }
    return platform::Cp932ToUtf8(cp932);
}

std::size_t Utf8CharLength(std::string_view text)
{
    if (text.empty()) {
        return 0;
    }
    const auto c = static_cast<unsigned char>(text[0]);
    const std::size_t n = c < 0x80           ? 1
                          : (c >> 5) == 0x6  ? 2
                          : (c >> 4) == 0xE  ? 3
                          : (c >> 3) == 0x1E ? 4
                                             : 0;
    if (n == 0 || n > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return n;
}

bool IsUtf8(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t n = Utf8CharLength(text);
        if (n == 0) {
            return false;
        }
        text.remove_prefix(n);
    }
    return true;
}

std::string PathText(const std::filesystem::path& path)
{
    // In the system's own form: on Windows with backslashes, also for a path that came with
    // forward ones (Qt and the command line hand those over).
    std::filesystem::path shown = path;
    shown.make_preferred();
    return ToCp932(Utf8Text(shown));
}

std::filesystem::path Cp932Path(std::string_view cp932)
{
    return Utf8Path(ToUtf8(cp932));
}

bool IsTrailByteAt(std::string_view s, std::size_t i)
{
    // Walk from the start: only a left-to-right scan knows where characters begin.
    std::size_t k = 0;
    while (k < i) {
        k += IsLeadByte(static_cast<unsigned char>(s[k])) ? 2 : 1;
    }
    return k > i;
}

namespace {

bool IsControlByte(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

} // namespace

bool HasControlBytes(std::string_view text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return IsControlByte(static_cast<unsigned char>(c)); });
}

std::string EscapeControlBytes(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsControlByte(byte)) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0x0F];
        } else {
            shown += c;
        }
    }
    return shown;
}

} // namespace furlox
