#include "archive/LhaBackend.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <climits>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "base/Encoding.h"
#include "base/FileBatch.h"
#include "base/Platform.h"

namespace furlox::archive::lha {
namespace {

namespace fs = std::filesystem;

// The prefix of the temporary files of an extraction; what a killed run left is removed by
// the next one.
constexpr const char* kTempPrefix = ".extract-";

// ---------------------------------------------------------------------------------------------
// Names. libarchive turns the Shift-JIS names of the archive into the charset of the current
// locale, so the reading runs in UTF-8 (for the calling thread only) and the names are turned
// back into CP932 here: a trail byte 0x5C then never reads as a folder separator on the way.

// One pass over an archive.
class Reader
{
public:
    Reader(const fs::path& path, bool convertNames) : m_archive(archive_read_new())
    {
        std::error_code ec;
        const std::uintmax_t size = fs::file_size(path, ec);
        m_size = ec ? -1 : static_cast<std::int64_t>(size);
        archive_read_support_format_lha(m_archive);
#ifdef _WIN32
        // The system's code-page functions libarchive converts with here take any byte
        // without an error, so an unreadable name would pass unseen: the names are taken as
        // stored instead (each byte one ISO-8859-1 character) and read here (StoredName).
        m_converted = convertNames;
        archive_read_set_options(m_archive, "hdrcharset=ISO-8859-1");
#else
        // Without the conversion (not asked for, or a libarchive built without iconv) the
        // names come through as the library gives them.
        m_converted = convertNames && platform::Utf8TextScope::Available() &&
                      archive_read_set_options(m_archive, "hdrcharset=CP932") == ARCHIVE_OK;
#endif
#ifdef _WIN32
        m_opened = archive_read_open_filename_w(m_archive, path.c_str(), 64 * 1024) == ARCHIVE_OK;
#else
        m_opened = archive_read_open_filename(m_archive, path.c_str(), 64 * 1024) == ARCHIVE_OK;
#endif
    }
    ~Reader()
    {
        archive_read_free(m_archive);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    bool Opened() const
    {
        return m_opened;
    }
    ::archive* Get() const
    {
        return m_archive;
    }

    // kOk with the next entry, kEndOfList at the end mark, kErrorUnreadableName when a name
    // cannot be converted, kErrorBroken when a header is damaged or the archive breaks off.
    int Next(archive_entry** entry)
    {
        const int r = archive_read_next_header(m_archive, entry);
        if (r == ARCHIVE_OK || r == ARCHIVE_WARN) {
#ifdef _WIN32
            // What libarchive's conversion refuses on the other systems.
            const std::string stored = StoredName(*entry);
            const bool readable = m_converted
                                      ? ToUtf8(stored).find("\xEF\xBF\xBD") == std::string::npos
                                      : IsUtf8(stored);
            return readable ? kOk : kErrorUnreadableName;
#else
            return kOk;
#endif
        }
        if (r == ARCHIVE_EOF) {
            return kEndOfList;
        }
        return Detail().find("cannot be converted") != std::string::npos ? kErrorUnreadableName
                                                                         : kErrorBroken;
    }

    bool SkipData()
    {
        if (archive_read_data_skip(m_archive) != ARCHIVE_OK) {
            return false;
        }
        // The skip seeks, and a seek past the end of a cut-off file is no error on every
        // system: what was passed over must lie inside the file.
        return m_size < 0 || archive_filter_bytes(m_archive, -1) <= m_size;
    }

    // The entry's name as CP932.
    std::string Name(archive_entry* entry) const
    {
#ifdef _WIN32
        const std::string stored = StoredName(entry);
        return m_converted || !IsUtf8(stored) ? stored : ToCp932(stored);
#else
        const char* name = archive_entry_pathname(entry);
        if (name == nullptr) {
            return {};
        }
        // Unconverted, a name that is UTF-8 (as some Unix archivers store them) is turned
        // into CP932 like the others; anything else is kept byte for byte.
        return m_converted || IsUtf8(name) ? ToCp932(name) : std::string(name);
#endif
    }

#ifdef _WIN32
    // The name's bytes as the archive holds them. libarchive has turned every backslash into
    // "/"; read as Shift-JIS, one right after a lead byte was that character's second byte
    // (0x2F never is one) and is given back.
    std::string StoredName(archive_entry* entry) const
    {
        const wchar_t* wide = archive_entry_pathname_w(entry);
        std::string bytes;
        for (; wide && *wide; ++wide) {
            bytes += *wide <= 0xFF ? static_cast<char>(*wide) : '?';
        }
        if (m_converted) {
            for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
                if (IsLeadByte(static_cast<unsigned char>(bytes[i]))) {
                    ++i;
                    bytes[i] = bytes[i] == '/' ? '\\' : bytes[i];
                }
            }
        }
        return bytes;
    }
#endif

