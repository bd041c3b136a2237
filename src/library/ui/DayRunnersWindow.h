#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QWidget>
#include <optional>
#include <vector>

#include "library/DayRunners.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTableView;

namespace furlox::ui {

// The day's runners, one row each, the cells the core's texts; the sort role holds the core's
// sort keys (an invalid value where there is none).
class DayRunnerModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kSortRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;
    void SetList(library::DayRunnerList list);
    const library::DayRunnerList& List() const { return m_list; }
    const library::DayRunner& At(int row) const
    {
        return m_list.runners[static_cast<std::size_t>(row)];
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    library::DayRunnerList m_list;
};

// Sorts numbers as numbers with the empty cells last in either direction, and keeps the
// runners the filter keeps.
class DayRunnerProxy final : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetFilter(const library::DayRunnerFilter& filter);
    const library::DayRunnerFilter& Filter() const { return m_filter; }
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    library::DayRunnerFilter m_filter;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

// 出走馬一覧: every runner of the loaded day in one table, sortable by any column and
// filtered by course, race, mark, and the ◎ the market overlooked. A double-click (Enter)
// asks the main window for that race with the horse's detail.
class TfrmDayRunners final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TfrmDayRunners)
public:
    explicit TfrmDayRunners(QWidget* parent = nullptr);

    // The day to list (analysed here race by race), with the library's results of it if any.
    void SetDay(const kol::RaceDay& day, const std::optional<library::Date>& date,
                const std::vector<library::RaceResults>* results);

    // The filter's parts as the controls set them.
    void ChooseCourse(std::optional<int> courseCode);
    void ChooseRace(std::optional<int> raceIndex);
    void ChooseMark(std::optional<Mark> mark);
    void ChooseOverlooked(bool on);
    // Opens the chosen row's race (openRunner); nothing without a chosen row.
    void OpenChosenRunner();

    DayRunnerModel* Model() const { return m_model; }
    DayRunnerProxy* Proxy() const { return m_proxy; }
    QTableView* Table() const { return m_table; }
    QComboBox* CourseBox() const { return m_course; }
    QComboBox* RaceBox() const { return m_race; }
    QComboBox* MarkBox() const { return m_mark; }
    QCheckBox* OverlookedBox() const { return m_overlooked; }
    QLabel* StatusLine() const { return m_status; }

signals:
    // Show race `raceIndex` of the loaded day with the detail of horse `horseNumber`.
    void openRunner(int raceIndex, int horseNumber);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillRaceBox();
    void ApplyFilter();
    void UpdateStatus();

    DayRunnerModel* m_model = nullptr;
    DayRunnerProxy* m_proxy = nullptr;
    QTableView* m_table = nullptr;
    QLabel* m_title = nullptr;
    QComboBox* m_course = nullptr;
    QComboBox* m_race = nullptr;
    QComboBox* m_mark = nullptr;
    QCheckBox* m_overlooked = nullptr;
    QLabel* m_status = nullptr;
    bool m_filling = false;
};

} // namespace furlox::ui
