#pragma once

#include <QObject>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <string>

#include "output/PrintLayout.h"
#include "output/RaceCard.h"

class QPrinter;

namespace furlox::ui {

class TfrmVelko;

// The output menu's commands of the main window: the race's print, preview, HTML and text
// export, the walks over the whole day (all races as text, the P.L.O.T file), and the day's
// race card (preview and print, PDF) and CSV file. The window checks that what a command
// needs is there before it calls one; errors are thrown on to the window's slot.
class OutputCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(OutputCommands)
public:
    explicit OutputCommands(TfrmVelko& window);

    void Print();
    void Preview();
    void Html();
    void Text();
    void AllRacesText();
    void Plot();
    void PrintDay();
    void PdfDay();
    void Csv();

    // The paper of the printer chosen last; see TfrmVelko::PageLayout.
    const QPageLayout& PageLayout();
    const PrintSettings& GridPrintSettings() const { return m_printSettings; }

private:
    QString AskSaveFile(const QString& name, const QString& filter, const QString& suffix);
    // The walk over every race of an all-races export: save dialog, warning, the file built
    // by `build`, the file written, then `finished`. The window stays on its race.
    void RunBatchExport(const std::string& suggestedName, const std::function<std::string()>& build,
                        const std::function<void()>& finished);
    // Prints pages of the race card; false when nothing was printed (the dialog was
    // cancelled, or there is no printer, which is said).
    bool PrintRaceCard(QPrinter& printer, const std::vector<RaceCardRace>& card, int pageCount);

    TfrmVelko& m_window;
    QPageLayout m_pageLayout; // of the printer chosen last; the preview uses it too
    PrintSettings m_printSettings;
};

} // namespace furlox::ui
