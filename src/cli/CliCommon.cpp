#include "cli/Cli.h"
#include <iostream>

#include "base/Encoding.h"
#include "base/Platform.h"

namespace furlox::cli {

void PrintError(const std::string& cp932)
{
    std::cerr << ToUtf8(cp932) << "\n";
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
