#include "analysis/ui/RaceGridModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHeaderView>

#include "analysis/GridRules.h"
#include "analysis/RaceFormat.h"
#include "base/ui/CellStyleQt.h"
#include "base/ui/QtText.h"
#include "skin/ui/CellDelegate.h"

namespace furlox::ui {
RaceGridModel::RaceGridModel(QObject* parent)
    : QAbstractTableModel(parent), m_font(FixedFont(12)), m_boldFont(FixedFont(12))
{
    m_boldFont.setBold(true);
    for (const std::string& text : GridHeader()) {
        m_header << Q(text);
    }
}

void RaceGridModel::SetRace(const AnalysedRace* race)
{
    beginResetModel();
    m_race = race;
    m_cells.clear();
    if (race) {
        const std::vector<GridRow> rows = GridRows(*race);
        m_cells.reserve(rows.size() * kGridColumns);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (int column = 0; column < kGridColumns; ++column) {
                const CellStyle style = Grid1CellStyle(*race, static_cast<int>(r) + 1, column);
                m_cells.push_back({Q(rows[r][static_cast<std::size_t>(column)]),
                                   QBrush(RgbColour(style.background)),
                                   QBrush(RgbColour(style.font)), QtAlignment(style.align),
                                   style.bold});
            }
        }
    }
    endResetModel();
}

int RaceGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_race ? 0 : static_cast<int>(m_cells.size() / kGridColumns);
}

int RaceGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kGridColumns;
}

QVariant RaceGridModel::data(const QModelIndex& index, int role) const
{
    if (!m_race || !index.isValid() || index.column() < 0 || index.column() >= kGridColumns) {
        return {};
    }
    const auto at = static_cast<std::size_t>(index.row()) * kGridColumns +
                    static_cast<std::size_t>(index.column());
    if (at >= m_cells.size()) {
        return {};
    }
    const Cell& cell = m_cells[at];
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(cell.align);
    case Qt::BackgroundRole:
        return cell.background;
    case Qt::ForegroundRole:
        return cell.foreground;
    case Qt::FontRole:
        return cell.bold ? m_boldFont : m_font;
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
        return m_race ? m_header[section] : QVariant();
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
