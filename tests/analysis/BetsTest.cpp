#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "analysis/FxValue.h"
#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolRecords.h"
#include "support/KolBuilder.h"

using namespace furlox;
using furlox::test::KolBuilder;
using furlox::test::Race;
namespace rc = furlox::kol::race;

namespace {

std::string S(std::string_view utf8)
{
    return ToCp932(utf8);
}

// A race of `runners` runners in which the horses of `ranked` (best first) have a figure and
// the others have none.
AnalysedRace Analyse(int runners, const std::vector<int>& ranked,
                     const std::function<void(Race&)>& setup = nullptr)
{
    KolBuilder b;
    Race& race = b.AddRace();
    for (int h = 1; h <= runners; ++h) {
        race.AddRunner();
    }
    int figure = 120;
    for (int h : ranked) {
        race.runners[static_cast<std::size_t>(h - 1)].Figures({figure--});
    }
    if (setup) {
        setup(race);
    }
    return AnalyseRace(b.Build(), 0);
}

// The grade of a race record built from the defaults with some fields changed.
std::string Grade(std::initializer_list<std::pair<kol::FieldPos, const char*>> fields)
{
    KolBuilder b;
    Race& race = b.AddRace();
    race.headCount = "16";
    for (const auto& [pos, value] : fields) {
        if (pos.pos == rc::kHeadCount.pos) {
            race.headCount = value;
        } else {
            race.Set(pos, value);
        }
    }
    return ConfidenceText(RaceConfidence(b.Build().races[0]));
}

} // namespace

TEST(Bets, SixteenRunnerExample)
{
    // 14 of 16 rated; ◎ 5, ○ 12, ▲ 3, △ 9, × 1, 15, 7. The default race grades B.
    const AnalysedRace race = Analyse(16, {5, 12, 3, 9, 1, 15, 7, 2, 4, 6, 8, 10, 14, 16});
    ASSERT_EQ(race.ratedCount, 14);
    EXPECT_EQ(race.markTable, (std::array<int, 7>{5, 12, 3, 9, 1, 15, 7}));
    EXPECT_TRUE(race.bets.made);
    EXPECT_EQ(race.bets.combinationCount, 6);
    EXPECT_EQ(BetTexts(race.bets),
              (std::array<std::string, 6>{" 5-12", " 3- 5", " 5- 9", " 1- 5", " 5-15", " 5- 7"}));
    EXPECT_EQ(BetsLabel(race.bets),
              S("単勝：\r\n 5\r\n\r\n馬連：\r\n 5-12\r\n 3- 5\r\n 5- 9\r\n 1- 5\r\n"
                " 5-15\r\n 5- 7\r\n"));
    const std::string line = S("単勝： 5  馬連： 5-12 3-5 5-9 1-5 5-15 5-7   勝負度： B");
    EXPECT_EQ(BetsLine(race.bets), line);
    EXPECT_EQ(ConfidenceText(race.bets.confidence), "B");
    EXPECT_EQ(GradePicture(race.bets), 'B');
    ASSERT_EQ(PrintTitleLines(race).size(), 5u);
    EXPECT_EQ(PrintTitleLines(race)[3], line);
    EXPECT_EQ(PrintTitleLines(race)[4], "");
}

