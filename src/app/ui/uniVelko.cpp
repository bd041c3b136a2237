#include "app/ui/uniVelko.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QScopeGuard>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "analysis/RaceAnalysis.h"
#include "analysis/ui/RaceGridModel.h"
#include "app/KeepDay.h"
#include "app/MainWindowLayout.h"
#include "app/OpenDataArchive.h"
#include "app/WorkDir.h"
#include "app/ui/Application.h"
#include "app/ui/ArchiveHandover.h"
#include "app/ui/OpenArchiveDialog.h"
#include "app/ui/OutputCommands.h"
#include "app/ui/QtTranslations.h"
#include "app/ui/uniAbout.h"
#include "base/Error.h"
#include "base/Settings.h"
#include "base/ui/Dialogs.h"
#include "base/ui/Pictures.h"
#include "base/ui/QtText.h"
#include "base/ui/WindowSettings.h"
#include "detail/ui/uniSyosai.h"
#include "kol/WorkDir.h"
#include "library/DayRunners.h"
#include "library/ui/DayRunnersWindow.h"
#include "library/ui/HorseHistory.h"
#include "library/ui/LibraryWindow.h"
#include "library/ui/TallyWindow.h"
#include "output/ui/CompanionViewer.h"
#include "skin/ui/CloseButton.h"
#include "skin/ui/EzRgnBtn.h"
#include "skin/ui/Skin.h"

