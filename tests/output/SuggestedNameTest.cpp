// Race records found by fuzzing the exports, each kept as a regression case.
#include <gtest/gtest.h>

#include <string>

#include "base/Encoding.h"
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
    EXPECT_EQ(ToUtf8(SuggestedRaceFileName(race)), ".._.._東京11");
    EXPECT_EQ(SuggestedAllRacesFileName(race), ".._.._s");
    EXPECT_EQ(SuggestedPlotFileName(race), ".._.._w");

    // Control bytes and the characters no file name may hold, here where a course without a
    // name leaves the record's own bytes at the front of the header.
    race.dateText = "2001/05/\x01\x1F(日)"_sj;
    race.raceHeader = "\\|\x7F<12R ";
    EXPECT_EQ(SuggestedRaceFileName(race), "0105______12");
    EXPECT_EQ(SuggestedAllRacesFileName(race), "0105__s");

    // A control byte after a lead byte is no second byte of any character.
    race.dateText = std::string("20\xFA\0/05/27", 10) + "(日)"_sj;
    EXPECT_EQ(SuggestedAllRacesFileName(race), "\xFA_0527s");

    // A second byte of a double-byte character is no separator and stays as it is
    // (ポ is 0x83 0x7C, 表 is 0x95 0x5C).
    race.dateText = "2001/05/27(日)"_sj;
    race.raceHeader = "ポ表11R"_sj;
    EXPECT_EQ(SuggestedRaceFileName(race), "010527" + "ポ表"_sj + "11");
}

} // namespace
} // namespace furlox
