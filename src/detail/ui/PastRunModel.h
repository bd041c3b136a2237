#pragma once

#include <QAbstractTableModel>

#include "detail/HorseDetail.h"

namespace furlox::ui {

// The past-run grid of the detail window: five runs (row 1 = five runs back) by sixteen
// columns, with the fixed row and column as the view's headers. Texts, colours and alignment
// are the core's (HorseDetail, Grid2CellStyle).
class PastRunModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY(PastRunModel)
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The runner shown; none empties the grid. The detail must outlive its use here.
    void SetDetail(const HorseDetail* detail);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const HorseDetail* m_detail = nullptr;
};

} // namespace furlox::ui
