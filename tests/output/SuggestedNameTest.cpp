// Race records found by fuzzing the exports, each kept as a regression case.
#include <gtest/gtest.h>

#include <string>

#include "base/Encoding.h"
#include "kol/KolHen.h"
#include "kol/RaceDay.h"
#include "output/TextExport.h"

namespace furlox {
namespace {

using namespace std::string_literals;

TEST(SuggestedName, RecordBytesNeverLeaveTheChosenFolder)
{
    // Where the date digits belong the record holds dots and slashes: the save dialog used to
    // offer "../../東京11".
    kol::RaceTexts race;
    race.dateText = "20..//././"s + "(土)"_sj;
    race.raceHeader = "東京11R サラ3歳"_sj;
    race.courseCode = 4;
    race.raceNumber = 11;
    EXPECT_EQ(ToUtf8(SuggestedRaceFileName(race)), ".._.._東京11");
    EXPECT_EQ(SuggestedAllRacesFileName(race), ".._.._s");
    EXPECT_EQ(SuggestedPlotFileName(race), ".._.._w");

    // Control bytes and the characters no file name may hold where the date belongs. The
    // header's bytes (here where a course without a name leaves the record's own bytes at its
    // front) no longer reach the name: the course comes from the code table.
    race.dateText = "2001/05/\x01\x1F(日)"_sj;
    race.raceHeader = "\\|\x7F<12R ";
    race.courseCode = kol::kNoCourse;
    race.raceNumber = 12;
    EXPECT_EQ(SuggestedRaceFileName(race), "0105__"s + "不明"_sj + "12");
    EXPECT_EQ(SuggestedAllRacesFileName(race), "0105__s");

    // A control byte after a lead byte is no second byte of any character.
    race.dateText = std::string("20\xFA\0/05/27", 10) + "(日)"_sj;
    EXPECT_EQ(SuggestedAllRacesFileName(race), "\xFA_0527s");

    // A second byte of a double-byte character is no separator and stays as it is
    // (ポ is 0x83 0x7C, 表 is 0x95 0x5C).
    race.dateText = "20"_sj + "ポ"_sj + "/" + "表"_sj + "/27(日)"_sj;
    race.courseCode = 4;
    race.raceNumber = 11;
    EXPECT_EQ(SuggestedRaceFileName(race), "ポ表27東京11"_sj);
}

} // namespace
} // namespace furlox
