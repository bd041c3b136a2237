#pragma once

#include <filesystem>
#include <string>

namespace furlox {

// The work directory: the folder of the program file, where archives are extracted and the
// KOL data files stay between runs. When that folder is not writable (a system-wide
// install) the per-user data folder is used instead ($XDG_DATA_HOME/Morvane/Furlox, or
// ~/.local/share/Morvane/Furlox), created when missing, with Foot.dat copied into it from
// beside the program when it has none.
std::filesystem::path ChooseWorkDir(const std::filesystem::path& programFolder);

// The message (CP932) for a work directory that holds no complete race day.
std::string NoRaceDataMessage(const std::filesystem::path& workDir);

// The per-user data folder named above (not created).
std::filesystem::path UserDataDir();

} // namespace furlox
