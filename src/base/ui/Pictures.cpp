#include "base/ui/Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>

// The artwork is compiled into a static library, so its resources are registered by hand.
static void InitArtwork()
{
#ifdef FURLOX_ARTWORK
    Q_INIT_RESOURCE(artwork);
#endif
}

namespace furlox::ui {
namespace {

// A picture from the resources, or a null image.
QImage Load(const QString& name)
{
    static QHash<QString, QImage> cache;
    static const bool initialised = (InitArtwork(), true);
    (void)initialised;
    auto found = cache.constFind(name);
    if (found != cache.constEnd()) {
        return *found;
    }
    QImage image;
    const QString path = QStringLiteral(":/") + name;
    if (QFile::exists(path)) {
        image = QImage(path);
    }
    cache.insert(name, image);
    return image;
}

} // namespace

QImage Picture(const QString& name)
{
    QImage image = Load(name);
    image.setDevicePixelRatio(1.0);
    if (image.isNull()) {
        image = QImage(16, 16, QImage::Format_ARGB32);
        image.fill(QColor(0x30, 0x30, 0x30));
    }
    return image;
}

QImage Picture(const QString& name, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1.0) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString large = dot < 0 ? name + QStringLiteral("@2x")
                                      : name.left(dot) + QStringLiteral("@2x") + name.mid(dot);
        QImage image = Load(large);
        if (!image.isNull()) {
            image.setDevicePixelRatio(2.0);
            return image;
        }
    }
    return Picture(name);
}

QImage ScreenPicture(const QString& name)
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    return Picture(name, ratio);
}

QPixmap ScreenPixmap(const QString& name)
{
    return QPixmap::fromImage(ScreenPicture(name));
}

} // namespace furlox::ui
