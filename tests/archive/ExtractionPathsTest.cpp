// What the archive component does with the paths and names the caller and the archive hand it:
// paths the old command line could not carry, names in other capitals, program files,
// control bytes, names that cannot be read, and a failure half-way through putting files in
// place.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "archive/ARCHIVES.h"
#include "archive/ArchiverProgress.h"
#include "archive/LhaBackend.h"
#include "base/Encoding.h"
#include "support/LhaWriter.h"
#include "support/TempDir.h"

namespace furlox::archive {
namespace {

namespace fs = std::filesystem;
using test::MakeLhaFiles;
using test::ReadFile;
using test::TempDir;

struct Outcome
{
    int code = 0;
    std::string output;
    lha::ExtractResult result;
};

// The folder "work" in the test's folder, where the earlier day's files are written.
fs::path MakeWorkFolder(const TempDir& dir)
{
    fs::create_directory(dir / "work");
    return dir / "work";
}

Outcome ExtractAll(const std::string& archive, const std::string& dest, ExtractRules rules = {},
                   TArchiverProgressEvent handler = {})
{
    TArchiveFile file;
    file.SetFileName(archive);
    file.Options().c = 1;
    file.SetOutputSize(8192);
    file.SetArchiverType(atLha);
    file.Rules() = std::move(rules);
    file.SetOnProgress(std::move(handler));
    const int code = file.Extract(nullptr, {}, dest);
    return {code, file.OutputText(), file.LastResult()};
}

// Runs in a folder and goes back afterwards, for the relative paths a user may type.
class InFolder
{
public:
    explicit InFolder(const fs::path& folder) : m_previous(fs::current_path())
    {
        fs::current_path(folder);
    }
    ~InFolder() { fs::current_path(m_previous); }

private:
    fs::path m_previous;
};

TEST(ExtractionPaths, PathsTheCommandLineCouldNotCarry)
{
    TempDir dir;
    const std::string archive = MakeLhaFiles({{"a.txt", "one"}, {"b.txt", "two"}});

    // An archive path that begins with "-" is a path, not a switch.
    dir.Write("-day.lzh", archive);
    Outcome o;
    {
        InFolder here(dir.path());
        o = ExtractAll("-day.lzh", "-out");
    }
    EXPECT_EQ(o.code, 0) << ToUtf8(o.output);
    EXPECT_EQ(ReadFile(dir / "-out" / "b.txt"), "two");

    // Blanks and Japanese in both paths.
    fs::create_directory(dir / "競馬 データ");
    dir.Write("競馬 データ/今日 の.lzh", archive);
    const fs::path out = dir / "出力 先";
    o = ExtractAll(Utf8Text(dir / "競馬 データ/今日 の.lzh"), Utf8Text(out));
    EXPECT_EQ(o.code, 0) << ToUtf8(o.output);
    EXPECT_EQ(ReadFile(out / "a.txt"), "one");
    EXPECT_EQ(o.result.placed, (std::vector<fs::path>{out / "a.txt", out / "b.txt"}));
}

TEST(ExtractionPaths, BackslashesAndQuotesInFolderNames)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names cannot hold \\ or \"";
#endif
    TempDir dir;
    const std::string archive = MakeLhaFiles({{"a.txt", "one"}, {"b.txt", "two"}});

    // A work folder whose name ends in a backslash (a plain character on Linux): the files go
    // into it, not into a new sibling without the backslash.
    dir.Write("day.lzh", archive);
    fs::create_directory(dir / "work\\");
    Outcome o = ExtractAll(Utf8Text(dir / "day.lzh"), Utf8Text(dir / "work\\"));
    EXPECT_EQ(o.code, 0) << ToUtf8(o.output);
    EXPECT_EQ(ReadFile(dir / "work\\" / "a.txt"), "one");
    EXPECT_FALSE(fs::exists(dir / "work"));