TEST(Bets, DataSufficiency)
{
    const AnalysedRace none = Analyse(15, {1, 2, 3, 4, 5, 6, 7});
    EXPECT_FALSE(none.bets.made);
    EXPECT_EQ(BetsLabel(none.bets),
              S("データ充足率が\r\n規定に満たない\r\nため推奨馬券は\r\nありません。"));
    EXPECT_EQ(BetsLabel(none.bets).substr(0, 2), S("デ")); // how the batch export spots it
    const std::string noBets = S("データ充足率が規定に満たないため推奨馬券はありません。");
    EXPECT_EQ(BetsLine(none.bets), noBets);
    EXPECT_EQ(NoBetsLine(), noBets);
    EXPECT_EQ(PrintTitleLines(none)[3], noBets);
    EXPECT_EQ(GradePicture(none.bets), 'D');
    EXPECT_EQ(ConfidenceText(none.bets.confidence), "");
    EXPECT_EQ(none.bets.combinationCount, 0);
    EXPECT_EQ(BetTexts(none.bets), (std::array<std::string, 6>{}));

    EXPECT_TRUE(Analyse(15, {1, 2, 3, 4, 5, 6, 7, 8}).bets.made);
    EXPECT_FALSE(Analyse(16, {1, 2, 3, 4, 5, 6, 7}).bets.made);
    EXPECT_TRUE(Analyse(16, {1, 2, 3, 4, 5, 6, 7, 8}).bets.made);
    EXPECT_FALSE(Analyse(9, {1, 2, 3, 4}).bets.made);
    EXPECT_TRUE(Analyse(9, {1, 2, 3, 4, 5}).bets.made);
    EXPECT_FALSE(Analyse(1, {}).bets.made);

    // One of two rated: a win bet only, with an empty list under the bet type.
    const AnalysedRace single = Analyse(2, {2});
    EXPECT_TRUE(single.bets.made);
    EXPECT_EQ(single.bets.combinationCount, 0);
    EXPECT_EQ(BetsLabel(single.bets), S("単勝：\r\n 2\r\n\r\n枠連：\r\n"));
    EXPECT_EQ(BetsLine(single.bets).substr(0, BetsLine(single.bets).find(S("勝負度"))),
              S("単勝： 2  枠連：   "));
}

TEST(Bets, CombinationsAndBetType)
{
    EXPECT_EQ(Analyse(12, {4, 7, 2, 9, 10, 11}).bets.combinationCount, 5);
    EXPECT_EQ(Analyse(16, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}).bets.combinationCount, 6);

    const AnalysedRace rated3 = Analyse(4, {4, 1, 3});
    EXPECT_EQ(rated3.bets.combinationCount, 2);
    EXPECT_EQ(BetTexts(rated3.bets),
              (std::array<std::string, 6>{" 1- 4", " 3- 4", "", "", "", ""}));

    // Eight runners bet by bracket, nine by horse; both are written with horse numbers.
    const AnalysedRace eight = Analyse(8, {8, 1, 2, 3});
    EXPECT_NE(BetsLine(eight.bets).find(S("  枠連： 1-8 2-8 3-8   勝負度：")), std::string::npos);
    EXPECT_NE(BetsLabel(eight.bets).find(S("枠連：\r\n 1- 8\r\n")), std::string::npos);
    const AnalysedRace nine = Analyse(9, {9, 1, 2, 3, 4});
    EXPECT_NE(BetsLine(nine.bets).find(S("  馬連： 1-9 2-9 3-9 4-9   勝負度：")),
              std::string::npos);

    // ◎ with the higher number: the pair is written low first.
    const AnalysedRace high = Analyse(12, {12, 3, 5, 6, 7, 8});
    EXPECT_EQ(BetTexts(high.bets)[0], " 3-12");
    EXPECT_EQ(BetsLine(high.bets).substr(0, S("単勝： 12  馬連： 3-12 ").size()),
              S("単勝： 12  馬連： 3-12 "));
}

