#pragma once

#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>

#include "analysis/AnalysedRace.h"
#include "kol/RaceDay.h"
#include "output/PrintLayout.h"

class QFrame;
class QPrinter;

namespace furlox::ui {

class TEzRgnBtn;
class TfrmSyosai;
class CompanionViewer;
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
    const AnalysedRace& Race() const { return m_race; }
    int CurrentRace() const { return m_race.raceIndex; }
    bool RaceShown() const { return m_raceShown; }
    const QString& LastOpenDir() const { return m_lastOpenDir; }
    int BeepCount() const { return m_beeps; }

    // Operations (errors are thrown with their message; the application shows them).
    void AnalyseRace(int raceIndex);
    void StartUpLoad();
    bool LoadKolFiles();
    void OpenDataArchive(const QString& archivePath);
    void ShowRunnerDetail(int row, int column, bool show);

    // The detail window, created after the main window; it follows the shown race.
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
    const PrintSettings& Grid1PrintSettings() const { return m_printSettings; }

    // Hooks the tests and the other windows use.
    std::function<QString(const QString& dir, const QString& filter)> openFileDialog;
    std::function<void(int row, int column, bool show)> onShowRunnerDetail;
    // The save dialog: suggested name, filter, default extension → chosen path or empty.
    std::function<QString(const QString& name, const QString& filter, const QString& suffix)>
        saveFileDialog;
    // The print dialog of Grid1PrintStart: given the page count, sets the pages to print
    // (from, to) and returns false when cancelled.
    std::function<bool(QPrinter& printer, int pageCount, int& from, int& to)> printDialog;
    // Shows the preview window modally (a test may look at it instead).
    std::function<void(QDialog& preview)> runPreview;
    std::function<void(const QString& title, const QString& text, bool warning)> messageBox;

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
    std::array<TEzRgnBtn*, 7> EzRgnBtn{};
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

signals:
    void raceShown(int raceIndex);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildWindow();
    void BuildMenus();
    void RestoreSettings();
    void FormCloseQuery();
    void RebuildRaceMenu();
    void popOutputPopup();
    void Beep();
    void ShowMessage(const QString& text, bool warning = false);
    void OpenHomePage(const QString& url);
    QString AskSaveFile(const QString& name, const QString& filter, const QString& suffix);
    const kol::RaceTexts& ShownRaceTexts() const;
    // The walk over every race of an all-races export: save dialog, warning, the file
    // built by `build`, the last race shown, the file written, then `finished`.
    void RunBatchExport(const std::string& suggestedName, const std::function<std::string()>& build,
                        const std::function<void()>& finished);
    void ShowLastRace();

    std::filesystem::path m_workDir;
    QString m_lastOpenDir;
    kol::RaceDay m_day;
    AnalysedRace m_race;
    bool m_raceShown = false;
    int m_beeps = 0;
    RaceGridModel* m_model = nullptr;
    TfrmSyosai* m_detail = nullptr;
    bool m_detailShown = false;            // the detail-window-shown flag
    std::array<QImage, 4> m_gradePictures; // imgA, imgB, imgC, imgD
    PrintSettings m_printSettings;
    CompanionViewer* m_viewer = nullptr;
};

} // namespace furlox::ui
