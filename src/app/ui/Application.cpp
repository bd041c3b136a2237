#include "app/ui/Application.h"

#include <QMessageBox>

#include "base/Error.h"
#include "base/ui/QtText.h"

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
    } catch (const Error& e) {
        ShowError(Q(e.what()));
    } catch (const std::exception& e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void ShowError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Furlox"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace furlox::ui
