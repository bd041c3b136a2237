#include "base/ui/ErrorReport.h"

#include <QApplication>
#include <filesystem>
#include <new>

#include "base/Error.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"

namespace furlox::ui {

QString ErrorText(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Error*>(&error)) {
        // The core's messages break their lines with CR LF, as a Windows message box wants.
        return Q(own->what()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    if (const auto* fs = dynamic_cast<const std::filesystem::filesystem_error*>(&error)) {
        const QString reason = QString::fromLocal8Bit(fs->code().message().c_str());
        if (fs->path1().empty()) {
            return QStringLiteral("ファイルを扱えませんでした。（%1）").arg(reason);
        }
        return QStringLiteral("「%1」を扱えませんでした。（%2）")
            .arg(ShownPath(fs->path1()), reason);
    }
    if (dynamic_cast<const std::bad_alloc*>(&error)) {
        return QStringLiteral("メモリが足りないため、処理を続けられませんでした。");
    }
    return QStringLiteral("予期しないエラーのため、処理を続けられませんでした。（%1）")
        .arg(QString::fromLocal8Bit(error.what()));
}

bool Guarded(const std::function<void()>& action, const std::function<void(const QString&)>& report)
{
    try {
        action();
        return true;
    } catch (const std::exception& e) {
        report(ErrorText(e));
    }
    return false;
}

void ShowError(const QString& text)
{
    Dialogs::Message(QApplication::activeWindow(), text, MessageKind::Critical);
}

} // namespace furlox::ui
