#include "cli/Cli.h"

#include <cstdio>
#include <iostream>

#include "base/Encoding.h"
#include "base/Platform.h"

namespace furlox::cli {

namespace {

// "\xHH" for the byte.
std::string Escape(unsigned char byte)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("\\x") + kHex[byte >> 4] + kHex[byte & 0x0F];
}

} // namespace

std::string JsonString(std::string_view cp932)
{
    const std::string utf8 = ToUtf8(cp932);
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const auto byte = static_cast<unsigned char>(c);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        char escaped[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            out += escaped;
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            std::snprintf(escaped, sizeof escaped, "\\u%04X", next);
            out += escaped;
            ++i;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string EscapedData(std::string_view cp932)
{
    return EscapeControlBytes(cp932);
}

std::string Printable(std::string_view cp932, LineBreaks breaks)
{
    std::string escaped;
    escaped.reserve(cp932.size());
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const char c = cp932[i];
        if (breaks == LineBreaks::Keep && c == '\r' && i + 1 < cp932.size() &&
            cp932[i + 1] == '\n') {
            continue; // the LF that follows ends the line
        }
        if (breaks == LineBreaks::Keep && c == '\n') {
            escaped += c;
            continue;
        }
        escaped += EscapeControlBytes(std::string_view(&cp932[i], 1));
    }
    // A byte that CP932 reads as a C1 control comes out of the conversion as one.
    const std::string utf8 = ToUtf8(escaped);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            out += Escape(byte) + Escape(next);
            ++i;
        } else {
            out += utf8[i];
        }
    }
    return out;
}

void PrintError(const std::string& cp932)
{
    std::cerr << Printable(cp932, LineBreaks::Keep) << "\n";
}

bool StderrIsTerminal()
{
    return platform::StderrIsTerminal();
}

std::filesystem::path ProgramFolder()
{
    const std::filesystem::path self = platform::ProgramFile();
    if (self.empty()) {
        std::error_code ec;
        return std::filesystem::current_path(ec);
    }
    return self.parent_path();
}

} // namespace furlox::cli
