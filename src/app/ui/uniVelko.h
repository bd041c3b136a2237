#pragma once

#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPageLayout>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "analysis/AnalysedRace.h"
#include "archive/DayArchive.h"
#include "kol/RaceDay.h"
#include "library/DayRecords.h"
#include "library/Library.h"
#include "output/PrintLayout.h"

class QFrame;

namespace furlox::ui {

class ArchiveHandover;
class TEzRgnBtn;
class TfrmSyosai;
class TfrmLibrary;
class TfrmDayRunners;
class TfrmTally;
class TfrmHorseHistory;
class CompanionViewer;
class OutputCommands;
class RaceGridModel;
class RaceGridView;

// The main window: owns the loaded race day, the current race index and the analysed race,
// and turns the user's actions into core calls.
class TfrmVelko final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TfrmVelko)
public:
    struct Options
    {
        std::filesystem::path workDir;
        QString archive; // the command-line archive, if any
    };
    explicit TfrmVelko(const Options& options, QWidget* parent = nullptr);
    ~TfrmVelko() override;

    // State.
    const std::filesystem::path& WorkDir() const { return m_workDir; }
    const kol::RaceDay& LoadedDay() const { return m_day; }
    // The analysed race on screen; empty (no rows) while no race could be shown.
    const AnalysedRace& Race() const { return m_race; }
    // The race index the window stands on. It moves with every step, also onto a race whose
    // analysis failed, so the buttons, the keys and the race menu step past a broken race;
    // -1 before any race of the loaded day was chosen.
    int CurrentRace() const { return m_raceIndex; }
    // True while Race() is the analysis of race CurrentRace() of the loaded day.
    bool RaceShown() const { return m_raceShown; }
    // The texts of the race the window stands on (CurrentRace() must be a race of the day).
    const kol::RaceTexts& ShownRaceTexts() const;
    const QString& LastOpenDir() const { return m_lastOpenDir; }
    int BeepCount() const { return m_beeps; }
    // The paper of the printer chosen last (the default printer's at first): printing and
    // the preview both lay the pages out on it.
    const QPageLayout& PageLayout();
    const PrintSettings& Grid1PrintSettings() const;

    // What a command of the window needs before it can run.
    enum class Needs
    {
        Day,       // a loaded race day with a race chosen (the walks over the whole day)
        ShownRace, // an analysed race on the screen (the race's own outputs)
    };
    bool Has(Needs needs) const;

    // Operations. Each is where a user's action (or a start-up option) enters: it never
    // throws, and reports an error through the window's one message path.
    //
    // Shows race `raceIndex` of the loaded day. When its analysis fails the grid is emptied,
    // the error is reported and the index still moves there; false then.
    bool AnalyseRace(int raceIndex);
    void OpenDataArchive(const QString& archivePath);
    // A day of the library (the library window's 開く): put into the work directory through
    // the same open flow and shown at race 0; it is the library's already.
    void OpenLibraryDay(library::Date date);
    // An archive handed over by a second start: opened as soon as no dialog or extraction of
    // this window is running, and the window comes to the front.
    void OpenHandedArchive(const QString& archivePath);
    // --race and --horse: show a race, open the detail window of a horse.
    void ApplyStartOptions(std::optional<int> raceIndex, std::optional<int> horse);
    void ShowRunnerDetail(int row, int column, bool show);

    // Steps of the start-up and of opening an archive; these throw, their callers catch.
    void StartUpLoad();
    bool LoadKolFiles();

    // The detail window, created after the main window; it follows the shown race, and the
    // main window's own shortcuts work while it has the focus.
    void AttachDetailWindow(TfrmSyosai* detail);
    TfrmSyosai* DetailWindow() const { return m_detail; }

    // Event handlers, named after their components.
    void EzRgnBtn1Click();
    void EzRgnBtn2Click();
    void EzRgnBtn3Click();
    void EzRgnBtn4Click();
    void EzRgnBtn5Click();
    void EzRgnBtn6Click();
    void EzRgnBtn7Click();
    void YosouClick(int raceIndex);
    void Grid1ClickCell(int row, int column);
    void popHelpIndexClick();
    void popVerClick();
    void popPrintClick();
    void PrintPreviewClick();
    void popHTMLClick();
    void popTextOutClick();
    void popTextOutAllClick();
    void popPLOTClick();
    void popPrintAllClick(); // the day's race card: preview, then print
    void popPdfAllClick();   // the day's race card as a PDF file
    void popCsvClick();      // the day as a CSV file
    void LibraryClick();     // the library window (its button, Ctrl+L)
    // A horse's history from the library (the detail window's button, the search).
    void ShowHorseHistory(const QString& name);
    void RunnersClick(); // the day's runners (the output menu's entry, Ctrl+U)
    void TallyClick();   // the tally of the library (Ctrl+T)
    // Shows race `raceIndex` with the detail of horse `horseNumber` (from the day's runners).
    void ShowRunner(int raceIndex, int horseNumber);
    // Reads the loaded day's results from the library again and shows the shown race's.
    void DayResultsChanged();
    // The library's results of the loaded day; nullopt while it has none.
    const std::optional<std::vector<library::RaceResults>>& DayResults() const
    {
        return m_dayResults;
    }
    TfrmLibrary* LibraryWindow() const { return m_library; }
    TfrmDayRunners* RunnersWindow() const { return m_runners; }
    TfrmTally* TallyWindow() const { return m_tally; }
    TfrmHorseHistory* HistoryWindow() const { return m_history; }

    // The window's one message path: a message box over the window, the keys back on the
    // window afterwards.
    void ShowMessage(const QString& text, bool warning = false, const QString& title = {});
    // Gives the keyboard back to the window after a dialog, the detail window or a message.
    void ReturnFocus();
    // Runs a user's action; an error it throws is reported, never passed on.
    bool Run(const std::function<void()>& action);

    // Components, named as the window was designed.
    QLabel* imgForm = nullptr;
    QLabel* imgSystem = nullptr;
    TEzRgnBtn* btnClose = nullptr;
    QFrame* pnl1 = nullptr;
    QFrame* pnl2 = nullptr;
    QFrame* pnl3 = nullptr;
    QFrame* pnl4 = nullptr;
    QLabel* lblTitle1 = nullptr;
    QLabel* lblTitle2 = nullptr;
    RaceGridView* Grid1 = nullptr;
    QLabel* lblTan = nullptr;
    QLabel* imgGraph = nullptr;
    QLabel* lblNotice = nullptr; // in pnl2 while no race is shown: why, and what to do
    QLabel* lblResult = nullptr; // in pnl3 under the bets: the race's first three, once known
    std::array<TEzRgnBtn*, 7> EzRgnBtn{};
    TEzRgnBtn* btnLibrary = nullptr; // the library window, as Ctrl+L
    QMenu* popMenu = nullptr;
    QMenu* popOutput = nullptr;
    QMenu* popHelp = nullptr;
    QMenu* popSystem = nullptr;
    QAction* popPrint = nullptr;
    QAction* PrintPreview = nullptr;
    QAction* popHTML = nullptr;
    QAction* popTextOut = nullptr;
    QAction* popTextOutAll = nullptr;
    QAction* popPLOT = nullptr;
    QAction* popPrintAll = nullptr;
    QAction* popPdfAll = nullptr;
    QAction* popCsv = nullptr;
    QAction* popRunners = nullptr;

