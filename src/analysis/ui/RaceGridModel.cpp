#include "analysis/ui/RaceGridModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHeaderView>

#include "analysis/GridRules.h"
#include "base/ui/CellStyleQt.h"
#include "base/ui/QtText.h"
#include "skin/ui/CellDelegate.h"

namespace furlox::ui {
RaceGridModel::RaceGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void RaceGridModel::SetRace(const AnalysedRace* race)
{
    beginResetModel();
    m_race = race;
    endResetModel();
}

int RaceGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_race ? 0 : static_cast<int>(m_race->rows.size());
}

int RaceGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kGridColumns;
}

QVariant RaceGridModel::data(const QModelIndex& index, int role) const
{
    if (!m_race || !index.isValid()) {
        return {};
    }
    const int row = index.row() + 1;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return Q(
            m_race->rows[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(column)]);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(QtAlignment(Grid1CellStyle(*m_race, row, column).align));
    case Qt::BackgroundRole:
        return QBrush(RgbColour(Grid1CellStyle(*m_race, row, column).background));
    case Qt::ForegroundRole:
        return QBrush(RgbColour(Grid1CellStyle(*m_race, row, column).font));
    case Qt::FontRole: {
        QFont font = FixedFont(12);
        font.setBold(Grid1CellStyle(*m_race, row, column).bold);
        return font;
    }
    default:
        return {};
    }
}

QVariant RaceGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kGridColumns) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return m_race ? Q(m_race->header[static_cast<std::size_t>(section)]) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::FontRole:
        return ProportionalFont(12);
    default:
        return {};
    }
}

RaceGridView::RaceGridView(QWidget* parent) : QTableView(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    // Qt draws a cell's grid line inside its section, so each section is the designed size
    // plus that line.
    verticalHeader()->setDefaultSectionSize(16 + kGridLine);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFixedHeight(16 + kGridLine);
    horizontalHeader()->setMinimumSectionSize(1);
    setTextElideMode(Qt::ElideNone);
    setItemDelegate(new CellDelegate(this));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    setStyleSheet(QStringLiteral(
        "QTableView { background: white; gridline-color: #C0C0C0;"
        " border: 2px solid; border-color: #303030 #A0A0A0 #A0A0A0 #303030; }"
        "QHeaderView::section { background: #808080; color: white; border: 0;"
        " border-right: 1px solid #C0C0C0; border-bottom: 1px solid #C0C0C0; padding: 0; }"));
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
        emit cellClicked(index.row() + 1, index.column());
    });
}

void RaceGridView::FitRows(int runners)
{
    int width = 2 * kBorder;
    for (int c = 0; c < kGridColumns; ++c) {
        setColumnWidth(c, Grid1ColumnWidth(c) + kGridLine);
        width += Grid1ColumnWidth(c) + kGridLine;
    }
    resize(width, 17 * runners + 21);
}

} // namespace furlox::ui
