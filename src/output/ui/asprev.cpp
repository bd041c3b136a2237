#include "output/ui/asprev.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "output/ui/GridPrinter.h"

namespace furlox::ui {
namespace {

class PaintBox final : public QWidget
{
public:
    PaintBox(TPagePreview* preview, QWidget* parent) : QWidget(parent), m_preview(preview) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        // The paint box's rectangle with its bottom extended by its own top offset.
        QRect rect = this->rect();
        rect.setBottom(rect.bottom() + y());
        m_preview->PaintBox1Paint(painter, rect);
    }

private:
    TPagePreview* m_preview;
};

// An A4 landscape page with the usual margins: the paper when no printer tells otherwise.
QPageLayout FallbackLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

} // namespace

TPagePreview::TPagePreview(const AnalysedRace& race, PrintSettings& settings,
                           const QPageLayout& page, QWidget* owner)
    : QDialog(owner), m_race(race), m_settings(settings),
      m_layout(page.isValid() ? page : FallbackLayout())
{
    // Landscape, as printing sets it.
    m_layout.setOrientation(QPageLayout::Landscape);
    setWindowTitle(QStringLiteral("印刷プレビュー"));
    setFixedSize(674, 552);
    // The window is white under the page; the button bar keeps the style's own colours, so
    // its button reads as a button.
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto* top = new QWidget(this);
    top->setGeometry(0, 0, 674, 33);
    top->setAutoFillBackground(true);
    top->setPalette(QApplication::palette(top));
    Button1 = new QPushButton(QStringLiteral("前のページ"), top);
    Button1->setGeometry(8, 4, 90, 25);
    Button1->hide();
    Button2 = new QPushButton(QStringLiteral("次のページ"), top);
    Button2->setGeometry(102, 4, 90, 25);
    Button2->hide();
    Label1 = new QLabel(QStringLiteral("Page : 1"), top);
    Label1->setGeometry(200, 8, 80, 16);
    Label1->hide();
    Button3 = new QPushButton(QStringLiteral("閉じる(&C)"), top);
    Button3->setGeometry(584, 4, 82, 25);
    Button3->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TPagePreview::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TPagePreview::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::accept);

    PaintBox1 = new PaintBox(this, this);
    PaintBox1->setGeometry(0, 33, 674, 552 - 33);

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

void TPagePreview::Button1Click()
{
    if (m_page > 1) {
        --m_page;
    }
    Label1->setText(QStringLiteral("Page : %1").arg(m_page));
    PaintBox1->update();
}

void TPagePreview::Button2Click()
{
    ++m_page;
    Label1->setText(QStringLiteral("Page : %1").arg(m_page));
    PaintBox1->update();
}

QSize TPagePreview::PageSize() const
{
    return PrintablePageSize(m_layout);
}

int TPagePreview::PageCount() const
{
    const QSize pageSize = PageSize();
    return static_cast<int>(
        LayoutPrintPages(m_race, pageSize.width(), pageSize.height(), m_settings).size());
}

void TPagePreview::PaintBox1Paint(QPainter& painter, const QRect& rect)
{
    // The preview leaves a 5 mm band at the top of the page, and later printouts keep it.
    m_settings.headerSize = 50;
    const QSize pageSize = PageSize();
    const std::vector<PrintPage> pages =
        LayoutPrintPages(m_race, pageSize.width(), pageSize.height(), m_settings);
    // The paper: the printable area scaled into the box with a margin, outlined and shadowed.
    const QRect inner = rect.adjusted(8, 8, -10, -10);
    const QSize fitted = pageSize.scaled(inner.size(), Qt::KeepAspectRatio);
    m_paper = QRect(inner.topLeft(), fitted);
    painter.fillRect(m_paper.translated(3, 3), QColor(0xB0, 0xB0, 0xB0));
    painter.fillRect(m_paper, Qt::white);
    if (m_page >= 1 && m_page <= static_cast<int>(pages.size())) {
        DrawPageInto(painter, m_paper, pageSize, m_race,
                     pages[static_cast<std::size_t>(m_page - 1)], m_settings);
    }
    // Past the last page the paper stays blank.
    painter.setPen(QColor(0x60, 0x60, 0x60));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_paper.adjusted(0, 0, -1, -1));
}

} // namespace furlox::ui
