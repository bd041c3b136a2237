#include "output/ui/RaceCardPreview.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "output/ui/RaceCardPrinter.h"

namespace furlox::ui {
namespace {

constexpr int kPaperMargin = 8;    // grey around the page, in pixels
constexpr double kZoomStep = 1.25; // one step larger or smaller
constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 4.0;
constexpr int kTenthsPerInch = 254;

class CardPaintBox final : public QWidget
{
public:
    CardPaintBox(RaceCardPreview* preview, QWidget* parent) : QWidget(parent), m_preview(preview) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        m_preview->PaintPage(
            painter, rect().adjusted(kPaperMargin, kPaperMargin, -kPaperMargin, -kPaperMargin));
    }

private:
    RaceCardPreview* m_preview;
};

} // namespace

RaceCardPreview::RaceCardPreview(const std::vector<RaceCardRace>& races,
                                 const RaceCardSettings& settings, QSize pageSize, QWidget* owner)
    : QDialog(owner), m_races(races), m_settings(settings), m_pageSize(pageSize),
      m_pages(LayoutRaceCard(races, pageSize.width(), pageSize.height(), settings))
{
    setWindowTitle(QStringLiteral("全レース印刷プレビュー"));
    resize(1000, 720);

    btnPrev = new QPushButton(QStringLiteral("前のページ(&B)"), this);
    btnNext = new QPushButton(QStringLiteral("次のページ(&N)"), this);
    lblPage = new QLabel(this);
    btnWholePage = new QPushButton(QStringLiteral("全体(&W)"), this);
    btnPageWidth = new QPushButton(QStringLiteral("幅に合わせる(&F)"), this);
    btnRealSize = new QPushButton(QStringLiteral("100%"), this);
    btnZoomOut = new QPushButton(QStringLiteral("縮小(-)"), this);
    btnZoomIn = new QPushButton(QStringLiteral("拡大(+)"), this);
    lblZoom = new QLabel(this);
    lblZoom->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("400 %")) + 8);
    lblZoom->setAlignment(Qt::AlignCenter);
    btnPrint = new QPushButton(QStringLiteral("印刷(&P)..."), this);
    btnClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    btnClose->setDefault(true);
    btnWholePage->setToolTip(QStringLiteral("ページ全体を表示"));
    btnPageWidth->setToolTip(QStringLiteral("ページの幅をウィンドウに合わせる"));
    btnRealSize->setToolTip(QStringLiteral("実際の大きさ（Ctrl+0）"));
    btnZoomIn->setToolTip(QStringLiteral("拡大（Ctrl++、Ctrl+ホイール）"));
    btnZoomOut->setToolTip(QStringLiteral("縮小（Ctrl+-、Ctrl+ホイール）"));
    connect(btnPrev, &QPushButton::clicked, this, [this] { ShowPage(m_page - 1); });
    connect(btnNext, &QPushButton::clicked, this, [this] { ShowPage(m_page + 1); });
    connect(btnWholePage, &QPushButton::clicked, this, [this] { SetZoom(Zoom::WholePage); });
    connect(btnPageWidth, &QPushButton::clicked, this, [this] { SetZoom(Zoom::PageWidth); });
    connect(btnRealSize, &QPushButton::clicked, this, [this] { SetZoom(Zoom::Scaled, 1.0); });
    connect(btnZoomIn, &QPushButton::clicked, this, &RaceCardPreview::ZoomIn);
    connect(btnZoomOut, &QPushButton::clicked, this, &RaceCardPreview::ZoomOut);
    connect(btnPrint, &QPushButton::clicked, this, [this] {
        if (onPrint && onPrint()) {
            accept();
        }
    });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    // The buttons leave the keys to the preview: Page Up / Down turn the pages.
    for (QPushButton* button :
         {btnPrev, btnNext, btnWholePage, btnPageWidth, btnRealSize, btnZoomOut, btnZoomIn}) {
        button->setFocusPolicy(Qt::TabFocus);
    }

    scrollArea = new QScrollArea(this);
    scrollArea->setWidgetResizable(false);
    scrollArea->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scrollArea->setBackgroundRole(QPalette::Dark);
    paintBox = new CardPaintBox(this, scrollArea);
    scrollArea->setWidget(paintBox);
    scrollArea->viewport()->installEventFilter(this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(btnPrev);
    bar->addWidget(btnNext);
    bar->addSpacing(8);
    bar->addWidget(lblPage);
    bar->addStretch(1);
    bar->addWidget(btnWholePage);
    bar->addWidget(btnPageWidth);
    bar->addWidget(btnRealSize);
    bar->addWidget(btnZoomOut);
    bar->addWidget(lblZoom);
    bar->addWidget(btnZoomIn);
    bar->addSpacing(12);
    bar->addWidget(btnPrint);
    bar->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(scrollArea, 1);
    ShowPage(1);
    UpdatePaintBox();

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

void RaceCardPreview::ShowPage(int page)
{
    m_page = std::clamp(page, 1, std::max(1, PageCount()));
    btnPrev->setEnabled(m_page > 1);
    btnNext->setEnabled(m_page < PageCount());
    lblPage->setText(QStringLiteral("%1 / %2 ページ").arg(m_page).arg(PageCount()));
    if (scrollArea) {
        scrollArea->verticalScrollBar()->setValue(0); // a new page from its top
    }
    paintBox->update();
}

double RaceCardPreview::RealScale() const
{
    return paintBox->logicalDpiX() / static_cast<double>(kTenthsPerInch);
}

double RaceCardPreview::Scale() const
{
    const QSize room =
        scrollArea->maximumViewportSize() - QSize(2 * kPaperMargin, 2 * kPaperMargin);
    const double width = std::max(1, room.width()) / static_cast<double>(m_pageSize.width());
    // Fitting the width leaves room for the scroll bar that the page's height then needs.
    const double scrolledWidth =
        std::max(1, room.width() - scrollArea->verticalScrollBar()->sizeHint().width()) /
        static_cast<double>(m_pageSize.width());
    const double height = std::max(1, room.height()) / static_cast<double>(m_pageSize.height());
    switch (m_zoom) {
    case Zoom::WholePage:
        return std::min(width, height);
    case Zoom::PageWidth:
        return width <= height ? width : scrolledWidth;
    case Zoom::Scaled:
        break;
    }
    return RealScale() * m_factor;
}

double RaceCardPreview::ZoomFactor() const
{
    return Scale() / RealScale();
}

void RaceCardPreview::SetZoom(Zoom zoom, double factor)
{
    m_zoom = zoom;
    m_factor = std::clamp(factor, kMinZoom, kMaxZoom);
    UpdatePaintBox();
}

void RaceCardPreview::ZoomIn()
{
    SetZoom(Zoom::Scaled, ZoomFactor() * kZoomStep);
}

void RaceCardPreview::ZoomOut()
{
    SetZoom(Zoom::Scaled, ZoomFactor() / kZoomStep);
}

void RaceCardPreview::UpdatePaintBox()
{
    const double scale = Scale();
    const QSize paper(static_cast<int>(std::lround(m_pageSize.width() * scale)),
                      static_cast<int>(std::lround(m_pageSize.height() * scale)));
    paintBox->resize(paper + QSize(2 * kPaperMargin, 2 * kPaperMargin));
    lblZoom->setText(QStringLiteral("%1 %").arg(std::lround(ZoomFactor() * 100)));
    btnZoomIn->setEnabled(ZoomFactor() < kMaxZoom - 1e-9);
    btnZoomOut->setEnabled(ZoomFactor() > kMinZoom + 1e-9);
    paintBox->update();
}

void RaceCardPreview::PaintPage(QPainter& painter, const QRect& rect)
{
    if (m_page < 1 || m_page > PageCount()) {
        return;
    }
    DrawRaceCardPageInto(painter, rect, m_pageSize, m_races,
                         m_pages[static_cast<std::size_t>(m_page - 1)], m_settings);
}

void RaceCardPreview::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_zoom != Zoom::Scaled) {
        UpdatePaintBox();
    }
}

bool RaceCardPreview::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl and the wheel zoom, as in a browser; the wheel alone scrolls.
    if (watched == scrollArea->viewport() && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (wheel->angleDelta().y() > 0) {
                ZoomIn();
            } else if (wheel->angleDelta().y() < 0) {
                ZoomOut();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RaceCardPreview::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            ZoomIn();
            return;
        case Qt::Key_Minus:
            ZoomOut();
            return;
        case Qt::Key_0:
            SetZoom(Zoom::Scaled, 1.0);
            return;
        default:
            break;
        }
    }
    switch (event->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_Right:
        ShowPage(m_page + 1);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
        ShowPage(m_page - 1);
        return;
    case Qt::Key_Home:
        ShowPage(1);
        return;
    case Qt::Key_End:
        ShowPage(PageCount());
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace furlox::ui
