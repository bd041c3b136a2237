#include "detail/ui/FxChart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

#include "base/ui/QtText.h"

namespace furlox::ui {
namespace {

constexpr int kMarkerSize = 7;
const QColor kAqua(0, 255, 255);

} // namespace

FxChart::FxChart(QWidget* parent) : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    setFrameStyle(QFrame::NoFrame);
    // The whole view is drawn again on every change: marks drawn outside an item's own
    // rectangle must never be left behind.
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    ShowRunner(nullptr);
}

void FxChart::ShowRunner(const HorseDetail* detail)
{
    auto* chart = new QChart();
    chart->setTitle(QStringLiteral("近5走におけるFX値の推移"));
    chart->setTitleBrush(Qt::white);
    chart->setTitleFont(ProportionalFont(13));
    QLinearGradient gradient(0, 0, 0, 316);
    gradient.setColorAt(0, QColor(0xC0, 0xC0, 0xC0));
    gradient.setColorAt(1, Qt::black);
    chart->setBackgroundBrush(gradient);
    chart->setBackgroundRoundness(0);
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 8, 10, 4));

    m_series = new QLineSeries(chart);
    QPen pen(kAqua);
    pen.setWidth(3);
    m_series->setPen(pen);
    m_series->setPointsVisible(true);
    m_series->setMarkerSize(kMarkerSize);
    // The values are marked by labels of our own (PlaceValueLabels), which keep clear of the
    // markers and of the axes' labels.
    m_series->setPointLabelsVisible(false);
    if (detail) {
        for (const ChartPoint& point : detail->points) {
            m_series->append(point.x, point.y);
        }
    }
    chart->addSeries(m_series);

    // The latest run stands at the right: the bottom axis runs from "5走前" to "1走前", and
    // half a step beyond each end so the outer points keep away from the left axis.
    m_axisX = new QCategoryAxis(chart);
    m_axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int run = 1; run <= 5; ++run) {
        m_axisX->append(QStringLiteral("%1走前").arg(run), run);
    }
    m_axisX->setRange(0.5, 5.5);
    m_axisX->setStartValue(0.5);
    m_axisX->setReverse(true);
    m_axisY = new QValueAxis(chart);
    // The range of the race's class, widened where a point lies outside it: a figure is
    // never drawn at the edge in place of its own height.
    const ChartAxis fx = detail ? DrawnChartAxis(*detail) : ChartAxis{};
    m_axisY->setRange(fx.min, fx.max);
    m_axisY->setTickCount((fx.max - fx.min) / fx.step + 1);
    m_axisY->setLabelFormat(QStringLiteral("%d"));
    QPen axisPen(QColor(0xC0, 0xC0, 0xC0));
    axisPen.setStyle(Qt::DashLine);
    const std::initializer_list<QAbstractAxis*> axes = {m_axisX, m_axisY};
    for (QAbstractAxis* axis : axes) {
        axis->setLabelsBrush(QColor(0xE0, 0xE0, 0xE0));
        axis->setLabelsFont(ProportionalFont(10));
        axis->setLinePen(axisPen);
        axis->setGridLineColor(QColor(0x60, 0x60, 0x60));
    }
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    m_series->attachAxis(m_axisX);
    m_series->attachAxis(m_axisY);

    m_valueLabels.clear();
    if (detail) {
        for (const ChartPoint& point : detail->points) {
            auto* label = new QGraphicsSimpleTextItem(QString::number(point.y), chart);
            label->setFont(ProportionalFont(11));
            label->setBrush(kAqua);
            label->setZValue(100);
            m_valueLabels << label;
        }
    }
    connect(chart, &QChart::plotAreaChanged, this, &FxChart::PlaceValueLabels);

    QChart* old = this->chart();
    setChart(chart);
    delete old;
    PlaceValueLabels();
}

void FxChart::PlaceValueLabels()
{
    QChart* chart = this->chart();
    const QRectF area = chart->plotArea();
    if (area.isEmpty()) {
        return; // laid out later; plotAreaChanged calls again
    }
    const qreal clearance = kMarkerSize / 2.0 + 2;
    for (int i = 0; i < m_valueLabels.size() && i < m_series->count(); ++i) {
        QGraphicsSimpleTextItem* label = m_valueLabels[i];
        const QPointF at = chart->mapToPosition(m_series->at(i), m_series);
        const QRectF box = label->boundingRect();
        // Above the marker, or below it where the top of the plot area would cut it; always
        // inside the plot area, so never over the axes' labels.
        qreal y = at.y() - clearance - box.height();
        if (y < area.top() + 1) {
            y = at.y() + clearance;
        }
        y = std::clamp(y, area.top() + 1, std::max(area.top() + 1, area.bottom() - box.height()));
        const qreal x = std::clamp(at.x() - box.width() / 2, area.left() + 2,
                                   std::max(area.left() + 2, area.right() - box.width() - 2));
        label->setPos(x, y);
    }
}

} // namespace furlox::ui
