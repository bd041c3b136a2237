#include "library/ui/DayRunnersWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "analysis/RaceFormat.h"
#include "base/ui/QtText.h"
#include "library/LibraryTexts.h"
#include "library/ui/LibraryStyle.h"

namespace furlox::ui {
namespace {

const QColor kGold(0xFF, 0xCC, 0x00);
const QColor kRed(0xFF, 0x70, 0x70);

QString DateShown(library::Date date)
{
    return QStringLiteral("%1/%2/%3（%4）")
        .arg(static_cast<int>(date.year()))
        .arg(unsigned(date.month()), 2, 10, QLatin1Char('0'))
        .arg(unsigned(date.day()), 2, 10, QLatin1Char('0'))
        .arg(Q(library::WeekdayText(date)));
}

} // namespace

void DayRunnerModel::SetList(library::DayRunnerList list)
{
    beginResetModel();
    m_list = std::move(list);
    endResetModel();
}

int DayRunnerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_list.runners.size());
}

int DayRunnerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : library::kDayRunnerColumns;
}

QVariant DayRunnerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const library::DayRunner& runner = At(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return Q(library::DayRunnerCell(runner, column));
    case kSortRole:
        if (library::IsTextColumn(column)) {
            return Q(library::DayRunnerCell(runner, column));
        }
        if (const std::optional<int> key = library::DayRunnerSortKey(runner, column)) {
            return *key;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column == library::kRunnerName || column == library::kRunnerJockey ||
            column == library::kRunnerRace) {
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        }
        if (column == library::kRunnerMark) {
            return QVariant(Qt::AlignCenter);
        }
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // The marks in gold; a top pick the market left at 4th favourite or worse in red.
        if (column == library::kRunnerMark && runner.runner.mark != Mark::None) {
            return kGold;
        }
        if (column == library::kRunnerPopularity && runner.runner.mark == Mark::DoubleCircle &&
            runner.result && runner.result->popularity && *runner.result->popularity >= 4) {
            return kRed;
        }
        if (column == library::kRunnerFinish && runner.result && runner.result->finish == 1) {
            return kGold;
        }
        return {};
    default:
        return {};
    }
}

QVariant DayRunnerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return Q(library::DayRunnerHeader(section));
}

void DayRunnerProxy::SetFilter(const library::DayRunnerFilter& filter)
{
    m_filter = filter;
    invalidateFilter();
}

void DayRunnerProxy::sort(int column, Qt::SortOrder order)
{
    m_order = order;
    QSortFilterProxyModel::sort(column, order);
}

bool DayRunnerProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QVariant a = left.data(DayRunnerModel::kSortRole);
    const QVariant b = right.data(DayRunnerModel::kSortRole);
    // The empty cells go last whichever way the column is sorted; among themselves, and
    // between equal values, the rows keep the day's order.
    const bool descending = m_order == Qt::DescendingOrder;
    if (!a.isValid() || !b.isValid()) {
        if (a.isValid() == b.isValid()) {
            return descending ? left.row() > right.row() : left.row() < right.row();
        }
        return a.isValid() ? !descending : descending;
    }
    if (a.typeId() == QMetaType::QString) {
        const int order = QString::localeAwareCompare(a.toString(), b.toString());
        if (order != 0) {
            return order < 0;
        }
    } else if (a.toInt() != b.toInt()) {
        return a.toInt() < b.toInt();
    }
    return descending ? left.row() > right.row() : left.row() < right.row();
}

bool DayRunnerProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    const auto* model = static_cast<const DayRunnerModel*>(sourceModel());
    return sourceRow < model->rowCount() && library::Keeps(m_filter, model->At(sourceRow));
}

