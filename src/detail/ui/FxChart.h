#pragma once

#include <QChartView>
#include <QList>

#include "detail/HorseDetail.h"

class QCategoryAxis;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QValueAxis;

namespace furlox::ui {

// The detail window's chart of a runner's FX values over its last five runs: "1走前" at the
// right, the FX axis on the range of the shown race's class (widened where a point lies
// outside it, DrawnChartAxis), each point's value marked above it, or below where the top of
// the plot would cut the mark.
class FxChart final : public QChartView
{
    Q_OBJECT
    Q_DISABLE_COPY(FxChart)
public:
    explicit FxChart(QWidget* parent);

    // A new chart for the runner (none: an empty chart on the default range), so nothing of
    // an earlier runner's chart survives.
    void ShowRunner(const HorseDetail* detail);

    QLineSeries* Series() const { return m_series; }
    QValueAxis* FxAxis() const { return m_axisY; }
    // The value marks of the points, in the order of the points.
    const QList<QGraphicsSimpleTextItem*>& ValueLabels() const { return m_valueLabels; }

private:
    void PlaceValueLabels();

    QLineSeries* m_series = nullptr;
    QCategoryAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
    QList<QGraphicsSimpleTextItem*> m_valueLabels;
};

} // namespace furlox::ui