TEST(Bets, ConfidenceScoring)
{
    // Neutral defaults: race 11, 1000万 (-1), 1600 m, サラ3歳以上 (+1), 別定, 16 runners.
    EXPECT_EQ(Grade({}), "B");

    // G1 サラ3歳以上 定量 2400 m, 18 runners, race 11: -1 +1 +1 = +1.
    EXPECT_EQ(Grade({{rc::kGradeCode, "0"},
                     {rc::kClassCode, "00004"},
                     {rc::kWeightTermsCode, "03"},
                     {rc::kDistance, "2400"},
                     {rc::kHeadCount, "18"}}),
              "A");
    // 1600万 ハンデ サラ4歳以上 1800 m, 8 runners, race 09: -4.
    EXPECT_EQ(Grade({{rc::kClassCode, "16000"},
                     {rc::kWeightTermsCode, "02"},
                     {rc::kRaceKindCode, "4"},
                     {rc::kDistance, "1800"},
                     {rc::kHeadCount, "08"},
                     {rc::kRaceNumber, "09"}}),
              "C");

    // Race 01 is never A: +2 becomes 0; a low score stays.
    const std::pair<kol::FieldPos, const char*> plusTwo[] = {
        {rc::kGradeCode, "0"}, {rc::kClassCode, "00004"}, {rc::kRaceNumber, "04"}};
    EXPECT_EQ(Grade({plusTwo[0], plusTwo[1], plusTwo[2]}), "A");
    EXPECT_EQ(Grade({plusTwo[0], plusTwo[1], {rc::kRaceNumber, "01"}}), "B");
    EXPECT_EQ(Grade({{rc::kRaceNumber, "01"}, {rc::kRaceKindCode, "1"}, {rc::kClassCode, "00001"}}),
              "C");

    // For a サラ4歳以上 race over 2001 m (-1) the class decides between B and C.
    auto classGrade = [](const char* classCode, const char* grade, const char* distance) {
        return Grade({{rc::kRaceKindCode, "4"},
                      {rc::kClassCode, classCode},
                      {rc::kGradeCode, grade},
                      {rc::kDistance, distance}});
    };
    EXPECT_EQ(classGrade("16000", " ", "2001"), "C");
    EXPECT_EQ(classGrade("15000", " ", "2001"), "B");
    EXPECT_EQ(classGrade("05000", " ", "2001"), "B");
    EXPECT_EQ(classGrade("09000", " ", "2001"), "C");
    EXPECT_EQ(classGrade("10000", " ", "2001"), "C");
    EXPECT_EQ(classGrade("00001", " ", "2001"), "C");
    EXPECT_EQ(classGrade("00003", " ", "2001"), "B");
    EXPECT_EQ(classGrade("16000", " ", "2000"), "B");
    // G2 and G3 are penalised; a steeplechase grade labels by its class and is not.
    EXPECT_EQ(classGrade("00004", "1", "2001"), "C");
    EXPECT_EQ(classGrade("00004", "2", "2001"), "C");
    EXPECT_EQ(classGrade("00004", "3", "2001"), "B");
    EXPECT_EQ(classGrade("00004", " ", "2001"), "B");
    EXPECT_EQ(classGrade("00004", "0", "2001"), "B"); // G1: -1 + 1

    // Race kind: サラ3歳 and サラ3歳以上 score, サラ2歳 costs, サラ4歳 does neither.
    EXPECT_EQ(Grade({{rc::kClassCode, "05000"}, {rc::kRaceKindCode, "2"}}), "A");
    EXPECT_EQ(Grade({{rc::kClassCode, "05000"}, {rc::kRaceKindCode, "B"}}), "B");
    EXPECT_EQ(Grade({{rc::kRaceKindCode, "1"}}), "C");
    // Race numbers 02, 04, 12 score; 05, 07, 08, 09 cost; 03, 06, 10 are neutral.
    EXPECT_EQ(Grade({{rc::kRaceNumber, "12"}}), "A");
    EXPECT_EQ(Grade({{rc::kRaceNumber, "07"}}), "B");
    EXPECT_EQ(Grade({{rc::kRaceNumber, "07"}, {rc::kWeightTermsCode, "02"}}), "C");
    EXPECT_EQ(Grade({{rc::kRaceNumber, "10"}, {rc::kWeightTermsCode, "02"}}), "B");
    // Nine runners are not penalised, eight are.
    EXPECT_EQ(Grade({{rc::kHeadCount, "09"}, {rc::kWeightTermsCode, "02"}}), "B");
    EXPECT_EQ(Grade({{rc::kHeadCount, "08"}, {rc::kWeightTermsCode, "02"}}), "C");
}

TEST(Bets, ConfidenceConversionsAreStrict)
{
    EXPECT_THROW(Grade({{rc::kDistance, "    "}}), ConvertError);
    EXPECT_THROW(Grade({{rc::kDistance, "2O00"}}), ConvertError);
    EXPECT_THROW(Grade({{rc::kHeadCount, "1 "}}), ConvertError);
}