    // Double quotes in both paths.
    fs::create_directory(dir / "say \"hi\"");
    dir.Write("say \"hi\"/da\"y.lzh", archive);
    o = ExtractAll(Utf8Text(dir / "say \"hi\"" / "da\"y.lzh"), Utf8Text(dir / "o\"ut"));
    EXPECT_EQ(o.code, 0) << ToUtf8(o.output);
    EXPECT_EQ(ReadFile(dir / "o\"ut" / "a.txt"), "one");
    EXPECT_EQ(o.result.placed,
              (std::vector<fs::path>{dir / "o\"ut" / "a.txt", dir / "o\"ut" / "b.txt"}));
}

TEST(ExtractionPaths, DataFileNamesInOtherCapitalsTakeTheirOwnSpelling)
{
    TempDir dir;
    fs::create_directory(dir / "work");
    dir.Write("work/kol_den1.kd2", "earlier day");
    dir.Write("day.lzh", MakeLhaFiles({{"KOL_DEN1.KD2", "new day"},
                                       {"Kol_Uma.kd2", "horses"},
                                       {"README.TXT", "other"}}));
    ExtractRules rules;
    rules.fixedNames = {"kol_den1.kd2", "kol_uma.kd2"};
    const Outcome o = ExtractAll(Utf8Text(dir / "day.lzh"), Utf8Text(dir / "work"), rules);
    EXPECT_EQ(o.code, 0) << ToUtf8(o.output);
    EXPECT_EQ(test::NamesIn(dir / "work"),
              (std::set<std::string>{"kol_den1.kd2", "kol_uma.kd2", "README.TXT"}));
    EXPECT_EQ(ReadFile(dir / "work" / "kol_den1.kd2"), "new day");
}

TEST(ExtractionPaths, ProgramFilesAndExecutablesAreNeverReplaced)
{
    TempDir dir;
    const fs::path work = MakeWorkFolder(dir);
#ifdef _WIN32
    // Windows runs a file by its extension.
    const std::string tool = "tool.cmd";
    const std::string data = "data.com";
#else
    const std::string tool = "tool.sh";
    const std::string data = "data.txt"; // executable: it stays too
#endif
    dir.Write("work/furlox-cli", "the program");
    dir.Write("work/" + tool, "#!/bin/sh\n");
    dir.Write("work/" + data, "old data");
    fs::permissions(work / "furlox-cli", fs::perms::owner_all);
    fs::permissions(work / tool, fs::perms::owner_all);
    fs::permissions(work / data, fs::perms::owner_all);
    dir.Write("work/notes.txt", "old notes");
    fs::permissions(work / "notes.txt", fs::perms::owner_read | fs::perms::owner_write);
    dir.Write("day.lzh", MakeLhaFiles({{"furlox-cli", "evil"},
                                       {"FOOT.DAT", "evil"},
                                       {tool, "evil"},
                                       {data, "evil"},
                                       {"notes.txt", "new notes"},
                                       {"fresh.txt", "fresh"}}));
    ExtractRules rules;
    rules.protectedNames = {"furlox-cli", "Foot.dat"};
    const Outcome o = ExtractAll(Utf8Text(dir / "day.lzh"), Utf8Text(work), rules);

    EXPECT_EQ(o.code, lha::kErrorProtected);
    const std::string output = ToUtf8(o.output);
    for (const std::string& name :
         {std::string("furlox-cli"), std::string("FOOT.DAT"), tool, data}) {
        EXPECT_NE(output.find(name + ": "), std::string::npos) << output;
        EXPECT_NE(ReadFile(work / Utf8Path(name)), "evil") << name;
    }
    EXPECT_FALSE(fs::exists(work / "FOOT.DAT"));
    EXPECT_EQ(ReadFile(work / "notes.txt"), "new notes");
    // Whatever the replaced file had, nothing extracted can be run.
    constexpr fs::perms kExec =
        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    for (const char* name : {"notes.txt", "fresh.txt"}) {
        EXPECT_EQ(fs::status(work / name).permissions() & kExec, fs::perms::none) << name;
        EXPECT_NE(fs::status(work / name).permissions() & fs::perms::owner_read, fs::perms::none);
    }
}

TEST(ExtractionPaths, NamesTheSystemShortensReplaceNoProgramFile)
{
    TempDir dir;
    const fs::path work = MakeWorkFolder(dir);
    dir.Write("work/furlox-cli.exe", "the program");
    dir.Write("work/Foot.dat", "the footer");
    dir.Write("work/kol_uma.kd2", "old horses");
    // Windows drops dots and blanks at the end of a name: these would land on the files above.
    dir.Write("day.lzh", MakeLhaFiles({{"furlox-cli.exe.", "evil"},
                                       {"Foot.dat ", "evil"},
                                       {"Foot.dat. .", "evil"},
                                       {"kol_uma.kd2.", "horses"}}));
    ExtractRules rules;
    rules.protectedNames = {"furlox-cli.exe", "Foot.dat"};
    rules.fixedNames = {"kol_uma.kd2"};
    const Outcome o = ExtractAll(Utf8Text(dir / "day.lzh"), Utf8Text(work), rules);
    EXPECT_EQ(o.code, lha::kErrorUnsafeEntry);
    EXPECT_EQ(ReadFile(work / "furlox-cli.exe"), "the program");
    EXPECT_EQ(ReadFile(work / "Foot.dat"), "the footer");
    EXPECT_EQ(ReadFile(work / "kol_uma.kd2"), "old horses");
    // Refused alike on every system, each named in the report.
    EXPECT_EQ(o.result.refused.size(), 4u);
    EXPECT_NE(ToUtf8(o.output).find("ピリオドか空白で終わる名前"), std::string::npos)
        << ToUtf8(o.output);
    EXPECT_EQ(test::NamesIn(work),
              (std::set<std::string>{"Foot.dat", "furlox-cli.exe", "kol_uma.kd2"}));
}

TEST(ExtractionPaths, WindowsDeviceNamesAreRefusedAndTheRestExtracted)
{
    TempDir dir;
    const fs::path work = MakeWorkFolder(dir);
    dir.Write("work/kol_uma.kd2", "old horses");
    // On Windows these name devices in every folder, whatever follows the dot.
    dir.Write("day.lzh", MakeLhaFiles({{"nul.txt", "a"},
                                       {"CON", "b"},
                                       {"sub/Aux .dat", "c"},
                                       {"com1", "d"},
                                       {"conin$", "e"},
                                       {"console.txt", "not a device"},
                                       {"lpt10", "not a device"},
                                       {"kol_uma.kd2", "new horses"}}));
    ExtractRules rules;
    rules.fixedNames = {"kol_uma.kd2"};
    const Outcome o = ExtractAll(Utf8Text(dir / "day.lzh"), Utf8Text(work), rules);
    EXPECT_EQ(o.code, lha::kErrorUnsafeEntry) << ToUtf8(o.output);
    EXPECT_EQ(o.result.refused.size(), 5u) << ToUtf8(o.output);
    EXPECT_NE(ToUtf8(o.output).find("装置"), std::string::npos) << ToUtf8(o.output);
    EXPECT_EQ(ReadFile(work / "kol_uma.kd2"), "new horses");
    EXPECT_EQ(test::NamesIn(work), (std::set<std::string>{"console.txt", "kol_uma.kd2", "lpt10"}));
}

TEST(ExtractionPaths, ControlBytesInNamesAreRefusedAndShownEscaped)
{
    TempDir dir;
    const std::string evil = "clear\x1B[2J\x07.txt";
    dir.Write("day.lzh", MakeLhaFiles({{evil, "bell"}, {"good.txt", "good"}}));
    ArchiverProgress progress;
    std::vector<std::string> shown;
    progress.Updated = [&] { shown.push_back(progress.View().lblSrcFileName1); };
    const Outcome o =
        ExtractAll(Utf8Text(dir / "day.lzh"), Utf8Text(dir / "out"), {}, progress.Handler());

    EXPECT_EQ(o.code, lha::kErrorUnsafeEntry);
    EXPECT_EQ(test::NamesIn(dir / "out"), std::set<std::string>{"good.txt"});
    EXPECT_EQ(o.output.find('\x1B'), std::string::npos);
    EXPECT_NE(o.output.find("clear\\x1B[2J\\x07.txt: "), std::string::npos) << o.output;
    ASSERT_FALSE(shown.empty());
    for (const std::string& text : shown) {
        EXPECT_FALSE(HasControlBytes(text)) << text;
    }
    EXPECT_NE(std::find(shown.begin(), shown.end(), "clear\\x1B[2J\\x07.txt"), shown.end());
}

TEST(ExtractionPaths, UnreadableNamesAreToldApartFromDamage)
{
    TempDir dir;
    // 0x81 0x20 is no Shift-JIS character, and 0xFF no UTF-8 byte.
    dir.Write("day.lzh", MakeLhaFiles({{"good.txt", "good"}, {"bad\x81\x20\xFF.txt", "bad"}}));
    const fs::path archive = dir / "day.lzh";

    TLha32 lha;
    const ArchiveHandle handle = lha.OpenArchive(archive.string(), 0x800000);
    ASSERT_NE(handle, 0u);
    EntryInfo info;
    EXPECT_EQ(lha.FindFirst(handle, info, "*.*"), lha::kOk);
    EXPECT_EQ(lha.FindNext(handle, info), lha::kErrorUnreadableName);
    lha.CloseArchive(handle);

    const Outcome o = ExtractAll(Utf8Text(archive), Utf8Text(dir / "out"));
    EXPECT_EQ(o.code, lha::kErrorUnreadableName);
    EXPECT_NE(ToUtf8(o.output).find("ファイル名を読み取れません"), std::string::npos)
        << ToUtf8(o.output);
    EXPECT_FALSE(fs::exists(dir / "out" / "good.txt"));
}

TEST(ExtractionPaths, NoFolderTakesADataFileName)
{
    TempDir dir;
    test::LhaEntry folder;
    folder.dirName = "KOL_DEN1.KD2";
    folder.directory = true;
    test::LhaEntry inside;
    inside.name = "x.txt";
    inside.dirName = "kol_uma.kd2";
    inside.data = "in a folder";
    dir.Write("day.lzh", test::MakeLha({folder, inside}));
    ExtractRules rules;
    rules.fixedNames = {"kol_den1.kd2", "kol_uma.kd2"};
    const Outcome o = ExtractAll(Utf8Text(dir / "day.lzh"), Utf8Text(dir / "out"), rules);
    EXPECT_EQ(o.code, lha::kErrorUnsafeEntry);
    EXPECT_EQ(o.result.refused.size(), 2u);
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST(ExtractionPaths, AFailurePuttingFilesInPlaceBringsTheOldOnesBack)
{
    TempDir dir;
    const fs::path work = MakeWorkFolder(dir);
    dir.Write("work/one.txt", "old one");
    dir.Write("work/two.txt", "old two");
    // A killed run left a temporary file; the next extraction clears it away.
    dir.Write("work/.extract-Ab12Cd", "left by a killed run");
    // The third name is too long for the file system: its rename fails after the first two
    // files were already in place.
    const std::string tooLong(300, 'n');
    dir.Write("day.lzh", MakeLhaFiles({{"one.txt", "new one"},
                                       {"new.txt", "new"},
                                       {"two.txt", "new two"},
                                       {tooLong, "long"}}));
    const Outcome o = ExtractAll(Utf8Text(dir / "day.lzh"), Utf8Text(work));

    EXPECT_EQ(o.code, lha::kErrorWrite);
    EXPECT_TRUE(o.result.placed.empty());
    EXPECT_FALSE(o.result.error.empty());
    EXPECT_EQ(ReadFile(work / "one.txt"), "old one");
    EXPECT_EQ(ReadFile(work / "two.txt"), "old two");
    EXPECT_EQ(test::NamesIn(work), (std::set<std::string>{"one.txt", "two.txt"}));
}

} // namespace
} // namespace furlox::archive
