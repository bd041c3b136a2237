#include "detail/ui/uniSyosai.h"

#include <QAbstractTableModel>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QValueAxis>

#include "base/Error.h"
#include "base/Settings.h"
#include "base/ui/CellStyleQt.h"
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

QLabel* Label(QWidget* parent, int left, int top, int width = -1)
{
    auto* label = new QLabel(parent);
    label->move(left, top);
    label->setFont(ProportionalFont(12));
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TranslucentBackground);
    if (width > 0) {
        label->resize(width, 16);
    }
    return label;
}

// The record captions beside lbl1 .. lbl11, laid out in two columns: turf, then dirt.
struct RecordPlace
{
    const char* caption;
    int left;
    int top;
};
constexpr RecordPlace kRecordPlaces[11] = {
    {"全成績", 6, 204},      {"全芝", 6, 222},        {"芝重", 6, 240},
    {"芝2300M～", 6, 258},   {"芝～2200M", 6, 276},   {"芝～1600M", 6, 294},
    {"全ダ", 151, 222},      {"ダ重", 151, 240},      {"ダ2300M～", 151, 258},
    {"ダ～2200M", 151, 276}, {"ダ～1600M", 151, 294},
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
    BuildChart();
    SkinWindow(this, Picture(QStringLiteral("detail-bg.png")));
    RestorePosition();
}

TfrmSyosai::~TfrmSyosai() = default;