namespace furlox::ui {
namespace {

constexpr const char* kButtonHints[7] = {
    "データ書庫を開く", "レース選択", "前のレース", "次のレース", "出力",
    "P.L.O.T ビューア", "ヘルプ"};

const QString kMakerHomePage = QStringLiteral("https://www.morvane.example/");
const QString kDataServiceHomePage = QStringLiteral("https://www.keibado-online.example/");

QRect Place(const app::WindowPlace& place)
{
    return {place.left, place.top, place.width, place.height};
}

QFrame* MakePanel(QWidget* parent, const QRect& place, const QColor& colour, bool sunken,
                  const QString& picture)
{
    auto* panel = new QFrame(parent);
    panel->setGeometry(place);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
    if (sunken) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setLineWidth(2);
    }
    if (!picture.isEmpty()) {
        auto* background = new QLabel(panel);
        background->setGeometry(2, 2, place.width() - 4, place.height() - 4);
        background->setPixmap(ScreenPixmap(picture));
        background->lower();
    }
    return panel;
}

QString NoDataNotice(const std::filesystem::path& workDir)
{
    return Q(kol::NoRaceDataMessage(workDir)) +
           QStringLiteral("\n\n「開く」ボタン（Ctrl+O）でデータ書庫（.lzh）を選ぶか、\n"
                          "書庫ファイルをこのウィンドウにドロップしてください。");
}

QLabel* MakeLabel(QWidget* parent, int left, int top, const QFont& font, const QColor& colour)
{
    auto* label = new QLabel(parent);
    label->move(left, top);
    label->setFont(font);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TfrmVelko::TfrmVelko(const Options& options, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Window), m_workDir(options.workDir)
{
    setObjectName(QStringLiteral("TfrmVelko"));
    setWindowTitle(QStringLiteral("Furlox"));
    setFixedSize(640, 500);
    setFont(ProportionalFont(12));
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);

    m_viewer = new CompanionViewer(this);
    m_output = new OutputCommands(*this);
    m_handover =
        new ArchiveHandover([this] { return m_busy; },
                            [this](const QString& archive) { OpenDataArchive(archive); }, this);

    BuildWindow();
    BuildMenus();
    BuildShortcuts();
    SkinWindow(this, Picture(QStringLiteral("main-bg.png")));
    RestoreSettings();
    KeepOnScreen(this);
    ShowNotice(NoDataNotice(m_workDir));

    // Errors of the start-up (an archive that fails, a work directory that cannot be read)
    // are reported and the window opens all the same.
    if (!options.archive.isEmpty()) {
        Run([&] { OpenArchiveNow(options.archive); });
    }
    Run([this] { StartUpLoad(); });
}

TfrmVelko::~TfrmVelko() = default;

void TfrmVelko::BuildWindow()
{
    imgForm = new QLabel(this);
    imgForm->setGeometry(0, 0, 640, 500);
    imgForm->setPixmap(ScreenPixmap(QStringLiteral("main-bg.png")));
    new BackgroundDrag(imgForm, this);

    imgSystem = new QLabel(this);
    imgSystem->setGeometry(15, 7, 16, 16);
    imgSystem->setPixmap(ScreenPixmap(QStringLiteral("system.png")));
    imgSystem->setToolTip(QStringLiteral("システムメニュー"));
    imgSystem->installEventFilter(this);

    btnClose = MakeCloseButton(this);
    connect(btnClose, &TEzRgnBtn::clicked, this, &QWidget::close);

    pnl1 = MakePanel(this, Place(app::kMainPanels[0]), Qt::black, true, QStringLiteral("pnl1.png"));
    lblTitle1 = MakeLabel(pnl1, 7, 10, ProportionalFont(12), QColor(0xFF, 0xCC, 0x00));
    lblTitle2 = MakeLabel(pnl1, 7, 30, ProportionalFont(12), QColor(0xFF, 0xCC, 0x00));

    pnl2 = MakePanel(this, Place(app::kMainPanels[1]), QColor(0x80, 0x80, 0x80), true,
                     QStringLiteral("pnl2.png"));
    m_model = new RaceGridModel(this);
    Grid1 = new RaceGridView(pnl2);
    Grid1->setModel(m_model);
    Grid1->move(2, 2);
    Grid1->resize(480, 327);
    Grid1->hide();
    connect(Grid1, &RaceGridView::cellClicked, this, &TfrmVelko::Grid1ClickCell);
    lblNotice = new QLabel(pnl2);
    lblNotice->setGeometry(22, 22, 440, 287);
    lblNotice->setAlignment(Qt::AlignCenter);
    lblNotice->setWordWrap(true);
    lblNotice->setTextFormat(Qt::PlainText);
    lblNotice->setFont(ProportionalFont(13));
    lblNotice->setAttribute(Qt::WA_TranslucentBackground);
    {
        QPalette palette = lblNotice->palette();
        palette.setColor(QPalette::WindowText, QColor(0xF5, 0xEC, 0xD4));
        lblNotice->setPalette(palette);
    }
    lblNotice->hide();

    pnl3 = MakePanel(this, Place(app::kMainPanels[2]), Qt::black, true, QStringLiteral("pnl3.png"));
    lblTan = MakeLabel(pnl3, 10, 12, FixedFont(15), QColor(0xFF, 0xCC, 0x00));
    // Below the longest bets label (単勝 and six pairs, down to y 232) and the panel
    // picture's rule under it, above the panel's lower edge: four lines.
    lblResult = MakeLabel(pnl3, 10, 252, ProportionalFont(12), QColor(0xF5, 0xEC, 0xD4));
    lblResult->setObjectName(QStringLiteral("lblResult"));
    lblResult->resize(116, 76);
    lblResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    pnl4 = MakePanel(this, Place(app::kMainPanels[3]), Qt::white, false, QString());
    imgGraph = new QLabel(pnl4);
    imgGraph->setGeometry(1, 1, 130, 48);
    pnl4->hide(); // no blank white box while no race is shown

    const char* grades[4] = {"grade-a.png", "grade-b.png", "grade-c.png", "grade-d.png"};
    for (int i = 0; i < 4; ++i) {
        m_gradePictures[static_cast<std::size_t>(i)] =
            ScreenPicture(QString::fromLatin1(grades[i]));
    }

    for (int i = 0; i < 7; ++i) {
        auto* button = new TEzRgnBtn(this);
        const app::MainButton& design = app::kMainButtons[static_cast<std::size_t>(i)];
        const QString base = QString::fromLatin1(design.picture);
        button->SetPicIdle(ScreenPicture(base + QStringLiteral("-idle.png")));
        button->SetPicUp(ScreenPicture(base + QStringLiteral("-hover.png")));
        button->SetPicDown(ScreenPicture(base + QStringLiteral("-down.png")));
        button->SetPaintMode(TPaintMode::pmCrop);
        button->setGeometry(Place(design.place));
        button->setToolTip(QString::fromUtf8(kButtonHints[i]));
        EzRgnBtn[static_cast<std::size_t>(i)] = button;
    }
    connect(EzRgnBtn[0], &TEzRgnBtn::clicked, this, &TfrmVelko::EzRgnBtn1Click);
    connect(EzRgnBtn[1], &TEzRgnBtn::clicked, this, &TfrmVelko::EzRgnBtn2Click);
    connect(EzRgnBtn[2], &TEzRgnBtn::clicked, this, &TfrmVelko::EzRgnBtn3Click);
    connect(EzRgnBtn[3], &TEzRgnBtn::clicked, this, &TfrmVelko::EzRgnBtn4Click);
    connect(EzRgnBtn[4], &TEzRgnBtn::clicked, this, &TfrmVelko::EzRgnBtn5Click);
    connect(EzRgnBtn[5], &TEzRgnBtn::clicked, this, &TfrmVelko::EzRgnBtn6Click);
    connect(EzRgnBtn[6], &TEzRgnBtn::clicked, this, &TfrmVelko::EzRgnBtn7Click);

    btnLibrary = new TEzRgnBtn(this);
    {
        const QString base = QString::fromLatin1(app::kLibraryButton.picture);
        btnLibrary->SetPicIdle(ScreenPicture(base + QStringLiteral("-idle.png")));
        btnLibrary->SetPicUp(ScreenPicture(base + QStringLiteral("-hover.png")));
        btnLibrary->SetPicDown(ScreenPicture(base + QStringLiteral("-down.png")));
    }
    btnLibrary->SetPaintMode(TPaintMode::pmCrop);
    btnLibrary->setGeometry(Place(app::kLibraryButton.place));
    btnLibrary->setToolTip(QStringLiteral("ライブラリ (Ctrl+L)"));
    connect(btnLibrary, &TEzRgnBtn::clicked, this, &TfrmVelko::LibraryClick);
}

void TfrmVelko::BuildMenus()
{
    popMenu = new QMenu(this);

    popOutput = new QMenu(this);
    popPrint = popOutput->addAction(QStringLiteral("印刷(&P)..."));
    PrintPreview = popOutput->addAction(QStringLiteral("印刷プレビュー(&V)..."));
    popOutput->addSeparator();
    popHTML = popOutput->addAction(QStringLiteral("HTML形式で出力(&H)..."));
    popTextOut = popOutput->addAction(QStringLiteral("テキスト形式で出力(&T)..."));
    popOutput->addSeparator();
    popTextOutAll = popOutput->addAction(QStringLiteral("一括テキストで出力/指数+買い目(&S)..."));
    popPLOT = popOutput->addAction(QStringLiteral("一括テキストで出力/P.L.O.T形式(&W)..."));
    popOutput->addSeparator();
    popPrintAll = popOutput->addAction(QStringLiteral("全レース印刷(&A)..."));
    popPdfAll = popOutput->addAction(QStringLiteral("全レースPDF保存(&D)..."));
    popCsv = popOutput->addAction(QStringLiteral("CSV保存(&C)..."));
    popOutput->addSeparator();
    popRunners = popOutput->addAction(QStringLiteral("出走馬一覧(&U)..."));
    popRunners->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    popRunners->setShortcutVisibleInContextMenu(true);
    // The key itself is the window's shortcut below, so that it works without the menu.
    popRunners->setShortcutContext(Qt::WidgetShortcut);
    connect(popOutput, &QMenu::aboutToShow, this, &TfrmVelko::popOutputPopup);
    popOutputPopup();
    connect(popPrint, &QAction::triggered, this, &TfrmVelko::popPrintClick);
    connect(PrintPreview, &QAction::triggered, this, &TfrmVelko::PrintPreviewClick);
    connect(popHTML, &QAction::triggered, this, &TfrmVelko::popHTMLClick);
    connect(popTextOut, &QAction::triggered, this, &TfrmVelko::popTextOutClick);
    connect(popTextOutAll, &QAction::triggered, this, &TfrmVelko::popTextOutAllClick);
    connect(popPLOT, &QAction::triggered, this, &TfrmVelko::popPLOTClick);
    connect(popPrintAll, &QAction::triggered, this, &TfrmVelko::popPrintAllClick);
    connect(popPdfAll, &QAction::triggered, this, &TfrmVelko::popPdfAllClick);
    connect(popCsv, &QAction::triggered, this, &TfrmVelko::popCsvClick);
    connect(popRunners, &QAction::triggered, this, &TfrmVelko::RunnersClick);

    popHelp = new QMenu(this);
    popHelp->addAction(QStringLiteral("ヘルプを表示(&H)"), this, &TfrmVelko::popHelpIndexClick);
    popHelp->addSeparator();
    QMenu* homePages = popHelp->addMenu(QStringLiteral("ホームページ(&W)..."));
    homePages->addAction(QStringLiteral("Morvane(&A)"), this,
                         [this] { OpenHomePage(kMakerHomePage); });
    homePages->addAction(QStringLiteral("競馬道OnLine(&O)"), this,
                         [this] { OpenHomePage(kDataServiceHomePage); });
    popHelp->addSeparator();
    popHelp->addAction(QStringLiteral("バージョン情報(&A)..."), this, &TfrmVelko::popVerClick);

    popSystem = new QMenu(this);
    popSystem->addAction(QStringLiteral("最小化(&M)"), this, &QWidget::showMinimized);
    popSystem->addSeparator();
    popSystem->addAction(QStringLiteral("終了(&X)"), this, &QWidget::close);
}

void TfrmVelko::BuildShortcuts()
{
    // The window's commands reach it from the detail window too: they are the program's,
    // not one window's (arrows and digits keep their meaning in the detail window, where
    // they step through its runners). A modal dialog still takes them all.
    const std::pair<QKeySequence, void (TfrmVelko::*)()> commands[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_O), &TfrmVelko::EzRgnBtn1Click},
        {QKeySequence(Qt::CTRL | Qt::Key_R), &TfrmVelko::EzRgnBtn2Click},
        {QKeySequence(Qt::CTRL | Qt::Key_E), &TfrmVelko::EzRgnBtn5Click},
        {QKeySequence(Qt::CTRL | Qt::Key_L), &TfrmVelko::LibraryClick},
        {QKeySequence(Qt::CTRL | Qt::Key_U), &TfrmVelko::RunnersClick},
        {QKeySequence(Qt::CTRL | Qt::Key_T), &TfrmVelko::TallyClick},
        {QKeySequence(Qt::Key_F1), &TfrmVelko::popHelpIndexClick},
    };
    const auto add = [this](const QKeySequence& keys) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::ApplicationShortcut);
        return shortcut;
    };
    for (const auto& [keys, handler] : commands) {
        connect(add(keys), &QShortcut::activated, this, handler);
    }
    connect(add(QKeySequence(Qt::CTRL | Qt::Key_Q)), &QShortcut::activated, this,
            [this] { close(); });
}