signals:
    void raceShown(int raceIndex);
    // A click on a horse's name (or a race change while the detail window is open) asks for
    // that runner's detail.
    void runnerDetailRequested(int row, int column, bool show);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildWindow();
    void BuildMenus();
    void BuildShortcuts();
    void RestoreSettings();
    void FormCloseQuery();
    void RebuildRaceMenu();
    void popOutputPopup();
    void Beep();
    void ReportError(const QString& text);
    // Runs a command that needs `needs`: without it the window beeps and nothing happens.
    void Command(Needs needs, const std::function<void()>& action);
    void OpenHomePage(const QString& url);
    void OpenArchiveNow(const QString& archivePath);
    void OpenLibraryDayNow(library::Date date);
    // The day an open has put into the work directory, shown at race 0 with its refusals.
    void ShowOpenedDay(archive::OpenedDay opened);
    // A new race day (or part of one) was loaded: nothing of the old analysed race stays.
    // Makes the loaded day this one, with the race menu, and tells its warnings.
    void TakeDay(kol::LoadedDay loaded);
    void DayReplaced();
    // Takes every figure of the analysed race off the screen and closes the detail window.
    void DropRace();
    void ShowNotice(const QString& text);
    void MarkCurrentRace();
    // The shown race's results: the line in the bets panel and the detail window's texts.
    void ShowRaceResults();

    std::filesystem::path m_workDir;
    QString m_lastOpenDir;
    kol::RaceDay m_day;
    AnalysedRace m_race;
    int m_raceIndex = -1;
    bool m_raceShown = false;
    bool m_busy = false; // an archive is being opened
    ArchiveHandover* m_handover = nullptr;
    OutputCommands* m_output = nullptr;
    int m_beeps = 0;
    RaceGridModel* m_model = nullptr;
    TfrmSyosai* m_detail = nullptr;
    bool m_detailShown = false;            // the detail-window-shown flag
    std::array<QImage, 4> m_gradePictures; // imgA, imgB, imgC, imgD
    CompanionViewer* m_viewer = nullptr;
    TfrmLibrary* m_library = nullptr;
    TfrmHorseHistory* m_history = nullptr;
    TfrmDayRunners* m_runners = nullptr;
    TfrmTally* m_tally = nullptr;
    std::optional<std::vector<library::RaceResults>> m_dayResults;
};

} // namespace furlox::ui
