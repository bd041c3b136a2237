// The windows of the season's results, offscreen, on a small sample season in the library:
// the day's runners, the results of the shown race (bets panel and detail window), the tally.
#include <QBarSet>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "analysis/AnalysedRace.h"
#include "app/ui/Application.h"
#include "app/ui/uniVelko.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"
#include "detail/ui/uniSyosai.h"
#include "kol/SampleSeason.h"
#include "library/DayRunners.h"
#include "library/Library.h"
#include "library/TallyTable.h"
#include "library/ui/DayRunnersWindow.h"
#include "library/ui/LibraryWindow.h"
#include "library/ui/TallyWindow.h"
#include "support/HeadlessPlatform.h"
#include "support/LhaWriter.h"

using namespace furlox;
using namespace furlox::ui;
namespace fs = std::filesystem;

namespace {

// Enough days that the first days' horses have run again.
constexpr int kSeasonDays = 10;

QString Cell(const QAbstractItemModel* model, int row, int column)
{
    return model->index(row, column).data().toString();
}

QString Cell(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

// The counts and rates of a row as the tally window shows them.
QStringList CountRow(const library::MarkCounts& counts)
{
    QStringList cells;
    for (const std::string& cell : library::CountCells(counts)) {
        cells << Q(cell);
    }
    return cells;
}

QStringList TableRow(const QTableWidget* table, int row, int first, int count)
{
    QStringList cells;
    for (int c = first; c < first + count; ++c) {
        cells << Cell(table, row, c);
    }
    return cells;
}

} // namespace

class ResultWindowsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::vector<library::Date> m_dates;
    std::vector<fs::path> m_archives;
    QStringList m_messages;

    fs::path WorkDir() const { return PathOf(m_dir.path()) / "work"; }

    // A main window with its detail window on the season's first day, whose later days are
    // in the library.
    struct Main
    {
        TfrmVelko window;
        TfrmSyosai detail;
        explicit Main(const fs::path& workDir) : window({workDir, {}})
        {
            window.AttachDetailWindow(&detail);
        }
    };

    void OpenFirstDay(Main& main)
    {
        main.window.OpenLibraryDay(m_dates.front());
        QVERIFY2(main.window.RaceShown(), qPrintable(m_messages.join(QLatin1Char('|'))));
        QVERIFY(main.window.DayResults());
    }

private slots:
    void initTestCase()
    {
        fs::create_directories(WorkDir());
        const fs::path archives = PathOf(m_dir.path()) / "archives";
        fs::create_directories(archives);
        kol::SampleSeason season({7, kSeasonDays, false});
        while (!season.Done()) {
            const kol::SeasonDay day = season.NextDay();
            m_dates.push_back(day.date);
            const fs::path path = archives / kol::SeasonArchiveName(day.date);
            std::ofstream out(path, std::ios::binary);
            const std::string bytes = archive::MakeLhaFiles({{"kol_den1.kd2", day.files.raceFile},
                                                             {"kol_den2.kd2", day.files.entryFile},
                                                             {"kol_uma.kd2", day.files.horseFile}});
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            m_archives.push_back(path);
        }
        library::Library library = library::Library::Open(WorkDir());
        for (const library::ImportItem& item : library.ImportMany(m_archives)) {
            QVERIFY2(item.result, item.refusal.c_str());
        }
    }

    void init()
    {
        m_messages.clear();
        Dialogs::Preset() = {};
        Dialogs::Preset().message = [this](QWidget*, const QString&, const QString& text,
                                           MessageKind) { m_messages << text; };
    }

    void cleanup() { Dialogs::Preset() = {}; }