void TfrmVelko::RestoreSettings()
{
    const QSettings settings = ProgramSettings();
    move(StoredWindowPosition(QStringLiteral("Main")));
    const QString workDir = PathQ(m_workDir) + QLatin1Char('/');
    m_lastOpenDir = settings.value(QStringLiteral("Main/LastOpenDir"), workDir).toString();
}

void TfrmVelko::FormCloseQuery()
{
    QSettings settings = ProgramSettings();
    StoreWindowPosition(settings, QStringLiteral("Main"), pos());
    settings.setValue(QStringLiteral("Main/LastOpenDir"), m_lastOpenDir);
    if (m_detail) {
        // Written whether the detail window was ever shown or not.
        StoreWindowPosition(settings, QStringLiteral("Uma"), m_detail->pos());
    }
}

bool TfrmVelko::eventFilter(QObject* watched, QEvent* event)
{
    // The system menu opens when a mouse button is released over the small icon.
    if (watched == imgSystem && event->type() == QEvent::MouseButtonRelease) {
        popSystem->popup(pos() + QPoint(31, 7));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmVelko::closeEvent(QCloseEvent* event)
{
    FormCloseQuery();
    event->accept();
    QApplication::closeAllWindows();
}

void TfrmVelko::StartUpLoad()
{
    // An open killed while it put its files in place is finished first: the files looked at
    // below are then one whole day.
    kol::RecoverWorkDirLocked(m_workDir);
    const bool present = std::filesystem::exists(m_workDir / kol::kRaceFileName) &&
                         std::filesystem::exists(m_workDir / kol::kHorseFileName);
    if (!present) {
        Grid1->hide();
        return;
    }
    if (LoadKolFiles() || m_day.RaceCount() > 0) {
        AnalyseRace(0);
    }
    const std::string libraryNote = app::PrepareLibraryAtStart(m_workDir);
    if (!libraryNote.empty()) {
        ShowMessage(Q(libraryNote).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), true);
    }
    DayResultsChanged();
}

bool TfrmVelko::LoadKolFiles()
{
    std::optional<kol::LoadedDay> loaded = kol::LoadWorkDay(m_workDir);
    if (!loaded) {
        return false;
    }
    TakeDay(std::move(*loaded));
    return true;
}

void TfrmVelko::TakeDay(kol::LoadedDay loaded)
{
    DropRace(); // nothing reads the old day while it is replaced
    m_day = std::move(loaded.day);
    DayReplaced();
    for (const std::string& warning : loaded.warnings) {
        ShowMessage(Q(warning));
    }
}

void TfrmVelko::DayReplaced()
{
    DropRace();
    m_raceIndex = -1;
    // The old day's results never show on the new one; they are read again once the new day
    // is in the library (DayResultsChanged).
    m_dayResults.reset();
    if (m_runners && m_runners->isVisible()) {
        m_runners->SetDay(m_day, library::DayDate(m_day), nullptr);
    }
    RebuildRaceMenu();
    ShowNotice(m_day.RaceCount() > 0
                   ? QStringLiteral("「レース」ボタン（Ctrl+R）でレースを選んでください。")
                   : NoDataNotice(m_workDir));
}

void TfrmVelko::DropRace()
{
    // The grid, the detail window and the exports all read m_race: each lets go of it first.
    if (m_detail) {
        m_detail->CloseDetail();
    }
    m_model->SetRace(nullptr);
    m_race = AnalysedRace{};
    m_raceShown = false;
    Grid1->hide();
    for (QLabel* label : {lblTitle1, lblTitle2, lblTan}) {
        label->clear();
        label->adjustSize();
    }
    lblResult->clear();
    if (m_detail) {
        m_detail->SetResultTexts({});
    }
    imgGraph->clear();
    pnl4->hide();
}

void TfrmVelko::ShowNotice(const QString& text)
{
    lblNotice->setText(text);
    lblNotice->setVisible(!text.isEmpty());
}

void TfrmVelko::RebuildRaceMenu()
{
    popMenu->clear();
    for (int i = 0; i < m_day.RaceCount(); ++i) {
        // Captions get no keyboard accelerators of their own.
        QString caption = Q(m_day.races[static_cast<std::size_t>(i)].menuCaption);
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = popMenu->addAction(caption);
        action->setCheckable(true);
        if (i < kol::kMaxRaces) {
            connect(action, &QAction::triggered, this, [this, i] { YosouClick(i); });
        }
    }
    MarkCurrentRace();
}

void TfrmVelko::MarkCurrentRace()
{
    const QList<QAction*> actions = popMenu->actions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        actions[i]->setChecked(i == m_raceIndex);
    }
}

