#include "output/RaceCard.h"

#include <algorithm>

#include "analysis/RaceFormat.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "output/TextExport.h"

namespace furlox {
namespace {

constexpr int kRunsPerBlock = kPastRunRows;
constexpr int kBlockLines = 2;
constexpr int kTextInset = 10;                      // text inside its box, left and right
constexpr std::uint32_t kHeadBackground = 0xD8D8D8; // the past runs' header row
constexpr int kFailureFontHeight = 45;

// Grid columns of the runs, oldest first, as the grid's 5前 … 1前.
constexpr int RunColumn(int run)
{
    return kColRun5 + run;
}

std::string Trimmed(const std::string& text)
{
    return std::string(kol::Trim(text));
}

CardText PlacedText(int left, int top, int width, int height, std::string text, int fontHeight)
{
    CardText t;
    t.left = left;
    t.top = top;
    t.width = width;
    t.height = height;
    t.text = std::move(text);
    t.fontHeight = fontHeight;
    return t;
}

// Builds one page after another; the running top is where the next thing goes.
class CardPager
{
public:
    CardPager(std::vector<RaceCardPage>& pages, int pageHeight)
        : m_pages(pages), m_pageHeight(pageHeight)
    {}

    RaceCardPage& Page() { return m_pages.back(); }
    void Advance(int height) { m_top += height; }
    int Room() const { return m_pageHeight - m_top; }

    void NewPage(int race, int top)
    {
        m_pages.emplace_back();
        m_pages.back().race = race;
        m_top = top;
    }

    void Add(CardText text) { Page().texts.push_back(std::move(text)); }

    CardText Text(int left, int width, int height, std::string text, int fontHeight) const
    {
        return PlacedText(left, m_top, width, height, std::move(text), fontHeight);
    }

private:
    std::vector<RaceCardPage>& m_pages;
    int m_pageHeight;
    int m_top = 0;
};

class RaceCardLayout
{
public:
    RaceCardLayout(int pageWidth, int pageHeight, const RaceCardSettings& settings,
                   std::vector<RaceCardPage>& pages)
        : m_pageWidth(pageWidth), m_pageHeight(pageHeight), m_s(settings),
          m_pager(pages, pageHeight)
    {
        const int runsWidth = pageWidth - settings.grid.leftMargin - settings.labelWidth;
        m_runWidth = std::max(1, runsWidth / kRunsPerBlock);
        m_blockHeight = kBlockLines * settings.runLineHeight + 2 * settings.runPadding;
        m_headHeight = settings.runLineHeight + settings.runPadding;
    }

    void AddRace(int index, const RaceCardRace& card)
    {
        if (!card.failure.empty()) {
            AddFailedRace(index, card);
            return;
        }
        const AnalysedRace& race = card.race;
        const std::vector<PrintPage> gridPages =
            LayoutPrintPages(race, m_pageWidth, m_pageHeight, m_s.grid);
        for (const PrintPage& gridPage : gridPages) {
            m_pager.NewPage(index, 0);
            m_pager.Page().grid = gridPage;
            if (&gridPage == &gridPages.front()) {
                AddGradeBox(race);
                AddMarksPanel(card);
            }
        }
        int bottom = m_s.grid.headerSize;
        for (const PrintCell& cell : m_pager.Page().grid.cells) {
            bottom = std::max(bottom, cell.top + cell.height);
        }
        m_pager.Advance(bottom + m_s.sectionGap);
        if (m_pager.Room() < m_headHeight + m_blockHeight) {
            ContinuationPage(index, race);
        } else {
            AddRunsHead();
        }
        for (int row = 1; row <= static_cast<int>(card.grid.size()); ++row) {
            if (m_pager.Room() < m_blockHeight) {
                ContinuationPage(index, race);
            }
            AddRunnerBlock(card, row);
        }
    }

private:
    int Left() const { return m_s.grid.leftMargin; }
    int RunLeft(int run) const { return Left() + m_s.labelWidth + run * m_runWidth; }

