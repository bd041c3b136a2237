// What the command line prints from the data reaches a terminal or a pipe with every control
// byte escaped, messages end their lines with LF alone, and an export never replaces a file
// the user made read-only.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/Encoding.h"
#include "kol/KolRecords.h"
#include "kol/WorkDir.h"
#include "output/SmallDay.h"
#include "support/KolBuilder.h"
#include "support/System.h"
#include "support/TempDir.h"

using namespace furlox;
using furlox::test::CommandResult;
using furlox::test::Stderr;
using furlox::test::TempDir;
namespace fs = std::filesystem;

namespace {

CommandResult Cli(const TempDir& dir, const std::vector<std::string>& args,
                  Stderr stderrTo = Stderr::Keep)
{
    return test::RunCliIn(dir.path(), args, stderrTo);
}

// A control byte that would reach the terminal: C0 but the line ends and tabs of the output's
// own layout, DEL, and the C1 characters of UTF-8.
bool HasRawControls(const std::string& out)
{
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        const auto next = i + 1 < out.size() ? static_cast<unsigned char>(out[i + 1]) : 0;
        if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F ||
            (c == 0xC2 && next >= 0x80 && next <= 0x9F)) {
            return true;
        }
    }
    return false;
}

// A day whose first race is named with a terminal's title sequence, a bell, a backspace, a
// DEL and a NUL, whose first runner's name clears the screen, and whose second race fails
// with a head count that is such bytes too. (Each after a first character: names are trimmed
// of blanks and control bytes at their ends.)
void WriteHostileDay(const TempDir& dir)
{
    test::KolBuilder b;
    test::Race& first = b.AddRace();
    first.line.SetRaw(kol::race::kRaceName, std::string("R\x1B]0;owned\x07\x08\x7F\0X", 15));
    b.AddRunner().SetEntry(kol::entry::kHorseName, "テ\x1B[2Jスト");
    b.AddRunner();
    test::Race& second = b.AddRace();
    second.line.SetRaw(kol::race::kRaceName, "R\x1B]2;bad\x07");
    second.headCount = "\x1B[";
    b.WriteFiles(dir.path());
}

} // namespace

TEST(CliTerminal, ControlBytesOfTheDataNeverReachTheTerminal)
{
    TempDir dir;
    WriteHostileDay(dir);

    const CommandResult races = Cli(dir, {"races"}, Stderr::Merge);
    EXPECT_EQ(races.exitCode, 0);
    EXPECT_FALSE(HasRawControls(races.out)) << races.out;
    EXPECT_NE(races.out.find("\\x1B]0;owned\\x07\\x08\\x7F\\x00X"), std::string::npos) << races.out;

    const CommandResult show = Cli(dir, {"show", "0"}, Stderr::Merge);
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_FALSE(HasRawControls(show.out)) << show.out;
    EXPECT_NE(show.out.find("テ\\x1B[2Jスト"), std::string::npos) << show.out;

    const CommandResult json = Cli(dir, {"show", "--json", "0"}, Stderr::Merge);
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_FALSE(HasRawControls(json.out)) << json.out;
    EXPECT_NE(json.out.find("\\u001B]0;owned\\u0007"), std::string::npos) << json.out;

    // The messages that quote the failing race's caption and head count.
    const std::string out = Utf8Text(dir / "out");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"text", "-o", out, "--all"},
          std::vector<std::string>{"plot", "-o", out}, std::vector<std::string>{"csv", "-o", out},
          std::vector<std::string>{"show", "1"}}) {
        SCOPED_TRACE(args.front());
        const CommandResult failed = Cli(dir, args, Stderr::Capture);
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_FALSE(HasRawControls(failed.out)) << failed.out;
        EXPECT_NE(failed.out.find("\\x1B"), std::string::npos) << failed.out;
    }

    // The files keep the data's bytes.
    ASSERT_EQ(Cli(dir, {"text", "-o", out, "--race", "0"}).exitCode, 0);
    EXPECT_NE(dir.Read("out").find("\x1B]0;owned\x07"), std::string::npos);
}

TEST(CliTerminal, MessagesEndTheirLinesWithLineFeedsOnly)
{
    TempDir dir;
    test::SmallDay().WriteFiles(dir.path());
    fs::remove(dir / "kol_den2.kd2");
    fs::create_directory(dir / "kol_den2.kd2");
    const CommandResult folder = Cli(dir, {"races"}, Stderr::Merge);
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_NE(folder.out.find("フォルダになっているため、読み込めません。\n"), std::string::npos)
        << folder.out;
    EXPECT_EQ(folder.out.find('\r'), std::string::npos);

    TempDir busy;
    test::SmallDay().WriteFiles(busy.path());
    const auto lock = kol::LockWorkDir(busy.path());
    ASSERT_NE(lock, nullptr);
    const CommandResult locked = Cli(busy, {"races"}, Stderr::Merge);
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_NE(locked.out.find("別の書庫の展開が実行中です"), std::string::npos) << locked.out;
    EXPECT_EQ(locked.out.find('\r'), std::string::npos);
}

// A file made read-only is never replaced, and an HTML export whose page cannot be written
// leaves Head.dat as it was.
TEST(CliExports, AReadOnlyOrUnwritableTargetChangesNothing)
{
    TempDir dir;
    test::SmallDay().WriteFiles(dir.path());
    dir.Write("out.txt", "kept");
    dir.Write("Head.dat", "the earlier head");
    const fs::path target = dir / "out.txt";
    fs::permissions(target,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"text", "-o", Utf8Text(target), "--all"},
          std::vector<std::string>{"plot", "-o", Utf8Text(target)},
          std::vector<std::string>{"html", "-o", Utf8Text(target), "--race", "0"}}) {
        SCOPED_TRACE(args.front());
        const CommandResult r = Cli(dir, args, Stderr::Merge);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.out.find("読み取り専用"), std::string::npos) << r.out;
        EXPECT_EQ(dir.Read("out.txt"), "kept");
        EXPECT_EQ(dir.Read("Head.dat"), "the earlier head");
    }
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);

    const CommandResult missing = Cli(
        dir, {"html", "-o", Utf8Text(dir / "none" / "page.html"), "--race", "0"}, Stderr::Merge);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.out.find("Cannot Create file"), std::string::npos) << missing.out;
    EXPECT_EQ(dir.Read("Head.dat"), "the earlier head");
}
