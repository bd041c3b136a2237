#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "archive/ARCHIVES.h"
#include "archive/LhaBackend.h"
#include "base/Encoding.h"
#include "support/LhaWriter.h"
#include "support/TempDir.h"

namespace furlox::archive {
namespace {

namespace fs = std::filesystem;
using test::LhaEntry;
using test::MakeLha;
using test::ReadFile;
using test::TempDir;

LhaEntry Stored(std::string name, std::string data, int level = 2)
{
    LhaEntry e;
    e.name = std::move(name);
    e.data = std::move(data);
    e.level = level;
    return e;
}

struct Outcome
{
    int code = 0;
    std::string output;
};

Outcome ExtractAll(const fs::path& archive, const fs::path& dest,
                   TArchiverProgressEvent handler = {}, bool replace = true)
{
    TArchiveFile file;
    file.SetFileName(Utf8Text(archive));
    if (replace) {
        file.Options().c = 1;
    }
    file.SetOutputSize(8192);
    file.SetOnProgress(std::move(handler));
    const int code = file.Extract(nullptr, {}, Utf8Text(dest));
    return {code, file.OutputText()};
}

std::vector<std::string> ListNames(const fs::path& archive, int* endCode = nullptr)
{
    TArchiveFile file;
    file.SetFileName(Utf8Text(archive));
    std::vector<std::string> names;
    if (file.OpenArchive(0x800000) != 0) {
        return names;
    }
    EntryInfo info;
    int code = file.FindFirst("*.*", info);
    for (; code == 0; code = file.FindNext(info)) {
        names.push_back(info.fileName);
    }
    file.CloseArchive();
    if (endCode) {
        *endCode = code;
    }
    return names;
}

// Every path below root (hidden files included), relative, as UTF-8 with "/" between the
// folders and after them.
std::set<std::string> Tree(const fs::path& root)
{
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::u8string generic = fs::relative(entry.path(), root).generic_u8string();
        std::string rel(generic.begin(), generic.end());
        paths.insert(entry.is_directory() && !entry.is_symlink() ? rel + "/" : rel);
    }
    return paths;
}

TEST(SafeRelativePath, KeepsEveryEntryInsideTheDestination)
{
    using lha::SafeRelativePath;
    EXPECT_EQ(SafeRelativePath("kol_den1.kd2"), "kol_den1.kd2");
    EXPECT_EQ(SafeRelativePath("/subdir/x.txt"), "subdir/x.txt");
    EXPECT_EQ(SafeRelativePath("\\\\server\\share\\y"), "server/share/y");
    EXPECT_EQ(SafeRelativePath("C:\\win\\x.txt"), "win/x.txt");
    EXPECT_EQ(SafeRelativePath("c:x.txt"), "x.txt");
    EXPECT_EQ(SafeRelativePath("/C:/x.txt"), "x.txt");
    EXPECT_EQ(SafeRelativePath("a/./b//c"), "a/b/c");
    EXPECT_EQ(SafeRelativePath("dir/a:b"), "dir/a:b"); // only a leading drive letter goes
    EXPECT_EQ(SafeRelativePath("/"), "");
    EXPECT_EQ(SafeRelativePath("C:"), "");
    EXPECT_EQ(SafeRelativePath("..."), "...");
    EXPECT_EQ(SafeRelativePath("../x"), std::nullopt);
    EXPECT_EQ(SafeRelativePath("a/../../x"), std::nullopt);
    EXPECT_EQ(SafeRelativePath("a\\..\\x"), std::nullopt);
    EXPECT_EQ(SafeRelativePath("/.."), std::nullopt);
    // 表 (0x95 0x5C) and ソ (0x83 0x5C): their second byte is no separator.
    const std::string hyou = ToCp932("表示");
    const std::string so = ToCp932("ソフト");
    EXPECT_EQ(SafeRelativePath(hyou + ".txt"), hyou + ".txt");
    EXPECT_EQ(SafeRelativePath(so + "\\" + hyou), so + "/" + hyou);
    EXPECT_EQ(SafeRelativePath(so + "\\..\\x"), std::nullopt);
}

TEST(MatchesWildcard, WholeCharactersAndNoCase)
{
    using lha::MatchesWildcard;
    EXPECT_TRUE(MatchesWildcard("*.*", "noextension"));
    EXPECT_TRUE(MatchesWildcard("*.*", "dir/kol_den1.kd2"));
    EXPECT_TRUE(MatchesWildcard("*.kd2", "kol_uma.kd2"));
    EXPECT_TRUE(MatchesWildcard("*.kd2", "KOL_UMA.KD2"));
    EXPECT_TRUE(MatchesWildcard("kol_???1.kd2", "kol_den1.kd2"));
    EXPECT_TRUE(MatchesWildcard("data\\*", "data/x"));
    EXPECT_FALSE(MatchesWildcard("*.kd2", "kol_uma.kd2x"));
    EXPECT_FALSE(MatchesWildcard("x", "xy"));
    const std::string hyou = ToCp932("表");
    EXPECT_TRUE(MatchesWildcard("?.txt", hyou + ".txt"));
    EXPECT_FALSE(MatchesWildcard("??.txt", hyou + ".txt"));
}

TEST(LhaBackend, ShiftJisNamesAreListedAsStoredAndWrittenInTheSystemsForm)
{
    TempDir dir;
    const std::string hyouji = ToCp932("表示");  // 0x95 0x5C 0x8E 0xA6
    const std::string soft = ToCp932("ソフト");  // starts 0x83 0x5C
    const std::string nou = ToCp932("能力.kd2"); // 0x94 0x5C ...
    const std::string data = ToCp932("データ");
    LhaEntry underFolder = Stored(nou, "in a folder");
    underFolder.dirName = soft;
    dir.Write("sjis.lzh", MakeLha({Stored(hyouji + ".txt", "level 1", 1), underFolder,
                                   Stored(data + "\\" + hyouji, "level 0 path", 0),
                                   Stored(soft + "\\" + hyouji, "level 1 path", 1)}));

    // Level-1 names keep their backslash as stored; level-0 ones come with "/".
    EXPECT_EQ(ListNames(dir / "sjis.lzh"),
              (std::vector<std::string>{hyouji + ".txt", soft + "/" + nou, data + "/" + hyouji,
                                        soft + "\\" + hyouji}));

    // On disk the names are Japanese as the system writes them (UTF-8 on Linux, UTF-16 on
    // Windows), so a file manager shows them; a trail byte 0x5C never splits a name.
    const fs::path out = dir / "out";
    const Outcome outcome = ExtractAll(dir / "sjis.lzh", out);
    EXPECT_EQ(outcome.code, 0) << outcome.output;
    EXPECT_EQ(Tree(out), (std::set<std::string>{"表示.txt", "ソフト/", "ソフト/能力.kd2",
                                                "ソフト/表示", "データ/", "データ/表示"}));
    EXPECT_EQ(ReadFile(out / Utf8Path("ソフト/表示")), "level 1 path");
    EXPECT_EQ(ReadFile(out / Utf8Path("表示.txt")), "level 1");
    EXPECT_EQ(ReadFile(out / Utf8Path("ソフト/能力.kd2")), "in a folder");
}

TEST(LhaBackend, NamesThatAreNoShiftJisAreReadAsUtf8)
{
    // "ファイル☆" in UTF-8 ends in E2 98 86, which is no Shift-JIS; such a name (as some Unix
    // archivers store it) is read as UTF-8 and kept as Shift-JIS like every other.
    TempDir dir;
    LhaEntry utf8Named =
        Stored("\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE2\x98\x86.txt", "utf-8 name");
    utf8Named.osId = 'U';
    dir.Write("utf8.lzh", MakeLha({utf8Named, Stored("plain.txt", "plain")}));
    EXPECT_EQ(ListNames(dir / "utf8.lzh"),
              (std::vector<std::string>{ToCp932("ファイル☆.txt"), "plain.txt"}));
    const fs::path out = dir / "out";
    EXPECT_EQ(ExtractAll(dir / "utf8.lzh", out).code, 0);
    EXPECT_EQ(ReadFile(out / Utf8Path("ファイル☆.txt")), "utf-8 name");
}

TEST(LhaBackend, TraversalAndAbsoluteNamesStayInside)
{
    TempDir dir;
    LhaEntry drive = Stored("C:\\win\\x.txt", "drive", 0);
    dir.Write("evil.lzh",
              MakeLha({Stored("../evil.txt", "escape", 1), Stored("a/../../evil2.txt", "escape", 1),
                       Stored("/abs/file.txt", "absolute", 1), drive, Stored("good.txt", "good")}));
    const fs::path out = dir / "out";
    const Outcome outcome = ExtractAll(dir / "evil.lzh", out);
    EXPECT_EQ(outcome.code, lha::kErrorUnsafeEntry);
    EXPECT_NE(outcome.output.find("../evil.txt"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("a/../../evil2.txt"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "evil.txt"));
    EXPECT_FALSE(fs::exists(dir / "evil2.txt"));
    EXPECT_EQ(Tree(out),
              (std::set<std::string>{"abs/", "abs/file.txt", "win/", "win/x.txt", "good.txt"}));
    EXPECT_EQ(ReadFile(out / "win/x.txt"), "drive");
}

TEST(LhaBackend, LinksAreNeverCreatedNorFollowed)
{
    TempDir dir;
    LhaEntry link = Stored("lnk|/etc/passwd", "", 1);
    link.osId = 'U';
    link.unixMode = 0120777;
    LhaEntry link2 = link;
    link2.name = "lnk2|../outside";
    link2.level = 2;
    dir.Write("links.lzh", MakeLha({link, link2, Stored("data.txt", "data")}));
    const fs::path out = dir / "out";
    Outcome outcome = ExtractAll(dir / "links.lzh", out);
    EXPECT_EQ(outcome.code, lha::kErrorUnsafeEntry);
    EXPECT_EQ(Tree(out), std::set<std::string>{"data.txt"});
}

TEST(LhaBackend, ALinkInTheDestinationIsNotFollowed)
{
    TempDir dir;
    const fs::path out = dir / "out";
    const fs::path outside = dir / "outside";
    fs::create_directories(outside);
    fs::create_directories(out);
    std::error_code linkError;
    fs::create_directory_symlink(outside, out / "sub", linkError);
#ifdef _WIN32
    if (linkError) {
        GTEST_SKIP() << "no symbolic link can be made on this system (" << linkError.message()
                     << "); Windows gives the right to make them to administrators and "
                        "developer mode only";
    }
#endif
    ASSERT_FALSE(linkError) << linkError.message();
    dir.Write("through.lzh", MakeLha({Stored("sub/x.txt", "through the link", 1)}));
    const Outcome outcome = ExtractAll(dir / "through.lzh", out);
    EXPECT_NE(outcome.code, 0);
    EXPECT_TRUE(fs::is_empty(outside));
}

TEST(LhaBackend, DamagedArchivesChangeNothing)
{
    TempDir dir;
    const std::string good = MakeLha({Stored("one.txt", std::string(3000, 'a')),
                                      Stored("two.txt", std::string(3000, 'b')),
                                      Stored("three.txt", std::string(3000, 'c'))});
    const fs::path out = dir / "out";
    fs::create_directories(out);
    dir.Write("out/one.txt", "old one");
    dir.Write("out/two.txt", "old two");
    const std::set<std::string> before = Tree(out);

    // Where the second entry's header begins: after the first entry (without the end mark).
    const std::size_t second = MakeLha({Stored("one.txt", std::string(3000, 'a'))}).size() - 1;
    std::string flippedData = good;
    flippedData[second + 1500] ^= 0x01; // inside the second entry's data: a CRC error
    std::string flippedHeader = good;
    flippedHeader[second + 30] ^= 0x40; // inside the second entry's header
    const std::pair<const char*, std::string> damaged[] = {
        {"truncated.lzh", good.substr(0, good.size() / 2)},
        {"cut-in-header.lzh", good.substr(0, second + 10)},
        {"flipped-data.lzh", flippedData},
        {"flipped-header.lzh", flippedHeader},
        {"empty.lzh", ""},
        {"end-mark-only.lzh", std::string(1, '\0')},
        {"garbage.lzh", "this is not an archive at all, just text"},
    };
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        dir.Write(name, bytes);
        const Outcome outcome = ExtractAll(dir / name, out);
        EXPECT_NE(outcome.code, 0);
        EXPECT_FALSE(outcome.output.empty());
        EXPECT_EQ(Tree(out), before);
        EXPECT_EQ(ReadFile(out / "one.txt"), "old one");
    }
    dir.Write("good.lzh", good);
    EXPECT_EQ(ExtractAll(dir / "good.lzh", out).code, 0);
    EXPECT_EQ(ReadFile(out / "one.txt"), std::string(3000, 'a'));
}

TEST(LhaBackend, AStopHalfWayLeavesThePreviousFilesAndNoPartialFile)
{
    TempDir dir;
    LhaEntry inFolder = Stored("new.txt", std::string(200000, 'n'));
    inFolder.dirName = "newdir";
    dir.Write("a.lzh", MakeLha({Stored("one.txt", std::string(200000, '1')), inFolder,
                                Stored("two.txt", std::string(200000, '2'))}));
    const fs::path out = dir / "out";
    fs::create_directories(out);
    dir.Write("out/one.txt", "old one");
    dir.Write("out/two.txt", "old two");
    const std::set<std::string> before = Tree(out);

    int begun = 0;
    const Outcome outcome = ExtractAll(
        dir / "a.lzh", out, [&](TArchiveFile&, int state, const ExtractingInfoEx*, bool& abort) {
            begun += state == kStateBegin;
            abort = begun == 3 && state == kStateInProcess;
        });
    EXPECT_EQ(outcome.code, lha::kErrorCancelled);
    EXPECT_EQ(Tree(out), before); // no temporary file, no new folder
    EXPECT_EQ(ReadFile(out / "one.txt"), "old one");
    EXPECT_EQ(ReadFile(out / "two.txt"), "old two");

    // Stopping while counting stops before anything is written.
    const Outcome counting = ExtractAll(
        dir / "a.lzh", out,
        [](TArchiveFile&, int state, const ExtractingInfoEx*, bool& abort) { abort = state == 5; });
    EXPECT_EQ(counting.code, lha::kErrorCancelled);
    EXPECT_EQ(Tree(out), before);
}

TEST(LhaBackend, ProgressReportsCountThenExtractThenPutInPlace)
{
    TempDir dir;
    LhaEntry folder;
    folder.name = "";
    folder.dirName = "sub";
    folder.directory = true;
    dir.Write("a.lzh", MakeLha({Stored("one.txt", std::string(100000, '1')), folder,
                                Stored("empty.txt", "")}));
    const fs::path out = dir / "out";
    std::vector<int> states;
    std::vector<ExtractingInfoEx> infos;
    const Outcome outcome = ExtractAll(
        dir / "a.lzh", out, [&](TArchiveFile&, int state, const ExtractingInfoEx* info, bool&) {
            states.push_back(state);
            ASSERT_NE(info, nullptr);
            infos.push_back(*info);
        });
    ASSERT_EQ(outcome.code, 0) << outcome.output;
    ASSERT_GE(states.size(), 3u + 3u + 2u);
    EXPECT_EQ(std::vector<int>(states.begin(), states.begin() + 3), (std::vector<int>{5, 5, 5}));
    EXPECT_EQ(std::count(states.begin(), states.end(), kStateBegin), 3);
    EXPECT_EQ(std::vector<int>(states.end() - 2, states.end()), (std::vector<int>{4, 4}));
    EXPECT_EQ(infos[0].sourceFileName, "one.txt");
    EXPECT_EQ(infos[0].fileSize, 100000u);
    EXPECT_EQ(infos[1].sourceFileName, "sub/");
    // The last block of the first file reports all of it written.
    std::uint32_t lastWritten = 0;
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (states[i] == kStateInProcess && infos[i].sourceFileName == "one.txt") {
            EXPECT_GE(infos[i].writeSize, lastWritten);
            lastWritten = infos[i].writeSize;
            EXPECT_EQ(ToUtf8(infos[i].destFileName), Utf8Text(out / "one.txt"));
        }
    }
    EXPECT_EQ(lastWritten, 100000u);
    EXPECT_TRUE(fs::is_directory(out / "sub"));
    EXPECT_EQ(fs::file_size(out / "empty.txt"), 0u);
}