TfrmDayRunners::TfrmDayRunners(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("TfrmDayRunners"));
    setWindowTitle(QStringLiteral("出走馬一覧"));
    setFont(ProportionalFont(12));
    ApplyLibraryStyle(this);
    resize(900, 600);

    auto* layout = new QVBoxLayout(this);
    m_title = new QLabel(QStringLiteral("出走馬一覧"), this);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setFont(ProportionalFont(16));
    layout->addWidget(m_title);

    auto* filters = new QHBoxLayout();
    const auto addBox = [&](const QString& caption, QComboBox*& box) {
        auto* label = new QLabel(caption, this);
        box = new QComboBox(this);
        box->setMinimumContentsLength(8);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        label->setBuddy(box);
        filters->addWidget(label);
        filters->addWidget(box);
    };
    addBox(QStringLiteral("開催(&K)"), m_course);
    addBox(QStringLiteral("レース(&R)"), m_race);
    addBox(QStringLiteral("印(&M)"), m_mark);
    m_mark->addItem(QStringLiteral("すべて"));
    for (Mark mark :
         {Mark::DoubleCircle, Mark::Circle, Mark::FilledTriangle, Mark::Triangle, Mark::Cross}) {
        m_mark->addItem(Q(MarkText(mark)), static_cast<int>(mark));
    }
    m_mark->addItem(QStringLiteral("無印"), static_cast<int>(Mark::None));
    m_overlooked = new QCheckBox(QStringLiteral("◎で4番人気以下(&W)"), this);
    m_overlooked->setToolTip(QStringLiteral("◎なのに人気のなかった馬（結果の分かっている馬だけ）"));
    filters->addWidget(m_overlooked);
    filters->addStretch();
    layout->addLayout(filters);

    m_model = new DayRunnerModel(this);
    m_proxy = new DayRunnerProxy(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setDynamicSortFilter(true);
    m_table = new QTableView(this);
    m_table->setModel(m_proxy);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(library::kRunnerRace, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setToolTip(QStringLiteral("ダブルクリック（Enter）でそのレースと馬の詳細を開きます"));
    const int widths[library::kDayRunnerColumns] = {80, 44, 150, 80, 44, 44, 44,
                                                    44, 44, 56,  44, 36, 50, 50};
    for (int c = 0; c < library::kDayRunnerColumns; ++c) {
        m_table->setColumnWidth(c, widths[c]);
    }
    m_table->installEventFilter(this);
    connect(m_table, &QTableView::doubleClicked, this, [this] { OpenChosenRunner(); });
    layout->addWidget(m_table, 1);

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    auto* buttons = new QHBoxLayout();
    auto* open = new QPushButton(QStringLiteral("レースを開く(&O)"), this);
    open->setToolTip(QStringLiteral("選んだ馬のレースと詳細をメインウィンドウに出します（Enter）"));
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    connect(open, &QPushButton::clicked, this, &TfrmDayRunners::OpenChosenRunner);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(open);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_course, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) {
            FillRaceBox();
            ApplyFilter();
        }
    });
    for (QComboBox* box : {m_race, m_mark}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_filling) {
                ApplyFilter();
            }
        });
    }
    connect(m_overlooked, &QCheckBox::toggled, this, [this] { ApplyFilter(); });
}

void TfrmDayRunners::SetDay(const kol::RaceDay& day, const std::optional<library::Date>& date,
                            const std::vector<library::RaceResults>* results)
{
    const QVariant course = m_course->currentData();
    m_model->SetList(library::ListDayRunners(day, results));
    m_title->setText(date ? QStringLiteral("出走馬一覧　") + DateShown(*date)
                          : QStringLiteral("出走馬一覧"));

    m_filling = true;
    m_course->clear();
    m_course->addItem(QStringLiteral("すべて"));
    std::vector<int> seen;
    for (const kol::RaceTexts& race : day.races) {
        if (std::find(seen.begin(), seen.end(), race.courseCode) == seen.end()) {
            seen.push_back(race.courseCode);
            m_course->addItem(Q(library::CourseText(race.courseCode)), race.courseCode);
        }
    }
    const int keep = course.isValid() ? m_course->findData(course) : -1;
    m_course->setCurrentIndex(std::max(0, keep));
    m_filling = false;
    FillRaceBox();
    ApplyFilter();
}

