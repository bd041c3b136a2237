// Race-day bytes → the loaded day, every race analysed, every export and every runner's
// detail data.
//
// Input: one flag byte, then the race file, the entry file and the horse file, split at the
// first two 0x1E bytes (a control byte no KOL record uses; later ones belong to the horse
// file). Most inputs are loaded in memory the way LoadKolFiles loads the files; one in
// sixteen (flag bits 0-3 all clear) also goes through the real files in a scratch folder,
// must load the same day, and has its HTML and text exports written there. Every file is also
// split by a plain reading of the line rule and by the line splitter fed in pieces.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "analysis/GridRules.h"
#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "detail/HorseDetail.h"
#include "kol/LineReader.h"
#include "kol/RaceDay.h"
#include "output/HtmlExport.h"
#include "output/PlotExport.h"
#include "output/PrintLayout.h"
#include "output/TextExport.h"

namespace {

using namespace furlox;
namespace fz = furlox::fuzz;

constexpr char kFileSeparator = '\x1E';

struct DayFiles
{
    std::string_view race;
    std::string_view entry;
    std::string_view horse;
};

DayFiles SplitInput(std::string_view bytes)
{
    DayFiles files;
    const std::size_t first = bytes.find(kFileSeparator);
    files.race = bytes.substr(0, first);
    if (first == std::string_view::npos) {
        return files;
    }
    const std::size_t second = bytes.find(kFileSeparator, first + 1);
    files.entry = bytes.substr(first + 1, second == std::string_view::npos ? std::string_view::npos
                                                                           : second - first - 1);
    if (second != std::string_view::npos) {
        files.horse = bytes.substr(second + 1);
    }
    return files;
}

// The line rule read the plain way, over the whole bytes at once: a CR ends a line and an LF
// right after it belongs to that end, 0x1A ends the file, a last line without end counts when
// the file is complete (or ended by 0x1A).
kol::KolLines ReferenceLines(std::string_view bytes, std::size_t maxLines, bool complete)
{
    if (const std::size_t eof = bytes.find('\x1A'); eof != std::string_view::npos) {
        bytes = bytes.substr(0, eof);
        complete = true;
    }
    kol::KolLines out;
    auto add = [&](std::string_view line) {
        if (out.lines.size() < maxLines) {
            out.lines.emplace_back(line);
        }
        ++out.total;
    };
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t cr = bytes.find('\r', start);
        if (cr == std::string_view::npos) {
            if (complete) {
                add(bytes.substr(start));
            }
            break;
        }
        add(bytes.substr(start, cr - start));
        start = cr + 1;
        if (start < bytes.size() && bytes[start] == '\n') {
            ++start;
        }
    }
    return out;
}

bool SameLines(const kol::KolLines& a, const kol::KolLines& b)
{
    return a.total == b.total && a.lines == b.lines;
}

// The splitter gets the file in pieces cut anywhere (between a CR and its LF too), as the
// loader reads it; whole or in pieces, it must split as the plain reading does.
void CheckLineRule(std::string_view bytes, std::uint32_t seed)
{
    for (const bool complete : {true, false}) {
        for (const std::size_t limit : {std::size_t{3}, std::size_t{kol::kMaxEntryLines}}) {
            const kol::KolLines expected = ReferenceLines(bytes, limit, complete);
            FUZZ_CHECK(SameLines(kol::SplitKolLines(bytes, limit, complete), expected),
                       "SplitKolLines differs from the line rule");
            kol::KolLineSplitter splitter(limit);
            std::uint32_t state = seed | 1;
            for (std::size_t at = 0; at < bytes.size();) {
                state = state * 1103515245u + 12345u;
                const std::size_t piece =
                    (state >> 16) % 9 == 0 ? (state >> 8) % 4096 + 1 : (state >> 16) % 7 + 1;
                splitter.Feed(bytes.substr(at, piece));
                at += piece;
            }
            FUZZ_CHECK(SameLines(splitter.Finish(complete), expected),
                       "the line splitter fed in pieces differs from the line rule");
        }
    }
}

// The day as LoadKolFiles builds it from whole files, without the disk.
kol::RaceDay DayInMemory(const DayFiles& files, std::size_t& notices)
{
    kol::RaceDay day;
    kol::KolLines races = kol::SplitKolLines(files.race, kol::kMaxRaces);
    kol::KolLines entries = kol::SplitKolLines(files.entry, kol::kMaxEntryLines);
    kol::KolLines horses = kol::SplitKolLines(files.horse, kol::kMaxEntryLines);
    FUZZ_CHECK(races.lines.size() <= static_cast<std::size_t>(kol::kMaxRaces), "race limit");
    FUZZ_CHECK(entries.lines.size() <= static_cast<std::size_t>(kol::kMaxEntryLines), "entries");
    FUZZ_CHECK(horses.lines.size() <= static_cast<std::size_t>(kol::kMaxEntryLines), "horses");
    FUZZ_CHECK(races.total >= races.lines.size(), "line count below the lines kept");
    notices = (races.total > static_cast<std::size_t>(kol::kMaxRaces)) +
              (entries.total > static_cast<std::size_t>(kol::kMaxEntryLines)) +
              (horses.total > static_cast<std::size_t>(kol::kMaxEntryLines));
    day.raceLines = std::move(races.lines);
    for (const std::string& line : day.raceLines) {
        FUZZ_CHECK(line.find('\r') == std::string::npos, "a CR left inside a line");
        day.races.push_back(kol::ParseRaceRecord(line));
    }
    day.entryLines = std::move(entries.lines);
    day.horseLines = std::move(horses.lines);
    return day;
}

