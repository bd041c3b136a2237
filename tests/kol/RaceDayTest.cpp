#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolRecords.h"
#include "kol/LineReader.h"
#include "kol/RaceDay.h"
#include "support/System.h"
#include "support/TempDir.h"

using namespace furlox;
using namespace furlox::kol;
namespace fs = std::filesystem;
using furlox::test::TempDir;

namespace {

std::string U(std::string_view cp932)
{
    return ToUtf8(cp932);
}

void Put(std::string& line, FieldPos f, std::string_view value)
{
    std::string v(value);
    v.resize(static_cast<std::size_t>(f.len), ' ');
    if (line.size() < static_cast<std::size_t>(f.pos - 1 + f.len)) {
        line.resize(static_cast<std::size_t>(f.pos - 1 + f.len), ' ');
    }
    line.replace(static_cast<std::size_t>(f.pos - 1), v.size(), v);
}

struct RaceFields
{
    std::string course = "04", number = "11", grade = " ", classCode = "00004";
    std::string kind = "3", terms = "03", steeple = "0", turf = "1";
    std::string name = "日本ダービー", distance = "2400", heads = "18";
};

std::string RaceLine(const RaceFields& r)
{
    std::string line(340, ' ');
    Put(line, race::kCourseCode, r.course);
    Put(line, race::kMeetingNumber, "03");
    Put(line, race::kMeetingDay, "12");
    Put(line, race::kRaceNumber, r.number);
    Put(line, race::kYear, "2001");
    Put(line, race::kMonth, "05");
    Put(line, race::kDay, "27");
    Put(line, race::kWeekdayCode, "02");
    Put(line, race::kSteeplechaseFlag, r.steeple);
    Put(line, race::kRaceName, "  " + ToCp932(r.name));
    Put(line, race::kGradeCode, r.grade);
    Put(line, race::kWeightTermsCode, r.terms);
    Put(line, race::kRaceKindCode, r.kind);
    Put(line, race::kClassCode, r.classCode);
    Put(line, race::kTurfFlag, r.turf);
    Put(line, race::kDistance, r.distance);
    Put(line, race::kPostTime, "15:40");
    Put(line, race::kHeadCount, r.heads);
    return line;
}

} // namespace

TEST(RaceRecord, GradedRaceTexts)
{
    RaceFields fields;
    fields.grade = "0";
    const RaceTexts t = ParseRaceRecord(RaceLine(fields));
    EXPECT_EQ(U(t.dateText), "2001/05/27(日)");
    EXPECT_EQ(t.dateText.size(), 14u);
    EXPECT_EQ(t.meetingText, "0312");
    EXPECT_EQ(t.headCountText, "18");
    EXPECT_EQ(U(t.startLine), "2001/05/27(日) 発走15:40 18頭");
    EXPECT_EQ(U(t.raceHeader), "東京11R サラ3歳以上 オープン 定量 日本ダービー G1 芝2400M");
    EXPECT_EQ(U(t.menuCaption), "東京11R サラ3歳以上 オープン 日本ダービー G1 ");
    EXPECT_EQ(t.gradeLabel, "G1");
    EXPECT_EQ(t.distanceText, "2400");
    EXPECT_EQ(U(t.raceKindText), "サラ3歳以上");
    EXPECT_EQ(U(t.weightTermsText), "定量");
    // The race number sits at bytes 5-6 of the header, behind the two-character course.
    EXPECT_EQ(t.raceHeader.substr(4, 2), "11");
}

TEST(RaceRecord, UngradedSteeplechaseAndUnknownCodes)
{
    RaceFields fields;
    fields.grade = "3";
    fields.steeple = "1";
    fields.turf = "1";
    fields.classCode = "05000";
    RaceTexts t = ParseRaceRecord(RaceLine(fields));
    EXPECT_EQ(U(t.raceHeader), "東京11R サラ3歳以上 500万 定量 日本ダービー JG1 障2400M");
    EXPECT_EQ(U(t.gradeLabel), "500万") << "steeplechase grades give no label of their own";

    fields = RaceFields();
    fields.grade = "9";
    fields.classCode = "16000";
    fields.turf = "0";
    t = ParseRaceRecord(RaceLine(fields));
    EXPECT_EQ(U(t.menuCaption), "東京11R サラ3歳以上 1600万 日本ダービー ");
    EXPECT_EQ(U(t.raceHeader), "東京11R サラ3歳以上 1600万 定量 日本ダービー ダ2400M");
    EXPECT_EQ(U(t.gradeLabel), "1600万");
}

