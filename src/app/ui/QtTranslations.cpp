#include "app/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace furlox::ui {

QStringList QtTranslationFolders()
{
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

QString InstallQtTranslations(QCoreApplication& app)
{
    // The program speaks Japanese only; its standard dialogs should too, dates and sizes in
    // them included.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    for (const QString& folder : QtTranslationFolders()) {
        // qt_ja names the per-module catalogues (qtbase_ja …) it needs; some installs ship
        // only those, so try the base catalogue on its own as well.
        for (const QString& name : {QStringLiteral("qt_ja"), QStringLiteral("qtbase_ja")}) {
            auto* translator = new QTranslator(&app);
            if (translator->load(name, folder) && QCoreApplication::installTranslator(translator)) {
                return QDir(folder).filePath(name + QStringLiteral(".qm"));
            }
            delete translator;
        }
    }
    return {};
}

QString FileDialogFilter(const QString& description, const QString& pattern)
{
    const QString shown = QLatin1Char('(') + pattern + QLatin1Char(')');
    if (description.endsWith(shown)) {
        return description;
    }
    return description + QLatin1Char(' ') + shown;
}

} // namespace furlox::ui
