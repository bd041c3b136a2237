#include "detail/ui/uniSyosai.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QTableView>
#include <algorithm>

#include "base/Error.h"
#include "base/Settings.h"
#include "base/ui/Dialogs.h"
#include "base/ui/ErrorReport.h"
#include "base/ui/Pictures.h"
#include "base/ui/QtText.h"
#include "base/ui/WindowSettings.h"
#include "detail/ui/FxChart.h"
#include "detail/ui/PastRunModel.h"
#include "skin/ui/CellDelegate.h"
#include "skin/ui/CloseButton.h"
#include "skin/ui/EzRgnBtn.h"
#include "skin/ui/Skin.h"

namespace furlox::ui {

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
    BuildWindow();
    Chart1 = new FxChart(this);
    Chart1->setGeometry(314, 32, 316, 316);
    Series1 = Chart1->Series();
    btnHistory = new QPushButton(QStringLiteral("馬の履歴"), this);
    btnHistory->setGeometry(500, 6, 84, 20);
    btnHistory->setFont(ProportionalFont(11));
    btnHistory->setFocusPolicy(Qt::NoFocus);
    btnHistory->setToolTip(QStringLiteral("ライブラリにあるこの馬の全走（Ctrl+H）"));
    connect(btnHistory, &QPushButton::clicked, this, &TfrmSyosai::RequestHistory);
    // The shown horse's finish in this race, once a later day of the library has told it:
    // a line of its own in the title strip, the specified fields left as they are. The
    // strip still drags the window through it.
    lblResult = new QLabel(this);
    lblResult->setObjectName(QStringLiteral("lblResult"));
    lblResult->setGeometry(190, 7, 300, 18);
    lblResult->setFont(ProportionalFont(12));
    lblResult->setTextFormat(Qt::PlainText);
    lblResult->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblResult->setAttribute(Qt::WA_TranslucentBackground);
    lblResult->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblResult->setStyleSheet(QStringLiteral("color: #FFCC00;"));
    auto* historyKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    connect(historyKey, &QShortcut::activated, this, &TfrmSyosai::RequestHistory);
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
    cmbBamei->installEventFilter(this);

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
    Grid2->installEventFilter(this);
    Grid2->setItemDelegate(new CellDelegate(Grid2));
    Grid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid2->setSelectionMode(QAbstractItemView::NoSelection);
    Grid2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Grid2->setWordWrap(false);
    // Some texts (a long 条件) are wider than their designed columns: cut with an ellipsis,
    // whole in the tooltip.
    Grid2->setTextElideMode(Qt::ElideRight);
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

void TfrmSyosai::ShowChart(const HorseDetail* detail)
{
    Chart1->ShowRunner(detail);
    Series1 = Chart1->Series();
}

const QList<QGraphicsSimpleTextItem*>& TfrmSyosai::ValueLabels() const
{
    return Chart1->ValueLabels();
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
    Dialogs::Message(this, text, MessageKind::Critical);
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

QString TfrmSyosai::HorseName() const
{
    const QString entry = cmbBamei->currentText();
    // The list's entries are the padded horse number, a blank, the name.
    return entry.size() > 3 ? entry.mid(3).trimmed() : QString();
}

void TfrmSyosai::RequestHistory()
{
    const QString name = HorseName();
    if (name.isEmpty()) {
        QApplication::beep();
        return;
    }
    emit historyRequested(name);
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

bool TfrmSyosai::eventFilter(QObject* watched, QEvent* event)
{
    // Digits typed on the runner list (or anywhere in the window, which hands its keys to
    // the list) pick the runner by its horse number; the list's own search would look for
    // the entry's text, which starts with the padded number.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9 && modifiers == Qt::NoModifier) {
            TypeDigit(key->key() - Qt::Key_0);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmSyosai::keyPressEvent(QKeyEvent* event)
{
    if (!eventFilter(this, event)) {
        QWidget::keyPressEvent(event);
    }
}

void TfrmSyosai::TypeDigit(int digit)
{
    // Digits that follow one another quickly make one number ("1" "2": horse 12); a number
    // the race does not have starts again from the digit just typed.
    const bool going =
        m_typedSince.isValid() && m_typedSince.elapsed() <= QApplication::keyboardInputInterval();
    m_typedSince.start();
    m_typed = going ? m_typed * 10 + digit : digit;
    if (m_typed > cmbBamei->count()) {
        m_typed = digit;
    }
    // Row k of the race grid, and item k - 1 of the list, hold horse number k.
    if (m_typed >= 1 && m_typed <= cmbBamei->count()) {
        cmbBamei->setCurrentIndex(m_typed - 1);
    }
}

void TfrmSyosai::cmbBameiChange(int index)
{
    if (m_filling || index < 0) {
        return;
    }
    Guarded([&] { ShowHorse(index); }, [this](const QString& text) { ReportError(text); });
}

void TfrmSyosai::SetResultTexts(const QStringList& byHorse)
{
    m_resultTexts = byHorse;
    ShowResultText();
}

void TfrmSyosai::ShowResultText()
{
    const int index = cmbBamei->currentIndex();
    const QString text =
        index >= 0 && index < m_resultTexts.size() ? m_resultTexts[index] : QString();
    lblResult->setText(text.isEmpty() ? QString() : QStringLiteral("このレースの結果: ") + text);
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
    lblResult->clear();
    ShowChart(nullptr);
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

    ShowChart(&m_detail);
    ShowResultText();
    m_pastRuns->SetDetail(&m_detail);
    Grid2->scrollToTop();
    Grid2->horizontalScrollBar()->setValue(Grid2->horizontalScrollBar()->minimum());
}

} // namespace furlox::ui
