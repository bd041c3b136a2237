#include "library/ui/TallyWindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include "base/Encoding.h"
#include "base/Error.h"
#include "base/ui/QtText.h"
#include "library/Library.h"
#include "library/LibraryTexts.h"
#include "library/TallyTable.h"
#include "library/ui/LibraryStyle.h"

namespace furlox::ui {
namespace {

constexpr int kCourses = 10; // the JRA courses, codes 01 to 10

QDate ToQDate(library::Date date)
{
    return QDate(static_cast<int>(date.year()), static_cast<int>(unsigned(date.month())),
                 static_cast<int>(unsigned(date.day())));
}

library::Date FromQDate(const QDate& date)
{
    return library::Date{std::chrono::year(date.year()),
                         std::chrono::month(static_cast<unsigned>(date.month())),
                         std::chrono::day(static_cast<unsigned>(date.day()))};
}

QTableWidget* MakeTable(QWidget* parent, const QStringList& headers, int rows)
{
    auto* table = new QTableWidget(rows, static_cast<int>(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() + rows * 20 + 4);
    return table;
}

void SetCell(QTableWidget* table, int row, int column, const QString& text, bool left = false)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(left ? (Qt::AlignLeft | Qt::AlignVCenter)
                                : (Qt::AlignRight | Qt::AlignVCenter));
    table->setItem(row, column, item);
}

template <typename Cells>
void SetRow(QTableWidget* table, int row, const QString& caption, const Cells& cells,
            int captionColumns = 1)
{
    SetCell(table, row, 0, caption, true);
    for (std::size_t c = 0; c < cells.size(); ++c) {
        SetCell(table, row, captionColumns + static_cast<int>(c), Q(cells[c]));
    }
}

QStringList CountHeaders(const QString& first)
{
    QStringList headers{first};
    for (int c = 0; c < library::kCountColumns; ++c) {
        headers << Q(library::CountHeader(c));
    }
    return headers;
}

QString DateShown(library::Date date)
{
    return QStringLiteral("%1/%2/%3")
        .arg(static_cast<int>(date.year()))
        .arg(unsigned(date.month()), 2, 10, QLatin1Char('0'))
        .arg(unsigned(date.day()), 2, 10, QLatin1Char('0'));
}

} // namespace

TallyChart::TallyChart(QWidget* parent) : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(360, 280);
    setFrameShape(QFrame::NoFrame);
    setBackgroundBrush(QColor(0x23, 0x26, 0x2B));
    ShowTally({});
}

void TallyChart::ShowTally(const library::TallyResult& tally)
{
    auto* chart = new QChart();
    chart->setTitle(QStringLiteral("印ごとの勝率・複勝率（人気馬と比べて）"));
    chart->setTitleBrush(Qt::white);
    chart->setTitleFont(ProportionalFont(13));
    QLinearGradient gradient(0, 0, 0, 320);
    gradient.setColorAt(0, QColor(0x40, 0x44, 0x4C));
    gradient.setColorAt(1, QColor(0x10, 0x18, 0x20));
    chart->setBackgroundBrush(gradient);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 8, 8, 4));

    m_win = new QBarSet(QStringLiteral("勝率"));
    m_top3 = new QBarSet(QStringLiteral("複勝率"));
    m_win->setColor(QColor(0xFF, 0xCC, 0x00));
    m_win->setBorderColor(QColor(0xD4, 0xA0, 0x17));
    m_top3->setColor(QColor(0x00, 0xC8, 0xE0));
    m_top3->setBorderColor(QColor(0x00, 0x90, 0xA8));
    QStringList categories;
    for (int row = 0; row < library::kTallyMarks; ++row) {
        const library::MarkCounts& counts = tally.marks[static_cast<std::size_t>(row)];
        categories << Q(library::TallyMarkText(row));
        m_win->append(library::WinRate(counts));
        m_top3->append(library::Top3Rate(counts));
    }
    for (int row = 0; row < library::kMarketRows; ++row) {
        const library::MarkCounts& counts = tally.market[static_cast<std::size_t>(row)];
        categories << Q(library::MarketChartText(row));
        m_win->append(library::WinRate(counts));
        m_top3->append(library::Top3Rate(counts));
    }
    auto* series = new QBarSeries(chart);
    series->append(m_win);
    series->append(m_top3);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPrecision(4); // the rates have one decimal: "25.1", "8.5"
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    m_win->setLabelColor(QColor(0xF5, 0xEC, 0xD4));
    m_top3->setLabelColor(QColor(0xF5, 0xEC, 0xD4));
    m_win->setLabelFont(ProportionalFont(8));
    m_top3->setLabelFont(ProportionalFont(8));
    chart->addSeries(series);

    auto* axisX = new QBarCategoryAxis(chart);
    axisX->append(categories);
    auto* axisY = new QValueAxis(chart);
    double top = 0;
    for (int i = 0; i < m_top3->count(); ++i) {
        top = std::max(top, m_top3->at(i));
    }
    axisY->setRange(0, top > 50 ? 100 : 50);
    axisY->setTickCount(6);
    axisY->setLabelFormat(QStringLiteral("%d%%"));
    for (QAbstractAxis* axis : std::initializer_list<QAbstractAxis*>{axisX, axisY}) {
        axis->setLabelsBrush(QColor(0xE0, 0xE0, 0xE0));
        axis->setLabelsFont(ProportionalFont(10));
        axis->setLinePenColor(QColor(0xC0, 0xC0, 0xC0));
        axis->setGridLineColor(QColor(0x50, 0x54, 0x5C));
    }
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisX);
    series->attachAxis(axisY);
    chart->legend()->setLabelColor(QColor(0xF5, 0xEC, 0xD4));
    chart->legend()->setFont(ProportionalFont(10));
    chart->legend()->setAlignment(Qt::AlignBottom);

    QChart* old = this->chart();
    setChart(chart);
    delete old;
}

