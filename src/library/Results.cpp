#include "library/Results.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "library/Database.h"

namespace furlox::library {
namespace {

using std::chrono::days;
using std::chrono::sys_days;

constexpr int kLastPlace = 18;
// How long after a race a later day's block still names it.
constexpr days kResultWindow{365};

// The finish a block gives, as a code of the results: 34/35 in either field is no start, a
// place or 31–33 a start; anything else (blank, 0, out of range) gives nothing.
std::optional<int> FinishOf(const ResultBlock& block)
{
    if (block.finish && IsNoStart(*block.finish)) {
        return block.finish;
    }
    if (block.popularity && IsNoStart(*block.popularity)) {
        return block.popularity;
    }
    if (block.finish && IsStart(*block.finish)) {
        return block.finish;
    }
    return std::nullopt;
}

std::optional<int> PopularityOf(const ResultBlock& block)
{
    if (block.popularity && *block.popularity >= 1 && *block.popularity <= kLastPlace) {
        return block.popularity;
    }
    return std::nullopt;
}

// A block of a meeting (course and date) and the horse number it was run under.
struct MeetingBlock
{
    std::optional<int> horseNumber;
    ResultBlock block;
};

} // namespace

bool IsStartWithoutPlace(int finish)
{
    return finish >= kFell && finish <= kPulledUp;
}

bool IsNoStart(int finish)
{
    return finish == kScratched || finish == kExcluded;
}

bool IsStart(int finish)
{
    return (finish >= 1 && finish <= kLastPlace) || IsStartWithoutPlace(finish);
}

std::vector<std::optional<RunnerResult>> DecideResults(const std::vector<ResultRunner>& runners)
{
    const std::size_t n = runners.size();
    std::map<std::string_view, int> named;
    for (const ResultRunner& r : runners) {
        ++named[r.name];
    }
    // A runner the results can speak of: its name is there, once.
    const auto single = [&](const ResultRunner& r) {
        return !r.name.empty() && named[r.name] == 1;
    };
    std::vector<std::optional<RunnerResult>> results(n);
    for (std::size_t i = 0; i < n; ++i) {
        const ResultRunner& r = runners[i];
        if (!single(r) || !r.ownBlock) {
            continue;
        }
        const std::optional<int> finish = FinishOf(*r.ownBlock);
        if (!finish) {
            continue;
        }
        RunnerResult& result = results[i].emplace();
        result.finish = *finish;
        if (!IsNoStart(*finish)) {
            result.popularity = PopularityOf(*r.ownBlock);
        }
        result.source = ResultSource::OwnBlock;
    }
    // The deductions, from the runner with the lowest horse number first.
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return runners[a].horseNumber < runners[b].horseNumber;
    });
    std::vector<std::optional<RunnerResult>> deduced(n);
    for (const std::size_t i : order) {
        if (!results[i] || results[i]->source != ResultSource::OwnBlock) {
            continue;
        }
        const std::string& other = runners[i].ownBlock->winnerOrSecond;
        if (other.empty()) {
            continue;
        }
        for (std::size_t k = 0; k < n; ++k) {
            if (k == i || runners[k].name != other || !single(runners[k]) || results[k] ||
                deduced[k]) {
                continue;
            }
            RunnerResult& result = deduced[k].emplace();
            result.finish = results[i]->finish == 1 ? 2 : 1;
            result.source = ResultSource::Deduced;
        }
    }
    for (std::size_t k = 0; k < n; ++k) {
        if (!results[k] && deduced[k]) {
            results[k] = deduced[k];
        }
    }
    return results;
}

