#include "app/ui/OutputCommands.h"

#include <QApplication>
#include <QPrinter>
#include <QScopeGuard>

#include "app/ui/QtTranslations.h"
#include "app/ui/uniVelko.h"
#include "base/Error.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"
#include "output/CsvExport.h"
#include "output/HtmlExport.h"
#include "output/PlotExport.h"
#include "output/TextExport.h"
#include "output/ui/GridPrinter.h"
#include "output/ui/RaceCardPreview.h"
#include "output/ui/RaceCardPrinter.h"
#include "output/ui/asprev.h"

namespace furlox::ui {
namespace {

const QString kTextFilter =
    FileDialogFilter(QStringLiteral("テキスト ファイル(*.txt)"), QStringLiteral("*.txt"));
const QString kHtmlFilter =
    FileDialogFilter(QStringLiteral("HTML ファイル(*.htm)"), QStringLiteral("*.htm"));
const QString kPdfFilter =
    FileDialogFilter(QStringLiteral("PDF ファイル"), QStringLiteral("*.pdf"));
const QString kCsvFilter =
    FileDialogFilter(QStringLiteral("CSV ファイル"), QStringLiteral("*.csv"));
const QString kDoNotTouch =
    QStringLiteral("処理が終わるまでマウス・キーボードは操作しないでください。");
const RaceCardSettings kRaceCardSettings;

// The races left out of a whole-day output, for the message after it.
QString FailedRacesText(const std::vector<std::string>& failures)
{
    QString text = QStringLiteral("分析できなかったレースがあります:");
    for (const std::string& failure : failures) {
        text += QStringLiteral("\n") + Q(failure);
    }
    return text;
}

std::vector<RaceCardRace> BuildDayCard(const kol::RaceDay& day)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    return BuildRaceCard(day, AllRaceIndexes(day));
}

Error CannotStartPrinting(const QPrinter& printer)
{
    return Error(Cp932(QStringLiteral("プリンタ「%1」で印刷を開始できません。")
                           .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                                : printer.printerName())));
}

} // namespace

OutputCommands::OutputCommands(TfrmVelko& window) : QObject(&window), m_window(window) {}

const QPageLayout& OutputCommands::PageLayout()
{
    if (!m_pageLayout.isValid()) {
        // The default printer's paper until the user chooses another in the print dialog.
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Landscape);
        m_pageLayout = printer.pageLayout();
    }
    return m_pageLayout;
}

QString OutputCommands::AskSaveFile(const QString& name, const QString& filter,
                                    const QString& suffix)
{
    FileQuestion question;
    question.save = true;
    question.folder = PathQ(m_window.WorkDir());
    question.name = name;
    question.filter = filter;
    question.suffix = suffix;
    const QString chosen = Dialogs::AskFile(&m_window, question);
    m_window.ReturnFocus();
    return chosen;
}

void OutputCommands::Text()
{
    const QString file = AskSaveFile(Q(SuggestedRaceFileName(m_window.ShownRaceTexts())),
                                     kTextFilter, QStringLiteral("txt"));
    if (file.isEmpty()) {
        return;
    }
    WriteExportFile(PathOf(file), OneRaceText(m_window.Race()));
}

void OutputCommands::Html()
{
    const QString file = AskSaveFile(Q(SuggestedRaceFileName(m_window.ShownRaceTexts())),
                                     kHtmlFilter, QStringLiteral("htm"));
    if (file.isEmpty()) {
        return;
    }
    WriteHtmlExport(m_window.Race(), PathOf(file), m_window.WorkDir());
}

void OutputCommands::RunBatchExport(const std::string& suggestedName,
                                    const std::function<std::string()>& build,
                                    const std::function<void()>& finished)
{
    const QString file = AskSaveFile(Q(suggestedName), kTextFilter, QStringLiteral("txt"));
    if (file.isEmpty()) {
        return;
    }
    m_window.ShowMessage(kDoNotTouch);
    std::string bytes;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        bytes = build();
    }
    // The walk analyses every race on its own and leaves the window on the race the user was
    // looking at: the batch leaves no other trace, so jumping to the last race would only
    // lose the user's place.
    WriteExportFile(PathOf(file), bytes);
    finished();
}

void OutputCommands::AllRacesText()
{
    RunBatchExport(
        SuggestedAllRacesFileName(m_window.ShownRaceTexts()),
        [this] { return furlox::AllRacesText(m_window.LoadedDay()); },
        [this] { m_window.ShowMessage(QStringLiteral("処理が正常に終了しました。")); });
}