bool TfrmVelko::AnalyseRace(int raceIndex)
{
    if (raceIndex < 0 || raceIndex >= m_day.RaceCount()) {
        ReportError(Q(NoSuchRaceMessage(raceIndex)));
        return false;
    }
    AnalysedRace analysed;
    QString failure;
    try {
        analysed = furlox::AnalyseRace(m_day, raceIndex);
    } catch (const std::exception& e) {
        failure = ErrorText(e);
    }
    // The index moves in either case, so the next step goes past a race that fails.
    m_raceIndex = raceIndex;
    MarkCurrentRace();
    if (!failure.isEmpty()) {
        // Nothing of the race shown before stays: titles from the race file, no grid, no
        // bets, the detail window closed, the race's outputs disabled.
        DropRace();
        const kol::RaceTexts& texts = m_day.races[static_cast<std::size_t>(raceIndex)];
        lblTitle1->setText(Q(texts.startLine));
        lblTitle1->adjustSize();
        lblTitle2->setText(Q(texts.raceHeader));
        lblTitle2->adjustSize();
        ShowNotice(QStringLiteral("このレースは解析できません。\n\n%1\n\n"
                                  "「前」「次」やレース選択で他のレースへ移れます。")
                       .arg(failure));
        emit raceShown(raceIndex);
        ReportError(failure);
        return false;
    }
    m_race = std::move(analysed);
    m_raceShown = true;
    ShowNotice(QString());

    lblTitle1->setText(Q(m_race.startLine));
    lblTitle1->adjustSize();
    lblTitle2->setText(Q(m_race.raceHeader));
    lblTitle2->adjustSize();
    QString tan = Q(BetsLabel(m_race.bets));
    tan.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lblTan->setText(tan);
    lblTan->adjustSize();
    const int picture = GradePicture(m_race.bets) - 'A'; // imgA .. imgD
    imgGraph->setPixmap(QPixmap::fromImage(m_gradePictures[static_cast<std::size_t>(picture)]));
    pnl4->show();

    m_model->SetRace(&m_race);
    Grid1->FitRows(m_race.headCount);
    Grid1->show();
    ShowRaceResults();

    if (m_detailShown) {
        ShowRunnerDetail(1, kColHorseName, false);
    }
    emit raceShown(raceIndex);
    return true;
}

