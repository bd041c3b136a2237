#include "support/HostileArchives.h"

#include "kol/SampleDay.h"
#include "support/LhaWriter.h"

namespace furlox::test {

std::string DayArchiveWith(const ArchiveFiles& more)
{
    kol::SampleOptions options;
    options.seed = 4;
    options.races = 2;
    const kol::SampleFiles day = kol::MakeSampleDay(options);
    ArchiveFiles files = {{"kol_den1.kd2", day.raceFile},
                          {"kol_den2.kd2", day.entryFile},
                          {"kol_uma.kd2", day.horseFile}};
    files.insert(files.end(), more.begin(), more.end());
    return MakeLhaFiles(files);
}

const ArchiveFiles& PlantedEntries()
{
    static const std::string program = std::string("MZ\x90\x00\x03\x00\x00\x00", 8) + "code";
    static const std::string elf = "\x7F"
                                   "ELF\x02\x01\x01 code";
    static const ArchiveFiles entries = {
        {"Qt6Core.dll", program},
        {"platforms/qwindows.dll", program},
        {"PLATFORMS\\evil.txt", "a plugin folder"},
        {"version.dll", program},
        {"qt.conf", "[Paths]\r\nPlugins = evil\r\n"},
        {"sub/Qt.Conf", "[Paths]"},
        {"libQt6Core.so.6", elf},
        {"evil.so", elf},
        {"run.BAT", "@echo off"},
        {"tool.ps1", "Write-Host"},
        {"start.lnk", "L"},
        {"setup.msi", "x"},
        {"styles/qwindowsvistastyle.dll", program},
        {"translations/qtbase_ja.qm", "evil catalogue"},
        {"readme.txt", program}, // a program by its first bytes, whatever its name
        {"notes.dat", elf},
        {"mz.txt", "MZ"},
        {"furlox.exe", program},
        {"library.sqlite3", "SQLite format 3"},
        {"library.sqlite3-wal", "x"},
        {"Library.Sqlite3-SHM", "x"},
        {".furlox-commit", "furlox commit journal 1\nforward\nend\n"},
        {".furlox-lock", "x"},
        {".extract-abc123", "x"},
        {"LIBRAR~1.SQL", "an alias of the library"},
        {"GLX.ini", "[Main]"},
    };
    return entries;
}

} // namespace furlox::test
