#include "library/Tally.h"

#include "base/Encoding.h"
#include "kol/KolHen.h"
#include "library/Results.h"

namespace furlox::library {
namespace {

using namespace std::chrono;

std::optional<int> FinishOf(int horse, const std::vector<TallyRunner>& runners)
{
    for (const TallyRunner& r : runners) {
        if (r.horseNumber == horse) {
            return r.finish;
        }
    }
    return std::nullopt;
}

bool NoStart(const std::optional<int>& finish)
{
    return finish && IsNoStart(*finish);
}

bool InFirstTwo(int finish)
{
    return finish == 1 || finish == 2;
}

void Count(MarkCounts& counts, const std::optional<int>& finish)
{
    if (!finish) {
        ++counts.unknown;
        return;
    }
    if (!IsStart(*finish)) {
        return; // did not start: in no row
    }
    ++counts.starts;
    switch (*finish) {
    case 1:
        ++counts.first;
        break;
    case 2:
        ++counts.second;
        break;
    case 3:
        ++counts.third;
        break;
    default:
        ++counts.out;
        break;
    }
}

bool InBand(int distance, DistanceBand band)
{
    switch (band) {
    case DistanceBand::UpTo1600:
        return distance <= 1600;
    case DistanceBand::From1601To2200:
        return distance >= 1601 && distance <= 2200;
    case DistanceBand::From2201:
        return distance >= 2201;
    }
    return false;
}

} // namespace

DateRange ThisSeason(Date newest)
{
    return {newest.year() / January / 1, newest.year() / December / 31};
}

DateRange LastFourWeeks(Date newest)
{
    return {Date{sys_days(newest) - days(27)}, newest};
}

BetState WinState(int horse, const std::vector<TallyRunner>& runners)
{
    const std::optional<int> finish = FinishOf(horse, runners);
    if (NoStart(finish)) {
        return BetState::Void;
    }
    if (finish) {
        return *finish == 1 ? BetState::Hit : BetState::Miss;
    }
    for (const TallyRunner& r : runners) {
        if (r.horseNumber != horse && r.finish == 1) {
            return BetState::Miss;
        }
    }
    return BetState::Open;
}

BetState PairState(int a, int b, const std::vector<TallyRunner>& runners)
{
    const std::optional<int> fa = FinishOf(a, runners);
    const std::optional<int> fb = FinishOf(b, runners);
    if (NoStart(fa) || NoStart(fb)) {
        return BetState::Void;
    }
    if (fa && fb) {
        // The first two places: 1st and 2nd, or two sharing 1st in a dead heat.
        const bool hit = (*fa == 1 && *fb == 2) || (*fa == 2 && *fb == 1) || (*fa == 1 && *fb == 1);
        return hit ? BetState::Hit : BetState::Miss;
    }
    if ((fa && !InFirstTwo(*fa)) || (fb && !InFirstTwo(*fb))) {
        return BetState::Miss;
    }
    // One of the two is not known: when the first two places are known, they went to others.
    int winners = 0;
    int seconds = 0;
    for (const TallyRunner& r : runners) {
        winners += r.finish == 1;
        seconds += r.finish == 2;
    }
    if ((winners >= 1 && seconds >= 1) || winners >= 2) {
        return BetState::Miss;
    }
    return BetState::Open;
}

BetState RaceState(const std::vector<BetState>& combinations)
{
    bool allVoid = true;
    bool open = false;
    for (const BetState state : combinations) {
        if (state == BetState::Hit) {
            return BetState::Hit;
        }
        allVoid = allVoid && state == BetState::Void;
        open = open || state == BetState::Open;
    }
    if (allVoid) {
        return BetState::Void;
    }
    return open ? BetState::Open : BetState::Miss;
}

bool KeepsRace(const TallyFilter& filter, const TallyRace& race)
{
    if ((filter.from && race.day < *filter.from) || (filter.to && race.day > *filter.to)) {
        return false;
    }
    if (filter.courseCode && race.courseCode != filter.courseCode) {
        return false;
    }
    if (filter.surface && race.surface != *filter.surface) {
        return false;
    }
    if (filter.distance && (!race.distance || !InBand(*race.distance, *filter.distance))) {
        return false;
    }
    if (filter.classText && kol::ClassText(race.classCode) != *filter.classText) {
        return false;
    }
    return true;
}

TallyResult TallyRaces(const std::vector<TallyRace>& races, const TallyFilter& filter)
{
    TallyResult tally;
    std::vector<BetState> states;
    for (const TallyRace& race : races) {
        if (!KeepsRace(filter, race)) {
            continue;
        }
        if (!race.analysisError.empty()) {
            tally.failed.push_back(
                {race.day, race.raceIndex, race.courseCode, race.raceNumber, race.analysisError});
            continue;
        }
        if (filter.grade && race.grade != filter.grade) {
            continue;
        }
        ++tally.races;
        for (const TallyRunner& r : race.runners) {
            Count(tally.marks[static_cast<std::size_t>(MarkRow(r.mark))], r.finish);
        }
        for (int p = 1; p <= kMarketRows; ++p) {
            MarkCounts& row = tally.market[static_cast<std::size_t>(p - 1)];
            bool seen = false;
            for (const TallyRunner& r : race.runners) {
                if (r.popularity == p && r.finish) {
                    seen = true;
                    Count(row, r.finish);
                }
            }
            row.unknown += !seen;
        }
        if (!race.grade) {
            continue;
        }
        for (int kind = 0; kind < kBetKinds; ++kind) {
            states.clear();
            for (const BetRow& bet : race.bets) {
                if (bet.kind != kind) {
                    continue;
                }
                states.push_back(kind == static_cast<int>(TallyBetKind::Win)
                                     ? WinState(bet.low, race.runners)
                                     : PairState(bet.low, bet.high, race.runners));
            }
            if (states.empty()) {
                continue;
            }
            BetCounts& counts =
                tally.bets[static_cast<std::size_t>(kind)][static_cast<std::size_t>(*race.grade)];
            ++counts.races;
            switch (RaceState(states)) {
            case BetState::Void:
                ++counts.voids;
                break;
            case BetState::Hit:
                ++counts.hits;
                ++counts.decided;
                break;
            case BetState::Miss:
                ++counts.decided;
                break;
            case BetState::Open:
                break;
            }
        }
    }
    return tally;
}

int MarkRow(StoredMark mark)
{
    switch (mark) {
    case StoredMark::DoubleCircle:
        return 0;
    case StoredMark::Circle:
        return 1;
    case StoredMark::FilledTriangle:
        return 2;
    case StoredMark::Triangle:
        return 3;
    case StoredMark::Cross:
        return 4;
    case StoredMark::None:
        break;
    }
    return 5;
}

std::string RateText(int numerator, int denominator)
{
    if (denominator <= 0) {
        return "－"_sj;
    }
    // Tenths of a percent, half up.
    const long long tenths =
        (2000LL * numerator + denominator) / (2LL * static_cast<long long>(denominator));
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

const std::string& TallyMarkText(int row)
{
    static const std::array<std::string, kTallyMarks> texts = {
        "◎"_sj, "○"_sj, "▲"_sj, "△"_sj, "×"_sj, "無印"_sj,
    };
    return texts.at(static_cast<std::size_t>(row));
}

const std::string& BetKindText(TallyBetKind kind)
{
    static const std::array<std::string, kBetKinds> texts = {"単勝"_sj, "馬連"_sj, "枠連"_sj};
    return texts.at(static_cast<std::size_t>(kind));
}

const char* GradeLetter(BetGrade grade)
{
    static constexpr std::array<const char*, kBetGrades> letters = {"A", "B", "C"};
    return letters.at(static_cast<std::size_t>(grade));
}

const std::string& SurfaceLetter(StoredSurface surface)
{
    static const std::array<std::string, 3> texts = {"芝"_sj, "ダ"_sj, "障"_sj};
    return texts.at(static_cast<std::size_t>(surface));
}

} // namespace furlox::library
