#include <algorithm>
#include <iostream>
#include <optional>
#include <vector>

#include "analysis/GridRules.h"
#include "analysis/RaceAnalysis.h"
#include "analysis/RaceFormat.h"
#include "base/Encoding.h"
#include "cli/Cli.h"
#include "kol/KolHen.h"

namespace furlox::cli {
namespace {

// Fits a CP932 cell into `width` bytes. A terminal shows a double-byte character two
// columns wide, so padding in CP932 bytes before converting lines the columns up.
std::string FitCell(const std::string& text, std::size_t width, CellAlign align)
{
    switch (align) {
    case CellAlign::Right:
        return kol::PadLeft(text, width);
    case CellAlign::Centre: {
        const std::size_t room = width > text.size() ? width - text.size() : 0;
        return kol::PadRight(std::string(room / 2, ' ') + text, width);
    }
    case CellAlign::Left:
        break;
    }
    return kol::PadRight(text, width);
}

std::string GridLine(const AnalysedRace& race, int row, const GridRow& cells,
                     const std::vector<std::size_t>& widths)
{
    std::string line;
    for (int column = 0; column < kGridColumns; ++column) {
        if (column > 0) {
            line += ' ';
        }
        const auto c = static_cast<std::size_t>(column);
        line += FitCell(EscapedData(cells[c]), widths[c], Grid1CellStyle(race, row, column).align);
    }
    // Trailing blanks of the last (mark) column only make the output harder to compare.
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

std::string JsonArray(const std::vector<std::string>& items)
{
    std::string json = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        json += (i ? ", " : "") + items[i];
    }
    return json + "]";
}

std::string JsonRow(const GridRow& row)
{
    std::vector<std::string> cells;
    for (const std::string& cell : row) {
        cells.push_back(JsonString(kol::Trim(cell)));
    }
    return JsonArray(cells);
}

// The analysed race for scripts: the texts as the window shows them, cells trimmed.
std::string RaceJson(const AnalysedRace& race, const std::vector<GridRow>& grid)
{
    std::vector<std::string> titles;
    for (const std::string& line : PrintTitleLines(race)) {
        titles.push_back(JsonString(line));
    }
    std::vector<std::string> rows;
    for (const GridRow& row : grid) {
        rows.push_back(JsonRow(row));
    }
    // The marks in ranking order, each with the text its grid row shows.
    std::vector<std::string> marks;
    for (int horse : race.markTable) {
        if (horse != 0) {
            marks.push_back(
                "{\"horse\": " + std::to_string(horse) + ", \"mark\": " +
                JsonString(MarkText(race.runners[static_cast<std::size_t>(horse - 1)].mark)) + "}");
        }
    }
    std::vector<std::string> combinations;
    for (const std::string& bet : BetTexts(race.bets)) {
        if (!bet.empty()) {
            combinations.push_back(JsonString(kol::Trim(bet)));
        }
    }
    const bool bets = race.bets.made;
    std::string json = "{\"race\": " + std::to_string(race.raceIndex);
    json += ", \"titleLines\": " + JsonArray(titles);
    json += ", \"header\": " + JsonRow(GridHeader());
    json += ", \"rows\": " + JsonArray(rows);
    json += ", \"marks\": " + JsonArray(marks);
    json += ", \"bets\": {\"line\": " + JsonString(BetsLine(race.bets));
    json += ", \"win\": " + (bets ? std::to_string(race.bets.win) : "null");
    json += ", \"combinations\": " + JsonArray(combinations) + "}";
    json += ", \"grade\": " + (bets ? JsonString(ConfidenceText(race.bets.confidence)) : "null");
    return json + "}";
}

} // namespace

int CmdShow(const Context& ctx)
{
    std::vector<std::string> args = ctx.args;
    const auto jsonFlag = std::find(args.begin(), args.end(), "--json");
    const bool json = jsonFlag != args.end();
    if (json) {
        args.erase(jsonFlag);
    }
    const std::optional<int> raceIndex = args.size() == 1 ? ParseIndex(args[0]) : std::nullopt;
    if (!raceIndex) {
        std::cerr << "usage: furlox-cli show [--json] RACE   (RACE: the 0-based race index)\n";
        return 2;
    }
    const kol::RaceDay day = RequireRaceDay(ctx);
    const AnalysedRace race = AnalyseRace(day, *raceIndex);
    const std::vector<GridRow> grid = GridRows(race);
    if (json) {
        std::cout << RaceJson(race, grid) << "\n";
        return 0;
    }

    std::vector<std::size_t> widths(kGridColumns, 0);
    auto widen = [&widths](const GridRow& cells) {
        for (std::size_t c = 0; c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], EscapedData(cells[c]).size());
        }
    };
    widen(GridHeader());
    for (const GridRow& row : grid) {
        widen(row);
    }

    // The data's texts with their control bytes escaped, laid out in CP932 bytes.
    std::string out = EscapedData(race.startLine) + "\n" + EscapedData(race.raceHeader) + "\n\n";
    out += GridLine(race, 0, GridHeader(), widths) + "\n";
    for (std::size_t r = 0; r < grid.size(); ++r) {
        out += GridLine(race, static_cast<int>(r) + 1, grid[r], widths) + "\n";
    }
    out += "\n";

    // The label's lines end with CR LF, as the window shows them.
    const std::string lblTan = BetsLabel(race.bets);
    std::string label;
    for (std::size_t i = 0; i < lblTan.size(); ++i) {
        if (lblTan[i] == '\r' && i + 1 < lblTan.size() && lblTan[i + 1] == '\n') {
            continue;
        }
        label += lblTan[i];
    }
    out += label;
    if (!label.empty() && label.back() != '\n') {
        out += "\n";
    }
    if (race.bets.made) {
        out += "\n勝負度： "_sj + ConfidenceText(race.bets.confidence) + "\n";
    }
    std::cout << Printable(out, LineBreaks::Keep);
    return 0;
}

} // namespace furlox::cli
