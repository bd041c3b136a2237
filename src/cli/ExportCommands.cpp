// furlox-cli text, html and plot: the exports of the output menu, byte for byte; and csv.
#include <iostream>
#include <optional>

#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "cli/Cli.h"
#include "kol/WorkDir.h"
#include "output/CsvExport.h"
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
            parsed.out = Utf8Path(ctx.args[++i]);
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
    std::optional<kol::LoadedDay> loaded = kol::LoadWorkDay(ctx.workDir);
    if (!loaded) {
        throw Error(kol::NoRaceDataMessage(ctx.workDir));
    }
    for (const std::string& warning : loaded->warnings) {
        PrintError(warning);
    }
    return std::move(loaded->day);
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

int CmdCsv(const Context& ctx)
{
    std::filesystem::path out;
    CsvEncoding encoding = CsvEncoding::Utf8;
    bool usage = false;
    for (std::size_t i = 0; i < ctx.args.size() && !usage; ++i) {
        const std::string& a = ctx.args[i];
        const bool hasValue = i + 1 < ctx.args.size();
        if (a == "-o" && hasValue) {
            out = Utf8Path(ctx.args[++i]);
        } else if (a == "--encoding" && hasValue) {
            const std::string& name = ctx.args[++i];
            if (name == "utf-8" || name == "utf8") {
                encoding = CsvEncoding::Utf8;
            } else if (name == "cp932" || name == "shift-jis" || name == "sjis") {
                encoding = CsvEncoding::Cp932;
            } else {
                std::cerr << "furlox-cli csv: unknown encoding " << name << "\n";
                usage = true;
            }
        } else {
            std::cerr << "furlox-cli csv: unexpected argument " << a << "\n";
            usage = true;
        }
    }
    if (usage || out.empty()) {
        std::cerr << "usage: furlox-cli csv -o FILE [--encoding utf-8|cp932]\n";
        return 2;
    }
    const kol::RaceDay day = RequireRaceDay(ctx);
    const DayCsv csv = BuildDayCsv(day, encoding);
    WriteExportFile(out, csv.bytes);
    for (const std::string& failure : csv.failures) {
        PrintError(failure);
    }
    return csv.failures.empty() ? 0 : 1;
}

} // namespace furlox::cli
