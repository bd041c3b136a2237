#pragma once

#include <QAbstractTableModel>
#include <QBrush>
#include <QFont>
#include <QStringList>
#include <QTableView>
#include <vector>

#include "analysis/AnalysedRace.h"

// The race grid on screen: a read-only model over the core's analysed race. Its texts come
// from the core's formatting step and its looks from the core's one grid rule (alignment,
// colours, bold), both taken once when the race is set: a repaint only hands them out.
namespace furlox::ui {

class RaceGridModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY(RaceGridModel)
public:
    explicit RaceGridModel(QObject* parent = nullptr);

    // The race shown; the model keeps the pointer, the owner keeps the race alive.
    void SetRace(const AnalysedRace* race);
    const AnalysedRace* Race() const { return m_race; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Cell
    {
        QString text;
        QBrush background;
        QBrush foreground;
        Qt::Alignment align;
        bool bold = false;
    };

    const AnalysedRace* m_race = nullptr;
    std::vector<Cell> m_cells; // row by row, kGridColumns per runner
    QStringList m_header;
    QFont m_font;
    QFont m_boldFont;
};

// Grid1: one header row, twelve columns of fixed widths, rows 16 pixels high, no scroll
// bars, read-only. As in the grid the window was designed with, a grid line of one pixel
// comes on top of each row's 16 and each column's width, inside a 2-pixel border: n runners
// fill 17 × n + 21 pixels, the twelve columns 480.
class RaceGridView final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY(RaceGridView)
public:
    explicit RaceGridView(QWidget* parent = nullptr);

    // Sizes the grid for n runner rows (17 × n + 21 pixels high, 480 wide).
    void FitRows(int runners);

    static constexpr int kGridLine = 1;
    static constexpr int kBorder = 2;

signals:
    // A click on a cell; row counts the header as row 0, as the race's grid rows do.
    void cellClicked(int row, int column);
};

} // namespace furlox::ui
