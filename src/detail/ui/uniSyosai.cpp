#include "detail/ui/uniSyosai.h"

#include <QAbstractTableModel>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGraphicsSimpleTextItem>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QValueAxis>
#include <algorithm>

#include "base/Error.h"
#include "base/Settings.h"
#include "base/ui/CellStyleQt.h"
#include "base/ui/ErrorReport.h"
#include "base/ui/Pictures.h"
#include "base/ui/QtText.h"
#include "base/ui/WindowSettings.h"
#include "skin/ui/CellDelegate.h"
#include "skin/ui/CloseButton.h"
#include "skin/ui/EzRgnBtn.h"
#include "skin/ui/Skin.h"

namespace furlox::ui {

// The past-run grid: five runs (row 1 = five runs back) by sixteen columns, with the fixed
// row and column as the view's headers.
class PastRunModel final : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetDetail(const HorseDetail* detail)
    {
        beginResetModel();
        m_detail = detail;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : kPastRunRows;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : kPastRunColumns;
    }

    QVariant data(const QModelIndex& index, int role) const override
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

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
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

private:
    const HorseDetail* m_detail = nullptr;
};

namespace {

// A label of the panel; `name` is its control name, by which the core's list of labels
// (HorseDetailLabels) finds it.
QLabel* Label(QWidget* parent, const char* name, int left, int top, int width = -1)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->setFont(ProportionalFont(12));
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TranslucentBackground);
    if (width > 0) {
        // The designed width stays; a longer text is cut at the label's edge.
        label->resize(width, 16);
        label->setProperty("designedWidth", width);
    }
    return label;
}

constexpr int kMarkerSize = 7;
const QColor kAqua(0, 255, 255);

// The record captions beside lbl1 .. lbl11, laid out in two columns: turf, then dirt.
struct RecordPlace
{
    const char* name;
    const char* caption;
    int left;
    int top;
};
constexpr RecordPlace kRecordPlaces[11] = {
    {"lbl1", "全成績", 6, 204},       {"lbl2", "全芝", 6, 222},
    {"lbl3", "芝重", 6, 240},         {"lbl4", "芝2300M～", 6, 258},
    {"lbl5", "芝～2200M", 6, 276},    {"lbl6", "芝～1600M", 6, 294},
    {"lbl7", "全ダ", 151, 222},       {"lbl8", "ダ重", 151, 240},
    {"lbl9", "ダ2300M～", 151, 258},  {"lbl10", "ダ～2200M", 151, 276},
    {"lbl11", "ダ～1600M", 151, 294},
};

} // namespace

TfrmSyosai::TfrmSyosai(QWidget* parent) : QWidget(parent, Qt::FramelessWindowHint | Qt::Window)
{
    setObjectName(QStringLiteral("TfrmSyosai"));
    setWindowTitle(QStringLiteral("馬データ詳細"));
    setFixedSize(640, 500);
    setFont(ProportionalFont(12));
    errorBox = [this](const QString& text) {
        QMessageBox::critical(this, QStringLiteral("Furlox"), text);
    };
    BuildWindow();
    Chart1 = new QChartView(this);
    Chart1->setGeometry(314, 32, 316, 316);
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->setFrameStyle(QFrame::NoFrame);
    // The whole view is drawn again on every change: marks drawn outside an item's own
    // rectangle must never be left behind.
    Chart1->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    BuildChart(nullptr);
    SkinWindow(this, Picture(QStringLiteral("detail-bg.png")));
    RestorePosition();
    KeepOnScreen(this);
}

TfrmSyosai::~TfrmSyosai() = default;

