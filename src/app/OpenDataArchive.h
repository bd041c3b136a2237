#pragma once

#include <chrono>
#include <filesystem>

#include "archive/DayArchive.h"
#include "kol/WorkDir.h"

// Opening an archive of race data into the work directory: the thin front of
// archive::ExtractDayArchive that makes sure of the work directory first. The caller (main
// window, CLI) then shows race index 0 of the day it gets.
namespace furlox::app {

using archive::NoDataMessage;
using archive::NotADayError;

// Opens the archive into the work directory, under the work directory's lock (one open or load
// at a time; another open holding it for longer than lockPatience is reported), after a commit
// that a killed run left half done was finished (kol::RecoverWorkDir).
//
// Returns the new day, whose files are now in the work directory, with the warnings of its
// load and the entries left out. Throws NotADayError when the archive holds no whole race day
// and furlox::Error (archive::EArchiver among them) for every other failure, with the message
// for the user; the work directory's day is then as it was. The archive itself is checked
// first: a missing file is reported as missing before anything else is said about it.
archive::OpenedDay OpenDataArchive(const std::filesystem::path& archivePath,
                                   const std::filesystem::path& workDir,
                                   archive::ArchiverProgress* progress,
                                   std::chrono::milliseconds lockPatience = kol::kWorkDirPatience);

} // namespace furlox::app
