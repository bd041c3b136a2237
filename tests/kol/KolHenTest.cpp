#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"

using namespace furlox;
using namespace furlox::kol;

namespace {
std::string U(std::string_view cp932)
{
    return ToUtf8(cp932);
}
std::string S(std::string_view utf8)
{
    return ToCp932(utf8);
}
} // namespace

TEST(Encoding, RoundTripsJapaneseAndKeepsCp932Widths)
{
    EXPECT_EQ(S("東京"), "\x93\x8C\x8B\x9E");
    EXPECT_EQ(S("①"), "\x87\x40");
    EXPECT_EQ(S("～"), "\x81\x60");
    EXPECT_EQ(S("，"), "\x81\x43");
    EXPECT_EQ(U(S("芝～1600M 全角　空白")), "芝～1600M 全角　空白");
    EXPECT_EQ("万"_sj.size(), 2u);
    // Bytes that are not CP932 never stop a conversion.
    EXPECT_EQ(U("a\x81"), "a\xEF\xBF\xBD");
    EXPECT_EQ(S("a\xF0\x9F\x90\x8E"
                "b"),
              "a?b");
    // A character CP932 lacks is "?", never a look-alike.
    EXPECT_EQ(S("café ½"), "caf? ?");

    // Every ASCII byte stands for itself, with a double-byte character beside it (the
    // converter's way) or without one (taken as it is): \ and ~ included.
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) {
        ascii += static_cast<char>(c);
    }
    EXPECT_EQ(U(ascii), ascii);
    EXPECT_EQ(U(ascii + S("馬")), ascii + "馬");
}

TEST(Encoding, TrailByteDetection)
{
    const std::string so = S("ソ"); // 0x83 0x5C: its trail byte is a backslash
    ASSERT_EQ(so, "\x83\x5C");
    EXPECT_FALSE(IsTrailByteAt(so, 0));
    EXPECT_TRUE(IsTrailByteAt(so, 1));
    EXPECT_FALSE(IsTrailByteAt("a\\", 1));
}

// Decides how an archive's entry names are read (stored UTF-8 or Shift-JIS) and where a bad
// byte of a name is cut on Windows.
TEST(Encoding, Utf8IsToldApartFromShiftJis)
{
    EXPECT_EQ(Utf8CharLength("a"), 1u);
    EXPECT_EQ(Utf8CharLength("é"), 2u);
    EXPECT_EQ(Utf8CharLength("馬x"), 3u);
    EXPECT_EQ(Utf8CharLength("\xF0\x9F\x90\x8E"), 4u);
    EXPECT_EQ(Utf8CharLength(""), 0u);
    EXPECT_EQ(Utf8CharLength("\xE9\xA6"), 0u); // cut off
    EXPECT_EQ(Utf8CharLength("\x80"), 0u);     // a continuation byte first
    EXPECT_TRUE(IsUtf8(""));
    EXPECT_TRUE(IsUtf8("kol_den1.kd2 馬"));
    EXPECT_FALSE(IsUtf8(S("馬")));      // Shift-JIS
    EXPECT_FALSE(IsUtf8("ok\xE9\xA6")); // cut off at the end
}

TEST(KolHen, SmallTablesAndTheirFallBacks)
{
    EXPECT_EQ(U(WeekdayText("07")), "(金)");
    EXPECT_EQ(U(WeekdayText("01")), "(土)");
    for (const char* code : {"08", "00", "  ", "7", "07 ", ""}) {
        EXPECT_EQ(U(WeekdayText(code)), "(祝)") << code;
    }
    EXPECT_EQ(U(RaceKindText("C")), "アラブ4歳");
    EXPECT_EQ(U(RaceKindText("8")), "サラ障害3歳以上");
    EXPECT_EQ(RaceKindText("c"), "");
    EXPECT_EQ(GradeText("0"), "G1 ");
    EXPECT_EQ(GradeText("5"), "JG3 ");
    EXPECT_EQ(GradeText("9"), "");
    EXPECT_EQ(U(WeightTermsText("90")), "規定");
    EXPECT_EQ(WeightTermsText("9"), "");
    EXPECT_EQ(U(SexText("2")), "セン");
    EXPECT_EQ(U(GoingText("3")), "不");
    EXPECT_EQ(GoingText("4"), "");
}

