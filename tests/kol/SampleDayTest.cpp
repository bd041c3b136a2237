#include <gtest/gtest.h>

#include <set>

#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"
#include "kol/LineReader.h"
#include "kol/RaceDay.h"
#include "kol/SampleDay.h"
#include "support/TempDir.h"

using namespace furlox;
using namespace furlox::kol;

TEST(SampleDay, SameSeedSameBytesOtherSeedOtherBytes)
{
    SampleOptions options;
    options.seed = 7;
    options.races = 5;
    const SampleFiles a = MakeSampleDay(options);
    const SampleFiles b = MakeSampleDay(options);
    EXPECT_EQ(a.raceFile, b.raceFile);
    EXPECT_EQ(a.entryFile, b.entryFile);
    EXPECT_EQ(a.horseFile, b.horseFile);
    options.seed = 8;
    EXPECT_NE(MakeSampleDay(options).horseFile, a.horseFile);
}

TEST(SampleDay, FilesLineUpAndCoverTheCodes)
{
    SampleOptions options;
    const SampleFiles files = MakeSampleDay(options);
    const KolLines races = SplitKolLines(files.raceFile, 100);
    const KolLines entries = SplitKolLines(files.entryFile, 10000);
    const KolLines horses = SplitKolLines(files.horseFile, 10000);
    ASSERT_EQ(races.lines.size(), 36u);
    int runners = 0;
    std::set<std::string> grades, terms, kinds, labels;
    for (const std::string& line : races.lines) {
        const RaceTexts t = ParseRaceRecord(line);
        runners += StrictNumber(t.headCountText);
        grades.insert(std::string(Field(line, race::kGradeCode)));
        terms.insert(ToUtf8(t.weightTermsText));
        kinds.insert(std::string(Field(line, race::kRaceKindCode)));
        labels.insert(ToUtf8(t.gradeLabel));
        EXPECT_LE(StrictNumber(t.headCountText), kMaxRunners);
    }
    EXPECT_EQ(entries.lines.size(), static_cast<std::size_t>(runners));
    EXPECT_EQ(horses.lines.size(), static_cast<std::size_t>(runners));
    EXPECT_LE(runners, kMaxEntryLines);
    EXPECT_EQ(grades, (std::set<std::string>{" ", "0", "1", "2", "4", "5"}));
    EXPECT_TRUE(terms.count("ハンデ") && terms.count("別定") && terms.count("馬齢") &&
                terms.count("定量") && terms.count("規定"));
    EXPECT_EQ(kinds.size(), 13u) << "every race kind code";
    for (const char* label : {"G1", "G2", "G3", "新馬", "未勝利", "500万", "900万", "1000万",
                              "1500万", "1600万", "オープン"}) {
        EXPECT_TRUE(labels.count(label)) << label;
    }

    int shortHorses = 0, scratched = 0, local = 0, plus40 = 0, noWeight = 0;
    for (const std::string& h : horses.lines) {
        for (int run = 0; run < horse::kPastRuns; ++run) {
            const std::string_view course = PastRunField(h, run, pastrun::kCourseCode);
            if (CourseName(course) == UnknownCourseName()) {
                ++shortHorses;
                break;
            }
            local += course >= "10";
            scratched += PastRunField(h, run, pastrun::kPopularity) == "34";
            plus40 += LenientNumber(PastRunField(h, run, pastrun::kCorner4)) >= 40;
            noWeight += PastRunField(h, run, pastrun::kBodyWeight) == "000";
        }
    }
    EXPECT_GT(shortHorses, 0);
    EXPECT_GT(scratched, 0);
    EXPECT_GT(local, 0);
    EXPECT_GT(plus40, 0);
    EXPECT_GT(noWeight, 0);
}

TEST(SampleDay, FullDayHasEighteenRunnersWithFiveRunsEach)
{
    SampleOptions options;
    options.full = true;
    const SampleFiles files = MakeSampleDay(options);
    const KolLines horses = SplitKolLines(files.horseFile, 10000);
    ASSERT_EQ(horses.lines.size(), 648u);
    for (const std::string& h : horses.lines) {
        ASSERT_GE(h.size(), 4014u);
        EXPECT_NE(CourseName(PastRunField(h, 4, pastrun::kCourseCode)), UnknownCourseName());
    }
}

// The message names the folder readably also when its name is Japanese (the messages are
// CP932; a path's own bytes are UTF-8 on Linux and UTF-16 on Windows).
TEST(SampleDay, AFolderThatCannotBeMadeIsNamedInTheMessage)
{
    const test::TempDir temp;
    temp.Write("作業", "a file where the folder belongs");
    try {
        WriteSampleDay(SampleOptions{}, temp / "作業/日曜");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(ToCp932("作業")), std::string::npos)
            << ToUtf8(e.what());
    }
}

// Every past run is dated on the real calendar, a week to five weeks before the next one:
// no 30th of February, no 31st of a 30-day month.
TEST(SampleDay, PastRunsHaveRealDates)
{
    constexpr int kLastDay[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (const bool full : {false, true}) {
        SampleOptions options;
        options.full = full;
        const KolLines horses = SplitKolLines(MakeSampleDay(options).horseFile, 10000);
        int dated = 0;
        for (const std::string& h : horses.lines) {
            int previous = 5 * 31 + 27; // the race day, 05/27, as month × 31 + day
            for (int run = 0; run < horse::kPastRuns; ++run) {
                if (h.size() < static_cast<std::size_t>(horse::kPastRunsPos - 1 +
                                                        horse::kPastRunLength * (run + 1))) {
                    break;
                }
                const int month = LenientNumber(PastRunField(h, run, pastrun::kMonth));
                const int day = LenientNumber(PastRunField(h, run, pastrun::kDay));
                ASSERT_GE(month, 1) << h.substr(0, 20);
                ASSERT_LE(month, 12);
                EXPECT_GE(day, 1);
                EXPECT_LE(day, kLastDay[month - 1]) << month << "/" << day;
                // Counted back across the new year the month grows again.
                int key = month * 31 + day;
                if (key > previous) {
                    key -= 12 * 31;
                }
                EXPECT_LT(key, previous);
                previous = key;
                ++dated;
            }
        }
        EXPECT_GT(dated, 100);
    }
}
