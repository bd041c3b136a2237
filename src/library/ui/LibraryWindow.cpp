#include "library/ui/LibraryWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "base/Error.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"
#include "library/LibraryTexts.h"
#include "library/ui/HorseHistory.h"
#include "library/ui/ImportProgress.h"
#include "library/ui/LibraryStyle.h"

namespace furlox::ui {
namespace {

const QString kTitle = QStringLiteral("ライブラリ");

int DateNumber(library::Date date)
{
    return static_cast<int>(date.year()) * 10000 + static_cast<int>(unsigned(date.month())) * 100 +
           static_cast<int>(unsigned(date.day()));
}

QString DateShown(library::Date date)
{
    return QStringLiteral("%1/%2/%3")
        .arg(static_cast<int>(date.year()))
        .arg(unsigned(date.month()), 2, 10, QLatin1Char('0'))
        .arg(unsigned(date.day()), 2, 10, QLatin1Char('0'));
}

} // namespace

void DayListModel::SetDays(std::vector<library::DaySummary> days)
{
    beginResetModel();
    m_days = std::move(days);
    endResetModel();
}

int DayListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_days.size());
}

int DayListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant DayListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const library::DaySummary& day = m_days[static_cast<std::size_t>(index.row())];
    if (role == kSortRole) {
        switch (index.column()) {
        case kDate:
            return DateNumber(day.date);
        case kWeekday:
            return std::chrono::weekday(std::chrono::sys_days(day.date)).c_encoding();
        case kCourses:
            return Q(library::CoursesText(day));
        case kRaces:
            return day.races;
        case kRunners:
            return day.runners;
        case kKnown:
            return day.known;
        default:
            return {};
        }
    }
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case kDate:
            return DateShown(day.date);
        case kWeekday:
            return Q(library::WeekdayText(day.date));
        case kCourses:
            return Q(library::CoursesText(day));
        case kRaces:
            return day.races;
        case kRunners:
            return day.runners;
        case kKnown:
            return day.known;
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole) {
        return index.column() >= kRaces ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                        : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

QVariant DayListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const headers[kColumnCount] = {"日付",   "曜日",     "開催",
                                                      "レース", "出走頭数", "結果判明"};
    return section >= 0 && section < kColumnCount ? QString::fromUtf8(headers[section])
                                                  : QVariant();
}

TfrmLibrary::TfrmLibrary(std::filesystem::path workDir, TfrmHorseHistory* history, QWidget* parent)
    : QWidget(parent, Qt::Window), m_workDir(std::move(workDir)), m_history(history)
{
    setObjectName(QStringLiteral("TfrmLibrary"));
    setWindowTitle(kTitle);
    setFont(ProportionalFont(12));
    ApplyLibraryStyle(this);
    resize(720, 520);

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("ライブラリの開催日"), this);
    title->setObjectName(QStringLiteral("title"));
    title->setFont(ProportionalFont(16));
    layout->addWidget(title);

    auto* body = new QHBoxLayout();
    m_model = new DayListModel(this);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(DayListModel::kSortRole);
    m_table = new QTableView(this);
    m_table->setModel(m_sorted);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(DayListModel::kDate, Qt::DescendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(DayListModel::kDate, 96);
    m_table->setColumnWidth(DayListModel::kWeekday, 40);
    m_table->setColumnWidth(DayListModel::kCourses, 150);
    m_table->installEventFilter(this);
    connect(m_table, &QTableView::doubleClicked, this, [this] { OpenChosenDay(); });
    body->addWidget(m_table, 3);

    auto* side = new QVBoxLayout();
    auto* searchLabel = new QLabel(QStringLiteral("馬名で探す(&S)"), this);
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("馬名の一部"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    connect(m_search, &QLineEdit::textChanged, this, &TfrmLibrary::Search);
    m_search->installEventFilter(this);
    m_found = new QListWidget(this);
    m_found->setToolTip(QStringLiteral("馬の履歴を見るには馬名をダブルクリック（Enter）"));
    connect(m_found, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowFoundHorse(m_found->row(item)); });
    side->addWidget(searchLabel);
    side->addWidget(m_search);
    side->addWidget(m_found, 1);
    body->addLayout(side, 2);
    layout->addLayout(body, 1);

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    auto* buttons = new QHBoxLayout();
    m_open = new QPushButton(QStringLiteral("開く(&O)"), this);
    m_open->setToolTip(QStringLiteral("選んだ日をメインウィンドウに開きます（Enter）"));
    m_remove = new QPushButton(QStringLiteral("削除(&D)"), this);
    m_remove->setToolTip(QStringLiteral("選んだ日をライブラリから削除します（Delete）"));
    auto* importFiles = new QPushButton(QStringLiteral("書庫を取り込む(&I)..."), this);
    auto* importFolder = new QPushButton(QStringLiteral("フォルダを取り込む(&F)..."), this);
    m_runners = new QPushButton(QStringLiteral("出走馬一覧(&R)"), this);
    m_runners->setToolTip(QStringLiteral("選んだ日を開き、その日の出走馬を一覧にします"));
    auto* tally = new QPushButton(QStringLiteral("成績集計(&T)"), this);
    tally->setToolTip(QStringLiteral("ライブラリの日で印や買い目の成績を集計します（Ctrl+T）"));
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    connect(m_runners, &QPushButton::clicked, this, [this] {
        if (const std::optional<library::Date> date = ChosenDay()) {
            emit runnersRequested(*date);
        }
    });
    connect(tally, &QPushButton::clicked, this, &TfrmLibrary::tallyRequested);
    connect(m_open, &QPushButton::clicked, this, &TfrmLibrary::OpenChosenDay);
    connect(m_remove, &QPushButton::clicked, this, &TfrmLibrary::RemoveChosenDay);
    connect(importFiles, &QPushButton::clicked, this, &TfrmLibrary::ImportArchives);
    connect(importFolder, &QPushButton::clicked, this, &TfrmLibrary::ImportFolder);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    for (QPushButton* button : {m_open, m_remove, importFiles, importFolder}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(m_runners);
    buttons->addWidget(tally);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { UpdateButtons(); });
    UpdateButtons();
}