    void theDaysRunnersListEveryRunnerWithTheLibrarysResults()
    {
        Main main(WorkDir());
        OpenFirstDay(main);
        main.window.RunnersClick();
        TfrmDayRunners* window = main.window.RunnersWindow();
        QVERIFY(window && window->isVisible());
        const kol::RaceDay& day = main.window.LoadedDay();
        QCOMPARE(window->Model()->rowCount(), static_cast<int>(day.entryLines.size()));

        // Every runner's values are the analysis of its race; finish and popularity are the
        // library's results of that race, where it knows them.
        const std::vector<library::RaceResults> results =
            *library::Library::Open(WorkDir()).Results(m_dates.front());
        int known = 0;
        for (int row = 0; row < window->Model()->rowCount(); ++row) {
            const library::DayRunner& runner = window->Model()->At(row);
            const library::RaceResults& race = results[static_cast<std::size_t>(runner.raceIndex)];
            const library::RunnerOfDay& stored =
                race.runners[static_cast<std::size_t>(runner.runner.horseNumber - 1)];
            QCOMPARE(static_cast<int>(stored.mark), static_cast<int>(runner.runner.mark));
            QCOMPARE(runner.result.has_value(), stored.result.has_value());
            if (stored.result) {
                ++known;
                QCOMPARE(runner.result->finish, stored.result->finish);
                QCOMPARE(runner.result->popularity, stored.result->popularity);
            }
        }
        QVERIFY(known > 0);
        QVERIFY(known < window->Model()->rowCount()); // the last days give no result yet
        QVERIFY(window->StatusLine()->text().contains(QString::number(known)));
    }

    void runnersSortAsNumbersWithTheEmptyCellsLast()
    {
        Main main(WorkDir());
        OpenFirstDay(main);
        main.window.RunnersClick();
        TfrmDayRunners* window = main.window.RunnersWindow();
        QTableView* table = window->Table();
        const QAbstractItemModel* shown = table->model();
        const int rows = shown->rowCount();
        for (Qt::SortOrder order : {Qt::DescendingOrder, Qt::AscendingOrder}) {
            table->sortByColumn(library::kRunnerTotal, order);
            bool emptySeen = false;
            double last = order == Qt::DescendingOrder ? 1e9 : -1e9;
            for (int row = 0; row < rows; ++row) {
                const QString text = Cell(shown, row, library::kRunnerTotal);
                if (text == QStringLiteral("*")) { // no figure at all: as in the race grid
                    emptySeen = true;
                    continue;
                }
                QVERIFY2(!emptySeen, "a total after an empty one");
                const double value = text.toDouble();
                QVERIFY2(order == Qt::DescendingOrder ? value <= last : value >= last,
                         qPrintable(QStringLiteral("%1 after %2").arg(value).arg(last)));
                last = value;
            }
        }
        // "100.0" above "99.5" and "-5.0" below "4.0": numbers, not texts.
        table->sortByColumn(library::kRunnerTotal, Qt::DescendingOrder);
        QCOMPARE(Cell(shown, 0, library::kRunnerTotal).toDouble(), [&] {
            double best = -1e9;
            for (int row = 0; row < rows; ++row) {
                const QString text = Cell(shown, row, library::kRunnerTotal);
                if (text != QStringLiteral("*")) {
                    best = std::max(best, text.toDouble());
                }
            }
            return best;
        }());
        // The finish: the places first, the runners without a result last.
        table->sortByColumn(library::kRunnerFinish, Qt::AscendingOrder);
        QCOMPARE(Cell(shown, 0, library::kRunnerFinish), QStringLiteral("1着"));
        QCOMPARE(Cell(shown, rows - 1, library::kRunnerFinish), QString());
        // The marks ◎ first.
        table->sortByColumn(library::kRunnerMark, Qt::AscendingOrder);
        QCOMPARE(Cell(shown, 0, library::kRunnerMark), QStringLiteral("◎"));
        QCOMPARE(Cell(shown, rows - 1, library::kRunnerMark), QString());
    }

