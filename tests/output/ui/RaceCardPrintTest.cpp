// The day's race card offscreen: the PDF from the output menu and from `furlox --pdf`, the
// preview and its printout, and the CSV entry.
#include <QKeyEvent>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QWheelEvent>
#include <QtTest>

#include "analysis/RaceFormat.h"
#include "app/ui/Application.h"
#include "app/ui/uniVelko.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"
#include "kol/KolHen.h"
#include "kol/SampleDay.h"
#include "output/CsvExport.h"
#include "output/RaceCard.h"
#include "output/ui/RaceCardPreview.h"
#include "output/ui/RaceCardPrinter.h"
#include "support/HeadlessPlatform.h"
#include "support/KolBuilder.h"

using namespace furlox;
using namespace furlox::ui;

class RaceCardPrintTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;
    QTemporaryDir m_out;
    QStringList m_messages;
    QStringList m_asked;

    std::unique_ptr<TfrmVelko> MakeWindow(const QString& answer)
    {
        TfrmVelko::Options options;
        options.workDir = PathOf(m_work.path());
        auto window = std::make_unique<TfrmVelko>(options);
        Dialogs::Preset().message = [this](QWidget*, const QString&, const QString& text,
                                           MessageKind) { m_messages << text; };
        Dialogs::Preset().file = [this, answer](const FileQuestion& question) {
            m_asked << question.name + QLatin1Char('|') + question.filter + QLatin1Char('|') +
                           question.suffix;
            return answer;
        };
        return window;
    }

    static QString Run(const QString& program, const QStringList& args)
    {
        QProcess process;
        process.start(program, args);
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // The PDF is read back with poppler's pdfinfo and pdftotext, Linux programs that a
    // Windows test program cannot start.
    static void SkipWithoutPoppler()
    {
#ifdef Q_OS_WIN
        QSKIP("the PDF is read back with poppler's pdfinfo and pdftotext, Linux programs");
#endif
    }

    static int PdfPages(const QString& pdf)
    {
        const QString info = Run(QStringLiteral("pdfinfo"), {pdf});
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)\\n")).match(info);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }

    // The PDF's text in the order it was written (what a viewer's search reads; the default
    // mode guesses columns from the gaps on the page, and the dense card has many), as it is:
    // no folding of look-alike characters.
    static QString PdfText(const QString& pdf)
    {
        return Run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    }

    // A text as the PDF's text gives it: one blank between words.
    static QString Shown(const std::string& cp932)
    {
        return QString::fromStdString(ToUtf8(kol::Trim(cp932))).simplified();
    }

    // The characters of the Kangxi radicals and the CJK radicals supplement in a text: a font
    // that maps them and the ideographs to one glyph writes them in place of 馬, 日, 走 ...
    static QString Radicals(const QString& text)
    {
        QString found;
        for (const QChar c : text) {
            if (c.unicode() >= 0x2E80 && c.unicode() <= 0x2FDF) {
                found += c;
            }
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
        kol::SampleOptions sample;
        sample.full = true;
        kol::WriteSampleDay(sample, PathOf(m_work.path()));
    }

    void cleanup()
    {
        Dialogs::Preset() = {};
    }

    void init()
    {
        m_messages.clear();
        m_asked.clear();
    }

    void pdfOfTheDayHasEveryRaceAndRunnerAsText()
    {
        // FURLOX_CARD_SAMPLE=file.pdf keeps the card (the docs' picture is made so).
        const QString pdf = qEnvironmentVariableIsSet("FURLOX_CARD_SAMPLE")
                                ? qEnvironmentVariable("FURLOX_CARD_SAMPLE")
                                : m_out.filePath(QStringLiteral("card.pdf"));
        auto window = MakeWindow(pdf);
        window->AnalyseRace(3);
        window->popPdfAllClick();
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked.at(0), QStringLiteral("010527|PDF ファイル (*.pdf)|pdf"));
        QVERIFY(m_messages.isEmpty());

        const kol::RaceDay& day = window->LoadedDay();
        const std::vector<RaceCardRace> card = BuildRaceCard(day, AllRaceIndexes(day));
        const QSize page = PrintableTenths(RaceCardPageLayout());
        const auto pages = LayoutRaceCard(card, page.width(), page.height(), RaceCardSettings());
        QVERIFY(pages.size() >= card.size());
        SkipWithoutPoppler();
        QCOMPARE(PdfPages(pdf), static_cast<int>(pages.size()));

        // pdftotext gives one blank between words, however wide the gap on the page. The
        // text is searchable as written: 馬連 is 馬連, never ⾺連.
        const QString text = PdfText(pdf).simplified();
        QCOMPARE(Radicals(text), QString());
        QVERIFY(text.contains(QStringLiteral("馬連")));
        QVERIFY(text.contains(QStringLiteral("馬番・馬名・騎手")));
        for (const RaceCardRace& race : card) {
            for (const std::string& line : PrintTitleLines(race.race)) {
                QVERIFY2(text.contains(Shown(line)), qPrintable(Shown(line)));
            }
            for (const GridRow& row : GridRows(race.race)) {
                QVERIFY2(text.contains(Shown(row[kColHorseName])),
                         qPrintable(Shown(row[kColHorseName])));
            }
        }
        // The program's print font travels inside the file.
        QVERIFY(PrintFontLoaded());
        const QString fonts = Run(QStringLiteral("pdffonts"), {pdf});
        QVERIFY2(fonts.contains(QStringLiteral("FurloxPrintSansJP")), qPrintable(fonts));
        for (const QString& line : fonts.split(QLatin1Char('\n')).mid(2)) {
            if (!line.trimmed().isEmpty()) {
                QVERIFY2(line.contains(QStringLiteral(" yes ")), qPrintable(line));
            }
        }
    }

    void previewShowsThePagesThePrinterGets()
    {
        const QString pdf = m_out.filePath(QStringLiteral("printed.pdf"));
        auto window = MakeWindow(QString());
        window->AnalyseRace(0);
        int previewPages = 0;
        int offered = 0;
        bool wholeRange = false;
        Dialogs::Preset().modal = [&](QDialog& dialog) {
            auto& preview = dynamic_cast<RaceCardPreview&>(dialog);
            previewPages = preview.PageCount();
            QCOMPARE(preview.CurrentPage(), 1);
            QVERIFY(!preview.btnPrev->isEnabled());
            QKeyEvent next(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
            QApplication::sendEvent(&preview, &next);
            QCOMPARE(preview.CurrentPage(), 2);
            QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
            QApplication::sendEvent(&preview, &end);
            QCOMPARE(preview.CurrentPage(), preview.PageCount());
            QVERIFY(!preview.btnNext->isEnabled());
            preview.btnPrev->click();
            QCOMPARE(preview.CurrentPage(), preview.PageCount() - 1);

            // The page is drawn: some of the box is neither white nor the grey around it.
            preview.resize(900, 680);
            preview.ShowPage(1);
            const QImage image = preview.paintBox->grab().toImage();
            int inked = 0;
            for (int y = 0; y < image.height(); y += 2) {
                for (int x = 0; x < image.width(); x += 2) {
                    const QRgb c = image.pixel(x, y);
                    inked += qGray(c) < 100 ? 1 : 0;
                }
            }
            QVERIFY(inked > 100);
            preview.btnPrint->click();
        };
        Dialogs::Preset().print = [&](QPrinter& printer, int pageCount, int& from, int& to) {
            offered = pageCount;
            wholeRange = from == 1 && to == pageCount;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return PrintAnswer::Print;
        };
        window->popPrintAllClick();
        // On A4 the printer gets the PDF's pages.
        const std::vector<RaceCardRace> card =
            BuildRaceCard(window->LoadedDay(), AllRaceIndexes(window->LoadedDay()));
        const QSize page = PrintableTenths(RaceCardPageLayout());
        QCOMPARE(previewPages,
                 static_cast<int>(
                     LayoutRaceCard(card, page.width(), page.height(), RaceCardSettings()).size()));
        QCOMPARE(offered, previewPages);
        QVERIFY(wholeRange);
        SkipWithoutPoppler();
        QCOMPARE(PdfPages(pdf), previewPages);
    }

    void previewZoomsToTheWidthTheRealSizeAndBySteps()
    {
        auto window = MakeWindow(QString());
        window->AnalyseRace(0);
        bool ran = false;
        Dialogs::Preset().modal = [&](QDialog& dialog) {
            auto& preview = dynamic_cast<RaceCardPreview&>(dialog);
            preview.resize(1000, 500);
            preview.show();
            QVERIFY(QTest::qWaitForWindowExposed(&preview));
            const auto percent = [&preview] { return qRound(preview.ZoomFactor() * 100); };
            // It opens on the page's width: the page fills the view across, and scrolls.
            QCOMPARE(preview.ZoomMode(), RaceCardPreview::Zoom::PageWidth);
            QVERIFY(qAbs(preview.paintBox->width() - preview.scrollArea->viewport()->width()) <= 2);
            QVERIFY(preview.paintBox->height() > preview.scrollArea->viewport()->height());
            // 100 %: the paper at its real size on this screen.
            preview.btnRealSize->click();
            QCOMPARE(percent(), 100);
            QCOMPARE(preview.lblZoom->text(), QStringLiteral("100 %"));
            const double paper = PrintableTenths(RaceCardPageLayout()).width() / 254.0 *
                                 preview.paintBox->logicalDpiX();
            QVERIFY(qAbs(preview.paintBox->width() - 16 - paper) <= 2);
            // + and − by a quarter; Ctrl and the wheel, Ctrl − and Ctrl 0 as well.
            preview.btnZoomIn->click();
            QCOMPARE(percent(), 125);
            const QPointF at(100, 100);
            QWheelEvent up(at, preview.scrollArea->viewport()->mapToGlobal(at), QPoint(),
                           QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                           false);
            QApplication::sendEvent(preview.scrollArea->viewport(), &up);
            QCOMPARE(percent(), 156);
            QTest::keyClick(&preview, Qt::Key_Minus, Qt::ControlModifier);
            QCOMPARE(percent(), 125);
            preview.btnZoomOut->click();
            QCOMPARE(percent(), 100);
            preview.btnZoomIn->click();
            QTest::keyClick(&preview, Qt::Key_0, Qt::ControlModifier);
            QCOMPARE(percent(), 100);
            for (int i = 0; i < 20; ++i) {
                preview.ZoomIn();
            }
            QCOMPARE(percent(), 400);
            QVERIFY(!preview.btnZoomIn->isEnabled());
            // The whole page fits the view, and the page keys still turn the pages.
            preview.btnWholePage->click();
            QVERIFY(preview.paintBox->width() <= preview.scrollArea->viewport()->width());
            QVERIFY(preview.paintBox->height() <= preview.scrollArea->viewport()->height());
            QTest::keyClick(&preview, Qt::Key_PageDown);
            QCOMPARE(preview.CurrentPage(), 2);
            QCOMPARE(preview.ZoomMode(), RaceCardPreview::Zoom::WholePage);
            preview.btnClose->click();
            ran = true;
        };
        window->popPrintAllClick();
        QVERIFY(ran);
    }

    // Without a printer the print button says so, and after a cancelled print dialog too the
    // preview stays where the user was.
    void previewStaysOpenWhenNothingWasPrinted()
    {
        auto window = MakeWindow(QString());
        window->AnalyseRace(0);
        QList<PrintAnswer> answers = {PrintAnswer::NoPrinter, PrintAnswer::Cancelled};
        Dialogs::Preset().print = [&answers](QPrinter&, int, int& from, int& to) {
            const PrintAnswer answer = answers.takeFirst();
            if (answer == PrintAnswer::Cancelled) {
                from = to = 0;
            }
            return answer;
        };
        QList<bool> openAfterPrint;
        Dialogs::Preset().modal = [&](QDialog& dialog) {
            auto& preview = dynamic_cast<RaceCardPreview&>(dialog);
            preview.show();
            preview.ShowPage(3);
            for (int i = 0; i < 2; ++i) {
                preview.btnPrint->click();
                openAfterPrint << (preview.isVisible() && preview.CurrentPage() == 3);
            }
            preview.btnClose->click();
        };
        window->popPrintAllClick();
        QCOMPARE(openAfterPrint, QList<bool>({true, true}));
        QVERIFY(answers.isEmpty());
        QCOMPARE(m_messages, QStringList({NoPrinterText()}));
    }

    // On Windows the system's print dialog does not open at all without a printer: the
    // program says so instead of doing nothing.
    void withoutAPrinterTheRealPrintCommandSaysSo()
    {
        if (PrinterCanBeChosen()) {
            QSKIP("a printer can be chosen here (or Qt's own dialog offers a PDF file)");
        }
        auto window = MakeWindow(QString());
        window->AnalyseRace(0);
        window->popPrintClick();
        QCOMPARE(m_messages, QStringList({NoPrinterText()}));
    }

    void anUnwritablePdfTargetIsReportedAndLeavesNothing()
    {
        const QString pdf = m_out.filePath(QStringLiteral("missing/card.pdf"));
        auto window = MakeWindow(pdf);
        window->AnalyseRace(0);
        m_messages.clear();
        window->popPdfAllClick();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.at(0).contains(QStringLiteral("card.pdf")),
                 qPrintable(m_messages.at(0)));
        QVERIFY(!QFileInfo::exists(pdf));
        QVERIFY(!QFileInfo::exists(m_out.filePath(QStringLiteral("missing"))));
    }

    void csvEntryWritesTheCoreBytes()
    {
        const QString file = m_out.filePath(QStringLiteral("day.csv"));
        auto window = MakeWindow(file);
        window->AnalyseRace(0);
        emit window->popOutput->aboutToShow();
        QVERIFY(window->popCsv->isEnabled());
        window->popCsvClick();
        QCOMPARE(m_asked.at(0), QStringLiteral("010527|CSV ファイル (*.csv)|csv"));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const std::string bytes = BuildDayCsv(window->LoadedDay(), CsvEncoding::Utf8).bytes;
        QCOMPARE(written.readAll(), QByteArray(bytes.data(), qsizetype(bytes.size())));
        QVERIFY(m_messages.isEmpty());
    }

    void headlessPdfCommand()
    {
        const QString program = QCoreApplication::applicationDirPath() +
                                QStringLiteral("/../furlox") +
#ifdef Q_OS_WIN
                                QStringLiteral(".exe");
#else
                                QString();
#endif
        QVERIFY2(QFileInfo::exists(program), qPrintable(program));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        auto run = [&](const QStringList& args) {
            QProcess process;
            process.setProcessEnvironment(env);
            process.start(program, QStringList{QStringLiteral("--workdir"), m_work.path()} + args);
            process.waitForFinished(60000);
            return process.exitCode();
        };
        const QString one = m_out.filePath(QStringLiteral("one.pdf"));
        QCOMPARE(run({QStringLiteral("--pdf"), one, QStringLiteral("--race"), QStringLiteral("5")}),
                 0);
#ifndef Q_OS_WIN // (no pdftotext for a Windows program: the file's start is checked instead)
        QVERIFY(PdfText(one).contains(QStringLiteral("6R")));
#else
        QFile written(one);
        QVERIFY(written.open(QIODevice::ReadOnly) && written.read(5) == "%PDF-");
#endif
        QCOMPARE(run({QStringLiteral("--pdf"), one}), 2);
        QCOMPARE(
            run({QStringLiteral("--pdf"), one, QStringLiteral("--all"), QStringLiteral("--bogus")}),
            2);
        QCOMPARE(run({QStringLiteral("--pdf"), one, QStringLiteral("--all"),
                      QStringLiteral("--race"), QStringLiteral("1")}),
                 2);
        QCOMPARE(
            run({QStringLiteral("--pdf"), one, QStringLiteral("--race"), QStringLiteral("99")}), 1);

        // A race that cannot be analysed: its page says so, the rest is printed, exit 1.
        QTemporaryDir broken;
        test::KolBuilder b;
        b.AddRace();
        b.AddRunner().Figures({90});
        b.AddRace().Set(kol::race::kRaceNumber, "12");
        b.AddRunner().Figures({90});
        b.race(1).runners[0].SetEntry(kol::entry::kWeightCarried, "5X0");
        b.WriteFiles(PathOf(broken.path()));
        const QString pdf = m_out.filePath(QStringLiteral("broken.pdf"));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, {QStringLiteral("--workdir"), broken.path(), QStringLiteral("--pdf"),
                                pdf, QStringLiteral("--all")});
        process.waitForFinished(60000);
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(QString::fromUtf8(process.readAllStandardError())
                    .contains(QStringLiteral("2番目のレース")));
        SkipWithoutPoppler();
        const QString text = PdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("分析できない")));
        QVERIFY(text.contains(QStringLiteral("テストホース01")));
    }
};

int main(int argc, char** argv)
{
    furlox::test::ChooseHeadlessPlatform();
    FurloxApplication app(argc, argv);
    RaceCardPrintTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RaceCardPrintTest.moc"
