// Number texts found by fuzzing the text helpers, each kept as a regression case.
#include <gtest/gtest.h>

#include <cstdint>

#include "base/Error.h"
#include "kol/KolHen.h"

namespace furlox::kol {
namespace {

TEST(NumberOverflow, ValuesPast64BitsAreNoNumbers)
{
    // These used to wrap round in 64 bits and come back as small numbers.
    EXPECT_EQ(ParseNumber("0x1000010000000010000000"), std::nullopt);
    EXPECT_EQ(LenientNumber("0x1000010000000010000000"), 0);
    EXPECT_THROW(StrictNumber("0x1000010000000010000000"), ConvertError);
    EXPECT_EQ(ParseNumber64("$10000000000000000"), std::nullopt);   // 2^64
    EXPECT_EQ(ParseNumber64("18446744073709551617"), std::nullopt); // 2^64 + 1
    EXPECT_EQ(ParseNumber64("-18446744073709551617"), std::nullopt);
    EXPECT_THROW(StrictNumber64("184467440737095516170"), ConvertError);

    // The edges of 64 bits still read.
    EXPECT_EQ(ParseNumber64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(ParseNumber64("$7FFFFFFFFFFFFFFF"), INT64_MAX);
    EXPECT_EQ(ParseNumber64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(ParseNumber64("-0x8000000000000000"), INT64_MIN);
    EXPECT_EQ(ParseNumber64("9223372036854775808"), std::nullopt);
    EXPECT_EQ(ParseNumber64("0000000000000000000000000012"), 12);
}

} // namespace
} // namespace furlox::kol
