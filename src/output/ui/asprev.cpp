#include "output/ui/asprev.h"

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

// An A4 landscape page less the usual margins, in tenths of a millimetre: the page the
// preview shows when no printer tells otherwise.
QSize PreviewPageSize()
{
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                             QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
    return {static_cast<int>(mm.width() * 10), static_cast<int>(mm.height() * 10)};
}

} // namespace

TPagePreview::TPagePreview(const AnalysedRace& race, PrintSettings& settings, QWidget* owner)
    : QDialog(owner), m_race(race), m_settings(settings)
{
    setWindowTitle(QStringLiteral("印刷プレビュー"));
    setFixedSize(674, 552);
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::black, Qt::white));

    auto* top = new QWidget(this);
    top->setGeometry(0, 0, 674, 33);
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

void TPagePreview::PaintBox1Paint(QPainter& painter, const QRect& rect)
{
    // The preview leaves a 5 mm band at the top of the page, and later printouts keep it.
    m_settings.headerSize = 50;
    const QSize pageSize = PreviewPageSize();
    const std::vector<PrintPage> pages =
        LayoutPrintPages(m_race, pageSize.width(), pageSize.height(), m_settings);
    if (m_page < 1 || m_page > static_cast<int>(pages.size())) {
        return; // past the last page the box stays white
    }
    DrawPageInto(painter, rect, pageSize, m_race, pages[static_cast<std::size_t>(m_page - 1)],
                 m_settings);
}

} // namespace furlox::ui
