#include <gtest/gtest.h>

#include "base/Encoding.h"
#include "kol/KolRecords.h"
#include "output/SmallDay.h"
#include "support/KolBuilder.h"
#include "support/System.h"
#include "support/TempDir.h"

using furlox::Utf8Text;
using furlox::test::KolBuilder;
using furlox::test::RunCliIn;
using furlox::test::Stderr;
using furlox::test::TempDir;

TEST(CliCsv, WritesTheDayInEitherEncoding)
{
    TempDir dir;
    furlox::test::SmallDay().WriteFiles(dir.path());
    const std::string out = Utf8Text(dir / "day.csv");
    ASSERT_EQ(RunCliIn(dir.path(), {"csv", "-o", out}).exitCode, 0);
    const std::string utf8 = furlox::test::ReadFile(dir / "day.csv");
    EXPECT_EQ(utf8.rfind("\xEF\xBB\xBF日付,場,R,", 0), 0u);

    ASSERT_EQ(RunCliIn(dir.path(), {"csv", "--encoding", "cp932", "-o", out}).exitCode, 0);
    const std::string sjis = furlox::test::ReadFile(dir / "day.csv");
    EXPECT_EQ("\xEF\xBB\xBF" + furlox::ToUtf8(sjis), utf8);

    EXPECT_EQ(RunCliIn(dir.path(), {"csv"}, Stderr::Discard).exitCode, 2);
    EXPECT_EQ(RunCliIn(dir.path(), {"csv", "-o", "x.csv", "--encoding", "latin1"}, Stderr::Discard)
                  .exitCode,
              2);
}

TEST(CliCsv, AFailingRaceIsNamedAndTheRestWritten)
{
    TempDir dir;
    KolBuilder b = furlox::test::SmallDay();
    b.race(1).runners[0].SetEntry(furlox::kol::entry::kWeightCarried, "5X0");
    b.WriteFiles(dir.path());
    const auto result =
        RunCliIn(dir.path(), {"csv", "-o", Utf8Text(dir / "day.csv")}, Stderr::Merge);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("2番目のレース「東京12R"), std::string::npos) << result.out;
    const std::string csv = furlox::test::ReadFile(dir / "day.csv");
    // The header and the runners of the two other races, whole.
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 3 + 9);
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");
}

TEST(CliCsv, AnUnwritableTargetLeavesNothingBehind)
{
    TempDir dir;
    furlox::test::SmallDay().WriteFiles(dir.path());
    const std::filesystem::path target = dir / "missing" / "day.csv";
    const auto result = RunCliIn(dir.path(), {"csv", "-o", Utf8Text(target)}, Stderr::Merge);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("を作成できません"), std::string::npos) << result.out;
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}
