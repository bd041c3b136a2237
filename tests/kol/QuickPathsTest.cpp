// The quick paths of loading and number reading must give exactly what the general paths
// give: plain digit fields, the end-of-file byte found line by line, and data files split
// into lines piece by piece as they are read.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kol/KolHen.h"
#include "kol/LineReader.h"

namespace furlox::kol {
namespace {

TEST(QuickPaths, PlainDigitFieldsReadAsTheGeneralSyntaxReadsThem)
{
    EXPECT_EQ(ParseNumber64("0"), 0);
    EXPECT_EQ(ParseNumber64("0998"), 998);
    EXPECT_EQ(ParseNumber64("999999999999999999"), 999999999999999999); // 18 digits
    EXPECT_EQ(ParseNumber64("000000000000000042"), 42);
    EXPECT_EQ(ParseNumber64("9999999999999999999"), std::nullopt); // 19 digits, past 63 bits
    EXPECT_EQ(ParseNumber("2147483648"), std::nullopt);
    EXPECT_EQ(LenientNumber("999999999999999999"), 0) << "past 32 bits reads as 0";
    // Anything but plain digits still takes the general syntax.
    EXPECT_EQ(ParseNumber64(""), std::nullopt);
    EXPECT_EQ(ParseNumber64("12 "), std::nullopt);
    EXPECT_EQ(ParseNumber64(" 12"), 12);
    EXPECT_EQ(ParseNumber64("0x10"), 16);
    EXPECT_EQ(ParseNumber64("1\xA5"), std::nullopt);
}

TEST(QuickPaths, EndOfFileByteInAnyLineEndsTheFile)
{
    auto lines = [](std::string_view bytes, bool complete = true) {
        return SplitKolLines(bytes, 100, complete);
    };
    const std::string longLine(5000, 'h');
    KolLines read = lines(longLine + "\r\n" + longLine + "\x1A" + longLine + "\r\nx\r\n");
    EXPECT_EQ(read.lines, (std::vector<std::string>{longLine, longLine}));
    EXPECT_EQ(read.total, 2u) << "lines past the end-of-file byte are not counted";
    EXPECT_EQ(lines("a\r\n\x1A\r\nb\r\n").lines, (std::vector<std::string>{"a"}));
    EXPECT_EQ(lines("a\r\x1A\nb").lines, (std::vector<std::string>{"a"}));
    // An end-of-file byte makes the file complete even when its read stopped short.
    EXPECT_EQ(lines("a\r\nb\x1A", false).lines, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(lines("a\r\nb\x1Azz", false).lines, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(lines("a\r\nb", false).lines, (std::vector<std::string>{"a"}));
}

TEST(QuickPaths, LinesCutBetweenPiecesSplitAsTheWholeBytes)
{
    const std::vector<std::string> inputs = {
        "a\r\nbc\r\n",
        "a\rb\r\r\n\nc",
        "ab\r\n\x1A\r\nz\r\n",
        "abc\x1A"
        "def\r\n",
        "\r\n\r\n\r",
        "x\ny\r\n\nz",
        "1\r\n2\r\n3\r\n4",
        std::string("n\0l\r\n", 5),
        "",
    };
    auto same = [](const KolLines& a, const KolLines& b) {
        return a.lines == b.lines && a.total == b.total;
    };
    for (const std::string& bytes : inputs) {
        for (bool complete : {true, false}) {
            for (std::size_t maxLines : {std::size_t{2}, std::size_t{100}}) {
                const KolLines whole = SplitKolLines(bytes, maxLines, complete);
                // Cut once at every place, then into single bytes.
                for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
                    KolLineSplitter splitter(maxLines);
                    splitter.Feed(std::string_view(bytes).substr(0, cut));
                    splitter.Feed(std::string_view(bytes).substr(cut));
                    EXPECT_TRUE(same(splitter.Finish(complete), whole))
                        << "cut at " << cut << " of " << testing::PrintToString(bytes);
                }
                KolLineSplitter bytewise(maxLines);
                for (char c : bytes) {
                    bytewise.Feed(std::string_view(&c, 1));
                }
                EXPECT_TRUE(same(bytewise.Finish(complete), whole))
                    << "byte by byte: " << testing::PrintToString(bytes);
            }
        }
    }
}

} // namespace
} // namespace furlox::kol