TEST(LhaBackend, OversizedEntriesAreRefusedOthersExtracted)
{
    TempDir dir;
    LhaEntry huge = Stored("huge.bin", "small data, huge claim");
    huge.originalSize = 300u * 1024 * 1024;
    dir.Write("big.lzh", MakeLha({huge, Stored("ok.txt", "ok")}));
    const fs::path out = dir / "out";
    const Outcome outcome = ExtractAll(dir / "big.lzh", out);
    EXPECT_EQ(outcome.code, lha::kErrorTooLarge);
    EXPECT_NE(outcome.output.find("huge.bin: 256 MB"), std::string::npos) << outcome.output;
    EXPECT_EQ(Tree(out), std::set<std::string>{"ok.txt"});
}

TEST(LhaBackend, ExistingFilesAreReplacedOnlyWithTheReplaceSwitch)
{
    TempDir dir;
    dir.Write("a.lzh", MakeLha({Stored("f.txt", "new")}));
    const fs::path out = dir / "out";
    fs::create_directories(out / "d.txt");
    dir.Write("out/f.txt", "old");
    EXPECT_EQ(ExtractAll(dir / "a.lzh", out, {}, false).code, 0);
    EXPECT_EQ(ReadFile(out / "f.txt"), "old");
    EXPECT_EQ(ExtractAll(dir / "a.lzh", out).code, 0);
    EXPECT_EQ(ReadFile(out / "f.txt"), "new");
    // A folder of the entry's name is left alone.
    dir.Write("d.lzh", MakeLha({Stored("d.txt", "file over a folder")}));
    EXPECT_EQ(ExtractAll(dir / "d.lzh", out).code, lha::kErrorWrite);
    EXPECT_TRUE(fs::is_directory(out / "d.txt"));
}