    // libarchive's own words for the last failure, kept as a technical detail.
    std::string Detail() const
    {
        const char* text = archive_error_string(m_archive);
        return text ? std::string(text) : std::string();
    }

private:
    ::archive* m_archive;
    bool m_converted = false;
    bool m_opened = false;
    std::int64_t m_size = -1; // of the archive file, -1 when unknown
};

// Windows archivers store Shift-JIS names, so a reading takes the names as Shift-JIS. A name
// that is no valid Shift-JIS stops libarchive at its header; the reading then runs once more
// without the conversion (names in UTF-8, as some Unix archivers store them) and counts when it
// gets further. `pass` gives its result code; *convertedNames tells which reading counted.
int ReadingNames(const std::function<int(bool convertNames)>& pass, bool* convertedNames = nullptr)
{
    const int code = pass(true);
    if (convertedNames) {
        *convertedNames = true;
    }
    if (code != kErrorUnreadableName) {
        return code;
    }
    const int asStored = pass(false);
    if (asStored == kOk || asStored == kEndOfList) {
        if (convertedNames) {
            *convertedNames = false;
        }
        return asStored;
    }
    pass(true); // what the first reading left behind is what counts
    return code;
}

std::uint32_t Clamp32(std::uint64_t v)
{
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(v, UINT32_MAX));
}

std::uint64_t EntrySize(archive_entry* entry)
{
    if (!archive_entry_size_is_set(entry) || archive_entry_size(entry) < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(archive_entry_size(entry));
}

// Letters compare without case, and the two folder separators alike.
char FoldAscii(char c)
{
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c == '\\' ? '/' : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldAscii(x) == FoldAscii(y);
           });
}

// Checks on the archive file itself, for clear messages before libarchive is asked.
int CheckArchiveFile(const fs::path& path)
{
    if (platform::KindOf(path) != platform::EntryKind::File &&
        (platform::KindOf(path) != platform::EntryKind::Link || !fs::is_regular_file(path))) {
        return kErrorArchiveOpen;
    }
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        return kErrorArchiveOpen;
    }
    return size == 0 ? kErrorNotArchive : kOk;
}

// The folder part of a "/"-separated relative path ("" for a top-level name).
std::string FolderOf(const std::string& rel)
{
    const std::size_t slash = rel.rfind('/');
    return slash == std::string::npos ? std::string() : rel.substr(0, slash);
}

// ---------------------------------------------------------------------------------------------
// Extraction.

class Extraction
{
public:
    Extraction(const ExtractRequest& request, ExtractResult& result)
        : m_request(request), m_result(result),
          m_dest(request.destination.empty() ? fs::path(".") : request.destination),
          m_stage(m_dest, kTempPrefix)
    {}

    void Run()
    {
        if (int code = CheckArchiveFile(m_request.archive); code != kOk) {
            Stop(code);
            return;
        }
        if (!Count()) {
            return;
        }
        std::error_code ec;
        fs::create_directories(m_dest, ec);
        m_stage.RemoveLeftovers();
        Reader reader(m_request.archive, m_convertNames);
        if (!reader.Opened()) {
            Fail(kErrorNotArchive, reader);
            return;
        }
        archive_entry* entry = nullptr;
        int r;
        while ((r = reader.Next(&entry)) == kOk) {
            const std::string name = reader.Name(entry);
            if (Selected(name) && !ExtractEntry(reader, entry, name)) {
                return;
            }
        }
        if (r != kEndOfList) {
            Fail(r, reader);
            return;
        }
        Commit();
    }

private:
    bool Selected(const std::string& name) const
    {
        const std::vector<std::string>& patterns = m_request.wildcards;
        return patterns.empty() ||
               std::any_of(patterns.begin(), patterns.end(),
                           [&](const std::string& p) { return MatchesWildcard(p, name); });
    }