TEST(KolHen, SurfaceRule)
{
    EXPECT_EQ(ReadSurface("1", "1"), Surface::Steeplechase);
    EXPECT_EQ(ReadSurface("0", "1"), Surface::Turf);
    EXPECT_EQ(ReadSurface("", ""), Surface::Dirt);
    EXPECT_EQ(U(SurfaceText("1", "1")), "障");
    EXPECT_EQ(U(SurfaceText("1", "0")), "障");
    EXPECT_EQ(U(SurfaceText("0", "1")), "芝");
    EXPECT_EQ(U(SurfaceText("0", "0")), "ダ");
    EXPECT_EQ(U(SurfaceText("", "")), "ダ");
    EXPECT_EQ(U(SurfaceText(" ", "2")), "ダ");
}

TEST(KolHen, ClassTextReadsTheFirstFourCharactersAsTenThousands)
{
    EXPECT_EQ(U(ClassText("00004")), "オープン");
    EXPECT_EQ(U(ClassText("00001")), "新馬");
    EXPECT_EQ(U(ClassText("05000")), "500万");
    EXPECT_EQ(U(ClassText("16000")), "1600万");
    EXPECT_EQ(U(ClassText("10000")), "1000万");
    EXPECT_EQ(U(ClassText("10009")), "1000万");
    EXPECT_EQ(U(ClassText("00500")), "50万");
    EXPECT_EQ(U(ClassText("     ")), "0万");
    EXPECT_EQ(U(ClassText("")), "0万");
    EXPECT_EQ(U(ClassText("0004")), "4万"); // a short field is not the open class
}

TEST(KolHen, PastClassTextAndOpenGrades)
{
    EXPECT_EQ(U(PastClassText("00004", "3")), "J.G1");
    EXPECT_EQ(U(PastClassText("00004", "0")), "G1");
    EXPECT_EQ(U(PastClassText("00004", "2")), "G3");
    EXPECT_EQ(U(PastClassText("00004", "9")), "オープン");
    EXPECT_EQ(U(PastClassText("00004", " ")), "オープン");
    EXPECT_EQ(U(PastClassText("00005", "0")), "オープン，牝馬");
    EXPECT_EQ(U(PastClassText("00009", "0")), "オーブン，牝馬，アラブ混合");
    EXPECT_EQ(U(PastClassText("00000", "0")), "未受");
    EXPECT_EQ(U(PastClassText("00044", "")), "D4");
    EXPECT_EQ(U(PastClassText("00094", "")), "能力試験");
    EXPECT_EQ(U(PastClassText("09000", "0")), "900万");
    EXPECT_EQ(S("オープン，牝馬").size(), 14u);
}

TEST(KolHen, CourseTableHasAllRowsWithTheirFallBack)
{
    const char* ten[] = {"京都", "阪神", "中京", "小倉", "東京",
                         "中山", "福島", "新潟", "札幌", "函館"};
    for (int i = 0; i < 10; ++i) {
        std::string code = "0" + std::to_string(i);
        EXPECT_EQ(U(CourseName(code)), ten[i]);
        EXPECT_EQ(CourseName(code).size(), 4u) << "race courses are two full-width characters";
    }
    EXPECT_EQ(U(CourseName("35")), "札(地)");
    EXPECT_EQ(U(CourseName("65")), "ＵＡＥ");
    EXPECT_EQ(U(CourseName("92")), "北海");
    for (const char* empty : {"47", "48", "49", "56", "57", "58", "59"}) {
        EXPECT_EQ(CourseName(empty), "") << empty;
    }
    int known = 0;
    for (int i = 0; i < 100; ++i) {
        std::string code = PadZero(std::to_string(i), 2);
        if (U(CourseName(code)) != "不明") {
            ++known;
        }
    }
    EXPECT_EQ(known, 75);
    for (const char* unknown : {"93", "72", "  ", "", "4", "04 ", "0A"}) {
        EXPECT_EQ(U(CourseName(unknown)), "不明") << unknown;
    }
    EXPECT_EQ(CourseName("99"), UnknownCourseName());
}

