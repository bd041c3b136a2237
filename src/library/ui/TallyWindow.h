#pragma once

#include <QChartView>
#include <QWidget>
#include <filesystem>
#include <optional>

#include "library/Tally.h"

class QBarSet;
class QComboBox;
class QDateEdit;
class QLabel;
class QTableWidget;

namespace furlox::ui {

// The win and top-three rates of the marks beside the first three favourites', as bars.
class TallyChart final : public QChartView
{
    Q_OBJECT
public:
    explicit TallyChart(QWidget* parent);
    void ShowTally(const library::TallyResult& tally);
    QBarSet* WinBars() const { return m_win; }
    QBarSet* Top3Bars() const { return m_top3; }

private:
    QBarSet* m_win = nullptr;
    QBarSet* m_top3 = nullptr;
};

// 成績集計: whether the marks come in over a range of the library's days, per mark, per
// popularity as the baseline, and per bet kind and grade, with the chart of the rates.
class TfrmTally final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TfrmTally)
public:
    explicit TfrmTally(std::filesystem::path workDir, QWidget* parent = nullptr);

    // Reads the library's newest day, puts the range on this season when no range was chosen
    // yet, and tallies. False (the reason in the notes line) when the library cannot be read.
    bool Refresh();
    // The presets: the calendar year of the newest day, the 28 days up to it.
    void ChooseThisSeason();
    void ChooseLastFourWeeks();
    // Tallies the range and the filters as the controls hold them.
    void Recount();
    // The filter the controls make.
    library::TallyFilter Filter() const;
    const library::TallyResult& Result() const { return m_result; }

    QDateEdit* FromBox() const { return m_from; }
    QDateEdit* ToBox() const { return m_to; }
    QComboBox* CourseBox() const { return m_course; }
    QComboBox* SurfaceBox() const { return m_surface; }
    QComboBox* DistanceBox() const { return m_distance; }
    QComboBox* GradeBox() const { return m_grade; }
    QComboBox* ClassBox() const { return m_class; }
    QTableWidget* MarkTable() const { return m_marks; }
    QTableWidget* MarketTable() const { return m_market; }
    QTableWidget* BetTable() const { return m_bets; }
    TallyChart* Chart() const { return m_chart; }
    QLabel* Notes() const { return m_notes; }

signals:
    // The day's runners of the loaded day are asked for.
    void runnersRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowResult();
    void SetRange(const library::DateRange& range);

    std::filesystem::path m_workDir;
    std::optional<library::Date> m_newest;
    bool m_rangeChosen = false;
    bool m_filling = false;
    library::TallyResult m_result;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QComboBox* m_course = nullptr;
    QComboBox* m_surface = nullptr;
    QComboBox* m_distance = nullptr;
    QComboBox* m_grade = nullptr;
    QComboBox* m_class = nullptr;
    QTableWidget* m_marks = nullptr;
    QTableWidget* m_market = nullptr;
    QTableWidget* m_bets = nullptr;
    TallyChart* m_chart = nullptr;
    QLabel* m_notes = nullptr;
};

} // namespace furlox::ui
