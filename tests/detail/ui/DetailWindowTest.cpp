// The detail window, offscreen: opened from the race grid, stepped through the runner list,
// refreshed when the race changes, and the prize conversion error.
#include <QCategoryAxis>
#include <QChartView>
#include <QComboBox>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QToolTip>
#include <QValueAxis>
#include <QtTest>

#include "analysis/FxValue.h"
#include "analysis/RaceFormat.h"
#include "app/ui/Application.h"
#include "app/ui/uniVelko.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"
#include "detail/HorseDetail.h"
#include "detail/ui/FxChart.h"
#include "detail/ui/uniSyosai.h"
#include "kol/KolRecords.h"
#include "kol/SampleDay.h"
#include "skin/ui/CellDelegate.h"
#include "skin/ui/EzRgnBtn.h"
#include "support/HeadlessPlatform.h"
#include "support/KolBuilder.h"

using namespace furlox;
using namespace furlox::ui;

class DetailWindowTest : public QObject
{
    Q_OBJECT

private:
    struct Windows
    {
        std::unique_ptr<TfrmVelko> main;
        std::unique_ptr<TfrmSyosai> detail;
        QStringList errors;
    };
    std::unique_ptr<Windows> Open(const QString& dir)
    {
        auto w = std::make_unique<Windows>();
        TfrmVelko::Options options;
        options.workDir = PathOf(dir);
        w->main = std::make_unique<TfrmVelko>(options);
        w->detail = std::make_unique<TfrmSyosai>();
        Windows* raw = w.get();
        Dialogs::Preset().message = [raw](QWidget*, const QString&, const QString& text,
                                          MessageKind) { raw->errors << text; };
        w->main->AttachDetailWindow(w->detail.get());
        return w;
    }

    // The sample day in `dir`, race `race` shown, its runner in grid row `row` opened.
    std::unique_ptr<Windows> OpenSampleRunner(const QTemporaryDir& dir, int race, int row)
    {
        kol::SampleOptions sample;
        kol::WriteSampleDay(sample, PathOf(dir.path()));
        auto w = Open(dir.path());
        w->main->AnalyseRace(race);
        w->main->Grid1ClickCell(row, 2);
        return w;
    }

    // The day built in `b` written to `dir`, race 0 shown, its first runner's detail open.
    std::unique_ptr<Windows> OpenBuiltRunner(const QTemporaryDir& dir, test::KolBuilder& b)
    {
        b.WriteFiles(PathOf(dir.path()));
        auto w = Open(dir.path());
        w->main->AnalyseRace(0);
        w->main->Grid1ClickCell(1, 2);
        return w;
    }

    // A horse record with its three prize fields given (the detail window refuses blank ones).
    static void ZeroPrizes(test::Runner& runner)
    {
        runner.SetHorse(kol::horse::kMainPrize, "0000000000")
            .SetHorse(kol::horse::kPrizePart1, "0000000000")
            .SetHorse(kol::horse::kPrizePart2, "0000000000");
    }

    // Every text the window shows equals the core's detail data for the same runner.
    static void CheckShows(const TfrmSyosai& window, const HorseDetail& expected)
    {
        QCOMPARE(window.lblSeinen->text(), Q(expected.lblSeinen));
        QCOMPARE(window.lblUmaKigou->text(), Q(expected.lblUmaKigou));
        QCOMPARE(window.lblSanti->text(), Q(expected.lblSanti));
        QCOMPARE(window.lblSeisansya->text(), Q(expected.lblSeisansya));
        QCOMPARE(window.lblBanusi->text(), Q(expected.lblBanusi));
        QCOMPARE(window.lblChokyosi->text(), Q(expected.lblChokyosi));
        QCOMPARE(window.lblSouSyokin->text(), Q(expected.lblSouSyokin));
        QCOMPARE(window.lblHonSyokin->text(), Q(expected.lblHonSyokin));
        QCOMPARE(window.lblTiti->text(), Q(expected.lblTiti));
        QCOMPARE(window.lblHaha->text(), Q(expected.lblHaha));
        QCOMPARE(window.lblHahaTiti->text(), Q(expected.lblHahaTiti));
        QCOMPARE(window.lblHahaHaha->text(), Q(expected.lblHahaHaha));
        for (std::size_t i = 0; i < expected.lblRecord.size(); ++i) {
            QCOMPARE(window.lblRecord[i]->text(), Q(expected.lblRecord[i]));
        }
        // The core's list of labels is the window's: each name is one of its labels, all 23.
        int labels = 0;
        for (const auto& [name, text] : HorseDetailLabels(expected)) {
            const auto* label = window.findChild<QLabel*>(QString::fromStdString(name));
            QVERIFY2(label, name.c_str());
            QCOMPARE(label->text(), Q(*text));
            ++labels;
        }
        QCOMPARE(labels, 23);
        const QAbstractItemModel* grid = window.Grid2->model();
        for (int r = 0; r < kPastRunRows; ++r) {
            for (int c = 0; c < kPastRunColumns; ++c) {
                QCOMPARE(grid->index(r, c).data().toString(),
                         Q(expected.rows[static_cast<std::size_t>(r)]
                               .cells[static_cast<std::size_t>(c)]));
            }
        }
        QCOMPARE(window.Series1->count(), static_cast<int>(expected.points.size()));
        for (int i = 0; i < window.Series1->count(); ++i) {
            QCOMPARE(window.Series1->at(i).x(),
                     double(expected.points[static_cast<std::size_t>(i)].x));
            QCOMPARE(window.Series1->at(i).y(),
                     double(expected.points[static_cast<std::size_t>(i)].y));
        }
    }