    bool Report(int state, const ExtractingInfoEx& info) const
    {
        return m_request.progress && m_request.progress(state, info);
    }

    // The first pass: a damaged header, a truncated archive or an unreadable name is found
    // before anything is written, and the names are read as Shift-JIS or, when they are not,
    // as stored (ReadingNames). Then every selected entry is reported once.
    bool Count()
    {
        std::vector<ExtractingInfoEx> counted;
        std::string detail;
        const int code = ReadingNames(
            [&](bool convertNames) {
                counted.clear();
                m_convertNames = convertNames; // Info() names the destination with them
                Reader reader(m_request.archive, convertNames);
                archive_entry* entry = nullptr;
                int r = reader.Opened() ? kOk : kErrorNotArchive;
                while (r == kOk && (r = reader.Next(&entry)) == kOk) {
                    const std::string name = reader.Name(entry);
                    if (Selected(name)) {
                        counted.push_back(Info(name, entry));
                    }
                    r = reader.SkipData() ? kOk : kErrorBroken;
                }
                detail = reader.Detail();
                return r;
            },
            &m_convertNames);
        if (code != kEndOfList) {
            return Stop(code, {}, detail);
        }
        for (const ExtractingInfoEx& info : counted) {
            if (Report(kStateCount, info)) {
                return Stop(kErrorCancelled);
            }
        }
        return true;
    }

    // The path below the destination, with the data files' own spelling; nullopt to refuse.
    std::optional<std::string> Relative(const std::string& name) const
    {
        std::optional<std::string> rel = SafeRelativePath(name);
        if (rel && !m_request.keepFolders && rel->rfind('/') != std::string::npos) {
            rel = rel->substr(rel->rfind('/') + 1);
        }
        if (rel) {
            for (const std::string& fixed : m_request.fixedNames) {
                if (SameIgnoringCase(*rel, fixed)) {
                    return fixed;
                }
            }
        }
        return rel;
    }

    ExtractingInfoEx Info(const std::string& name, archive_entry* entry) const
    {
        ExtractingInfoEx info;
        info.fileSize = Clamp32(EntrySize(entry));
        info.sourceFileName = name;
        if (std::optional<std::string> rel = Relative(name)) {
            info.destFileName = PathText(m_dest / Cp932Path(*rel));
        }
        return info;
    }

    // True when a folder of rel (or rel itself, for a folder entry) would take a data file's
    // name.
    bool TakesFixedName(const std::string& folderRel) const
    {
        const std::string top = folderRel.substr(0, folderRel.find('/'));
        return std::any_of(m_request.fixedNames.begin(), m_request.fixedNames.end(),
                           [&](const std::string& fixed) { return SameIgnoringCase(top, fixed); });
    }

    // True when a part of rel ends in a dot or a blank. Windows drops those when it stores
    // the name, so the file would land on another one, past the checks of its name (a
    // program file, an executable); such names are refused on every system alike. Neither
    // byte is ever the second byte of a Shift-JIS character.
    static bool EndsAPartInDotOrBlank(const std::string& rel)
    {
        for (std::size_t i = 0; i < rel.size(); ++i) {
            const bool partEnds = i + 1 == rel.size() || rel[i + 1] == '/';
            if (partEnds && (rel[i] == '.' || rel[i] == ' ')) {
                return true;
            }
        }
        return false;
    }

    // True when a part of rel is a device of Windows (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to
    // LPT9, CONIN$, CONOUT$) in any case, whatever follows a dot: there such a name opens the
    // device in every folder, so the file cannot be written. Refused on every system alike.
    static bool NamesADevice(const std::string& rel)
    {
        static const char* const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
        std::size_t start = 0;
        while (start <= rel.size()) {
            const std::size_t end = std::min(rel.find('/', start), rel.size());
            std::string stem = rel.substr(start, std::min(rel.find('.', start), end) - start);
            stem.erase(stem.find_last_not_of(' ') + 1);
            std::transform(stem.begin(), stem.end(), stem.begin(), [](char c) {
                return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            });
            const bool numbered = stem.size() == 4 &&
                                  (stem.rfind("com", 0) == 0 || stem.rfind("lpt", 0) == 0) &&
                                  stem[3] >= '1' && stem[3] <= '9';
            if (numbered ||
                std::find(std::begin(kDevices), std::end(kDevices), stem) != std::end(kDevices)) {
                return true;
            }
            start = end + 1;
        }
        return false;
    }