bool SameTexts(const kol::RaceTexts& a, const kol::RaceTexts& b)
{
    return a.dateText == b.dateText && a.meetingText == b.meetingText &&
           a.headCountText == b.headCountText && a.startLine == b.startLine &&
           a.raceHeader == b.raceHeader && a.menuCaption == b.menuCaption &&
           a.distanceText == b.distanceText && a.raceKindText == b.raceKindText &&
           a.weightTermsText == b.weightTermsText && a.gradeLabel == b.gradeLabel &&
           a.surfaceText == b.surfaceText;
}

// The real loader must read the files exactly as the in-memory split does.
void CompareWithLoader(const DayFiles& files, const kol::RaceDay& expected, std::size_t notices)
{
    const std::filesystem::path dir = fz::ScratchRoot() / "day";
    std::filesystem::create_directories(dir);
    fz::WriteBytes(dir / kol::kRaceFileName, files.race);
    fz::WriteBytes(dir / kol::kEntryFileName, files.entry);
    fz::WriteBytes(dir / kol::kHorseFileName, files.horse);
    const std::optional<kol::LoadedDay> outcome = kol::LoadKolFiles(dir);
    FUZZ_CHECK(outcome.has_value(), "the three files are there");
    FUZZ_CHECK(outcome->warnings.size() == notices, "notices about a day cut short");
    const kol::RaceDay& loaded = outcome->day;
    FUZZ_CHECK(loaded.raceLines == expected.raceLines, "race lines differ from the split");
    FUZZ_CHECK(loaded.entryLines == expected.entryLines, "entry lines differ from the split");
    FUZZ_CHECK(loaded.horseLines == expected.horseLines, "horse lines differ from the split");
    FUZZ_CHECK(loaded.races.size() == expected.races.size(), "race texts");
    for (std::size_t i = 0; i < loaded.races.size(); ++i) {
        FUZZ_CHECK(SameTexts(loaded.races[i], expected.races[i]), "race texts differ");
    }
}

// A file name the save dialog suggests must stay a plain name in the chosen folder.
void CheckSuggestedName(const std::string& name)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        FUZZ_CHECK(c >= 0x20 && c != 0x7F,
                   "control byte in a suggested file name: " + fz::Printable(name));
        FUZZ_CHECK(c != '/' && c != ':',
                   "path separator in a suggested file name: " + fz::Printable(name));
        FUZZ_CHECK(c != '\\' || IsTrailByteAt(name, i),
                   "backslash in a suggested file name: " + fz::Printable(name));
    }
    FUZZ_CHECK(name != "." && name != "..", "suggested file name . or ..");
}

void CheckAnalysedRace(const AnalysedRace& race, int raceIndex)
{
    const auto n = static_cast<std::size_t>(race.headCount);
    FUZZ_CHECK(race.raceIndex == raceIndex, "race index");
    FUZZ_CHECK(race.headCount >= 0, "negative head count");
    FUZZ_CHECK(race.runners.size() == n, "one runner per head");
    FUZZ_CHECK(GridRows(race).size() == n, "one grid row per runner");
    FUZZ_CHECK(race.ratedCount >= 0 && race.ratedCount <= race.headCount, "rated count");
    for (std::size_t r = 0; r < n; ++r) {
        FUZZ_CHECK(race.runners[r].horseNumber == static_cast<int>(r) + 1,
                   "runners in horse-number order");
        FUZZ_CHECK(race.runners[r].place >= 0 && race.runners[r].place <= race.ratedCount,
                   "ranking place");
    }
    for (int number : race.markTable) {
        FUZZ_CHECK(number >= 0 && number <= race.headCount, "mark on no runner");
    }
    const Bets& bets = race.bets;
    FUZZ_CHECK(bets.combinationCount >= 0 && bets.combinationCount <= 6, "combinations");
    FUZZ_CHECK(bets.made || bets.combinationCount == 0, "combinations without bets");
    FUZZ_CHECK(PrintTitleLines(race).size() == 5, "five print title lines");
}