void TfrmDayRunners::FillRaceBox()
{
    const QVariant chosen = m_race->currentData();
    const QVariant course = m_course->currentData();
    m_filling = true;
    m_race->clear();
    m_race->addItem(QStringLiteral("すべて"));
    std::vector<int> seen;
    for (const library::DayRunner& runner : m_model->List().runners) {
        if ((course.isValid() && runner.courseCode != course.toInt()) ||
            std::find(seen.begin(), seen.end(), runner.raceIndex) != seen.end()) {
            continue;
        }
        seen.push_back(runner.raceIndex);
        m_race->addItem(Q(library::DayRunnerCell(runner, library::kRunnerRace)), runner.raceIndex);
    }
    const int keep = chosen.isValid() ? m_race->findData(chosen) : -1;
    m_race->setCurrentIndex(std::max(0, keep));
    m_filling = false;
}

void TfrmDayRunners::ApplyFilter()
{
    library::DayRunnerFilter filter;
    if (m_course->currentData().isValid()) {
        filter.courseCode = m_course->currentData().toInt();
    }
    if (m_race->currentData().isValid()) {
        filter.raceIndex = m_race->currentData().toInt();
    }
    if (m_mark->currentData().isValid()) {
        filter.mark = static_cast<Mark>(m_mark->currentData().toInt());
    }
    filter.overlookedTopPick = m_overlooked->isChecked();
    m_proxy->SetFilter(filter);
    if (!m_table->currentIndex().isValid() && m_proxy->rowCount() > 0) {
        m_table->selectRow(0);
    }
    UpdateStatus();
}

void TfrmDayRunners::ChooseCourse(std::optional<int> courseCode)
{
    m_course->setCurrentIndex(courseCode ? std::max(0, m_course->findData(*courseCode)) : 0);
}

void TfrmDayRunners::ChooseRace(std::optional<int> raceIndex)
{
    m_race->setCurrentIndex(raceIndex ? std::max(0, m_race->findData(*raceIndex)) : 0);
}

void TfrmDayRunners::ChooseMark(std::optional<Mark> mark)
{
    m_mark->setCurrentIndex(mark ? std::max(0, m_mark->findData(static_cast<int>(*mark))) : 0);
}

void TfrmDayRunners::ChooseOverlooked(bool on)
{
    m_overlooked->setChecked(on);
}

void TfrmDayRunners::UpdateStatus()
{
    const library::DayRunnerList& list = m_model->List();
    int known = 0;
    for (const library::DayRunner& runner : list.runners) {
        known += runner.result ? 1 : 0;
    }
    QString text = list.runners.empty()
                       ? QStringLiteral("レースデータが読み込まれていません。")
                       : QStringLiteral("%1 頭中 %2 頭を表示。結果が分かっている馬 %3 頭。")
                             .arg(list.runners.size())
                             .arg(m_proxy->rowCount())
                             .arg(known);
    if (!list.runners.empty() && known == 0) {
        text += QStringLiteral("着順と人気は、後の開催日をライブラリに取り込むと分かります。");
    }
    if (!list.failed.empty()) {
        QStringList races;
        for (const library::UnlistedRace& race : list.failed) {
            races << Q(library::RaceShortName(race.courseCode, race.raceNumber));
        }
        text += QStringLiteral("\n解析できないため載っていないレース: ") +
                races.join(QStringLiteral("、"));
    }
    m_status->setText(text);
}

void TfrmDayRunners::OpenChosenRunner()
{
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const int row = m_proxy->mapToSource(current).row();
    if (row < 0 || row >= m_model->rowCount()) {
        return;
    }
    const library::DayRunner& runner = m_model->At(row);
    emit openRunner(runner.raceIndex, runner.runner.horseNumber);
}

bool TfrmDayRunners::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenChosenRunner();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmDayRunners::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace furlox::ui
