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

// Decides the results of one race's runners and writes what changed: a refresh late in a
// season finds most of a race's results as they were.
class ResultWriter
{
public:
    explicit ResultWriter(Database& database)
        : m_clear(database.Prepare(
              "DELETE FROM results WHERE runner_id IN (SELECT id FROM runners WHERE race_id = ?)")),
          m_remove(database.Prepare("DELETE FROM results WHERE runner_id = ?")),
          m_put(database.Prepare("INSERT OR REPLACE INTO results (runner_id, finish, popularity, "
                                 "source) VALUES (?, ?, ?, ?)"))
    {}
    void Clear(std::int64_t raceId)
    {
        m_clear.Reset();
        m_clear.BindAll(raceId).Run();
    }
    // `stored`: each runner's row as the table holds it now.
    void Write(const std::vector<std::int64_t>& ids, const std::vector<ResultRunner>& runners,
               const std::vector<std::optional<RunnerResult>>& stored)
    {
        const std::vector<std::optional<RunnerResult>> results = DecideResults(runners);
        for (std::size_t i = 0; i < results.size(); ++i) {
            const std::optional<RunnerResult>& now = results[i];
            const std::optional<RunnerResult>& was = stored[i];
            if (Same(now, was)) {
                continue;
            }
            if (!now) {
                m_remove.Reset();
                m_remove.BindAll(ids[i]).Run();
                continue;
            }
            m_put.Reset();
            m_put.BindAll(ids[i], now->finish, now->popularity, static_cast<int>(now->source))
                .Run();
        }
    }

private:
    static bool Same(const std::optional<RunnerResult>& a, const std::optional<RunnerResult>& b)
    {
        if (!a || !b) {
            return !a && !b;
        }
        return a->finish == b->finish && a->popularity == b->popularity && a->source == b->source;
    }

    Statement m_clear;
    Statement m_remove;
    Statement m_put;
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

namespace {

// Rebuilds the results of the races held at these meetings; only those of `only` when given.
void RefreshMeetings(Database& database, const std::set<RaceKey>& unique,
                     const std::set<std::int64_t>* only)
{
    if (unique.empty()) {
        return;
    }
    // The runners of every day that may hold a block of these meetings: each one's name (as a
    // number of its own) and the date of its day, read once instead of joined for every block.
    struct Holder
    {
        int name = 0;
        int day = 0; // days since the epoch
    };
    std::unordered_map<std::string, int> names;
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
            const int name =
                names.emplace(runners.Text(1), static_cast<int>(names.size())).first->second;
            holders.emplace(runners.Int64(0), Holder{name, lastDay});
        }
    }
    Statement races = database.Prepare("SELECT id FROM races WHERE course_code = ? AND date = ?");
    ResultWriter writer(database);
    Statement runnersOf = database.Prepare(
        "SELECT r.id, r.horse_number, r.name, s.finish, s.popularity, s.source FROM runners r "
        "LEFT JOIN results s ON s.runner_id = r.id WHERE r.race_id = ? ORDER BY r.horse_number");
    // Every copy of every block of the meeting, read from the meeting's index alone.
    Statement blocks =
        database.Prepare("SELECT runner_id, horse_number, finish, popularity, winner_or_second "
                         "FROM past_runs WHERE course_code = ? AND date = ?");
    for (const RaceKey& key : unique) {
        const std::string date = DateText(key.date);
        std::vector<std::int64_t> raceIds;
        races.Reset();
        races.BindAll(key.courseCode, date);
        while (races.Step()) {
            if (!only || only->contains(races.Int64(0))) {
                raceIds.push_back(races.Int64(0));
            }
        }
        if (raceIds.empty()) {
            continue;
        }
        // By name and horse number, the copy of the latest later day within the window (of
        // one day, the latest row's).
        const int raceDay = static_cast<int>(sys_days(key.date).time_since_epoch().count());
        const int lastDay = raceDay + static_cast<int>(kResultWindow.count());
        struct Copy
        {
            int day = 0;
            std::int64_t holder = 0;
            ResultBlock block;
        };
        std::unordered_map<std::uint64_t, Copy> meeting;
        const auto keyOf = [](int name, int horseNumber) {
            return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(name)) << 32) |
                   static_cast<std::uint32_t>(horseNumber);
        };
        blocks.Reset();
        blocks.BindAll(key.courseCode, date);
        while (blocks.Step()) {
            const auto holder = holders.find(blocks.Int64(0));
            const std::optional<int> horseNumber = blocks.OptionalInt(1);
            if (holder == holders.end() || holder->second.day <= raceDay ||
                holder->second.day > lastDay || !horseNumber) {
                continue;
            }
            Copy& copy = meeting[keyOf(holder->second.name, *horseNumber)];
            if (std::tie(copy.day, copy.holder) >= std::tie(holder->second.day, holder->first)) {
                continue;
            }
            copy.day = holder->second.day;
            copy.holder = holder->first;
            copy.block.finish = blocks.OptionalInt(2);
            copy.block.popularity = blocks.OptionalInt(3);
            copy.block.winnerOrSecond = blocks.Text(4);
        }
        for (const std::int64_t raceId : raceIds) {
            std::vector<std::int64_t> ids;
            std::vector<ResultRunner> runners;
            std::vector<std::optional<RunnerResult>> stored;
            runnersOf.Reset();
            runnersOf.BindAll(raceId);
            while (runnersOf.Step()) {
                ids.push_back(runnersOf.Int64(0));
                ResultRunner& r = runners.emplace_back();
                r.horseNumber = runnersOf.Int(1);
                r.name = runnersOf.Text(2);
                std::optional<RunnerResult>& was = stored.emplace_back();
                if (!runnersOf.IsNull(3)) {
                    was.emplace();
                    was->finish = runnersOf.Int(3);
                    was->popularity = runnersOf.OptionalInt(4);
                    was->source = static_cast<ResultSource>(runnersOf.Int(5));
                }
                const auto name = names.find(r.name);
                if (name == names.end()) {
                    continue;
                }
                const auto found = meeting.find(keyOf(name->second, r.horseNumber));
                if (found != meeting.end()) {
                    r.ownBlock = found->second.block;
                }
            }
            writer.Write(ids, runners, stored);
        }
    }
}

} // namespace

