#include "base/ui/WindowSettings.h"

#include <QGuiApplication>
#include <QScreen>

#include "base/Settings.h"

namespace furlox::ui {
namespace {

int StoredNumber(const QSettings& settings, const QString& key, int fallback)
{
    const QVariant value = settings.value(key);
    if (!value.isValid()) {
        return fallback;
    }
    const QByteArray text = value.toString().toUtf8();
    return SettingNumber(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                         fallback);
}

} // namespace

QSettings ProgramSettings()
{
    return QSettings(QStringLiteral("Morvane"), QStringLiteral("GLX"));
}

QPoint StoredWindowPosition(const QString& section)
{
    const QSettings settings = ProgramSettings();
    const QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size()
                                                          : QSize(1024, 768);
    const WindowPosition fallback = DefaultWindowPosition(screen.width(), screen.height());
    return {StoredNumber(settings, section + QStringLiteral("/Left"), fallback.left),
            StoredNumber(settings, section + QStringLiteral("/Top"), fallback.top)};
}

void StoreWindowPosition(QSettings& settings, const QString& section, QPoint position)
{
    settings.setValue(section + QStringLiteral("/Left"), QString::number(position.x()));
    settings.setValue(section + QStringLiteral("/Top"), QString::number(position.y()));
}

} // namespace furlox::ui