TEST(LhaBackend, CommandsTheLibraryCannotCarryOut)
{
    TempDir dir;
    dir.Write("a.lzh", MakeLha({Stored("f.txt", "data"), Stored("g/h.txt", "deep")}));
    const std::string archive = Utf8Text(dir / "a.lzh");

    TLha32 lha;
    TArchiverOptions options;
    std::string buffer(256, '\0');
    EXPECT_EQ(lha.Pack(archive, buffer, false, {std::string("f.txt")}, "", options),
              lha::kErrorNotSupported);
    EXPECT_EQ(std::string(buffer.c_str()), lha::ResultText(lha::kErrorNotSupported) + "\r\n");
    EXPECT_EQ(buffer.size(), 256u);
    EXPECT_EQ(lha.CommandLine().substr(0, 4), "u -+");
    EXPECT_EQ(lha.Remove(archive, buffer, false, {std::string("f.txt")}, "", options),
              lha::kErrorNotSupported);
    EXPECT_EQ(lha.Update(archive, buffer, false, {}, "", options), lha::kErrorNotSupported);
    EXPECT_EQ(lha.MakeSFX(archive, buffer, "", options), lha::kErrorNotSupported);
    EXPECT_EQ(Tree(dir.path()), std::set<std::string>{"a.lzh"});

    // Only the entries a wildcard picks.
    lha::ExtractRequest request;
    request.archive = dir / "a.lzh";
    request.destination = dir / "out";
    request.wildcards = {"*h.txt"};
    const lha::ExtractResult result = lha::Extract(request);
    EXPECT_EQ(result.code, lha::kOk) << result.Text();
    EXPECT_EQ(Tree(dir / "out"), (std::set<std::string>{"g/", "g/h.txt"}));
    EXPECT_EQ(result.placed, std::vector<fs::path>{dir / "out" / "g" / "h.txt"});
}