void TfrmVelko::AttachDetailWindow(TfrmSyosai* detail)
{
    m_detail = detail;
    detail->SetSource(&m_day, &m_race);
    // The flag follows the program's own opening and closing of the window, not the
    // system's hiding of it (a minimised window still follows the race).
    connect(detail, &TfrmSyosai::shownChanged, this, [this](bool shown) {
        m_detailShown = shown;
        if (!shown) {
            ReturnFocus();
        }
    });
    connect(detail, &TfrmSyosai::historyRequested, this, &TfrmVelko::ShowHorseHistory);
}

void TfrmVelko::ShowRunnerDetail(int row, int column, bool show)
{
    if (row == 0 || column != kColHorseName || !m_raceShown) {
        return;
    }
    emit runnerDetailRequested(row, column, show);
    if (m_detail) {
        m_detail->ShowRunnerDetail(row, show);
    }
}

void TfrmVelko::ApplyStartOptions(std::optional<int> raceIndex, std::optional<int> horse)
{
    Run([&] {
        if (raceIndex && m_day.RaceCount() > 0) {
            AnalyseRace(std::clamp(*raceIndex, 0, m_day.RaceCount() - 1));
        }
        if (horse) {
            ShowRunnerDetail(*horse, kColHorseName, true);
        }
    });
}

void TfrmVelko::Grid1ClickCell(int row, int column)
{
    Run([&] { ShowRunnerDetail(row, column, true); });
}

void TfrmVelko::YosouClick(int raceIndex)
{
    Run([&] { AnalyseRace(raceIndex); });
}

