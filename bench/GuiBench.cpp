// Speed of the windows, offscreen: switching races in the main window and starting up to the
// first race shown, each beside what Qt alone costs for the same window; the day's race
// card as PDF and the day's runner list beside the analysis of the same races; given a
// season library, the library window's day list filled beside the query alone.
//
//   furlox_gui_bench --workdir DIR [--library WORKDIR] [benchmark flags]
//                                                      the in-process benchmarks
//   furlox_gui_bench --startup-once --workdir DIR      one start-up, then exit at once
//   furlox_gui_bench --startup-once --bare             the same for an empty window
//
// The --startup-once runs are timed from outside, as whole processes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTableView>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "analysis/RaceAnalysis.h"
#include "analysis/ui/RaceGridModel.h"
#include "app/ui/Application.h"
#include "app/ui/uniAbout.h"
#include "app/ui/uniVelko.h"
#include "base/ui/Dialogs.h"
#include "detail/ui/uniSyosai.h"
#include "kol/RaceDay.h"
#include "library/DayRunners.h"
#include "library/Library.h"
#include "library/ui/DayRunnersWindow.h"
#include "library/ui/HorseHistory.h"
#include "library/ui/LibraryWindow.h"
#include "output/RaceCard.h"
#include "output/ui/RaceCardPrinter.h"

namespace fs = std::filesystem;
using namespace furlox;
using namespace furlox::ui;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 500;

fs::path g_workDir;

// The main window with its detail window, as the program's entry makes them.
struct MainWindows
{
    std::unique_ptr<TfrmVelko> main;
    std::unique_ptr<TfrmSyosai> detail;
};

MainWindows MakeMainWindows()
{
    MainWindows w;
    TfrmVelko::Options options;
    options.workDir = g_workDir;
    w.main = std::make_unique<TfrmVelko>(options);
    // A message box would wait for a click that never comes.
    Dialogs::Preset().message = [](QWidget*, const QString&, const QString& text, MessageKind) {
        std::cerr << "furlox_gui_bench: message: " << text.toStdString() << '\n';
    };
    w.detail = std::make_unique<TfrmSyosai>();
    w.main->AttachDetailWindow(w.detail.get());
    w.main->show();
    return w;
}

// Painted and settled: posted layouts run, then the whole window paints now.
void Settle(QWidget& window)
{
    QCoreApplication::processEvents();
    window.repaint();
}

std::unique_ptr<QWidget> MakeBareWindow()
{
    auto window = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint | Qt::Window);
    window->setFixedSize(kWidth, kHeight);
    window->show();
    return window;
}

// The windows the switching benchmarks share; they must go before the application does.
std::unique_ptr<MainWindows> g_shown;

MainWindows& Shown()
{
    if (!g_shown) {
        g_shown = std::make_unique<MainWindows>(MakeMainWindows());
        Settle(*g_shown->main);
    }
    return *g_shown;
}

// The same race painted again, grid included: what a switch costs beyond the painting.
void BM_GuiRepaint(benchmark::State& state)
{
    TfrmVelko& main = *Shown().main;
    for (auto _ : state) {
        main.Grid1->viewport()->update();
        Settle(main);
    }
}
BENCHMARK(BM_GuiRepaint)->Unit(benchmark::kMillisecond);

// The user's step to another race: the analysis, the grid model's reset and the repaint.
void BM_GuiSwitchRace(benchmark::State& state)
{
    TfrmVelko& main = *Shown().main;
    const int races = main.LoadedDay().RaceCount();
    int i = main.CurrentRace();
    for (auto _ : state) {
        i = (i + 1) % races;
        main.AnalyseRace(i);
        Settle(main);
    }
    if (main.CurrentRace() != i) {
        state.SkipWithError("the race shown is not the race asked for");
    }
}
BENCHMARK(BM_GuiSwitchRace)->Unit(benchmark::kMillisecond);