TEST(KolHen, CourseCodesAsNumbers)
{
    EXPECT_EQ(ReadCourseCode("00"), 0);
    EXPECT_EQ(ReadCourseCode("35"), 35);
    EXPECT_EQ(ReadCourseCode("99"), 99);
    for (const char* other : {"  ", "", "4", "04 ", "0A", " 4", "+4", "-1"}) {
        EXPECT_EQ(ReadCourseCode(other), kNoCourse) << other;
        // A code that is no number is no course of the table either.
        EXPECT_EQ(CourseName(ReadCourseCode(other)), CourseName(other)) << other;
    }
    for (int i = 0; i < 100; ++i) {
        const std::string code = PadZero(std::to_string(i), 2);
        EXPECT_EQ(CourseName(ReadCourseCode(code)), CourseName(code)) << code;
    }
    EXPECT_EQ(U(CourseName(35)), "札(地)");
    EXPECT_EQ(U(CourseName(100)), "不明");
}

TEST(KolHen, TypedClassesAndGradeLabelsCompareAsTheirTexts)
{
    EXPECT_EQ(ReadClassCode("05000"), PrizeClass(500));
    EXPECT_EQ(ReadClassCode("0500 "), PrizeClass(500));
    EXPECT_EQ(ReadClassCode("00004"), (RaceClass{ClassKind::Open, 0}));
    EXPECT_EQ(ReadClassCode("     "), PrizeClass(0));
    EXPECT_EQ(ReadGradeCode("0"), Grade::G1);
    EXPECT_EQ(ReadGradeCode("5"), Grade::JG3);
    EXPECT_EQ(ReadGradeCode("6"), Grade::None);
    EXPECT_EQ(ReadGradeCode("0 "), Grade::None);
    EXPECT_EQ(U(GradeText(Grade::JG2)), "JG2 ");
    EXPECT_EQ(GradeText(Grade::None), "");

    // Whatever pair of class and grade codes: two labels are equal exactly when their texts
    // are, and the text is the one the race record's grade label is made of.
    const char* classes[] = {"00001", "00002", "00003", "00004", "05000", "05009",
                             "00500", "16000", "     ", "00000", "0004"};
    const char* grades[] = {"0", "1", "2", "3", "4", "5", " ", "9"};
    std::vector<std::pair<GradeLabel, std::string>> labels;
    for (const char* c : classes) {
        for (const char* g : grades) {
            const GradeLabel label = MakeGradeLabel(ReadGradeCode(g), ReadClassCode(c));
            const std::string& grade = GradeText(g);
            const std::string text = grade == "G1 " || grade == "G2 " || grade == "G3 "
                                         ? grade.substr(0, 2)
                                         : ClassText(c);
            EXPECT_EQ(GradeLabelText(label), text) << c << " " << g;
            labels.emplace_back(label, text);
        }
    }
    for (const auto& [a, aText] : labels) {
        for (const auto& [b, bText] : labels) {
            EXPECT_EQ(a == b, aText == bText) << U(aText) << " / " << U(bText);
        }
    }
    EXPECT_EQ(U(GradeLabelText(MakeGradeLabel(Grade::JG1, ReadClassCode("00004")))), "オープン");
}