    void AddFailedRace(int index, const RaceCardRace& card)
    {
        m_pager.NewPage(index, m_s.grid.headerSize);
        PrintPage& grid = m_pager.Page().grid;
        grid.titleLines = {card.race.startLine, card.race.raceHeader, ""};
        grid.titleTop = m_s.grid.headerSize;
        m_pager.Advance(m_s.grid.titleLineHeight * static_cast<int>(grid.titleLines.size()));
        const int width = m_pageWidth - Left();
        for (const std::string& line :
             {"このレースは分析できないため印刷できません。"_sj, card.failure}) {
            CardText text =
                m_pager.Text(Left(), width, m_s.grid.titleLineHeight, line, kFailureFontHeight);
            text.font = 0xC00000;
            m_pager.Add(std::move(text));
            m_pager.Advance(m_s.grid.titleLineHeight);
        }
    }

    // The grade at the top right of the race's first page, as a newspaper marks its pick.
    void AddGradeBox(const AnalysedRace& race)
    {
        const int left = m_pageWidth - m_s.gradeBoxWidth;
        const int top = m_s.grid.headerSize;
        const int captionHeight = m_s.gradeBoxHeight / 3;
        CardText box;
        box.left = left;
        box.top = top;
        box.width = m_s.gradeBoxWidth;
        box.height = m_s.gradeBoxHeight;
        box.border = true;
        CardText caption = box;
        caption.height = captionHeight;
        caption.text = "勝負度"_sj;
        caption.fontHeight = m_s.runFontHeight;
        caption.align = CellAlign::Centre;
        caption.background = kHeadBackground;
        CardText letter = box;
        letter.top = top + captionHeight;
        letter.height = m_s.gradeBoxHeight - captionHeight;
        letter.border = false;
        letter.text = race.bets.made ? ConfidenceText(race.bets.confidence) : "－"_sj;
        letter.fontHeight = letter.height * 3 / 4;
        letter.align = CellAlign::Centre;
        letter.bold = true;
        m_pager.Add(std::move(box));
        m_pager.Add(std::move(caption));
        m_pager.Add(std::move(letter));
    }

    // The marked runners beside the grid, best first, as a newspaper lists its picks.
    void AddMarksPanel(const RaceCardRace& card)
    {
        int gridRight = Left();
        for (const PrintCell& cell : m_pager.Page().grid.cells) {
            gridRight = std::max(gridRight, cell.left + cell.width);
        }
        const int left = gridRight + m_s.sectionGap * 2;
        const int width = m_pageWidth - left;
        const int lineHeight = m_s.grid.titleLineHeight;
        int top = m_s.grid.headerSize + m_s.gradeBoxHeight + m_s.sectionGap;
        if (width < m_s.gradeBoxWidth) {
            return; // no room on a narrow page
        }
        auto line = [&](std::string text, std::uint32_t background, bool bold) {
            CardText t =
                PlacedText(left, top, width, lineHeight, std::move(text), m_s.grid.fontHeight);
            t.background = background;
            t.bold = bold;
            t.border = true;
            m_pager.Add(std::move(t));
            top += lineHeight;
        };
        line("印"_sj, kHeadBackground, true);
        for (int horse : card.race.markTable) {
            // Horse number h stands in grid row h.
            if (horse >= 1 && horse <= static_cast<int>(card.grid.size())) {
                const GridRow& row = card.grid[static_cast<std::size_t>(horse - 1)];
                line(Trimmed(row[kColMark]) + " " + kol::PadLeft(std::to_string(horse), 2) + " " +
                         Trimmed(row[kColHorseName]) + "  " + Trimmed(row[kColTotal]),
                     0xFFFFFF, false);
            }
        }
    }

    void ContinuationPage(int index, const AnalysedRace& race)
    {
        m_pager.NewPage(index, m_s.grid.headerSize);
        CardText heading = m_pager.Text(Left(), m_pageWidth - Left(), m_s.grid.titleLineHeight,
                                        race.raceHeader + "（続き）"_sj, m_s.grid.fontHeight);
        m_pager.Add(std::move(heading));
        m_pager.Advance(m_s.grid.titleLineHeight + m_s.runPadding);
        AddRunsHead();
    }