    bool IsProtected(const std::string& rel) const
    {
        return std::any_of(m_request.protectedNames.begin(), m_request.protectedNames.end(),
                           [&](const std::string& p) { return SameIgnoringCase(rel, p); });
    }

    // False when the whole extraction stops.
    bool ExtractEntry(Reader& reader, archive_entry* entry, const std::string& name)
    {
        ExtractingInfoEx info = Info(name, entry);
        if (Report(kStateBegin, info)) {
            return Stop(kErrorCancelled);
        }
        if (HasControlBytes(name)) {
            return Refuse(name, kErrorUnsafeEntry,
                          "名前に制御文字を含む格納ファイルは展開しません。"_sj);
        }
        const mode_t type = archive_entry_filetype(entry);
        if (archive_entry_hardlink(entry) != nullptr || type == AE_IFLNK ||
            (type != AE_IFREG && type != AE_IFDIR)) {
            return Refuse(name, kErrorUnsafeEntry,
                          "リンクなど通常のファイルでない格納ファイルは展開しません。"_sj);
        }
        const std::optional<std::string> rel = Relative(name);
        if (!rel || (rel->empty() && type != AE_IFDIR)) {
            return Refuse(name, kErrorUnsafeEntry,
                          "展開先フォルダの外を指す名前のため展開しません。"_sj);
        }
        if (NamesADevice(*rel)) {
            return Refuse(name, kErrorUnsafeEntry,
                          "Windows の装置名（CON、NUL など）の格納ファイルは展開しません。"_sj);
        }
        if (EndsAPartInDotOrBlank(*rel)) {
            return Refuse(name, kErrorUnsafeEntry,
                          "ピリオドか空白で終わる名前の格納ファイルは展開しません。"_sj);
        }
        const std::string folderRel = type == AE_IFDIR ? *rel : FolderOf(*rel);
        if (!folderRel.empty() && TakesFixedName(folderRel)) {
            return Refuse(name, kErrorUnsafeEntry,
                          "データファイルと同じ名前のフォルダは作成しません。"_sj);
        }
        if (type == AE_IFDIR) {
            if (m_request.keepFolders && !m_stage.MakeFolders(*rel)) {
                return Refuse(name, kErrorWrite, "フォルダを作成できません。"_sj);
            }
            return !Report(kStateEnd, info) || Stop(kErrorCancelled);
        }
        if (EntrySize(entry) > kMaxEntrySize) {
            return Refuse(name, kErrorTooLarge, ResultText(kErrorTooLarge));
        }
        if (IsProtected(*rel)) {
            return Refuse(name, kErrorProtected, ResultText(kErrorProtected));
        }
        if (!m_stage.MakeFolders(folderRel)) {
            return Refuse(name, kErrorUnsafeEntry, "展開先のフォルダを作成できません。"_sj);
        }
        const fs::path target = m_dest / Cp932Path(*rel);
        switch (platform::KindOf(target)) {
        case platform::EntryKind::None:
            break;
        case platform::EntryKind::Folder:
            return Refuse(name, kErrorWrite, "同じ名前のフォルダがあるため展開しません。"_sj);
        case platform::EntryKind::File:
            if (platform::IsExecutableFile(target)) {
                return Refuse(name, kErrorProtected, "実行ファイルは置き換えません。"_sj);
            }
            [[fallthrough]];
        default:
            if (!m_request.replaceExisting) {
                m_result.refused.push_back(
                    {name, "同じ名前のファイルがあるため展開しません。"_sj, kOk});
                return true;
            }
        }
        return WriteEntry(reader, entry, name, target, info);
    }

