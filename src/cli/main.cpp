// furlox-cli: everything the windows compute or write, without a screen.
#include <cstddef>
#include <exception>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "app/WorkDir.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Platform.h"
#include "cli/Cli.h"

namespace {

constexpr const char* kUsage =
    "usage: furlox-cli [--workdir DIR] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  races                              list the races of the loaded race day\n"
    "  sample --seed N [--races R] [--full] --out DIR\n"
    "                                     write a synthetic race day (three KOL files)\n"
    "  sample-season --seed N --days D [--full] --out DIR\n"
    "                                     write D synthetic race days (a Saturday and a\n"
    "                                     Sunday a week) as archives YYYYMMDD.lzh whose\n"
    "                                     horses run again, so later days carry the results\n"
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
    "                                     directory and list its races (exit 2: no data);\n"
    "                                     the day is kept in the library too\n"
    "  library COMMAND                    the season library: import, days, open, remove,\n"
    "                                     horse, results, tally, backup, restore, check\n"
    "                                     (furlox-cli library)\n"
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
        {"sample-season", cli::CmdSampleSeason},
        {"text", cli::CmdText},
        {"html", cli::CmdHtml},
        {"plot", cli::CmdPlot},
        {"detail", cli::CmdDetail},
        {"show", cli::CmdShow},
        {"open", cli::CmdOpen},
        {"csv", cli::CmdCsv},
        {"library", cli::CmdLibrary},
    };

    platform::PrepareStandardStreams();
    const std::vector<std::string> args = platform::Utf8Arguments(argc, argv);
    const std::size_t count = args.size();
    cli::Context ctx;
    std::size_t i = 1;
    for (; i < count && !args[i].empty() && args[i][0] == '-'; ++i) {
        if (args[i] == "--workdir" && i + 1 < count) {
            ctx.workDir = Utf8Path(args[++i]);
        } else if (args[i] == "--help" || args[i] == "-h") {
            std::cout << kUsage;
            return 0;
        } else {
            std::cerr << "furlox-cli: unknown option " << args[i] << "\n" << kUsage;
            return 2;
        }
    }
    if (ctx.workDir.empty()) {
        // A data folder that cannot be made is said at once: no command can work without it.
        try {
            ctx.workDir = ChooseWorkDir(cli::ProgramFolder());
        } catch (const Error& e) {
            cli::PrintError(e.what());
            return 1;
        }
    }
    if (i >= count) {
        std::cerr << kUsage;
        return 2;
    }
    auto command = commands.find(args[i]);
    if (command == commands.end()) {
        std::cerr << "furlox-cli: unknown command " << args[i] << "\n" << kUsage;
        return 2;
    }
    ctx.args.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    try {
        return command->second(ctx);
    } catch (const Error& e) {
        cli::PrintError(e.what());
    } catch (const std::exception& e) {
        std::cerr << "furlox-cli: " << e.what() << "\n";
    }
    return 1;
}
