#include <gtest/gtest.h>

#include "support/KolBuilder.h"
#include "support/System.h"
#include "support/TempDir.h"

using furlox::test::CommandResult;
using furlox::test::KolBuilder;
using furlox::test::Stderr;
using furlox::test::TempDir;

namespace {

CommandResult Show(const TempDir& dir, std::vector<std::string> args,
                   Stderr stderrTo = Stderr::Keep)
{
    args.insert(args.begin(), "show");
    return furlox::test::RunCliIn(dir.path(), args, stderrTo);
}

// One race: runner 1 rated twice (◎), runner 2 once (○), runner 3 never; bets 枠連 1-2.
void WriteThreeRunners(const TempDir& dir)
{
    KolBuilder b;
    b.AddRace();
    b.AddRunner().Figures({96, 100});
    b.AddRunner().Figures({90});
    b.AddRunner();
    b.WriteFiles(dir.path());
}

} // namespace

TEST(CliShow, PrintsTitlesGridAndBets)
{
    TempDir dir;
    WriteThreeRunners(dir);

    const auto result = Show(dir, {"0"});
    ASSERT_EQ(result.exitCode, 0);
    const std::string expected =
        "2001/05/27(日) 発走15:40 03頭\n"
        "東京11R サラ3歳以上 1000万 別定 テスト特別 芝1600M\n"
        "\n"
        "枠 馬      馬　　名      斤量  騎手  5前 4前 3前 2前 1前 総合 印\n"
        "1   1 テストホース01     55.0 騎手     *   *   * 100  96 98.0 ◎\n"
        "2   2 テストホース02     55.0 騎手     *   *   *   *  90 90.0 ○\n"
        "3   3 テストホース03     55.0 騎手     *   *   *   *   *    *\n"
        "\n"
        "単勝：\n"
        " 1\n"
        "\n"
        "枠連：\n"
        " 1- 2\n"
        "\n"
        "勝負度： B\n";
    EXPECT_EQ(result.out, expected);
}

TEST(CliShow, Errors)
{
    TempDir dir;
    // No race day in the work directory.
    auto none = Show(dir, {"0"}, Stderr::Merge);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.out.find("レースデータ"), std::string::npos) << none.out;

    KolBuilder b;
    b.AddRace();
    b.AddRunner().Figures({90}).SetEntry(furlox::kol::entry::kWeightCarried, "5X0");
    b.WriteFiles(dir.path());
    auto bad = Show(dir, {"0"}, Stderr::Merge);
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.out.find("'5X0' は整数ではありません"), std::string::npos) << bad.out;

    auto missing = Show(dir, {"1"}, Stderr::Merge);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.out.find("レース 1 はありません。"), std::string::npos) << missing.out;

    EXPECT_EQ(Show(dir, {}, Stderr::Discard).exitCode, 2);
    EXPECT_EQ(Show(dir, {"x"}, Stderr::Discard).exitCode, 2);
    EXPECT_EQ(Show(dir, {"0", "1"}, Stderr::Discard).exitCode, 2);
}

TEST(CliShow, JsonHoldsTitlesGridMarksBetsAndGrade)
{
    TempDir dir;
    WriteThreeRunners(dir);

    const auto result = Show(dir, {"--json", "0"});
    ASSERT_EQ(result.exitCode, 0);
    const std::string expected =
        "{\"race\": 0, "
        "\"titleLines\": [\"2001/05/27(日) 発走15:40 03頭\", "
        "\"東京11R サラ3歳以上 1000万 別定 テスト特別 芝1600M\", \"\", "
        "\"単勝： 1  枠連： 1-2   勝負度： B\", \"\"], "
        "\"header\": [\"枠\", \"馬\", \"馬　　名\", \"斤量\", \"騎手\", \"5前\", \"4前\", \"3前\", "
        "\"2前\", \"1前\", \"総合\", \"印\"], "
        "\"rows\": ["
        "[\"1\", \"1\", \"テストホース01\", \"55.0\", \"騎手\", \"*\", \"*\", \"*\", \"100\", "
        "\"96\", \"98.0\", \"◎\"], "
        "[\"2\", \"2\", \"テストホース02\", \"55.0\", \"騎手\", \"*\", \"*\", \"*\", \"*\", "
        "\"90\", \"90.0\", \"○\"], "
        "[\"3\", \"3\", \"テストホース03\", \"55.0\", \"騎手\", \"*\", \"*\", \"*\", \"*\", "
        "\"*\", \"*\", \"\"]], "
        "\"marks\": [{\"horse\": 1, \"mark\": \"◎\"}, {\"horse\": 2, \"mark\": \"○\"}], "
        "\"bets\": {\"line\": \"単勝： 1  枠連： 1-2   勝負度： B\", \"win\": 1, "
        "\"combinations\": [\"1- 2\"]}, "
        "\"grade\": \"B\"}\n";
    EXPECT_EQ(result.out, expected);

    // Without bets: no win, no grade.
    TempDir none;
    KolBuilder c;
    c.AddRace();
    c.AddRunner();
    c.AddRunner();
    c.WriteFiles(none.path());
    const auto noBets = Show(none, {"0", "--json"});
    ASSERT_EQ(noBets.exitCode, 0);
    EXPECT_NE(noBets.out.find("\"win\": null, \"combinations\": []}, \"grade\": null}"),
              std::string::npos)
        << noBets.out;
    EXPECT_NE(noBets.out.find("\"marks\": []"), std::string::npos) << noBets.out;
}