void TfrmVelko::EzRgnBtn1Click()
{
    Run([this] {
        const QString filter =
            FileDialogFilter(QStringLiteral("圧縮データファイル(*.lzh)"), QStringLiteral("*.lzh"));
        if (!QFileInfo(m_lastOpenDir).isDir()) {
            m_lastOpenDir = PathQ(m_workDir) + QLatin1Char('/');
        }
        FileQuestion question;
        question.folder = m_lastOpenDir;
        question.filter = filter;
        const QString chosen = Dialogs::AskFile(this, question);
        ReturnFocus();
        if (chosen.isEmpty()) {
            return;
        }
        m_lastOpenDir = QFileInfo(chosen).absolutePath() + QLatin1Char('/');
        OpenArchiveNow(chosen);
    });
}

void TfrmVelko::EzRgnBtn2Click()
{
    if (popMenu->isEmpty()) {
        Beep();
        return;
    }
    MarkCurrentRace();
    popMenu->popup(pos() + QPoint(205, 424));
}

void TfrmVelko::EzRgnBtn3Click()
{
    Run([this] {
        if (m_day.RaceCount() == 0 || m_raceIndex <= 0) {
            Beep();
            return;
        }
        AnalyseRace(std::min(m_raceIndex, m_day.RaceCount()) - 1);
    });
}

void TfrmVelko::EzRgnBtn4Click()
{
    Run([this] {
        if (m_raceIndex + 1 < m_day.RaceCount()) {
            AnalyseRace(m_raceIndex + 1);
        } else {
            Beep();
        }
    });
}

void TfrmVelko::EzRgnBtn5Click()
{
    popOutput->popup(pos() + QPoint(415, 424));
}

void TfrmVelko::EzRgnBtn6Click()
{
    Run([this] {
        const QString folder = ShownPath(m_workDir);
        switch (m_viewer->StartOrActivate(m_workDir)) {
        case CompanionViewer::Result::Started:
        case CompanionViewer::Result::AlreadyRunning:
            return;
        case CompanionViewer::Result::Missing:
            ShowMessage(QStringLiteral("P.L.O.T ビューア（pt または pt.exe）が作業フォルダ\n%1\n"
                                       "にありません。ビューアをこのフォルダに置いてください。")
                            .arg(folder),
                        true);
            return;
        case CompanionViewer::Result::FailedToStart:
            ShowMessage(
                QStringLiteral("作業フォルダ %1 の P.L.O.T ビューアを起動できません。").arg(folder),
                true);
            return;
        }
    });
}

const kol::RaceTexts& TfrmVelko::ShownRaceTexts() const
{
    return m_day.races.at(static_cast<std::size_t>(CurrentRace()));
}

bool TfrmVelko::Has(Needs needs) const
{
    switch (needs) {
    case Needs::Day:
        return m_day.RaceCount() > 0 && m_raceIndex >= 0 && m_raceIndex < m_day.RaceCount();
    case Needs::ShownRace:
        return m_raceShown;
    }
    return false;
}

void TfrmVelko::Command(Needs needs, const std::function<void()>& action)
{
    if (!Has(needs)) {
        Beep();
        return;
    }
    Run(action);
}

const QPageLayout& TfrmVelko::PageLayout()
{
    return m_output->PageLayout();
}

const PrintSettings& TfrmVelko::Grid1PrintSettings() const
{
    return m_output->GridPrintSettings();
}

void TfrmVelko::popPrintClick()
{
    Command(Needs::ShownRace, [this] { m_output->Print(); });
}

void TfrmVelko::PrintPreviewClick()
{
    Command(Needs::ShownRace, [this] { m_output->Preview(); });
}

void TfrmVelko::popHTMLClick()
{
    Command(Needs::ShownRace, [this] { m_output->Html(); });
}

void TfrmVelko::popTextOutClick()
{
    Command(Needs::ShownRace, [this] { m_output->Text(); });
}

void TfrmVelko::popTextOutAllClick()
{
    Command(Needs::Day, [this] { m_output->AllRacesText(); });
}

void TfrmVelko::popPLOTClick()
{
    Command(Needs::Day, [this] { m_output->Plot(); });
}

void TfrmVelko::popPrintAllClick()
{
    Command(Needs::Day, [this] { m_output->PrintDay(); });
}

void TfrmVelko::popPdfAllClick()
{
    Command(Needs::Day, [this] { m_output->PdfDay(); });
}

void TfrmVelko::popCsvClick()
{
    Command(Needs::Day, [this] { m_output->Csv(); });
}

void TfrmVelko::EzRgnBtn7Click()
{
    popHelp->popup(pos() + QPoint(555, 424));
}

