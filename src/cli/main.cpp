// furlox-cli: everything the windows compute or write, without a screen.
#include <cstring>
#include <exception>
#include <functional>
#include <iostream>
#include <map>

#include "app/WorkDir.h"
#include "cli/Cli.h"
#include "base/Encoding.h"
#include "base/Error.h"

namespace {

constexpr const char* kUsage =
    "usage: furlox-cli [--workdir DIR] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  races                              list the races of the loaded race day\n"
    "  sample --seed N [--races R] [--full] --out DIR\n"
    "                                     write a synthetic race day (three KOL files)\n"
    "  text -o FILE (--race RACE | --all)\n"
    "                                     the text export of one race or of all races\n"
    "  html -o FILE --race RACE           the HTML page of a race (rewrites Head.dat)\n"
    "  plot -o FILE                       the P.L.O.T batch file of the whole day\n"
    "  detail --race RACE --horse K       the detail data of horse number K, as JSON\n"
    "  show [--json] RACE                 the analysed race: titles, grid and bets\n"
    "  csv -o FILE [--encoding utf-8|cp932]\n"
    "                                     every runner of the day as CSV (UTF-8 with BOM\n"
    "                                     by default)\n"
    "  open ARCHIVE                       extract an LHA archive of race data into the work\n"
    "                                     directory and list its races (exit 2: no data)\n"
    "\n"
    "RACE is the 0-based race index.\n"
    "\n"
    "The work directory defaults to the folder of the program file.\n";

} // namespace

int main(int argc, char** argv)
{
    using namespace furlox;
    const std::map<std::string, std::function<int(const cli::Context&)>> commands = {
        {"races", cli::CmdRaces},
        {"sample", cli::CmdSample},
        {"text", cli::CmdText},
        {"html", cli::CmdHtml},
        {"plot", cli::CmdPlot},
        {"detail", cli::CmdDetail},
        {"show", cli::CmdShow},
        {"open", cli::CmdOpen},
        {"csv", cli::CmdCsv},
    };

    cli::Context ctx;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (std::strcmp(argv[i], "--workdir") == 0 && i + 1 < argc) {
            ctx.workDir = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << kUsage;
            return 0;
        } else {
            std::cerr << "furlox-cli: unknown option " << argv[i] << "\n" << kUsage;
            return 2;
        }
    }
    if (ctx.workDir.empty()) {
        ctx.workDir = ChooseWorkDir(cli::ProgramFolder());
    }
    if (i >= argc) {
        std::cerr << kUsage;
        return 2;
    }
    auto command = commands.find(argv[i]);
    if (command == commands.end()) {
        std::cerr << "furlox-cli: unknown command " << argv[i] << "\n" << kUsage;
        return 2;
    }
    ctx.args.assign(argv + i + 1, argv + argc);
    try {
        return command->second(ctx);
    } catch (const Error& e) {
        cli::PrintError(e.what());
    } catch (const std::exception& e) {
        std::cerr << "furlox-cli: " << e.what() << "\n";
    }
    return 1;
}
