#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "analysis/RaceFormat.h"
#include "base/Encoding.h"
#include "kol/KolRecords.h"
#include "kol/SampleDay.h"
#include "output/RaceCard.h"
#include "output/SmallDay.h"
#include "support/KolBuilder.h"
#include "support/TempDir.h"

using namespace furlox;
using furlox::test::KolBuilder;
using furlox::test::PastRun;

namespace {

namespace pr = kol::pastrun;

// A4 landscape less 10 mm margins, as the PDF lays the card out.
constexpr int kPageWidth = 2770;
constexpr int kPageHeight = 1900;

kol::RaceDay FullSampleDay(const furlox::test::TempDir& dir)
{
    kol::SampleOptions options;
    options.seed = 1;
    options.full = true;
    kol::WriteSampleDay(options, dir.path());
    std::optional<kol::LoadedDay> loaded = kol::LoadKolFiles(dir.path());
    EXPECT_TRUE(loaded.has_value());
    return loaded ? std::move(loaded->day) : kol::RaceDay();
}

bool PageHoldsText(const RaceCardPage& page, const std::string& cp932)
{
    for (const CardText& text : page.texts) {
        if (text.text.find(cp932) != std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(RaceCard, EveryRunnerPlacedOnceAndEveryRaceOnItsOwnPages)
{
    furlox::test::TempDir dir;
    const kol::RaceDay day = FullSampleDay(dir);
    ASSERT_EQ(day.RaceCount(), 36);
    const std::vector<RaceCardRace> card = BuildRaceCard(day, AllRaceIndexes(day));
    const RaceCardSettings settings;
    const std::vector<RaceCardPage> pages = LayoutRaceCard(card, kPageWidth, kPageHeight, settings);

    // Pages run through the races in order; each race starts on a page of its own whose
    // title lines are the one-race print's.
    std::map<int, int> firstPage;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        ASSERT_GE(pages[p].race, p == 0 ? 0 : pages[p - 1].race);
        firstPage.try_emplace(pages[p].race, static_cast<int>(p));
    }
    ASSERT_EQ(firstPage.size(), card.size());
    for (const auto& [race, p] : firstPage) {
        EXPECT_EQ(pages[static_cast<std::size_t>(p)].grid.titleLines,
                  PrintTitleLines(card[static_cast<std::size_t>(race)].race));
    }

    for (std::size_t r = 0; r < card.size(); ++r) {
        const int runners = static_cast<int>(card[r].race.runners.size());
        std::map<std::pair<int, int>, int> gridCells; // (row, column) → times placed
        std::map<int, int> blocks;                    // runner row → times placed
        for (const RaceCardPage& page : pages) {
            if (page.race != static_cast<int>(r)) {
                continue;
            }
            for (const PrintCell& cell : page.grid.cells) {
                ++gridCells[{cell.row, cell.column}];
                EXPECT_LE(cell.top + cell.height, kPageHeight);
            }
            for (int row : page.runnerRows) {
                ++blocks[row];
            }
            for (const CardText& text : page.texts) {
                EXPECT_LE(text.top + text.height, kPageHeight) << "race " << r;
                EXPECT_LE(text.left + text.width, kPageWidth) << "race " << r;
            }
        }
        EXPECT_EQ(gridCells.size(), static_cast<std::size_t>((runners + 1) * kGridColumns));
        EXPECT_EQ(static_cast<int>(blocks.size()), runners) << "race " << r;
        for (const auto& [key, count] : gridCells) {
            EXPECT_EQ(count, 1);
        }
        for (int row = 1; row <= runners; ++row) {
            EXPECT_EQ(blocks[row], 1) << "race " << r << " runner " << row;
        }
    }
}

// A race of 18 runners, every one with five runs, is one page: the grid, the grade, the marks
// and every runner's past runs (the whole full day is 36 pages).
TEST(RaceCard, ARaceOfEighteenRunnersIsOnePage)
{
    furlox::test::TempDir dir;
    const kol::RaceDay day = FullSampleDay(dir);
    const std::vector<RaceCardRace> card = BuildRaceCard(day, AllRaceIndexes(day));
    const std::vector<RaceCardPage> pages =
        LayoutRaceCard(card, kPageWidth, kPageHeight, RaceCardSettings());
    ASSERT_EQ(pages.size(), card.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        EXPECT_EQ(pages[p].race, static_cast<int>(p));
        EXPECT_EQ(pages[p].runnerRows.size(), 18u) << "race " << p;
    }
}

// Past the first page a race goes on densely: every page but its last is full.
TEST(RaceCard, AContinuedRaceFillsItsPages)
{
    KolBuilder b;
    b.AddRace();
    for (int i = 0; i < 60; ++i) {
        b.AddRunner().Figures({90, 80, 70, 60, 50});
    }
    const kol::RaceDay day = b.Build();
    const RaceCardSettings settings;
    const std::vector<RaceCardRace> card = BuildRaceCard(day, {0});
    const std::vector<RaceCardPage> pages = LayoutRaceCard(card, kPageWidth, kPageHeight, settings);
    ASSERT_GE(pages.size(), 3u);
    const int block = 2 * settings.runLineHeight + 2 * settings.runPadding;
    std::size_t placed = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        placed += pages[p].runnerRows.size();
        int bottom = 0;
        for (const CardText& text : pages[p].texts) {
            bottom = std::max(bottom, text.top + text.height);
        }
        for (const PrintCell& cell : pages[p].grid.cells) {
            bottom = std::max(bottom, cell.top + cell.height);
        }
        EXPECT_LE(bottom, kPageHeight);
        if (p + 1 < pages.size()) {
            EXPECT_GT(bottom, kPageHeight - block) << "page " << p << " is not full";
        }
    }
    EXPECT_EQ(placed, 60u);
}

TEST(RaceCard, ARaceTooLongForOnePageGoesOnUnderItsOwnHeading)
{
    KolBuilder b;
    b.AddRace();
    for (int i = 0; i < 26; ++i) {
        b.AddRunner().Figures({90, 80, 70, 60, 50});
    }
    const kol::RaceDay day = b.Build();
    const std::vector<RaceCardRace> card = BuildRaceCard(day, {0});
    const std::vector<RaceCardPage> pages =
        LayoutRaceCard(card, kPageWidth, kPageHeight, RaceCardSettings());
    ASSERT_GE(pages.size(), 2u);
    EXPECT_TRUE(pages[1].grid.cells.empty());
    EXPECT_TRUE(PageHoldsText(pages[1], card[0].race.raceHeader + "（続き）"_sj));
    EXPECT_TRUE(PageHoldsText(pages[1], "5走前"_sj));

    // A page too short for anything still places every runner, one block a page.
    const std::vector<RaceCardPage> tiny =
        LayoutRaceCard(card, kPageWidth, 200, RaceCardSettings());
    int placed = 0;
    for (const RaceCardPage& page : tiny) {
        placed += static_cast<int>(page.runnerRows.size());
    }
    EXPECT_EQ(placed, 26);
}

TEST(RaceCard, AFailingRaceKeepsItsPlaceAndSaysSo)
{
    KolBuilder b = furlox::test::SmallDay();
    b.race(1).runners[0].SetEntry(kol::entry::kWeightCarried, "5X0");
    const kol::RaceDay day = b.Build();
    const std::vector<RaceCardRace> card = BuildRaceCard(day, AllRaceIndexes(day));
    ASSERT_EQ(card.size(), 3u);
    EXPECT_TRUE(card[0].failure.empty());
    EXPECT_EQ(ToUtf8(card[1].failure),
              "2番目のレース「東京12R サラ3歳以上 1000万 テスト特別」: '5X0' は整数ではありません");
    EXPECT_TRUE(card[2].failure.empty());
    EXPECT_EQ(RaceCardFailures(card), std::vector<std::string>{card[1].failure});

    const std::vector<RaceCardPage> pages =
        LayoutRaceCard(card, kPageWidth, kPageHeight, RaceCardSettings());
    std::vector<const RaceCardPage*> failed;
    for (const RaceCardPage& page : pages) {
        if (page.race == 1) {
            failed.push_back(&page);
        }
    }
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_TRUE(failed[0]->grid.cells.empty());
    EXPECT_EQ(failed[0]->grid.titleLines.at(1), day.races[1].raceHeader);
    EXPECT_TRUE(PageHoldsText(*failed[0], card[1].failure));
    EXPECT_EQ(pages.back().race, 2); // the rest of the day is still there
}

TEST(RaceCard, PastRunsUseTheDetailWindowsColoursAndTheGridsFigures)
{
    KolBuilder b;
    b.AddRace();
    const PastRun winner = PastRun{}.With(pr::kFinish, "01").With(pr::kFigureFinish, "01");
    b.AddRunner()
        .Run(0, winner)
        .Run(1, PastRun{}.With(pr::kSteeplechaseFlag, "1"))
        .Run(2, PastRun{}.With(pr::kCourseCode, "47"))
        .Run(3, PastRun{}
                    .With(pr::kTimeMinutes, " ")
                    .With(pr::kTimeSeconds, "  ")
                    .With(pr::kTimeTenths, " "));
    const kol::RaceDay day = b.Build();
    const std::vector<RaceCardRace> card = BuildRaceCard(day, {0});
    ASSERT_EQ(card[0].pastRuns.size(), 1u);
    const auto& runs = card[0].pastRuns[0];
    EXPECT_TRUE(runs[0].cells[0].empty()); // the fifth run back: none

    const std::vector<RaceCardPage> pages =
        LayoutRaceCard(card, kPageWidth, kPageHeight, RaceCardSettings());
    std::map<std::string, std::set<std::uint32_t>> fonts; // text → colours drawn in
    for (const RaceCardPage& page : pages) {
        for (const CardText& text : page.texts) {
            fonts[ToUtf8(text.text)].insert(text.font);
        }
    }
    EXPECT_EQ(fonts["1着"], std::set<std::uint32_t>{0xFF0000}); // a win
    EXPECT_TRUE(fonts["障1600M良"].count(0x800000));            // a steeplechase
    EXPECT_TRUE(fonts["3着"].count(0x0000FF));                  // a local track
    EXPECT_TRUE(fonts["3着"].count(0x808080));                  // no time
    // The figure of the latest run as the grid shows it, beside the oldest's "*".
    const std::string latest = ToUtf8(card[0].grid[0][kColRun1]);
    EXPECT_EQ(fonts.count("FX " + latest), 1u);
}
