#pragma once

#include <array>
#include <string>

#include "library/Tally.h"

// The tally's rows as the tally window shows them: the counts and the rates of a mark or a
// popularity, and of a bet kind in one grade. CP932 texts made from the counts; the chart's
// bars take the same rates as numbers.
namespace furlox::library {

enum CountColumn : int
{
    kCountStarts = 0,
    kCountFirst,
    kCountSecond,
    kCountThird,
    kCountOut,
    kCountWinRate,  // 勝率: 1st ÷ starts
    kCountTop2Rate, // 連対率: (1st + 2nd) ÷ starts
    kCountTop3Rate, // 複勝率: (1st + 2nd + 3rd) ÷ starts
    kCountUnknown,
    kCountColumns
};

enum BetColumn : int
{
    kBetRaces = 0,
    kBetDecided,
    kBetHits,
    kBetHitRate,
    kBetOpen,
    kBetVoids,
    kBetColumns
};

const std::string& CountHeader(int column);
std::array<std::string, kCountColumns> CountCells(const MarkCounts& counts);
const std::string& BetHeader(int column);
std::array<std::string, kBetColumns> BetCells(const BetCounts& counts);
// "1番人気" … "3番人気" for row 0 to 2.
std::string MarketRowText(int row);

// The same, short, under the chart's bars: "1人気".
std::string MarketChartText(int row);

// A rate as a percentage to one decimal, rounded as its text (0 for a 0 denominator, where
// the text says "－").
double RatePercent(int numerator, int denominator);
double WinRate(const MarkCounts& counts);
double Top3Rate(const MarkCounts& counts);

} // namespace furlox::library