bool TfrmLibrary::Refresh()
{
    const std::optional<library::Date> chosen = ChosenDay();
    try {
        library::OpenReport report;
        library::Library library = library::Library::Open(m_workDir, &report);
        m_model->SetDays(library.Days());
        if (!report.notice.empty()) {
            Tell(Q(report.notice).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        }
    } catch (const Error& e) {
        m_model->SetDays({});
        m_status->setText(QStringLiteral("ライブラリを開けません。"));
        Tell(QStringLiteral("ライブラリを開けません。\n") + Q(e.what()));
        UpdateButtons();
        return false;
    }
    int runners = 0;
    for (const library::DaySummary& day : m_model->Days()) {
        runners += day.runners;
    }
    m_status->setText(
        m_model->Days().empty()
            ? QStringLiteral("ライブラリに日はまだありません。"
                             "書庫を開くか取り込むと、ここに並びます。")
            : QStringLiteral("%1 日、出走 %2 頭").arg(m_model->Days().size()).arg(runners));
    if (!chosen || !ChooseDay(*chosen)) {
        if (m_sorted->rowCount() > 0) {
            m_table->selectRow(0);
        }
    }
    UpdateButtons();
    return true;
}

std::optional<library::Date> TfrmLibrary::ChosenDay() const
{
    const QModelIndex current = m_table->selectionModel()->currentIndex();
    if (!current.isValid()) {
        return std::nullopt;
    }
    const int row = m_sorted->mapToSource(current).row();
    if (row < 0 || row >= static_cast<int>(m_model->Days().size())) {
        return std::nullopt;
    }
    return m_model->Days()[static_cast<std::size_t>(row)].date;
}

bool TfrmLibrary::ChooseDay(library::Date date)
{
    const auto& days = m_model->Days();
    for (std::size_t i = 0; i < days.size(); ++i) {
        if (days[i].date == date) {
            const QModelIndex at = m_sorted->mapFromSource(m_model->index(static_cast<int>(i), 0));
            m_table->selectRow(at.row());
            m_table->scrollTo(at);
            return true;
        }
    }
    return false;
}

void TfrmLibrary::OpenChosenDay()
{
    if (const std::optional<library::Date> date = ChosenDay()) {
        emit openDay(*date);
    }
}

void TfrmLibrary::RemoveChosenDay()
{
    const std::optional<library::Date> date = ChosenDay();
    if (!date) {
        return;
    }
    const QString question =
        QStringLiteral("%1（%2）の日をライブラリから削除しますか？\n"
                       "保存してある書庫も削除されます。作業フォルダの今の日はそのまま残ります。")
            .arg(DateShown(*date), Q(library::WeekdayText(*date)));
    if (!Dialogs::Confirm(this, question, kTitle)) {
        return;
    }
    try {
        library::Library library = library::Library::Open(m_workDir);
        if (!library.RemoveDay(*date)) {
            Tell(QStringLiteral("%1 の日はライブラリにありません。").arg(DateShown(*date)));
        }
    } catch (const Error& e) {
        Tell(QStringLiteral("削除できませんでした。\n") + Q(e.what()));
    }
    emit libraryChanged();
    const int row = m_table->currentIndex().row();
    Refresh();
    if (m_sorted->rowCount() > 0) {
        m_table->selectRow(std::min(row, m_sorted->rowCount() - 1));
    }
}

void TfrmLibrary::ImportArchives()
{
    FileQuestion question;
    question.folder = PathQ(m_workDir);
    question.filter = QStringLiteral("圧縮データファイル(*.lzh *.lha)");
    question.many = true;
    const QStringList chosen = Dialogs::AskFiles(this, question);
    std::vector<std::filesystem::path> paths;
    for (const QString& path : chosen) {
        paths.push_back(PathOf(path));
    }
    if (!paths.empty()) {
        Import(paths);
    }
}

void TfrmLibrary::ImportFolder()
{
    FileQuestion question;
    question.folder = PathQ(m_workDir);
    question.chooseFolder = true;
    const QStringList chosen = Dialogs::AskFiles(this, question);
    if (!chosen.isEmpty()) {
        Import({PathOf(chosen.first())});
    }
}

void TfrmLibrary::Import(const std::vector<std::filesystem::path>& paths)
{
    ImportProgress progress(m_workDir, paths, this);
    progress.Run();
    emit libraryChanged();
    Refresh();
    const auto& items = progress.Items();
    if (items.empty() && progress.Failure().empty() && !progress.Cancelled()) {
        Tell(QStringLiteral("取り込む書庫（.lzh）が見つかりませんでした。"), false);
        return;
    }
    // The newest day imported is chosen in the list.
    std::optional<library::Date> newest;
    bool refused = !progress.Failure().empty();
    for (const library::ImportItem& item : items) {
        if (item.result && (!newest || item.result->date > *newest)) {
            newest = item.result->date;
        }
        refused = refused || !item.result;
    }
    if (newest) {
        ChooseDay(*newest);
    }
    Tell(ImportSummary(items, progress.Cancelled(), progress.Failure()), refused);
}

void TfrmLibrary::Search(const QString& text)
{
    m_found->clear();
    if (text.trimmed().isEmpty()) {
        return;
    }
    try {
        library::Library library = library::Library::Open(m_workDir);
        for (const std::string& name : library.SearchHorses(text.toStdString())) {
            m_found->addItem(QString::fromStdString(name));
        }
    } catch (const Error& e) {
        m_status->setText(QStringLiteral("馬を探せません: ") + Q(e.what()));
        return;
    }
    if (m_found->count() == 0) {
        auto* none = new QListWidgetItem(QStringLiteral("（見つかりません）"), m_found);
        none->setFlags(Qt::NoItemFlags);
    } else {
        m_found->setCurrentRow(0);
    }
}

void TfrmLibrary::ShowFoundHorse(int row)
{
    QListWidgetItem* item = m_found->item(row);
    if (!item || !(item->flags() & Qt::ItemIsEnabled) || !m_history) {
        return;
    }
    m_history->ShowHorse(item->text());
}

void TfrmLibrary::Tell(const QString& text, bool warning)
{
    Dialogs::Message(this, text, warning ? MessageKind::Warning : MessageKind::Information, kTitle);
}

void TfrmLibrary::UpdateButtons()
{
    const bool chosen = ChosenDay().has_value();
    m_open->setEnabled(chosen);
    m_remove->setEnabled(chosen);
    m_runners->setEnabled(chosen);
}

bool TfrmLibrary::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_table && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            OpenChosenDay();
            return true;
        }
        if (watched == m_table && key == Qt::Key_Delete) {
            RemoveChosenDay();
            return true;
        }
        if (watched == m_search &&
            (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (m_found->count() > 0) {
                m_found->setFocus();
                if (key != Qt::Key_Down) {
                    ShowFoundHorse(m_found->currentRow());
                }
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmLibrary::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace furlox::ui