    void runnersFilterByCourseRaceMarkAndTheOverlookedTopPick()
    {
        Main main(WorkDir());
        OpenFirstDay(main);
        main.window.RunnersClick();
        TfrmDayRunners* window = main.window.RunnersWindow();
        const QAbstractItemModel* shown = window->Table()->model();
        const int all = shown->rowCount();

        window->ChooseMark(Mark::DoubleCircle);
        QVERIFY(shown->rowCount() > 0);
        QVERIFY(shown->rowCount() <= main.window.LoadedDay().RaceCount()); // one ◎ a race
        for (int row = 0; row < shown->rowCount(); ++row) {
            QCOMPARE(Cell(shown, row, library::kRunnerMark), QStringLiteral("◎"));
        }

        window->ChooseOverlooked(true);
        QVERIFY(shown->rowCount() < main.window.LoadedDay().RaceCount());
        for (int row = 0; row < shown->rowCount(); ++row) {
            const QString popularity = Cell(shown, row, library::kRunnerPopularity);
            QVERIFY(popularity.endsWith(QStringLiteral("人")));
            QVERIFY(popularity.chopped(1).toInt() >= 4);
        }
        window->ChooseOverlooked(false);
        window->ChooseMark(std::nullopt);
        QCOMPARE(shown->rowCount(), all);

        // A course lists its races only; a race its runners only.
        const int course = main.window.LoadedDay().races.back().courseCode;
        window->ChooseCourse(course);
        QVERIFY(shown->rowCount() < all);
        QVERIFY(window->RaceBox()->count() > 1);
        for (int i = 1; i < window->RaceBox()->count(); ++i) {
            const int raceIndex = window->RaceBox()->itemData(i).toInt();
            QCOMPARE(main.window.LoadedDay().races[static_cast<std::size_t>(raceIndex)].courseCode,
                     course);
        }
        const int raceIndex = window->RaceBox()->itemData(1).toInt();
        window->ChooseRace(raceIndex);
        QCOMPARE(shown->rowCount(),
                 kol::HeadCount(main.window.LoadedDay(), raceIndex)); // that race's runners
        window->ChooseRace(std::nullopt);
        window->ChooseCourse(std::nullopt);
        QCOMPARE(shown->rowCount(), all);
    }

