#include <iostream>
#include <unistd.h>

#include "cli/Cli.h"
#include "kol/Encoding.h"

namespace furlox::cli {

void PrintError(const std::string& cp932)
{
    std::cerr << ToUtf8(cp932) << "\n";
}

std::filesystem::path ProgramFolder()
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::filesystem::current_path(ec);
    }
    return self.parent_path();
}

} // namespace furlox::cli
