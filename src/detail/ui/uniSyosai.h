#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "detail/HorseDetail.h"

class QChart;
class QChartView;
class QComboBox;
class QFrame;
class QLabel;
class QLineSeries;
class QTableView;
class QValueAxis;

namespace furlox::ui {

class TEzRgnBtn;
class PastRunModel;

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
    // Fills every control for runner `index` (0-based). Throws on a prize conversion error.
    void ShowHorse(int index);

    const HorseDetail& Detail() const { return m_detail; }

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
    QChartView* Chart1 = nullptr;
    QLineSeries* Series1 = nullptr;
    QTableView* Grid2 = nullptr;

    // How errors are shown (a message box unless a test replaces it).
    std::function<void(const QString&)> errorBox;

signals:
    void shownChanged(bool shown);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildWindow();
    void BuildChart();
    void cmbBameiChange(int index);
    void RestorePosition();

    const kol::RaceDay* m_day = nullptr;
    const AnalysedRace* m_race = nullptr;
    HorseDetail m_detail;
    PastRunModel* m_pastRuns = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
    bool m_filling = false;
};

} // namespace furlox::ui