TfrmTally::TfrmTally(std::filesystem::path workDir, QWidget* parent)
    : QWidget(parent, Qt::Window), m_workDir(std::move(workDir))
{
    setObjectName(QStringLiteral("TfrmTally"));
    setWindowTitle(QStringLiteral("成績集計"));
    setFont(ProportionalFont(12));
    ApplyLibraryStyle(this);
    resize(1040, 680);

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("成績集計　印は来ているか"), this);
    title->setObjectName(QStringLiteral("title"));
    title->setFont(ProportionalFont(16));
    layout->addWidget(title);

    auto* range = new QHBoxLayout();
    auto* fromLabel = new QLabel(QStringLiteral("期間(&F)"), this);
    m_from = new QDateEdit(this);
    m_to = new QDateEdit(this);
    for (QDateEdit* edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        edit->setMinimumWidth(120);
    }
    fromLabel->setBuddy(m_from);
    auto* season = new QPushButton(QStringLiteral("今シーズン(&S)"), this);
    auto* weeks = new QPushButton(QStringLiteral("直近4週(&W)"), this);
    season->setToolTip(QStringLiteral("ライブラリで最も新しい日の年の1月1日から12月31日まで"));
    weeks->setToolTip(QStringLiteral("ライブラリで最も新しい日までの28日間"));
    connect(season, &QPushButton::clicked, this, &TfrmTally::ChooseThisSeason);
    connect(weeks, &QPushButton::clicked, this, &TfrmTally::ChooseLastFourWeeks);
    range->addWidget(fromLabel);
    range->addWidget(m_from);
    range->addWidget(new QLabel(QStringLiteral("～"), this));
    range->addWidget(m_to);
    range->addWidget(season);
    range->addWidget(weeks);
    range->addStretch();
    layout->addLayout(range);

    auto* filters = new QHBoxLayout();
    const auto addBox = [&](const QString& caption, QComboBox*& box) {
        auto* label = new QLabel(caption, this);
        box = new QComboBox(this);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        label->setBuddy(box);
        filters->addWidget(label);
        filters->addWidget(box);
    };
    addBox(QStringLiteral("競馬場(&K)"), m_course);
    m_course->addItem(QStringLiteral("すべて"));
    for (int code = 1; code <= kCourses; ++code) {
        m_course->addItem(Q(library::CourseText(code)), code);
    }
    addBox(QStringLiteral("馬場(&B)"), m_surface);
    m_surface->addItem(QStringLiteral("すべて"));
    for (library::StoredSurface surface :
         {library::StoredSurface::Turf, library::StoredSurface::Dirt,
          library::StoredSurface::Steeplechase}) {
        m_surface->addItem(Q(library::SurfaceLetter(surface)), static_cast<int>(surface));
    }
    addBox(QStringLiteral("距離(&D)"), m_distance);
    m_distance->addItem(QStringLiteral("すべて"));
    m_distance->addItem(QStringLiteral("～1600m"),
                        static_cast<int>(library::DistanceBand::UpTo1600));
    m_distance->addItem(QStringLiteral("1601～2200m"),
                        static_cast<int>(library::DistanceBand::From1601To2200));
    m_distance->addItem(QStringLiteral("2201m～"),
                        static_cast<int>(library::DistanceBand::From2201));
    addBox(QStringLiteral("勝負度(&G)"), m_grade);
    m_grade->addItem(QStringLiteral("すべて"));
    for (library::BetGrade grade :
         {library::BetGrade::A, library::BetGrade::B, library::BetGrade::C}) {
        m_grade->addItem(QString::fromLatin1(library::GradeLetter(grade)), static_cast<int>(grade));
    }
    addBox(QStringLiteral("クラス(&C)"), m_class);
    m_class->setEditable(true);
    m_class->setInsertPolicy(QComboBox::NoInsert);
    m_class->addItem(QString());
    for (const char* text : {"新馬", "未出走", "未勝利", "500万", "1000万", "1600万", "オープン"}) {
        m_class->addItem(QString::fromUtf8(text));
    }
    m_class->lineEdit()->setPlaceholderText(QStringLiteral("すべて"));
    m_class->setMinimumWidth(110);
    filters->addStretch();
    auto* runners = new QPushButton(QStringLiteral("出走馬一覧(&U)"), this);
    runners->setToolTip(QStringLiteral("読み込んでいる日の出走馬一覧（Ctrl+U）"));
    connect(runners, &QPushButton::clicked, this, &TfrmTally::runnersRequested);
    filters->addWidget(runners);
    layout->addLayout(filters);

    auto* body = new QSplitter(Qt::Horizontal, this);
    auto* tables = new QWidget(body);
    auto* tablesLayout = new QVBoxLayout(tables);
    tablesLayout->setContentsMargins(0, 0, 0, 0);
    const auto caption = [&](const QString& text) {
        auto* label = new QLabel(text, tables);
        label->setObjectName(QStringLiteral("title"));
        tablesLayout->addWidget(label);
    };
    caption(QStringLiteral("印ごとの成績"));
    m_marks = MakeTable(tables, CountHeaders(QStringLiteral("印")), library::kTallyMarks);
    tablesLayout->addWidget(m_marks);
    caption(QStringLiteral("人気ごとの成績（くらべる基準）"));
    m_market = MakeTable(tables, CountHeaders(QStringLiteral("人気")), library::kMarketRows);
    tablesLayout->addWidget(m_market);
    caption(QStringLiteral("買い目の成績（券種・勝負度ごと、払戻金のデータはありません）"));
    QStringList betHeaders{QStringLiteral("券種"), QStringLiteral("勝負度")};
    for (int c = 0; c < library::kBetColumns; ++c) {
        betHeaders << Q(library::BetHeader(c));
    }
    m_bets = MakeTable(tables, betHeaders, library::kBetKinds * library::kBetGrades);
    m_bets->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    tablesLayout->addWidget(m_bets);
    tablesLayout->addStretch();
    m_chart = new TallyChart(body);
    body->addWidget(tables);
    body->addWidget(m_chart);
    body->setStretchFactor(0, 3);
    body->setStretchFactor(1, 2);
    layout->addWidget(body, 1);

    m_notes = new QLabel(this);
    m_notes->setWordWrap(true);
    m_notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_notes);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    const auto recount = [this] {
        if (!m_filling) {
            m_rangeChosen = true;
            Recount();
        }
    };
    for (QDateEdit* edit : {m_from, m_to}) {
        connect(edit, &QDateEdit::dateChanged, this, recount);
    }
    for (QComboBox* box : {m_course, m_surface, m_distance, m_grade}) {
        connect(box, &QComboBox::currentIndexChanged, this, recount);
    }
    connect(m_class, &QComboBox::currentTextChanged, this, recount);
}