void TfrmVelko::popOutputPopup()
{
    // The race's own outputs need an analysed race on screen; the walks over the whole day
    // need a loaded day (they report a race that cannot be analysed by name).
    for (QAction* action : {popPrint, PrintPreview, popHTML, popTextOut}) {
        action->setEnabled(Has(Needs::ShownRace));
    }
    for (QAction* action : {popTextOutAll, popPLOT, popPrintAll, popPdfAll, popCsv, popRunners}) {
        action->setEnabled(Has(Needs::Day));
    }
}

void TfrmVelko::popHelpIndexClick()
{
    Run([this] {
        const std::filesystem::path program = PathOf(QCoreApplication::applicationDirPath());
        for (const auto& page :
             {m_workDir / "help" / "index.html", program / "help" / "index.html",
              program.parent_path() / "share" / "furlox" / "help" / "index.html"}) {
            std::error_code ignored;
            if (std::filesystem::is_regular_file(page, ignored)) {
                const QString missing = Dialogs::OpenInBrowser(QUrl::fromLocalFile(PathQ(page)));
                if (!missing.isEmpty()) {
                    ShowMessage(missing +
                                    QStringLiteral("\n\nヘルプファイル: %1").arg(ShownPath(page)),
                                true);
                }
                return;
            }
        }
        ShowMessage(QStringLiteral("ヘルプファイルが見つかりません。"), true);
    });
}

void TfrmVelko::popVerClick()
{
    TfrmAbout about(this);
    about.exec();
    ReturnFocus();
}

void TfrmVelko::OpenHomePage(const QString& url)
{
    Run([&] {
        const QString missing = Dialogs::OpenInBrowser(QUrl(url));
        if (!missing.isEmpty()) {
            ShowMessage(missing, true);
        }
    });
}

void TfrmVelko::LibraryClick()
{
    if (!m_library) {
        if (!m_history) {
            m_history = new TfrmHorseHistory(m_workDir, this);
        }
        m_library = new TfrmLibrary(m_workDir, m_history, this);
        // A day chosen in the list goes through the same open as a chosen archive, and the
        // list follows (a day gone meanwhile leaves it).
        connect(m_library, &TfrmLibrary::openDay, this, [this](library::Date date) {
            OpenLibraryDay(date);
            m_library->Refresh();
        });
        connect(m_library, &TfrmLibrary::runnersRequested, this, [this](library::Date date) {
            if (library::DayDate(m_day) != date) {
                OpenLibraryDay(date);
                m_library->Refresh();
            }
            if (library::DayDate(m_day) == date) {
                RunnersClick();
            }
        });
        connect(m_library, &TfrmLibrary::tallyRequested, this, &TfrmVelko::TallyClick);
        connect(m_library, &TfrmLibrary::libraryChanged, this, [this] {
            DayResultsChanged();
            if (m_tally && m_tally->isVisible()) {
                m_tally->Refresh();
            }
        });
    }
    m_library->Refresh();
    m_library->show();
    m_library->raise();
    m_library->activateWindow();
}

void TfrmVelko::DayResultsChanged()
{
    m_dayResults = m_day.RaceCount() > 0 ? library::ResultsOfDay(m_workDir, m_day) : std::nullopt;
    if (m_raceShown) {
        ShowRaceResults();
    }
    if (m_runners && m_runners->isVisible()) {
        m_runners->SetDay(m_day, library::DayDate(m_day), m_dayResults ? &*m_dayResults : nullptr);
    }
}

void TfrmVelko::ShowRaceResults()
{
    std::vector<std::optional<library::RunnerResult>> byHorse;
    QStringList texts;
    if (m_dayResults) {
        for (const AnalysedRunner& runner : m_race.runners) {
            byHorse.push_back(library::ResultOf(*m_dayResults, m_race.raceIndex, m_race.courseCode,
                                                m_race.raceNumber, runner.horseNumber,
                                                library::HorseKey(runner.horseName)));
            texts << Q(library::RunnerResultText(byHorse.back()));
        }
    }
    QStringList lines;
    for (const std::string& line : library::PlacingLines(byHorse)) {
        lines << Q(line);
    }
    lblResult->setText(lines.isEmpty() ? QString()
                                       : QStringLiteral("結果:\n") + lines.join(QLatin1Char('\n')));
    if (m_detail) {
        m_detail->SetResultTexts(texts);
    }
}

void TfrmVelko::RunnersClick()
{
    Command(Needs::Day, [this] {
        if (!m_runners) {
            m_runners = new TfrmDayRunners(this);
            connect(m_runners, &TfrmDayRunners::openRunner, this, &TfrmVelko::ShowRunner);
        }
        m_runners->SetDay(m_day, library::DayDate(m_day), m_dayResults ? &*m_dayResults : nullptr);
        m_runners->show();
        m_runners->raise();
        m_runners->activateWindow();
    });
}

