#include "archive/EntryNames.h"

#include <algorithm>
#include <array>

#include "base/Encoding.h"

namespace furlox::archive {
namespace {

// The parts of a "/"-separated relative path.
std::vector<std::string_view> Parts(std::string_view rel)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= rel.size()) {
        const std::size_t end = std::min(rel.find('/', start), rel.size());
        parts.push_back(rel.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Folded(std::string_view s)
{
    std::string folded(s);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
    return folded;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsSeparatorAt(std::string_view s, std::size_t i)
{
    // Only "\\" can be the second byte of a double-byte character; a "/" after a lead byte
    // is broken text and still a separator, or it would hide a ".." inside one part.
    return s[i] == '/' || (s[i] == '\\' && !IsTrailByteAt(s, i));
}

// Splits CP932 text into its characters.
std::vector<std::string_view> Characters(std::string_view s)
{
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
        chars.push_back(s.substr(i, n));
        i += n;
    }
    return chars;
}

bool SameCharacter(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    return a.size() == 1 ? FoldAscii(a[0]) == FoldAscii(b[0]) : a == b;
}

// Extensions of files that Windows runs or loads, or that another system loads as a library.
constexpr std::array<std::string_view, 15> kRunnableExtensions = {
    ".exe", ".dll", ".com", ".bat", ".cmd", ".scr", ".pif",   ".cpl",
    ".msi", ".ps1", ".vbs", ".js",  ".lnk", ".so",  ".dylib",
};

// The folders of the program's folder that Qt loads plugins and translations from (the
// Windows program carries platforms/, styles/, imageformats/ and translations/; the others
// are where Qt looks for more).
constexpr std::array<std::string_view, 14> kLoadedFolders = {
    "platforms",
    "styles",
    "imageformats",
    "iconengines",
    "printsupport",
    "platformthemes",
    "platforminputcontexts",
    "generic",
    "tls",
    "networkinformation",
    "sqldrivers",
    "translations",
    "plugins",
    "qml",
};

// "libQt6Core.so.6", "libx.so.6.5.0": a shared library with its version behind the name.
bool IsVersionedSharedObject(std::string_view folded)
{
    const std::size_t so = folded.find(".so.");
    if (so == std::string_view::npos || so + 4 == folded.size()) {
        return false;
    }
    const std::string_view version = folded.substr(so + 4);
    return std::all_of(version.begin(), version.end(),
                       [](char c) { return IsDigit(c) || c == '.'; });
}

} // namespace

std::string ShortSourceName(std::string_view name)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if ((c == '/' || c == '\\' || c == ':') && !IsTrailByteAt(name, i)) {
            start = i + 1;
        }
    }
    return std::string(name.substr(start));
}

char FoldAscii(char c)
{
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c == '\\' ? '/' : c;
}

const std::string* FindIgnoringCase(const std::vector<std::string>& names, std::string_view s)
{
    const auto it = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
        return std::equal(name.begin(), name.end(), s.begin(), s.end(),
                          [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
    });
    return it == names.end() ? nullptr : &*it;
}

std::string FolderOf(const std::string& rel)
{
    const std::size_t slash = rel.rfind('/');
    return slash == std::string::npos ? std::string() : rel.substr(0, slash);
}

bool EndsAPartInDotOrBlank(std::string_view rel)
{
    // Neither byte is ever the second byte of a Shift-JIS character.
    for (std::size_t i = 0; i < rel.size(); ++i) {
        const bool partEnds = i + 1 == rel.size() || rel[i + 1] == '/';
        if (partEnds && (rel[i] == '.' || rel[i] == ' ')) {
            return true;
        }
    }
    return false;
}

bool NamesADevice(std::string_view rel)
{
    static constexpr std::array<std::string_view, 6> kDevices = {"con", "prn",    "aux",
                                                                 "nul", "conin$", "conout$"};
    for (const std::string_view part : Parts(rel)) {
        std::string stem = Folded(part.substr(0, part.find('.')));
        stem.erase(stem.find_last_not_of(' ') + 1);
        const bool numbered = stem.size() == 4 &&
                              (stem.rfind("com", 0) == 0 || stem.rfind("lpt", 0) == 0) &&
                              stem[3] >= '1' && stem[3] <= '9';
        if (numbered || std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) {
            return true;
        }
    }
    return false;
}