void BM_GuiBareWindow(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<QWidget> window = MakeBareWindow();
        Settle(*window);
    }
}
BENCHMARK(BM_GuiBareWindow)->Unit(benchmark::kMillisecond);

// Start-up within a running application: both windows made, the day loaded, race 0 shown.
void BM_GuiStartUp(benchmark::State& state)
{
    for (auto _ : state) {
        MainWindows w = MakeMainWindows();
        Settle(*w.main);
        if (!w.main->RaceShown()) {
            state.SkipWithError("no race shown at start-up");
            break;
        }
    }
}
BENCHMARK(BM_GuiStartUp)->Unit(benchmark::kMillisecond);

// ---- the day's race card as PDF, beside the analysis of the same races --------------------

const kol::RaceDay& BenchDay()
{
    static const kol::RaceDay day = [] {
        std::optional<kol::LoadedDay> loaded = kol::LoadKolFiles(g_workDir);
        if (!loaded) {
            std::cerr << "furlox_gui_bench: no race day in " << g_workDir << '\n';
            std::exit(1);
        }
        return std::move(loaded->day);
    }();
    return day;
}

void BM_GuiAnalyseAllRaces(benchmark::State& state)
{
    const kol::RaceDay& day = BenchDay();
    for (auto _ : state) {
        for (int i = 0; i < day.RaceCount(); ++i) {
            AnalysedRace race = furlox::AnalyseRace(day, i);
            benchmark::DoNotOptimize(race.runners.data());
        }
    }
}
BENCHMARK(BM_GuiAnalyseAllRaces)->Unit(benchmark::kMillisecond);

// What the user waits for: every race analysed, laid out, drawn and written as a file.
void BM_GuiRaceCardPdf(benchmark::State& state)
{
    const kol::RaceDay& day = BenchDay();
    const fs::path target = fs::temp_directory_path() / "furlox-bench-card.pdf";
    for (auto _ : state) {
        const std::vector<RaceCardRace> card = BuildRaceCard(day, AllRaceIndexes(day));
        WriteRaceCardPdf(target, card, RaceCardSettings());
    }
    std::error_code ec;
    fs::remove(target, ec);
}
BENCHMARK(BM_GuiRaceCardPdf)->Unit(benchmark::kMillisecond);

// ---- the day's runners, beside the analysis of the same races ---------------------------

// What the user waits for at 出走馬一覧 (or a new day with it open): every race analysed,
// the list made, sorted by total as a user first sorts it, and painted.
void BM_GuiDayRunners(benchmark::State& state)
{
    const kol::RaceDay& day = BenchDay();
    TfrmDayRunners window;
    window.resize(1000, 600);
    window.show();
    Settle(window);
    for (auto _ : state) {
        window.SetDay(day, library::DayDate(day), nullptr);
        window.Table()->sortByColumn(library::kRunnerTotal, Qt::DescendingOrder);
        Settle(window);
    }
    if (window.Proxy()->rowCount() != static_cast<int>(window.Model()->rowCount())) {
        state.SkipWithError("the table does not show every runner");
    }
    state.counters["runners"] = window.Model()->rowCount();
}
BENCHMARK(BM_GuiDayRunners)->Unit(benchmark::kMillisecond);

// ---- the library window's day list, beside the query it is filled from -----------------

fs::path g_libraryDir;

struct LibraryWindows
{
    std::unique_ptr<TfrmHorseHistory> history;
    std::unique_ptr<TfrmLibrary> window;
};

// Made once and shown; they too must go before the application does.
std::unique_ptr<LibraryWindows> g_library;

LibraryWindows& ShownLibrary()
{
    if (!g_library) {
        g_library = std::make_unique<LibraryWindows>();
        g_library->history = std::make_unique<TfrmHorseHistory>(g_libraryDir);
        g_library->window = std::make_unique<TfrmLibrary>(g_libraryDir, g_library->history.get());
        g_library->window->show();
        if (!g_library->window->Refresh()) {
            std::cerr << "furlox_gui_bench: no library in " << g_libraryDir << '\n';
            std::exit(1);
        }
        Settle(*g_library->window);
    }
    return *g_library;
}

