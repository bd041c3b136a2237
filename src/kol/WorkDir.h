#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Platform.h"
#include "kol/RaceDay.h"

// The work directory as every part of the program that reads or writes its race day sees it:
// the names of the program's own files there, its lock, the journal of an interrupted commit,
// and loading the day under the lock. Where the work directory is (the program's folder or
// the per-user one) is the application's choice (app/WorkDir.h).
namespace furlox::kol {

// The journal of a commit of extracted files (FileBatch): while it exists, the files it names
// are being put in place.
inline constexpr const char* kCommitJournalName = ".furlox-commit";
// The file the work directory's lock is held on where folders cannot be locked (Windows).
inline constexpr const char* kLockFileName = ".furlox-lock";
// The season library beside the day, and the files SQLite keeps beside it.
inline constexpr const char* kLibraryFileName = "library.sqlite3";

// The files of the program itself that may lie in the work directory (it is the program
// folder whenever that is writable) and the files of its state there: an archive never
// replaces or adds them. CP932, "/"-separated, compared without ASCII case.
const std::vector<std::string>& ProgramFileNames();

// How long an open or a load waits for another extraction into the same work directory.
inline constexpr std::chrono::milliseconds kWorkDirPatience{5000};

// One extraction at a time per work directory: the lock is held from the check of an archive
// to the end of its load, and a load takes it too, so no day is ever read or written half from
// one archive and half from another. The system lets it go when the process ends in any way.
// Throws furlox::Error ("別の展開が実行中です…") when another process holds it for longer than
// `patience`; gives nullptr (no lock, nothing to guard) when the folder cannot be locked,
// for instance when it does not exist.
std::unique_ptr<platform::FileLock>
LockWorkDir(const std::filesystem::path& workDir,
            std::chrono::milliseconds patience = kWorkDirPatience);

// Finishes (or undoes) a commit of an archive's files that a killed process left half done,
// so the work directory holds one whole day again, and removes the temporary files of an
// extraction that was killed before its commit. Call it under the lock. Throws
// furlox::Error when the commit cannot be finished; the day must not be read then.
void RecoverWorkDir(const std::filesystem::path& workDir);

// RecoverWorkDir under the work directory's lock, for a start that looks at the files
// before it loads them.
void RecoverWorkDirLocked(const std::filesystem::path& workDir,
                          std::chrono::milliseconds patience = kWorkDirPatience);

// The day of the work directory: under its lock, after RecoverWorkDir, LoadKolFiles.
std::optional<LoadedDay> LoadWorkDay(const std::filesystem::path& workDir,
                                     std::chrono::milliseconds patience = kWorkDirPatience);

// The message (CP932) for a work directory that holds no complete race day.
std::string NoRaceDataMessage(const std::filesystem::path& workDir);

} // namespace furlox::kol
