// The windows on a scaled screen (QT_SCALE_FACTOR=2, as on a high-density display), offscreen:
// positions in device-independent pixels kept on the screen, and the artwork drawn from its
// twice-as-large rendering rather than pixel-doubled.
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include "app/ui/Application.h"
#include "app/ui/uniAbout.h"
#include "app/ui/uniVelko.h"
#include "base/ui/Dialogs.h"
#include "base/ui/Pictures.h"
#include "base/ui/QtText.h"
#include "detail/ui/uniSyosai.h"
#include "skin/ui/EzRgnBtn.h"
#include "support/HeadlessPlatform.h"
#include "support/System.h"

using namespace furlox;
using namespace furlox::ui;

class HighDpiTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;

    std::unique_ptr<TfrmVelko> MakeWindow()
    {
        TfrmVelko::Options options;
        options.workDir = PathOf(m_work.path());
        auto window = std::make_unique<TfrmVelko>(options);
        Dialogs::Preset().message = [](QWidget*, const QString&, const QString&, MessageKind) {};
        return window;
    }

    // Every pixel of `shown` inside `mask` equals the picture's.
    static bool SamePixels(const QImage& shown, const QImage& picture, const QRegion& mask,
                           qreal ratio)
    {
        const QImage a = shown.convertToFormat(QImage::Format_RGB32);
        const QImage b = picture.convertToFormat(QImage::Format_RGB32);
        if (a.size() != b.size()) {
            qWarning() << "sizes differ" << a.size() << b.size();
            return false;
        }
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                if (mask.contains(QPoint(int(x / ratio), int(y / ratio))) &&
                    a.pixel(x, y) != b.pixel(x, y)) {
                    qWarning() << "pixel" << x << y << Qt::hex << a.pixel(x, y) << b.pixel(x, y);
                    return false;
                }
            }
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX")).clear();
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
    }

    void positionsOfAnUnscaledSessionStayOnTheScreen()
    {
        if (test::RunsUnderWine()) {
            QSKIP("Wine's window manager moves a frameless window below its own 12-pixel top "
                  "bar: positions there are Wine's, not the program's");
        }
        // Written by a session at scale 1 on a large screen: here they lie off the screen.
        {
            QSettings settings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
            settings.setValue(QStringLiteral("Main/Left"), QStringLiteral("600"));
            settings.setValue(QStringLiteral("Main/Top"), QStringLiteral("400"));
            settings.setValue(QStringLiteral("Uma/Left"), QStringLiteral("700"));
            settings.setValue(QStringLiteral("Uma/Top"), QStringLiteral("500"));
        }
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        auto window = MakeWindow();
        TfrmSyosai detail;
        // The 640 × 500 windows are larger than this screen: their top-left corner is on it.
        QCOMPARE(window->pos(), area.topLeft());
        QCOMPARE(detail.pos(), area.topLeft());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->pos(), area.topLeft());
        // Written back in device-independent pixels, as read.
        window->close();
        QSettings settings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
        QCOMPARE(settings.value(QStringLiteral("Main/Left")).toString(),
                 QString::number(area.left()));
        QCOMPARE(settings.value(QStringLiteral("Main/Top")).toString(),
                 QString::number(area.top()));
        settings.clear();
    }

    void buttonsAndSkinAreDrawnFromTheLargePictures()
    {
        auto window = MakeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QImage large = Picture(QStringLiteral("btn3-idle.png"), 2.0);
        QCOMPARE(large.devicePixelRatio(), 2.0);
        QCOMPARE(large.size(), QSize(128, 130));
        TEzRgnBtn* button = window->EzRgnBtn[2];
        QCOMPARE(button->size(), QSize(64, 65));
        QCOMPARE(button->pos(), QPoint(211, 423));
        // The outline is the designed one.
        QVERIFY(!button->mask().contains(QPoint(0, 0)));
        QVERIFY(button->mask().contains(QPoint(32, 32)));
        // What is painted is the large picture, pixel for pixel (not the small one doubled).
        const QPixmap shot = button->grab();
        QCOMPARE(shot.devicePixelRatio(), 2.0);
        QVERIFY(SamePixels(shot.toImage(), large, button->mask(), 2.0));
        // The window's background and the close button likewise.
        const QPixmap background = window->imgForm->pixmap();
        QCOMPARE(background.devicePixelRatio(), 2.0);
        QCOMPARE(background.size(), QSize(1280, 1000));
        QCOMPARE(window->btnClose->size(), QSize(14, 13));
        QVERIFY(SamePixels(window->btnClose->grab().toImage(),
                           Picture(QStringLiteral("close-idle.png"), 2.0), window->btnClose->mask(),
                           2.0));
    }

    void detailAndAboutWindowsUseTheLargePicturesToo()
    {
        TfrmSyosai detail;
        QCOMPARE(detail.imgForm->pixmap().devicePixelRatio(), 2.0);
        QCOMPARE(detail.size(), QSize(640, 500));
        TfrmAbout about;
        bool large = false;
        for (const QLabel* label : about.findChildren<QLabel*>()) {
            large = large || label->pixmap().devicePixelRatio() == 2.0;
        }
        QVERIFY(large);
    }
};

int main(int argc, char** argv)
{
    furlox::test::ChooseHeadlessPlatform();
    qputenv("QT_SCALE_FACTOR", "2");
    FurloxApplication app(argc, argv);
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HighDpiTest.moc"