// Every grid row is placed exactly once, in order, over the pages.
void CheckPrintLayout(const AnalysedRace& race, int pageHeight, const PrintSettings& settings)
{
    const std::vector<PrintPage> pages = LayoutPrintPages(race, 2770, pageHeight, settings);
    FUZZ_CHECK(!pages.empty(), "no page");
    int expectedRow = 0;
    int expectedColumn = 0;
    for (const PrintPage& page : pages) {
        for (const PrintCell& cell : page.cells) {
            FUZZ_CHECK(cell.row == expectedRow && cell.column == expectedColumn,
                       "print cells out of order");
            FUZZ_CHECK(cell.width > 0 && cell.height > 0, "empty print cell");
            if (++expectedColumn == kGridColumns) {
                expectedColumn = 0;
                ++expectedRow;
            }
        }
    }
    FUZZ_CHECK(expectedColumn == 0 && expectedRow == static_cast<int>(race.runners.size()) + 1,
               "print layout lost or repeated rows");
}

void Touch(std::string_view cp932)
{
    // The edge conversion every text goes through before a screen or a terminal.
    (void)ToUtf8(cp932);
}

void ExerciseDetail(const kol::RaceDay& day, const AnalysedRace& race)
{
    for (const std::string& text : RunnerListTexts(race)) {
        Touch(text);
    }
    for (int k = 0; k < race.headCount; ++k) {
        HorseDetail d;
        try {
            d = BuildHorseDetail(day, race, k);
        } catch (const Error&) {
            continue; // a prize field that is not a number
        }
        FUZZ_CHECK(d.runnerIndex == k, "runner index");
        FUZZ_CHECK(d.points.size() <= 5, "more chart points than runs");
        for (const auto& [name, text] : HorseDetailLabels(d)) {
            FUZZ_CHECK(text != nullptr, "label without text");
            Touch(*text);
        }
        for (int row = 0; row <= kPastRunRows; ++row) {
            for (int column = 0; column <= kPastRunColumns; ++column) {
                (void)Grid2CellStyle(d, row, column);
            }
        }
        for (const PastRunRow& row : d.rows) {
            for (const std::string& cell : row.cells) {
                Touch(cell);
            }
        }
    }
    bool threw = false;
    try {
        (void)BuildHorseDetail(day, race, race.headCount);
    } catch (const Error&) {
        threw = true;
    }
    FUZZ_CHECK(threw, "detail data of a runner past the field");
}

void ExerciseRace(const kol::RaceDay& day, int i, std::uint8_t flags, bool onDisk)
{
    const kol::RaceTexts& texts = day.races[static_cast<std::size_t>(i)];
    Touch(texts.menuCaption);
    CheckSuggestedName(SuggestedRaceFileName(texts));
    CheckSuggestedName(SuggestedAllRacesFileName(texts));
    CheckSuggestedName(SuggestedPlotFileName(texts));
    (void)PlotDateLine(texts);

    AnalysedRace race;
    try {
        race = AnalyseRace(day, i);
    } catch (const Error&) {
        return; // a head count, weight or distance that is not a number
    }
    CheckAnalysedRace(race, i);
    Touch(race.startLine);
    Touch(race.raceHeader);
    Touch(BetsLabel(race.bets));

    for (int row = 0; row <= race.headCount; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            (void)Grid1CellStyle(race, row, column);
        }
    }
    (void)OneRaceText(race);
    (void)HtmlHeadLines(race);
    (void)HtmlTableLines(race);
    if (race.bets.made) {
        (void)PlotRaceLine(race);
    }

    static constexpr int kPageHeights[] = {1, 190, 1900, 2770};
    PrintSettings settings;
    CheckPrintLayout(race, kPageHeights[(flags >> 4) & 3], settings);
    settings.headerSize = 50; // as after a preview
    CheckPrintLayout(race, kPageHeights[(flags >> 6) & 3], settings);

    ExerciseDetail(day, race);

    if (onDisk) {
        const std::filesystem::path dir = fz::ScratchRoot() / "day";
        WriteHtmlExport(race, dir / "race.htm", dir);
        WriteExportFile(dir / "race.txt", OneRaceText(race));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const DayFiles files = SplitInput(bytes);
    const bool onDisk = (flags & 0x0F) == 0;

    const auto seed =
        static_cast<std::uint32_t>(flags) * 2654435761u + static_cast<std::uint32_t>(size);
    CheckLineRule(files.race, seed);
    CheckLineRule(files.entry, seed + 1);
    CheckLineRule(files.horse, seed + 2);

    std::size_t notices = 0;
    const kol::RaceDay day = DayInMemory(files, notices);
    if (onDisk) {
        CompareWithLoader(files, day, notices);
    }

    for (int i = 0; i < day.RaceCount(); ++i) {
        ExerciseRace(day, i, flags, onDisk);
    }
    try {
        const std::string all = AllRacesText(day);
        if (onDisk) {
            WriteExportFile(fz::ScratchRoot() / "day" / "all.txt", all);
        }
    } catch (const Error&) {
    }
    try {
        (void)PlotText(day);
    } catch (const Error&) {
    }
    return 0;
}
