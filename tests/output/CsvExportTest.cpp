#include <gtest/gtest.h>

#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"
#include "output/CsvExport.h"
#include "output/SmallDay.h"

using namespace furlox;
using furlox::test::KolBuilder;

namespace {

using Record = std::vector<std::string>;

// A strict RFC 4180 reader: CR LF ends a record; a quoted field may hold anything.
std::vector<Record> ParseCsv(const std::string& text)
{
    std::vector<Record> records;
    Record record;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
            ++i;
        } else {
            EXPECT_NE(c, '\n') << "a bare LF at byte " << i;
            field += c;
        }
    }
    EXPECT_TRUE(field.empty() && record.empty()) << "the last record has no CR LF";
    return records;
}

std::vector<Record> Utf8Records(const DayCsv& csv)
{
    EXPECT_EQ(csv.bytes.compare(0, 3, "\xEF\xBB\xBF"), 0) << "no byte-order mark";
    return ParseCsv(csv.bytes.substr(3));
}

const Record kHeader = {"日付", "場",   "R",    "レース名", "距離",  "枠",  "馬番",
                        "馬名", "斤量", "騎手", "5前",      "4前",   "3前", "2前",
                        "1前",  "総合", "順位", "印",       "勝負度"};

// The ranking place of every runner, in horse-number order, as the CSV's 順位 column takes it.
std::vector<int> Places(const AnalysedRace& race)
{
    std::vector<int> places;
    for (const AnalysedRunner& runner : race.runners) {
        places.push_back(runner.place);
    }
    return places;
}

} // namespace

TEST(CsvExport, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("96.0"), "96.0");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
    // A CP932 trail byte is never a quote or a comma: ソ (0x83 0x5C) passes as it is.
    EXPECT_EQ(CsvField(ToCp932("ソ")), ToCp932("ソ"));
}

TEST(CsvExport, OneRowPerRunnerWithTheGridsTexts)
{
    const kol::RaceDay day = furlox::test::SmallDay().Build();
    const DayCsv csv = BuildDayCsv(day, CsvEncoding::Utf8);
    EXPECT_TRUE(csv.failures.empty());
    const std::vector<Record> records = Utf8Records(csv);
    ASSERT_EQ(records.size(), 1u + 3 + 2 + 9);
    EXPECT_EQ(records[0], kHeader);
    EXPECT_EQ(records[1], (Record{"2001/05/27", "東京", "11", "テスト特別", "芝1600", "1", "1",
                                  "テストホース01", "55.0", "騎手", "*", "*", "*", "*", "96",
                                  "96.0", "1", "◎", "B"}));
    // The unrated runner has no place; a race without bets has no grade.
    EXPECT_EQ(records[3][16], "");
    EXPECT_EQ(records[4][18], "");
    EXPECT_EQ(records[4][2], "12");

    std::size_t next = 1;
    for (int i = 0; i < day.RaceCount(); ++i) {
        const AnalysedRace race = AnalyseRace(day, i);
        for (const GridRow& row : GridRows(race)) {
            const Record& record = records.at(next++);
            ASSERT_EQ(record.size(), kHeader.size());
            for (int c = kColRun5; c <= kColTotal; ++c) {
                EXPECT_EQ(record[static_cast<std::size_t>(c + 5)], ToUtf8(kol::Trim(row[c])));
            }
            EXPECT_EQ(record[17], ToUtf8(kol::Trim(row[kColMark])));
        }
    }
}

TEST(CsvExport, BothEncodingsHoldTheSameText)
{
    const kol::RaceDay day = furlox::test::SmallDay().Build();
    const DayCsv utf8 = BuildDayCsv(day, CsvEncoding::Utf8);
    const DayCsv sjis = BuildDayCsv(day, CsvEncoding::Cp932);
    EXPECT_NE(sjis.bytes.compare(0, 3, "\xEF\xBB\xBF"), 0);
    EXPECT_EQ(sjis.bytes.compare(0, 4, ToCp932("日付")), 0);
    EXPECT_EQ("\xEF\xBB\xBF" + ToUtf8(sjis.bytes), utf8.bytes);
}

TEST(CsvExport, NamesWithCommasAndQuotesSurviveTheRoundTrip)
{
    KolBuilder b;
    b.AddRace().Set(kol::race::kRaceName, "記念,\"特別\"");
    b.AddRunner().SetEntry(kol::entry::kHorseName, "ウマ,\"A\"");
    const std::vector<Record> records = Utf8Records(BuildDayCsv(b.Build(), CsvEncoding::Utf8));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1][3], "記念,\"特別\"");
    EXPECT_EQ(records[1][7], "ウマ,\"A\"");
}

TEST(CsvExport, AFailingRaceIsLeftOutAndNamed)
{
    KolBuilder b = furlox::test::SmallDay();
    b.race(1).runners[0].SetEntry(kol::entry::kWeightCarried, "5X0");
    const DayCsv csv = BuildDayCsv(b.Build(), CsvEncoding::Utf8);
    ASSERT_EQ(csv.failures.size(), 1u);
    EXPECT_EQ(ToUtf8(csv.failures[0]).rfind("2番目のレース「東京12R", 0), 0u);
    const std::vector<Record> records = Utf8Records(csv);
    ASSERT_EQ(records.size(), 1u + 3 + 9);
    EXPECT_EQ(records[4][2], "1"); // 中山01R follows 東京11R directly
}

TEST(CsvExport, RankingFollowsTheMarksAndLeavesUnratedRunnersOut)
{
    const kol::RaceDay day = furlox::test::SmallDay().Build();
    const AnalysedRace race = AnalyseRace(day, 2); // 1: 80, 3: 90, 5: 70, 7: 85, 9: 100
    EXPECT_EQ(Places(race), (std::vector<int>{4, 0, 2, 0, 5, 0, 3, 0, 1}));

    // Equal totals: the lower horse number ranks first, as it gets the better mark.
    KolBuilder b;
    b.AddRace();
    b.AddRunner().Figures({90});
    b.AddRunner().Figures({95});
    b.AddRunner().Figures({90});
    const AnalysedRace tied = AnalyseRace(b.Build(), 0);
    EXPECT_EQ(Places(tied), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(ToUtf8(GridRows(tied)[0][kColMark]), "○");
}
