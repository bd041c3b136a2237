#pragma once

#include <QString>
#include <QUrl>

namespace furlox::ui {

// Hands a page to the user's browser. Returns an empty text when it was handed over, else a
// text (Japanese, for a message box) that says what is missing.
//
// On Windows and macOS the system's answer decides. Elsewhere Qt hands the page to xdg-open,
// which starts and only later finds out that nothing can show the page, so the answer of
// QDesktopServices::openUrl says nothing there. Without a desktop session (and so without the
// desktop's own opener) xdg-open uses the default application for the page's type, then
// $BROWSER, then a list of well-known browsers; when none of them is there, nothing would
// open and the user is told so instead.
QString OpenInBrowser(const QUrl& url);

// The text part of the above on its own: what is missing to show `url`, or empty when a
// browser can be expected to open it.
QString MissingBrowser(const QUrl& url);

} // namespace furlox::ui
