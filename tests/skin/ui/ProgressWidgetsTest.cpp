// The progress bar, the effect label and the extraction dialog, offscreen.
#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

#include "app/OpenDataArchive.h"
#include "app/ui/Application.h"
#include "app/ui/OpenArchiveDialog.h"
#include "base/Error.h"
#include "base/ui/QtText.h"
#include "skin/ui/dxfLabel.h"
#include "skin/ui/dxfProgressBar.h"
#include "support/HeadlessPlatform.h"

using namespace furlox;
using namespace furlox::ui;

namespace {

QRgb Rgb(int r, int g, int b)
{
    return qRgb(r, g, b);
}

QRgb At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

// The smallest rectangle holding every pixel for which `pick` holds.
template <typename Pick>
QRect Bounds(const QImage& image, Pick pick)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (pick(image.pixel(x, y), x, y)) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

int Count(const QImage& image, QRgb color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += qAlpha(image.pixel(x, y)) == 255 && (image.pixel(x, y) | 0xFF000000u) == color;
        }
    }
    return n;
}

QFont CrispFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// Records the paint rectangles a widget receives.
class PaintSpy : public QObject
{
public:
    explicit PaintSpy(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted |= static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
};

struct Shown
{
    QString count;
    int position;
    QString text;
    QString writeSize;
    bool visible;
};

} // namespace

class ProgressWidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void dialogBarDrawsBlocksGapsAndBevels()
    {
        TDlgArchiverProgress dialog;
        TdxfProgressBar* bar = dialog.ProgressBar1;
        bar->SetPosition(50);
        const QImage image = bar->grab().toImage();

        const QRgb silver = Rgb(0xC0, 0xC0, 0xC0);
        const QRgb white = Rgb(0xFF, 0xFF, 0xFF);
        const QRgb grey = Rgb(0x80, 0x80, 0x80);
        // Blocks of 10 with 2-pixel gaps from the inner left edge at 2; the first ones lie
        // clear of the centred text.
        for (int k = 0; k < 5; ++k) {
            const int left = 2 + 12 * k;
            const int level = (255 * 213 + (12 * (k + 1) - 2) * (128 - 255)) / 213;
            QCOMPARE(At(image, left, 9), white);
            QCOMPARE(At(image, left + 5, 9), Rgb(level, level, level));
            QCOMPARE(At(image, left + 9, 9), grey);
            QCOMPARE(At(image, left + 10, 9), silver);
        }
        // Past the bar's end (106 pixels: eight whole blocks) only the background.
        QCOMPARE(At(image, 140, 9), silver);
        QCOMPARE(At(image, 214, 9), silver);
        // The lowered outer bevel.
        QCOMPARE(At(image, 0, 9), grey);
        QCOMPARE(At(image, 216, 9), white);

        bar->SetPosition(100);
        const QImage full = bar->grab().toImage();
        QCOMPARE(At(full, 210, 9), Rgb(134, 134, 134)); // the remainder after 17 blocks
        bar->SetPosition(0);
        const QImage empty = bar->grab().toImage();
        QCOMPARE(At(empty, 7, 9), silver);
        QCOMPARE(bar->Text(), QStringLiteral("0 %"));
    }

    void percentageIsCentredInTheWholeControl()
    {
        TDlgArchiverProgress dialog;
        TdxfProgressBar* bar = dialog.ProgressBar1;
        bar->SetPosition(50);
        QCOMPARE(bar->Text(), QStringLiteral("50 %"));
        const QImage withText = bar->grab().toImage();
        bar->SetShowText(false);
        const QImage without = bar->grab().toImage();
        const QRect text = Bounds(withText, [&](QRgb p, int x, int y) {
            return (p | 0xFF000000u) != (without.pixel(x, y) | 0xFF000000u);
        });
        QVERIFY(!text.isEmpty());
        // The bar ends at x = 108; the text's middle is the control's, not the bar's (55).
        const int leftMargin = text.left();
        const int rightMargin = 217 - 1 - text.right();
        QVERIFY2(qAbs(leftMargin - rightMargin) <= 2,
                 qPrintable(QStringLiteral("%1 / %2").arg(leftMargin).arg(rightMargin)));
        QVERIFY(qAbs(text.top() - (20 - 1 - text.bottom())) <= 2);
        // Drawn in the bar's navy font colour.
        QVERIFY(Count(withText, Rgb(0, 0, 0x80)) > 0);
    }

    void glyphIsTiledWithItsKeyColourLeftOut()
    {
        TdxfProgressBar bar;
        bar.resize(64, 16);
        QImage glyph(10, 8, QImage::Format_RGB32);
        glyph.fill(Qt::red);
        glyph.setPixel(0, 7, qRgb(0, 255, 0));
        glyph.setPixel(5, 7, qRgb(0, 255, 0));
        bar.SetStyle(TdxfPBStyle::sPictures);
        bar.SetGlyph(glyph);
        QCOMPARE(bar.height(), 12); // the glyph plus the bevels
        bar.SetPosition(50);        // 30 of 60 pixels: three glyphs
        const QImage drawn = bar.grab().toImage();
        QCOMPARE(At(drawn, 2 + 25, 4), Rgb(255, 0, 0));
        QCOMPARE(At(drawn, 2 + 35, 4), Rgb(0xC0, 0xC0, 0xC0));
        QCOMPARE(At(drawn, 2 + 15, 2 + 7), Rgb(0xC0, 0xC0, 0xC0)); // the key colour
        bar.SetTransparentGlyph(false);
        QCOMPARE(At(bar.grab().toImage(), 2 + 15, 2 + 7), Rgb(0, 255, 0));
    }

    void positionRepaintsOnlyTheChangedStrip()
    {
        QWidget window;
        window.resize(240, 40);
        auto* bar = new TdxfProgressBar(&window);
        bar->setGeometry(0, 0, 217, 20);
        bar->SetStyle(TdxfPBStyle::sExRectangles);
        bar->SetPosition(40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();

        PaintSpy spy(bar);
        bar->SetPosition(50);
        QTRY_VERIFY(!spy.painted.isEmpty());
        // 85 to 106 pixels of bar, widened by 2 and one block pitch of 12.
        QCOMPARE(spy.painted.boundingRect(), QRect(2 + 85 - 14, 0, 21 + 28, 20));

        // With the text shown, its centred rectangle is repainted as well.
        bar->SetShowText(true);
        QCoreApplication::processEvents();
        spy.painted = {};
        bar->SetPosition(10);
        QTRY_VERIFY(!spy.painted.isEmpty());
        const QRect strip(2 + 21 - 14, 0, (106 - 21) + 28, 20);
        const QRect painted = spy.painted.boundingRect();
        QVERIFY(painted.contains(strip));
        QVERIFY(painted.right() < 216);
        QVERIFY(painted.right() > strip.right()); // the text reaches past the strip
    }

    void labelShadowStylesAndTransparency()
    {
        TdxfLabel label;
        label.resize(96, 16);
        label.SetCaption(QStringLiteral("ABC"));
        label.setFont(CrispFont(12, true));
        label.SetColor(QColor(0xF0, 0xE0, 0xD0));
        label.SetFontColor(QColor(0, 0, 0x80));
        label.SetStyle(TdxfLabelStyle::dxfRaised);
        label.Effect3D().SetStyle(TdxfEffectStyle::dxfCool);
        // At depth 1 the shadow lies exactly under the raised caption's font-coloured copy.
        label.Effect3D().SetDepth(1);
        QCOMPARE(Count(label.Render(), Rgb(0x80, 0x80, 0x80)), 0);
        label.Effect3D().SetDepth(2);

        QImage image = label.Render();
        QCOMPARE(At(image, 0, 0), Rgb(0xF0, 0xE0, 0xD0));
        QVERIFY(Count(image, Rgb(0, 0, 0x80)) > 0);
        QVERIFY(Count(image, Rgb(0xFF, 0xFF, 0xFF)) > 0); // the raised highlight
        QVERIFY(Count(image, Rgb(0x80, 0x80, 0x80)) > 0); // the shadow

        // Depth 0: no shadow, whatever the effect style.
        label.Effect3D().SetDepth(0);
        for (TdxfEffectStyle style :
             {TdxfEffectStyle::dxfCool, TdxfEffectStyle::dxfExtrude, TdxfEffectStyle::dxfFun}) {
            label.Effect3D().SetStyle(style);
            QCOMPARE(Count(label.Render(), Rgb(0x80, 0x80, 0x80)), 0);
        }

        // Transparent: the label's own colour is left out, the caption stays.
        label.SetTransparent(true);
        image = label.Render();
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QVERIFY(Count(image, Rgb(0, 0, 0x80)) > 0);
    }

    void labelAngleGlyphOutlineAndWorkBitmap()
    {
        TdxfLabel label;
        label.resize(40, 100);
        label.setFont(CrispFont(12, false));
        label.SetColor(Qt::white);
        label.SetCaption(QStringLiteral("ABCDEFG"));
        label.SetAngle(400); // outside 0..360: ignored
        label.SetAngle(-1);
        QCOMPARE(label.Angle(), 0);
        label.SetAngle(90);
        QCOMPARE(label.Angle(), 90);
        const QRect turned = Bounds(label.Render(), [](QRgb p, int, int) {
            return (p | 0xFF000000u) != qRgb(0xFF, 0xFF, 0xFF);
        });
        QVERIFY(turned.height() > 2 * turned.width());
        // Centred by the origin rule.
        QVERIFY(qAbs(turned.center().y() - 50) <= 3);

        // Letters filled with the glyph instead of the font colour.
        label.SetAngle(0);
        label.resize(100, 20);
        QImage glyph(4, 4, QImage::Format_RGB32);
        glyph.fill(Qt::red);
        label.SetGlyph(glyph);
        QImage filled = label.Render();
        QVERIFY(Count(filled, Rgb(255, 0, 0)) > 0);
        QCOMPARE(Count(filled, Rgb(0, 0, 0)), 0);
        label.SetGlyph(QImage());

        // An outline grows with the pen.
        label.SetStyle(TdxfLabelStyle::dxfOutLine);
        const int thin = Count(label.Render(), Rgb(0, 0, 0));
        label.SetPenWidth(3);
        QVERIFY(thin > 0 && Count(label.Render(), Rgb(0, 0, 0)) > thin);

        // One work image for every label: it grows to the largest and never shrinks.
        TdxfLabel wide;
        wide.resize(300, 10);
        wide.Render();
        const QSize grown = TdxfLabel::WorkBitmapSize();
        QVERIFY(grown.width() >= 300 && grown.height() >= 100);
        TdxfLabel small;
        small.resize(10, 10);
        small.Render();
        QCOMPARE(TdxfLabel::WorkBitmapSize(), grown);
    }

    void dialogWindow()
    {
        QWidget owner;
        TDlgArchiverProgress dialog(&owner);
        QCOMPARE(dialog.size(), QSize(240, 104));
        QVERIFY(dialog.isWindow() && dialog.windowFlags() & Qt::FramelessWindowHint);
        // The outline follows the background's key colour at its rounded corners.
        QVERIFY(dialog.mask().contains(QPoint(120, 52)));
        QVERIFY(!dialog.mask().contains(QPoint(0, 103)));
        QCOMPARE(dialog.geometry().center(), QGuiApplication::primaryScreen()->geometry().center());
        // The caption's box keeps its designed left, width and middle; it is only as tall as
        // the font's line, so the caption is not cut.
        const QRect caption = dialog.dxfLabel1->geometry();
        QCOMPARE(caption.left(), 72);
        QCOMPARE(caption.width(), 96);
        QVERIFY(qAbs((caption.top() + caption.bottom()) - (16 + 27)) <= 1);
        QVERIFY(dialog.cmdCancel->isHidden());
    }

    void secondShowingStartsAfresh()
    {
        QWidget owner;
        TDlgArchiverProgress dialog(&owner);
        archive::TArchiveFile file;
        bool abort = false;
        archive::ExtractingInfoEx info;
        info.fileSize = 1000;
        info.writeSize = 999;
        info.sourceFileName = "data\\kol_uma.kd2";

        dialog.show();
        dialog.ArchiveFileProgress(file, archive::kStateCount, &info, abort);
        dialog.ArchiveFileProgress(file, archive::kStateCount, &info, abort);
        dialog.Progress().Handler()(file, archive::kStateBegin, &info, abort);
        QCOMPARE(dialog.lblCount->text(), QStringLiteral("[1/2]"));
        QCOMPARE(dialog.lblCount->width(), dialog.lblCount->sizeHint().width());
        QCOMPARE(dialog.lblWriteSize->text(), QStringLiteral("999"));
        QCOMPARE(dialog.ProgressBar1->Text(), QStringLiteral("99 %"));
        QCOMPARE(dialog.lblSrcFileName1->text(), QStringLiteral("kol_uma.kd2"));
        dialog.ArchiveFileProgress(file, archive::kStateCopy, &info, abort);
        QVERIFY(!dialog.cmdCancel->isEnabled());

        dialog.hide();
        QVERIFY(dialog.cmdCancel->isEnabled());
        dialog.show();
        QCOMPARE(dialog.lblCount->text(), QString());
        QCOMPARE(dialog.lblWriteSize->text(), QString());
        QCOMPARE(dialog.ProgressBar1->Position(), 0);
    }

    void realExtractionCountsEntriesAndFillsTheBar()
    {
        QTemporaryDir work;
        QWidget owner;
        std::vector<Shown> shown;
        archive::OpenedDay opened;
        QImage lastBar;
        RunWithProgressDialog(&owner, [&](TDlgArchiverProgress& dialog) {
            QObject::connect(&dialog, &TDlgArchiverProgress::progressShown, [&] {
                shown.push_back({dialog.lblCount->text(), dialog.ProgressBar1->Position(),
                                 dialog.ProgressBar1->Text(), dialog.lblWriteSize->text(),
                                 dialog.isVisible()});
            });
            opened = app::OpenDataArchive(FURLOX_SOURCE_DIR "/samples/sample-day.lzh",
                                          PathOf(work.path()), &dialog.Progress());
            lastBar = dialog.ProgressBar1->grab().toImage();
        });
        QCOMPARE(opened.loaded.day.RaceCount(), 36);

        QStringList counts;
        for (const Shown& s : shown) {
            QVERIFY(s.visible);
            QCOMPARE(s.text, QStringLiteral("%1 %").arg(s.position));
            if (counts.isEmpty() || counts.last() != s.count) {
                counts << s.count;
            }
        }
        QCOMPARE(counts, (QStringList{QString(), "[1]", "[2]", "[3]", "[1/3]", "[2/3]", "[3/3]"}));
        // Every entry's bar reaches 100, and the written size ends at the entry's size.
        for (const QString entry : {"[1/3]", "[2/3]", "[3/3]"}) {
            int highest = -1;
            QString lastSize;
            for (const Shown& s : shown) {
                if (s.count == entry) {
                    highest = std::max(highest, s.position);
                    lastSize = s.writeSize;
                }
            }
            QCOMPARE(highest, 100);
            if (entry == QStringLiteral("[3/3]")) {
                QCOMPARE(lastSize, QStringLiteral("1654738"));
            }
        }
        // The big entry passes through the middle of the bar on its way.
        bool middle = false;
        for (const Shown& s : shown) {
            middle = middle || (s.count == "[3/3]" && s.position > 10 && s.position < 90);
        }
        QVERIFY(middle);
        QCOMPARE(At(lastBar, 210, 9), Rgb(134, 134, 134));
        QVERIFY(owner.findChildren<TDlgArchiverProgress*>().isEmpty());
    }

    void openArchiveFlowShowsTheDialogOnlyWhileExtracting()
    {
        QTemporaryDir work;
        QWidget owner;
        bool seenVisible = false;
        QTimer sampler;
        sampler.setInterval(0);
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            for (auto* dialog : owner.findChildren<TDlgArchiverProgress*>()) {
                seenVisible = seenVisible || dialog->isVisible();
            }
        });
        sampler.start();
        const archive::OpenedDay opened = OpenDataArchiveWithProgress(
            &owner, FURLOX_SOURCE_DIR "/samples/sample-day.lzh", PathOf(work.path()));
        sampler.stop();
        QCOMPARE(opened.loaded.day.RaceCount(), 36);
        QVERIFY(seenVisible);
        QVERIFY(owner.findChildren<TDlgArchiverProgress*>().isEmpty());

        // An archive without the data files is refused before extracting: no dialog at all.
        QTemporaryDir other;
        const QString missing = other.filePath(QStringLiteral("none.lzh"));
        seenVisible = false;
        sampler.start();
        bool refused = false;
        try {
            OpenDataArchiveWithProgress(&owner, PathOf(missing), PathOf(work.path()));
        } catch (const Error&) {
            refused = true;
        }
        sampler.stop();
        QVERIFY(refused);
        QVERIFY(!seenVisible);
    }

    void dialogIsDestroyedWhenTheExtractionFailsAndBlocksOtherInput()
    {
        QWidget owner;
        owner.resize(200, 100);
        auto* button = new QPushButton(QStringLiteral("x"), &owner);
        button->setGeometry(10, 10, 80, 30);
        int clicks = 0;
        QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));

        QPointer<TDlgArchiverProgress> seen;
        bool thrown = false;
        try {
            RunWithProgressDialog(&owner, [&](TDlgArchiverProgress& dialog) {
                seen = &dialog;
                archive::TArchiveFile file;
                bool abort = false;
                dialog.ArchiveFileProgress(file, archive::kStateCount, nullptr, abort);
                QVERIFY(dialog.isVisible());
                // The rest of the program takes no clicks while the extraction runs.
                QTest::mouseClick(button, Qt::LeftButton);
                throw std::runtime_error("broken archive");
            });
        } catch (const std::runtime_error&) {
            thrown = true;
        }
        QVERIFY(thrown);
        QCOMPARE(clicks, 0);
        QVERIFY(seen.isNull());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
    }
};

int main(int argc, char** argv)
{
    furlox::test::ChooseHeadlessPlatform();
    FurloxApplication app(argc, argv);
    ProgressWidgetsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ProgressWidgetsTest.moc"
