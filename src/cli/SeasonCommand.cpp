#include <charconv>
#include <cstdint>
#include <iostream>

#include "archive/LhaWriter.h"
#include "base/AtomicFile.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "cli/Cli.h"
#include "kol/RaceDay.h"
#include "kol/SampleSeason.h"

namespace furlox::cli {
namespace {

constexpr const char* kSeasonUsage =
    "usage: furlox-cli sample-season --seed N --days D (1-2000) [--full] --out DIR\n";

std::optional<std::uint64_t> ParseSeed(const std::string& text)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace

int CmdSampleSeason(const Context& ctx)
{
    kol::SeasonOptions options;
    std::filesystem::path out;
    bool haveSeed = false, haveDays = false;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        const bool hasValue = i + 1 < ctx.args.size();
        if (a == "--seed" && hasValue) {
            const std::optional<std::uint64_t> seed = ParseSeed(ctx.args[++i]);
            if (!seed) {
                std::cerr << "furlox-cli sample-season: the seed is a whole number\n"
                          << kSeasonUsage;
                return 2;
            }
            options.seed = *seed;
            haveSeed = true;
        } else if (a == "--days" && hasValue) {
            const std::optional<int> days = ParseIndex(ctx.args[++i]);
            options.days = days.value_or(0);
            haveDays = true;
        } else if (a == "--full") {
            options.full = true;
        } else if (a == "--out" && hasValue) {
            out = Utf8Path(ctx.args[++i]);
        } else {
            std::cerr << "furlox-cli sample-season: unexpected argument " << a << "\n";
            std::cerr << kSeasonUsage;
            return 2;
        }
    }
    if (!haveSeed || !haveDays || out.empty() || options.days < 1 ||
        options.days > kol::kMaxSeasonDays) {
        std::cerr << kSeasonUsage;
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (!std::filesystem::is_directory(out, ec)) {
        throw Error("フォルダ "_sj + PathText(out) + " を作成できません"_sj);
    }

    // Progress for a person watching: one line on the terminal, rewritten in place.
    const bool terminal = StderrIsTerminal();
    kol::SampleSeason season(options);
    while (!season.Done()) {
        const kol::SeasonDay day = season.NextDay();
        const std::string name = kol::SeasonArchiveName(day.date);
        if (terminal) {
            std::cerr << "\r[" << day.index + 1 << '/' << options.days << "] " << name
                      << std::flush;
        }
        const std::string bytes =
            archive::MakeLhaFiles({{kol::kRaceFileName, day.files.raceFile},
                                   {kol::kEntryFileName, day.files.entryFile},
                                   {kol::kHorseFileName, day.files.horseFile}},
                                  kol::SeasonPackTime(day.date));
        // Each archive whole or not at all: a stopped run leaves the days before it.
        if (!WriteFileAtomic(out / name, bytes)) {
            if (terminal) {
                std::cerr << '\n';
            }
            throw Error("ファイル "_sj + PathText(out / name) + " を作成できません"_sj);
        }
    }
    if (terminal) {
        std::cerr << '\r' << std::string(40, ' ') << '\r' << std::flush;
    }
    return 0;
}

} // namespace furlox::cli
