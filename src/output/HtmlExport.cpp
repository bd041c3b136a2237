#include "output/HtmlExport.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "analysis/GridRules.h"
#include "kol/Encoding.h"
#include "kol/Error.h"
#include "output/AtomicFile.h"
#include "output/TextExport.h"

namespace furlox {

namespace {

constexpr std::size_t kTitleHeadLine = 7; // the eighth head line carries the race titles

struct Entity
{
    char c;
    const char* text;
};
constexpr Entity kEntities[] = {
    {'&', "&amp;"},
    {'<', "&lt;"},
    {'>', "&gt;"},
    {'"', "&quot;"},
};

std::string Hex(std::uint32_t rgb)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return buffer;
}

std::string AlignmentPart(CellAlign align, const std::string& text)
{
    if (text.empty()) {
        return {};
    }
    switch (align) {
    case CellAlign::Right:
        return R"( align="right")";
    case CellAlign::Centre:
        return R"( align="center")";
    case CellAlign::Left:
        break;
    }
    return {};
}

// The cell text as the page shows it: data escaped, line breaks and empty cells as "<br>".
std::string CellText(const std::string& text)
{
    if (text.empty()) {
        return "<br>";
    }
    std::string out;
    for (char c : HtmlEscape(text)) {
        if (c == '\r') {
            out += "<br>";
        } else {
            out += c;
        }
    }
    return out;
}

// The lines of a template file; a file that cannot be read gives none. CR LF, CR and LF all
// end a line, so a footer edited on any system reads alike.
std::vector<std::string> ReadTemplateLines(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return {};
    }
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += c;
            open = true;
        }
    }
    if (open) {
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const char* entity = nullptr;
        for (const Entity& e : kEntities) {
            if (e.c == c) {
                entity = e.text;
            }
        }
        if (entity) {
            out += entity;
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> HtmlHeadLines(const AnalysedRace& race)
{
    std::vector<std::string> lines = race.lstHead;
    if (lines.size() > kTitleHeadLine) {
        lines[kTitleHeadLine] = R"(<font color="#FFCC00">)" + HtmlEscape(race.startLine) + "<br>" +
                                HtmlEscape(race.raceHeader) + "</font><p>";
    }
    return lines;
}

std::vector<std::string> HtmlTableLines(const AnalysedRace& race)
{
    std::vector<std::string> lines;
    lines.emplace_back(R"(<table border="0" cellspacing="2" cellpadding="0" Width="80%">)");

    lines.emplace_back("<tr>");
    for (int col = 0; col < kGridColumns; ++col) {
        const std::string& text = race.header[static_cast<std::size_t>(col)];
        const CellStyle style = Grid1CellStyle(race, 0, col);
        lines.push_back("<td nowrap" + AlignmentPart(style.align, text) + R"( BGCOLOR="#)" +
                        Hex(kActiveBorderColour) + R"(")" + "><B>" + CellText(text) + "</B></td>");
    }
    lines.emplace_back("</tr>");

    for (std::size_t r = 0; r < race.rows.size(); ++r) {
        lines.emplace_back("<tr>");
        for (int col = 0; col < kGridColumns; ++col) {
            const std::string& text = race.rows[r][static_cast<std::size_t>(col)];
            const CellStyle style = Grid1CellStyle(race, static_cast<int>(r) + 1, col);
            std::string line = "<td nowrap" + AlignmentPart(style.align, text) + R"( BGCOLOR="#)" +
                               Hex(style.background) + R"(")" + ">" + R"(<Font Color="#)" +
                               Hex(style.font) + R"(">)";
            line += style.bold ? "<B>" + CellText(text) + "</B>" : CellText(text);
            line += "</Font></td>";
            lines.push_back(std::move(line));
        }
        lines.emplace_back("</tr>");
    }
    lines.emplace_back("</table><p>");
    return lines;
}

void WriteHeadFile(const std::filesystem::path& headFile, const AnalysedRace& race)
{
    WriteExportFile(headFile, JoinCrLf(HtmlHeadLines(race)));
}

void SaveGridToHTML(const AnalysedRace& race, const std::filesystem::path& output,
                    const std::filesystem::path& headFile, const std::filesystem::path& footFile)
{
    std::string page = JoinCrLf(ReadTemplateLines(headFile));
    page += JoinCrLf(HtmlTableLines(race));
    page += JoinCrLf(ReadTemplateLines(footFile));
    if (!WriteFileAtomic(output, page)) {
        throw Error("Cannot Create file " + PathText(output));
    }
}

void WriteHtmlExport(const AnalysedRace& race, const std::filesystem::path& output,
                     const std::filesystem::path& workDir)
{
    const std::filesystem::path headFile = workDir / kHeadFileName;
    WriteHeadFile(headFile, race);
    SaveGridToHTML(race, output, headFile, workDir / kFootFileName);
}

} // namespace furlox
