#include <gtest/gtest.h>

#include "archive/ARCHIVES.h"
#include "archive/ArchiverOptions.h"
#include "archive/CmdOpt.h"
#include "base/Encoding.h"
#include "support/TempDir.h"

namespace furlox::archive {
namespace {

TEST(ArchiverOptions, NewAndResetOptionsHoldTheResetValues)
{
    TArchiverOptions options;
    EXPECT_EQ(options.mz, -1);
    EXPECT_EQ(options.c, -1);
    EXPECT_EQ(options.jwe, -1);
    EXPECT_EQ(options.gw, -1);
    EXPECT_TRUE(IsUnset(options.w));
    EXPECT_TRUE(IsUnset(options.job));
    EXPECT_TRUE(IsUnset(options.gr));
    EXPECT_EQ(options.w.size(), 1u); // one NUL character, distinct from the empty string
    EXPECT_FALSE(IsUnset(""));
    EXPECT_TRUE(options.jx.empty());
    EXPECT_EQ(options.PackFilter, pfComponent);
    EXPECT_EQ(options.ResFileUsage.Bits(), 0b0111); // pack, unpack, remove
    EXPECT_FALSE(options.ResFileUsage.Contains(ruOnUpdate));

    options.c = 1;
    options.w = "C:\\";
    options.jx = {"a"};
    options.UserOptions = "-x";
    options.ResFileUsage = {};
    options.Reset();
    EXPECT_EQ(options.c, -1);
    EXPECT_TRUE(IsUnset(options.w));
    EXPECT_TRUE(options.jx.empty());
    EXPECT_TRUE(options.UserOptions.empty());
    EXPECT_TRUE(options.ResFileUsage.Contains(ruOnUnpack));
}

TEST(CmdOpt, SwitchesAndFlags)
{
    TCmdOpt cmd;
    cmd.AddSwitch("a", -1);
    EXPECT_EQ(cmd.CommandText(), "");
    cmd.AddSwitch("a", 0);
    cmd.AddSwitch("c", 1);
    cmd.AddFlag("r", false);
    cmd.AddFlag("r", true);
    cmd.AddRaw("");
    EXPECT_EQ(cmd.CommandText(), " -a0 -c1 -r ");
}

TEST(CmdOpt, StringQuotingRules)
{
    TCmdOpt cmd;
    cmd.AddString("jo", UnsetText());
    EXPECT_EQ(cmd.CommandText(), "");
    cmd.AddString("jo", "");
    EXPECT_EQ(cmd.CommandText(), " \"-jo\"");

    TCmdOpt named;
    named.AddString("w", "C:\\DATA\\");
    named.AddString("", "a b.lzh");
    named.AddString(" --x", "v");
    EXPECT_EQ(named.CommandText(), " \"-wC:\\DATA\\\" \"a b.lzh\" \"--xv\"");

    TCmdOpt separate;
    separate.SetSeparateValue(true);
    separate.AddString("f", "a.tar");
    separate.AddString(" --use", "x");
    separate.AddString("", "plain");
    EXPECT_EQ(separate.CommandText(), " -f \"a.tar\" --use \"x\" \"plain\"");
}

TEST(CmdOpt, DirectoryGetsOneBackslashCountingWholeCharacters)
{
    TCmdOpt cmd;
    cmd.AddDirectory("", "C:\\DATA");
    cmd.AddDirectory("", "C:\\DATA\\");
    cmd.AddDirectory("", "");
    cmd.AddDirectory("", UnsetText());
    EXPECT_EQ(cmd.CommandText(), " \"C:\\DATA\\\" \"C:\\DATA\\\"");

    // 表 is 0x95 0x5C: its second byte is no backslash, so one is added.
    const std::string hyou = ToCp932("表");
    ASSERT_EQ(hyou, "\x95\x5C");
    TCmdOpt dbcs;
    dbcs.AddDirectory("", "C:\\" + hyou);
    EXPECT_EQ(dbcs.CommandText(), " \"C:\\" + hyou + "\\\"");
    TCmdOpt dbcsSlash;
    dbcsSlash.AddDirectory("w", "C:\\" + hyou + "\\");
    EXPECT_EQ(dbcsSlash.CommandText(), " \"-wC:\\" + hyou + "\\\"");
}

TEST(CmdOpt, FilesMixSingleNamesAndGroupsThroughTheConverter)
{
    TCmdOpt cmd;
    cmd.SetNameConverter([](const std::string& name) { return "<" + name + ">"; });
    cmd.AddFiles("", FileList{std::string("a"), std::vector<std::string>{},
                              std::vector<std::string>{"b", "c"}, std::string("d")});
    EXPECT_EQ(cmd.CommandText(), " \"<a>\" \"<b>\" \"<c>\" \"<d>\"");
}

TEST(CmdOpt, ResponseFileHoldsQuotedNamesAndIsNamedWithAnAt)
{
    test::TempDir dir;
    const std::string path = Utf8Text(dir / "files.lst");
    dir.Write("files.lst", "old content that must go");
    TCmdOpt cmd;
    cmd.AddResponseFile(FileList{std::string("kol_den1.kd2"), std::vector<std::string>{"a b"}},
                        path);
    EXPECT_EQ(cmd.CommandText(), " \"@" + path + "\"");
    EXPECT_EQ(dir.Read("files.lst"), "\"kol_den1.kd2\"\r\n\"a b\"\r\n");

    TCmdOpt failing;
    EXPECT_THROW(failing.AddResponseFile({std::string("x")}, Utf8Text(dir / "no/such/dir/l")),
                 Error);
}

TEST(BuildCommandLine, EverySwitchInTheLibrarysOrder)
{
    TArchiverOptions o;
    int v = 1;
    for (TArchiverOptions::Switch* s :
         {&o.a,   &o.c,   &o.e,   &o.f,   &o.h,   &o.i,   &o.l,  &o.m,  &o.n,   &o.o,
          &o.p,   &o.r,   &o.s,   &o.t,   &o.u,   &o.x,   &o.y,  &o.z,  &o.jc,  &o.jd,
          &o.je,  &o.jf,  &o.jh,  &o.ji,  &o.jm,  &o.jn,  &o.jp, &o.jr, &o.jss, &o.jw,
          &o.jwe, &o.jyc, &o.jyd, &o.jyk, &o.jyn, &o.jyo, &o.ga, &o.gd, &o.ge,  &o.gf,
          &o.gj,  &o.gm,  &o.gn,  &o.go,  &o.gp,  &o.gs,  &o.gu, &o.gw}) {
        *s = static_cast<TArchiverOptions::Switch>(v++);
    }
    o.mz = 99; // not an LHA switch
    o.w = "W";
    o.jo = "O";
    o.job = "B";
    o.jx = {"X1", "X2"};
    o.jz = "Z";
    o.gr = "R";
    o.UserOptions = "-uo";
    o.UserFileList = "ufl";
    TLha32 lha;
    const std::string line = lha.BuildCommandLine(
        "u", "arc.lzh", false, FileList{std::string("f1"), std::string("f2")}, "D", o);
    EXPECT_EQ(line,
              "u -+ -a1 -c2 -e3 -f4 -h5 -i6 -l7 -m8 -n9 -o10 -p11 -r12 -s13 -t14 -u15 \"-wW\\\" "
              "-x16 -y17 -z18 -jc19 -jd20 -je21 -jf22 -jh23 -ji24 -jm25 -jn26 \"-joO\" \"-jobB\" "
              "-jp27 -jr28 -jss29 -jw30 -jwe31 \"-jxX1\" \"-jxX2\" -jyc32 -jyd33 -jyk34 -jyn35 "
              "-jyo36 \"-jzZ\" -ga37 -gd38 -ge39 -gf40 -gj41 -gm42 -gn43 -go44 -gp45 \"-grR\" "
              "-gs46 -gu47 -gw48 -uo \"arc.lzh\" \"D\\\" \"f1\" \"f2\" ufl");
    EXPECT_EQ(lha.CommandLine(), line);
}

TEST(BuildCommandLine, ResponseFileOnlyWhenAskedAndNamed)
{
    test::TempDir dir;
    TArchiverOptions o;
    TLha32 lha;
    const FileList files{std::string("a.txt")};
    EXPECT_EQ(lha.BuildCommandLine("x", "a.lzh", true, files, "", o),
              "x -+  \"a.lzh\" \"a.txt\" "); // no response file name: files inline
    o.ResFileName = Utf8Text(dir / "r.lst");
    EXPECT_EQ(lha.BuildCommandLine("x", "a.lzh", false, files, "", o),
              "x -+  \"a.lzh\" \"a.txt\" ");
    EXPECT_EQ(lha.BuildCommandLine("x", "a.lzh", true, files, "", o),
              "x -+  \"a.lzh\" \"@" + o.ResFileName + "\" ");
    EXPECT_EQ(dir.Read("r.lst"), "\"a.txt\"\r\n");
}

TEST(BuildCommandLine, TheArchiveOpeningsExtraction)
{
    test::TempDir dir;
    const std::string archivePath = Utf8Text(dir / "race.lzh");
    TArchiveFile file;
    file.SetFileName(archivePath);
    file.Options().c = 1;
    file.SetOutputSize(8192);
    file.SetArchiverType(atLha);
    file.Options().n = 1;
    file.Extract(nullptr, {}, "/work/dir");
    EXPECT_EQ(file.CommandLine(), "x -+ -c1 -n1  \"" + archivePath + "\" \"/work/dir\\\" ");

    // A registered progress receiver forces -n1, whatever the option holds.
    file.Options().n = 0;
    file.Extract(nullptr, {}, "/work/dir");
    EXPECT_EQ(file.CommandLine(), "x -+ -c1 -n0  \"" + archivePath + "\" \"/work/dir\\\" ");
    file.SetOnProgress([](TArchiveFile&, int, const ExtractingInfoEx*, bool&) {});
    file.Extract(nullptr, {}, "/work/dir");
    EXPECT_EQ(file.CommandLine(), "x -+ -c1 -n1  \"" + archivePath + "\" \"/work/dir\\\" ");
    // ... and only while the extraction runs.
    EXPECT_EQ(file.Archiver()->OwnerWindow(), nullptr);
}

} // namespace
} // namespace furlox::archive