TEST(KolHen, CoatAndHorseMarkTables)
{
    EXPECT_EQ(U(CoatColourText("35")), "黒鹿毛");
    EXPECT_EQ(U(CoatColourText("13")), "粕");
    EXPECT_EQ(U(CoatColourText("99")), "鹿毛");
    EXPECT_EQ(U(CoatColourText("  ")), "鹿毛");
    EXPECT_EQ(U(CoatColourText("14")), "鹿毛");
    EXPECT_EQ(HorseMarkText("00"), "");
    EXPECT_EQ(HorseMarkText("13"), "");
    EXPECT_EQ(U(HorseMarkText("25")), "(父)(市)[地]");
    EXPECT_EQ(U(HorseMarkText("02")), "[抽]");
    EXPECT_EQ(HorseMarkText("01"), "(" + S("抽") + ")");
}

TEST(KolHen, CircledNumbersWithTheFortyRule)
{
    EXPECT_EQ(U(CircledNumber("43")), "③");
    EXPECT_EQ(U(CircledNumber("03")), "③");
    EXPECT_EQ(U(CircledNumber("42")), "②");
    EXPECT_EQ(U(CircledNumber("18")), "⑱");
    EXPECT_EQ(U(CircledNumber("58")), "⑱");
    EXPECT_EQ(U(CircledNumber("40")), "　");
    EXPECT_EQ(U(CircledNumber("00")), "　");
    EXPECT_EQ(U(CircledNumber("  ")), "　");
    EXPECT_EQ(CircledNumber("19"), "  ");
    EXPECT_EQ(CircledNumber("59"), "  ");
    EXPECT_EQ(CircledNumber(" 3"), "  ");
    EXPECT_EQ(CircledNumber("3 "), "  ");
    EXPECT_EQ(CircledNumber("99"), "  ");
    EXPECT_EQ(CircledNumber(""), "  ");
}

// The readers the figure, the detail window and the circled numbers share.
TEST(KolHen, CornerAndMarginReaders)
{
    EXPECT_EQ(CornerPosition("41"), 1);
    EXPECT_EQ(CornerPosition("01"), 1);
    EXPECT_EQ(CornerPosition("40"), 0);
    EXPECT_EQ(CornerPosition("39"), 39);
    EXPECT_EQ(CornerPosition("  "), 0);
    EXPECT_EQ(MarginTenths("998"), 0);
    EXPECT_EQ(MarginTenths("997"), 997);
    EXPECT_EQ(MarginTenths("999"), 999);
    EXPECT_EQ(MarginTenths(" 98"), 98);
}

TEST(KolHen, BreedingAreaTextsAreAllSixBytes)
{
    int rows = 0;
    for (int i = 0; i < 1000; ++i) {
        std::string code = PadZero(std::to_string(i), 3);
        const std::string& text = BreedingAreaText(code);
        if (!text.empty()) {
            ++rows;
            EXPECT_EQ(text.size(), 6u) << code;
        }
    }
    EXPECT_EQ(rows, 169);
    EXPECT_EQ(BreedingAreaText("003"), S("浦河") + "  ");
    EXPECT_EQ(BreedingAreaText("055"), S("森") + "    ");
    EXPECT_EQ(BreedingAreaText("071"), S("鹿児島"));
    EXPECT_EQ(BreedingAreaText("228"), "      ");
    EXPECT_EQ(U(BreedingAreaText("255")), "ロシア");
    EXPECT_EQ(BreedingAreaText("113"), "");
    EXPECT_EQ(BreedingAreaText("03"), "");
}

TEST(LenientNumber, AcceptsExactlyTheNumberSyntax)
{
    EXPECT_EQ(LenientNumber(" 12"), 12);
    EXPECT_EQ(LenientNumber("   7"), 7);
    EXPECT_EQ(LenientNumber("12 "), 0);
    EXPECT_EQ(LenientNumber("-5"), -5);
    EXPECT_EQ(LenientNumber("+5"), 5);
    EXPECT_EQ(LenientNumber(" -05"), -5);
    EXPECT_EQ(LenientNumber(""), 0);
    EXPECT_EQ(LenientNumber("   "), 0);
    EXPECT_EQ(LenientNumber("-"), 0);
    EXPECT_EQ(LenientNumber("+-5"), 0);
    EXPECT_EQ(LenientNumber("- 5"), 0);
    EXPECT_EQ(LenientNumber("1a"), 0);
    EXPECT_EQ(LenientNumber("\t1"), 0);
    EXPECT_EQ(LenientNumber("0998"), 998);
}