    void aDoubleClickOpensTheRaceWithTheHorsesDetail()
    {
        Main main(WorkDir());
        OpenFirstDay(main);
        main.window.RunnersClick();
        TfrmDayRunners* window = main.window.RunnersWindow();
        QTableView* table = window->Table();
        table->sortByColumn(library::kRunnerTotal, Qt::DescendingOrder);
        const library::DayRunner& best =
            window->Model()->At(window->Proxy()->mapToSource(table->model()->index(0, 0)).row());
        const int raceIndex = best.raceIndex;
        const int horse = best.runner.horseNumber;
        QVERIFY(raceIndex != 0 || horse != 1);

        table->selectRow(0);
        const QRect cell = table->visualRect(table->model()->index(0, library::kRunnerName));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('|'))));
        QCOMPARE(main.window.CurrentRace(), raceIndex);
        QVERIFY(main.window.RaceShown());
        QVERIFY(main.detail.isVisible());
        QCOMPARE(main.detail.cmbBamei->currentIndex(), horse - 1);
        QCOMPARE(main.detail.HorseName(), Q(best.name));

        // Enter on another row does the same.
        table->setFocus();
        table->selectRow(1);
        QTest::keyClick(table, Qt::Key_Return);
        const library::DayRunner& second =
            window->Model()->At(window->Proxy()->mapToSource(table->model()->index(1, 0)).row());
        QCOMPARE(main.window.CurrentRace(), second.raceIndex);
        QCOMPARE(main.detail.cmbBamei->currentIndex(), second.runner.horseNumber - 1);
    }

    void theShownRacesResultsAreUnderTheBetsAndInTheDetailWindow()
    {
        Main main(WorkDir());
        OpenFirstDay(main);
        const std::vector<library::RaceResults> results =
            *library::Library::Open(WorkDir()).Results(m_dates.front());
        // A race whose winner is known.
        int raceIndex = -1;
        int winner = 0;
        for (const library::RaceResults& race : results) {
            for (const library::RunnerOfDay& runner : race.runners) {
                if (runner.result && runner.result->finish == 1 && runner.result->popularity) {
                    raceIndex = race.raceIndex;
                    winner = runner.horseNumber;
                }
            }
            if (raceIndex >= 0) {
                break;
            }
        }
        QVERIFY(raceIndex >= 0);
        const QString betsBefore = [&] {
            main.window.YosouClick(raceIndex);
            return main.window.lblTan->text();
        }();
        const QString line = main.window.lblResult->text();
        QVERIFY2(line.startsWith(QStringLiteral("結果:\n1着 ")), qPrintable(line));
        QCOMPARE(line.split(QLatin1Char('\n')).size(), 4);
        // Inside the bets panel, below the bets label, whatever its length.
        QVERIFY(main.window.pnl3->rect().contains(main.window.lblResult->geometry()));
        // (The bets label ends in a line break: its last line of text is what counts.)
        const QLabel* bets = main.window.lblTan;
        const int betsBottom =
            bets->y() +
            bets->fontMetrics().lineSpacing() *
                static_cast<int>(bets->text().trimmed().split(QLatin1Char('\n')).size());
        QVERIFY2(
            main.window.lblResult->y() >= betsBottom,
            qPrintable(QStringLiteral("%1 < %2").arg(main.window.lblResult->y()).arg(betsBottom)));
        QCOMPARE(main.window.lblTan->text(), betsBefore); // the bets stay as they were

        main.window.ShowRunner(raceIndex, winner);
        QVERIFY(main.detail.isVisible());
        QVERIFY2(
            main.detail.lblResult->text().startsWith(QStringLiteral("このレースの結果: 1着（")),
            qPrintable(main.detail.lblResult->text()));
        QVERIFY(main.detail.lblResult->text().endsWith(QStringLiteral("番人気）")));

        // A day whose results the library does not have yet shows none.
        main.window.OpenLibraryDay(m_dates.back());
        QVERIFY(main.window.RaceShown());
        QCOMPARE(main.window.lblResult->text(), QString());
        main.window.ShowRunner(0, 1);
        QCOMPARE(main.detail.lblResult->text(), QString());
    }

    void ctrlUAndTheOutputMenuOpenTheRunnersAndCtrlTTheTally()
    {
        Main main(WorkDir());
        OpenFirstDay(main);
        main.window.show();
        main.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        QTest::keyClick(&main.window, Qt::Key_U, Qt::ControlModifier);
        QVERIFY(main.window.RunnersWindow() && main.window.RunnersWindow()->isVisible());
        main.window.RunnersWindow()->close();
        emit main.window.popOutput->aboutToShow();
        QVERIFY(main.window.popRunners->isEnabled());
        main.window.popRunners->trigger();
        QVERIFY(main.window.RunnersWindow()->isVisible());

        main.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        QTest::keyClick(&main.window, Qt::Key_T, Qt::ControlModifier);
        QVERIFY(main.window.TallyWindow() && main.window.TallyWindow()->isVisible());
        QVERIFY(main.window.TallyWindow()->Result().races > 0);

        // From the library window: the chosen day opens, and its runners are listed.
        main.window.LibraryClick();
        TfrmLibrary* library = main.window.LibraryWindow();
        QVERIFY(library->ChooseDay(m_dates[2]));
        main.window.RunnersWindow()->close();
        emit library->runnersRequested(m_dates[2]);
        QCOMPARE(library::DayDate(main.window.LoadedDay()), std::optional(m_dates[2]));
        QVERIFY(main.window.RunnersWindow()->isVisible());
        QCOMPARE(main.window.RunnersWindow()->Model()->rowCount(),
                 static_cast<int>(main.window.LoadedDay().entryLines.size()));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('|'))));
    }

    void withoutADayTheRunnersCommandBeeps()
    {
        QTemporaryDir empty;
        TfrmVelko main({PathOf(empty.path()), {}});
        const int beeps = main.BeepCount();
        main.RunnersClick();
        QCOMPARE(main.BeepCount(), beeps + 1);
        QVERIFY(!main.RunnersWindow());
    }

    void theTallysTablesAreTheLibrarysTally()
    {
        TfrmTally window(WorkDir());
        QVERIFY(window.Refresh());
        // This season at first: the year of the newest day.
        const library::DateRange season = library::ThisSeason(m_dates.back());
        QCOMPARE(window.FromBox()->date(), QDate(static_cast<int>(season.from.year()), 1, 1));
        QCOMPARE(window.ToBox()->date(), QDate(static_cast<int>(season.to.year()), 12, 31));

        library::TallyFilter filter;
        filter.from = season.from;
        filter.to = season.to;
        const library::TallyResult expected = library::Library::Open(WorkDir()).Tally(filter);
        QVERIFY(expected.races > 0);
        QCOMPARE(window.Result().races, expected.races);
        for (int row = 0; row < library::kTallyMarks; ++row) {
            QCOMPARE(TableRow(window.MarkTable(), row, 1, library::kCountColumns),
                     CountRow(expected.marks[static_cast<std::size_t>(row)]));
        }
        QCOMPARE(Cell(window.MarkTable(), 0, 0), QStringLiteral("◎"));
        QCOMPARE(Cell(window.MarkTable(), 5, 0), QStringLiteral("無印"));
        for (int row = 0; row < library::kMarketRows; ++row) {
            QCOMPARE(TableRow(window.MarketTable(), row, 1, library::kCountColumns),
                     CountRow(expected.market[static_cast<std::size_t>(row)]));
        }
        QCOMPARE(Cell(window.MarketTable(), 0, 0), QStringLiteral("1番人気"));
        for (int kind = 0; kind < library::kBetKinds; ++kind) {
            for (int grade = 0; grade < library::kBetGrades; ++grade) {
                const library::BetCounts& bets =
                    expected.bets[static_cast<std::size_t>(kind)][static_cast<std::size_t>(grade)];
                const int row = kind * library::kBetGrades + grade;
                QCOMPARE(Cell(window.BetTable(), row, 2), QString::number(bets.races));
                QCOMPARE(Cell(window.BetTable(), row, 4), QString::number(bets.hits));
                QCOMPARE(Cell(window.BetTable(), row, 5),
                         Q(library::RateText(bets.hits, bets.decided)));
                QCOMPARE(Cell(window.BetTable(), row, 7), QString::number(bets.voids));
            }
        }
        // The chart's bars are the rates of the marks, then of the favourites.
        const library::MarkCounts& top = expected.marks[0];
        QCOMPARE(window.Chart()->WinBars()->count(), library::kTallyMarks + library::kMarketRows);
        QCOMPARE(window.Chart()->WinBars()->at(0), library::RatePercent(top.first, top.starts));
        QVERIFY(std::abs(window.Chart()->WinBars()->at(0) - 100.0 * top.first / top.starts) <=
                0.05);
        const library::MarkCounts& favourite = expected.market[0];
        QCOMPARE(window.Chart()->Top3Bars()->at(library::kTallyMarks),
                 library::Top3Rate(favourite));
        QVERIFY(window.Notes()->text().contains(QString::number(expected.races)));
    }

    void thePresetsAndAFilterTallyAgain()
    {
        TfrmTally window(WorkDir());
        QVERIFY(window.Refresh());
        window.ChooseLastFourWeeks();
        const library::DateRange weeks = library::LastFourWeeks(m_dates.back());
        QCOMPARE(window.ToBox()->date(), QDate(static_cast<int>(weeks.to.year()),
                                               static_cast<int>(unsigned(weeks.to.month())),
                                               static_cast<int>(unsigned(weeks.to.day()))));
        QCOMPARE(window.FromBox()->date().daysTo(window.ToBox()->date()), 27);

        // Dirt races only: the window's tally is the library's with that filter.
        window.SurfaceBox()->setCurrentIndex(
            window.SurfaceBox()->findData(static_cast<int>(library::StoredSurface::Dirt)));
        library::TallyFilter filter;
        filter.from = weeks.from;
        filter.to = weeks.to;
        filter.surface = library::StoredSurface::Dirt;
        const library::TallyResult dirt = library::Library::Open(WorkDir()).Tally(filter);
        QCOMPARE(window.Result().races, dirt.races);
        QCOMPARE(TableRow(window.MarkTable(), 0, 1, library::kCountColumns),
                 CountRow(dirt.marks[0]));
        filter.surface.reset();
        QVERIFY(library::Library::Open(WorkDir()).Tally(filter).races > dirt.races);

        // A class typed with blanks around it.
        window.ClassBox()->setEditText(QStringLiteral(" 未勝利 "));
        QCOMPARE(window.Filter().classText, std::optional(ToCp932("未勝利")));
        window.ChooseThisSeason();
        QCOMPARE(window.FromBox()->date().month(), 1);
        QCOMPARE(window.FromBox()->date().day(), 1);
    }

    void anEmptyLibrarySaysSoInTheNotes()
    {
        QTemporaryDir empty;
        TfrmTally window(PathOf(empty.path()));
        QVERIFY(window.Refresh());
        QCOMPARE(window.Result().races, 0);
        QVERIFY(window.Notes()->text().contains(QStringLiteral("まだありません")));
        QCOMPARE(Cell(window.MarkTable(), 0, library::kCountWinRate + 1), QStringLiteral("－"));
    }
};

int main(int argc, char** argv)
{
    furlox::test::ChooseHeadlessPlatform();
    FurloxApplication app(argc, argv);
    ResultWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ResultWindowsTest.moc"
