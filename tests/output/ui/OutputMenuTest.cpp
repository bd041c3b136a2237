// The output menu, offscreen: the save dialogs' suggested names, cancelling, the batch walks,
// printing to PDF and the preview.
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include "app/ui/Application.h"
#include "app/ui/uniVelko.h"
#include "base/Encoding.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"
#include "kol/SampleDay.h"
#include "output/PlotExport.h"
#include "output/TextExport.h"
#include "output/ui/GridPrinter.h"
#include "output/ui/asprev.h"
#include "support/HeadlessPlatform.h"
#include "support/TempDir.h"

using namespace furlox;
using namespace furlox::ui;

class OutputMenuTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;
    QTemporaryDir m_out;
    QStringList m_messages;
    QStringList m_asked; // name | filter | suffix of every save dialog

    std::unique_ptr<TfrmVelko> MakeWindow(const QString& answer)
    {
        TfrmVelko::Options options;
        options.workDir = PathOf(m_work.path());
        auto window = std::make_unique<TfrmVelko>(options);
        Dialogs::Preset().message = [this](QWidget*, const QString& title, const QString& text,
                                           MessageKind) {
            m_messages << title + QLatin1Char('|') + text;
        };
        Dialogs::Preset().file = [this, answer](const FileQuestion& question) {
            m_asked << question.name + QLatin1Char('|') + question.filter + QLatin1Char('|') +
                           question.suffix;
            return answer;
        };
        return window;
    }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QByteArray Bytes(const std::string& s)
    {
        return QByteArray(s.data(), qsizetype(s.size()));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
        kol::SampleOptions sample;
        kol::WriteSampleDay(sample, PathOf(m_work.path()));
    }

    void cleanup() { Dialogs::Preset() = {}; }

    void init()
    {
        m_messages.clear();
        m_asked.clear();
    }

    void suggestedNamesFiltersAndExtensions()
    {
        auto window = MakeWindow(QString());
        window->AnalyseRace(10);
        window->popTextOutClick();
        window->popHTMLClick();
        window->popTextOutAllClick();
        window->popPLOTClick();
        QCOMPARE(m_asked.size(), 4);
        QCOMPARE(m_asked.at(0).section(QLatin1Char('|'), 0, 0), QStringLiteral("010527東京11"));
        QCOMPARE(m_asked.at(0).section(QLatin1Char('|'), 1, 1),
                 QStringLiteral("テキスト ファイル(*.txt)"));
        QCOMPARE(m_asked.at(0).section(QLatin1Char('|'), 2), QStringLiteral("txt"));
        QCOMPARE(m_asked.at(1).section(QLatin1Char('|'), 0, 0), QStringLiteral("010527東京11"));
        QCOMPARE(m_asked.at(1).section(QLatin1Char('|'), 1, 1),
                 QStringLiteral("HTML ファイル(*.htm)"));
        QCOMPARE(m_asked.at(1).section(QLatin1Char('|'), 2), QStringLiteral("htm"));
        QCOMPARE(m_asked.at(2).section(QLatin1Char('|'), 0, 0), QStringLiteral("010527s"));
        QCOMPARE(m_asked.at(3).section(QLatin1Char('|'), 0, 0), QStringLiteral("010527w"));
        // Every dialog was cancelled: nothing happened, not even the batch's warning.
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(window->CurrentRace(), 10);
        QVERIFY(!QFile::exists(m_work.filePath(QStringLiteral("Head.dat"))));
    }

    void oneRaceTextIsTheCoreBytes()
    {
        const QString file = m_out.filePath(QStringLiteral("one.txt"));
        auto window = MakeWindow(file);
        window->AnalyseRace(4);
        window->popTextOutClick();
        QCOMPARE(Read(file), Bytes(OneRaceText(window->Race())));
        QVERIFY(m_messages.isEmpty());
    }

    void allRacesWalkReturnsToTheRaceShownBefore()
    {
        // The walk leaves no other trace, so the window stays where the user was (rather
        // than on the last race of the day).
        const QString file = m_out.filePath(QStringLiteral("all.txt"));
        auto window = MakeWindow(file);
        window->AnalyseRace(2);
        const AnalysedRace before = window->Race();
        window->popTextOutAllClick();
        QCOMPARE(Read(file), Bytes(AllRacesText(window->LoadedDay())));
        QCOMPARE(window->CurrentRace(), 2);
        QVERIFY(window->RaceShown());
        QCOMPARE(window->Race().raceHeader, before.raceHeader);
        QCOMPARE(window->popMenu->actions().at(2)->isChecked(), true);
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(m_messages.at(0).endsWith(
            QStringLiteral("処理が終わるまでマウス・キーボードは操作しないでください。")));
        QVERIFY(m_messages.at(1).endsWith(QStringLiteral("処理が正常に終了しました。")));
    }

    void plotWalkConfirmsAndReturnsToTheRaceShownBefore()
    {
        const QString file = m_out.filePath(QStringLiteral("plot.txt"));
        auto window = MakeWindow(file);
        window->AnalyseRace(7);
        window->popPLOTClick();
        QCOMPARE(Read(file), Bytes(PlotText(window->LoadedDay())));
        QCOMPARE(window->CurrentRace(), 7);
        QCOMPARE(m_messages.last(), QStringLiteral("確認|一括処理が終了しました。"));
    }

    void exportIntoAMissingFolderReportsAndWritesNothing()
    {
        // The error is reported where the action entered; nothing leaves the slot.
        const QString file = m_out.filePath(QStringLiteral("no/such/folder/x.txt"));
        auto window = MakeWindow(file);
        window->popTextOutClick();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains(QStringLiteral("を作成できません")));
        QVERIFY(!QFile::exists(file));
    }

    void htmlRewritesHeadDatAndWritesThePage()
    {
        const QString file = m_out.filePath(QStringLiteral("race.htm"));
        auto window = MakeWindow(file);
        window->popHTMLClick();
        const QByteArray page = Read(file);
        QVERIFY(page.startsWith("<html>\r\n"));
        QVERIFY(page.contains(
            "<table border=\"0\" cellspacing=\"2\" cellpadding=\"0\" Width=\"80%\">"));
        QVERIFY(QFile::exists(m_work.filePath(QStringLiteral("Head.dat"))));
    }

    void printToPdfHasTheTitleLinesAndOnePage()
    {
        // FURLOX_PRINT_SAMPLE=file.pdf keeps the printout (the docs' picture is made so).
        const QString pdf = qEnvironmentVariableIsSet("FURLOX_PRINT_SAMPLE")
                                ? qEnvironmentVariable("FURLOX_PRINT_SAMPLE")
                                : m_out.filePath(QStringLiteral("race.pdf"));
        auto window = MakeWindow(QString());
        window->AnalyseRace(10);
        int offeredPages = 0;
        bool wholeRange = false;
        Dialogs::Preset().print = [&](QPrinter& printer, int pageCount, int& from, int& to) {
            offeredPages = pageCount;
            wholeRange = from == 1 && to == pageCount;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return PrintAnswer::Print;
        };
        window->popPrintClick();
        QCOMPARE(offeredPages, 1);
        QVERIFY(wholeRange);
        QVERIFY(QFile::exists(pdf));
#ifdef Q_OS_WIN
        QSKIP("the page count is read back with poppler's pdfinfo, a Linux program");
#endif
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY(info.waitForFinished());
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        // The text as written, searchable: no radical stands in for 日, 走 or 馬.
        const QString content = QString::fromUtf8(text.readAllStandardOutput());
        for (const QChar c : content) {
            QVERIFY2(c.unicode() < 0x2E80 || c.unicode() > 0x2FDF, qPrintable(content));
        }
        QVERIFY2(content.contains(QStringLiteral("2001/05/27(日) 発走16:15 18頭")),
                 qPrintable(content));
        QVERIFY(content.contains(QStringLiteral("東京11R")));
        QVERIFY(content.contains(QStringLiteral("単勝：")));
        QVERIFY(content.contains(QStringLiteral("馬連：")));
        QVERIFY(content.contains(QStringLiteral("総合")));
    }

    void cancelledPrintDialogPrintsNothing()
    {
        const QString pdf = m_out.filePath(QStringLiteral("cancel.pdf"));
        auto window = MakeWindow(QString());
        Dialogs::Preset().print = [&](QPrinter& printer, int, int& from, int& to) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            from = to = 0;
            return PrintAnswer::Cancelled;
        };
        window->popPrintClick();
        QVERIFY(!QFile::exists(pdf));
    }

    void noPrinterIsSaidAndPrintsNothing()
    {
        auto window = MakeWindow(QString());
        window->AnalyseRace(10);
        Dialogs::Preset().print = [](QPrinter&, int, int&, int&) { return PrintAnswer::NoPrinter; };
        window->popPrintClick();
        QCOMPARE(m_messages, QStringList({QStringLiteral("Furlox|") + NoPrinterText()}));
    }

    // ---- Issue 13, item 9: the preview on the chosen paper, with its outline ---------------

    void previewUsesThePaperChosenForPrinting()
    {
        auto window = MakeWindow(QString());
        window->AnalyseRace(10);
        const QString pdf = m_out.filePath(QStringLiteral("a6.pdf"));
        QList<int> offered;
        QPageLayout chosen;
        Dialogs::Preset().print = [&](QPrinter& printer, int pageCount, int&, int&) {
            offered << pageCount;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageSize(QPageSize(QPageSize::A6));
            chosen = printer.pageLayout();
            return PrintAnswer::Print;
        };
        window->popPrintClick();
        QCOMPARE(window->PageLayout().pageSize().id(), QPageSize::A6);
        int previewPages = 0;
        QSize previewPage;
        QRect paper;
        QImage shot;
        Dialogs::Preset().modal = [&](QDialog& dialog) {
            auto& preview = static_cast<TPagePreview&>(dialog);
            shot = preview.grab().toImage();
            previewPages = preview.PageCount();
            previewPage = preview.PageSize();
            paper = preview.PaperRect().translated(preview.PaintBox1->pos());
        };
        window->PrintPreviewClick();
        QCOMPARE(previewPage, PrintablePageSize(chosen));
        // The next print splits the race as the preview did.
        window->popPrintClick();
        QCOMPARE(offered.size(), 2);
        QCOMPARE(previewPages, offered.last());
        QVERIFY(previewPages >= 1);
        // The paper's outline: a grey line around the page on the white window.
        QVERIFY(!paper.isEmpty());
        const QColor outline(0x60, 0x60, 0x60);
        for (const QPoint& p :
             {QPoint(paper.center().x(), paper.top()), QPoint(paper.left(), paper.center().y()),
              QPoint(paper.right(), paper.center().y())}) {
            QCOMPARE(shot.pixelColor(p), outline);
        }
        QCOMPARE(shot.pixelColor(paper.left() - 4, paper.center().y()), QColor(Qt::white));
    }

    void previewCloseButtonReadsAsAButton()
    {
        auto window = MakeWindow(QString());
        double contrast = 0;
        Dialogs::Preset().modal = [&](QDialog& dialog) {
            auto& preview = static_cast<TPagePreview&>(dialog);
            dialog.show();
            const QImage button = preview.Button3->grab().toImage();
            // The darkest and the lightest pixel inside the button (its face and its caption).
            double dark = 1.0;
            double light = 0.0;
            for (int y = 4; y < button.height() - 4; ++y) {
                for (int x = 4; x < button.width() - 4; ++x) {
                    const double l = button.pixelColor(x, y).lightnessF();
                    dark = std::min(dark, l);
                    light = std::max(light, l);
                }
            }
            contrast = light - dark;
            // The face itself (the corner inside the frame) is not dark.
            QVERIFY(button.pixelColor(4, button.height() / 2).lightnessF() > 0.5);
            dialog.hide();
        };
        window->PrintPreviewClick();
        QVERIFY(contrast > 0.5);
    }

    void previewLeavesTheHeaderBandForLaterPrints()
    {
        auto window = MakeWindow(QString());
        QCOMPARE(window->Grid1PrintSettings().headerSize, 0);
        bool shown = false;
        bool looksRight = false;
        bool grey = false;
        Dialogs::Preset().modal = [&](QDialog& dialog) {
            auto& preview = static_cast<TPagePreview&>(dialog);
            looksRight = preview.size() == QSize(674, 552) &&
                         preview.windowTitle() == QStringLiteral("印刷プレビュー") &&
                         preview.Button1->isHidden() && preview.Button2->isHidden() &&
                         preview.Label1->isHidden() && !preview.Button3->isHidden();
            const QImage page = preview.grab().toImage();
            // The page is drawn: some pixel of the grid's grey header row is there.
            for (int y = 33; y < page.height() && !grey; ++y) {
                for (int x = 0; x < page.width() && !grey; ++x) {
                    grey = page.pixelColor(x, y) == QColor(0x80, 0x80, 0x80);
                }
            }
            shown = true;
        };
        window->PrintPreviewClick();
        QVERIFY(shown);
        QVERIFY(looksRight);
        QVERIFY(grey);
        QCOMPARE(window->Grid1PrintSettings().headerSize, 50);
    }
};

int main(int argc, char** argv)
{
    furlox::test::ChooseHeadlessPlatform();
    FurloxApplication app(argc, argv);
    OutputMenuTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "OutputMenuTest.moc"
