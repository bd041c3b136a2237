#include "skin/ui/CellDelegate.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace furlox::ui {
namespace {

// The room the text leaves at each side of its cell.
constexpr int kTextMargin = 1;

QRect TextRect(const QRect& cell)
{
    return cell.adjusted(kTextMargin, 0, -kTextMargin, 0);
}

} // namespace

QString CellDelegate::ShownText(const QModelIndex& index, const QRect& rect, Qt::TextElideMode mode)
{
    const QString text = index.data(Qt::DisplayRole).toString();
    if (mode == Qt::ElideNone) {
        return text;
    }
    const QFontMetrics metrics(index.data(Qt::FontRole).value<QFont>());
    return metrics.elidedText(text, mode, TextRect(rect).width());
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    painter->save();
    painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QBrush>());
    painter->setFont(index.data(Qt::FontRole).value<QFont>());
    painter->setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
    const auto align = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    painter->drawText(TextRect(option.rect), static_cast<int>(align),
                      ShownText(index, option.rect, option.textElideMode));
    painter->restore();
}

bool CellDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                             const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !view || !index.isValid()) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect cell = view->visualRect(index);
    if (ShownText(index, cell, view->textElideMode()) != text) {
        QToolTip::showText(event->globalPos(), text, view->viewport(), cell);
    } else {
        QToolTip::hideText();
    }
    return true;
}

} // namespace furlox::ui
