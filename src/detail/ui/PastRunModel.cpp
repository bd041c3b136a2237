#include "detail/ui/PastRunModel.h"

#include <QBrush>

#include "base/ui/CellStyleQt.h"
#include "base/ui/QtText.h"

namespace furlox::ui {

void PastRunModel::SetDetail(const HorseDetail* detail)
{
    beginResetModel();
    m_detail = detail;
    endResetModel();
}

int PastRunModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kPastRunRows;
}

int PastRunModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kPastRunColumns;
}

QVariant PastRunModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_detail) {
        return {};
    }
    const int row = index.row() + 1;
    const int column = index.column() + 1;
    const PastRunCellStyle style = Grid2CellStyle(*m_detail, row, column);
    switch (role) {
    case Qt::DisplayRole:
        return Q(m_detail->rows[static_cast<std::size_t>(index.row())]
                     .cells[static_cast<std::size_t>(index.column())]);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(QtAlignment(style.align));
    case Qt::ForegroundRole:
        return QBrush(RgbColour(style.font));
    case Qt::BackgroundRole:
        return QBrush(RgbColour(style.background));
    case Qt::FontRole:
        return FixedFont(12);
    default:
        return {};
    }
}

QVariant PastRunModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole) {
        return orientation == Qt::Horizontal ? Q(Grid2ColumnHeader(section + 1))
                                             : Q(Grid2RowHeader(section + 1));
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    }
    if (role == Qt::FontRole) {
        return FixedFont(12);
    }
    return {};
}

} // namespace furlox::ui
