// The main window, offscreen: navigation, the race menu, settings, drops and the grid.
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>
#include <filesystem>

#include "analysis/GridRules.h"
#include "analysis/ui/RaceGridModel.h"
#include "app/ui/Application.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/uniAbout.h"
#include "app/ui/uniVelko.h"
#include "base/Encoding.h"
#include "base/Settings.h"
#include "kol/SampleDay.h"
#include "skin/ui/EzRgnBtn.h"

using namespace furlox;
using namespace furlox::ui;
namespace fs = std::filesystem;

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    fs::path WorkDir() const { return m_dir.path().toStdString(); }
    std::unique_ptr<TfrmVelko> MakeWindow(const QString& archive = {})
    {
        TfrmVelko::Options options;
        options.workDir = WorkDir();
        options.archive = archive;
        auto window = std::make_unique<TfrmVelko>(options);
        window->messageBox = [this](const QString&, const QString& text, bool) {
            m_messages << text;
        };
        return window;
    }
    QStringList m_messages;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
        kol::SampleOptions sample;
        sample.seed = 1;
        kol::WriteSampleDay(sample, WorkDir());
    }

    void init() { m_messages.clear(); }

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
        options.workDir = empty.path().toStdString();
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
        // The eight entries of the one-race and batch outputs, then the whole-day ones.
        QCOMPARE(actions.size(), 12);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("印刷(&P)..."));
        QVERIFY(actions.at(2)->isSeparator());
        QCOMPARE(actions.at(7)->text(), QStringLiteral("一括テキストで出力/P.L.O.T形式(&W)..."));
        QVERIFY(actions.at(8)->isSeparator());
        QCOMPARE(actions.at(9)->text(), QStringLiteral("全レース印刷(&A)..."));
        QCOMPARE(actions.at(10)->text(), QStringLiteral("全レースPDF保存(&D)..."));
        QCOMPARE(actions.at(11)->text(), QStringLiteral("CSV保存(&C)..."));
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
                QCOMPARE(
                    index.data().toString().toStdString(),
                    ToUtf8(race.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]));
                QCOMPARE(index.data(Qt::BackgroundRole).value<QBrush>().color().rgb() & 0xFFFFFF,
                         style.background);
                QCOMPARE(index.data(Qt::ForegroundRole).value<QBrush>().color().rgb() & 0xFFFFFF,
                         style.font);
                QCOMPARE(index.data(Qt::FontRole).value<QFont>().bold(), style.bold);
            }
        }
        QCOMPARE(window->Grid1->columnWidth(2), 116);
        QCOMPARE(window->Grid1->columnWidth(10), 42);
    }

    void clickOnAHorseNameAsksForTheDetail()
    {
        auto window = MakeWindow();
        QList<QPair<int, int>> calls;
        window->onShowRunnerDetail = [&calls](int row, int column, bool show) {
            QVERIFY(show);
            calls << qMakePair(row, column);
        };
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
        options.workDir = work.path().toStdString();
        TfrmVelko window(options);
        window.messageBox = [this](const QString&, const QString& text, bool) {
            m_messages << text;
        };
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
        const QString upper = drops.filePath(QStringLiteral("DAY.LZH"));
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

    void commandLineArchiveIsOpenedAtStartAndAgainAfterARaceWasShown()
    {
        QTemporaryDir work;
        TfrmVelko::Options options;
        options.workDir = work.path().toStdString();
        options.archive = QStringLiteral(FURLOX_SOURCE_DIR "/samples/sample-day.lzh");
        TfrmVelko window(options);
        QCOMPARE(window.LoadedDay().RaceCount(), 36);
        window.AnalyseRace(7);
        window.openFileDialog = [](const QString&, const QString& filter) {
            Q_ASSERT(filter.contains(QStringLiteral("*.lzh")));
            return QStringLiteral(FURLOX_SOURCE_DIR "/samples/sample-day.lzh");
        };
        window.EzRgnBtn1Click();
        QCOMPARE(window.CurrentRace(), 0);
        QCOMPARE(window.LastOpenDir(), QStringLiteral(FURLOX_SOURCE_DIR "/samples/"));
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
        window->openFileDialog = [&offered](const QString& dir, const QString&) {
            offered = dir;
            return QString();
        };
        window->EzRgnBtn1Click();
        QCOMPARE(offered, QString::fromStdString(WorkDir().string()) + QLatin1Char('/'));
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
    }

    void secondInstanceIsAnsweredWhileTheFirstIsBusy()
    {
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FurloxApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"
