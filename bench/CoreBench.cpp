// Speed of the core where the user waits: loading a race day, analysing its races and the
// two batch exports, each beside a baseline measured in the same run, and how loading and
// the exports grow with the number of races. Given `--library WORKDIR` (a work directory
// whose library holds a season), also the season library's queries and its open; given
// `--season WORKDIR` (a library of 100 full days), its results and its tally.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <system_error>

#include "analysis/FxValue.h"
#include "analysis/RaceAnalysis.h"
#include "kol/RaceDay.h"
#include "kol/SampleDay.h"
#include "library/Library.h"
#include "library/Results.h"
#include "library/Transaction.h"
#include "output/CsvExport.h"
#include "output/PlotExport.h"
#include "output/RaceCard.h"
#include "output/TextExport.h"

namespace fs = std::filesystem;
using namespace furlox;

namespace {

constexpr int kFullDayRaces = 36;
constexpr int kScaleSteps[] = {1, 6, 12, 24, 36};

// The race days the benchmarks read: one folder per race count, all made from one seed so
// that the 36-race day holds the same bytes as `furlox-cli sample --seed 1 --full`.
class BenchData
{
public:
    BenchData()
    {
        std::string pattern = (fs::temp_directory_path() / "furlox-bench-XXXXXX").string();
        const char* made = ::mkdtemp(pattern.data());
        if (made == nullptr) {
            std::perror("furlox_bench: mkdtemp");
            std::exit(1);
        }
        m_root = made;
        for (int races : kScaleSteps) {
            kol::SampleOptions options;
            options.seed = 1;
            options.races = races;
            options.full = true;
            kol::WriteSampleDay(options, Dir(races));
            std::optional<kol::LoadedDay> loaded = kol::LoadKolFiles(Dir(races));
            if (!loaded || loaded->day.RaceCount() != races) {
                std::cerr << "furlox_bench: the sample day of " << races << " races did not load\n";
                std::exit(1);
            }
            m_days.emplace(races, std::move(loaded->day));
        }
    }
    ~BenchData()
    {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    BenchData(const BenchData&) = delete;
    BenchData& operator=(const BenchData&) = delete;

    fs::path Dir(int races) const { return m_root / ("day" + std::to_string(races)); }
    const kol::RaceDay& Day(int races) const { return m_days.at(races); }
    const kol::RaceDay& FullDay() const { return Day(kFullDayRaces); }

private:
    fs::path m_root;
    std::map<int, kol::RaceDay> m_days;
};

BenchData& Data()
{
    static BenchData data;
    return data;
}

// What any program must at least do to get the day into memory: each file read whole.
std::string ReadWhole(const fs::path& path)
{
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    std::error_code ec;
    bytes.resize(static_cast<std::size_t>(fs::file_size(path, ec)));
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    bytes.resize(got);
    std::fclose(file);
    return bytes;
}

void PerRace(benchmark::State& state, int races)
{
    state.counters["per_race"] = benchmark::Counter(static_cast<double>(races),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

// ---- loading ---------------------------------------------------------------------------

void BM_ReadFilesPlain(benchmark::State& state)
{
    const fs::path dir = Data().Dir(kFullDayRaces);
    for (auto _ : state) {
        std::string race = ReadWhole(dir / kol::kRaceFileName);
        std::string entry = ReadWhole(dir / kol::kEntryFileName);
        std::string horse = ReadWhole(dir / kol::kHorseFileName);
        benchmark::DoNotOptimize(race.data());
        benchmark::DoNotOptimize(entry.data());
        benchmark::DoNotOptimize(horse.data());
    }
}
BENCHMARK(BM_ReadFilesPlain)->Unit(benchmark::kMicrosecond);

void BM_LoadKolFiles(benchmark::State& state)
{
    const fs::path dir = Data().Dir(kFullDayRaces);
    for (auto _ : state) {
        const std::optional<kol::LoadedDay> loaded = kol::LoadKolFiles(dir);
        benchmark::DoNotOptimize(loaded->day.horseLines.data());
    }
}
BENCHMARK(BM_LoadKolFiles)->Unit(benchmark::kMicrosecond);

// ---- analysis --------------------------------------------------------------------------

// The figures alone: five CalcFxValue calls for every runner of the given races, reaching the
// horse lines the way the analysis does.
int FxValuesOfRaces(const kol::RaceDay& day, int from, int to)
{
    int sum = 0;
    for (int i = from; i < to; ++i) {
        const int first = kol::FirstEntryIndex(day, i);
        const int heads = kol::HeadCount(day, i);
        for (int r = 0; r < heads; ++r) {
            const std::string_view horse = day.HorseLine(first + r);
            for (int run = 0; run < 5; ++run) {
                sum += CalcFxValue(horse, run);
            }
        }
    }
    return sum;
}

void BM_FxValueAllRaces(benchmark::State& state)
{
    const kol::RaceDay& day = Data().FullDay();
    for (auto _ : state) {
        benchmark::DoNotOptimize(FxValuesOfRaces(day, 0, day.RaceCount()));
    }
    PerRace(state, day.RaceCount());
}
BENCHMARK(BM_FxValueAllRaces)->Unit(benchmark::kMicrosecond);

void BM_AnalyseAllRaces(benchmark::State& state)
{
    const kol::RaceDay& day = Data().FullDay();
    for (auto _ : state) {
        for (int i = 0; i < day.RaceCount(); ++i) {
            AnalysedRace race = AnalyseRace(day, i);
            benchmark::DoNotOptimize(race.runners.data());
        }
    }
    PerRace(state, day.RaceCount());
}
BENCHMARK(BM_AnalyseAllRaces)->Unit(benchmark::kMicrosecond);

// One race per iteration, stepping through the day so that every kind of race is counted.
void BM_FxValueOneRace(benchmark::State& state)
{
    const kol::RaceDay& day = Data().FullDay();
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FxValuesOfRaces(day, i, i + 1));
        i = (i + 1) % day.RaceCount();
    }
}
BENCHMARK(BM_FxValueOneRace)->Unit(benchmark::kMicrosecond);

void BM_AnalyseOneRace(benchmark::State& state)
{
    const kol::RaceDay& day = Data().FullDay();
    int i = 0;
    for (auto _ : state) {
        AnalysedRace race = AnalyseRace(day, i);
        benchmark::DoNotOptimize(race.runners.data());
        i = (i + 1) % day.RaceCount();
    }
}
BENCHMARK(BM_AnalyseOneRace)->Unit(benchmark::kMicrosecond);

// ---- batch exports (each analyses every race in turn) -----------------------------------

void BM_AllRacesText(benchmark::State& state)
{
    const kol::RaceDay& day = Data().FullDay();
    for (auto _ : state) {
        std::string text = AllRacesText(day);
        benchmark::DoNotOptimize(text.data());
    }
    PerRace(state, day.RaceCount());
}
BENCHMARK(BM_AllRacesText)->Unit(benchmark::kMicrosecond);

void BM_PlotText(benchmark::State& state)
{
    const kol::RaceDay& day = Data().FullDay();
    for (auto _ : state) {
        std::string text = PlotText(day);
        benchmark::DoNotOptimize(text.data());
    }
    PerRace(state, day.RaceCount());
}
BENCHMARK(BM_PlotText)->Unit(benchmark::kMicrosecond);

void BM_DayCsv(benchmark::State& state)
{
    const kol::RaceDay& day = Data().FullDay();
    for (auto _ : state) {
        DayCsv csv = BuildDayCsv(day, CsvEncoding::Utf8);
        benchmark::DoNotOptimize(csv.bytes.data());
    }
    PerRace(state, day.RaceCount());
}
BENCHMARK(BM_DayCsv)->Unit(benchmark::kMicrosecond);

// The core's share of the race card PDF: every race analysed, its past runs read and the
// pages laid out; the drawing is measured in the window benchmarks.
void BM_RaceCardLayout(benchmark::State& state)
{
    const kol::RaceDay& day = Data().FullDay();
    for (auto _ : state) {
        const std::vector<RaceCardRace> card = BuildRaceCard(day, AllRaceIndexes(day));
        std::vector<RaceCardPage> pages = LayoutRaceCard(card, 2770, 1900, RaceCardSettings());
        benchmark::DoNotOptimize(pages.data());
    }
    PerRace(state, day.RaceCount());
}
BENCHMARK(BM_RaceCardLayout)->Unit(benchmark::kMicrosecond);

// ---- scaling over the number of races ---------------------------------------------------

void ScaleArgs(benchmark::internal::Benchmark* b)
{
    for (int races : kScaleSteps) {
        b->Arg(races);
    }
    b->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);
}

void BM_ScaleLoadKolFiles(benchmark::State& state)
{
    const int races = static_cast<int>(state.range(0));
    const fs::path dir = Data().Dir(races);
    for (auto _ : state) {
        const std::optional<kol::LoadedDay> loaded = kol::LoadKolFiles(dir);
        benchmark::DoNotOptimize(loaded->day.horseLines.data());
    }
    state.SetComplexityN(races);
    PerRace(state, races);
}
BENCHMARK(BM_ScaleLoadKolFiles)->Apply(ScaleArgs);

void BM_ScaleAllRacesText(benchmark::State& state)
{
    const int races = static_cast<int>(state.range(0));
    const kol::RaceDay& day = Data().Day(races);
    for (auto _ : state) {
        std::string text = AllRacesText(day);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetComplexityN(races);
    PerRace(state, races);
}
BENCHMARK(BM_ScaleAllRacesText)->Apply(ScaleArgs);

void BM_ScalePlotText(benchmark::State& state)
{
    const int races = static_cast<int>(state.range(0));
    const kol::RaceDay& day = Data().Day(races);
    for (auto _ : state) {
        std::string text = PlotText(day);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetComplexityN(races);
    PerRace(state, races);
}
BENCHMARK(BM_ScalePlotText)->Apply(ScaleArgs);

// ---- the season library ----------------------------------------------------------------

// The horse with the most runners in the library: the longest history to put together.
std::string BusiestHorse(library::Library& season)
{
    library::Statement busiest = season.Db().Prepare(
        "SELECT name FROM runners GROUP BY name ORDER BY count(*) DESC, name LIMIT 1");
    return busiest.Step() ? busiest.Text(0) : std::string();
}

void RegisterLibraryBenchmarks(const fs::path& workDir)
{
    benchmark::RegisterBenchmark("BM_LibraryOpen", [workDir](benchmark::State& state) {
        for (auto _ : state) {
            library::Library season = library::Library::Open(workDir);
            benchmark::DoNotOptimize(&season);
        }
    })->Unit(benchmark::kMillisecond);
    // The baseline of the open: the database file opened and its schema read.
    benchmark::RegisterBenchmark("BM_LibraryOpenBare", [workDir](benchmark::State& state) {
        for (auto _ : state) {
            library::Database bare = library::Database::Open(library::Library::FileIn(workDir));
            benchmark::DoNotOptimize(bare.UserVersion());
        }
    })->Unit(benchmark::kMillisecond);

    static std::optional<library::Library> season;
    season.emplace(library::Library::Open(workDir));
    benchmark::RegisterBenchmark("BM_LibraryDays", [](benchmark::State& state) {
        for (auto _ : state) {
            benchmark::DoNotOptimize(season->Days().data());
        }
    })->Unit(benchmark::kMillisecond);
    // The baseline of the day list: the dates alone, newest first.
    benchmark::RegisterBenchmark("BM_LibraryDatesBare", [](benchmark::State& state) {
        for (auto _ : state) {
            library::Statement dates =
                season->Db().Prepare("SELECT date FROM days ORDER BY date DESC");
            int count = 0;
            while (dates.Step()) {
                ++count;
            }
            benchmark::DoNotOptimize(count);
        }
    })->Unit(benchmark::kMillisecond);

    const std::string horse = BusiestHorse(*season);
    benchmark::RegisterBenchmark("BM_LibraryHistory", [horse](benchmark::State& state) {
        std::size_t runs = 0;
        for (auto _ : state) {
            runs = season->History(horse).size();
            benchmark::DoNotOptimize(runs);
        }
        state.counters["runs"] = static_cast<double>(runs);
    })->Unit(benchmark::kMicrosecond);
    // The baseline of a history: the horse's runner rows found through the name's index.
    benchmark::RegisterBenchmark("BM_LibraryRunnersBare", [horse](benchmark::State& state) {
        for (auto _ : state) {
            library::Statement rows =
                season->Db().Prepare("SELECT count(*) FROM runners WHERE name = ?");
            rows.BindAll(horse);
            rows.Step();
            benchmark::DoNotOptimize(rows.Int(0));
        }
    })->Unit(benchmark::kMicrosecond);
}

// A library of a season of full days: the results an import recomputes, and the tally.
void RegisterSeasonBenchmarks(const fs::path& workDir)
{
    static std::optional<library::Library> season;
    season.emplace(library::Library::Open(workDir));
    std::int64_t newest = 0;
    {
        library::Statement day =
            season->Db().Prepare("SELECT id FROM days ORDER BY date DESC LIMIT 1");
        if (day.Step()) {
            newest = day.Int64(0);
        }
    }
    // What the import of the newest day adds to its transaction: the results of the races in
    // which its blocks can change a runner's result, and of its own races, rebuilt (and
    // rolled back, to leave the library as it was).
    benchmark::RegisterBenchmark("BM_SeasonResultsAfterImport", [newest](benchmark::State& state) {
        std::size_t races = 0;
        for (auto _ : state) {
            library::Transaction transaction(season->Db());
            std::vector<std::int64_t> touched = library::RacesResultedBy(season->Db(), newest);
            const std::vector<std::int64_t> own = library::RacesOfDay(season->Db(), newest);
            touched.insert(touched.end(), own.begin(), own.end());
            library::RefreshRaces(season->Db(), touched);
            races = touched.size();
        }
        state.counters["races"] = static_cast<double>(races);
    })->Unit(benchmark::kMillisecond);
    // The same before the races were chosen: every race of every meeting the day names.
    benchmark::RegisterBenchmark("BM_SeasonResultsOfMeetings", [newest](benchmark::State& state) {
        std::size_t meetings = 0;
        for (auto _ : state) {
            library::Transaction transaction(season->Db());
            const std::vector<library::RaceKey> touched =
                library::RacesTouchedBy(season->Db(), newest);
            library::RefreshResults(season->Db(), touched);
            meetings = touched.size();
        }
        state.counters["meetings"] = static_cast<double>(meetings);
    })->Unit(benchmark::kMillisecond);
    // Every race's results again, as the migration to results does.
    benchmark::RegisterBenchmark("BM_SeasonResultsRebuild", [](benchmark::State& state) {
        for (auto _ : state) {
            library::Transaction transaction(season->Db());
            library::RebuildResults(season->Db());
        }
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_SeasonTally", [](benchmark::State& state) {
        int races = 0;
        for (auto _ : state) {
            races = season->Tally({}).races;
            benchmark::DoNotOptimize(races);
        }
        state.counters["races"] = races;
    })->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    // Our own option first; Google Benchmark refuses what it does not know.
    std::optional<fs::path> libraryDir;
    std::optional<fs::path> seasonDir;
    for (int i = 1; i + 1 < argc;) {
        const std::string option = argv[i];
        if (option != "--library" && option != "--season") {
            ++i;
            continue;
        }
        (option == "--library" ? libraryDir : seasonDir) = fs::path(argv[i + 1]);
        for (int k = i; k + 2 <= argc; ++k) {
            argv[k] = argv[k + 2];
        }
        argc -= 2;
    }
    if (libraryDir) {
        RegisterLibraryBenchmarks(*libraryDir);
    }
    if (seasonDir) {
        RegisterSeasonBenchmarks(*seasonDir);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    Data(); // the sample days are made before any timing starts
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
