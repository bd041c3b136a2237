#include "base/ui/Pictures.h"

#include <QHash>

// The artwork is compiled into a static library, so its resources are registered by hand.
static void InitArtwork()
{
#ifdef FURLOX_ARTWORK
    Q_INIT_RESOURCE(artwork);
#endif
}

namespace furlox::ui {

QImage Picture(const QString& name)
{
    static QHash<QString, QImage> cache;
    static const bool initialised = (InitArtwork(), true);
    (void)initialised;
    auto found = cache.constFind(name);
    if (found != cache.constEnd()) {
        return *found;
    }
    QImage image(QStringLiteral(":/") + name);
    if (image.isNull()) {
        image = QImage(16, 16, QImage::Format_ARGB32);
        image.fill(QColor(0x30, 0x30, 0x30));
    }
    cache.insert(name, image);
    return image;
}

} // namespace furlox::ui