void RefreshResults(Database& database, const std::vector<RaceKey>& keys)
{
    const std::set<RaceKey> unique(keys.begin(), keys.end());
    if (unique.empty()) {
        return;
    }
    // The runners of every day that may hold a block of these meetings: each one's name and
    // the date of its day, read once instead of joined for every block.
    struct Holder
    {
        std::string name;
        int day = 0; // days since the epoch
    };
    std::unordered_map<std::int64_t, Holder> holders;
    {
        Statement runners = database.Prepare(
            "SELECT r.id, r.name, d.date FROM days d "
            "JOIN races ra ON ra.day_id = d.id JOIN runners r ON r.race_id = ra.id "
            "WHERE d.date > ? AND d.date <= ?");
        const auto [earliest, latest] =
            std::minmax_element(unique.begin(), unique.end(),
                                [](const RaceKey& a, const RaceKey& b) { return a.date < b.date; });
        runners.BindAll(DateText(earliest->date),
                        DateText(Date{sys_days(latest->date) + kResultWindow}));
        std::string lastDate;
        int lastDay = 0;
        while (runners.Step()) {
            std::string date = runners.Text(2);
            if (date != lastDate) {
                lastDay = static_cast<int>(
                    sys_days(ParseDateText(date).value_or(Date{})).time_since_epoch().count());
                lastDate = std::move(date);
            }
            holders.emplace(runners.Int64(0), Holder{runners.Text(1), lastDay});
        }
    }
    Statement races = database.Prepare("SELECT id FROM races WHERE course_code = ? AND date = ?");
    Statement clear = database.Prepare(
        "DELETE FROM results WHERE runner_id IN (SELECT id FROM runners WHERE race_id = ?)");
    Statement runnersOf = database.Prepare(
        "SELECT id, horse_number, name FROM runners WHERE race_id = ? ORDER BY horse_number");
    // Every copy of every block of the meeting, read from the meeting's index alone.
    Statement blocks =
        database.Prepare("SELECT runner_id, horse_number, finish, popularity, winner_or_second "
                         "FROM past_runs WHERE course_code = ? AND date = ?");
    Statement insert = database.Prepare(
        "INSERT INTO results (runner_id, finish, popularity, source) VALUES (?, ?, ?, ?)");
    for (const RaceKey& key : unique) {
        const std::string date = DateText(key.date);
        std::vector<std::int64_t> raceIds;
        races.Reset();
        races.BindAll(key.courseCode, date);
        while (races.Step()) {
            raceIds.push_back(races.Int64(0));
        }
        if (raceIds.empty()) {
            continue;
        }
        // By name, the copies of later days within the window, the latest day's first.
        const int raceDay = static_cast<int>(sys_days(key.date).time_since_epoch().count());
        const int lastDay = raceDay + static_cast<int>(kResultWindow.count());
        struct Copy
        {
            int day = 0;
            std::int64_t holder = 0;
            MeetingBlock block;
        };
        std::map<std::string_view, std::vector<Copy>> meeting;
        blocks.Reset();
        blocks.BindAll(key.courseCode, date);
        while (blocks.Step()) {
            const auto holder = holders.find(blocks.Int64(0));
            if (holder == holders.end() || holder->second.day <= raceDay ||
                holder->second.day > lastDay) {
                continue;
            }
            Copy copy;
            copy.day = holder->second.day;
            copy.holder = holder->first;
            copy.block.horseNumber = blocks.OptionalInt(1);
            copy.block.block.finish = blocks.OptionalInt(2);
            copy.block.block.popularity = blocks.OptionalInt(3);
            copy.block.block.winnerOrSecond = blocks.Text(4);
            meeting[holder->second.name].push_back(std::move(copy));
        }
        for (auto& [name, copies] : meeting) {
            std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) {
                return std::tie(a.day, a.holder) > std::tie(b.day, b.holder);
            });
        }
        for (const std::int64_t raceId : raceIds) {
            clear.Reset();
            clear.BindAll(raceId).Run();
            std::vector<std::int64_t> ids;
            std::vector<ResultRunner> runners;
            runnersOf.Reset();
            runnersOf.BindAll(raceId);
            while (runnersOf.Step()) {
                ids.push_back(runnersOf.Int64(0));
                ResultRunner& r = runners.emplace_back();
                r.horseNumber = runnersOf.Int(1);
                r.name = runnersOf.Text(2);
                const auto found = meeting.find(r.name);
                if (found == meeting.end()) {
                    continue;
                }
                for (const Copy& c : found->second) {
                    if (c.block.horseNumber == r.horseNumber) {
                        r.ownBlock = c.block.block;
                        break;
                    }
                }
            }
            const std::vector<std::optional<RunnerResult>> results = DecideResults(runners);
            for (std::size_t i = 0; i < results.size(); ++i) {
                if (!results[i]) {
                    continue;
                }
                const RunnerResult& r = *results[i];
                insert.Reset();
                insert.BindAll(ids[i], r.finish, r.popularity, static_cast<int>(r.source)).Run();
            }
        }
    }
}

void RebuildResults(Database& database)
{
    database.Execute("DELETE FROM results");
    std::vector<RaceKey> keys;
    Statement all = database.Prepare("SELECT DISTINCT course_code, date FROM races "
                                     "WHERE course_code IS NOT NULL AND date IS NOT NULL");
    while (all.Step()) {
        if (const std::optional<Date> date = ParseDateText(all.Text(1))) {
            keys.push_back({all.Int(0), *date});
        }
    }
    RefreshResults(database, keys);
}

std::vector<RaceKey> RacesTouchedBy(Database& database, std::int64_t dayId)
{
    std::vector<RaceKey> keys;
    Statement touched = database.Prepare(
        "SELECT p.course_code, p.date FROM past_runs p JOIN runners r ON r.id = p.runner_id "
        "JOIN races ra ON ra.id = r.race_id WHERE ra.day_id = ?1 "
        "UNION SELECT course_code, date FROM races "
        "WHERE day_id = ?1 AND course_code IS NOT NULL AND date IS NOT NULL");
    touched.BindAll(dayId);
    while (touched.Step()) {
        if (const std::optional<Date> date = ParseDateText(touched.Text(1))) {
            keys.push_back({touched.Int(0), *date});
        }
    }
    return keys;
}

std::vector<RaceKey> RacesTouchedBy(const DayRecord& record)
{
    std::set<RaceKey> keys;
    for (const RaceRow& race : record.races) {
        if (race.courseCode && race.date) {
            keys.insert({*race.courseCode, *race.date});
        }
        for (const RunnerRow& runner : race.runners) {
            for (const PastRunRow& run : runner.pastRuns) {
                keys.insert({run.courseCode, run.date});
            }
        }
    }
    return {keys.begin(), keys.end()};
}

} // namespace furlox::library
