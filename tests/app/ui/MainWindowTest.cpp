// The main window, offscreen: navigation, the race menu, settings, drops and the grid.
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>
#include <filesystem>

#include <QDialog>
#include <QHeaderView>
#include <QLockFile>
#include <QMessageBox>
#include <QProcess>
#include <QSysInfo>
#include <QTimer>
#include <atomic>
#include <thread>

#include "analysis/GridRules.h"
#include "analysis/RaceAnalysis.h"
#include "analysis/ui/RaceGridModel.h"
#include "app/WorkDir.h"
#include "app/ui/Application.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/uniAbout.h"
#include "app/ui/uniVelko.h"
#include "archive/DayArchive.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Settings.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"
#include "detail/ui/uniSyosai.h"
#include "kol/KolRecords.h"
#include "kol/SampleDay.h"
#include "library/Library.h"
#include "output/TextExport.h"
#include "skin/ui/EzRgnBtn.h"
#include "skin/ui/Skin.h"
#include "support/HeadlessPlatform.h"
#include "support/KolBuilder.h"
#include "support/LhaWriter.h"
#include "support/System.h"

using namespace furlox;
using namespace furlox::ui;
namespace fs = std::filesystem;

namespace {

// A race day of three races whose first cannot be analysed (its distance is not a number).
test::KolBuilder BrokenDay()
{
    test::KolBuilder b;
    const auto runner = [&b](std::initializer_list<int> figures) {
        b.AddRunner()
            .Figures(figures)
            .SetHorse(kol::horse::kMainPrize, "0000123456")
            .SetHorse(kol::horse::kPrizePart1, "0000000000")
            .SetHorse(kol::horse::kPrizePart2, "0000000000");
    };
    b.AddRace().Set(kol::race::kDistance, "16x0");
    for (int i = 0; i < 3; ++i) {
        runner({90 + i});
    }
    b.AddRace().Set(kol::race::kRaceNumber, "12");
    for (int i = 0; i < 4; ++i) {
        runner({80 + i, 85});
    }
    b.AddRace().Set(kol::race::kRaceNumber, "01").Set(kol::race::kCourseCode, "05");
    for (int i = 0; i < 2; ++i) {
        runner({100});
    }
    return b;
}

QString WriteArchive(const QString& dir, const kol::SampleFiles& files)
{
    const std::string bytes = test::MakeLhaFiles({{"kol_den1.kd2", files.raceFile},
                                                  {"kol_den2.kd2", files.entryFile},
                                                  {"kol_uma.kd2", files.horseFile}});
    const QString path = QDir(dir).filePath(QStringLiteral("day.lzh"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {};
    }
    file.write(bytes.data(), qint64(bytes.size()));
    return path;
}

bool AnyContains(const QStringList& texts, const QString& part)
{
    for (const QString& text : texts) {
        if (text.contains(part)) {
            return true;
        }
    }
    return false;
}

// A key pressed as a user presses it: on the window that is active (the program's shortcuts
// need an active window of the program, as on a desktop).
void PressOnActiveWindow(QWidget* window, Qt::Key key,
                         Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        qWarning("the window did not become active");
    }
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, key,
                    modifiers);
}

