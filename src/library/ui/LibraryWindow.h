#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <vector>

#include "library/Library.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace furlox::ui {

class TfrmHorseHistory;

// The days of the library, one row each: date, weekday, courses, races, runners, runners with
// a known result. Sorted by the window's proxy; the sort role holds numbers.
class DayListModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        kDate,
        kWeekday,
        kCourses,
        kRaces,
        kRunners,
        kKnown,
        kColumnCount
    };
    static constexpr int kSortRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;
    void SetDays(std::vector<library::DaySummary> days);
    const std::vector<library::DaySummary>& Days() const { return m_days; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<library::DaySummary> m_days;
};

// ライブラリ: the days kept in the library of the work directory. A day is opened into the
// work directory by the main window through the one open flow (openDay), removed after a question,
// and archives or a folder of them are imported with a progress window; a horse is found by
// name and its history shown.
class TfrmLibrary final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TfrmLibrary)
public:
    TfrmLibrary(std::filesystem::path workDir, TfrmHorseHistory* history,
                QWidget* parent = nullptr);

    // Reads the days again; false (the reason told) when the library cannot be opened.
    bool Refresh();
    // The date of the chosen row, if a row is chosen.
    std::optional<library::Date> ChosenDay() const;
    bool ChooseDay(library::Date date);

    // The user's commands; each tells its own errors.
    void OpenChosenDay();
    void RemoveChosenDay();
    void ImportArchives(); // asks for archives
    void ImportFolder();   // asks for a folder
    void Import(const std::vector<std::filesystem::path>& paths);
    void Search(const QString& text);
    void ShowFoundHorse(int row);

    DayListModel* Model() const { return m_model; }
    QTableView* Table() const { return m_table; }
    QLineEdit* SearchBox() const { return m_search; }
    QListWidget* FoundHorses() const { return m_found; }
    QLabel* StatusLine() const { return m_status; }

signals:
    // A day of the library to be put into the work directory and shown.
    void openDay(library::Date date);
    // The runners of a day of the library, that day put into the work directory first when
    // it is not the one there.
    void runnersRequested(library::Date date);
    void tallyRequested();
    // Days were imported or removed: results of other days may have changed.
    void libraryChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Tell(const QString& text, bool warning = true);
    void UpdateButtons();

    std::filesystem::path m_workDir;
    TfrmHorseHistory* m_history = nullptr;
    DayListModel* m_model = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    QTableView* m_table = nullptr;
    QLineEdit* m_search = nullptr;
    QListWidget* m_found = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_runners = nullptr;
};

} // namespace furlox::ui
