// The detail window, offscreen: opened from the race grid, stepped through the runner list,
// refreshed when the race changes, and the prize conversion error.
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QtTest>

#include "analysis/FxValue.h"
#include "app/ui/Application.h"
#include "app/ui/uniVelko.h"
#include "base/ui/QtText.h"
#include "detail/HorseDetail.h"
#include "detail/ui/uniSyosai.h"
#include "kol/SampleDay.h"
#include "skin/ui/EzRgnBtn.h"
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
        options.workDir = dir.toStdString();
        w->main = std::make_unique<TfrmVelko>(options);
        w->detail = std::make_unique<TfrmSyosai>();
        Windows* raw = w.get();
        w->detail->errorBox = [raw](const QString& text) { raw->errors << text; };
        w->main->AttachDetailWindow(w->detail.get());
        return w;
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

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
    }

    void opensFromTheGridAndStepsThroughTheRunners()
    {
        QTemporaryDir dir;
        kol::SampleOptions sample;
        kol::WriteSampleDay(sample, dir.path().toStdString());
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
        kol::WriteSampleDay(sample, dir.path().toStdString());
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
        kol::WriteSampleDay(sample, dir.path().toStdString());
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
        builder.WriteFiles(dir.path().toStdString());
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FurloxApplication app(argc, argv);
    DetailWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DetailWindowTest.moc"
