#include "archive/ui/LHPRGDLG.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "base/ui/Pictures.h"
#include "base/ui/QtText.h"
#include "skin/ui/Skin.h"
#include "skin/ui/dxfLabel.h"
#include "skin/ui/dxfProgressBar.h"

namespace furlox::ui {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 104;

QLabel* MakeLabel(QWidget* parent, int left, int top, int width, int height,
                  const QString& text = {})
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(left, top, width, height);
    return label;
}

// The caption's designed box, for a font whose line is 12 pixels.
constexpr QRect kCaptionBox(72, 16, 96, 12);

// The stand-in fonts have taller lines than the designed ones. A label that centres its text
// grows around the middle of its designed box: the text lands where it was designed, but is
// no longer cut at the bottom.
QRect AroundMiddle(const QRect& designed, int lineHeight)
{
    if (lineHeight <= designed.height()) {
        return designed;
    }
    return QRect(designed.left(), designed.top() + (designed.height() - lineHeight) / 2,
                 designed.width(), lineHeight);
}

// A hidden label below the window's area.
QLabel* HiddenLabel(QWidget* parent, int left, int top, int width, int height,
                    const QString& text = {})
{
    QLabel* label = MakeLabel(parent, left, top, width, height, text);
    label->hide();
    return label;
}

// The font the bar's percentage was designed with: a plain Latin sans serif.
QFont BarFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

TDlgArchiverProgress::TDlgArchiverProgress(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("解析状況"));
    setWindowModality(Qt::NonModal);
    setFixedSize(kWidth, kHeight);
    setFont(ProportionalFont(12));

    Label1 = HiddenLabel(this, 16, 163, 71, 12, QStringLiteral("書庫ファイル："));
    lblArchiveFileName = HiddenLabel(this, 126, 163, 99, 12);
    Label3 = HiddenLabel(this, 16, 179, 71, 12, QStringLiteral("格納ファイル："));
    lblSrcFileName1 = HiddenLabel(this, 126, 179, 83, 12);
    Label5 = HiddenLabel(this, 16, 196, 77, 12, QStringLiteral("ファイルの転送"));
    Label6 = HiddenLabel(this, 16, 212, 72, 12, QStringLiteral("書込サイズ　："));
    lblSrcFileName2 = HiddenLabel(this, 126, 196, 83, 12);
    Label4 = HiddenLabel(this, 16, 196, 71, 12, QStringLiteral("圧縮ファイル："));

    imgForm = MakeLabel(this, 0, 0, kWidth, kHeight);
    imgForm->setPixmap(ScreenPixmap(QStringLiteral("progress-bg.png")));
    new BackgroundDrag(imgForm, this);

    lblWriteSize = MakeLabel(this, 75, 36, 88, 12, QStringLiteral("0"));
    // Centred both ways: the stand-in font's line is taller than the label's 12 pixels, and
    // top-aligned digits would lose their lower part.
    lblWriteSize->setAlignment(Qt::AlignCenter);

    lblCount = MakeLabel(this, 173, 35, 42, 12);
    lblCount->adjustSize();

    dxfLabel1 = new TdxfLabel(this);
    dxfLabel1->SetCaption(QStringLiteral("データ解析中・・・"));
    QFont captionFont = ProportionalFont(12);
    captionFont.setBold(true);
    // The stand-in font sets kana full-width where the designed proportional font set them
    // narrower; condensed, the caption keeps to its 96 pixels instead of losing both ends.
    captionFont.setStretch(88);
    dxfLabel1->setFont(captionFont);
    dxfLabel1->setGeometry(AroundMiddle(kCaptionBox, QFontMetrics(captionFont).height()));
    dxfLabel1->SetFontColor(QColor(0x00, 0x00, 0x80));
    dxfLabel1->SetTransparent(true);
    dxfLabel1->SetStyle(TdxfLabelStyle::dxfRaised);
    dxfLabel1->Effect3D().SetStyle(TdxfEffectStyle::dxfCool);
    dxfLabel1->Effect3D().SetOrientation(TdxfOrientation::dxfRightBottom);
    dxfLabel1->Effect3D().SetDepth(1);
    dxfLabel1->Effect3D().SetShadowedColor(QColor(0x80, 0x80, 0x80));
    dxfLabel1->SetAngle(0);
    dxfLabel1->SetPenWidth(1);

    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setGeometry(224, 86, 86, 20);
    cmdCancel->setDefault(true);
    cmdCancel->hide();
    connect(cmdCancel, &QPushButton::clicked, this, &TDlgArchiverProgress::cmdCancelClick);

    ProgressBar1 = new TdxfProgressBar(this);
    ProgressBar1->setGeometry(11, 61, 217, 20);
    ProgressBar1->SetMin(0);
    ProgressBar1->SetMax(100);
    ProgressBar1->SetPosition(100);
    ProgressBar1->SetStep(1);
    ProgressBar1->SetOrientation(TdxfPBOrientation::orHorizontal);
    ProgressBar1->SetBevelOuter(TdxfBevelOuter::bvLowered);
    ProgressBar1->SetBarBevelOuter(TdxfBevelOuter::bvRaised);
    ProgressBar1->SetStyle(TdxfPBStyle::sExRectangles);
    ProgressBar1->SetBeginColor(Qt::white);
    ProgressBar1->SetEndColor(QColor(0x80, 0x80, 0x80));
    ProgressBar1->SetColor(QColor(0xC0, 0xC0, 0xC0));
    ProgressBar1->SetShowText(true);
    ProgressBar1->SetShowTextStyle(TdxfShowTextStyle::stsPercent);
    ProgressBar1->SetTransparentGlyph(true);
    ProgressBar1->setFont(BarFont());
    ProgressBar1->SetFontColor(QColor(0x00, 0x00, 0x80));

    m_progress.ProcessMessages = [this] { ProcessMessages(); };
    m_progress.Updated = [this] { ShowState(); };

    FormCreate();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - kWidth) / 2, area.top() + (area.height() - kHeight) / 2);
    }
}

