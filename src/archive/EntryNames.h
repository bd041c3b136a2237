#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rules for the names of archive entries, on their own: pure functions of the stored name
// (CP932) and of the path below the destination it gives, with no file system and no
// archive library. The extraction asks them before anything of an entry is written.
namespace furlox::archive {

// The part of a stored name after its last "/", "\" or ":" (a second byte of a double-byte
// character is no delimiter); the whole name when it has none.
std::string ShortSourceName(std::string_view cp932Name);

// ASCII letters in lower case and "\" as "/": how names are compared where a file system
// might ignore case.
char FoldAscii(char c);

// The name of the list that equals s but for ASCII case; nullptr when none does.
const std::string* FindIgnoringCase(const std::vector<std::string>& names, std::string_view s);

// The folder part of a "/"-separated relative path ("" for a top-level name).
std::string FolderOf(const std::string& rel);

// True when a part of rel ends in a dot or a blank. Windows drops those when it stores the
// name, so the file would land on another one, past the checks of its name.
bool EndsAPartInDotOrBlank(std::string_view rel);

// True when a part of rel is a device of Windows (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to
// LPT9, CONIN$, CONOUT$) in any case, whatever follows a dot.
bool NamesADevice(std::string_view rel);

// True when a part of rel has the form of a short (8.3) name Windows makes for a long one
// ("LIBRAR~1.SQL"): writing it would write the long-named file it stands for.
bool NamesAShortAlias(std::string_view rel);

// True when the program or the system could load or run the file at rel (in the program's
// folder, which is the portable program's work directory): programs, libraries and scripts
// by their extension (.exe .dll .com .bat .cmd .scr .pif .cpl .msi .ps1 .vbs .js .lnk .so
// and .so.N, .dylib), Qt's qt.conf in any folder, and anything in the folders the program's
// Qt plugins and translations are loaded from.
bool NamesSomethingThatRuns(std::string_view rel);

// True when the first bytes of a file are those of a program or library (an "MZ" header of
// Windows, an ELF header of Linux): such a file is refused whatever its name.
bool LooksLikeAProgram(std::string_view firstBytes);

// True for names of the program's own temporary and state files (".furlox-…", ".extract-…")
// at the top level.
bool NamesProgramState(std::string_view rel);

// A UTF-8 entry name as CP932 text for the rest of the program. A C1 control character
// (U+0080 to U+009F), which CP932 cannot hold, becomes the control byte 0x7F, so the name is
// refused as one with control characters instead of being written with a "?".
std::string Utf8NameToCp932(std::string_view utf8);

// True when every name is valid UTF-8 and at least one has a character beyond ASCII: the
// names of an archive written by a Unix archiver in UTF-8. Japanese Shift-JIS names are
// practically never valid UTF-8 (their common lead bytes 0x81 to 0x9F cannot begin a UTF-8
// character), while UTF-8 Japanese often reads as valid Shift-JIS.
bool NamesAreUtf8(const std::vector<std::string>& storedNames);

namespace lha {

// The entry's path below the destination folder, "/"-separated; nullopt when the name must be
// refused (a ".." component). Drive letters, leading separators and "." are dropped, so the
// path may come out empty; "\" separates like "/" unless it is the second byte of a
// double-byte character.
std::optional<std::string> SafeRelativePath(std::string_view cp932Name);

// Wildcard match of an entry name: "*" and "?" (whole characters), ASCII case ignored, "/" and
// "\" alike; "*.*" matches every name.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

} // namespace lha
} // namespace furlox::archive
