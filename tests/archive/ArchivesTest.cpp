#include <gtest/gtest.h>

#include "archive/ARCHIVES.h"
#include "base/Encoding.h"
#include "support/LhaWriter.h"
#include "support/TempDir.h"

namespace furlox::archive {
namespace {

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EArchiver& e) {
        return e.what();
    }
    return "(nothing raised)";
}

// The smallest archiver: only the abstract operation is given.
class BareArchiver final : public TArchiver
{
public:
    int Extract(const std::string&, std::string&, bool, const FileList&, const std::string&,
                const TArchiverOptions&) override
    {
        return 0;
    }
};

TEST(TArchiver, BaseSlotsRaiseTheirTextsOrAnswerNothing)
{
    BareArchiver archiver;
    TArchiverOptions options;
    std::string out;
    char buffer[4];
    EntryInfo info;
    EXPECT_EQ(MessageOf([&] { archiver.LoadDLL(); }),
              "Abstract method 'TArchiver.LoadDLL' was called");
    EXPECT_EQ(MessageOf([&] { archiver.FreeDLL(); }),
              "Abstract method 'TArchiver.FreeDLL' was called");
    EXPECT_EQ(MessageOf([&] { archiver.LoadPackDLL(); }),
              "Abstract method 'TArchiver.LoadDLL' was called");
    EXPECT_EQ(MessageOf([&] { archiver.Pack("a", out, false, {}, "", options); }),
              "この形式では書庫ファイルの作成をサポートしておりません。"_sj);
    EXPECT_EQ(MessageOf([&] { archiver.Remove("a", out, false, {}, "", options); }),
              "この形式の書庫ではファイルの削除をサポートしておりません。"_sj);
    EXPECT_EQ(MessageOf([&] { archiver.Update("a", out, false, {}, "", options); }),
              "この形式の書庫では書庫の更新をサポートしておりません。"_sj);
    EXPECT_EQ(MessageOf([&] { archiver.MakeSFX("a", out, "", options); }),
              "この形式では自己解凍書庫の作成をサポートしておりません。"_sj);
    EXPECT_EQ(MessageOf([&] { archiver.ExtractMem("a", "e", buffer, 4, options); }),
              "この形式ではメモリへの展開をサポートしておりません。"_sj);
    EXPECT_EQ(MessageOf([&] { archiver.CheckArchive("a", 0); }),
              "この形式では書庫チェック機能をサポートしておりません。"_sj);
    EXPECT_EQ(archiver.OpenArchive("a", 0), 0u);
    EXPECT_EQ(archiver.FindFirst(1, info, "*.*"), -1);
    EXPECT_EQ(archiver.FindNext(1, info), -1);
    EXPECT_EQ(archiver.CloseArchive(1), 0);

    struct Receiver : ProgressWindow
    {
        bool ReportProgress(int, const ExtractingInfoEx*) override { return false; }
    } receiver;
    EXPECT_FALSE(archiver.SetOwnerWindow(&receiver));
    EXPECT_EQ(archiver.OwnerWindow(), &receiver);
    EXPECT_FALSE(archiver.KillOwnerWindow(&receiver));
    EXPECT_EQ(archiver.OwnerWindow(), nullptr);
}

TEST(TArchiver, OtherFormatsNeedTheirLibraries)
{
    EXPECT_EQ(MessageOf([] { TZip32 zip; }), "Zip 形式書庫を扱うには UNZIP32.DLL が 必要です。"_sj);
    EXPECT_EQ(MessageOf([] { TArj32 arj; }),
              "Arj 形式書庫を扱うには UNARJ32J.DLL が 必要です。"_sj);
    EXPECT_EQ(MessageOf([] { TTgz32 tgz; }), "Tgz 形式書庫を扱うには tar32.dll が 必要です。"_sj);
    for (int type = atZip; type <= atGca; ++type) {
        SCOPED_TRACE(type);
        const std::string message =
            MessageOf([type] { CreateArchiver(static_cast<TArchiverType>(type)); });
        EXPECT_NE(message.find(" が 必要です。"_sj), std::string::npos) << ToUtf8(message);
    }
    EXPECT_NE(CreateArchiver(atLha), nullptr);
    EXPECT_EQ(MessageOf([] { CreateArchiver(atNone); }), "書庫の形式を特定できませんでした。"_sj);
}

