#pragma once

#include <filesystem>

#include "kol/WorkDir.h"

namespace furlox {

// The work directory: the folder of the program file, where archives are extracted and the
// KOL data files stay between runs. That serves a program unpacked into a folder of its own,
// which carries Foot.dat beside the program. An installed program (its Foot.dat under
// ../share/furlox, the folder shared with every other program) or a program folder that is
// not writable uses the per-user data folder instead ($XDG_DATA_HOME/Morvane/Furlox, or
// ~/.local/share/Morvane/Furlox), created when missing, with Foot.dat copied into it when it
// has none. Even root, who may write to /usr/bin, never gets race data put there.
//
// Throws furlox::Error (naming the folder) when the per-user data folder is needed and cannot
// be made; the caller says so and goes on with the program's folder.
std::filesystem::path ChooseWorkDir(const std::filesystem::path& programFolder);

// The same choice with the per-user folder given (the tests' way in).
std::filesystem::path ChooseWorkDir(const std::filesystem::path& programFolder,
                                    const std::filesystem::path& userDir);

// The per-user data folder named above (not created).
std::filesystem::path UserDataDir();

} // namespace furlox
