#include "output/CsvExport.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"
#include "output/TextExport.h"

namespace furlox {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr const char* kHeader =
    "日付,場,R,レース名,距離,枠,馬番,馬名,斤量,騎手,5前,4前,3前,2前,1前,総合,順位,印,勝負度";

std::string Trimmed(std::string_view text)
{
    return std::string(kol::Trim(text));
}

void AppendRaceRows(const kol::RaceDay& day, const AnalysedRace& race, std::string& out)
{
    const std::string_view line = day.raceLines[static_cast<std::size_t>(race.raceIndex)];
    const kol::RaceTexts& texts = day.races[static_cast<std::size_t>(race.raceIndex)];
    // The date without its weekday: a spreadsheet reads YYYY/MM/DD as a date.
    const std::string raceFields =
        CsvField(texts.dateText.substr(0, 10)) + "," +
        CsvField(kol::CourseName(kol::Field(line, kol::race::kCourseCode))) + "," +
        std::to_string(kol::LenientNumber(kol::Field(line, kol::race::kRaceNumber))) + "," +
        CsvField(Trimmed(kol::Field(line, kol::race::kRaceName))) + "," +
        CsvField(texts.surfaceText + std::to_string(kol::LenientNumber(texts.distanceText))) + ",";
    const std::string grade = race.hasBets ? race.confidence : std::string();
    const std::vector<int> ranking = TotalRanking(race);
    for (std::size_t r = 0; r < race.rows.size(); ++r) {
        const GridRow& row = race.rows[r];
        out += raceFields;
        // The grid's columns 枠 … 総合 in its own order; 順位 goes before the mark.
        for (std::size_t column = kColBracket; column <= kColTotal; ++column) {
            out += CsvField(Trimmed(row[column])) + ",";
        }
        out += (ranking[r] > 0 ? std::to_string(ranking[r]) : std::string()) + ",";
        out += CsvField(Trimmed(row[kColMark])) + "," + CsvField(grade);
        out += kCrLf;
    }
}

} // namespace

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::vector<int> TotalRanking(const AnalysedRace& race)
{
    const std::size_t n = race.rows.size();
    std::vector<double> totals(n, 0);
    std::vector<bool> rated(n, false);
    for (std::size_t r = 0; r < n; ++r) {
        const std::string& text = race.rows[r][kColTotal];
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, totals[r]);
        rated[r] = result.ec == std::errc() && result.ptr == end;
    }
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    // The rows are in horse-number order, so a stable sort keeps the lower number first.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (rated[a] != rated[b]) {
            return static_cast<bool>(rated[a]);
        }
        return totals[a] > totals[b];
    });
    std::vector<int> places(n, 0);
    for (std::size_t place = 0; place < n; ++place) {
        if (rated[order[place]]) {
            places[order[place]] = static_cast<int>(place) + 1;
        }
    }
    return places;
}

DayCsv BuildDayCsv(const kol::RaceDay& day, CsvEncoding encoding)
{
    DayCsv csv;
    std::string text = ToCp932(kHeader);
    text += kCrLf;
    for (int i = 0; i < day.RaceCount(); ++i) {
        try {
            AppendRaceRows(day, AnalyseRaceForBatch(day, i), text);
        } catch (const Error& e) {
            csv.failures.emplace_back(e.what());
        }
    }
    if (encoding == CsvEncoding::Cp932) {
        csv.bytes = std::move(text);
    } else {
        csv.bytes = std::string(kUtf8Bom) + ToUtf8(text);
    }
    return csv;
}

} // namespace furlox
