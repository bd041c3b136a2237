// Hostile archives: entry names found by fuzzing the archive component, each kept as a
// regression case, and archives made to plant what the program or the system would load,
// to fill the disk, or to slip names past the checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "archive/ARCHIVES.h"
#include "archive/DayArchive.h"
#include "archive/LhaBackend.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "support/HostileArchives.h"
#include "support/LhaWriter.h"
#include "support/TempDir.h"

namespace furlox::archive {
namespace {

TEST(HostileArchive, SlashAfterLeadByteStillSeparates)
{
    using lha::SafeRelativePath;
    // 0x2F is never the second byte of a double-byte character: after a lead byte it still
    // separates, so no ".." can hide inside one part of the path.
    EXPECT_EQ(SafeRelativePath("a\x8F/../x"), std::nullopt);
    EXPECT_EQ(SafeRelativePath("a\x8F/../../etc/x"), std::nullopt);
    EXPECT_EQ(SafeRelativePath("\x8F/x"), "\x8F/x");
    EXPECT_EQ(SafeRelativePath("\x8F//x"), "\x8F/x");
    // A backslash after a lead byte is that character's second byte and no separator.
    EXPECT_EQ(SafeRelativePath("\x95\\x.txt"), "\x95\\x.txt");
    EXPECT_EQ(SafeRelativePath("\x95\\\\x.txt"), "\x95\\/x.txt");
}

TEST(HostileArchive, CompressedEntryCutOffAfterItsHeader)
{
    // A -lh5- entry whose data ends right after its header: libarchive hands back an empty
    // block without data, which used to reach memcpy as a null pointer (caught by UBSan).
    const std::string cut("\x21\xC8-lh5-\x63\x44\x01\x00\x3F\x5D\x04\x00\xF0\x93\x8B\x3F\x20\x00"
                          "\x0BSHORTER.TXT\x66\xEA\x1C",
                          36);
    test::TempDir dir;
    dir.Write("cut.lzh", cut);
    const std::string path = Utf8Text(dir / "cut.lzh");

    TLha32 lha;
    std::string buffer(64, 'x');
    EXPECT_NE(lha.ExtractMem(path, "SHORTER.TXT", buffer.data(), buffer.size(), {}), lha::kOk);
    EXPECT_EQ(buffer, std::string(64, 'x'));
    EXPECT_FALSE(lha.CheckArchive(path, lha::kCheckFullCrc));

    std::string output(256, '\0');
    EXPECT_NE(lha.Extract(path, output, false, {}, Utf8Text(dir / "out"), {}), lha::kOk);
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "SHORTER.TXT"));
}

using test::DayArchiveWith;

// The program's folder is the portable program's work directory: nothing an archive holds
// may become a program, a library, a plugin, a Qt setting or a file of the program's state.
TEST(HostileArchive, NothingThatCanRunIsPlanted)
{
    test::TempDir dir;
    const std::filesystem::path work = dir / "work";
    std::filesystem::create_directories(work / "platforms");
    dir.Write("work/Qt6Core.dll", "the real Qt");
    dir.Write("work/platforms/qwindows.dll", "the real plugin");
    const test::ArchiveFiles& planted = test::PlantedEntries();
    test::ArchiveFiles all = planted;
    all.push_back({test::kHarmlessEntry, "MAKE no mistake"});
    dir.Write("plant.lzh", DayArchiveWith(all));
    const OpenedDay opened = ExtractDayArchive(dir / "plant.lzh", work, nullptr);

    EXPECT_EQ(opened.loaded.day.RaceCount(), 2);
    const std::string report = ToUtf8(opened.refusals);
    for (const auto& [name, bytes] : planted) {
        EXPECT_NE(report.find(name + ": "), std::string::npos) << name << "\n" << report;
    }
    EXPECT_EQ(test::ReadFile(work / "Qt6Core.dll"), "the real Qt");
    EXPECT_EQ(test::ReadFile(work / "platforms" / "qwindows.dll"), "the real plugin");
    EXPECT_EQ(test::NamesIn(work),
              (std::set<std::string>{"Qt6Core.dll", "harmless.txt", "kol_den1.kd2", "kol_den2.kd2",
                                     "kol_uma.kd2", "platforms"}));
    EXPECT_EQ(test::NamesIn(work / "platforms"), std::set<std::string>{"qwindows.dll"});
}

// What all entries of an archive may unpack to is bounded, not only each one: five entries of
// 200 MB each claim more than that together and are refused before a byte is written.
TEST(HostileArchive, ABombIsRefusedBeforeAByteIsWritten)
{
    test::TempDir dir;
    std::vector<test::LhaEntry> entries;
    for (int i = 0; i < 5; ++i) {
        test::LhaEntry big;
        big.name = "part" + std::to_string(i) + ".bin";
        big.data = "a few bytes";
        big.originalSize = 200u * 1024 * 1024;
        entries.push_back(big);
    }
    dir.Write("bomb.lzh", test::MakeLha(entries));
    TArchiveFile file;
    file.SetFileName(Utf8Text(dir / "bomb.lzh"));
    file.SetOutputSize(4096);
    EXPECT_EQ(file.Extract(nullptr, {}, Utf8Text(dir / "out")), lha::kErrorTotalTooLarge);
    EXPECT_NE(ToUtf8(file.OutputText()).find("256 MB"), std::string::npos) << file.OutputText();
    EXPECT_FALSE(std::filesystem::exists(dir / "out") && !std::filesystem::is_empty(dir / "out"));
}

// UTF-8 names (a Unix archiver's) keep their characters also where their bytes would read as
// Shift-JIS too; C1 control characters in them are refused like the other control bytes,
// not turned into "?".
TEST(HostileArchive, Utf8NamesKeepTheirCharactersAndTheirControlsAreRefused)
{
    test::TempDir dir;
    // "レース.txt" in UTF-8 is valid Shift-JIS too (three kanji and three half-width kana).
    dir.Write("utf8.lzh", DayArchiveWith({{"レース.txt", "race"},
                                          {"表\xC2\x9B"
                                           "2J.txt",
                                           "csi"}}));
    const OpenedDay opened = ExtractDayArchive(dir / "utf8.lzh", dir / "work", nullptr);
    EXPECT_EQ(test::ReadFile(dir / "work" / Utf8Path("レース.txt")), "race");
    EXPECT_NE(opened.refusals.find("\\x7F2J.txt: "), std::string::npos) << opened.refusals;
    EXPECT_EQ(test::NamesIn(dir / "work"),
              (std::set<std::string>{"kol_den1.kd2", "kol_den2.kd2", "kol_uma.kd2", "レース.txt"}));
}

// An entry refused for a path the file system cannot hold leaves none of the folders on its
// way behind.
TEST(HostileArchive, AnOverlongPathLeavesNoFolders)
{
    test::TempDir dir;
    std::string path;
    while (path.size() < 5000) {
        path += std::string(200, 'd') + "/";
    }
    path += "deep.txt";
    dir.Write("long.lzh", DayArchiveWith({{path, "deep"}}));
    const OpenedDay opened = ExtractDayArchive(dir / "long.lzh", dir / "work", nullptr);
    EXPECT_NE(opened.refusals.find("deep.txt: "), std::string::npos);
    EXPECT_EQ(test::NamesIn(dir / "work"),
              (std::set<std::string>{"kol_den1.kd2", "kol_den2.kd2", "kol_uma.kd2"}));
}

} // namespace
} // namespace furlox::archive
