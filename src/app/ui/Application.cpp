#include "app/ui/Application.h"

namespace furlox::ui {

FurloxApplication::FurloxApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Morvane"));
    setApplicationName(QStringLiteral("Furlox"));
    setApplicationDisplayName(QStringLiteral("Furlox"));
}

bool FurloxApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        qCritical("furlox: an error escaped an event handler: %s", e.what());
        ShowError(ErrorText(e));
    }
    return false;
}

} // namespace furlox::ui
