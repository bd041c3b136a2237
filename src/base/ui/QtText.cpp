#include "base/ui/QtText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>

namespace furlox::ui {
namespace {

const QString kPrintSans = QStringLiteral("Furlox Print Sans JP");
const QString kPrintMono = QStringLiteral("Furlox Print Mono JP");

// Loads the print font once: beside the program (the Windows folder, the build folder), one
// folder up (the test programs of the build folder), or where an installed program keeps its
// data (share/furlox beside bin).
bool LoadPrintFonts()
{
    static const bool loaded = [] {
        const QDir program(QCoreApplication::applicationDirPath());
        for (const QString& folder : {QStringLiteral("fonts"), QStringLiteral("../fonts"),
                                      QStringLiteral("../share/furlox/fonts")}) {
            const QDir fonts(program.filePath(folder));
            bool found = false;
            for (const QString& file :
                 fonts.entryList({QStringLiteral("FurloxPrint-*.ttc")}, QDir::Files)) {
                found |= QFontDatabase::addApplicationFont(fonts.filePath(file)) >= 0;
            }
            if (found) {
                return QFontDatabase::hasFamily(kPrintSans) && QFontDatabase::hasFamily(kPrintMono);
            }
        }
        return false;
    }();
    return loaded;
}

QFont PrintFont(const QString& family, int pixelSize, QFont fallback)
{
    if (!LoadPrintFonts()) {
        return fallback;
    }
    QFont font(family);
    font.setStyleHint(fallback.styleHint());
    font.setFixedPitch(fallback.fixedPitch());
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

QFont ProportionalFont(int pixelSize)
{
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

QFont FixedFont(int pixelSize)
{
    QFont font(QStringLiteral("Noto Sans Mono CJK JP"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    return font;
}

QFont PrintProportionalFont(int pixelSize)
{
    return PrintFont(kPrintSans, pixelSize, ProportionalFont(pixelSize));
}

QFont PrintFixedFont(int pixelSize)
{
    return PrintFont(kPrintMono, pixelSize, FixedFont(pixelSize));
}

bool PrintFontLoaded()
{
    return LoadPrintFonts();
}

} // namespace furlox::ui