    bool WriteEntry(Reader& reader, archive_entry* entry, const std::string& name,
                    const fs::path& target, ExtractingInfoEx& info)
    {
        platform::NewFile* file = m_stage.NewTemp();
        if (file == nullptr) {
            return Stop(kErrorWrite, name);
        }
        std::uint64_t written = 0;
        for (;;) {
            const void* block = nullptr;
            std::size_t size = 0;
            la_int64_t offset = 0;
            const int r = archive_read_data_block(reader.Get(), &block, &size, &offset);
            if (r == ARCHIVE_EOF) {
                break;
            }
            if (r != ARCHIVE_OK || offset != static_cast<la_int64_t>(written)) {
                // A CRC mismatch, a decoding error or a cut-off archive.
                return Stop(kErrorData, name, reader.Detail());
            }
            if (written + size > kMaxEntrySize) {
                m_stage.Discard(file);
                return Refuse(name, kErrorTooLarge, ResultText(kErrorTooLarge));
            }
            if (!file->Write(static_cast<const char*>(block), size)) {
                return Stop(kErrorWrite, name);
            }
            written += size;
            info.writeSize = Clamp32(written);
            if (Report(kStateInProcess, info)) {
                return Stop(kErrorCancelled);
            }
        }
        const std::optional<std::int64_t> modified =
            archive_entry_mtime_is_set(entry)
                ? std::optional<std::int64_t>(archive_entry_mtime(entry))
                : std::nullopt;
        if (!file->Finish(modified)) {
            return Stop(kErrorWrite, name);
        }
        m_stage.Add(file, target);
        m_staged.push_back({name, target, written});
        return !Report(kStateEnd, info) || Stop(kErrorCancelled);
    }

    // Puts every finished file in place, or none.
    void Commit()
    {
        const std::optional<std::size_t> failed = m_stage.Commit([this](std::size_t i) {
            ExtractingInfoEx info;
            info.fileSize = Clamp32(m_staged[i].size);
            info.writeSize = info.fileSize;
            info.sourceFileName = m_staged[i].source;
            info.destFileName = PathText(m_staged[i].target);
            Report(kStateCopy, info); // too late to stop: every file goes in place
        });
        if (failed) {
            Stop(kErrorWrite, m_staged[*failed].source);
            m_result.error += "書庫のほかのファイルも元のままです。"_sj;
            return;
        }
        for (const Staged& staged : m_staged) {
            m_result.placed.push_back(staged.target);
        }
        m_result.code = m_firstRefusal;
    }

    // Always true: the extraction goes on with the next entry.
    bool Refuse(const std::string& name, int code, const std::string& why)
    {
        m_result.refused.push_back({name, why, code});
        if (m_firstRefusal == kOk) {
            m_firstRefusal = code;
        }
        return true;
    }

    // Always false: the whole extraction stops and nothing is placed.
    bool Stop(int code, const std::string& name = {}, const std::string& detail = {})
    {
        m_result.code = code;
        m_result.error = (name.empty() ? "" : EscapeControlBytes(name) + ": ") + ResultText(code) +
                         (detail.empty() ? "" : " (" + detail + ")");
        return false;
    }

    bool Fail(int code, const Reader& reader) { return Stop(code, {}, reader.Detail()); }

    const ExtractRequest& m_request;
    ExtractResult& m_result;
    const fs::path m_dest;
    FileBatch m_stage;
    // What each file added to m_stage is, for its report when it is put in place.
    struct Staged
    {
        std::string source;
        fs::path target;
        std::uint64_t size = 0;
    };
    std::vector<Staged> m_staged;
    int m_firstRefusal = kOk;
    bool m_convertNames = true;
};

// ---------------------------------------------------------------------------------------------
// Listings.

struct Listing
{
    std::vector<EntryInfo> entries;
    int endCode = kEndOfList; // what the listing answers after its last entry
    std::string pattern;
    std::size_t next = 0;
};

std::mutex g_listingsMutex;
std::map<ArchiveHandle, std::unique_ptr<Listing>> g_listings;
ArchiveHandle g_lastHandle = 0;

std::string MethodOf(::archive* a)
{
    // libarchive names the format "lha -lh5-".
    const char* format = archive_format_name(a);
    std::string_view text = format ? format : "";
    const std::size_t dash = text.find('-');
    return dash == std::string_view::npos ? std::string() : std::string(text.substr(dash));
}

