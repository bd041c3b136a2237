#include "base/Encoding.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace furlox {
namespace {

// One conversion with a substitute for every byte sequence the target cannot take.
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view substitute, std::size_t badInputSkip)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
    }
    std::string out;
    out.reserve(in.size() * 3 / 2 + 8);
    char buffer[4096];
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (an invalid or cut-off sequence): substitute and skip it.
        out.append(substitute);
        std::size_t skip = 1;
        if (badInputSkip == 0) {
            // UTF-8 input: skip the whole character the target cannot hold.
            auto c = static_cast<unsigned char>(*src);
            skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        }
        skip = std::min(skip, srcLeft);
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

} // namespace

std::string ToCp932(std::string_view utf8)
{
    return Convert("CP932", "UTF-8", utf8, "?", 0);
}

std::string ToUtf8(std::string_view cp932)
{
    return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", 1);
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
