// The command line's results and tally: their JSON and CSV shapes, exit codes, a race that
// could not be analysed, and on a generated season a tally that agrees with one recomputed
// here from every day's results.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "base/Encoding.h"
#include "library/Library.h"
#include "library/SeasonDays.h"
#include "support/JsonValue.h"
#include "support/System.h"
#include "support/TempDir.h"

namespace furlox::test {
namespace {

namespace fs = std::filesystem;

// A day of two races at course 05: race 0 analysed (four rated runners), race 1 with a
// distance that is not a number (its analysis fails); and a later day naming race 0's
// results.
struct SmallSeason
{
    TempDir dir;
    fs::path work = dir / "work";
    SmallSeason()
    {
        fs::create_directories(work);
        KolBuilder day = SeasonDay("20010106", {});
        const std::vector<int> figures = {110, 100, 90, 80};
        const std::vector<std::string> names = {"アルファ", "ベータ", "ガンマ", "デルタ　"};
        for (std::size_t i = 0; i < names.size(); ++i) {
            day.AddRunner()
                .Figures({figures[i], figures[i], figures[i]})
                .SetEntry(kol::entry::kHorseName, names[i]);
        }
        day.AddRace()
            .Set(kol::race::kYear, "2001")
            .Set(kol::race::kMonth, "01")
            .Set(kol::race::kDay, "06")
            .Set(kol::race::kCourseCode, "05")
            .Set(kol::race::kRaceNumber, "12")
            .Set(kol::race::kDistance, "16x0");
        for (int i = 0; i < 3; ++i) {
            day.AddRunner().Figures({100, 100});
        }
        dir.Write("a.lzh", ArchiveOf(day));
        PastRun block = RunOn("05", "01", "06", "02");
        block.horseNumber = "01";
        block.popularity = "01";
        block.winnerOrSecond = "ベータ";
        dir.Write("b.lzh", ArchiveOf(SeasonDay("20010113", {{"アルファ", {block}}}, "06")));
        EXPECT_EQ(
            RunCliIn(work, {"library", "import", Utf8Text(dir / "a.lzh"), Utf8Text(dir / "b.lzh")})
                .exitCode,
            0);
    }
};

TEST(LibraryTallyCli, ResultsOfADay)
{
    SmallSeason s;
    const CommandResult results =
        RunCliIn(s.work, {"library", "results", "2001-01-06", "--json"}, Stderr::Discard);
    EXPECT_EQ(results.exitCode, 1) << "the race that could not be analysed";
    EXPECT_EQ(results.out,
              "{\"date\": \"2001-01-06\", \"races\": [{\"race\": 0, \"course\": \"中山\", "
              "\"number\": 11, \"runners\": ["
              "{\"horse\": 1, \"name\": \"アルファ\", \"finish\": 2, \"popularity\": 1, "
              "\"mark\": \"◎\"}, "
              "{\"horse\": 2, \"name\": \"ベータ\", \"finish\": 1, \"popularity\": null, "
              "\"mark\": \"○\"}, "
              "{\"horse\": 3, \"name\": \"ガンマ\", \"finish\": null, \"popularity\": null, "
              "\"mark\": \"▲\"}, "
              "{\"horse\": 4, \"name\": \"デルタ\", \"finish\": null, \"popularity\": null, "
              "\"mark\": \"△\"}]}]}\n");
    const CommandResult said =
        RunCliIn(s.work, {"library", "results", "2001-01-06", "--json"}, Stderr::Merge);
    EXPECT_NE(said.out.find("12R"), std::string::npos) << said.out;

    EXPECT_EQ(
        RunCliIn(s.work, {"library", "results", "2001-01-07", "--json"}, Stderr::Discard).exitCode,
        1);
    EXPECT_EQ(
        RunCliIn(s.work, {"library", "results", "2001-13-06", "--json"}, Stderr::Discard).exitCode,
        2);
    EXPECT_EQ(RunCliIn(s.work, {"library", "results", "2001-01-06"}, Stderr::Discard).exitCode, 2);
}

TEST(LibraryTallyCli, TallyShapesAndUsage)
{
    SmallSeason s;
    const CommandResult json = RunCliIn(s.work, {"library", "tally", "--json"}, Stderr::Discard);
    EXPECT_EQ(json.exitCode, 1) << "the race that could not be analysed is named";
    const JsonValue tally = ParseJson(json.out);
    EXPECT_EQ(tally.Names(),
              (std::vector<std::string>{"races", "marks", "market", "myMarks", "bets"}));
    EXPECT_EQ(tally["races"].number, 2) << "the later day's race too";
    ASSERT_EQ(tally["marks"].size(), 6u);
    EXPECT_EQ(
        tally["marks"][0].Names(),
        (std::vector<std::string>{"mark", "starts", "first", "second", "third", "out", "unknown"}));
    EXPECT_EQ(tally["marks"][0]["mark"].text, "◎");
    EXPECT_EQ(tally["marks"][0]["second"].number, 1);
    EXPECT_EQ(tally["marks"][5]["mark"].text, "無印");
    ASSERT_EQ(tally["market"].size(), 3u);
    EXPECT_EQ(tally["market"][0].Names()[0], "popularity");
    EXPECT_EQ(tally["market"][0]["second"].number, 1);
    EXPECT_EQ(tally["marks"][0]["unknown"].number, 1);
    EXPECT_EQ(tally["market"][1]["unknown"].number, 2);
    EXPECT_EQ(tally["myMarks"].size(), 0u);
    ASSERT_EQ(tally["bets"].size(), 9u);
    EXPECT_EQ(tally["bets"][3].Names(),
              (std::vector<std::string>{"kind", "grade", "races", "decided", "hits", "void"}));
    EXPECT_EQ(tally["bets"][3]["kind"].text, "馬連");
    EXPECT_EQ(tally["bets"][8]["grade"].text, "C");

    const CommandResult csv = RunCliIn(s.work, {"library", "tally", "--csv"}, Stderr::Discard);
    EXPECT_EQ(csv.exitCode, 1);
    const std::string header = "\xEF\xBB\xBFtable,mark,starts,first,second,third,out,unknown,"
                               "popularity,kind,grade,races,decided,hits,void\r\n";
    ASSERT_EQ(csv.out.substr(0, header.size()), header);
    EXPECT_NE(csv.out.find("\r\nmarks,◎,1,0,1,0,0,1,,,,,,,\r\n"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("\r\nmarket,,1,0,1,0,0,1,1,,,,,,\r\n"), std::string::npos);
    EXPECT_NE(csv.out.find("\r\nbets,,,,,,,,,単勝,B,"), std::string::npos);
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 1 + 6 + 3 + 9);

    const CommandResult table = RunCliIn(s.work, {"library", "tally"}, Stderr::Discard);
    EXPECT_NE(table.out.find("100.0%"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("－"), std::string::npos);

    // A range without the race that failed: exit 0.
    EXPECT_EQ(RunCliIn(s.work, {"library", "tally", "--from", "2001-01-07", "--json"}).exitCode, 0);
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--json", "--csv"},
                                               {"--surface", "砂", "--json"},
                                               {"--grade", "D", "--json"},
                                               {"--distance", "1600", "--json"},
                                               {"--course", "月面", "--json"},
                                               {"--from", "2001-02-30", "--json"},
                                               {"--from"},
                                               {"--colour", "red"}}) {
        std::vector<std::string> args = {"library", "tally"};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(RunCliIn(s.work, args, Stderr::Discard).exitCode, 2) << bad[0];
    }
    const CommandResult course =
        RunCliIn(s.work,
                 {"library", "tally", "--course", "中山", "--surface", "芝", "--class", "1000万",
                  "--distance", "-1600", "--json"},
                 Stderr::Discard);
    EXPECT_EQ(ParseJson(course.out)["races"].number, 1);
}

// ---- a generated season, recomputed from its days' results -------------------------------

struct Counts
{
    long long starts = 0, first = 0, second = 0, third = 0, out = 0, unknown = 0;
    void Add(const JsonValue& finish)
    {
        if (finish.IsNull()) {
            ++unknown;
            return;
        }
        const long long f = finish.number;
        if (f == 34 || f == 35) {
            return;
        }
        ++starts;
        first += f == 1;
        second += f == 2;
        third += f == 3;
        out += f >= 4;
    }
    bool operator==(const Counts&) const = default;
};

Counts CountsOf(const JsonValue& row)
{
    return {row["starts"].number, row["first"].number, row["second"].number,
            row["third"].number,  row["out"].number,   row["unknown"].number};
}

struct BetTotals
{
    long long races = 0, decided = 0, hits = 0, voids = 0;
    bool operator==(const BetTotals&) const = default;
};

// The state of one combination written again from the rules: 'v' void, 'h' hit, 'm' miss,
// 'o' open.
char WinOf(int horse, const std::map<int, long long>& finish)
{
    const auto f = finish.find(horse);
    if (f != finish.end() && (f->second == 34 || f->second == 35)) {
        return 'v';
    }
    if (f != finish.end()) {
        return f->second == 1 ? 'h' : 'm';
    }
    for (const auto& [other, place] : finish) {
        if (place == 1) {
            return 'm';
        }
    }
    return 'o';
}

char PairOf(int a, int b, const std::map<int, long long>& finish)
{
    const auto fa = finish.find(a);
    const auto fb = finish.find(b);
    const auto scratched = [&](auto it) {
        return it != finish.end() && (it->second == 34 || it->second == 35);
    };
    if (scratched(fa) || scratched(fb)) {
        return 'v';
    }
    if (fa != finish.end() && fb != finish.end()) {
        const long long lo = std::min(fa->second, fb->second);
        const long long hi = std::max(fa->second, fb->second);
        return lo == 1 && (hi == 1 || hi == 2) ? 'h' : 'm';
    }
    if ((fa != finish.end() && fa->second >= 3) || (fb != finish.end() && fb->second >= 3)) {
        return 'm';
    }
    int firsts = 0, seconds = 0;
    for (const auto& [horse, place] : finish) {
        firsts += place == 1;
        seconds += place == 2;
    }
    return firsts >= 2 || (firsts >= 1 && seconds >= 1) ? 'm' : 'o';
}

struct StoredRace
{
    std::string grade;
    int surface = 0;
    std::optional<int> distance;
    std::vector<library::BetRow> bets;
};

TEST(LibraryTallyCli, ASampleSeasonsTallyAgreesWithItsDaysResults)
{
    TempDir dir;
    const fs::path work = dir / "work";
    fs::create_directories(work);
    ASSERT_EQ(
        RunCli({"sample-season", "--seed", "7", "--days", "40", "--out", Utf8Text(dir / "season")},
               Stderr::Discard)
            .exitCode,
        0);
    ASSERT_EQ(
        RunCliIn(work, {"library", "import", Utf8Text(dir / "season")}, Stderr::Discard).exitCode,
        0);

    // Bets, grades and the race conditions as the library keeps them.
    std::map<std::pair<std::string, long long>, StoredRace> stored;
    {
        library::Library library = library::Library::Open(work);
        library::Statement races = library.Db().Prepare(
            "SELECT d.date, ra.race_index, ra.confidence, ra.surface, ra.distance, ra.id "
            "FROM races ra JOIN days d ON d.id = ra.day_id");
        library::Statement bets = library.Db().Prepare(
            "SELECT slot, kind, low, high FROM bets WHERE race_id = ? ORDER BY slot");
        while (races.Step()) {
            StoredRace& race = stored[{races.Text(0), races.Int(1)}];
            race.grade = races.OptionalText(2).value_or("");
            race.surface = races.Int(3);
            race.distance = races.OptionalInt(4);
            bets.Reset();
            bets.BindAll(races.Int64(5));
            while (bets.Step()) {
                race.bets.push_back({bets.Int(0), bets.Int(1), bets.Int(2), bets.Int(3)});
            }
        }
    }
    const std::vector<std::string> markNames = {"◎", "○", "▲", "△", "×"};
    const auto recompute = [&](bool dirtMiddleDistance) {
        std::array<Counts, 6> marks{};
        std::array<Counts, 3> market{};
        std::map<std::pair<std::string, std::string>, BetTotals> bets;
        long long races = 0;
        const JsonValue days = ParseJson(RunCliIn(work, {"library", "days", "--json"}).out);
        for (const JsonValue& day : days["days"].items) {
            const std::string date = day["date"].text;
            const JsonValue results =
                ParseJson(RunCliIn(work, {"library", "results", date, "--json"}).out);
            for (const JsonValue& race : results["races"].items) {
                const StoredRace& s = stored.at({date, race["race"].number});
                if (dirtMiddleDistance &&
                    (s.surface != 1 || !s.distance || *s.distance < 1601 || *s.distance > 2200)) {
                    continue;
                }
                ++races;
                std::map<int, long long> finish;
                std::array<bool, 3> seen{};
                for (const JsonValue& r : race["runners"].items) {
                    const JsonValue& mark = r["mark"];
                    std::size_t row = 5;
                    for (std::size_t m = 0; m < markNames.size(); ++m) {
                        if (!mark.IsNull() && mark.text == markNames[m]) {
                            row = m;
                        }
                    }
                    marks[row].Add(r["finish"]);
                    const long long p = r["popularity"].Or(0);
                    if (p >= 1 && p <= 3) {
                        market[static_cast<std::size_t>(p - 1)].Add(r["finish"]);
                        seen[static_cast<std::size_t>(p - 1)] = true;
                    }
                    if (!r["finish"].IsNull()) {
                        finish[static_cast<int>(r["horse"].number)] = r["finish"].number;
                    }
                }
                for (std::size_t p = 0; p < 3; ++p) {
                    market[p].unknown += !seen[p];
                }
                if (s.grade.empty()) {
                    continue;
                }
                std::map<int, std::string> states; // by kind
                for (const library::BetRow& b : s.bets) {
                    states[b.kind] +=
                        b.kind == 0 ? WinOf(b.low, finish) : PairOf(b.low, b.high, finish);
                }
                static const std::array<std::string, 3> kinds = {"単勝", "馬連", "枠連"};
                for (const auto& [kind, combos] : states) {
                    BetTotals& t = bets[{kinds[static_cast<std::size_t>(kind)], s.grade}];
                    ++t.races;
                    if (combos.find('h') != std::string::npos) {
                        ++t.hits;
                        ++t.decided;
                    } else if (combos.find_first_not_of('v') == std::string::npos) {
                        ++t.voids;
                    } else if (combos.find('o') == std::string::npos) {
                        ++t.decided;
                    }
                }
            }
        }
        std::vector<std::string> args = {"library", "tally", "--json"};
        if (dirtMiddleDistance) {
            args.insert(args.end(), {"--surface", "ダ", "--distance", "1601-2200"});
        }
        const CommandResult run = RunCliIn(work, args);
        EXPECT_EQ(run.exitCode, 0);
        const JsonValue tally = ParseJson(run.out);
        EXPECT_EQ(tally["races"].number, races);
        for (std::size_t m = 0; m < 6; ++m) {
            EXPECT_EQ(CountsOf(tally["marks"][m]), marks[m]) << tally["marks"][m]["mark"].text;
        }
        for (std::size_t p = 0; p < 3; ++p) {
            EXPECT_EQ(tally["market"][p]["popularity"].number, static_cast<long long>(p) + 1);
            EXPECT_EQ(CountsOf(tally["market"][p]), market[p]) << p + 1;
        }
        for (const JsonValue& row : tally["bets"].items) {
            const BetTotals want = bets[{row["kind"].text, row["grade"].text}];
            const BetTotals got{row["races"].number, row["decided"].number, row["hits"].number,
                                row["void"].number};
            EXPECT_EQ(got, want) << row["kind"].text << " " << row["grade"].text;
        }
        return tally;
    };
    const JsonValue whole = recompute(false);
    recompute(true);

    // The marks have skill, and not too much: ◎ wins far more often than an average runner.
    const JsonValue& top = whole["marks"][0];
    long long starts = 0, wins = 0;
    for (const JsonValue& row : whole["marks"].items) {
        starts += row["starts"].number;
        wins += row["first"].number;
    }
    const double topRate = double(top["first"].number) / double(top["starts"].number);
    EXPECT_GT(topRate, 2.0 * double(wins) / double(starts));
    EXPECT_LT(topRate, 0.6);
}

} // namespace
} // namespace furlox::test
