#pragma once

#include <QFont>
#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/Encoding.h"

// The one place where the core's CP932 text meets Qt's strings.
namespace furlox::ui {

inline QString Q(std::string_view cp932)
{
    const std::string utf8 = ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string Cp932(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

// A path for Qt and back, right on every system (never through the system code page).
inline QString PathQ(const std::filesystem::path& path)
{
    const std::string utf8 = Utf8Text(path);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A path for a message, in the system's own form (backslashes on Windows).
inline QString ShownPath(const std::filesystem::path& path)
{
    std::filesystem::path shown = path;
    shown.make_preferred();
    return PathQ(shown);
}

inline std::filesystem::path PathOf(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return Utf8Path(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

// Fonts standing in for the MS fonts the windows were designed with.
QFont ProportionalFont(int pixelSize); // "ＭＳ Ｐゴシック"
QFont FixedFont(int pixelSize);        // "ＭＳ ゴシック"

// The same two for printing, the previews and the PDFs: the program's own print font
// ("Furlox Print Sans JP" / "Furlox Print Mono JP", a copy of Noto Sans CJK JP that maps no
// radical, so a PDF's text reads 馬 and not ⾺), loaded from the program's fonts folder on
// first use; the screen fonts above where it is missing.
QFont PrintProportionalFont(int pixelSize);
QFont PrintFixedFont(int pixelSize);
// Whether the print font was found (the folders are in QtText.cpp).
bool PrintFontLoaded();

} // namespace furlox::ui