bool NamesAShortAlias(std::string_view rel)
{
    for (const std::string_view part : Parts(rel)) {
        const std::size_t dot = part.rfind('.');
        const std::string_view stem = part.substr(0, dot);
        const std::size_t extension = dot == std::string_view::npos ? 0 : part.size() - dot - 1;
        const std::size_t tilde = stem.rfind('~');
        if (tilde == std::string_view::npos || tilde == 0 || tilde + 1 == stem.size() ||
            IsTrailByteAt(part, tilde) || stem.size() > 8 || extension > 3) {
            continue;
        }
        const std::string_view number = stem.substr(tilde + 1);
        if (std::all_of(number.begin(), number.end(), IsDigit)) {
            return true;
        }
    }
    return false;
}

bool NamesSomethingThatRuns(std::string_view rel)
{
    const std::vector<std::string_view> parts = Parts(rel);
    const std::string first = Folded(parts.front());
    if (parts.size() > 1 &&
        std::find(kLoadedFolders.begin(), kLoadedFolders.end(), first) != kLoadedFolders.end()) {
        return true;
    }
    const std::string last = Folded(parts.back());
    if (last == "qt.conf" || IsVersionedSharedObject(last)) {
        return true;
    }
    const std::size_t dot = last.rfind('.');
    return dot != std::string::npos &&
           std::find(kRunnableExtensions.begin(), kRunnableExtensions.end(),
                     std::string_view(last).substr(dot)) != kRunnableExtensions.end();
}

bool LooksLikeAProgram(std::string_view firstBytes)
{
    return firstBytes.starts_with("MZ") || firstBytes.starts_with("\x7F"
                                                                  "ELF");
}

bool NamesProgramState(std::string_view rel)
{
    const std::string first = Folded(Parts(rel).front());
    return first.starts_with(".furlox") || first.starts_with(".extract-");
}

std::string Utf8NameToCp932(std::string_view utf8)
{
    std::string marked;
    marked.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            marked += '\x7F';
            ++i;
        } else {
            marked += static_cast<char>(c);
        }
    }
    return ToCp932(marked);
}

bool NamesAreUtf8(const std::vector<std::string>& storedNames)
{
    bool beyondAscii = false;
    for (const std::string& name : storedNames) {
        if (!IsUtf8(name)) {
            return false;
        }
        beyondAscii = beyondAscii || std::any_of(name.begin(), name.end(), [](char c) {
                          return static_cast<unsigned char>(c) >= 0x80;
                      });
    }
    return beyondAscii;
}

namespace lha {

std::optional<std::string> SafeRelativePath(std::string_view name)
{
    std::string rel;
    std::string current;
    bool refused = false;
    auto flush = [&] {
        if (current == "..") {
            refused = true;
        } else if (!current.empty() && current != ".") {
            rel += (rel.empty() ? "" : "/") + current;
        }
        current.clear();
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsSeparatorAt(name, i)) {
            flush();
            continue;
        }
        current += name[i];
        // A drive letter ("C:") before the first part is dropped with it.
        if (rel.empty() && current.size() == 2 && current[1] == ':' &&
            ((current[0] >= 'A' && current[0] <= 'Z') ||
             (current[0] >= 'a' && current[0] <= 'z'))) {
            current.clear();
        }
    }
    flush();
    if (refused) {
        return std::nullopt;
    }
    return rel;
}

bool MatchesWildcard(std::string_view pattern, std::string_view name)
{
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    const std::vector<std::string_view> p = Characters(pattern);
    const std::vector<std::string_view> s = Characters(name);
    // Greedy matching with one backtrack point per "*".
    std::size_t pi = 0, si = 0, starP = std::string::npos, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == "*") {
            starP = pi++;
            starS = si;
        } else if (pi < p.size() && (p[pi] == "?" || SameCharacter(p[pi], s[si]))) {
            ++pi;
            ++si;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == "*") {
        ++pi;
    }
    return pi == p.size();
}

} // namespace lha
} // namespace furlox::archive
