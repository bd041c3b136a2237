#include "base/Encoding.h"

#include "base/Platform.h"

namespace furlox {

std::string ToCp932(std::string_view utf8)
{
    return platform::Utf8ToCp932(utf8);
}

std::string ToUtf8(std::string_view cp932)
{
    return platform::Cp932ToUtf8(cp932);
}

bool IsUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80           ? 1
                              : (c >> 5) == 0x6  ? 2
                              : (c >> 4) == 0xE  ? 3
                              : (c >> 3) == 0x1E ? 4
                                                 : 0;
        if (n == 0 || i + n > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += n;
    }
    return true;
}

std::string PathText(const std::filesystem::path& path)
{
    return ToCp932(Utf8Text(path));
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
