#pragma once

#include <QAbstractTableModel>
#include <QChartView>
#include <QWidget>
#include <filesystem>
#include <vector>

#include "library/Library.h"

class QLabel;
class QLineSeries;
class QTableView;

namespace furlox::ui {

// The runs of a horse's history, one row each, oldest first.
class HistoryModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetRuns(std::vector<library::HistoryRun> runs);
    const std::vector<library::HistoryRun>& Runs() const { return m_runs; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<library::HistoryRun> m_runs;
};

// The FX values of every run of the history that has one, a point per run, oldest at the
// left, in the look of the detail window's chart.
class HistoryChart final : public QChartView
{
    Q_OBJECT
public:
    explicit HistoryChart(QWidget* parent);
    void ShowRuns(const std::vector<library::HistoryRun>& runs);
    QLineSeries* Series() const { return m_series; }

private:
    QLineSeries* m_series = nullptr;
};

// 馬の履歴: every run of one horse the library knows, with the chart of its FX values.
class TfrmHorseHistory final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TfrmHorseHistory)
public:
    explicit TfrmHorseHistory(std::filesystem::path workDir, QWidget* parent = nullptr);

    // Reads the horse's history from the library and shows the window. `name` as the entry
    // record has it or as typed (blanks at the ends do not count). False, with the reason
    // told, when the library cannot be read.
    bool ShowHorse(const QString& name);

    const QString& HorseName() const { return m_name; }
    HistoryModel* Model() const { return m_model; }
    HistoryChart* Chart() const { return m_chart; }
    QTableView* Table() const { return m_table; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::filesystem::path m_workDir;
    QString m_name;
    QLabel* m_title = nullptr;
    QLabel* m_summary = nullptr;
    HistoryModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    HistoryChart* m_chart = nullptr;
};

} // namespace furlox::ui
