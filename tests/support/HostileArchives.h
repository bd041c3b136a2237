#pragma once

#include <string>
#include <utility>
#include <vector>

// Archives made to plant into the program's folder what the program or the system would load
// or run, shared by the tests and by the Windows check that starts the portable program after
// such an archive was opened (tools/MakeTestArchive.cpp).
namespace furlox::test {

using ArchiveFiles = std::vector<std::pair<std::string, std::string>>;

// A stored LHA archive: the three data files of a small race day, then `more`.
std::string DayArchiveWith(const ArchiveFiles& more);

// Entries that must never be extracted (name, bytes): programs, libraries and scripts by
// name and by content, Qt's settings, plugins and translations, the program's own state.
// Replacing Qt6Core.dll, platforms/qwindows.dll or qt.conf of the Windows program, or adding
// version.dll beside it, would keep it from starting.
const ArchiveFiles& PlantedEntries();

// An entry of the same archive that is harmless and extracted.
inline constexpr const char* kHarmlessEntry = "harmless.txt";

} // namespace furlox::test