TEST(DetectArchiverType, ByExtensionIgnoringCase)
{
    const std::pair<const char*, TArchiverType> cases[] = {
        {"race.lzh", atLha},     {"C:\\DATA\\RACE.LZH", atLha},
        {"a.Zip", atZip},        {"a.cab", atCab},
        {"a.arj", atArj},        {"a.rar", atRar},
        {"a.gca", atGca},        {"a.yz1", atYz1},
        {"a.gza", atBga},        {"a.BZA", atBga},
        {"a.bz2", atBZ2},        {"a.tar", atTar},
        {"a.Z", atTgz},          {"a.gz", atTgz},
        {"a.tgz", atTgz},        {"a.taz", atTgz},
        {"a.lzh.txt", atNone},   {"a.lzhx", atNone},
        {"noextension", atNone}, {"dir.lzh/file", atNone}, // the dot is the folder's
    };
    for (const auto& [name, type] : cases) {
        EXPECT_EQ(DetectArchiverType(name, true), type) << name;
    }
}

TEST(DetectArchiverType, ByContentForExecutablesAndWhenAsked)
{
    test::TempDir dir;
    dir.Write("sfx.exe", test::MakeLhaFiles({{"kol_uma.kd2", "horse"}}));
    dir.Write("other.exe", "MZ not an archive");
    dir.Write("data.bin", test::MakeLhaFiles({{"kol_uma.kd2", "horse"}}));
    EXPECT_EQ(DetectArchiverType(Utf8Text(dir / "sfx.exe"), true), atLha);
    EXPECT_EQ(DetectArchiverType(Utf8Text(dir / "other.exe"), true), atNone);
    EXPECT_EQ(DetectArchiverType(Utf8Text(dir / "data.bin"), false), atLha);
    EXPECT_EQ(DetectArchiverType(Utf8Text(dir / "data.bin"), true), atNone);
    EXPECT_TRUE(IsLhaArchive(Utf8Text(dir / "data.bin")));
    EXPECT_FALSE(IsLhaArchive(Utf8Text(dir / "other.exe")));
}

TEST(TArchiveFile, PropertiesOfANewComponentAndTheirSetters)
{
    TArchiveFile file;
    EXPECT_TRUE(IsUnset(file.FileName()));
    EXPECT_EQ(file.OutputSize(), 0);
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);
    EXPECT_EQ(file.Archiver(), nullptr);

    file.SetOutputSize(8192);
    EXPECT_EQ(file.OutputSize(), 8192);
    EXPECT_EQ(file.OutputText(), "");
    file.SetOutputSize(0);
    EXPECT_EQ(file.OutputSize(), 0);

    // An unknown extension keeps type and archiver as they are.
    file.SetFileName("race.dat");
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);
    EXPECT_EQ(file.Archiver(), nullptr);
    EXPECT_EQ(file.FileName(), "race.dat");
    file.SetFileName("RACE.LZH");
    EXPECT_EQ(file.ArchiverType(), atLha);
    TArchiver* lha = file.Archiver();
    ASSERT_NE(lha, nullptr);
    file.SetFileName("race.txt");
    EXPECT_EQ(file.ArchiverType(), atLha);
    EXPECT_EQ(file.Archiver(), lha);
    // Setting atLha again makes a fresh archiver.
    file.SetArchiverType(atLha);
    EXPECT_NE(file.Archiver(), lha);
    EXPECT_NE(file.Archiver(), nullptr);

    // Another format's extension raises its library message and stores nothing.
    EXPECT_EQ(MessageOf([&] { file.SetFileName("race.zip"); }),
              "Zip 形式書庫を扱うには UNZIP32.DLL が 必要です。"_sj);
    EXPECT_EQ(file.FileName(), "race.txt");
    EXPECT_EQ(file.ArchiverType(), atLha);

    file.SetArchiverType(atNone);
    EXPECT_EQ(file.ArchiverType(), atLha);
    file.SetArchiverType(atAutoDetect);
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);
    EXPECT_NE(file.Archiver(), nullptr);
    EXPECT_EQ(MessageOf([&] { file.SetArchiverType(static_cast<TArchiverType>(13)); }),
              "書庫の形式を特定できませんでした。"_sj);

    TArchiverOptions options;
    options.c = 1;
    options.jx = {"x"};
    file.SetOptions(options);
    EXPECT_EQ(file.Options().c, 1);
    EXPECT_EQ(file.Options().jx, options.jx);
}