bool TfrmTally::Refresh()
{
    try {
        library::Library library = library::Library::Open(m_workDir);
        m_newest = library.NewestDay();
    } catch (const Error& e) {
        m_notes->setText(QStringLiteral("ライブラリを開けません。\n") + Q(e.what()));
        return false;
    }
    if (!m_rangeChosen && m_newest) {
        SetRange(library::ThisSeason(*m_newest));
    }
    Recount();
    return true;
}

void TfrmTally::SetRange(const library::DateRange& range)
{
    m_filling = true;
    m_from->setDate(ToQDate(range.from));
    m_to->setDate(ToQDate(range.to));
    m_filling = false;
}

void TfrmTally::ChooseThisSeason()
{
    if (m_newest) {
        SetRange(library::ThisSeason(*m_newest));
        m_rangeChosen = true;
        Recount();
    }
}

void TfrmTally::ChooseLastFourWeeks()
{
    if (m_newest) {
        SetRange(library::LastFourWeeks(*m_newest));
        m_rangeChosen = true;
        Recount();
    }
}

library::TallyFilter TfrmTally::Filter() const
{
    library::TallyFilter filter;
    filter.from = FromQDate(m_from->date());
    filter.to = FromQDate(m_to->date());
    if (m_course->currentData().isValid()) {
        filter.courseCode = m_course->currentData().toInt();
    }
    if (m_surface->currentData().isValid()) {
        filter.surface = static_cast<library::StoredSurface>(m_surface->currentData().toInt());
    }
    if (m_distance->currentData().isValid()) {
        filter.distance = static_cast<library::DistanceBand>(m_distance->currentData().toInt());
    }
    if (m_grade->currentData().isValid()) {
        filter.grade = static_cast<library::BetGrade>(m_grade->currentData().toInt());
    }
    const QString classText = m_class->currentText().trimmed();
    if (!classText.isEmpty()) {
        filter.classText = ToCp932(library::SearchKey(classText.toStdString()));
    }
    return filter;
}