// Closes the next application-modal dialog (a message box, the preview) once it is open,
// keeping a message box's text.
void CloseNextModal(QStringList* texts = nullptr)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, texts] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* box = qobject_cast<QMessageBox*>(modal); box && texts) {
                *texts << box->text();
            }
            modal->close();
            timer->deleteLater();
        }
    });
    timer->start(50);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    fs::path WorkDir() const { return PathOf(m_dir.path()); }
    // A window on the work folder (the test's own when none is given) whose messages are
    // collected in m_messages.
    std::unique_ptr<TfrmVelko> MakeWindow(const QString& archive = {}, const fs::path& work = {})
    {
        TfrmVelko::Options options;
        options.workDir = work.empty() ? WorkDir() : work;
        options.archive = archive;
        auto window = std::make_unique<TfrmVelko>(options);
        CollectMessages();
        return window;
    }
    QStringList m_messages;

    // Every message from now on goes to m_messages; those of `detail`, when given, to
    // `detailErrors` instead.
    void CollectMessages(QWidget* detail = nullptr, QStringList* detailErrors = nullptr)
    {
        Dialogs::Preset().message = [this, detail, detailErrors](QWidget* parent, const QString&,
                                                                 const QString& text, MessageKind) {
            if (detail && parent && parent->window() == detail) {
                *detailErrors << text;
            } else {
                m_messages << text;
            }
        };
    }

    // A window on BrokenDay(): race 0 fails at start-up and reports it in one error box.
    static std::unique_ptr<TfrmVelko> OpenBrokenDay(const QString& dir)
    {
        BrokenDay().WriteFiles(PathOf(dir));
        TfrmVelko::Options options;
        options.workDir = PathOf(dir);
        QStringList atStart;
        CloseNextModal(&atStart);
        auto window = std::make_unique<TfrmVelko>(options);
        if (atStart.size() != 1) {
            qWarning() << "start-up messages:" << atStart;
            return nullptr;
        }
        return window;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
        kol::SampleOptions sample;
        sample.seed = 1;
        kol::WriteSampleDay(sample, WorkDir());
    }

    void init()
    {
        m_messages.clear();
        Dialogs::Preset() = {};
    }

    void cleanup() { Dialogs::Preset() = {}; }

    void startsOnRaceZeroWithTheGridShown()
    {
        auto window = MakeWindow();
        QCOMPARE(window->LoadedDay().RaceCount(), 36);
        QCOMPARE(window->CurrentRace(), 0);
        QVERIFY(!window->Grid1->isHidden());
        QCOMPARE(window->popMenu->actions().size(), 36);
        QCOMPARE(window->lblTitle2->text().left(6), QStringLiteral("東京01R "));
        QCOMPARE(window->Grid1->height(), 17 * window->Race().headCount + 21);
    }

    void emptyWorkDirShowsNoRaceAndTheButtonsBeep()
    {
        QTemporaryDir empty;
        TfrmVelko::Options options;
        options.workDir = PathOf(empty.path());
        TfrmVelko window(options);
        QVERIFY(window.Grid1->isHidden());
        QVERIFY(window.popMenu->isEmpty());
        window.EzRgnBtn2Click();
        window.EzRgnBtn3Click();
        window.EzRgnBtn4Click();
        QCOMPARE(window.BeepCount(), 3);
        QVERIFY(!window.popMenu->isVisible());
        window.popOutput->aboutToShow();
        for (QAction* action : window.popOutput->actions()) {
            QVERIFY(action->isSeparator() || !action->isEnabled());
        }
    }

    void previousAndNextStopAtTheEndsWithABeep()
    {
        auto window = MakeWindow();
        window->EzRgnBtn3Click();
        QCOMPARE(window->BeepCount(), 1);
        QCOMPARE(window->CurrentRace(), 0);
        window->EzRgnBtn4Click();
        QCOMPARE(window->CurrentRace(), 1);
        window->AnalyseRace(35);
        window->EzRgnBtn4Click();
        QCOMPARE(window->BeepCount(), 2);
        QCOMPARE(window->CurrentRace(), 35);
        window->EzRgnBtn3Click();
        QCOMPARE(window->CurrentRace(), 34);
        // The keyboard does the same.
        QTest::keyClick(window.get(), Qt::Key_Left);
        QCOMPARE(window->CurrentRace(), 33);
        QTest::keyClick(window.get(), Qt::Key_Right);
        QCOMPARE(window->CurrentRace(), 34);
    }

    void raceMenuEntrySelectsItsRace()
    {
        auto window = MakeWindow();
        window->popMenu->actions().at(12)->trigger();
        QCOMPARE(window->CurrentRace(), 12);
        window->EzRgnBtn4Click();
        QCOMPARE(window->CurrentRace(), 13);
        QCOMPARE(window->lblTitle2->text().left(6), QStringLiteral("京都02R "));
    }

    void outputMenuIsAvailableOnceARaceIsShown()
    {
        auto window = MakeWindow();
        window->popOutput->aboutToShow();
        const QList<QAction*> actions = window->popOutput->actions();
        // The eight entries of the one-race and batch outputs, then the whole-day ones, then
        // the day's runner list.
        QCOMPARE(actions.size(), 14);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("印刷(&P)..."));
        QVERIFY(actions.at(2)->isSeparator());
        QCOMPARE(actions.at(7)->text(), QStringLiteral("一括テキストで出力/P.L.O.T形式(&W)..."));
        QVERIFY(actions.at(8)->isSeparator());
        QCOMPARE(actions.at(9)->text(), QStringLiteral("全レース印刷(&A)..."));
        QCOMPARE(actions.at(10)->text(), QStringLiteral("全レースPDF保存(&D)..."));
        QCOMPARE(actions.at(11)->text(), QStringLiteral("CSV保存(&C)..."));
        QVERIFY(actions.at(12)->isSeparator());
        QCOMPARE(actions.at(13)->text(), QStringLiteral("出走馬一覧(&U)..."));
        for (QAction* action : actions) {
            QVERIFY(action->isSeparator() || action->isEnabled());
        }
    }

    void gridShowsTheCoreCellsAndColours()
    {
        auto window = MakeWindow();
        window->AnalyseRace(10); // 東京11R, a G1
        const AnalysedRace& race = window->Race();
        QAbstractItemModel* model = window->Grid1->model();
        QCOMPARE(model->rowCount(), race.headCount);
        QCOMPARE(model->columnCount(), 12);
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("馬　　名"));
        for (int r = 0; r < race.headCount; ++r) {
            for (int c = 0; c < 12; ++c) {
                const QModelIndex index = model->index(r, c);
                const CellStyle style = Grid1CellStyle(race, r + 1, c);
                QCOMPARE(index.data().toString().toStdString(),
                         ToUtf8(GridRows(
                             race)[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]));
                QCOMPARE(index.data(Qt::BackgroundRole).value<QBrush>().color().rgb() & 0xFFFFFF,
                         style.background);
                QCOMPARE(index.data(Qt::ForegroundRole).value<QBrush>().color().rgb() & 0xFFFFFF,
                         style.font);
                QCOMPARE(index.data(Qt::FontRole).value<QFont>().bold(), style.bold);
            }
        }
        // Each column is its designed width plus the grid line that Qt draws inside it.
        QCOMPARE(window->Grid1->columnWidth(2), 116 + 1);
        QCOMPARE(window->Grid1->columnWidth(10), 42 + 1);
    }

    void clickOnAHorseNameAsksForTheDetail()
    {
        auto window = MakeWindow();
        QList<QPair<int, int>> calls;
        connect(window.get(), &TfrmVelko::runnerDetailRequested, this,
                [&calls](int row, int column, bool show) {
                    QVERIFY(show);
                    calls << qMakePair(row, column);
                });
        window->Grid1ClickCell(3, 2);
        window->Grid1ClickCell(3, 1);
        window->Grid1ClickCell(0, 2);
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls.first(), qMakePair(3, 2));
    }

    void settingsDefaultsAndJunkFallBack()
    {
        QCOMPARE(DefaultWindowPosition(1024, 768).left, 192);
        QCOMPARE(DefaultWindowPosition(1024, 768).top, 134);
        const QSize screen = QGuiApplication::primaryScreen()->size();
        const WindowPosition centred = DefaultWindowPosition(screen.width(), screen.height());
        {
            QSettings settings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
            settings.clear();
        }
        {
            auto window = MakeWindow();
            QCOMPARE(window->pos(), QPoint(centred.left, centred.top));
        }
        {
            QSettings settings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
            settings.setValue(QStringLiteral("Main/Left"), QStringLiteral("abc"));
            settings.setValue(QStringLiteral("Main/Top"), QStringLiteral("77"));
        }
        {
            auto window = MakeWindow();
            QCOMPARE(window->pos(), QPoint(centred.left, 77));
            window->move(40, 50);
            window->close();
        }
        QSettings settings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
        QCOMPARE(settings.value(QStringLiteral("Main/Left")).toString(), QStringLiteral("40"));
        QCOMPARE(settings.value(QStringLiteral("Main/Top")).toString(), QStringLiteral("50"));
        QVERIFY(settings.value(QStringLiteral("Main/LastOpenDir"))
                    .toString()
                    .endsWith(QLatin1Char('/')));
    }

    void droppedArchiveOpensOnlyWithALowerCaseLzhExtension()
    {
        const QString sample = QStringLiteral(FURLOX_SOURCE_DIR "/samples/sample-day.lzh");
        QTemporaryDir work;
        QTemporaryDir drops;
        TfrmVelko::Options options;
        options.workDir = PathOf(work.path());
        TfrmVelko window(options);
        CollectMessages();
        QVERIFY(window.Grid1->isHidden());
        window.show();

        auto drop = [&window](const QList<QUrl>& urls) {
            QMimeData data;
            data.setUrls(urls);
            // Qt delivers a drop to the widget that accepted the drag's entry.
            QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(&window, &enter);
            QDropEvent event(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(&window, &event);
        };
        // In folders of their own: on Windows the two names are one file.
        QVERIFY(QDir(drops.path()).mkpath(QStringLiteral("upper")));
        const QString upper = drops.filePath(QStringLiteral("upper/DAY.LZH"));
        const QString other = drops.filePath(QStringLiteral("day.zip"));
        const QString lower = drops.filePath(QStringLiteral("day.lzh"));
        QVERIFY(QFile::copy(sample, upper));
        QVERIFY(QFile::copy(sample, other));
        QVERIFY(QFile::copy(sample, lower));

        drop({QUrl::fromLocalFile(upper), QUrl::fromLocalFile(lower)}); // only the first counts
        drop({QUrl::fromLocalFile(other)});
        QCOMPARE(window.LoadedDay().RaceCount(), 0);
        QVERIFY(m_messages.isEmpty());

        drop({QUrl::fromLocalFile(lower)});
        QCOMPARE(window.LoadedDay().RaceCount(), 36);
        QCOMPARE(window.CurrentRace(), 0);
        QVERIFY(!window.Grid1->isHidden());
        QVERIFY(QFile::exists(work.filePath(QStringLiteral("kol_uma.kd2"))));
    }

    void anErrorAtStartUpIsCentredOnTheWindow()
    {
        // A damaged archive named on the command line: its error box comes while the main
        // window is being made, before it is shown, and stands over where it will be.
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("broken.lzh"));
        {
            QFile file(archive);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(300, 'x'));
        }
        QSettings settings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
        settings.setValue(QStringLiteral("Main/Left"), QStringLiteral("140"));
        settings.setValue(QStringLiteral("Main/Top"), QStringLiteral("90"));
        settings.sync();
        QRect box;
        QStringList texts;
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [&box, &texts, timer] {
            if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box = shown->frameGeometry();
                texts << shown->text();
                shown->close();
                timer->deleteLater();
            }
        });
        timer->start(50);
        TfrmVelko::Options options;
        options.workDir = PathOf(dir.path());
        options.archive = archive;
        TfrmVelko window(options);
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
        QCOMPARE(texts.size(), 1);
        QVERIFY(!box.isEmpty());
        const QRect planned(QPoint(140, 90), window.size());
        QVERIFY2((box.center() - planned.center()).manhattanLength() <= 4,
                 qPrintable(QStringLiteral("box at %1,%2 %3x%4")
                                .arg(box.x())
                                .arg(box.y())
                                .arg(box.width())
                                .arg(box.height())));
    }

    void commandLineArchiveIsOpenedAtStartAndAgainAfterARaceWasShown()
    {
        QTemporaryDir work;
        TfrmVelko::Options options;
        options.workDir = PathOf(work.path());
        options.archive = QStringLiteral(FURLOX_SOURCE_DIR "/samples/sample-day.lzh");
        TfrmVelko window(options);
        QCOMPARE(window.LoadedDay().RaceCount(), 36);
        window.AnalyseRace(7);
        Dialogs::Preset().file = [](const FileQuestion& question) {
            Q_ASSERT(!question.save && question.filter.contains(QStringLiteral("*.lzh")));
            return QStringLiteral(FURLOX_SOURCE_DIR "/samples/sample-day.lzh");
        };
        window.EzRgnBtn1Click();
        QCOMPARE(window.CurrentRace(), 0);
        QCOMPARE(window.LastOpenDir(),
                 QFileInfo(QStringLiteral(FURLOX_SOURCE_DIR "/samples")).absoluteFilePath() +
                     QLatin1Char('/'));
    }

    // The day in the work folder at the first start (as its three files), and every archive
    // opened later, is kept in the library without a word to the user.
    void everyDayTheWindowShowsIsKeptInTheLibrary()
    {
        QTemporaryDir work;
        kol::SampleOptions sample;
        sample.seed = 3;
        sample.races = 12;
        kol::WriteSampleDay(sample, PathOf(work.path()));
        TfrmVelko::Options options;
        options.workDir = PathOf(work.path());
        TfrmVelko window(options);
        CollectMessages();
        std::vector<library::DaySummary> days = library::Library::Open(options.workDir).Days();
        QCOMPARE(days.size(), std::size_t(1));
        const library::Date first = days[0].date;
        QCOMPARE(days[0].races, 12);

        QVERIFY(!library::Library::Open(options.workDir).KeptCopy(first)->has_extension());

        // A corrected day of the same date, opened with the window's button, takes its place.
        QTemporaryDir archives;
        const QString archive = WriteArchive(archives.path(), kol::MakeSampleDay({.seed = 4}));
        window.OpenDataArchive(archive);
        QCOMPARE(window.LoadedDay().RaceCount(), 36);
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('|'))));
        library::Library library = library::Library::Open(options.workDir);
        days = library.Days();
        QCOMPARE(days.size(), std::size_t(1));
        QCOMPARE(days[0].races, 36);
        const std::optional<fs::path> kept = library.KeptCopy(first);
        QVERIFY(kept && fs::exists(*kept));
        QCOMPARE(kept->extension(), fs::path(".lzh"));
    }

    void archiveWithoutDataShowsTheMessageAndKeepsTheDay()
    {
        auto window = MakeWindow();
        window->AnalyseRace(5);
        QTemporaryDir dir;
        const QString bogus = dir.filePath(QStringLiteral("empty.lzh"));
        QFile file(bogus);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not an archive at all");
        file.close();
        window->OpenDataArchive(bogus);
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(window->LoadedDay().RaceCount(), 36);
        QCOMPARE(window->CurrentRace(), 5);
    }

    void aboutWindowClosesOnAClick()
    {
        auto* about = new TfrmAbout();
        about->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<TfrmAbout> alive(about);
        QCOMPARE(about->size(), QSize(392, 270));
        about->show();
        if (qEnvironmentVariableIsSet("FURLOX_ABOUT_SHOT")) {
            about->grab().save(qEnvironmentVariable("FURLOX_ABOUT_SHOT"));
        }
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(200, 100));
        QTRY_VERIFY(alive.isNull());
    }

    void settingsFullOfJunkStillGiveAUsableWindow()
    {
        {
            QSettings settings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
            settings.setValue(QStringLiteral("Main/Left"), QStringLiteral("99999999999999999999"));
            settings.setValue(QStringLiteral("Main/Top"), QByteArray("\x01\xFF\x00junk", 8));
            settings.setValue(QStringLiteral("Main/LastOpenDir"),
                              QStringLiteral("/no/such/folder/"));
            settings.setValue(QStringLiteral("Uma/Left"),
                              QStringList{QStringLiteral("a"), QStringLiteral("b")});
            settings.setValue(QStringLiteral("Uma/Top"), QString());
            settings.setValue(QStringLiteral("Main/Unknown"), 42);
        }
        const QSize screen = QGuiApplication::primaryScreen()->size();
        const WindowPosition centred = DefaultWindowPosition(screen.width(), screen.height());
        auto window = MakeWindow();
        QCOMPARE(window->pos(), QPoint(centred.left, centred.top));
        QCOMPARE(window->CurrentRace(), 0);
        // A last folder that no longer exists gives way to the work directory.
        QString offered;
        Dialogs::Preset().file = [&offered](const FileQuestion& question) {
            offered = question.folder;
            return QString();
        };
        window->EzRgnBtn1Click();
        QCOMPARE(offered, QString::fromStdString(WorkDir().string()) + QLatin1Char('/'));
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
    }

    void secondInstanceIsAnsweredWhileTheFirstIsBusy()
    {
        if (test::RunsUnderWine()) {
            QSKIP("under Wine 8 a blocking connect to a named pipe of the same process does not "
                  "complete; between two processes the hand-over works (docs/windows.md)");
        }
        const QString name =
            QStringLiteral("FurloxKolMutex-busy-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(name);
        QVERIFY(first.Listen());
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        // The first instance is busy (its event loop does not run) while the second starts:
        // the second still finds it and ends at once instead of opening another window.
        QElapsedTimer timer;
        timer.start();
        SingleInstance second(name);
        QVERIFY(second.ActivateRunning());
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(activated.count(), 0);
        // Once the first is free again it comes to the front.
        QTRY_COMPARE(activated.count(), 1);
    }

    void secondInstanceActivatesTheFirst()
    {
        if (test::RunsUnderWine()) {
            QSKIP("under Wine 8 a blocking connect to a named pipe of the same process does not "
                  "complete; between two processes the hand-over works (docs/windows.md)");
        }
        const QString name =
            QStringLiteral("FurloxKolMutex-test-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(name);
        QVERIFY(!first.ActivateRunning());
        QVERIFY(first.Listen());
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        SingleInstance second(name);
        QVERIFY(second.ActivateRunning());
        QTRY_COMPARE(activated.count(), 1);
    }

    // ---- the shown race always belongs to the loaded day ----------------

    void failingRaceShowsAnEmptyGridAndTheIndexStillMoves()
    {
        QTemporaryDir dir;
        const auto opened = OpenBrokenDay(dir.path());
        QVERIFY(opened);
        TfrmVelko& window = *opened;
        // Race 0 fails at start-up: nothing of a race on screen, the error in the window.
        QCOMPARE(window.LoadedDay().RaceCount(), 3);
        QCOMPARE(window.CurrentRace(), 0);
        QVERIFY(!window.RaceShown());
        QVERIFY(window.Race().runners.empty());
        QVERIFY(window.Grid1->isHidden());
        QVERIFY(!window.lblNotice->isHidden());
        QVERIFY(window.lblNotice->text().contains(QStringLiteral("は整数ではありません")));
        QVERIFY(window.lblTan->text().isEmpty());
        QVERIFY(window.lblTitle2->text().startsWith(QStringLiteral("東京11R")));
        QVERIFY(window.popMenu->actions().at(0)->isChecked());
        window.popOutput->aboutToShow();
        QVERIFY(!window.popPrint->isEnabled());
        QVERIFY(!window.PrintPreview->isEnabled());
        QVERIFY(!window.popHTML->isEnabled());
        QVERIFY(!window.popTextOut->isEnabled());

        CollectMessages();
        // 次 steps past the broken race, without a beep.
        window.EzRgnBtn4Click();
        QCOMPARE(window.CurrentRace(), 1);
        QVERIFY(window.RaceShown());
        QCOMPARE(window.Race().headCount, 4);
        QVERIFY(!window.Grid1->isHidden());
        QVERIFY(window.lblNotice->isHidden());
        QCOMPARE(window.BeepCount(), 0);
        window.popOutput->aboutToShow();
        QVERIFY(window.popPrint->isEnabled());
        // 前 steps back onto it: reported, emptied, the index there.
        window.EzRgnBtn3Click();
        QCOMPARE(window.CurrentRace(), 0);
        QVERIFY(!window.RaceShown());
        QVERIFY(window.Grid1->isHidden());
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(window.BeepCount(), 0);
        // The keys and the race menu go on from it, too.
        QTest::keyClick(&window, Qt::Key_End);
        QCOMPARE(window.CurrentRace(), 2);
        QVERIFY(window.RaceShown());
        window.popMenu->actions().at(0)->trigger();
        QCOMPARE(window.CurrentRace(), 0);
        QTest::keyClick(&window, Qt::Key_Right);
        QCOMPARE(window.CurrentRace(), 1);
        QVERIFY(window.popMenu->actions().at(1)->isChecked());
        QVERIFY(!window.popMenu->actions().at(0)->isChecked());
    }

    void newDayDropsTheOldRaceAtOnce()
    {
        QTemporaryDir work;
        QTemporaryDir archives;
        kol::SampleOptions sample;
        sample.seed = 1;
        kol::WriteSampleDay(sample, PathOf(work.path()));
        TfrmVelko::Options options;
        options.workDir = PathOf(work.path());
        TfrmVelko window(options);
        TfrmSyosai detail;
        QStringList detailErrors;
        window.AttachDetailWindow(&detail);
        CollectMessages(&detail, &detailErrors);
        QStringList asked;
        Dialogs::Preset().file = [&asked](const FileQuestion& question) {
            asked << question.name;
            return QString();
        };
        window.AnalyseRace(30);
        window.Grid1ClickCell(2, kColHorseName);
        QVERIFY(detail.isVisible());

        // A day of three races whose race 0 fails.
        const test::KolBuilder broken = BrokenDay();
        const QString archive = WriteArchive(archives.path(), broken.Files());
        window.OpenDataArchive(archive);
        QCOMPARE(window.LoadedDay().RaceCount(), 3);
        QCOMPARE(window.CurrentRace(), 0);
        QVERIFY(!window.RaceShown());
        QVERIFY(window.Race().runners.empty());
        QCOMPARE(window.Grid1->model()->rowCount(), 0);
        QVERIFY(!detail.isVisible());
        QVERIFY(!detail.IsOpen());
        QVERIFY(window.lblTan->text().isEmpty());
        // The day's walks name their files after the new day, and nothing reads past it.
        window.popTextOutAllClick();
        window.popTextOutClick(); // not for a race that is not shown
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first(), Q(SuggestedAllRacesFileName(broken.Build().races[0])));
        QVERIFY(!AnyContains(m_messages, QStringLiteral("range")));
        QVERIFY(detailErrors.isEmpty());
    }

    // A load that fails part-way changes nothing: the day shown stays whole (it used to give
    // way to the new race file read before the error).
    void loadThatFailsPartWayKeepsTheShownDay()
    {
        QTemporaryDir work;
        kol::SampleOptions sample;
        sample.seed = 1;
        kol::WriteSampleDay(sample, PathOf(work.path()));
        TfrmVelko::Options options;
        options.workDir = PathOf(work.path());
        TfrmVelko window(options);
        window.AnalyseRace(12);
        QVERIFY(window.RaceShown());
        const std::vector<std::string> raceLines = window.LoadedDay().raceLines;
        // The horse file cannot be read to its end.
        BrokenDay().WriteFiles(PathOf(work.path()));
        const QString horses = work.filePath(QStringLiteral("kol_uma.kd2"));
        QVERIFY(QFile::remove(horses));
        QVERIFY(QDir().mkdir(horses));
        bool thrown = false;
        try {
            window.LoadKolFiles();
        } catch (const furlox::Error&) {
            thrown = true;
        }
        QVERIFY(thrown);
        QVERIFY(window.RaceShown());
        QCOMPARE(window.CurrentRace(), 12);
        QVERIFY(window.LoadedDay().raceLines == raceLines);
        QCOMPARE(window.popMenu->actions().size(), window.LoadedDay().RaceCount());
    }

    // An open cut off while its files went in place (here: an exception at the second rename,
    // which leaves the new race file beside the old entry and horse files) is finished when the
    // window starts: it shows the new day, never the mix.
    void startFinishesAnOpenCutOffHalfWay()
    {
        QTemporaryDir work;
        kol::SampleOptions sample;
        sample.seed = 1;
        sample.races = 3;
        kol::WriteSampleDay(sample, PathOf(work.path()));
        sample.seed = 2;
        sample.races = 5;
        QTemporaryDir archives;
        const QString archive = WriteArchive(archives.path(), kol::MakeSampleDay(sample));
        struct CutOff
        {
        };
        bool cut = false;
        try {
            archive::ExtractDayArchive(PathOf(archive), PathOf(work.path()), nullptr, [](int step) {
                if (step == 5) { // three second names, the journal, one rename
                    throw CutOff();
                }
            });
        } catch (const CutOff&) {
            cut = true;
        }
        QVERIFY(cut);
        QVERIFY(QFile::exists(work.filePath(QStringLiteral(".furlox-commit"))));

        TfrmVelko::Options options;
        options.workDir = PathOf(work.path());
        TfrmVelko window(options);
        QCOMPARE(window.LoadedDay().RaceCount(), 5);
        QVERIFY(window.LoadedDay().raceLines ==
                kol::LoadKolFiles(PathOf(work.path()))->day.raceLines);
        QVERIFY(!QFile::exists(work.filePath(QStringLiteral(".furlox-commit"))));
        QVERIFY(m_messages.isEmpty());
    }

    // ---- errors never end the program --------------------------------------------

    void startOptionsWithAFailingRaceAreReported()
    {
        QTemporaryDir dir;
        const auto opened = OpenBrokenDay(dir.path());
        QVERIFY(opened);
        TfrmVelko& window = *opened;
        TfrmSyosai detail;
        QStringList detailErrors;
        window.AttachDetailWindow(&detail);
        CollectMessages(&detail, &detailErrors);
        window.ApplyStartOptions(2, 1); // a good race, its horse 1
        QVERIFY(detail.isVisible());
        window.ApplyStartOptions(0, 2); // the broken race, and a horse it cannot show
        QCOMPARE(window.CurrentRace(), 0);
        QVERIFY(!detail.isVisible());
        QCOMPARE(m_messages.size(), 1);
        window.ApplyStartOptions(99, 99); // clamped to the last race; no horse 99
        QCOMPARE(window.CurrentRace(), 2);
        QVERIFY(!detail.isVisible());
        window.ApplyStartOptions(-5, std::nullopt);
        QCOMPARE(window.CurrentRace(), 0);
        QVERIFY(detailErrors.isEmpty());
    }

    void unreadableWorkDirIsReportedAndTheWindowOpens()
    {
        // A work directory that cannot be searched. As root nothing is refused for lack of
        // permission, so a link that points at itself stands in (stat fails with ELOOP); as
        // another user a folder without search permission is tried as well.
#ifdef _WIN32
        QSKIP("Windows has neither links that point at themselves in a folder lookup nor "
              "search permission bits: no work directory there fails this way");
#endif
        QTemporaryDir parent;
        const QString loop = parent.filePath(QStringLiteral("loop"));
        QVERIFY(QFile::link(loop, loop));
        QStringList dirs{loop};
        if (!test::IsSuperUser()) {
            const QString locked = parent.filePath(QStringLiteral("locked"));
            QVERIFY(QDir().mkpath(locked + QStringLiteral("/work")));
            QFile::setPermissions(locked, QFileDevice::ReadOwner);
            dirs << locked + QStringLiteral("/work");
        }
        for (const QString& workDir : dirs) {
            QStringList shown;
            TfrmVelko::Options options;
            options.workDir = PathOf(workDir);
            // The constructor reports through the default message box: read it and close it.
            CloseNextModal(&shown);
            const auto window = std::make_unique<TfrmVelko>(options);
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown.first().contains(workDir), qPrintable(shown.first()));
            QVERIFY(window->Grid1->isHidden());
            QVERIFY(!window->lblNotice->isHidden());
            // The step itself throws; the constructor caught it where the start-up entered.
            bool thrown = false;
            try {
                window->StartUpLoad();
            } catch (const std::filesystem::filesystem_error&) {
                thrown = true;
            }
            QVERIFY(thrown);
        }
        QFile::setPermissions(parent.filePath(QStringLiteral("locked")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
    }

    void workDirThatVanishesIsReportedByEveryAction()
    {
        QTemporaryDir root;
        const QString workDir = root.filePath(QStringLiteral("work"));
        QVERIFY(QDir().mkpath(workDir));
        kol::SampleOptions sample;
        kol::WriteSampleDay(sample, PathOf(workDir));
        TfrmVelko::Options options;
        options.workDir = PathOf(workDir);
        TfrmVelko window(options);
        CollectMessages();
        Dialogs::Preset().file = [&root](const FileQuestion& question) {
            return question.save ? root.filePath(QStringLiteral("out.htm"))
                                 : QStringLiteral(FURLOX_SOURCE_DIR "/samples/sample-day.lzh");
        };
        window.AnalyseRace(3);
        QVERIFY(QDir(workDir).removeRecursively());

        window.popHTMLClick(); // Head.dat goes into the work directory
        QCOMPARE(m_messages.size(), 1);
        window.EzRgnBtn1Click(); // extracting into it makes it again
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(QFileInfo(workDir).isDir());
        QCOMPARE(window.CurrentRace(), 0);
        QVERIFY(window.RaceShown());
        QVERIFY(QDir(workDir).removeRecursively());
        window.EzRgnBtn6Click(); // the viewer is looked for in it
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(m_messages.last().contains(QDir::toNativeSeparators(workDir)));
        PressOnActiveWindow(&window, Qt::Key_F1); // the help page is looked for in it, too
        QCOMPARE(m_messages.size(), 3);
        window.EzRgnBtn4Click();
        QCOMPARE(window.CurrentRace(), 1); // the loaded day still works
        for (const QString& message : m_messages) {
            QVERIFY2(!message.isEmpty(), qPrintable(message));
        }
    }

    // ---- a second start hands its archive over -------------------------------------

    void secondStartHandsItsArchiveOver()
    {
        if (test::RunsUnderWine()) {
            QSKIP("under Wine 8 a blocking connect to a named pipe of the same process does not "
                  "complete; between two processes the hand-over works (docs/windows.md)");
        }
        const QString name =
            QStringLiteral("FurloxKolMutex-hand-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(name);
        QVERIFY(first.Start(QString()));
        QSignalSpy archives(&first, &SingleInstance::archiveRequested);
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        // Opening an archive runs an event loop of its own (the progress dialog), in which the
        // second start's connection goes away.
        const QMetaObject::Connection busy =
            connect(&first, &SingleInstance::archiveRequested, this, [] { QTest::qWait(300); });
        SingleInstance second(name);
        const QString path = QStringLiteral("/tmp/日本語 の/day.lzh");
        QVERIFY(!second.Start(path));
        QVERIFY(second.HandedOver());
        QTRY_COMPARE(archives.count(), 1);
        QCOMPARE(archives.first().first().toString(), path);
        QCOMPARE(activated.count(), 1);
        disconnect(busy);

        // The running window opens it as if dropped, once no dialog is in the way.
        QTemporaryDir work;
        TfrmVelko::Options options;
        options.workDir = PathOf(work.path());
        TfrmVelko window(options);
        CollectMessages();
        window.show();
        QDialog modal;
        modal.setModal(true);
        modal.show();
        QVERIFY(QApplication::activeModalWidget() == &modal);
        connect(&first, &SingleInstance::archiveRequested, &window, &TfrmVelko::OpenHandedArchive);
        SingleInstance third(name);
        QVERIFY(!third.Start(QStringLiteral(FURLOX_SOURCE_DIR "/samples/sample-day.lzh")));
        QTest::qWait(700);
        QCOMPARE(window.LoadedDay().RaceCount(), 0); // not under the dialog
        modal.close();
        QTRY_COMPARE(window.LoadedDay().RaceCount(), 36);
        QCOMPARE(window.CurrentRace(), 0);
    }

    void oneInstancePerWorkDirectory()
    {
        QTemporaryDir root;
        const QString a = root.filePath(QStringLiteral("A"));
        const QString b = root.filePath(QStringLiteral("B 作業"));
        QVERIFY(QDir().mkpath(a) && QDir().mkpath(b));
        QVERIFY(QFile::link(a, root.filePath(QStringLiteral("link-to-A"))) ||
                test::RunsUnderWine());
        // One folder, however it is written, has one name; another folder another.
        const QString nameA = InstanceName(PathOf(a));
        QCOMPARE(InstanceName(PathOf(a + QStringLiteral("/"))), nameA);
        QCOMPARE(InstanceName(PathOf(root.filePath(QStringLiteral("A/./")))), nameA);
        QCOMPARE(InstanceName(PathOf(root.filePath(QStringLiteral("B 作業/../A")))), nameA);
        if (!test::RunsUnderWine()) {
            QCOMPARE(InstanceName(PathOf(root.filePath(QStringLiteral("link-to-A")))), nameA);
        }
        QVERIFY(InstanceName(PathOf(b)) != nameA);
        QVERIFY(InstanceName(PathOf(root.filePath(QStringLiteral("not made yet")))) != nameA);
        QVERIFY(InstanceName(PathOf(a)).size() < 100); // a socket name's room
        if (test::RunsUnderWine()) {
            QSKIP("under Wine 8 a blocking connect to a named pipe of the same process does not "
                  "complete; between two processes the hand-over works (docs/windows.md)");
        }
        // The instance of A does not answer a start for B, which runs on its own.
        SingleInstance first(nameA);
        QVERIFY(first.Start(QString()));
        SingleInstance other(InstanceName(PathOf(b)));
        QVERIFY(other.Start(QStringLiteral("/tmp/b.lzh"), 500));
        SingleInstance again(InstanceName(PathOf(a + QStringLiteral("/"))));
        QVERIFY(!again.Start(QString()));
        QVERIFY(again.HandedOver());
    }

    // The fault as a user met it: with a window running on A, `furlox --workdir B day.lzh`
    // ended at once and the window on A extracted the archive, replacing its day.
    void aStartForAnotherFolderRunsOnItsOwn()
    {
        if (test::RunsUnderWine()) {
            QSKIP("under Wine the program started from the test run does not take its instance "
                  "name within 30 s (why is not known); the per-folder names are checked by "
                  "oneInstancePerWorkDirectory, two starts on two folders by hand");
        }
        QTemporaryDir root;
        const QString a = root.filePath(QStringLiteral("A"));
        const QString b = root.filePath(QStringLiteral("B"));
        QVERIFY(QDir().mkpath(a) && QDir().mkpath(b));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#ifndef Q_OS_WIN
        // (The Windows Qt has no offscreen platform; under Wine the tests have a display.)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
#endif
        environment.insert(QStringLiteral("HOME"), root.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           root.filePath(QStringLiteral("config")));
        QProcess onA;
        onA.setProcessEnvironment(environment);
        onA.start(QStringLiteral(FURLOX_PROGRAM), {QStringLiteral("--workdir"), a});
        QVERIFY(onA.waitForStarted());
        // The window on A holds its name once its lock is taken (it listens a moment later).
        const auto holdsTheName = [](const QString& folder) {
            QLockFile lock(InstanceLockPath(InstanceName(PathOf(folder))));
            lock.setStaleLockTime(0);
            if (lock.tryLock(0)) {
                lock.unlock();
                return false;
            }
            return true;
        };
        QVERIFY(QTest::qWaitFor([&] { return holdsTheName(a); }, 30000));
        QTest::qWait(1000);
        QProcess onB;
        onB.setProcessEnvironment(environment);
        onB.start(QStringLiteral(FURLOX_PROGRAM),
                  {QStringLiteral("--workdir"), b,
                   QStringLiteral(FURLOX_SOURCE_DIR "/samples/sample-day.lzh")});
        QVERIFY(onB.waitForStarted());
        const bool extracted = QTest::qWaitFor(
            [&] { return QFile::exists(QDir(b).filePath(QStringLiteral("kol_uma.kd2"))); }, 30000);
        const bool bRuns = onB.state() == QProcess::Running;
        const bool aTouched = QFile::exists(QDir(a).filePath(QStringLiteral("kol_uma.kd2")));
        for (QProcess* process : {&onB, &onA}) {
            process->kill();
            process->waitForFinished();
        }
        QVERIFY(extracted);
        QVERIFY(bRuns);
        QVERIFY(!aTouched);
    }

    void twoStartsAtOnceNeverBothRun()
    {
        if (test::RunsUnderWine()) {
            QSKIP("under Wine 8 a blocking connect to a named pipe of the same process does not "
                  "complete; between two processes the hand-over works (docs/windows.md)");
        }
        const QString name =
            QStringLiteral("FurloxKolMutex-race-%1").arg(QCoreApplication::applicationPid());
        QFile::remove(InstanceLockPath(name));
        // The first start holds the name but does not listen yet (it is still starting).
        SingleInstance first(name);
        QVERIFY(first.TryLock());
        // A second start in the meantime neither runs nor takes the name away ...
        {
            SingleInstance second(name);
            QVERIFY(!second.TryLock());
            QVERIFY(!second.Start(QString(), 300));
            QVERIFY(!second.HandedOver()); // none answered: the start must say so, not vanish
        }
        // ... and hands over once the first listens.
        std::atomic<int> outcome{-1};
        std::thread later([&outcome, name] {
            SingleInstance third(name);
            outcome = third.Start(QStringLiteral("/tmp/late.lzh"), 5000) ? 1 : 0;
        });
        QTest::qWait(300);
        QSignalSpy archives(&first, &SingleInstance::archiveRequested);
        QVERIFY(first.Listen());
        QTRY_COMPARE(archives.count(), 1);
        later.join();
        QCOMPARE(outcome.load(), 0);
        QCOMPARE(archives.first().first().toString(), QStringLiteral("/tmp/late.lzh"));
    }

    void crashedInstanceLeavesNothingInTheWay()
    {
        if (test::RunsUnderWine()) {
            QSKIP("under Wine 8 a blocking connect to a named pipe of the same process does not "
                  "complete; between two processes the hand-over works (docs/windows.md)");
        }
        const QString name =
            QStringLiteral("FurloxKolMutex-stale-%1").arg(QCoreApplication::applicationPid());
        // A lock file of a process that no longer runs and no one on the socket.
        {
            QFile stale(InstanceLockPath(name));
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write("999999\nfurlox\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        }
        SingleInstance start(name);
        QVERIFY(start.Start(QString(), 2000));
    }

    // ---- positions stay on the screen ----------------------------------------------

    void storedPositionOffTheScreenIsBroughtBack()
    {
        {
            QSettings settings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
            settings.setValue(QStringLiteral("Main/Left"), QStringLiteral("5000"));
            settings.setValue(QStringLiteral("Main/Top"), QStringLiteral("-3000"));
            settings.setValue(QStringLiteral("Uma/Left"), QStringLiteral("-900"));
            settings.setValue(QStringLiteral("Uma/Top"), QStringLiteral("4000"));
        }
        auto window = MakeWindow();
        TfrmSyosai detail;
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(area.contains(window->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2").arg(window->x()).arg(window->y())));
        QVERIFY(area.contains(detail.frameGeometry()));
        QCOMPARE(window->x(), area.right() + 1 - window->width());
        QCOMPARE(window->y(), area.top());
        // Moved off the screen later (another screen went away, the area shrank): back again.
        window->show();
        window->move(area.right() + 200, area.bottom() + 200);
        emit QGuiApplication::primaryScreen()->availableGeometryChanged(area);
        QTRY_VERIFY(area.contains(window->frameGeometry()));
        window->close();
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
    }

    // ---- the keys work again after a dialog ------------------------------------------

    void focusComesBackAfterAMessageAndThePreview()
    {
        const auto window = MakeWindow();
        TfrmVelko& w = *window;
        Dialogs::Preset().message = [&w](QWidget*, const QString& title, const QString& text,
                                         MessageKind) {
            CloseNextModal();
            QMessageBox::warning(&w, title, text);
        };
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.AnalyseRace(5);
        // A message box (the viewer is missing) ...
        w.EzRgnBtn6Click();
        QTRY_VERIFY(QApplication::activeWindow() == &w);
        QCOMPARE(QApplication::focusWidget(), &w);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QCOMPARE(w.CurrentRace(), 0);
        // ... and the print preview.
        Dialogs::Preset().modal = [](QDialog& preview) {
            CloseNextModal();
            preview.exec();
        };
        w.PrintPreviewClick();
        QTRY_VERIFY(QApplication::activeWindow() == &w);
        QCOMPARE(QApplication::focusWidget(), &w);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QCOMPARE(w.CurrentRace(), 35);
    }

    // ---- the grid fills its frame ----------------------------------------------------

    void gridFillsItsFrameWithoutAWhiteBand()
    {
        auto window = MakeWindow();
        window->show();
        for (const int race : {0, 10, 3}) {
            window->AnalyseRace(race);
            const int n = window->Race().headCount;
            RaceGridView* grid = window->Grid1;
            QCOMPARE(grid->size(), QSize(480, 17 * n + 21));
            // Every pixel inside the border belongs to a column and to a row (or the header).
            QCOMPARE(grid->horizontalHeader()->length(), grid->viewport()->width());
            QCOMPARE(grid->verticalHeader()->length(), grid->viewport()->height());
            QCOMPARE(grid->horizontalHeader()->height() + grid->verticalHeader()->length() +
                         2 * RaceGridView::kBorder,
                     grid->height());
            for (int r = 0; r < n; ++r) {
                QCOMPARE(grid->rowHeight(r), 17);
            }
        }
        // Seen: the last pixel row inside the border is the last runner's grid line, not white.
        const QImage shot = window->Grid1->grab().toImage();
        const int y = shot.height() - 1 - RaceGridView::kBorder;
        int white = 0;
        for (int x = RaceGridView::kBorder; x < shot.width() - RaceGridView::kBorder; ++x) {
            white += shot.pixelColor(x, y) == QColor(Qt::white) ? 1 : 0;
        }
        QCOMPARE(white, 0);
    }

    // ---- small things ---------------------------------------------------------------

    void raceMenuMarksTheCurrentRace()
    {
        auto window = MakeWindow();
        const QList<QAction*> actions = window->popMenu->actions();
        QVERIFY(actions.at(0)->isChecked());
        window->popMenu->actions().at(12)->trigger();
        for (qsizetype i = 0; i < actions.size(); ++i) {
            QCOMPARE(actions.at(i)->isChecked(), i == 12);
        }
        window->popMenu->actions().at(12)->trigger(); // choosing it again keeps the mark
        QVERIFY(actions.at(12)->isChecked());
        window->EzRgnBtn4Click();
        QVERIFY(actions.at(13)->isChecked());
        QVERIFY(!actions.at(12)->isChecked());
    }

    void withoutDataTheWindowSaysHowToOpenAnArchive()
    {
        QTemporaryDir empty;
        TfrmVelko::Options options;
        options.workDir = PathOf(empty.path());
        TfrmVelko window(options);
        window.show();
        QVERIFY(window.lblNotice->isVisible());
        // The one message for a work folder without a race day, then how to get one.
        QVERIFY(window.lblNotice->text().startsWith(Q(kol::NoRaceDataMessage(options.workDir))));
        QVERIFY(window.lblNotice->text().contains(QStringLiteral(".lzh")));
        QVERIFY(window.lblNotice->text().contains(QStringLiteral("Ctrl+O")));
        QVERIFY(window.lblNotice->text().contains(QStringLiteral("ドロップ")));
        // No blank white grade box.
        QVERIFY(!window.pnl4->isVisible());
    }

    void aboutWindowNamesThePlatformItRunsOn()
    {
        TfrmAbout about;
        QStringList texts;
        for (const QLabel* label : about.findChildren<QLabel*>()) {
            texts << label->text();
        }
#if defined(Q_OS_WIN)
        QVERIFY(texts.contains(QStringLiteral("for Windows")));
#elif defined(Q_OS_LINUX)
        QVERIFY(texts.contains(QStringLiteral("for Linux")));
        QVERIFY(!texts.contains(QStringLiteral("for Windows")));
#endif
    }

    void viewerAndBrowserThatAreMissingAreNamed()
    {
        if (test::RunsUnderWine()) {
            QSKIP("Wine always has a browser (winebrowser), so none can be missing there");
        }
        QTemporaryDir work;
        kol::WriteSampleDay(kol::SampleOptions{}, PathOf(work.path()));
        const auto window = MakeWindow({}, PathOf(work.path()));
        window->EzRgnBtn6Click();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains(QStringLiteral("pt")));
        QVERIFY(m_messages.first().contains(work.path()));

        // F1 with the help page there but no browser: an xdg-open that finds nothing to
        // open with (as the real one does on a machine without a browser).
        QVERIFY(QDir(work.path()).mkpath(QStringLiteral("help")));
        QFile page(work.filePath(QStringLiteral("help/index.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html></html>");
        page.close();
        QTemporaryDir bin;
        for (const char* tool : {"xdg-open", "xdg-mime"}) {
            QFile script(bin.filePath(QString::fromLatin1(tool)));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(QByteArray("#!/bin/sh\n") +
                         (qstrcmp(tool, "xdg-open") == 0 ? "exit 3\n" : "exit 0\n"));
            script.close();
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH");
        const QByteArray browser = qgetenv("BROWSER");
        const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
        qputenv("PATH", bin.path().toLocal8Bit());
        qunsetenv("BROWSER");
        qunsetenv("XDG_CURRENT_DESKTOP");
        PressOnActiveWindow(window.get(), Qt::Key_F1);
        qputenv("PATH", path);
        if (!browser.isEmpty()) {
            qputenv("BROWSER", browser);
        }
        if (!desktop.isEmpty()) {
            qputenv("XDG_CURRENT_DESKTOP", desktop);
        }
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(m_messages.last().contains(QStringLiteral("ブラウザ")));
        QVERIFY(m_messages.last().contains(work.filePath(QStringLiteral("help/index.html"))));
    }

    // On Windows an open viewer window, whoever started it, is found by its title and brought
    // to the front, so the P.L.O.T button neither starts a second copy nor complains about a
    // missing program. Elsewhere only a copy this window started counts.
    void anOpenViewerWindowIsUsedOnWindows()
    {
        QTemporaryDir work; // no viewer program in it
        kol::WriteSampleDay(kol::SampleOptions{}, PathOf(work.path()));
        const auto window = MakeWindow({}, PathOf(work.path()));
        // Qt adds the program's display name to a window title on Windows; the viewer's own
        // window has its bare title.
        const QString displayName = QGuiApplication::applicationDisplayName();
        QGuiApplication::setApplicationDisplayName(QString());
        QWidget viewer;
        viewer.setWindowTitle(QStringLiteral("Plotline Viewer"));
        viewer.show();
        const bool exposed = QTest::qWaitForWindowExposed(&viewer);
        QGuiApplication::setApplicationDisplayName(displayName);
        QVERIFY(exposed);
        window->EzRgnBtn6Click();
#ifdef _WIN32
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
#else
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains(QStringLiteral("pt")));
#endif
    }

    void backgroundMovesTheWindowOnlyOnceThePointerMoves()
    {
        const auto window = MakeWindow();
        window->move(100, 100);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* drag = window->imgForm->findChild<BackgroundDrag*>();
        QVERIFY(drag);
        QSignalSpy started(drag, &BackgroundDrag::moveStarted);
        const QPoint start = window->pos();
        const auto send = [&window](QEvent::Type type, QPoint local, Qt::MouseButton button,
                                    Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(local), QPointF(window->imgForm->mapToGlobal(local)),
                              button, held, Qt::NoModifier);
            QApplication::sendEvent(window->imgForm, &event);
        };
        // A tap: press and release in place. No move begins, so nothing stays stuck to the
        // pointer afterwards.
        send(QEvent::MouseButtonPress, {300, 15}, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {300, 15}, Qt::LeftButton, Qt::NoButton);
        send(QEvent::MouseMove, {340, 40}, Qt::NoButton, Qt::NoButton);
        QCOMPARE(started.count(), 0);
        QCOMPARE(window->pos(), start);
        // The right button never drags.
        send(QEvent::MouseButtonPress, {300, 15}, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseMove, {340, 40}, Qt::NoButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, {340, 40}, Qt::RightButton, Qt::NoButton);
        QCOMPARE(started.count(), 0);
        // A press that moves with the button held drags, the middle button as the left.
        send(QEvent::MouseButtonPress, {300, 15}, Qt::MiddleButton, Qt::MiddleButton);
        send(QEvent::MouseMove, {340, 40}, Qt::NoButton, Qt::MiddleButton);
        QCOMPARE(started.count(), 1);
        send(QEvent::MouseButtonRelease, {340, 40}, Qt::MiddleButton, Qt::NoButton);
        if (!test::RunsUnderWine()) {
            // Offscreen there is no window manager to take the move over: the window follows
            // the pointer from where the button went down.
            QCOMPARE(window->pos(), start + QPoint(40, 25));
        }
    }

    void regionButtonClicksOnlyWhenEnabledAndIgnoresDoubleClicks()
    {
        TEzRgnBtn button;
        QImage idle(20, 10, QImage::Format_ARGB32);
        idle.fill(Qt::darkGreen);
        idle.setPixel(0, 0, qRgb(255, 0, 255)); // key colour: cut away
        button.SetPicIdle(idle);
        button.SetPaintMode(TPaintMode::pmCrop);
        QVERIFY(button.Cropped());
        QCOMPARE(button.size(), QSize(20, 10));
        QVERIFY(!button.mask().contains(QPoint(0, 0)));
        QVERIFY(button.mask().contains(QPoint(1, 0)));
        button.show();
        QSignalSpy clicks(&button, &TEzRgnBtn::clicked);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(clicks.count(), 1);
        // A fast double-click: press, release, then the system's double-click and release.
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(clicks.count(), 2);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(10, 5),
                        button.mapToGlobal(QPointF(10, 5)), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(&button, &dbl);
        QVERIFY(!button.ButtonDown());
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(clicks.count(), 2);
        button.SetEnabled(false);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(&button.CurrentPicture(), &button.PicIdle()); // no disabled picture given

        button.SetEnabled(true);
        button.SetAutoRepeat(true);
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 5));
        QVERIFY(button.RepeatActive());
        QTRY_VERIFY_WITH_TIMEOUT(clicks.count() >= 3, 2000);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 5));
        QVERIFY(!button.RepeatActive());
    }
};

int main(int argc, char** argv)
{
    furlox::test::ChooseHeadlessPlatform();
    FurloxApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"