void TfrmSyosai::BuildWindow()
{
    imgForm = new QLabel(this);
    imgForm->setGeometry(0, 0, 640, 500);
    imgForm->setPixmap(ScreenPixmap(QStringLiteral("detail-bg.png")));
    new BackgroundDrag(imgForm, this);

    btnClose = MakeCloseButton(this);
    connect(btnClose, &TEzRgnBtn::clicked, this, &TfrmSyosai::CloseDetail);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(9, 32, 299, 316);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);
    auto* panelPicture = new QLabel(Panel1);
    panelPicture->setGeometry(2, 2, 295, 312);
    panelPicture->setPixmap(ScreenPixmap(QStringLiteral("detail-panel.png")));

    cmbBamei = new QComboBox(Panel1);
    cmbBamei->setGeometry(8, 15, 184, 20);
    cmbBamei->setFont(FixedFont(12));
    cmbBamei->setMaxVisibleItems(18);
    // Not editable: typing selects the runner whose entry starts with the typed text, so
    // there is never a text that matches no runner.
    cmbBamei->setEditable(false);
    connect(cmbBamei, &QComboBox::currentIndexChanged, this, &TfrmSyosai::cmbBameiChange);

    lblUmaKigou = Label(Panel1, "lblUmaKigou", 198, 20);
    imgKeiro = new QLabel(Panel1);
    imgKeiro->setGeometry(9, 45, 50, 67);
    imgKeiro->setAttribute(Qt::WA_TranslucentBackground);
    lblSeinen = Label(Panel1, "lblSeinen", 69, 45);
    lblSanti = Label(Panel1, "lblSanti", 69, 63);
    lblSeisansya = Label(Panel1, "lblSeisansya", 69, 82, 224);
    lblBanusi = Label(Panel1, "lblBanusi", 69, 100, 224);
    lblChokyosi = Label(Panel1, "lblChokyosi", 6, 122, 280);
    lblSouSyokin = Label(Panel1, "lblSouSyokin", 6, 142, 143);
    lblHonSyokin = Label(Panel1, "lblHonSyokin", 151, 142, 143);
    lblTiti = Label(Panel1, "lblTiti", 6, 162, 143);
    lblHaha = Label(Panel1, "lblHaha", 6, 181, 143);
    lblHahaTiti = Label(Panel1, "lblHahaTiti", 151, 162, 143);
    lblHahaHaha = Label(Panel1, "lblHahaHaha", 151, 181, 143);
    for (std::size_t i = 0; i < lblRecord.size(); ++i) {
        const RecordPlace& place = kRecordPlaces[i];
        QLabel* caption = Label(Panel1, "", place.left, place.top, 64);
        caption->setText(QString::fromUtf8(place.caption));
        caption->setStyleSheet(QStringLiteral("color: #505050;"));
        QLabel* counts = Label(Panel1, place.name, place.left + 64, place.top, 78);
        counts->setFont(FixedFont(12));
        counts->setText(QStringLiteral("  0  0  0  0"));
        lblRecord[i] = counts;
    }

    m_pastRuns = new PastRunModel(this);
    Grid2 = new QTableView(this);
    Grid2->setGeometry(9, 354, 621, 128);
    Grid2->setModel(m_pastRuns);
    Grid2->setItemDelegate(new CellDelegate(Grid2));
    Grid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid2->setSelectionMode(QAbstractItemView::NoSelection);
    Grid2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Grid2->setWordWrap(false);
    Grid2->setTextElideMode(Qt::ElideNone);
    Grid2->horizontalHeader()->setMinimumSectionSize(1);
    Grid2->horizontalHeader()->setFixedHeight(18);
    Grid2->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid2->horizontalHeader()->setSectionsClickable(false);
    Grid2->verticalHeader()->setMinimumSectionSize(1);
    Grid2->verticalHeader()->setDefaultSectionSize(18);
    Grid2->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid2->verticalHeader()->setFixedWidth(Grid2ColumnWidth(0));
    Grid2->verticalHeader()->setSectionsClickable(false);
    Grid2->setCornerButtonEnabled(false);
    for (int c = 1; c <= kPastRunColumns; ++c) {
        Grid2->setColumnWidth(c - 1, Grid2ColumnWidth(c));
    }
    Grid2->setStyleSheet(QStringLiteral(
        "QTableView { background: white; gridline-color: #C0C0C0; }"
        "QHeaderView::section { background: #808080; color: white; border: 0;"
        " border-right: 1px solid #C0C0C0; border-bottom: 1px solid #C0C0C0; padding: 0; }"));
}

void TfrmSyosai::BuildChart(const HorseDetail* detail)
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

    Series1 = new QLineSeries(chart);
    QPen pen(kAqua);
    pen.setWidth(3);
    Series1->setPen(pen);
    Series1->setPointsVisible(true);
    Series1->setMarkerSize(kMarkerSize);
    // The values are marked by labels of our own (PlaceValueLabels), which keep clear of the
    // markers and of the axes' labels.
    Series1->setPointLabelsVisible(false);
    if (detail) {
        for (const ChartPoint& point : detail->points) {
            Series1->append(point.x, point.y);
        }
    }
    chart->addSeries(Series1);

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
    const int top = detail ? detail->chartMax : 110;
    const int bottom = detail ? detail->chartMin : -40;
    m_axisY->setRange(bottom, top);
    // Every range spans 150: a line every 30 keeps the labels readable.
    m_axisY->setTickCount((top - bottom) / 30 + 1);
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
    Series1->attachAxis(m_axisX);
    Series1->attachAxis(m_axisY);

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
    connect(chart, &QChart::plotAreaChanged, this, &TfrmSyosai::PlaceValueLabels);

    QChart* old = Chart1->chart();
    Chart1->setChart(chart);
    delete old;
    PlaceValueLabels();
}