TEST(LhaBackend, ExtractMemAndCheckArchive)
{
    TempDir dir;
    dir.Write("a.lzh", MakeLha({Stored("f.txt", "0123456789")}));
    std::string bad = MakeLha({Stored("f.txt", "0123456789")});
    bad[bad.size() - 3] ^= 0x20;
    dir.Write("bad.lzh", bad);
    const std::string archive = Utf8Text(dir / "a.lzh");

    TLha32 lha;
    TArchiverOptions options;
    char buffer[16] = {};
    EXPECT_EQ(lha.ExtractMem(archive, "f.txt", buffer, sizeof buffer, options), 0);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    char small[4] = {};
    EXPECT_EQ(lha.ExtractMem(archive, "f.txt", small, sizeof small, options),
              lha::kErrorBufferTooSmall);
    EXPECT_EQ(lha.ExtractMem(archive, "none.txt", buffer, sizeof buffer, options),
              lha::kErrorNoMatch);
    EXPECT_EQ(lha.ExtractMem(Utf8Text(dir / "bad.lzh"), "f.txt", buffer, sizeof buffer, options),
              lha::kErrorData);

    EXPECT_TRUE(lha.CheckArchive(archive, 0));
    EXPECT_TRUE(lha.CheckArchive(archive, lha::kCheckFullCrc));
    EXPECT_TRUE(lha.CheckArchive(Utf8Text(dir / "bad.lzh"), 0)); // headers are sound
    EXPECT_FALSE(lha.CheckArchive(Utf8Text(dir / "bad.lzh"), lha::kCheckFullCrc));
    EXPECT_FALSE(lha.CheckArchive(Utf8Text(dir / "missing.lzh"), 0));
}

