#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "kol/KolRecords.h"
#include "kol/RaceDay.h"
#include "kol/SampleSeason.h"

// A season of race days read back from the files' bytes alone, through the record layouts
// (kol/KolRecords.h) and the season's rules of names and years, never through the generator's
// own state: what a season library sees of it.
namespace furlox::test {

// The horse's key: the entry record's name without the ASCII and full-width blanks after it.
std::string HorseKey(std::string_view nameField);

struct SeasonRunner
{
    std::string name; // HorseKey of the entry record's name
    int horseNumber = 0;
    std::string entryLine;
    std::string horseLine;
};

struct SeasonRace
{
    int dayIndex = 0;
    int raceIndex = 0; // within its day
    std::string courseCode;
    std::chrono::sys_days date;
    int number = 0;
    std::string raceLine;
    std::vector<SeasonRunner> runners; // in horse-number order
};

// A past-run block of a later day's horse record, with the date its year was found for.
struct SeenBlock
{
    int dayIndex = 0; // the day whose horse record holds it
    std::chrono::sys_days date;
    std::string bytes; // the 590 bytes
    std::string Field(kol::FieldPos f) const;
    int Number(kol::FieldPos f) const; // read leniently
};

struct ReadSeason
{
    std::vector<kol::SeasonDay> days;
    std::vector<SeasonRace> races; // every race of every day, in day and race order
    // (horse key, course code, date) -> the blocks of later days for that run, oldest day first
    std::map<std::tuple<std::string, std::string, std::chrono::sys_days>, std::vector<SeenBlock>>
        blocks;

    // The latest day's copy of the run of runner r of race `race`, if a later day holds it.
    const SeenBlock* Result(const SeasonRace& race, const SeasonRunner& r) const;
};

// The years of a horse record's blocks, newest first: block 0 the latest date on or before
// `day`, each next block the latest date strictly before the one after it; nullopt for a
// block with no run (a course the table does not list, or a month and day of no year).
std::vector<std::optional<std::chrono::sys_days>> BlockDates(std::string_view horseLine,
                                                             std::chrono::sys_days day);

ReadSeason ReadSampleSeason(const kol::SeasonOptions& options);

// A race day from the three files' bytes, as LoadKolFiles reads them.
kol::RaceDay DayOf(const kol::SampleFiles& files);

} // namespace furlox::test