    void AddRunsHead()
    {
        auto head = [this](int left, int width, std::string text) {
            CardText t =
                m_pager.Text(left, width, m_headHeight, std::move(text), m_s.runFontHeight);
            t.align = CellAlign::Centre;
            t.background = kHeadBackground;
            t.border = true;
            t.bold = true;
            m_pager.Add(std::move(t));
        };
        head(Left(), m_s.labelWidth, "馬番・馬名・騎手"_sj);
        for (int run = 0; run < kRunsPerBlock; ++run) {
            head(RunLeft(run), m_runWidth, Grid2RowHeader(run + 1));
        }
        m_pager.Advance(m_headHeight);
    }

    // One line of text inside a block; `line` counts from 0.
    CardText Line(int left, int width, int line, std::string text) const
    {
        CardText t = m_pager.Text(left + kTextInset, width - 2 * kTextInset, m_s.runLineHeight,
                                  std::move(text), m_s.runFontHeight);
        t.top += m_s.runPadding + line * m_s.runLineHeight;
        return t;
    }

    void AddRunnerBlock(const RaceCardRace& card, int row)
    {
        const AnalysedRace& race = card.race;
        const GridRow& cells = card.grid[static_cast<std::size_t>(row - 1)];
        m_pager.Page().runnerRows.push_back(row);

        CardText label = m_pager.Text(Left(), m_s.labelWidth, m_blockHeight, "", 0);
        label.border = true;
        m_pager.Add(label);
        AddRunnerLabel(race, row, cells);

        const auto& runs = card.pastRuns[static_cast<std::size_t>(row - 1)];
        for (int run = 0; run < kRunsPerBlock; ++run) {
            AddRun(card, row, run, runs[static_cast<std::size_t>(run)]);
        }
        m_pager.Advance(m_blockHeight);
    }

    // The runner's own cell, two lines: the bracket in its own colours, the horse number, the
    // name and the mark; then the jockey and weight, and the total.
    void AddRunnerLabel(const AnalysedRace& race, int row, const GridRow& cells)
    {
        const CellStyle bracketStyle = Grid1CellStyle(race, row, kColBracket);
        const int bracketWidth = m_s.runLineHeight + 2 * kTextInset;
        CardText bracket = Line(Left(), bracketWidth, 0, Trimmed(cells[kColBracket]));
        bracket.background = bracketStyle.background;
        bracket.font = bracketStyle.font;
        bracket.align = CellAlign::Centre;
        bracket.border = true;
        m_pager.Add(std::move(bracket));
        const int numberWidth = m_s.runFontHeight * 4; // "18番" in bold, with its insets
        CardText number =
            Line(Left() + bracketWidth, numberWidth, 0, Trimmed(cells[kColHorseNumber]) + "番"_sj);
        number.bold = true;
        m_pager.Add(std::move(number));
        const int markWidth = m_s.runFontHeight * 2;
        const int nameLeft = Left() + bracketWidth + numberWidth;
        CardText name = Line(nameLeft, Left() + m_s.labelWidth - markWidth - nameLeft, 0,
                             Trimmed(cells[kColHorseName]));
        name.bold = true;
        m_pager.Add(std::move(name));
        // The mark at the right of the first line, where the name stops short of it.
        CardText mark = Line(Left(), m_s.labelWidth, 0, Trimmed(cells[kColMark]));
        mark.align = CellAlign::Right;
        mark.bold = true;
        m_pager.Add(std::move(mark));
        m_pager.Add(Line(Left(), m_s.labelWidth * 3 / 5, 1,
                         Trimmed(cells[kColJockey]) + " " + Trimmed(cells[kColWeight])));
        CardText total = Line(Left() + m_s.labelWidth * 3 / 5, m_s.labelWidth * 2 / 5, 1,
                              "総合 "_sj + Trimmed(cells[kColTotal]));
        total.align = CellAlign::Right;
        m_pager.Add(std::move(total));
    }

