#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace furlox::ui {

// Qt's own Japanese texts for its standard dialogs and buttons (file, print and message
// dialogs: 「ファイル名」「キャンセル」…), so that they read like the rest of the program
// whatever language the desktop is set to. Looked for beside the program first (a Windows
// program folder carries them in translations/), then where Qt keeps them (Debian:
// /usr/share/qt6/translations from qt6-translations-l10n). Returns the file loaded, or an
// empty string when none was found (the dialogs then stay in English).
QString InstallQtTranslations(QCoreApplication& app);

// The folders searched, in order.
QStringList QtTranslationFolders();

// A file dialog's filter from a description that may already carry its pattern in
// parentheses ("テキスト ファイル(*.txt)") and the pattern: each pattern is shown once.
QString FileDialogFilter(const QString& description, const QString& pattern);

} // namespace furlox::ui