TDlgArchiverProgress::~TDlgArchiverProgress()
{
    if (m_blockingInput) {
        qApp->removeEventFilter(this);
    }
}

void TDlgArchiverProgress::FormCreate()
{
    SkinWindow(this, Picture(QStringLiteral("progress-bg.png")));
}

void TDlgArchiverProgress::ArchiveFileProgress(archive::TArchiveFile& sender, int state,
                                               const archive::ExtractingInfoEx* info, bool& abort)
{
    m_progress.ArchiveFileProgress(sender, state, info, abort);
}

void TDlgArchiverProgress::cmdCancelClick()
{
    m_progress.cmdCancelClick();
}

void TDlgArchiverProgress::ProcessMessages()
{
    // The dialog appears with the extraction's first report, so an archive refused before
    // extracting never flashes it.
    if (!isVisible()) {
        show();
        repaint();
    }
    QCoreApplication::processEvents();
}

void TDlgArchiverProgress::ShowState()
{
    const archive::ProgressView& view = m_progress.View();
    lblCount->setText(Q(view.lblCount));
    lblCount->adjustSize();
    lblSrcFileName1->setText(Q(view.lblSrcFileName1));
    lblSrcFileName2->setText(Q(view.lblSrcFileName2));
    lblWriteSize->setText(Q(view.lblWriteSize));
    ProgressBar1->SetPosition(view.ProgressBar1Position);
    Label4->setVisible(view.Label4Visible);
    Label5->setVisible(view.Label5Visible);
    lblSrcFileName2->setVisible(view.lblSrcFileName2Visible);
    cmdCancel->setEnabled(view.cmdCancelEnabled);
    emit progressShown();
}

void TDlgArchiverProgress::showEvent(QShowEvent* event)
{
    // Each showing starts from an empty counter and a bar at 0; a window that merely comes
    // back from being minimised keeps its count.
    if (!event->spontaneous()) {
        m_progress.FormShow();
        ShowState();
        if (!m_blockingInput) {
            qApp->installEventFilter(this);
            m_blockingInput = true;
        }
    }
    QWidget::showEvent(event);
}

void TDlgArchiverProgress::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous()) {
        m_progress.FormHide();
        ShowState();
        if (m_blockingInput) {
            qApp->removeEventFilter(this);
            m_blockingInput = false;
        }
    }
    QWidget::hideEvent(event);
}

void TDlgArchiverProgress::keyPressEvent(QKeyEvent* event)
{
    // The cancel button answers Escape only while it can be pressed.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cmdCancel->isVisible() && cmdCancel->isEnabled()) {
            cmdCancel->click();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TDlgArchiverProgress::eventFilter(QObject* watched, QEvent* event)
{
    if (IsUserInput(event->type()) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() != this) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace furlox::ui