    void AddRun(const RaceCardRace& card, int row, int run, const PastRunRow& data)
    {
        const int left = RunLeft(run);
        CardText box = m_pager.Text(left, m_runWidth, m_blockHeight, "", 0);
        box.border = true;
        m_pager.Add(box);
        if (data.cells[0].empty()) {
            return; // no such run
        }
        // Cell k of the run is data column k + 1 of the detail window's past-run grid.
        auto field = [&](int line, int column, int fromPercent, int toPercent, CellAlign align) {
            const int from = m_runWidth * fromPercent / 100;
            const int to = m_runWidth * toPercent / 100;
            CardText t = Line(left + from, to - from, line, Trimmed(data.cells[column - 1]));
            t.align = align;
            t.font = PastRunFont(data, column);
            m_pager.Add(std::move(t));
        };
        // Each field has its own part of the line, so that a long one is cut short instead
        // of running into its neighbour.
        field(0, 1, 0, 28, CellAlign::Left);    // meeting and date
        field(0, 3, 28, 58, CellAlign::Left);   // class
        field(0, 4, 58, 100, CellAlign::Right); // surface, distance and going
        field(1, 5, 0, 26, CellAlign::Left);    // time
        field(1, 6, 26, 42, CellAlign::Left);   // field size
        const int finishFrom = m_runWidth * 42 / 100;
        CardText finish = Line(left + finishFrom, m_runWidth * 60 / 100 - finishFrom, 1,
                               Trimmed(data.cells[kPastRunFinishColumn - 1]));
        finish.font = PastRunFont(data, kPastRunFinishColumn);
        finish.bold = data.finish == 1; // a win
        m_pager.Add(std::move(finish));
        // The run's figure in the grid's own colours.
        const int column = RunColumn(run);
        const CellStyle style = Grid1CellStyle(card.race, row, column);
        const int figureWidth = m_runWidth * 2 / 5;
        CardText figure = Line(left + m_runWidth - figureWidth, figureWidth, 1,
                               "FX "_sj + Trimmed(card.grid[static_cast<std::size_t>(row - 1)]
                                                           [static_cast<std::size_t>(column)]));
        figure.left -= kTextInset;
        figure.width += kTextInset;
        figure.align = CellAlign::Right;
        figure.background = style.background;
        figure.font = style.font;
        figure.bold = true;
        m_pager.Add(std::move(figure));
    }

    int m_pageWidth;
    int m_pageHeight;
    const RaceCardSettings& m_s;
    CardPager m_pager;
    int m_runWidth = 0;
    int m_blockHeight = 0;
    int m_headHeight = 0;
};

} // namespace

std::vector<int> AllRaceIndexes(const kol::RaceDay& day)
{
    std::vector<int> races;
    for (int i = 0; i < day.RaceCount(); ++i) {
        races.push_back(i);
    }
    return races;
}

std::vector<RaceCardRace> BuildRaceCard(const kol::RaceDay& day, const std::vector<int>& races)
{
    std::vector<RaceCardRace> card;
    card.reserve(races.size());
    for (int index : races) {
        RaceCardRace entry;
        entry.raceIndex = index;
        try {
            entry.race = AnalyseRaceForBatch(day, index);
            entry.grid = GridRows(entry.race);
            for (int r = 0; r < static_cast<int>(entry.race.runners.size()); ++r) {
                entry.pastRuns.push_back(BuildPastRuns(day, entry.race, r));
            }
        } catch (const Error& e) {
            entry.failure = e.what();
            entry.pastRuns.clear();
            entry.grid.clear();
            entry.race = AnalysedRace();
            entry.race.raceIndex = index;
            if (index >= 0 && index < day.RaceCount()) {
                const kol::RaceTexts& texts = day.races[static_cast<std::size_t>(index)];
                entry.race.startLine = texts.startLine;
                entry.race.raceHeader = texts.raceHeader;
            }
        }
        card.push_back(std::move(entry));
    }
    return card;
}

std::vector<std::string> RaceCardFailures(const std::vector<RaceCardRace>& races)
{
    std::vector<std::string> failures;
    for (const RaceCardRace& race : races) {
        if (!race.failure.empty()) {
            failures.push_back(race.failure);
        }
    }
    return failures;
}

std::vector<RaceCardPage> LayoutRaceCard(const std::vector<RaceCardRace>& races, int pageWidth,
                                         int pageHeight, const RaceCardSettings& settings)
{
    std::vector<RaceCardPage> pages;
    RaceCardLayout layout(pageWidth, pageHeight, settings, pages);
    for (std::size_t i = 0; i < races.size(); ++i) {
        layout.AddRace(static_cast<int>(i), races[i]);
    }
    return pages;
}

} // namespace furlox