int FindFrom(ArchiveHandle handle, std::optional<std::string_view> wildcard, EntryInfo& info)
{
    std::lock_guard lock(g_listingsMutex);
    auto it = g_listings.find(handle);
    if (it == g_listings.end()) {
        return kErrorHandle;
    }
    Listing& listing = *it->second;
    if (wildcard) {
        listing.pattern = std::string(*wildcard);
        listing.next = 0;
    }
    while (listing.next < listing.entries.size()) {
        const EntryInfo& entry = listing.entries[listing.next++];
        if (listing.pattern.empty() || MatchesWildcard(listing.pattern, entry.fileName)) {
            info = entry;
            return kOk;
        }
    }
    return listing.endCode;
}

// One reading of a listing; nullptr when the file is no archive at all.
std::unique_ptr<Listing> ReadListing(const fs::path& path, bool convertNames)
{
    auto listing = std::make_unique<Listing>();
    {
        Reader reader(path, convertNames);
        if (!reader.Opened()) {
            return nullptr;
        }
        archive_entry* entry = nullptr;
        int r;
        while ((r = reader.Next(&entry)) == kOk) {
            EntryInfo info;
            info.fileName = reader.Name(entry);
            info.originalSize = EntrySize(entry);
            info.time = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0;
            info.method = MethodOf(reader.Get());
            info.directory = archive_entry_filetype(entry) == AE_IFDIR;
            listing->entries.push_back(std::move(info));
            if (!reader.SkipData()) {
                r = kErrorBroken;
                break;
            }
        }
        if (r != kEndOfList) {
            // An archive whose names cannot be read is still an archive: its listing says so.
            if (listing->entries.empty() && r != kErrorUnreadableName) {
                return nullptr;
            }
            listing->endCode = r;
        }
    }
    return listing;
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

} // namespace

// ---------------------------------------------------------------------------------------------

std::string ResultText(int code)
{
    switch (code) {
    case kOk:
        return {};
    case kErrorNotSupported:
        return "この操作には対応していません（LHA 書庫の作成・削除・更新・自己解凍書庫の作成はできません）。"_sj;
    case kErrorArchiveOpen:
        return "書庫ファイルを開けません。"_sj;
    case kErrorNotArchive:
        return "LHA 形式の書庫ではないか、書庫ファイルが空です。"_sj;
    case kErrorBroken:
        return "書庫ファイルが壊れているか、途中で切れています。"_sj;
    case kErrorData:
        return "格納ファイルのデータが壊れています。"_sj;
    case kErrorUnsafeEntry:
        return "展開先フォルダの外を指す名前、またはリンクの格納ファイルは展開しません。"_sj;
    case kErrorTooLarge:
        return "256 MB を超える格納ファイルは展開しません。"_sj;
    case kErrorWrite:
        return "ファイルを書き込めません。"_sj;
    case kErrorCancelled:
        return "展開を中止しました。"_sj;
    case kErrorNoMatch:
        return "指定したファイルは書庫にありません。"_sj;
    case kErrorBufferTooSmall:
        return "格納ファイルがバッファに収まりません。"_sj;
    case kErrorHandle:
        return "書庫が開かれていません。"_sj;
    case kErrorUnreadableName:
        return "書庫ファイル内のファイル名を読み取れません（Shift-JIS でも UTF-8 でもない名前があります）。"_sj;
    case kErrorProtected:
        return "プログラムのファイルは置き換えません。"_sj;
    default:
        return "書庫の処理に失敗しました。"_sj;
    }
}

std::string ExtractResult::Text() const
{
    std::string text;
    for (const RefusedEntry& entry : refused) {
        text += EscapeControlBytes(entry.name) + ": " + entry.reason + "\r\n";
    }
    if (!error.empty()) {
        text += error + "\r\n";
    }
    return text;
}

ExtractResult Extract(const ExtractRequest& request)
{
    ExtractResult result;
    platform::Utf8TextScope utf8;
    Extraction(request, result).Run();
    return result;
}

