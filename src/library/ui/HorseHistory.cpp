#include "library/ui/HorseHistory.h"

#include <QCategoryAxis>
#include <QChart>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "base/Error.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"
#include "library/LibraryTexts.h"
#include "library/ui/LibraryStyle.h"

namespace furlox::ui {
namespace {

constexpr int kMarkerSize = 7;
const QColor kAqua(0, 255, 255);
constexpr int kFxColumn = library::kHistoryColumns - 1;
constexpr int kFinishColumn = 7;

} // namespace

void HistoryModel::SetRuns(std::vector<library::HistoryRun> runs)
{
    beginResetModel();
    m_runs = std::move(runs);
    endResetModel();
}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_runs.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : library::kHistoryColumns;
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const library::HistoryRun& run = m_runs[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return Q(library::HistoryCells(run)[static_cast<std::size_t>(index.column())]);
    case Qt::TextAlignmentRole:
        return index.column() >= kFinishColumn || index.column() == 6
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (index.column() == kFinishColumn && run.finish == 1) {
            return QColor(0xFF, 0x60, 0x60); // a win in red, as in the past-run grid
        }
        if (index.column() == kFxColumn) {
            return kAqua;
        }
        return {};
    default:
        return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return Q(library::HistoryHeader(section));
    }
    return section + 1;
}

HistoryChart::HistoryChart(QWidget* parent) : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    setFrameStyle(QFrame::NoFrame);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    ShowRuns({});
}

void HistoryChart::ShowRuns(const std::vector<library::HistoryRun>& runs)
{
    auto* chart = new QChart();
    chart->setTitle(QStringLiteral("全走のFX値の推移"));
    chart->setTitleBrush(Qt::white);
    chart->setTitleFont(ProportionalFont(13));
    QLinearGradient gradient(0, 0, 0, 260);
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
    m_series->setPointLabelsVisible(true);
    m_series->setPointLabelsColor(kAqua);
    m_series->setPointLabelsFont(ProportionalFont(10));
    m_series->setPointLabelsFormat(QStringLiteral("@yPoint"));
    m_series->setPointLabelsClipping(false);

    // One place on the bottom axis per run, oldest at the left; a run without an FX value
    // keeps its place but has no point.
    auto* axisX = new QCategoryAxis(chart);
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const int count = static_cast<int>(runs.size());
    const int every = std::max(1, (count + 9) / 10); // at most about ten labels
    int low = -40;
    int high = 110;
    for (int i = 0; i < count; ++i) {
        const library::HistoryRun& run = runs[static_cast<std::size_t>(i)];
        if (run.fx) {
            m_series->append(i + 1, *run.fx);
            low = std::min(low, *run.fx);
            high = std::max(high, *run.fx);
        }
        if (i % every == 0 || i == count - 1) {
            QString label = Q(library::HistoryChartLabel(run));
            // Labels of a category axis must differ: a blank makes two equal ones distinct.
            while (axisX->categoriesLabels().contains(label)) {
                label += QLatin1Char(' ');
            }
            axisX->append(label, i + 1);
        }
    }
    axisX->setRange(0.5, std::max(1, count) + 0.5);
    axisX->setStartValue(0.5);
    chart->addSeries(m_series);

    // The detail chart's range, widened 30 at a time to take every point.
    while (low < -40 && (-40 - low) % 30 != 0) {
        --low;
    }
    while (high > 110 && (high - 110) % 30 != 0) {
        ++high;
    }
    auto* axisY = new QValueAxis(chart);
    axisY->setRange(low, high);
    axisY->setTickCount((high - low) / 30 + 1);
    axisY->setLabelFormat(QStringLiteral("%d"));
    QPen axisPen(QColor(0xC0, 0xC0, 0xC0));
    axisPen.setStyle(Qt::DashLine);
    for (QAbstractAxis* axis : std::initializer_list<QAbstractAxis*>{axisX, axisY}) {
        axis->setLabelsBrush(QColor(0xE0, 0xE0, 0xE0));
        axis->setLabelsFont(ProportionalFont(10));
        axis->setLinePen(axisPen);
        axis->setGridLineColor(QColor(0x60, 0x60, 0x60));
    }
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    m_series->attachAxis(axisX);
    m_series->attachAxis(axisY);

    QChart* old = this->chart();
    setChart(chart);
    delete old;
}

TfrmHorseHistory::TfrmHorseHistory(std::filesystem::path workDir, QWidget* parent)
    : QWidget(parent, Qt::Window), m_workDir(std::move(workDir))
{
    setObjectName(QStringLiteral("TfrmHorseHistory"));
    setWindowTitle(QStringLiteral("馬の履歴"));
    setFont(ProportionalFont(12));
    ApplyLibraryStyle(this);
    resize(860, 600);

    auto* layout = new QVBoxLayout(this);
    m_title = new QLabel(this);
    m_title->setFont(ProportionalFont(16));
    m_title->setObjectName(QStringLiteral("title"));
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    layout->addWidget(m_title);
    layout->addWidget(m_summary);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    m_model = new HistoryModel(this);
    m_table = new QTableView(splitter);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_chart = new HistoryChart(splitter);
    m_chart->setMinimumHeight(220);
    splitter->addWidget(m_table);
    splitter->addWidget(m_chart);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);
}

bool TfrmHorseHistory::ShowHorse(const QString& name)
{
    m_name = name.trimmed();
    std::vector<library::HistoryRun> runs;
    try {
        library::Library library = library::Library::Open(m_workDir);
        runs = library.History(m_name.toStdString());
    } catch (const Error& e) {
        Dialogs::Message(this, QStringLiteral("ライブラリを読めませんでした。\n") + Q(e.what()),
                         MessageKind::Warning, QStringLiteral("馬の履歴"));
        return false;
    }
    setWindowTitle(QStringLiteral("馬の履歴 - ") + m_name);
    m_title->setText(m_name);
    const auto withFx = std::count_if(runs.begin(), runs.end(),
                                      [](const library::HistoryRun& run) { return run.fx; });
    m_summary->setText(
        runs.empty()
            ? QStringLiteral("ライブラリにこの馬の出走はありません。")
            : QStringLiteral("ライブラリにある %1 走（FX値のある走 %2）。馬は馬名で見分けます。")
                  .arg(runs.size())
                  .arg(withFx));
    m_model->SetRuns(runs);
    m_chart->ShowRuns(m_model->Runs());
    if (!runs.empty()) {
        m_table->scrollToBottom();
    }
    show();
    raise();
    activateWindow();
    return true;
}

void TfrmHorseHistory::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace furlox::ui
