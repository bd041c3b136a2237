#include "library/TallyTable.h"

#include "base/Encoding.h"

namespace furlox::library {

const std::string& CountHeader(int column)
{
    static const std::array<std::string, kCountColumns> headers = {
        ToCp932("出走"), ToCp932("1着"),    ToCp932("2着"),    ToCp932("3着"), ToCp932("着外"),
        ToCp932("勝率"), ToCp932("連対率"), ToCp932("複勝率"), ToCp932("不明")};
    static const std::string none;
    return column >= 0 && column < kCountColumns ? headers[static_cast<std::size_t>(column)] : none;
}

std::array<std::string, kCountColumns> CountCells(const MarkCounts& c)
{
    return {std::to_string(c.starts),
            std::to_string(c.first),
            std::to_string(c.second),
            std::to_string(c.third),
            std::to_string(c.out),
            RateText(c.first, c.starts),
            RateText(c.first + c.second, c.starts),
            RateText(c.first + c.second + c.third, c.starts),
            std::to_string(c.unknown)};
}

const std::string& BetHeader(int column)
{
    static const std::array<std::string, kBetColumns> headers = {
        ToCp932("レース"), ToCp932("判定"),   ToCp932("的中"),
        ToCp932("的中率"), ToCp932("未確定"), ToCp932("返還")};
    static const std::string none;
    return column >= 0 && column < kBetColumns ? headers[static_cast<std::size_t>(column)] : none;
}

std::array<std::string, kBetColumns> BetCells(const BetCounts& c)
{
    return {std::to_string(c.races),     std::to_string(c.decided), std::to_string(c.hits),
            RateText(c.hits, c.decided), std::to_string(c.Open()),  std::to_string(c.voids)};
}

std::string MarketRowText(int row)
{
    return std::to_string(row + 1) + ToCp932("番人気");
}

std::string MarketChartText(int row)
{
    return std::to_string(row + 1) + ToCp932("人気");
}

double RatePercent(int numerator, int denominator)
{
    if (denominator <= 0) {
        return 0.0;
    }
    // Tenths of a percent, half up, as the rate's text has them.
    const long long tenths =
        (2000LL * numerator + denominator) / (2LL * static_cast<long long>(denominator));
    return static_cast<double>(tenths) / 10.0;
}

double WinRate(const MarkCounts& c)
{
    return RatePercent(c.first, c.starts);
}

double Top3Rate(const MarkCounts& c)
{
    return RatePercent(c.first + c.second + c.third, c.starts);
}

} // namespace furlox::library