void TfrmTally::Recount()
{
    if (!m_newest) {
        m_result = {};
        ShowResult();
        m_notes->setText(QStringLiteral("ライブラリに日がまだありません。"
                                        "書庫を取り込むと、ここに印の成績が出ます。"));
        return;
    }
    try {
        library::Library library = library::Library::Open(m_workDir);
        m_result = library.Tally(Filter());
    } catch (const Error& e) {
        m_notes->setText(QStringLiteral("集計できませんでした。\n") + Q(e.what()));
        return;
    }
    ShowResult();
}

void TfrmTally::ShowResult()
{
    for (int row = 0; row < library::kTallyMarks; ++row) {
        SetRow(m_marks, row, Q(library::TallyMarkText(row)),
               library::CountCells(m_result.marks[static_cast<std::size_t>(row)]));
    }
    for (int row = 0; row < library::kMarketRows; ++row) {
        SetRow(m_market, row, Q(library::MarketRowText(row)),
               library::CountCells(m_result.market[static_cast<std::size_t>(row)]));
    }
    for (int kind = 0; kind < library::kBetKinds; ++kind) {
        for (int grade = 0; grade < library::kBetGrades; ++grade) {
            const int row = kind * library::kBetGrades + grade;
            SetRow(
                m_bets, row, Q(library::BetKindText(static_cast<library::TallyBetKind>(kind))),
                library::BetCells(
                    m_result.bets[static_cast<std::size_t>(kind)][static_cast<std::size_t>(grade)]),
                2);
            SetCell(
                m_bets, row, 1,
                QString::fromLatin1(library::GradeLetter(static_cast<library::BetGrade>(grade))),
                true);
        }
    }
    m_chart->ShowTally(m_result);

    QString notes = QStringLiteral("%1 ～ %2 の %3 レースを集計しました。")
                        .arg(m_from->date().toString(QStringLiteral("yyyy/MM/dd")),
                             m_to->date().toString(QStringLiteral("yyyy/MM/dd")))
                        .arg(m_result.races);
    if (m_newest) {
        notes += QStringLiteral("（ライブラリの最新日 %1）").arg(DateShown(*m_newest));
    }
    if (!m_result.failed.empty()) {
        QStringList races;
        for (const library::FailedRace& race : m_result.failed) {
            QString name = DateShown(race.day) + QLatin1Char(' ');
            name += race.courseCode ? Q(library::CourseText(*race.courseCode))
                                    : QStringLiteral("場不明");
            name += race.raceNumber ? QStringLiteral("%1R").arg(*race.raceNumber)
                                    : QStringLiteral("%1番目のレース").arg(race.raceIndex + 1);
            races << name;
        }
        notes += QStringLiteral("\n解析できないため集計から外したレース（%1）: ")
                     .arg(m_result.failed.size()) +
                 races.join(QStringLiteral("、"));
    }
    m_notes->setText(notes);
}

void TfrmTally::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace furlox::ui
