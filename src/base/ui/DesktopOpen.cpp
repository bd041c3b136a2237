#include "base/ui/DesktopOpen.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace furlox::ui {
namespace {

const QString kNoBrowser = QStringLiteral("インターネットブラウザが設定されていません。");

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
// The browsers xdg-open tries by name when no handler is set and $BROWSER is empty.
constexpr const char* kKnownBrowsers[] = {
    "x-www-browser", "firefox",     "firefox-esr", "iceweasel", "seamonkey",
    "mozilla",       "epiphany",    "konqueror",   "chromium",  "chromium-browser",
    "google-chrome", "www-browser", "links2",      "elinks",    "links",
    "lynx",          "w3m"};

QString DefaultHandler(const QString& mimeType)
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}
#endif

} // namespace

QString MissingBrowser(const QUrl& url)
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    (void)url;
    return {};
#else
    // A desktop session opens pages its own way (gio, kde-open …): trust it.
    if (!qEnvironmentVariableIsEmpty("BROWSER") ||
        !qEnvironmentVariableIsEmpty("XDG_CURRENT_DESKTOP") ||
        !qEnvironmentVariableIsEmpty("KDE_FULL_SESSION") ||
        !qEnvironmentVariableIsEmpty("GNOME_DESKTOP_SESSION_ID")) {
        return {};
    }
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty()) {
        return kNoBrowser +
               QStringLiteral("\n（ページを開く xdg-open がありません。xdg-utils とブラウザを"
                              "インストールしてください。）");
    }
    const QString type = url.isLocalFile() ? QStringLiteral("text/html")
                                           : QStringLiteral("x-scheme-handler/") + url.scheme();
    if (!DefaultHandler(type).isEmpty()) {
        return {};
    }
    for (const char* browser : kKnownBrowsers) {
        if (!QStandardPaths::findExecutable(QString::fromLatin1(browser)).isEmpty()) {
            return {};
        }
    }
    return kNoBrowser + QStringLiteral("\n（%1 を開く既定のアプリケーションも、既知のブラウザも"
                                       "見つかりません。ブラウザをインストールしてください。）")
                            .arg(type);
#endif
}

QString OpenInBrowser(const QUrl& url)
{
    const QString missing = MissingBrowser(url);
    if (!missing.isEmpty()) {
        return missing;
    }
    return QDesktopServices::openUrl(url) ? QString() : kNoBrowser;
}

} // namespace furlox::ui
