#include "skin/ui/CellDelegate.h"

#include <QPainter>

namespace furlox::ui {

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    painter->save();
    painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QBrush>());
    painter->setFont(index.data(Qt::FontRole).value<QFont>());
    painter->setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
    const auto align = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    painter->drawText(option.rect.adjusted(1, 0, -1, 0), static_cast<int>(align),
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

} // namespace furlox::ui