void TfrmVelko::TallyClick()
{
    Run([this] {
        if (!m_tally) {
            m_tally = new TfrmTally(m_workDir, this);
            connect(m_tally, &TfrmTally::runnersRequested, this, &TfrmVelko::RunnersClick);
        }
        m_tally->Refresh();
        m_tally->show();
        m_tally->raise();
        m_tally->activateWindow();
    });
}

void TfrmVelko::ShowRunner(int raceIndex, int horseNumber)
{
    Run([&] {
        if (raceIndex < 0 || raceIndex >= m_day.RaceCount()) {
            Beep();
            return;
        }
        if ((raceIndex != m_raceIndex || !m_raceShown) && !AnalyseRace(raceIndex)) {
            return;
        }
        raise();
        activateWindow();
        ShowRunnerDetail(horseNumber, kColHorseName, true);
    });
}

void TfrmVelko::ShowHorseHistory(const QString& name)
{
    if (!m_history) {
        m_history = new TfrmHorseHistory(m_workDir, this);
    }
    m_history->ShowHorse(name);
}

void TfrmVelko::OpenDataArchive(const QString& archivePath)
{
    Run([&] { OpenArchiveNow(archivePath); });
}

void TfrmVelko::OpenHandedArchive(const QString& archivePath)
{
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
    m_handover->Add(archivePath);
}

void TfrmVelko::OpenArchiveNow(const QString& archivePath)
{
    m_busy = true;
    const auto done = qScopeGuard([this] { m_busy = false; });
    archive::OpenedDay opened;
    try {
        opened = OpenDataArchiveWithProgress(this, PathOf(archivePath), m_workDir);
    } catch (const app::NotADayError& e) {
        // Not a race day: said plainly, and the day shown stays.
        ShowMessage(Q(e.what()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        return;
    }
    ShowOpenedDay(std::move(opened));
    // The day shown is kept in the library too; when it cannot be, the user hears why.
    const std::string notKept = app::KeepOpenedDay(PathOf(archivePath), m_workDir, m_day);
    if (!notKept.empty()) {
        ShowMessage(Q(notKept).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), true);
    }
    DayResultsChanged();
}

void TfrmVelko::OpenLibraryDay(library::Date date)
{
    Run([&] { OpenLibraryDayNow(date); });
}

void TfrmVelko::OpenLibraryDayNow(library::Date date)
{
    m_busy = true;
    const auto done = qScopeGuard([this] { m_busy = false; });
    std::optional<archive::OpenedDay> opened;
    try {
        opened = OpenLibraryDayWithProgress(this, m_workDir, date);
    } catch (const app::NotADayError& e) {
        ShowMessage(Q(e.what()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        return;
    }
    if (!opened) {
        ShowMessage(
            QStringLiteral("ライブラリに %1 の日はありません。").arg(Q(library::DateText(date))));
        return;
    }
    ShowOpenedDay(std::move(*opened));
    DayResultsChanged();
}

void TfrmVelko::ShowOpenedDay(archive::OpenedDay opened)
{
    TakeDay(std::move(opened.loaded));
    if (!opened.refusals.empty()) {
        ShowMessage(Q(opened.refusals).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), true);
    }
    AnalyseRace(0);
}

void TfrmVelko::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TfrmVelko::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    if (urls.isEmpty() || !urls.first().isLocalFile()) {
        return;
    }
    // Only the first file counts, and only with the extension ".lzh" exactly.
    const QString path = urls.first().toLocalFile();
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && name.mid(dot) == QStringLiteral(".lzh")) {
        OpenDataArchive(path);
    }
}

void TfrmVelko::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        EzRgnBtn3Click();
        return;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        EzRgnBtn4Click();
        return;
    case Qt::Key_Home:
        if (m_day.RaceCount() > 0) {
            YosouClick(0);
        }
        return;
    case Qt::Key_End:
        if (m_day.RaceCount() > 0) {
            YosouClick(m_day.RaceCount() - 1);
        }
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void TfrmVelko::Beep()
{
    ++m_beeps;
    QApplication::beep();
}

void TfrmVelko::ShowMessage(const QString& text, bool warning, const QString& title)
{
    Dialogs::Message(this, text, warning ? MessageKind::Warning : MessageKind::Information, title);
    ReturnFocus();
}

void TfrmVelko::ReportError(const QString& text)
{
    ShowMessage(text, true);
}

bool TfrmVelko::Run(const std::function<void()>& action)
{
    return Guarded(action, [this](const QString& text) { ReportError(text); });
}

void TfrmVelko::ReturnFocus()
{
    // After a dialog, the detail window or a message box the keys work again without a click.
    if (!isVisible() || isMinimized() || QApplication::activeModalWidget()) {
        return;
    }
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace furlox::ui