void RegisterLibraryBenchmarks()
{
    // The days as the window reads them, on a library kept open (the baseline).
    benchmark::RegisterBenchmark("BM_GuiLibraryDays", [](benchmark::State& state) {
        library::Library season = library::Library::Open(g_libraryDir);
        for (auto _ : state) {
            std::vector<library::DaySummary> days = season.Days();
            benchmark::DoNotOptimize(days.data());
        }
    })->Unit(benchmark::kMillisecond);
    // The list filled: the days read, the model reset, the sorted table laid out and painted.
    benchmark::RegisterBenchmark("BM_GuiLibraryDayList", [](benchmark::State& state) {
        TfrmLibrary& window = *ShownLibrary().window;
        library::Library season = library::Library::Open(g_libraryDir);
        for (auto _ : state) {
            window.Model()->SetDays(season.Days());
            Settle(window);
        }
        if (window.Table()->model()->rowCount() !=
            static_cast<int>(window.Model()->Days().size())) {
            state.SkipWithError("the table does not show every day");
        }
    })->Unit(benchmark::kMillisecond);
    // What the user waits for at 開く of the window: the library opened (its check at open
    // included), the list filled and painted.
    benchmark::RegisterBenchmark("BM_GuiLibraryRefresh", [](benchmark::State& state) {
        TfrmLibrary& window = *ShownLibrary().window;
        for (auto _ : state) {
            window.Refresh();
            Settle(window);
        }
    })->Unit(benchmark::kMillisecond);
}

// One start-up as the program makes it (splash, main window, detail window), stopped as soon
// as the first race is on screen. Teardown is skipped: the user does not wait for it.
int StartUpOnce(bool bare)
{
    if (bare) {
        std::unique_ptr<QWidget> window = MakeBareWindow();
        Settle(*window);
        std::fflush(nullptr);
        ::_exit(0);
    }
    auto* splash = new TfrmAbout();
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents();
    MainWindows w = MakeMainWindows();
    Settle(*w.main);
    if (!w.main->RaceShown() || w.main->CurrentRace() != 0) {
        std::cerr << "furlox_gui_bench: race 0 was not shown at start-up\n";
        std::fflush(nullptr);
        ::_exit(1);
    }
    std::fflush(nullptr);
    ::_exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    // Our own options come out of argv before Qt and the benchmark library read it.
    bool startUpOnce = false;
    bool bare = false;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--startup-once") == 0) {
            startUpOnce = true;
        } else if (std::strcmp(argv[i], "--bare") == 0) {
            bare = true;
        } else if (std::strcmp(argv[i], "--workdir") == 0 && i + 1 < argc) {
            g_workDir = argv[++i];
        } else if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc) {
            g_libraryDir = argv[++i];
        } else {
            rest.push_back(argv[i]);
        }
    }
    int restCount = static_cast<int>(rest.size());
    rest.push_back(nullptr);
    if (!bare && g_workDir.empty()) {
        std::cerr << "usage: furlox_gui_bench --workdir DIR [--library WORKDIR] [benchmark flags]\n"
                     "       furlox_gui_bench --startup-once --workdir DIR\n"
                     "       furlox_gui_bench --startup-once --bare\n";
        return 2;
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The user's own window positions and last folder stay out of the measurement.
    QStandardPaths::setTestModeEnabled(true);
    FurloxApplication app(restCount, rest.data());
    if (startUpOnce) {
        return StartUpOnce(bare);
    }

    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) {
        return 1;
    }
    if (!g_libraryDir.empty()) {
        RegisterLibraryBenchmarks();
    }
    Shown(); // the shared windows are made and painted before any timing starts
    benchmark::RunSpecifiedBenchmarks();
    g_library.reset();
    g_shown.reset();
    benchmark::Shutdown();
    return 0;
}
