#include "cli/Cli.h"

#include <cstdio>
#include <iostream>

#include "base/Encoding.h"
#include "base/Platform.h"

namespace furlox::cli {

std::string JsonString(std::string_view cp932)
{
    std::string out = "\"";
    for (char c : ToUtf8(cp932)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void PrintError(const std::string& cp932)
{
    std::cerr << ToUtf8(cp932) << "\n";
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
