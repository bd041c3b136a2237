#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "library/DayRecords.h"

// Whether the marks come in: over the races of a range of days, per mark and per popularity
// the starts and places of the runners whose result is known, and per bet kind and grade
// whether the proposed bets hit. Counts only; the rate texts are made by RateText wherever
// they are shown or written.
namespace furlox::library {

enum class DistanceBand
{
    UpTo1600,       // ≤ 1600 m
    From1601To2200, // 1601–2200 m
    From2201,       // ≥ 2201 m
};

enum class BetGrade : int
{
    A = 0,
    B = 1,
    C = 2,
};

// As BetRow::kind.
enum class TallyBetKind : int
{
    Win = 0,             // 単勝 on ◎
    Quinella = 1,        // 馬連
    BracketQuinella = 2, // 枠連
};

inline constexpr int kTallyMarks = 6; // ◎ ○ ▲ △ × and 無印
inline constexpr int kMarketRows = 3; // 1番人気 to 3番人気
inline constexpr int kBetKinds = 3;   // 単勝 馬連 枠連
inline constexpr int kBetGrades = 3;  // A B C

struct DateRange
{
    Date from;
    Date to;
};

// "This season": the calendar year of the newest day.
DateRange ThisSeason(Date newest);
// "The last 4 weeks": the 28 days up to and including the newest day.
DateRange LastFourWeeks(Date newest);

struct TallyFilter
{
    std::optional<Date> from; // the day's date, both ends included
    std::optional<Date> to;
    std::optional<int> courseCode;
    std::optional<StoredSurface> surface;
    std::optional<DistanceBand> distance;
    // Keeps the races with bets of this grade.
    std::optional<BetGrade> grade;
    // The class table's text of the race record's class code (CP932), e.g. 500万, オープン.
    std::optional<std::string> classText;
};

// A runner as the tally sees it.
struct TallyRunner
{
    int horseNumber = 0;
    StoredMark mark = StoredMark::None;
    std::optional<int> finish; // 1–18 or 31–35; nullopt while not known
    std::optional<int> popularity;
};

struct TallyRace
{
    Date day;
    int raceIndex = 0;
    std::optional<int> courseCode;
    std::optional<int> raceNumber;
    std::optional<int> distance;
    StoredSurface surface = StoredSurface::Turf;
    std::string classCode;
    std::optional<BetGrade> grade; // nullopt without bets
    std::vector<BetRow> bets;
    std::string analysisError; // UTF-8; a race that was not analysed is never tallied
    std::vector<TallyRunner> runners;
};

struct MarkCounts
{
    int starts = 0; // with a known finish, 31–33 included, 34/35 not
    int first = 0;
    int second = 0;
    int third = 0;
    int out = 0; // 4th or worse, or 31–33
    // Per mark: runners whose result is not known yet. Per popularity: races where no
    // runner is known to have had it.
    int unknown = 0;
};

struct BetCounts
{
    int races = 0; // decided + open + void
    int decided = 0;
    int hits = 0;
    int voids = 0;
    int Open() const { return races - decided - voids; }
};

enum class BetState
{
    Void, // every combination on a runner that did not start: refunded
    Hit,
    Miss,
    Open, // not decided by what is known
};

// A race of the range left out because it could not be analysed.
struct FailedRace
{
    Date day;
    int raceIndex = 0;
    std::optional<int> courseCode;
    std::optional<int> raceNumber;
    std::string error; // UTF-8
};

struct TallyResult
{
    int races = 0;
    std::array<MarkCounts, kTallyMarks> marks{};  // ◎ ○ ▲ △ × 無印
    std::array<MarkCounts, kMarketRows> market{}; // 1番人気, 2番人気, 3番人気
    std::array<std::array<BetCounts, kBetGrades>, kBetKinds> bets{}; // [kind][grade]
    std::vector<FailedRace> failed;
};

// The 単勝 on `horse`: hit when it finished 1st; decided when its finish is known or another
// runner is known to have won; void when it did not start.
BetState WinState(int horse, const std::vector<TallyRunner>& runners);
// A pair (馬連, or 枠連 in a field of 8 or fewer where horse and bracket numbers are alike):
// hit when the two took the first two places; decided when both finishes are known, one of
// them is known to be 3rd or worse (or 31–33), or the 1st and 2nd are both known; void when
// one of them did not start.
BetState PairState(int a, int b, const std::vector<TallyRunner>& runners);
// A race's bets of one kind: void when all are void, hit when one hits, miss when none hits
// and all the others are decided, otherwise open.
BetState RaceState(const std::vector<BetState>& combinations);

// Whether the filter keeps the race (the grade aside, which a race without analysis lacks).
bool KeepsRace(const TallyFilter& filter, const TallyRace& race);
TallyResult TallyRaces(const std::vector<TallyRace>& races, const TallyFilter& filter);

// Where a mark goes in the table: ◎ 0 … × 4, none 5.
int MarkRow(StoredMark mark);

// Texts, CP932. A rate: a percentage with one decimal rounded half up and "%", "－" for a 0
// denominator.
std::string RateText(int numerator, int denominator);
const std::string& TallyMarkText(int row); // "◎" … "×", "無印"
const std::string& BetKindText(TallyBetKind kind);
const char* GradeLetter(BetGrade grade);
// The surface as a filter names it: "芝", "ダ", "障".
const std::string& SurfaceLetter(StoredSurface surface);

} // namespace furlox::library
