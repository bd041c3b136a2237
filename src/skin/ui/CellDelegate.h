#pragma once

#include <QStyledItemDelegate>

namespace furlox::ui {

// Draws a grid cell from its model roles: the background, then the text in its font, colour
// and alignment with one pixel of room at the sides. In a view that elides (the past-run
// grid, whose columns are narrower than some texts) a text too wide for its cell ends in an
// ellipsis and shows whole as the cell's tooltip; elsewhere the columns are sized for their
// texts and nothing is cut.
class CellDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // The text the cell shows in `rect` with the view's elide mode.
    static QString ShownText(const QModelIndex& index, const QRect& rect, Qt::TextElideMode mode);
};

} // namespace furlox::ui
