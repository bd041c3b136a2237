#include <cstdlib>
#include <iostream>
#include <optional>

#include "base/Encoding.h"
#include "cli/Cli.h"
#include "kol/RaceDay.h"
#include "kol/SampleDay.h"
#include "kol/WorkDir.h"

namespace furlox::cli {

int CmdRaces(const Context& ctx)
{
    const std::optional<kol::LoadedDay> loaded = kol::LoadWorkDay(ctx.workDir);
    if (!loaded) {
        PrintError(kol::NoRaceDataMessage(ctx.workDir));
        return 1;
    }
    PrintRaceList(*loaded);
    return 0;
}

void PrintRaceList(const kol::LoadedDay& loaded)
{
    for (const std::string& warning : loaded.warnings) {
        PrintError(warning);
    }
    const kol::RaceDay& day = loaded.day;
    for (int i = 0; i < day.RaceCount(); ++i) {
        std::cout << i << '\t' << Printable(day.races[i].menuCaption) << '\n';
    }
}

int CmdSample(const Context& ctx)
{
    kol::SampleOptions options;
    std::filesystem::path out;
    bool haveSeed = false;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        const bool hasValue = i + 1 < ctx.args.size();
        if (a == "--seed" && hasValue) {
            options.seed = std::strtoull(ctx.args[++i].c_str(), nullptr, 10);
            haveSeed = true;
        } else if (a == "--races" && hasValue) {
            options.races = std::atoi(ctx.args[++i].c_str());
        } else if (a == "--full") {
            options.full = true;
        } else if (a == "--out" && hasValue) {
            out = Utf8Path(ctx.args[++i]);
        } else {
            std::cerr << "furlox-cli sample: unexpected argument " << a << "\n";
            return 2;
        }
    }
    if (!haveSeed || out.empty() || options.races < 1 || options.races > 36) {
        std::cerr << "usage: furlox-cli sample --seed N [--races R (1-36)] [--full] --out DIR\n";
        return 2;
    }
    kol::WriteSampleDay(options, out);
    return 0;
}

} // namespace furlox::cli
