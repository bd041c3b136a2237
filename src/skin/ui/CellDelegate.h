#pragma once

#include <QStyledItemDelegate>

namespace furlox::ui {

// Draws a grid cell from its model roles: the background, then the text in its font, colour
// and alignment with one pixel of room at the sides, never elided (the columns are sized
// for their texts).
class CellDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace furlox::ui