// The numbers that name a race come from the record itself, not from its header: for a
// course whose name is not two characters the header has no race number at bytes 5-6.
TEST(RaceRecord, NumbersOfTheRaceRecord)
{
    RaceFields fields;
    fields.grade = "1";
    const RaceTexts t = ParseRaceRecord(RaceLine(fields));
    EXPECT_EQ(t.courseCode, 4);
    EXPECT_EQ(t.raceNumberText, "11");
    EXPECT_EQ(t.raceNumber, 11);
    EXPECT_EQ(t.date, (RaceDate{2001, 5, 27}));
    EXPECT_EQ(t.meetingNumber, 3);
    EXPECT_EQ(t.meetingDay, 12);
    EXPECT_EQ(t.label, MakeGradeLabel(Grade::G2, {}));
    EXPECT_EQ(t.surface, Surface::Turf);

    fields = RaceFields();
    fields.course = "35";
    fields.number = "07";
    fields.steeple = "1";
    const RaceTexts local = ParseRaceRecord(RaceLine(fields));
    EXPECT_EQ(U(local.raceHeader.substr(0, 9)), "札(地)07R");
    EXPECT_EQ(local.courseCode, 35);
    EXPECT_EQ(local.raceNumber, 7);
    EXPECT_EQ(local.label, MakeGradeLabel(Grade::None, {ClassKind::Open, 0}));
    EXPECT_EQ(local.surface, Surface::Steeplechase);

    const RaceTexts cut = ParseRaceRecord("0511");
    EXPECT_EQ(cut.courseCode, 5);
    EXPECT_EQ(cut.raceNumber, 0);
    EXPECT_EQ(cut.raceNumberText, "");
    EXPECT_EQ(cut.date, RaceDate{});
    EXPECT_EQ(ParseRaceRecord("ab").courseCode, kNoCourse);
}

TEST(RaceRecord, ShortLineStillGivesARace)
{
    const RaceTexts t = ParseRaceRecord("0511");
    EXPECT_EQ(U(t.raceHeader), "中山R  0万   ダM");
    EXPECT_EQ(U(t.dateText), "//(祝)");
    EXPECT_EQ(t.headCountText, "");
    EXPECT_EQ(U(t.gradeLabel), "0万");
    EXPECT_EQ(U(ParseRaceRecord("").raceHeader), "不明R  0万   ダM");
}