TEST(LenientNumber, HexadecimalPrefixes)
{
    EXPECT_EQ(LenientNumber("$1F"), 31);
    EXPECT_EQ(LenientNumber("x10"), 16);
    EXPECT_EQ(LenientNumber("X10"), 16);
    EXPECT_EQ(LenientNumber("0x1a"), 26);
    EXPECT_EQ(LenientNumber("0XFF"), 255);
    EXPECT_EQ(LenientNumber("-$10"), -16);
    EXPECT_EQ(LenientNumber("$"), 0);
    EXPECT_EQ(LenientNumber("0x"), 0);
    EXPECT_EQ(LenientNumber("1F"), 0);
    EXPECT_EQ(LenientNumber("$7FFFFFFF"), 2147483647);
    EXPECT_EQ(LenientNumber("$80000000"), 0);
}

TEST(LenientNumber, ThirtyTwoBitRange)
{
    EXPECT_EQ(LenientNumber("2147483647"), 2147483647);
    EXPECT_EQ(LenientNumber("-2147483648"), INT32_MIN);
    EXPECT_EQ(LenientNumber("2147483648"), 0);
    EXPECT_EQ(LenientNumber("-2147483649"), 0);
    EXPECT_EQ(LenientNumber("99999999999999999999999"), 0);
}

TEST(StrictNumber, ThrowsWhereTheLenientOneGivesZeroForNonNumbers)
{
    EXPECT_EQ(StrictNumber(" 16"), 16);
    EXPECT_EQ(StrictNumber("0"), 0);
    EXPECT_EQ(StrictNumber("$10"), 16);
    EXPECT_THROW(StrictNumber(""), ConvertError);
    EXPECT_THROW(StrictNumber("1 "), ConvertError);
    EXPECT_THROW(StrictNumber("2147483648"), ConvertError);
    try {
        StrictNumber("1x");
        FAIL();
    } catch (const ConvertError& e) {
        EXPECT_EQ(U(e.what()), "'1x' は整数ではありません");
    }
}

TEST(TextHelpers, PaddingDropAndTrim)
{
    EXPECT_EQ(PadLeft("7", 2), " 7");
    EXPECT_EQ(PadLeft("123", 2), "123");
    EXPECT_EQ(PadRight(S("牡3"), 6), S("牡3") + "   ");
    EXPECT_EQ(PadZero("5", 3), "005");
    EXPECT_EQ(PadZero("", 2), "00");
    EXPECT_EQ(DropTail("1234567", 4), "123");
    EXPECT_EQ(DropTail("1234", 4), "");
    EXPECT_EQ(DropTail("12", 4), "");
    EXPECT_EQ(Trim("  abc \t\r"), "abc");
    EXPECT_EQ(Trim(std::string("\0 x\x1F", 4)), "x");
    EXPECT_EQ(Trim(S("　馬　")), S("　馬　")) << "full-width blanks are text";
    EXPECT_EQ(Trim("   "), "");
}

TEST(StrictNumber, SixtyFourBitsForWideFields)
{
    EXPECT_EQ(StrictNumber64("3000000000"), 3000000000LL);
    EXPECT_EQ(StrictNumber64("0000012345"), 12345);
    EXPECT_EQ(StrictNumber64("-9223372036854775808"), INT64_MIN);
    EXPECT_THROW(StrictNumber64("9223372036854775808"), ConvertError);
    EXPECT_THROW(StrictNumber64("          "), ConvertError);
    EXPECT_THROW(StrictNumber64("12x4567890"), ConvertError);
    EXPECT_EQ(LenientNumber("3000000000"), 0) << "still 32 bits where the fields are narrow";
}
