#include "output/CsvExport.h"

#include "analysis/RaceFormat.h"
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
        CsvField(texts.dateText.substr(0, 10)) + "," + CsvField(kol::CourseName(race.courseCode)) +
        "," + std::to_string(race.raceNumber) + "," +
        CsvField(Trimmed(kol::Field(line, kol::race::kRaceName))) + "," +
        CsvField(texts.surfaceText + std::to_string(texts.distance)) + ",";
    const std::string& grade = ConfidenceText(race.bets.confidence);
    const std::vector<GridRow> rows = GridRows(race);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const GridRow& row = rows[r];
        const int place = race.runners[r].place;
        out += raceFields;
        // The grid's columns 枠 … 総合 in its own order; 順位 goes before the mark.
        for (std::size_t column = kColBracket; column <= kColTotal; ++column) {
            out += CsvField(Trimmed(row[column])) + ",";
        }
        out += (place > 0 ? std::to_string(place) : std::string()) + ",";
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