TEST(TArchiveFile, OpenArchiveDetectsByContentOrRaises)
{
    test::TempDir dir;
    dir.Write("race.bin", test::MakeLhaFiles({{"kol_den1.kd2", "race"}}));
    dir.Write("text.bin", "no archive");

    TArchiveFile file;
    file.SetFileName(Utf8Text(dir / "race.bin"));
    EXPECT_EQ(file.OpenArchive(0x800000), 0);
    EXPECT_EQ(file.ArchiverType(), atLha);
    EntryInfo info;
    ASSERT_EQ(file.FindFirst("*.*", info), 0);
    EXPECT_EQ(info.fileName, "kol_den1.kd2");
    EXPECT_NE(file.FindNext(info), 0);
    file.CloseArchive();
    EXPECT_EQ(file.Handle(), 0u);

    TArchiveFile unknown;
    unknown.SetFileName(Utf8Text(dir / "text.bin"));
    const std::string cannotDetect = "書庫の形式を判別できません。"_sj;
    EXPECT_EQ(MessageOf([&] { unknown.OpenArchive(0x800000); }), cannotDetect);
    EXPECT_EQ(MessageOf([&] { unknown.Extract(nullptr, {}, Utf8Text(dir.path())); }), cannotDetect);

    // An LHA name that is no archive: no handle, and the listing finds nothing.
    dir.Write("bad.lzh", "no archive");
    TArchiveFile bad;
    bad.SetFileName(Utf8Text(dir / "bad.lzh"));
    EXPECT_EQ(bad.OpenArchive(0x800000), 1);
    EXPECT_NE(bad.FindFirst("*.*", info), 0);
}

TEST(TArchiveFile, ExtractKeepsTheCommandLineAndOutputAlsoWhenTheHandlerThrows)
{
    test::TempDir dir;
    dir.Write("a.lzh", test::MakeLhaFiles({{"one.txt", "1"}}));
    TArchiveFile file;
    file.SetFileName(Utf8Text(dir / "a.lzh"));
    file.SetOutputSize(100);
    file.SetOnProgress([](TArchiveFile&, int, const ExtractingInfoEx*, bool&) {
        throw std::runtime_error("handler failed");
    });
    EXPECT_THROW(file.Extract(nullptr, {}, Utf8Text(dir / "out")), std::runtime_error);
    EXPECT_EQ(file.CommandLine().substr(0, 8), "x -+ -n1");
    EXPECT_EQ(file.Archiver()->OwnerWindow(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "one.txt"));

    // Options given to the call replace the component's own for that call.
    file.SetOnProgress({});
    TArchiverOptions own;
    own.c = 1;
    EXPECT_EQ(file.Extract(&own, {}, Utf8Text(dir / "out")), 0);
    EXPECT_EQ(file.CommandLine().substr(0, 8), "x -+ -c1");
    EXPECT_EQ(test::ReadFile(dir / "out" / "one.txt"), "1");
}

} // namespace
} // namespace furlox::archive
