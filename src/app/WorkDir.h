#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Platform.h"
#include "kol/RaceDay.h"

namespace furlox {

// The work directory: the folder of the program file, where archives are extracted and the
// KOL data files stay between runs. That serves a program unpacked into a folder of its own,
// which carries Foot.dat beside the program. An installed program (its Foot.dat under
// ../share/furlox, the folder shared with every other program) or a program folder that is
// not writable uses the per-user data folder instead ($XDG_DATA_HOME/Morvane/Furlox, or
// ~/.local/share/Morvane/Furlox), created when missing, with Foot.dat copied into it when it
// has none. Even root, who may write to /usr/bin, never gets race data put there.
std::filesystem::path ChooseWorkDir(const std::filesystem::path& programFolder);

// The same choice with the per-user folder given (the tests' way in).
std::filesystem::path ChooseWorkDir(const std::filesystem::path& programFolder,
                                    const std::filesystem::path& userDir);

// The message (CP932) for a work directory that holds no complete race day.
std::string NoRaceDataMessage(const std::filesystem::path& workDir);

// The per-user data folder named above (not created).
std::filesystem::path UserDataDir();

// The files of the program itself that may lie in the work directory (it is the program
// folder whenever that is writable): an archive never replaces them. CP932, "/"-separated.
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

// LoadKolFiles under the work directory's lock.
kol::LoadOutcome LoadWorkDay(const std::filesystem::path& workDir, kol::RaceDay& day,
                             std::chrono::milliseconds patience = kWorkDirPatience);

} // namespace furlox
