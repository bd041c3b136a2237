// The library window, the import's progress and a horse's history, offscreen.
#include <QFrame>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "analysis/AnalysedRace.h"
#include "app/MainWindowLayout.h"
#include "app/ui/Application.h"
#include "app/ui/uniVelko.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"
#include "detail/ui/uniSyosai.h"
#include "kol/KolRecords.h"
#include "library/Library.h"
#include "library/SeasonDays.h"
#include "library/ui/HorseHistory.h"
#include "library/ui/ImportProgress.h"
#include "library/ui/LibraryWindow.h"
#include "skin/ui/EzRgnBtn.h"
#include "support/HeadlessPlatform.h"

using namespace furlox;
using namespace furlox::ui;
namespace fs = std::filesystem;

namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

library::Date DateOf(int y, unsigned m, unsigned d)
{
    return library::Date{year(y), month(m), day(d)};
}

// A day of one race at Tokyo: the horse that runs on every day carries its earlier runs.
test::KolBuilder DayOn(const std::string& date, int runners = 3)
{
    std::vector<test::SeasonHorse> horses;
    horses.push_back({"ロングラン",
                      {test::RunOn("05", "12", "01", "02"), test::RunOn("06", "11", "03", "01"),
                       test::RunOn("08", "10", "05", "04"), test::RunOn("09", "09", "07", "05"),
                       test::RunOn("05", "08", "09", "03")}});
    for (int i = 1; i < runners; ++i) {
        horses.push_back({"ホース" + std::to_string(i) + date.substr(6, 2), {}});
    }
    test::KolBuilder b = test::SeasonDay(date, horses);
    // Real horse records carry their prizes, which the detail window reads.
    for (test::Runner& runner : b.race(0).runners) {
        runner.SetHorse(kol::horse::kMainPrize, "0000000000")
            .SetHorse(kol::horse::kPrizePart1, "0000000000")
            .SetHorse(kol::horse::kPrizePart2, "0000000000");
    }
    return b;
}

fs::path WriteArchiveFile(const fs::path& folder, const std::string& name,
                          const test::KolBuilder& b)
{
    fs::create_directories(folder);
    const fs::path path = folder / name;
    std::ofstream out(path, std::ios::binary);
    const std::string bytes = test::ArchiveOf(b);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

QString Cell(QTableView* table, int row, int column)
{
    return table->model()->index(row, column).data().toString();
}

} // namespace

class LibraryWindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_messages;
    QStringList m_questions;
    bool m_answer = true;

    fs::path WorkDir() const { return PathOf(m_dir->path()) / "work"; }
    fs::path Archives() const { return PathOf(m_dir->path()) / "archives"; }

    // Days of 2025-01-04, -11 and -18 (with 3, 5 and 4 runners) in the library.
    void ImportThreeDays()
    {
        const std::vector<fs::path> paths = {
            WriteArchiveFile(Archives(), "a.lzh", DayOn("20250104", 3)),
            WriteArchiveFile(Archives(), "b.lzh", DayOn("20250111", 5)),
            WriteArchiveFile(Archives(), "c.lzh", DayOn("20250118", 4))};
        library::Library library = library::Library::Open(WorkDir());
        for (const library::ImportItem& item : library.ImportMany(paths)) {
            QVERIFY2(item.result, item.refusal.c_str());
        }
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        fs::create_directories(WorkDir());
        m_messages.clear();
        m_questions.clear();
        m_answer = true;
        Dialogs::Preset() = {};
        Dialogs::Preset().message = [this](QWidget*, const QString&, const QString& text,
                                           MessageKind) { m_messages << text; };
        Dialogs::Preset().confirm = [this](const QString&, const QString& text) {
            m_questions << text;
            return m_answer;
        };
    }

    void cleanup()
    {
        Dialogs::Preset() = {};
        m_dir.reset();
    }

    void listIsFilledNewestFirstAndSorts()
    {
        ImportThreeDays();
        TfrmLibrary window(WorkDir(), nullptr);
        QVERIFY(window.Refresh());
        QTableView* table = window.Table();
        QCOMPARE(table->model()->rowCount(), 3);
        QCOMPARE(Cell(table, 0, DayListModel::kDate), QStringLiteral("2025/01/18"));
        QCOMPARE(Cell(table, 2, DayListModel::kDate), QStringLiteral("2025/01/04"));
        QCOMPARE(Cell(table, 0, DayListModel::kWeekday), QStringLiteral("土"));
        QCOMPARE(Cell(table, 0, DayListModel::kCourses), QStringLiteral("中山"));
        QCOMPARE(Cell(table, 0, DayListModel::kRaces), QStringLiteral("1"));
        QCOMPARE(Cell(table, 0, DayListModel::kRunners), QStringLiteral("4"));
        QCOMPARE(Cell(table, 0, DayListModel::kKnown), QStringLiteral("0"));
        // The newest day is chosen; a click on a header sorts by its numbers.
        QCOMPARE(window.ChosenDay(), DateOf(2025, 1, 18));
        table->sortByColumn(DayListModel::kRunners, Qt::DescendingOrder);
        QCOMPARE(Cell(table, 0, DayListModel::kDate), QStringLiteral("2025/01/11"));
        QCOMPARE(Cell(table, 2, DayListModel::kDate), QStringLiteral("2025/01/04"));
        table->sortByColumn(DayListModel::kDate, Qt::AscendingOrder);
        QCOMPARE(Cell(table, 0, DayListModel::kDate), QStringLiteral("2025/01/04"));
        // The chosen day stays chosen through a sort and a refresh.
        QCOMPARE(window.ChosenDay(), DateOf(2025, 1, 18));
        QVERIFY(window.Refresh());
        QCOMPARE(window.ChosenDay(), DateOf(2025, 1, 18));
        QVERIFY(m_messages.isEmpty());
    }

    void anEmptyLibrarySaysHowToFillIt()
    {
        TfrmLibrary window(WorkDir(), nullptr);
        QVERIFY(window.Refresh());
        QCOMPARE(window.Table()->model()->rowCount(), 0);
        QVERIFY(!window.ChosenDay());
        QVERIFY(window.StatusLine()->text().contains(QStringLiteral("まだありません")));
        window.OpenChosenDay();   // nothing chosen: nothing happens
        window.RemoveChosenDay(); // nor here
        QVERIFY(m_questions.isEmpty());
        QVERIFY(m_messages.isEmpty());
    }

    void searchFindsHorsesAndShowsTheirHistory()
    {
        ImportThreeDays();
        TfrmHorseHistory history(WorkDir());
        TfrmLibrary window(WorkDir(), &history);
        QVERIFY(window.Refresh());
        window.SearchBox()->setText(QStringLiteral("　ロング "));
        QCOMPARE(window.FoundHorses()->count(), 1);
        QCOMPARE(window.FoundHorses()->item(0)->text(), QStringLiteral("ロングラン"));
        window.SearchBox()->setText(QStringLiteral("ホース1"));
        QCOMPARE(window.FoundHorses()->count(), 3); // ホース104, ホース111, ホース118
        window.SearchBox()->setText(QStringLiteral("いない馬"));
        QCOMPARE(window.FoundHorses()->count(), 1);
        QVERIFY(!(window.FoundHorses()->item(0)->flags() & Qt::ItemIsEnabled));
        window.ShowFoundHorse(0); // the "not found" line opens nothing
        QVERIFY(!history.isVisible());

        window.SearchBox()->setText(QStringLiteral("ロング"));
        window.ShowFoundHorse(0);
        QVERIFY(history.isVisible());
        QCOMPARE(history.HorseName(), QStringLiteral("ロングラン"));
        QVERIFY(history.Model()->rowCount() > 0);
    }

    void historyRowsOldestFirstWithAPointPerRunWithFx()
    {
        ImportThreeDays();
        TfrmHorseHistory history(WorkDir());
        QVERIFY(history.ShowHorse(QStringLiteral("ロングラン")));
        HistoryModel* model = history.Model();
        // Five blocks (the same in each day, seen once) and the three library races.
        QCOMPARE(model->rowCount(), 8);
        QStringList dates;
        for (int row = 0; row < model->rowCount(); ++row) {
            dates << model->index(row, 0).data().toString();
        }
        QStringList sorted = dates;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(dates, sorted);
        QCOMPARE(dates.first(), QStringLiteral("2024-08-09"));
        QCOMPARE(dates.last(), QStringLiteral("2025-01-18"));
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("中山"));
        QCOMPARE(model->index(0, 7).data().toString(), QStringLiteral("3着"));
        QCOMPARE(model->index(model->rowCount() - 1, 2).data().toString().left(3),
                 QStringLiteral("11R"));
        int withFx = 0;
        for (const library::HistoryRun& run : model->Runs()) {
            withFx += run.fx ? 1 : 0;
        }
        QCOMPARE(history.Chart()->Series()->count(), withFx);
        // The points stand at the runs' places, oldest at the left.
        for (int i = 1; i < history.Chart()->Series()->count(); ++i) {
            QVERIFY(history.Chart()->Series()->at(i).x() >
                    history.Chart()->Series()->at(i - 1).x());
        }
        // Another horse replaces every row and point.
        QVERIFY(history.ShowHorse(QStringLiteral("ホース104")));
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(history.Chart()->Series()->count(), 0);
    }

    void removeAsksFirstAndRemovesOnYes()
    {
        ImportThreeDays();
        TfrmLibrary window(WorkDir(), nullptr);
        QVERIFY(window.Refresh());
        QVERIFY(window.ChooseDay(DateOf(2025, 1, 11)));
        m_answer = false;
        window.RemoveChosenDay();
        QCOMPARE(m_questions.size(), 1);
        QVERIFY(m_questions.first().contains(QStringLiteral("2025/01/11")));
        QCOMPARE(window.Table()->model()->rowCount(), 3);

        m_answer = true;
        QTest::keyClick(window.Table(), Qt::Key_Delete);
        QCOMPARE(m_questions.size(), 2);
        QCOMPARE(window.Table()->model()->rowCount(), 2);
        library::Library library = library::Library::Open(WorkDir());
        QVERIFY(!library.KeptCopy(DateOf(2025, 1, 11)));
        QVERIFY(library.KeptCopy(DateOf(2025, 1, 18)));
        QVERIFY(m_messages.isEmpty());
    }

    void importOfAFolderReportsRefusalsAndACancelKeepsTheFinishedDays()
    {
        for (int i = 0; i < 5; ++i) {
            const std::string date =
                "202502" + std::string(i < 9 ? "0" : "") + std::to_string(i + 1);
            WriteArchiveFile(Archives(), "d" + std::to_string(i) + ".lzh", DayOn(date));
        }
        {
            std::ofstream bad(Archives() / "broken.lzh", std::ios::binary);
            bad << "not an archive at all";
        }
        TfrmLibrary window(WorkDir(), nullptr);
        QVERIFY(window.Refresh());
        // The whole folder: five days, one refusal named with its reason.
        window.Import({Archives()});
        QCOMPARE(window.Table()->model()->rowCount(), 5);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains(QStringLiteral("新しい日 5")));
        QVERIFY(m_messages.first().contains(QStringLiteral("broken.lzh: ")));

        // Again, cancelled while the third archive is announced: two are in, nothing else.
        fs::remove(library::Library::FileIn(WorkDir()));
        fs::remove_all(library::Library::KeptFolderIn(WorkDir()));
        m_messages.clear();
        QStringList shown;
        bool cancelled = false;
        QTimer::singleShot(0, &window, [&] {
            auto* progress = window.findChild<ImportProgress*>();
            QVERIFY(progress);
            connect(progress, &ImportProgress::progressed, progress, [&, progress](int done, int) {
                if (!progress->FileLabel()->text().isEmpty()) {
                    shown << progress->FileLabel()->text();
                }
                if (done == 1) {
                    // An Enter (meant for the folder dialog) is no cancel.
                    QTest::keyClick(progress, Qt::Key_Return);
                }
                if (done == 2 && !cancelled) {
                    cancelled = true;
                    progress->CancelButton()->click();
                }
            });
        });
        window.Import({Archives()});
        QVERIFY(cancelled);
        QCOMPARE(shown.size(), 3); // file by file, none after the cancel
        QCOMPARE(shown.first(), QStringLiteral("broken.lzh"));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains(QStringLiteral("中止")));
        QVERIFY(m_messages.first().contains(QStringLiteral("新しい日 1")));
        library::Library library = library::Library::Open(WorkDir());
        QCOMPARE(library.Days().size(), std::size_t{1});
        QVERIFY(library.Check().sound);
    }

    void ctrlLOpensTheLibraryAndADayOpensAtRaceZero()
    {
        ImportThreeDays();
        TfrmVelko main({WorkDir(), {}});
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(&main, Qt::Key_L, Qt::ControlModifier);
        TfrmLibrary* window = main.LibraryWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->Table()->model()->rowCount(), 3);

        QVERIFY(window->ChooseDay(DateOf(2025, 1, 11)));
        window->OpenChosenDay();
        QCOMPARE(main.CurrentRace(), 0);
        QVERIFY(main.RaceShown());
        QCOMPARE(main.LoadedDay().RaceCount(), 1);
        QCOMPARE(main.Race().headCount, 5);
        // Opened again through the open flow, the day is not imported twice.
        QCOMPARE(window->Table()->model()->rowCount(), 3);
        QVERIFY(m_messages.isEmpty());
    }

    // The day found in the work directory at the first start is kept as its three files, not
    // as an archive; it opens from the list all the same. A day whose kept archive is gone
    // says so and leaves the day shown as it was.
    void aDayKeptAsItsFilesOpensAndOneWithoutItsArchiveLeavesTheDayShown()
    {
        DayOn("20241228", 6).WriteFiles(WorkDir());
        {
            library::Library library = library::Library::Open(WorkDir());
            QVERIFY(library.ImportWorkDay());
        }
        ImportThreeDays();
        TfrmVelko main({WorkDir(), {}});
        main.LibraryClick();
        TfrmLibrary* window = main.LibraryWindow();
        QCOMPARE(window->Table()->model()->rowCount(), 4);

        QVERIFY(window->ChooseDay(DateOf(2025, 1, 11)));
        window->OpenChosenDay();
        QCOMPARE(main.Race().headCount, 5);
        QVERIFY(window->ChooseDay(DateOf(2024, 12, 28)));
        window->OpenChosenDay();
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('|'))));
        QVERIFY(main.RaceShown());
        QCOMPARE(main.CurrentRace(), 0);
        QCOMPARE(main.Race().headCount, 6);

        {
            library::Library library = library::Library::Open(WorkDir());
            fs::remove(*library.KeptCopy(DateOf(2025, 1, 18)));
        }
        QVERIFY(window->ChooseDay(DateOf(2025, 1, 18)));
        window->OpenChosenDay();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains(QStringLiteral("もう一度取り込んで")));
        QCOMPARE(main.Race().headCount, 6);
        QCOMPARE(main.LoadedDay().RaceCount(), 1);
        // Nothing came into the library or went out of it.
        QCOMPARE(window->Table()->model()->rowCount(), 4);
    }

    void theRegionButtonOpensTheLibraryLikeCtrlL()
    {
        ImportThreeDays();
        TfrmVelko main({WorkDir(), {}});
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // Its own place, clear of the seven buttons and the panels, inside the window.
        const QRect place = main.btnLibrary->geometry();
        QVERIFY(QRect(0, 0, app::kMainWindowWidth, app::kMainWindowHeight).contains(place));
        for (const TEzRgnBtn* button : main.EzRgnBtn) {
            QVERIFY(!place.intersects(button->geometry()));
        }
        for (const QFrame* panel : {main.pnl1, main.pnl2, main.pnl3, main.pnl4}) {
            QVERIFY(!place.intersects(panel->geometry()));
        }
        QVERIFY(!main.LibraryWindow());

        QTest::mouseClick(main.btnLibrary, Qt::LeftButton, {}, place.center() - place.topLeft());
        TfrmLibrary* window = main.LibraryWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->Table()->model()->rowCount(), 3);

        // Closed and asked for again, the one window comes back.
        window->close();
        QVERIFY(!window->isVisible());
        QTest::mouseClick(main.btnLibrary, Qt::LeftButton, {}, place.center() - place.topLeft());
        QCOMPARE(main.LibraryWindow(), window);
        QVERIFY(window->isVisible());
        QVERIFY(m_messages.isEmpty());
    }

    void theDetailWindowsButtonAndCtrlHShowTheHorsesHistory()
    {
        ImportThreeDays();
        TfrmVelko main({WorkDir(), {}});
        TfrmSyosai detail;
        main.AttachDetailWindow(&detail);
        main.OpenDataArchive(PathQ(Archives() / "c.lzh"));
        QVERIFY(main.RaceShown());
        main.Grid1ClickCell(1, kColHorseName);
        QVERIFY2(detail.isVisible(), qPrintable(m_messages.join(QLatin1Char('|'))));
        QCOMPARE(detail.HorseName(), QStringLiteral("ロングラン"));
        QVERIFY(!main.HistoryWindow());

        detail.btnHistory->click();
        TfrmHorseHistory* history = main.HistoryWindow();
        QVERIFY(history);
        QVERIFY(history->isVisible());
        QCOMPARE(history->HorseName(), QStringLiteral("ロングラン"));
        QCOMPARE(history->Model()->rowCount(), 8); // more than the day's own five

        // Another runner by the key, into the same window. Showing runners does not stack
        // buttons or keys (two Ctrl+H would cancel each other out).
        history->close();
        main.Grid1ClickCell(2, kColHorseName);
        main.Grid1ClickCell(3, kColHorseName);
        main.Grid1ClickCell(2, kColHorseName);
        QCOMPARE(detail.findChildren<QShortcut*>().size(), 1);
        QCOMPARE(detail.HorseName(), QStringLiteral("ホース118"));
        detail.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&detail));
        QTest::keyClick(&detail, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(main.HistoryWindow(), history);
        QVERIFY(history->isVisible());
        QCOMPARE(history->HorseName(), QStringLiteral("ホース118"));
        QCOMPARE(history->Model()->rowCount(), 1);
        QVERIFY(m_messages.isEmpty());
    }
};

int main(int argc, char** argv)
{
    furlox::test::ChooseHeadlessPlatform();
    FurloxApplication app(argc, argv);
    LibraryWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "LibraryWindowTest.moc"
