// furlox-cli detail: what the detail window shows for one horse, as one JSON object.
#include <iostream>
#include <optional>

#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "cli/Cli.h"
#include "detail/HorseDetail.h"

namespace furlox::cli {

namespace {

std::string DetailJson(int raceIndex, int horseNumber, const HorseDetail& d)
{
    std::string json = "{\"race\": " + std::to_string(raceIndex) +
                       ", \"horse\": " + std::to_string(horseNumber) + ", \"labels\": {";
    bool first = true;
    for (const auto& [name, text] : HorseDetailLabels(d)) {
        json += (first ? "" : ", ") + JsonString(name) + ": " + JsonString(*text);
        first = false;
    }
    json += "}, \"coatPicture\": " + JsonString(CoatPictureName(d.coatPicture));
    json += ", \"chart\": {\"max\": " + std::to_string(d.chartMax) +
            ", \"min\": " + std::to_string(d.chartMin) + ", \"points\": [";
    for (std::size_t i = 0; i < d.points.size(); ++i) {
        json += (i ? ", [" : "[") + std::to_string(d.points[i].x) + ", " +
                std::to_string(d.points[i].y) + "]";
    }
    json += "]}, \"rows\": [";
    for (int r = 0; r < kPastRunRows; ++r) {
        const PastRunRow& row = d.rows[static_cast<std::size_t>(r)];
        json += (r ? ", " : "") + std::string("{\"header\": ") + JsonString(Grid2RowHeader(r + 1)) +
                ", \"cells\": [";
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            json += (c ? ", " : "") + JsonString(row.cells[c]);
        }
        json += "], \"state\": " + std::to_string(row.state) + "}";
    }
    return json + "]}";
}

} // namespace

int CmdDetail(const Context& ctx)
{
    std::optional<int> raceIndex;
    std::optional<int> horseNumber;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        const bool hasValue = i + 1 < ctx.args.size();
        if (a == "--race" && hasValue) {
            raceIndex = ParseIndex(ctx.args[++i]);
        } else if (a == "--horse" && hasValue) {
            horseNumber = ParseIndex(ctx.args[++i]);
        } else {
            std::cerr << "furlox-cli detail: unexpected argument " << a << "\n";
            return 2;
        }
    }
    if (!raceIndex || !horseNumber) {
        std::cerr << "usage: furlox-cli detail --race RACE --horse K\n";
        return 2;
    }
    const kol::RaceDay day = RequireRaceDay(ctx);
    const AnalysedRace race = AnalyseRace(day, *raceIndex);
    // Horse numbers count from 1; the detail data counts runners from 0.
    const HorseDetail detail = BuildHorseDetail(day, race, *horseNumber - 1);
    std::cout << DetailJson(*raceIndex, *horseNumber, detail) << "\n";
    return 0;
}

} // namespace furlox::cli
