#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The core keeps every text as Shift-JIS (code page 932) bytes. Japanese literals are written
// in the source as UTF-8 and turned into CP932 once, at first use; UTF-8 appears only at the
// edges (terminal, widgets, JSON).
namespace furlox {

// Converts UTF-8 to CP932. Characters CP932 cannot hold become "?".
std::string ToCp932(std::string_view utf8);

// Converts CP932 to UTF-8. Bytes that are not valid CP932 become U+FFFD.
std::string ToUtf8(std::string_view cp932);

// True when the text is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// The length of the UTF-8 character that starts the text, 0 when it is no valid UTF-8.
std::size_t Utf8CharLength(std::string_view text);

// True when byte c starts a double-byte CP932 character.
constexpr bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A path from UTF-8 text (what the command line and the windows hand over), right on every
// system: on Windows a narrow path would be read in the system code page.
inline std::filesystem::path Utf8Path(std::string_view utf8)
{
    return std::filesystem::path(
        std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

// The path as UTF-8 text, the other way.
inline std::string Utf8Text(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A path as CP932 text for a message, in the system's own form (backslashes on Windows;
// characters CP932 cannot hold become "?").
std::string PathText(const std::filesystem::path& path);

// A path from CP932 text (an archive entry's name, kept as CP932 in the core): the file gets
// the Japanese name in the system's own form (UTF-8 on Linux, UTF-16 on Windows).
std::filesystem::path Cp932Path(std::string_view cp932);

// True when the text holds a control byte (0x00 to 0x1F, 0x7F). None of them is ever the
// second byte of a CP932 character, so a byte-wise look is right.
bool HasControlBytes(std::string_view text);

// The text with every control byte written as "\xHH": a name from outside (an archive entry)
// shown in a message or on a terminal can then neither move the cursor nor cut the line.
std::string EscapeControlBytes(std::string_view text);

// True when the byte at index i of s is the second byte of a double-byte character.
bool IsTrailByteAt(std::string_view s, std::size_t i);

namespace detail {
template <std::size_t N>
struct FixedString
{
    char data[N]{};
    constexpr FixedString(const char (&s)[N]) { std::copy_n(s, N, data); }
    constexpr std::string_view view() const { return {data, N - 1}; }
};
} // namespace detail

// "万"_sj: the CP932 bytes of a UTF-8 literal, converted once and kept for the process.
template <detail::FixedString S>
const std::string& operator""_sj()
{
    static const std::string converted = ToCp932(S.view());
    return converted;
}

} // namespace furlox
