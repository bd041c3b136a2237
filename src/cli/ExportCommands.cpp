// furlox-cli text, html and plot: the exports of the output menu, byte for byte.
#include <iostream>
#include <optional>

#include "analysis/RaceAnalysis.h"
#include "app/WorkDir.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "cli/Cli.h"
#include "output/HtmlExport.h"
#include "output/PlotExport.h"
#include "output/TextExport.h"

namespace furlox::cli {

namespace {

struct ExportArgs
{
    std::filesystem::path out;
    std::optional<int> race;
    bool all = false;
};

// Parses -o FILE, --race RACE and --all; nullopt (after a message) for anything else.
std::optional<ExportArgs> ParseExportArgs(const Context& ctx, const char* command)
{
    ExportArgs parsed;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        const bool hasValue = i + 1 < ctx.args.size();
        if (a == "-o" && hasValue) {
            parsed.out = ctx.args[++i];
        } else if (a == "--race" && hasValue) {
            parsed.race = ParseIndex(ctx.args[++i]);
            if (!parsed.race) {
                std::cerr << "furlox-cli " << command << ": RACE must be a race index (0, 1, …)\n";
                return std::nullopt;
            }
        } else if (a == "--all") {
            parsed.all = true;
        } else {
            std::cerr << "furlox-cli " << command << ": unexpected argument " << a << "\n";
            return std::nullopt;
        }
    }
    return parsed;
}

} // namespace

std::optional<int> ParseIndex(const std::string& text)
{
    if (text.empty() || text.size() > 6) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

kol::RaceDay RequireRaceDay(const Context& ctx)
{
    kol::RaceDay day;
    const kol::LoadOutcome outcome = LoadWorkDay(ctx.workDir, day);
    if (!outcome.loaded) {
        throw Error("作業フォルダ "_sj + PathText(ctx.workDir) +
                    " にレースデータ(kol_den1.kd2, kol_den2.kd2, kol_uma.kd2)がありません。"_sj);
    }
    for (const std::string& notice : outcome.notices) {
        PrintError(notice);
    }
    return day;
}

int CmdText(const Context& ctx)
{
    const std::optional<ExportArgs> args = ParseExportArgs(ctx, "text");
    if (!args || args->out.empty() || args->all == args->race.has_value()) {
        std::cerr << "usage: furlox-cli text -o FILE (--race RACE | --all)\n";
        return 2;
    }
    const kol::RaceDay day = RequireRaceDay(ctx);
    const std::string bytes =
        args->all ? AllRacesText(day) : OneRaceText(AnalyseRace(day, *args->race));
    WriteExportFile(args->out, bytes);
    return 0;
}

int CmdHtml(const Context& ctx)
{
    const std::optional<ExportArgs> args = ParseExportArgs(ctx, "html");
    if (!args || args->out.empty() || !args->race || args->all) {
        std::cerr << "usage: furlox-cli html -o FILE --race RACE\n";
        return 2;
    }
    const kol::RaceDay day = RequireRaceDay(ctx);
    WriteHtmlExport(AnalyseRace(day, *args->race), args->out, ctx.workDir);
    return 0;
}

int CmdPlot(const Context& ctx)
{
    const std::optional<ExportArgs> args = ParseExportArgs(ctx, "plot");
    if (!args || args->out.empty() || args->race || args->all) {
        std::cerr << "usage: furlox-cli plot -o FILE\n";
        return 2;
    }
    const kol::RaceDay day = RequireRaceDay(ctx);
    WriteExportFile(args->out, PlotText(day));
    return 0;
}

} // namespace furlox::cli
