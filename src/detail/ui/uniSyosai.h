#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QStringList>
#include <QWidget>
#include <array>

#include "detail/HorseDetail.h"

class QComboBox;
class QFrame;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineSeries;
class QPushButton;
class QTableView;

namespace furlox::ui {

class FxChart;
class PastRunModel;
class TEzRgnBtn;

// The detail window: one runner of the shown race with its breeding, connections, prize
// money, record counts, last five runs and the chart of their FX values. It shows the core's
// horse detail data and computes nothing itself.
class TfrmSyosai final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TfrmSyosai)
public:
    explicit TfrmSyosai(QWidget* parent = nullptr);
    ~TfrmSyosai() override;

    // Where the race comes from: the main window's race day and analysed race.
    void SetSource(const kol::RaceDay* day, const AnalysedRace* race);

    // Rebuilds the runner list and shows runner `row` (1-based, horse-number order);
    // with `show` the window appears. Errors are reported and the window is not shown.
    void ShowRunnerDetail(int row, bool show);
    // Fills every control for runner `index` (0-based). Throws on a prize conversion error,
    // after clearing every control, so nothing of the horse shown before stays.
    void ShowHorse(int index);
    // The program closes the window (its close button, or the race it showed is gone).
    void CloseDetail();
    // Whether the program has the window open: set when it shows a runner with `show`,
    // cleared when it is closed. A window minimised by the user stays open (and follows the
    // shown race); the system's hiding and showing never change this.
    bool IsOpen() const { return m_open; }

    const HorseDetail& Detail() const { return m_detail; }
    // The value marks of the chart's points, in the order of the points.
    const QList<QGraphicsSimpleTextItem*>& ValueLabels() const;

    // Components, named as the window was designed.
    QLabel* imgForm = nullptr;
    TEzRgnBtn* btnClose = nullptr;
    QFrame* Panel1 = nullptr;
    QComboBox* cmbBamei = nullptr;
    QLabel* lblUmaKigou = nullptr;
    QLabel* imgKeiro = nullptr;
    QLabel* lblSeinen = nullptr;
    QLabel* lblSanti = nullptr;
    QLabel* lblSeisansya = nullptr;
    QLabel* lblBanusi = nullptr;
    QLabel* lblChokyosi = nullptr;
    QLabel* lblSouSyokin = nullptr;
    QLabel* lblHonSyokin = nullptr;
    QLabel* lblTiti = nullptr;
    QLabel* lblHaha = nullptr;
    QLabel* lblHahaTiti = nullptr;
    QLabel* lblHahaHaha = nullptr;
    std::array<QLabel*, 11> lblRecord{}; // lbl1 .. lbl11
    FxChart* Chart1 = nullptr;
    QLineSeries* Series1 = nullptr; // rebuilt, with its chart, for every horse
    QTableView* Grid2 = nullptr;

    // The name of the horse shown (UTF-8, trailing blanks removed); empty when none is.
    QString HorseName() const;
    // The results of the shown race as the library knows them, one text per horse number
    // (item k - 1 for horse k, empty where not known): the shown horse's is the small line
    // in the title strip. Cleared with an empty list.
    void SetResultTexts(const QStringList& byHorse);
    QLabel* lblResult = nullptr;
    // Asks for the shown horse's history (the 履歴 button, Ctrl+H).
    void RequestHistory();
    QPushButton* btnHistory = nullptr;

signals:
    // The history of a horse of the shown race is asked for.
    void historyRequested(const QString& name);
    // The program opened (true) or closed (false) the window; see IsOpen.
    void shownChanged(bool shown);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildWindow();
    void ShowChart(const HorseDetail* detail);
    void ClearHorse();
    // The panel's label of that control name ("lblSeinen" … "lbl11"), nullptr for none.
    QLabel* DetailLabel(const std::string& name) const;
    void ReportError(const QString& text);
    void ShowResultText();
    void cmbBameiChange(int index);
    void RestorePosition();

    const kol::RaceDay* m_day = nullptr;
    const AnalysedRace* m_race = nullptr;
    HorseDetail m_detail;
    PastRunModel* m_pastRuns = nullptr;
    QStringList m_resultTexts;
    // A horse number typed digit by digit jumps to that runner (see TypeDigit).
    void TypeDigit(int digit);

    bool m_filling = false;
    bool m_open = false;
    int m_typed = 0;            // the horse number typed so far
    QElapsedTimer m_typedSince; // since its last digit
};

} // namespace furlox::ui