void TfrmSyosai::BuildWindow()
{
    imgForm = new QLabel(this);
    imgForm->setGeometry(0, 0, 640, 500);
    imgForm->setPixmap(QPixmap::fromImage(Picture(QStringLiteral("detail-bg.png"))));
    new BackgroundDrag(imgForm, this);

    btnClose = MakeCloseButton(this);
    connect(btnClose, &TEzRgnBtn::clicked, this, &QWidget::hide);

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
    panelPicture->setPixmap(QPixmap::fromImage(Picture(QStringLiteral("detail-panel.png"))));

    cmbBamei = new QComboBox(Panel1);
    cmbBamei->setGeometry(8, 15, 184, 20);
    cmbBamei->setFont(FixedFont(12));
    cmbBamei->setMaxVisibleItems(18);
    // Not editable: typing selects the runner whose entry starts with the typed text, so
    // there is never a text that matches no runner.
    cmbBamei->setEditable(false);
    connect(cmbBamei, &QComboBox::currentIndexChanged, this, &TfrmSyosai::cmbBameiChange);

    lblUmaKigou = Label(Panel1, 198, 20);
    imgKeiro = new QLabel(Panel1);
    imgKeiro->setGeometry(9, 45, 50, 67);
    imgKeiro->setAttribute(Qt::WA_TranslucentBackground);
    lblSeinen = Label(Panel1, 69, 45);
    lblSanti = Label(Panel1, 69, 63);
    lblSeisansya = Label(Panel1, 69, 82, 224);
    lblBanusi = Label(Panel1, 69, 100, 224);
    lblChokyosi = Label(Panel1, 6, 122, 280);
    lblSouSyokin = Label(Panel1, 6, 142, 143);
    lblHonSyokin = Label(Panel1, 151, 142, 143);
    lblTiti = Label(Panel1, 6, 162, 143);
    lblHaha = Label(Panel1, 6, 181, 143);
    lblHahaTiti = Label(Panel1, 151, 162, 143);
    lblHahaHaha = Label(Panel1, 151, 181, 143);
    for (std::size_t i = 0; i < lblRecord.size(); ++i) {
        const RecordPlace& place = kRecordPlaces[i];
        QLabel* caption = Label(Panel1, place.left, place.top, 64);
        caption->setText(QString::fromUtf8(place.caption));
        caption->setStyleSheet(QStringLiteral("color: #505050;"));
        QLabel* counts = Label(Panel1, place.left + 64, place.top, 78);
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

void TfrmSyosai::BuildChart()
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
    chart->setMargins(QMargins(4, 4, 8, 4));

    Series1 = new QLineSeries(chart);
    QPen pen(QColor(0, 255, 255));
    pen.setWidth(3);
    Series1->setPen(pen);
    Series1->setPointsVisible(true);
    Series1->setPointLabelsVisible(true);
    Series1->setPointLabelsFormat(QStringLiteral("@yPoint"));
    Series1->setPointLabelsColor(QColor(0, 255, 255));
    Series1->setPointLabelsFont(ProportionalFont(11));
    Series1->setPointLabelsClipping(false);
    chart->addSeries(Series1);

    // The latest run stands at the right: the bottom axis runs from 1 to 5, inverted.
    m_axisX = new QValueAxis(chart);
    m_axisX->setRange(1, 5);
    m_axisX->setTickCount(5);
    m_axisX->setLabelFormat(QStringLiteral("%d"));
    m_axisX->setReverse(true);
    m_axisY = new QValueAxis(chart);
    m_axisY->setRange(-40, 110);
    m_axisY->setLabelFormat(QStringLiteral("%d"));
    QPen axisPen(QColor(0xC0, 0xC0, 0xC0));
    axisPen.setStyle(Qt::DashLine);
    for (QValueAxis* axis : {m_axisX, m_axisY}) {
        axis->setLabelsBrush(QColor(0xC0, 0xC0, 0xC0));
        axis->setLabelsFont(ProportionalFont(10));
        axis->setLinePen(axisPen);
        axis->setGridLineColor(QColor(0x60, 0x60, 0x60));
    }
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    Series1->attachAxis(m_axisX);
    Series1->attachAxis(m_axisY);

    Chart1 = new QChartView(chart, this);
    Chart1->setGeometry(314, 32, 316, 316);
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->setFrameStyle(QFrame::NoFrame);
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

void TfrmSyosai::ShowRunnerDetail(int row, bool show)
{
    if (!m_day || !m_race || row < 1 || row > static_cast<int>(m_race->rows.size())) {
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
    try {
        ShowHorse(row - 1);
    } catch (const Error& e) {
        errorBox(Q(e.what()));
        return;
    }
    if (show) {
        this->show();
        raise();
        activateWindow();
    }
}

void TfrmSyosai::cmbBameiChange(int index)
{
    if (m_filling || index < 0) {
        return;
    }
    try {
        ShowHorse(index);
    } catch (const Error& e) {
        errorBox(Q(e.what()));
    }
}

void TfrmSyosai::ShowHorse(int index)
{
    m_pastRuns->SetDetail(nullptr);
    m_detail = BuildHorseDetail(*m_day, *m_race, index);

    const std::pair<QLabel*, const std::string*> texts[] = {
        {lblSeinen, &m_detail.lblSeinen},       {lblUmaKigou, &m_detail.lblUmaKigou},
        {lblSanti, &m_detail.lblSanti},         {lblSeisansya, &m_detail.lblSeisansya},
        {lblBanusi, &m_detail.lblBanusi},       {lblChokyosi, &m_detail.lblChokyosi},
        {lblSouSyokin, &m_detail.lblSouSyokin}, {lblHonSyokin, &m_detail.lblHonSyokin},
        {lblTiti, &m_detail.lblTiti},           {lblHaha, &m_detail.lblHaha},
        {lblHahaTiti, &m_detail.lblHahaTiti},   {lblHahaHaha, &m_detail.lblHahaHaha},
    };
    for (const auto& [label, text] : texts) {
        label->setText(Q(*text));
        label->adjustSize();
    }
    for (std::size_t i = 0; i < lblRecord.size(); ++i) {
        lblRecord[i]->setText(Q(m_detail.lblRecord[i]));
    }

    // "Image7" is the seventh coat picture.
    const int coat = QString::fromStdString(m_detail.coatPicture).mid(5).toInt();
    imgKeiro->setPixmap(QPixmap::fromImage(
        Picture(QStringLiteral("coat-%1.png").arg(coat, 2, 10, QLatin1Char('0')))));

    m_axisY->setRange(m_detail.chartMin, m_detail.chartMax);
    // Every range spans 150: a line every 30 keeps the labels readable.
    m_axisY->setTickCount((m_detail.chartMax - m_detail.chartMin) / 30 + 1);
    Series1->clear();
    for (const ChartPoint& point : m_detail.points) {
        Series1->append(point.x, point.y);
    }
    m_pastRuns->SetDetail(&m_detail);
    Grid2->scrollToTop();
}

void TfrmSyosai::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    emit shownChanged(true);
}

void TfrmSyosai::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit shownChanged(false);
}

} // namespace furlox::ui
