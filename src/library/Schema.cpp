#include "library/Schema.h"

#include <array>

#include "library/Results.h"

namespace furlox::library {
namespace {

// Version 1: the days, their races and runners, and the past runs of every horse record.
//
// A day is keyed by the date of its race 0; `sha256` names the bytes it came from (the
// archive, or the three files when it was taken from the work directory) and the kept copy
// in the folder beside the database. Texts are UTF-8; codes of the records are kept as read.
// Values a record does not hold are NULL, never 0.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE days (
    id INTEGER PRIMARY KEY,
    date TEXT NOT NULL UNIQUE,            -- YYYY-MM-DD of race 0
    sha256 TEXT NOT NULL UNIQUE,
    kept TEXT NOT NULL CHECK (kept IN ('archive', 'files')),
    source_name TEXT NOT NULL,            -- the archive's file name as it was imported
    source_size INTEGER NOT NULL,
    imported_at TEXT NOT NULL,            -- UTC, YYYY-MM-DDTHH:MM:SSZ
    race_count INTEGER NOT NULL,
    runner_count INTEGER NOT NULL
);
CREATE TABLE races (
    id INTEGER PRIMARY KEY,
    day_id INTEGER NOT NULL REFERENCES days(id) ON DELETE CASCADE,
    race_index INTEGER NOT NULL,
    course_code INTEGER,
    race_number INTEGER,
    date TEXT,                            -- the race's own date, YYYY-MM-DD
    class_code TEXT NOT NULL,
    grade_code TEXT NOT NULL,
    surface INTEGER NOT NULL,             -- 0 turf, 1 dirt, 2 steeplechase
    distance INTEGER,
    head_count INTEGER,
    race_name TEXT NOT NULL,
    confidence TEXT,                      -- A, B or C; NULL without bets
    analysis_error TEXT,                  -- why the race could not be analysed
    UNIQUE (day_id, race_index)
);
CREATE INDEX races_by_course_date ON races (course_code, date);
CREATE TABLE bets (
    race_id INTEGER NOT NULL REFERENCES races(id) ON DELETE CASCADE,
    slot INTEGER NOT NULL,
    kind INTEGER NOT NULL,                -- 0 単勝, 1 馬連, 2 枠連
    low INTEGER NOT NULL,
    high INTEGER NOT NULL,
    PRIMARY KEY (race_id, slot)
) WITHOUT ROWID;
CREATE TABLE runners (
    id INTEGER PRIMARY KEY,
    race_id INTEGER NOT NULL REFERENCES races(id) ON DELETE CASCADE,
    horse_number INTEGER NOT NULL,
    bracket TEXT NOT NULL,
    name TEXT NOT NULL,                   -- trailing ASCII and full-width blanks removed
    jockey TEXT NOT NULL,
    fx0 INTEGER, fx1 INTEGER, fx2 INTEGER, fx3 INTEGER, fx4 INTEGER,
    total_tenths INTEGER,
    place INTEGER,
    mark INTEGER NOT NULL,                -- 0 none, 1 ◎, 2 ○, 3 ▲, 4 △, 5 ×
    UNIQUE (race_id, horse_number)
);
CREATE INDEX runners_by_name ON runners (name);
CREATE TABLE past_runs (
    runner_id INTEGER NOT NULL REFERENCES runners(id) ON DELETE CASCADE,
    block INTEGER NOT NULL,               -- 0 the latest run
    course_code INTEGER NOT NULL,
    date TEXT NOT NULL,                   -- YYYY-MM-DD, the year found newest first
    fx INTEGER,
    finish INTEGER,
    popularity INTEGER,
    time_tenths INTEGER,
    margin INTEGER,
    last3f_tenths INTEGER,
    horse_number INTEGER,
    head_count INTEGER,
    distance INTEGER,
    surface INTEGER NOT NULL,
    going_code TEXT NOT NULL,
    class_code TEXT NOT NULL,
    grade_code TEXT NOT NULL,
    race_name TEXT NOT NULL,
    jockey TEXT NOT NULL,
    winner_or_second TEXT NOT NULL,
    weight_carried INTEGER,
    body_weight INTEGER,
    PRIMARY KEY (runner_id, block)
) WITHOUT ROWID;
)sql";

// Version 2: the results of the library's races, derived from the past-run blocks of later
// days (library/Results.h): a row per runner whose finish is known, rebuilt for the races an
// import or a removal touches. The index holds what the results read of a meeting's blocks.
constexpr const char* kVersion2 = R"sql(
CREATE TABLE results (
    runner_id INTEGER PRIMARY KEY REFERENCES runners(id) ON DELETE CASCADE,
    finish INTEGER NOT NULL,              -- 1-18, or 31-35
    popularity INTEGER,
    source INTEGER NOT NULL               -- 0 the runner's own block, 1 deduced from another's
);
CREATE INDEX past_runs_by_meeting
    ON past_runs (course_code, date, horse_number, finish, popularity, winner_or_second);
-- A row while the results wait for a rebuild: an import of many days stores them all first and
-- rebuilds once at its end; a row left by a kill is taken by the next change of the library.
CREATE TABLE results_pending (id INTEGER PRIMARY KEY CHECK (id = 1));
)sql";

} // namespace

std::span<const MigrationStep> SchemaSteps()
{
    static const std::array<MigrationStep, 2> steps = {{
        {1, kVersion1},
        {2, kVersion2, RebuildResults},
    }};
    return steps;
}

int SchemaVersion()
{
    return static_cast<int>(SchemaSteps().size());
}

} // namespace furlox::library