TEST(LineRule, CrEndsALineAndEofByteEndsTheFile)
{
    auto lines = [](std::string_view bytes) { return SplitKolLines(bytes, 100).lines; };
    EXPECT_EQ(lines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(lines("a\rb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(lines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(lines("a\nb\nc\n"), (std::vector<std::string>{"a\nb\nc\n"})) << "a lone LF is data";
    EXPECT_EQ(lines("a\r\n\nb"), (std::vector<std::string>{"a", "\nb"}));
    EXPECT_EQ(lines("a\r\n\x1A"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(lines("a\r\nb\x1A"
                    "c\r\n"),
              (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(lines(""), (std::vector<std::string>{}));
    EXPECT_EQ(lines("\x1A"), (std::vector<std::string>{}));
    EXPECT_EQ(lines("\r\n"), (std::vector<std::string>{""}));
    EXPECT_EQ(lines(std::string("x\0y\r\n", 5)),
              (std::vector<std::string>{std::string("x\0y", 3)}));
    // Bytes cut short by a read error: the unfinished last line is not a record.
    EXPECT_EQ(SplitKolLines("a\r\nb", 100, false).lines, (std::vector<std::string>{"a"}));
}

TEST(LineRule, LimitKeepsTheFirstLinesAndCountsAll)
{
    std::string bytes;
    for (int i = 0; i < 45; ++i) {
        bytes += std::to_string(i) + "\r\n";
    }
    KolLines read = SplitKolLines(bytes, 39);
    ASSERT_EQ(read.lines.size(), 39u);
    EXPECT_EQ(read.lines.back(), "38");
    EXPECT_EQ(read.total, 45u);
}

TEST(LoadKolFiles, LoadsAllThreeFilesAndAlignsRunners)
{
    TempDir dir;
    RaceFields a;
    a.heads = "16";
    RaceFields b;
    b.number = "12";
    b.heads = "12";
    dir.Write(kRaceFileName, RaceLine(a) + "\r\n" + RaceLine(b) + "\r\n");
    std::string entries, horses;
    for (int j = 0; j < 28; ++j) {
        entries += "entry" + std::to_string(j) + "\r\n";
        horses += "horse" + std::to_string(j) + "\r\n";
    }
    dir.Write(kEntryFileName, entries);
    dir.Write(kHorseFileName, horses);

    const std::optional<LoadedDay> loaded = LoadKolFiles(dir.path());
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->warnings.empty());
    const RaceDay& day = loaded->day;
    EXPECT_EQ(day.RaceCount(), 2);
    EXPECT_EQ(FirstEntryIndex(day, 0), 0);
    EXPECT_EQ(FirstEntryIndex(day, 1), 16);
    EXPECT_EQ(day.EntryLine(FirstEntryIndex(day, 1)), "entry16");
    EXPECT_EQ(day.HorseLine(27), "horse27");
    EXPECT_EQ(day.EntryLine(28), "");
    EXPECT_EQ(day.HorseLine(-1), "");
    EXPECT_EQ(HeadCount(day, 1), 12);
}

TEST(LoadKolFiles, AMissingFileLoadsNothing)
{
    TempDir dir;
    dir.Write(kRaceFileName, "x\r\n");
    dir.Write(kHorseFileName, "x\r\n");
    EXPECT_FALSE(LoadKolFiles(dir.path()).has_value());
}

TEST(LoadKolFiles, SecondDayReplacesTheFirstWhole)
{
    TempDir dir;
    std::string races, lines;
    for (int i = 0; i < 3; ++i) {
        races += RaceLine(RaceFields()) + "\r\n";
    }
    for (int i = 0; i < 54; ++i) {
        lines += "L" + std::to_string(i) + "\r\n";
    }
    dir.Write(kRaceFileName, races);
    dir.Write(kEntryFileName, lines);
    dir.Write(kHorseFileName, lines);
    RaceDay day = LoadKolFiles(dir.path()).value().day;
    EXPECT_EQ(day.RaceCount(), 3);

    RaceFields small;
    small.heads = "02";
    dir.Write(kRaceFileName, RaceLine(small) + "\r\n");
    dir.Write(kEntryFileName, "A\r\nB\r\n");
    dir.Write(kHorseFileName, "A\r\nB\r\n");
    day = LoadKolFiles(dir.path()).value().day;
    EXPECT_EQ(day.RaceCount(), 1);
    EXPECT_EQ(day.races.size(), 1u);
    EXPECT_EQ(day.EntryLine(2), "") << "no line of the earlier day may show through";
    EXPECT_EQ(day.HorseLine(40), "");
}

TEST(LoadKolFiles, LimitsCutTheDayAndSayWhy)
{
    TempDir dir;
    std::string races, lines;
    for (int i = 0; i < 41; ++i) {
        races += RaceLine(RaceFields()) + "\r\n";
    }
    for (int i = 0; i < 700; ++i) {
        lines += "L" + std::to_string(i) + "\r\n";
    }
    dir.Write(kRaceFileName, races);
    dir.Write(kEntryFileName, lines);
    dir.Write(kHorseFileName, lines);
    const LoadedDay loaded = LoadKolFiles(dir.path()).value();
    const RaceDay& day = loaded.day;
    EXPECT_EQ(day.RaceCount(), 39);
    EXPECT_EQ(day.entryLines.size(), 648u);
    EXPECT_EQ(day.horseLines.size(), 648u);
    ASSERT_EQ(loaded.warnings.size(), 3u);
    EXPECT_NE(U(loaded.warnings[0]).find("41 レース分"), std::string::npos);
    EXPECT_NE(U(loaded.warnings[1]).find("kol_den2.kd2"), std::string::npos);
}

// A file that cannot be read to its end is reported and loads nothing: the caller keeps its
// whole earlier day instead of the race file read before the error (a departure from keeping
// the lines read so far).
TEST(LoadKolFiles, ReadErrorReportsAndLoadsNothing)
{
    TempDir dir;
    dir.Write(kRaceFileName, RaceLine(RaceFields()) + "\r\n");
    fs::create_directory(dir.path() / kEntryFileName); // exists, but reading it fails
    dir.Write(kHorseFileName, "h\r\n");
    try {
        LoadKolFiles(dir.path());
        FAIL() << "a read error must be reported";
    } catch (const Error& e) {
        EXPECT_NE(U(e.what()).find("kol_den2.kd2"), std::string::npos);
    }
}

TEST(LoadKolFiles, EmptyAndGarbageFilesNeverCrash)
{
    TempDir dir;
    dir.Write(kRaceFileName, "");
    dir.Write(kEntryFileName, "");
    dir.Write(kHorseFileName, "");
    RaceDay day = LoadKolFiles(dir.path()).value().day;
    EXPECT_EQ(day.RaceCount(), 0);
    EXPECT_THROW(HeadCount(day, 0), ConvertError) << "no race: the head count is not a number";

    std::string garbage;
    for (int i = 0; i < 5000; ++i) {
        garbage.push_back(static_cast<char>((i * 7919) % 256));
    }
    dir.Write(kRaceFileName, garbage);
    dir.Write(kEntryFileName, garbage);
    dir.Write(kHorseFileName, garbage);
    day = LoadKolFiles(dir.path()).value().day;
    for (int i = 0; i < day.RaceCount(); ++i) {
        EXPECT_FALSE(day.races[i].raceHeader.empty());
    }
}

// Only regular files are read, and no more of one than a day can hold: a fifo would block
// every command, a link to an endless device would fill the memory, a sparse file of
// gigabytes would take minutes.
TEST(LoadKolFiles, OnlyRegularFilesAreReadAndNoMoreThanADayHolds)
{
    TempDir dir;
    dir.Write(kRaceFileName, RaceLine(RaceFields()) + "\r\n");
    dir.Write(kEntryFileName, "e\r\n");
    const fs::path horses = dir.path() / kHorseFileName;
    const auto refused = [&](const char* what) {
        try {
            LoadKolFiles(dir.path());
            ADD_FAILURE() << what << " was read";
        } catch (const Error& e) {
            EXPECT_NE(U(e.what()).find("kol_uma.kd2 は通常のファイルではない"), std::string::npos)
                << U(e.what());
        }
    };
    if (test::MakeFifo(horses)) {
        refused("a fifo without a writer"); // at once: nothing waits for a writer
        fs::remove(horses);
    }
#ifndef _WIN32
    fs::create_symlink("/dev/zero", horses);
    refused("a link to /dev/zero");
    fs::remove(horses);
#endif
    std::ofstream(horses, std::ios::binary) << "h\r\n";
    fs::resize_file(horses, 4ull * 1024 * 1024 * 1024); // sparse where the system allows
    const LoadedDay loaded = LoadKolFiles(dir.path()).value();
    ASSERT_EQ(loaded.warnings.size(), 1u);
    EXPECT_NE(U(loaded.warnings[0]).find("kol_uma.kd2)は 1 日分のデータとしては大きすぎる"),
              std::string::npos)
        << U(loaded.warnings[0]);
    EXPECT_NE(U(loaded.warnings[0]).find(std::to_string(kMaxEntryLines * kMaxLineBytes)),
              std::string::npos);
    // The cut line of zero bytes is no line: only the whole one before it.
    EXPECT_EQ(loaded.day.horseLines, (std::vector<std::string>{"h"}));
}