void OutputCommands::Plot()
{
    RunBatchExport(
        SuggestedPlotFileName(m_window.ShownRaceTexts()),
        [this] { return PlotText(m_window.LoadedDay()); },
        [this] {
            m_window.ShowMessage(QStringLiteral("一括処理が終了しました。"), false,
                                 QStringLiteral("確認"));
        });
}

void OutputCommands::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(PageLayout());
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QStringLiteral("Furlox"));
    const QSize page = PrintablePageSize(printer);
    const int pageCount = static_cast<int>(
        LayoutPrintPages(m_window.Race(), page.width(), page.height(), m_printSettings).size());
    int from = 1;
    int to = pageCount;
    const PrintAnswer answer = Dialogs::Print(&m_window, printer, pageCount, from, to);
    m_window.ReturnFocus();
    if (answer == PrintAnswer::NoPrinter) {
        m_window.ShowMessage(NoPrinterText(), true);
        return;
    }
    if (answer != PrintAnswer::Print) {
        return;
    }
    // The paper chosen in the dialog is the preview's from now on, so both split alike.
    m_pageLayout = printer.pageLayout();
    if (from == 0 || to == 0 || to < from) {
        return;
    }
    if (!PrintPages(printer, m_window.Race(), m_printSettings, from, to)) {
        throw CannotStartPrinting(printer);
    }
}

void OutputCommands::Preview()
{
    TPagePreview preview(m_window.Race(), m_printSettings, PageLayout(), &m_window);
    Dialogs::RunModal(preview);
    m_window.ReturnFocus();
}

bool OutputCommands::PrintRaceCard(QPrinter& printer, const std::vector<RaceCardRace>& card,
                                   int pageCount)
{
    int from = 1;
    int to = pageCount;
    const PrintAnswer answer = Dialogs::Print(&m_window, printer, pageCount, from, to);
    if (answer == PrintAnswer::NoPrinter) {
        m_window.ShowMessage(NoPrinterText(), true);
        return false;
    }
    if (answer != PrintAnswer::Print || from == 0 || to < from) {
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    if (!PaintRaceCard(printer, card, kRaceCardSettings, from, to)) {
        throw CannotStartPrinting(printer);
    }
    return true;
}

void OutputCommands::PrintDay()
{
    const std::vector<RaceCardRace> card = BuildDayCard(m_window.LoadedDay());
    QPrinter printer(QPrinter::HighResolution);
    // The PDF's margins and orientation on the printer's own paper: on A4 the printout and
    // the PDF have the same pages.
    QPageLayout layout = RaceCardPageLayout();
    layout.setPageSize(PageLayout().pageSize());
    printer.setPageLayout(layout);
    printer.setDocName(QStringLiteral("Furlox"));
    RaceCardPreview preview(card, kRaceCardSettings, PrintableTenths(printer.pageLayout()),
                            &m_window);
    // The preview stays open unless the card was printed: after a cancelled dialog, or
    // without a printer, the user is back where they were.
    preview.onPrint = [this, &card, &printer, &preview] {
        bool printed = false;
        m_window.Run([&] { printed = PrintRaceCard(printer, card, preview.PageCount()); });
        return printed;
    };
    Dialogs::RunModal(preview);
    m_window.ReturnFocus();
}

void OutputCommands::PdfDay()
{
    const QString file = AskSaveFile(Q(SuggestedDayFileName(m_window.ShownRaceTexts())), kPdfFilter,
                                     QStringLiteral("pdf"));
    if (file.isEmpty()) {
        return;
    }
    const std::vector<RaceCardRace> card = BuildDayCard(m_window.LoadedDay());
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        WriteRaceCardPdf(PathOf(file), card, kRaceCardSettings);
    }
    const std::vector<std::string> failures = RaceCardFailures(card);
    if (!failures.empty()) {
        m_window.ShowMessage(FailedRacesText(failures), true);
    }
}

void OutputCommands::Csv()
{
    const QString file = AskSaveFile(Q(SuggestedDayFileName(m_window.ShownRaceTexts())), kCsvFilter,
                                     QStringLiteral("csv"));
    if (file.isEmpty()) {
        return;
    }
    const DayCsv csv = BuildDayCsv(m_window.LoadedDay(), CsvEncoding::Utf8);
    WriteExportFile(PathOf(file), csv.bytes);
    if (!csv.failures.empty()) {
        m_window.ShowMessage(FailedRacesText(csv.failures), true);
    }
}

} // namespace furlox::ui
