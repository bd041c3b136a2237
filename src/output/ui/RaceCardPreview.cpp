#include "output/ui/RaceCardPreview.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "output/ui/RaceCardPrinter.h"

namespace furlox::ui {
namespace {

class CardPaintBox final : public QWidget
{
public:
    CardPaintBox(RaceCardPreview* preview, QWidget* parent) : QWidget(parent), m_preview(preview) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        m_preview->PaintPage(painter, rect().adjusted(8, 8, -8, -8));
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
    resize(900, 680);

    btnPrev = new QPushButton(QStringLiteral("前のページ(&B)"), this);
    btnNext = new QPushButton(QStringLiteral("次のページ(&N)"), this);
    lblPage = new QLabel(this);
    btnPrint = new QPushButton(QStringLiteral("印刷(&P)..."), this);
    btnClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    btnClose->setDefault(true);
    connect(btnPrev, &QPushButton::clicked, this, [this] { ShowPage(m_page - 1); });
    connect(btnNext, &QPushButton::clicked, this, [this] { ShowPage(m_page + 1); });
    connect(btnPrint, &QPushButton::clicked, this, [this] {
        if (onPrint && onPrint()) {
            accept();
        }
    });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    paintBox = new CardPaintBox(this, this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(btnPrev);
    bar->addWidget(btnNext);
    bar->addSpacing(12);
    bar->addWidget(lblPage);
    bar->addStretch(1);
    bar->addWidget(btnPrint);
    bar->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(paintBox, 1);
    ShowPage(1);

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

void RaceCardPreview::keyPressEvent(QKeyEvent* event)
{
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