void RefreshResults(Database& database, const std::vector<RaceKey>& keys)
{
    RefreshMeetings(database, std::set<RaceKey>(keys.begin(), keys.end()), nullptr);
}

std::vector<std::int64_t> RacesResultedBy(Database& database, std::int64_t dayId)
{
    std::optional<Date> day;
    {
        Statement date = database.Prepare("SELECT date FROM days WHERE id = ?");
        date.BindAll(dayId);
        if (date.Step()) {
            day = ParseDateText(date.Text(0));
        }
    }
    if (!day) {
        return {};
    }
    // From the day's blocks within the window to the runners of the meetings they name,
    // through the names' index: the joins in this order (the planner, left alone, starts from
    // the races of the whole library).
    constexpr const char* kBlocks =
        "FROM races hra CROSS JOIN runners h CROSS JOIN past_runs p CROSS JOIN runners r "
        "CROSS JOIN races ra "
        "WHERE hra.day_id = ?1 AND h.race_id = hra.id AND p.runner_id = h.id "
        "AND p.date < ?2 AND p.date >= ?3 ";
    constexpr const char* kMeeting = "AND ra.id = r.race_id AND ra.course_code = p.course_code "
                                     "AND ra.date = p.date AND ra.day_id <> ?1";
    Statement races = database.Prepare(
        std::string("SELECT ra.id ") + kBlocks +
        "AND r.name = h.name AND r.horse_number = p.horse_number " + kMeeting +
        " UNION SELECT ra.id " + kBlocks +
        "AND p.winner_or_second <> '' AND r.name = p.winner_or_second " + kMeeting);
    races.BindAll(dayId, DateText(*day), DateText(Date{sys_days(*day) - kResultWindow}));
    std::vector<std::int64_t> ids;
    while (races.Step()) {
        ids.push_back(races.Int64(0));
    }
    return ids;
}

std::vector<std::int64_t> RacesOfDay(Database& database, std::int64_t dayId)
{
    Statement races = database.Prepare("SELECT id FROM races WHERE day_id = ?");
    races.BindAll(dayId);
    std::vector<std::int64_t> ids;
    while (races.Step()) {
        ids.push_back(races.Int64(0));
    }
    return ids;
}

void RefreshRaces(Database& database, const std::vector<std::int64_t>& raceIds)
{
    // The races' meetings, and only those races of them. A meeting's blocks are read from its
    // index in one range and their holders from one pass over the runners: far fewer pages
    // than each runner's copies looked up by name, which spread over the whole file.
    std::set<RaceKey> meetings;
    std::set<std::int64_t> races;
    ResultWriter writer(database);
    Statement meetingOf = database.Prepare("SELECT course_code, date FROM races WHERE id = ?");
    for (const std::int64_t raceId : std::set<std::int64_t>(raceIds.begin(), raceIds.end())) {
        meetingOf.Reset();
        meetingOf.BindAll(raceId);
        if (!meetingOf.Step()) {
            continue; // gone with its day
        }
        const std::optional<int> course = meetingOf.OptionalInt(0);
        const std::optional<Date> date =
            meetingOf.IsNull(1) ? std::nullopt : ParseDateText(meetingOf.Text(1));
        if (course && date) {
            meetings.insert({*course, *date});
            races.insert(raceId);
        } else {
            writer.Clear(raceId); // no block can name it
        }
    }
    RefreshMeetings(database, meetings, &races);
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
