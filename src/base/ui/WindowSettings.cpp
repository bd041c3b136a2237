#include "base/ui/WindowSettings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

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

// Follows one window's screens and clamps it back whenever they change.
class ScreenKeeper final : public QObject
{
public:
    explicit ScreenKeeper(QWidget* window) : QObject(window), m_window(window)
    {
        window->installEventFilter(this);
        connect(qApp, &QGuiApplication::screenAdded, this, &ScreenKeeper::Watch);
        connect(qApp, &QGuiApplication::screenRemoved, this, &ScreenKeeper::Later);
        connect(qApp, &QGuiApplication::primaryScreenChanged, this, &ScreenKeeper::Later);
        for (QScreen* screen : QGuiApplication::screens()) {
            Watch(screen);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Show) {
            if (QWindow* handle = m_window->windowHandle(); handle && handle != m_handle) {
                m_handle = handle;
                connect(handle, &QWindow::screenChanged, this, &ScreenKeeper::Later);
            }
            ClampToScreen(m_window);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Watch(QScreen* screen)
    {
        connect(screen, &QScreen::availableGeometryChanged, this, &ScreenKeeper::Later);
        connect(screen, &QScreen::geometryChanged, this, &ScreenKeeper::Later);
        Later();
    }
    // After the screen change has settled (the window's geometry follows it first).
    void Later()
    {
        QTimer::singleShot(0, this, [this] {
            if (m_window) {
                ClampToScreen(m_window);
            }
        });
    }

    QPointer<QWidget> m_window;
    QPointer<QWindow> m_handle;
};

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

void ClampToScreen(QWidget* window)
{
    const QRect frame = window->frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const int left = std::clamp(frame.left(), area.left(),
                                std::max(area.left(), area.right() + 1 - frame.width()));
    const int top = std::clamp(frame.top(), area.top(),
                               std::max(area.top(), area.bottom() + 1 - frame.height()));
    if (left != frame.left() || top != frame.top()) {
        window->move(window->pos() + QPoint(left - frame.left(), top - frame.top()));
    }
}

void KeepOnScreen(QWidget* window)
{
    ClampToScreen(window);
    new ScreenKeeper(window);
}

} // namespace furlox::ui