int ReadEntry(const fs::path& archive, std::string_view wildcard, char* buffer, std::size_t size,
              std::size_t* written)
{
    if (written) {
        *written = 0;
    }
    if (int code = CheckArchiveFile(archive); code != kOk) {
        return code;
    }
    platform::Utf8TextScope utf8;
    return ReadingNames([&](bool convertNames) {
        Reader reader(archive, convertNames);
        if (!reader.Opened()) {
            return kErrorNotArchive;
        }
        archive_entry* entry = nullptr;
        int r;
        while ((r = reader.Next(&entry)) == kOk) {
            if (archive_entry_filetype(entry) != AE_IFREG ||
                !MatchesWildcard(wildcard, reader.Name(entry))) {
                continue;
            }
            if (EntrySize(entry) > kMaxEntrySize) {
                return kErrorTooLarge;
            }
            std::uint64_t done = 0;
            for (;;) {
                const void* block = nullptr;
                std::size_t n = 0;
                la_int64_t offset = 0;
                const int rb = archive_read_data_block(reader.Get(), &block, &n, &offset);
                if (rb == ARCHIVE_EOF) {
                    break;
                }
                if (rb != ARCHIVE_OK) {
                    return kErrorData;
                }
                // Read on past a full buffer, so that the CRC is still checked. A damaged entry
                // can give an empty block without data, which must not reach memcpy.
                if (n > 0 && done < size) {
                    std::memcpy(buffer + done, block, std::min<std::uint64_t>(n, size - done));
                }
                done += n;
            }
            if (written) {
                *written = static_cast<std::size_t>(std::min<std::uint64_t>(done, size));
            }
            return done > size ? kErrorBufferTooSmall : kOk;
        }
        return r == kEndOfList ? kErrorNoMatch : r;
    });
}

ArchiveHandle UnlhaOpenArchive(const fs::path& path)
{
    if (CheckArchiveFile(path) != kOk) {
        return 0;
    }
    platform::Utf8TextScope utf8;
    std::unique_ptr<Listing> listing;
    ReadingNames([&](bool convertNames) {
        listing = ReadListing(path, convertNames);
        return listing ? listing->endCode : kErrorNotArchive;
    });
    if (!listing) {
        return 0;
    }
    std::lock_guard lock(g_listingsMutex);
    const ArchiveHandle handle = ++g_lastHandle;
    g_listings[handle] = std::move(listing);
    return handle;
}

int UnlhaCloseArchive(ArchiveHandle handle)
{
    std::lock_guard lock(g_listingsMutex);
    return g_listings.erase(handle) == 1 ? kOk : kErrorHandle;
}

int UnlhaFindFirst(ArchiveHandle handle, std::string_view wildcard, EntryInfo& info)
{
    return FindFrom(handle, wildcard, info);
}

int UnlhaFindNext(ArchiveHandle handle, EntryInfo& info)
{
    return FindFrom(handle, std::nullopt, info);
}

bool UnlhaCheckArchive(const fs::path& path, int mode)
{
    if (CheckArchiveFile(path) != kOk) {
        return false;
    }
    platform::Utf8TextScope utf8;
    const int code = ReadingNames([&](bool convertNames) {
        Reader reader(path, convertNames);
        if (!reader.Opened()) {
            return kErrorNotArchive;
        }
        archive_entry* entry = nullptr;
        int r;
        int entries = 0;
        while ((r = reader.Next(&entry)) == kOk) {
            ++entries;
            if ((mode & kCheckFullCrc) == 0) {
                if (!reader.SkipData()) {
                    return kErrorBroken;
                }
                continue;
            }
            const void* block = nullptr;
            std::size_t n = 0;
            la_int64_t offset = 0;
            int rb;
            while ((rb = archive_read_data_block(reader.Get(), &block, &n, &offset)) ==
                   ARCHIVE_OK) {
            }
            if (rb != ARCHIVE_EOF) {
                return kErrorData;
            }
        }
        return r == kEndOfList && entries == 0 ? kErrorNotArchive : r;
    });
    return code == kEndOfList;
}

std::optional<std::string> SafeRelativePath(std::string_view name)
{
    std::vector<std::string> parts;
    std::string current;
    bool refused = false;
    auto flush = [&] {
        if (current == "..") {
            refused = true;
        } else if (!current.empty() && current != ".") {
            parts.push_back(current);
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
        if (parts.empty() && current.size() == 2 && current[1] == ':' &&
            ((current[0] >= 'A' && current[0] <= 'Z') ||
             (current[0] >= 'a' && current[0] <= 'z'))) {
            current.clear();
        }
    }
    flush();
    if (refused) {
        return std::nullopt;
    }
    std::string rel;
    for (const std::string& part : parts) {
        if (!rel.empty()) {
            rel += '/';
        }
        rel += part;
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

} // namespace furlox::archive::lha
