#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "archive/DayArchive.h"
#include "kol/RaceDay.h"
#include "library/DayRecords.h"

// Keeping every day the user opens in the season library: the one step both fronts (the
// window and the command line) take after a successful open and at their start.
namespace furlox::app {

// Imports the day just opened from `archive` into the library of the work directory. Returns
// what the user should be told (CP932): empty when the day was kept (or was there already);
// otherwise why it was not kept. Never throws: the open has succeeded whatever happens here.
std::string KeepOpenedDay(const std::filesystem::path& archive,
                          const std::filesystem::path& workDir, const kol::RaceDay& day);

// At a start: opens the library (a damaged one is moved aside and a new one made) and, when
// it was made just now, imports the day already in the work directory from its three files.
// Returns what the user should be told (CP932), empty when nothing needs saying. Never throws.
std::string PrepareLibraryAtStart(const std::filesystem::path& workDir);

// Puts a day of the library into the work directory through the one open flow (as
// OpenDataArchive), all or nothing: its kept archive, or for a day kept as its three files a
// stored archive made of them. The day is not imported again. nullopt when the library holds
// no day of that date; throws as OpenDataArchive does, and furlox::Error when the kept copy
// is gone. The work directory's day is then as it was.
std::optional<archive::OpenedDay> OpenLibraryDay(const std::filesystem::path& workDir,
                                                 library::Date date,
                                                 archive::ArchiverProgress* progress = nullptr);

} // namespace furlox::app