TEST(LhaBackend, ListingHandles)
{
    TempDir dir;
    const std::string bytes = MakeLha({Stored("kol_den1.kd2", std::string(500, 'r')),
                                       Stored("kol_den2.kd2", std::string(500, 'e')),
                                       Stored("readme.txt", std::string(500, 't'))});
    dir.Write("a.lzh", bytes);
    dir.Write("cut.lzh", bytes.substr(0, bytes.size() - 300));
    const std::string archive = Utf8Text(dir / "a.lzh");

    TLha32 lha;
    const ArchiveHandle handle = lha.OpenArchive(archive, 0x800000);
    ASSERT_NE(handle, 0u);
    EntryInfo info;
    ASSERT_EQ(lha.FindFirst(handle, info, "*.kd2"), 0);
    EXPECT_EQ(info.fileName, "kol_den1.kd2");
    EXPECT_EQ(info.originalSize, 500u);
    EXPECT_EQ(info.method, "-lh0-");
    ASSERT_EQ(lha.FindNext(handle, info), 0);
    EXPECT_EQ(info.fileName, "kol_den2.kd2");
    EXPECT_EQ(lha.FindNext(handle, info), lha::kEndOfList);
    EXPECT_EQ(lha.FindNext(handle, info), lha::kEndOfList);
    EXPECT_EQ(lha.CloseArchive(handle), 0);
    EXPECT_EQ(lha.FindFirst(handle, info, "*.*"), lha::kErrorHandle);
    EXPECT_EQ(lha.CloseArchive(handle), lha::kErrorHandle);

    // A listing that breaks off gives what it read, then an error rather than the end.
    int endCode = 0;
    EXPECT_EQ(ListNames(dir / "cut.lzh", &endCode),
              (std::vector<std::string>{"kol_den1.kd2", "kol_den2.kd2", "readme.txt"}));
    EXPECT_EQ(endCode, lha::kErrorBroken);
    dir.Write("text.lzh", "plain text");
    EXPECT_EQ(lha.OpenArchive((dir / "text.lzh").string(), 0x800000), 0u);
    EXPECT_EQ(lha.OpenArchive((dir / "missing.lzh").string(), 0x800000), 0u);
}

} // namespace
} // namespace furlox::archive