void TfrmSyosai::PlaceValueLabels()
{
    QChart* chart = Chart1->chart();
    const QRectF area = chart->plotArea();
    if (area.isEmpty()) {
        return; // laid out later; plotAreaChanged calls again
    }
    const qreal clearance = kMarkerSize / 2.0 + 2;
    for (int i = 0; i < m_valueLabels.size() && i < Series1->count(); ++i) {
        QGraphicsSimpleTextItem* label = m_valueLabels[i];
        const QPointF at = chart->mapToPosition(Series1->at(i), Series1);
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

void TfrmSyosai::RestorePosition()
{
    move(StoredWindowPosition(QStringLiteral("Uma")));
}

void TfrmSyosai::SetSource(const kol::RaceDay* day, const AnalysedRace* race)
{
    m_day = day;
    m_race = race;
}

void TfrmSyosai::ReportError(const QString& text)
{
    errorBox(text);
}

void TfrmSyosai::ShowRunnerDetail(int row, bool show)
{
    if (!m_day || !m_race || row < 1 || row > static_cast<int>(m_race->runners.size())) {
        return; // a race without runners has nobody to show
    }
    // The race grid keeps its rows in horse-number order, so row k holds horse number k.
    m_filling = true;
    cmbBamei->clear();
    for (const std::string& text : RunnerListTexts(*m_race)) {
        cmbBamei->addItem(Q(text));
    }
    cmbBamei->setCurrentIndex(row - 1);
    m_filling = false;
    if (!Guarded([&] { ShowHorse(row - 1); }, [this](const QString& text) { ReportError(text); })) {
        return;
    }
    if (show) {
        m_open = true;
        if (isMinimized()) {
            showNormal();
        }
        this->show();
        raise();
        activateWindow();
        emit shownChanged(true);
    }
}

void TfrmSyosai::CloseDetail()
{
    const bool wasOpen = m_open || isVisible();
    m_open = false;
    hide();
    if (wasOpen) {
        emit shownChanged(false);
    }
}

void TfrmSyosai::closeEvent(QCloseEvent* event)
{
    const bool wasOpen = m_open;
    m_open = false;
    QWidget::closeEvent(event);
    if (wasOpen) {
        emit shownChanged(false);
    }
}

void TfrmSyosai::cmbBameiChange(int index)
{
    if (m_filling || index < 0) {
        return;
    }
    Guarded([&] { ShowHorse(index); }, [this](const QString& text) { ReportError(text); });
}

void TfrmSyosai::ClearHorse()
{
    m_pastRuns->SetDetail(nullptr);
    m_detail = HorseDetail{};
    for (const auto& [name, text] : HorseDetailLabels(m_detail)) {
        if (QLabel* label = DetailLabel(name)) {
            label->clear();
        }
    }
    imgKeiro->clear();
    BuildChart(nullptr);
}

QLabel* TfrmSyosai::DetailLabel(const std::string& name) const
{
    return Panel1->findChild<QLabel*>(QString::fromStdString(name));
}

void TfrmSyosai::ShowHorse(int index)
{
    HorseDetail detail;
    try {
        detail = BuildHorseDetail(*m_day, *m_race, index);
    } catch (...) {
        ClearHorse(); // the error is not shown under the previous horse's figures
        throw;
    }
    m_pastRuns->SetDetail(nullptr);
    m_detail = std::move(detail);

    for (const auto& [name, text] : HorseDetailLabels(m_detail)) {
        QLabel* label = DetailLabel(name);
        if (!label) {
            continue;
        }
        label->setText(Q(*text));
        if (!label->property("designedWidth").isValid()) {
            label->adjustSize();
        }
    }

    imgKeiro->setPixmap(ScreenPixmap(
        QStringLiteral("coat-%1.png").arg(m_detail.coatPicture, 2, 10, QLatin1Char('0'))));

    BuildChart(&m_detail);
    m_pastRuns->SetDetail(&m_detail);
    Grid2->scrollToTop();
    Grid2->horizontalScrollBar()->setValue(Grid2->horizontalScrollBar()->minimum());
}

} // namespace furlox::ui