    // What the screen holds of the chart: the window's backing store, as painted so far (a
    // grab() would paint afresh and hide anything left behind).
    static QImage ChartOnScreen(TfrmSyosai& window)
    {
        QCoreApplication::processEvents();
        QTest::qWait(50);
        const QPixmap shot = window.screen()->grabWindow(window.winId());
        return shot.toImage().copy(window.Chart1->geometry());
    }

    // The same runner drawn by a detail window of its own, opened straight from the grid.
    static QImage FreshChart(TfrmVelko& main, int row)
    {
        TfrmSyosai fresh;
        fresh.SetSource(&main.LoadedDay(), &main.Race());
        fresh.move(0, 0);
        fresh.ShowRunnerDetail(row, true);
        return ChartOnScreen(fresh);
    }

private slots:
    void cleanup() { Dialogs::Preset() = {}; }

    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
    }

    void opensFromTheGridAndStepsThroughTheRunners()
    {
        QTemporaryDir dir;
        kol::SampleOptions sample;
        kol::WriteSampleDay(sample, PathOf(dir.path()));
        auto w = Open(dir.path());
        w->main->AnalyseRace(10);
        QVERIFY(!w->detail->isVisible());

        w->main->Grid1ClickCell(3, 2);
        QVERIFY(w->detail->isVisible());
        QCOMPARE(w->detail->cmbBamei->count(), w->main->Race().headCount);
        QCOMPARE(w->detail->cmbBamei->currentIndex(), 2);
        QVERIFY(w->detail->cmbBamei->itemText(2).startsWith(QStringLiteral(" 3 ")));
        CheckShows(*w->detail, BuildHorseDetail(w->main->LoadedDay(), w->main->Race(), 2));

        w->detail->cmbBamei->setCurrentIndex(6);
        CheckShows(*w->detail, BuildHorseDetail(w->main->LoadedDay(), w->main->Race(), 6));

        // A click on another column opens nothing new.
        w->main->Grid1ClickCell(5, 3);
        QCOMPARE(w->detail->cmbBamei->currentIndex(), 6);
    }

    void raceChangeRefreshesOnHorseOneWithoutShowingAgain()
    {
        QTemporaryDir dir;
        kol::SampleOptions sample;
        kol::WriteSampleDay(sample, PathOf(dir.path()));
        auto w = Open(dir.path());
        w->main->Grid1ClickCell(4, 2);
        QVERIFY(w->detail->isVisible());
        w->main->EzRgnBtn4Click();
        QCOMPARE(w->detail->cmbBamei->currentIndex(), 0);
        QCOMPARE(w->detail->cmbBamei->count(), w->main->Race().headCount);
        CheckShows(*w->detail, BuildHorseDetail(w->main->LoadedDay(), w->main->Race(), 0));

        // Hidden, it is left alone by later races.
        w->detail->btnClose->clicked();
        QVERIFY(!w->detail->isVisible());
        w->detail->cmbBamei->setCurrentIndex(5);
        w->main->EzRgnBtn4Click();
        QCOMPARE(w->detail->cmbBamei->currentIndex(), 5);
        QVERIFY(!w->detail->isVisible());
    }

    void steeplechaseRaceLeavesTheCategoryCountsEmpty()
    {
        QTemporaryDir dir;
        kol::SampleOptions sample;
        kol::WriteSampleDay(sample, PathOf(dir.path()));
        auto w = Open(dir.path());
        w->main->AnalyseRace(3); // 東京04R, a steeplechase
        w->main->Grid1ClickCell(1, 2);
        QVERIFY(!w->detail->lblRecord[0]->text().isEmpty());
        for (std::size_t i = 1; i < 11; ++i) {
            QVERIFY(w->detail->lblRecord[i]->text().isEmpty());
        }
    }

    void prizeConversionErrorIsShownAndTheWindowStaysHidden()
    {
        QTemporaryDir dir;
        test::KolBuilder builder;
        builder.AddRunner()
            .Figures({96, 100})
            .SetHorse(kol::horse::kMainPrize, "0000123456")
            .SetHorse(kol::horse::kPrizePart1, "0000000000")
            .SetHorse(kol::horse::kPrizePart2, "0000000000");
        builder.AddRunner().SetHorse(kol::horse::kMainPrize, "12x4567890");
        builder.WriteFiles(PathOf(dir.path()));
        auto w = Open(dir.path());
        QCOMPARE(w->main->LoadedDay().RaceCount(), 1);
        w->main->Grid1ClickCell(2, 2);
        QCOMPARE(w->errors.size(), 1);
        QCOMPARE(w->errors.first(), QStringLiteral("'12x4567890' は整数ではありません"));
        QVERIFY(!w->detail->isVisible());
        w->main->Grid1ClickCell(1, 2);
        QVERIFY(w->detail->isVisible());
        QCOMPARE(w->errors.size(), 1);
    }

    // ---- nothing of the previous horse stays on the chart ----------------

    void chartShowsOnlyTheHorseShownNow()
    {
        QTemporaryDir dir;
        kol::SampleOptions sample;
        kol::WriteSampleDay(sample, PathOf(dir.path()));
        auto w = Open(dir.path());
        w->detail->move(0, 0);
        w->main->AnalyseRace(10);
        w->main->Grid1ClickCell(3, 2);
        QVERIFY(QTest::qWaitForWindowExposed(w->detail.get()));
        ChartOnScreen(*w->detail);
        // Stepping with the list, then a race change while the window is open.
        for (int index : {6, 1, 11}) {
            w->detail->cmbBamei->setCurrentIndex(index);
            QCOMPARE(ChartOnScreen(*w->detail), FreshChart(*w->main, index + 1));
        }
        w->main->EzRgnBtn4Click();
        QCOMPARE(w->detail->cmbBamei->currentIndex(), 0);
        QCOMPARE(ChartOnScreen(*w->detail), FreshChart(*w->main, 1));
    }

    void chartAxisCarriesTheRunsAndTheMarksKeepClear()
    {
        QTemporaryDir dir;
        auto w = OpenSampleRunner(dir, 10, 1);
        QVERIFY(QTest::qWaitForWindowExposed(w->detail.get()));
        for (int index = 0; index < w->detail->cmbBamei->count(); ++index) {
            w->detail->cmbBamei->setCurrentIndex(index);
            QChart* chart = w->detail->Chart1->chart();
            QCoreApplication::processEvents();
            // The bottom axis names the runs, the latest at the right.
            const QList<QAbstractAxis*> bottom = chart->axes(Qt::Horizontal);
            QCOMPARE(bottom.size(), 1);
            auto* runs = qobject_cast<QCategoryAxis*>(bottom.first());
            QVERIFY(runs);
            QCOMPARE(runs->categoriesLabels(),
                     QStringList({QStringLiteral("1走前"), QStringLiteral("2走前"),
                                  QStringLiteral("3走前"), QStringLiteral("4走前"),
                                  QStringLiteral("5走前")}));
            QVERIFY(runs->isReverse());
            // One value mark per point, its own value, inside the plot area (so never over
            // an axis label) and clear of every marker.
            QLineSeries* series = w->detail->Series1;
            const QList<QGraphicsSimpleTextItem*>& marks = w->detail->ValueLabels();
            QCOMPARE(marks.size(), series->count());
            const QRectF area = chart->plotArea();
            QVERIFY(!area.isEmpty());
            for (int i = 0; i < series->count(); ++i) {
                QCOMPARE(marks[i]->text(), QString::number(series->at(i).y()));
                const QRectF box = marks[i]->sceneBoundingRect();
                QVERIFY2(area.contains(box), qPrintable(marks[i]->text()));
                for (int j = 0; j < series->count(); ++j) {
                    const QPointF at = chart->mapToPosition(series->at(j), series);
                    const qreal half = series->markerSize() / 2;
                    QVERIFY(
                        !box.intersects(QRectF(at.x() - half, at.y() - half, 2 * half, 2 * half)));
                }
            }
        }
    }

    void pointsOutsideTheRangeAreDrawnAtTheirHeight()
    {
        // 130 above the 125 line and -45 below the -25 line of the race's class (1000万).
        QTemporaryDir dir;
        test::KolBuilder b;
        ZeroPrizes(b.AddRunner().Figures({130, -45, 60}));
        auto w = OpenBuiltRunner(dir, b);
        QVERIFY(QTest::qWaitForWindowExposed(w->detail.get()));
        QCoreApplication::processEvents();
        QChart* chart = w->detail->Chart1->chart();
        const QList<QAbstractAxis*> left = chart->axes(Qt::Vertical);
        QCOMPARE(left.size(), 1);
        auto* fx = qobject_cast<QValueAxis*>(left.first());
        QVERIFY(fx);
        QVERIFY2(fx->max() >= 130 && fx->min() <= -45,
                 qPrintable(QStringLiteral("%1..%2").arg(fx->min()).arg(fx->max())));
        // Every point inside the plot, none flattened onto its top or bottom line.
        QLineSeries* series = w->detail->Series1;
        QCOMPARE(series->count(), 3);
        const QRectF area = chart->plotArea();
        for (int i = 0; i < series->count(); ++i) {
            const QPointF at = chart->mapToPosition(series->at(i), series);
            QVERIFY2(at.y() > area.top() + 1 && at.y() < area.bottom() - 1,
                     qPrintable(QString::number(series->at(i).y())));
        }
        // The value marks stay their own.
        QCOMPARE(w->detail->ValueLabels().first()->text(), QStringLiteral("130"));
        QVERIFY(w->errors.isEmpty());
    }

    // ---- the main window's keys while the detail window has the focus --------------

    void mainWindowShortcutsWorkInTheDetailWindow()
    {
        QTemporaryDir dir;
        auto w = OpenSampleRunner(dir, 10, 1);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("help")));
        QFile page(dir.filePath(QStringLiteral("help/index.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        QStringList asked;
        Dialogs::Preset().browser = [&asked](const QUrl& url) {
            asked << url.toLocalFile();
            return QString();
        };
        Dialogs::Preset().file = [&asked](const FileQuestion& question) {
            asked << question.filter;
            return QString();
        };
        w->main->show();
        // Each key goes to the detail window, active and with its runner list focused.
        const auto press = [&w](int key, Qt::KeyboardModifiers modifiers) {
            w->detail->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w->detail.get()));
            w->detail->cmbBamei->setFocus();
            QTest::keyClick(w->detail->cmbBamei, Qt::Key(key), modifiers);
        };

        // Arrows keep their meaning here: the runner list steps, the race stays.
        press(Qt::Key_Right, Qt::NoModifier);
        QCOMPARE(w->main->CurrentRace(), 10);
        press(Qt::Key_Down, Qt::NoModifier);
        QCOMPARE(w->detail->cmbBamei->currentIndex(), 1);

        press(Qt::Key_E, Qt::ControlModifier);
        QTRY_VERIFY(w->main->popOutput->isVisible());
        w->main->popOutput->hide();
        press(Qt::Key_R, Qt::ControlModifier);
        QTRY_VERIFY(w->main->popMenu->isVisible());
        w->main->popMenu->hide();
        press(Qt::Key_F1, Qt::NoModifier);
        press(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(QFileInfo(asked.first()).fileName(), QStringLiteral("index.html"));
        QVERIFY(asked.last().contains(QStringLiteral("*.lzh")));
        press(Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!w->main->isVisible());
        QVERIFY(w->errors.isEmpty());
    }

    void typedHorseNumberJumpsToItsRunner()
    {
        QTemporaryDir dir;
        auto w = OpenSampleRunner(dir, 10, 1);
        QVERIFY(w->main->Race().headCount >= 12);
        TfrmSyosai& detail = *w->detail;
        detail.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&detail));
        detail.cmbBamei->setFocus();
        QTest::keyClick(detail.cmbBamei, Qt::Key_7);
        QCOMPARE(detail.cmbBamei->currentIndex(), 6);
        QCOMPARE(detail.Detail().runnerIndex, 6);
        // Digits in quick succession make one number: horse 12.
        QTest::qWait(QApplication::keyboardInputInterval() + 100);
        QTest::keyClicks(detail.cmbBamei, QStringLiteral("12"));
        QCOMPARE(detail.cmbBamei->currentIndex(), 11);
        QCOMPARE(detail.Detail().runnerIndex, 11);
        // A number the race does not have starts again from the last digit.
        QTest::keyClick(detail.cmbBamei, Qt::Key_9);
        QCOMPARE(detail.cmbBamei->currentIndex(), 8);
        // Typed on the past-run grid, the list follows too; the keypad's digits count.
        QTest::qWait(QApplication::keyboardInputInterval() + 100);
        QTest::keyClick(detail.Grid2, Qt::Key_3, Qt::KeypadModifier);
        QCOMPARE(detail.cmbBamei->currentIndex(), 2);
        // 0 alone is no horse number.
        QTest::qWait(QApplication::keyboardInputInterval() + 100);
        QTest::keyClick(detail.cmbBamei, Qt::Key_0);
        QCOMPARE(detail.cmbBamei->currentIndex(), 2);
        QVERIFY(w->errors.isEmpty());
    }

    void aPastRunTextTooWideForItsColumnIsElidedAndWholeInItsTooltip()
    {
        QTemporaryDir dir;
        test::KolBuilder b;
        test::PastRun open;
        open.classCode = "00005"; // オープン，牝馬: wider than the 52 pixels of 条件
        ZeroPrizes(b.AddRunner().Run(0, open));
        auto w = OpenBuiltRunner(dir, b);
        QVERIFY(QTest::qWaitForWindowExposed(w->detail.get()));
        QTableView* grid = w->detail->Grid2;
        // The latest run is the last row; 条件 is data column 3.
        const QModelIndex condition = grid->model()->index(4, 2);
        QCOMPARE(condition.data().toString(), QStringLiteral("オープン，牝馬"));
        grid->scrollTo(condition);
        const QRect cell = grid->visualRect(condition);
        const QString shown = CellDelegate::ShownText(condition, cell, grid->textElideMode());
        QVERIFY2(shown.endsWith(QChar(0x2026)) && shown.size() < condition.data().toString().size(),
                 qPrintable(shown));
        const auto tipAt = [grid](const QRect& rect) {
            QToolTip::hideText();
            if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); })) {
                qWarning("the tooltip stays");
            }
            QHelpEvent help(QEvent::ToolTip, rect.center(),
                            grid->viewport()->mapToGlobal(rect.center()));
            QApplication::sendEvent(grid->viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(cell), QStringLiteral("オープン，牝馬"));
        // A text that fits is shown whole and has no tooltip.
        const QModelIndex distance = grid->model()->index(4, 3);
        QCOMPARE(
            CellDelegate::ShownText(distance, grid->visualRect(distance), grid->textElideMode()),
            distance.data().toString());
        QCOMPARE(tipAt(grid->visualRect(distance)), QString());
        QVERIFY(w->errors.isEmpty());
    }

    // ---- a minimised window still follows the race ---------------------------------

    void minimisedWindowFollowsTheRace()
    {
        QTemporaryDir dir;
        auto w = OpenSampleRunner(dir, 10, 4);
        QVERIFY(QTest::qWaitForWindowExposed(w->detail.get()));
        w->detail->showMinimized();
        QTRY_VERIFY(w->detail->isMinimized());
        QVERIFY(w->detail->IsOpen());
        w->main->EzRgnBtn4Click();
        w->detail->showNormal();
        QCOMPARE(w->detail->cmbBamei->count(), w->main->Race().headCount);
        QCOMPARE(w->detail->cmbBamei->currentIndex(), 0);
        CheckShows(*w->detail, BuildHorseDetail(w->main->LoadedDay(), w->main->Race(), 0));
        // Picking a runner shows that runner of the race on screen, under its own name.
        w->detail->cmbBamei->setCurrentIndex(3);
        CheckShows(*w->detail, BuildHorseDetail(w->main->LoadedDay(), w->main->Race(), 3));
        QVERIFY(w->detail->cmbBamei->currentText().contains(
            Q(GridRows(w->main->Race())[3][kColHorseName])));
    }

    // ---- closing it gives the keys back to the main window ---------------------------

    void closingItGivesTheKeysBackToTheMainWindow()
    {
        QTemporaryDir dir;
        kol::SampleOptions sample;
        kol::WriteSampleDay(sample, PathOf(dir.path()));
        auto w = Open(dir.path());
        w->main->show();
        w->main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w->main.get()));
        w->main->AnalyseRace(6);
        w->main->Grid1ClickCell(2, 2);
        QVERIFY(QTest::qWaitForWindowActive(w->detail.get()));
        QTest::mouseClick(w->detail->btnClose, Qt::LeftButton, {}, QPoint(7, 6));
        QVERIFY(!w->detail->isVisible());
        QTRY_VERIFY(QApplication::activeWindow() == w->main.get());
        QCOMPARE(QApplication::focusWidget(), w->main.get());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QCOMPARE(w->main->CurrentRace(), 0);
    }

    // ---- labels, the past-run grid, an error while stepping -------------------------

    void breedingLabelsKeepTheirWidthAndTheGridStartsAtTheLeft()
    {
        QTemporaryDir dir;
        auto w = OpenSampleRunner(dir, 10, 1);
        QVERIFY(QTest::qWaitForWindowExposed(w->detail.get()));
        QScrollBar* across = w->detail->Grid2->horizontalScrollBar();
        QVERIFY(across->maximum() > 0);
        for (int index : {1, 2, 5}) {
            across->setValue(across->maximum());
            w->detail->cmbBamei->setCurrentIndex(index);
            QCOMPARE(across->value(), 0);
            for (const QLabel* label : {w->detail->lblTiti, w->detail->lblHaha,
                                        w->detail->lblHahaTiti, w->detail->lblHahaHaha}) {
                QCOMPARE(label->width(), 143);
            }
        }
    }

    void prizeErrorWhileSteppingClearsThePreviousHorse()
    {
        QTemporaryDir dir;
        test::KolBuilder builder;
        builder.AddRunner()
            .Figures({96, 100, 90})
            .SetHorse(kol::horse::kMainPrize, "0000123456")
            .SetHorse(kol::horse::kPrizePart1, "0000000000")
            .SetHorse(kol::horse::kPrizePart2, "0000000000");
        builder.AddRunner().Figures({80}).SetHorse(kol::horse::kMainPrize, "12x4567890");
        builder.WriteFiles(PathOf(dir.path()));
        auto w = Open(dir.path());
        w->main->Grid1ClickCell(1, 2);
        QVERIFY(w->detail->isVisible());
        QVERIFY(!w->detail->lblTiti->text().isEmpty());
        QCOMPARE(w->detail->Series1->count(), 3);
        w->detail->cmbBamei->setCurrentIndex(1);
        QCOMPARE(w->errors.size(), 1);
        for (const QLabel* label :
             {w->detail->lblSeinen, w->detail->lblSanti, w->detail->lblSeisansya,
              w->detail->lblBanusi, w->detail->lblChokyosi, w->detail->lblSouSyokin,
              w->detail->lblHonSyokin, w->detail->lblTiti, w->detail->lblHaha,
              w->detail->lblHahaTiti, w->detail->lblHahaHaha}) {
            QVERIFY2(label->text().isEmpty(), qPrintable(label->text()));
        }
        for (const QLabel* label : w->detail->lblRecord) {
            QVERIFY(label->text().isEmpty());
        }
        QCOMPARE(w->detail->Series1->count(), 0);
        const QAbstractItemModel* grid = w->detail->Grid2->model();
        for (int r = 0; r < kPastRunRows; ++r) {
            for (int c = 0; c < kPastRunColumns; ++c) {
                QVERIFY(grid->index(r, c).data().toString().isEmpty());
            }
        }
    }

    void positionComesFromTheSettingsAndIsWrittenBack()
    {
        {
            QSettings settings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
            settings.setValue(QStringLiteral("Uma/Left"), QStringLiteral("33"));
            settings.setValue(QStringLiteral("Uma/Top"), QStringLiteral("x"));
        }
        QTemporaryDir dir;
        auto w = Open(dir.path());
        QCOMPARE(w->detail->x(), 33);
        w->detail->move(70, 80);
        w->main->close();
        QSettings settings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
        QCOMPARE(settings.value(QStringLiteral("Uma/Left")).toString(), QStringLiteral("70"));
        QCOMPARE(settings.value(QStringLiteral("Uma/Top")).toString(), QStringLiteral("80"));
    }
};

int main(int argc, char** argv)
{
    furlox::test::ChooseHeadlessPlatform();
    FurloxApplication app(argc, argv);
    DetailWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DetailWindowTest.moc"
