#include "output/TextExport.h"

#include <iterator>

#include "analysis/RaceAnalysis.h"
#include "analysis/RaceFormat.h"
#include "base/AtomicFile.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Platform.h"
#include "kol/KolHen.h"

namespace furlox {

namespace {

enum class Fill
{
    None,
    Left,  // blanks on the right
    Right, // blanks on the left
};

// The runner line's fields: grid column, width in bytes and which side gets the blanks.
struct TextColumn
{
    int column;
    std::size_t width;
    Fill fill;
};
const TextColumn kTextColumns[] = {
    {kColHorseNumber, 2, Fill::Right}, {kColHorseName, 18, Fill::Left},
    {kColWeight, 0, Fill::None},       {kColJockey, 6, Fill::Left},
    {kColRun5, 4, Fill::Right},        {kColRun5 + 1, 4, Fill::Right},
    {kColRun5 + 2, 4, Fill::Right},    {kColRun5 + 3, 4, Fill::Right},
    {kColRun1, 4, Fill::Right},        {kColTotal, 6, Fill::Right},
    {kColMark, 2, Fill::Left},
};

// Bytes first..first+count-1 (1-based) of a text; missing bytes are left out.
std::string Bytes(std::string_view text, std::size_t first, std::size_t count)
{
    if (first == 0 || first > text.size()) {
        return {};
    }
    return std::string(text.substr(first - 1, count));
}

// A name the save dialog offers must stay one plain name in the folder the user picks, also
// when the race record holds other bytes than digits where the date and race number belong.
std::string PlainFileName(std::string name)
{
    // Control bytes and these never belong in a name; "\\" and "|" only where they are not
    // the second byte of a double-byte character.
    constexpr std::string_view kNeverInNames = "/:*?\"<>";
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool never = c < 0x20 || c == 0x7F || kNeverInNames.find(name[i]) != name.npos;
        if (never || ((c == '\\' || c == '|') && !IsTrailByteAt(name, i))) {
            name[i] = '_';
        }
    }
    return name;
}

// The two-digit year, month and day of the date text YYYY/MM/DD(曜).
std::string DateDigits(const kol::RaceTexts& race)
{
    return Bytes(race.dateText, 3, 2) + Bytes(race.dateText, 6, 2) + Bytes(race.dateText, 9, 2);
}

} // namespace

const std::string& TextHeaderLine()
{
    return "番   馬          名   斤量 騎  手  5前  4前  3前  2前  1前  総 合 印"_sj;
}

std::string TextRunnerLine(const GridRow& row)
{
    std::string line;
    for (const TextColumn& c : kTextColumns) {
        if (!line.empty()) {
            line += ' ';
        }
        const std::string& cell = row[static_cast<std::size_t>(c.column)];
        switch (c.fill) {
        case Fill::None:
            line += cell;
            break;
        case Fill::Left:
            line += kol::PadRight(cell, c.width);
            break;
        case Fill::Right:
            line += kol::PadLeft(cell, c.width);
            break;
        }
    }
    return line;
}

std::vector<std::string> RaceTextLines(const AnalysedRace& race)
{
    std::vector<std::string> lines = PrintTitleLines(race);
    lines.push_back(TextHeaderLine());
    for (const GridRow& row : GridRows(race)) {
        lines.push_back(TextRunnerLine(row));
    }
    return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines)
{
    std::size_t size = 0;
    for (const std::string& line : lines) {
        size += line.size() + kCrLf.size();
    }
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += kCrLf;
    }
    return text;
}

std::string OneRaceText(const AnalysedRace& race)
{
    return JoinCrLf(RaceTextLines(race));
}

AnalysedRace AnalyseRaceForBatch(const kol::RaceDay& day, int raceIndex)
{
    // The user should learn which race stopped a batch, not only what was wrong in it.
    auto named = [&](const char* what) {
        std::string caption;
        if (raceIndex >= 0 && raceIndex < static_cast<int>(day.races.size())) {
            caption =
                std::string(kol::Trim(day.races[static_cast<std::size_t>(raceIndex)].menuCaption));
        }
        return std::to_string(raceIndex + 1) + "番目のレース「"_sj + caption + "」: "_sj + what;
    };
    try {
        return AnalyseRace(day, raceIndex);
    } catch (const ConvertError& e) {
        throw ConvertError(named(e.what()));
    } catch (const Error& e) {
        throw Error(named(e.what()));
    }
}

std::string AllRacesText(const kol::RaceDay& day)
{
    std::vector<std::string> lines;
    for (int i = 0; i < day.RaceCount(); ++i) {
        const AnalysedRace race = AnalyseRaceForBatch(day, i);
        std::vector<std::string> block = RaceTextLines(race);
        lines.insert(lines.end(), std::make_move_iterator(block.begin()),
                     std::make_move_iterator(block.end()));
        lines.emplace_back();
    }
    return JoinCrLf(lines);
}

void RefuseReadOnlyTarget(const std::filesystem::path& path)
{
    if (platform::IsReadOnlyFile(path)) {
        throw Error("ファイル "_sj + EscapeControlBytes(PathText(path)) +
                    " は読み取り専用になっているため、置き換えません。\r\n"
                    "別の名前で保存するか、読み取り専用を外してから、もう一度お試しください。"_sj);
    }
}

bool CanCreateFile(const std::filesystem::path& path)
{
    std::error_code ec;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    return !std::filesystem::is_directory(path, ec) && std::filesystem::is_directory(folder, ec);
}

void WriteExportFile(const std::filesystem::path& path, std::string_view bytes)
{
    RefuseReadOnlyTarget(path);
    if (!WriteFileAtomic(path, bytes)) {
        throw Error("ファイル "_sj + PathText(path) + " を作成できません"_sj);
    }
}

std::string SuggestedRaceFileName(const kol::RaceTexts& race)
{
    // The race number without its leading zero.
    return PlainFileName(DateDigits(race) + kol::CourseName(race.courseCode) +
                         std::to_string(race.raceNumber));
}

std::string SuggestedAllRacesFileName(const kol::RaceTexts& race)
{
    return PlainFileName(DateDigits(race) + "s");
}

std::string SuggestedDayFileName(const kol::RaceTexts& race)
{
    return PlainFileName(DateDigits(race));
}

std::string SuggestedPlotFileName(const kol::RaceTexts& race)
{
    return PlainFileName(DateDigits(race) + "w");
}

} // namespace furlox
