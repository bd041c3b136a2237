#include "archive/LhaBackend.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "base/Encoding.h"
#include "base/FileBatch.h"
#include "base/Platform.h"

namespace furlox::archive {

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

namespace lha {
namespace {

namespace fs = std::filesystem;

// The prefix of the temporary files of an extraction; what a killed run left is removed by
// the next one.
constexpr const char* kTempPrefix = ".extract-";

// One pass over an archive. libarchive turns the Shift-JIS names of the archive into the
// charset of the current locale, so the reading runs in UTF-8 (for the calling thread only) and
// the names are turned back into CP932 here: a trail byte 0x5C then never reads as a folder
// separator on the way.
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

    // Hands the current entry's data to `take` block by block; kOk at the entry's end,
    // kErrorData when a block cannot be decoded (a CRC mismatch, a cut-off archive), or the
    // first other code `take` answers.
    int ReadData(const std::function<int(const char* data, std::size_t size)>& take)
    {
        std::uint64_t done = 0;
        for (;;) {
            const void* block = nullptr;
            std::size_t size = 0;
            la_int64_t offset = 0;
            const int r = archive_read_data_block(m_archive, &block, &size, &offset);
            if (r == ARCHIVE_EOF) {
                return kOk;
            }
            if (r != ARCHIVE_OK || offset != static_cast<la_int64_t>(done)) {
                return kErrorData;
            }
            done += size;
            if (const int code = take(static_cast<const char*>(block), size); code != kOk) {
                return code;
            }
        }
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
    platform::Utf8TextScope m_utf8;
    ::archive* m_archive;
    bool m_converted = false;
    bool m_opened = false;
    std::int64_t m_size = -1; // of the archive file, -1 when unknown
};

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

std::string MethodOf(::archive* a)
{
    // libarchive names the format "lha -lh5-".
    const char* format = archive_format_name(a);
    std::string_view text = format ? format : "";
    const std::size_t dash = text.find('-');
    return dash == std::string_view::npos ? std::string() : std::string(text.substr(dash));
}

Listing ReadHeaders(const fs::path& path, bool convertNames)
{
    Listing listing;
    listing.convertedNames = convertNames;
    Reader reader(path, convertNames);
    archive_entry* entry = nullptr;
    int r = reader.Opened() ? kOk : kErrorNotArchive;
    while (r == kOk && (r = reader.Next(&entry)) == kOk) {
        EntryInfo info;
        info.fileName = reader.Name(entry);
        info.originalSize = EntrySize(entry);
        info.time = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0;
        info.method = MethodOf(reader.Get());
        info.directory = archive_entry_filetype(entry) == AE_IFDIR;
        listing.entries.push_back(std::move(info));
        r = reader.SkipData() ? kOk : kErrorBroken;
    }
    listing.endCode = r;
    listing.detail = reader.Detail();
    return listing;
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

// Letters compare without case, and the two folder separators alike.
char FoldAscii(char c)
{
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c == '\\' ? '/' : c;
}

// The name of the list that equals s but for ASCII case; nullptr when none does.
const std::string* FindIgnoringCase(const std::vector<std::string>& names, std::string_view s)
{
    const auto it = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
        return std::equal(name.begin(), name.end(), s.begin(), s.end(),
                          [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
    });
    return it == names.end() ? nullptr : &*it;
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
        if (!Count()) {
            return;
        }
        std::error_code ec;
        fs::create_directories(m_dest, ec);
        m_stage.RemoveLeftovers();
        Reader reader(m_request.archive, m_convertNames);
        archive_entry* entry = nullptr;
        int r = reader.Opened() ? kOk : kErrorNotArchive;
        while (r == kOk && (r = reader.Next(&entry)) == kOk) {
            const std::string name = reader.Name(entry);
            if (Selected(name) && !ExtractEntry(reader, entry, name)) {
                return;
            }
        }
        if (r != kEndOfList) {
            Stop(r, {}, reader.Detail());
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

    // The first pass reads the headers (ReadListing): a damaged header, a truncated archive or
    // an unreadable name is found before anything is written. Then every selected entry is
    // reported once.
    bool Count()
    {
        const Listing listing = ReadListing(m_request.archive);
        m_convertNames = listing.convertedNames;
        if (listing.endCode != kEndOfList) {
            return Stop(listing.endCode, {}, listing.detail);
        }
        for (const EntryInfo& entry : listing.entries) {
            if (Selected(entry.fileName) &&
                Report(kStateCount, Info(entry.fileName, entry.originalSize))) {
                return Stop(kErrorCancelled);
            }
        }
        return true;
    }

    // The path below the destination, with the data files' own spelling; nullopt to refuse.
    std::optional<std::string> Relative(const std::string& name) const
    {
        std::optional<std::string> rel = SafeRelativePath(name);
        if (const std::string* fixed =
                rel ? FindIgnoringCase(m_request.rules.fixedNames, *rel) : nullptr) {
            return *fixed;
        }
        return rel;
    }

    ExtractingInfoEx Info(const std::string& name, std::uint64_t size) const
    {
        ExtractingInfoEx info;
        info.fileSize = Clamp32(size);
        info.sourceFileName = name;
        if (std::optional<std::string> rel = Relative(name)) {
            info.destFileName = PathText(m_dest / Cp932Path(*rel));
        }
        return info;
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
            std::transform(stem.begin(), stem.end(), stem.begin(), FoldAscii);
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

    // False when the whole extraction stops.
    bool ExtractEntry(Reader& reader, archive_entry* entry, const std::string& name)
    {
        ExtractingInfoEx info = Info(name, EntrySize(entry));
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
        // No folder takes a data file's name.
        const std::string folderRel = type == AE_IFDIR ? *rel : FolderOf(*rel);
        if (!folderRel.empty() && FindIgnoringCase(m_request.rules.fixedNames,
                                                   folderRel.substr(0, folderRel.find('/')))) {
            return Refuse(name, kErrorUnsafeEntry,
                          "データファイルと同じ名前のフォルダは作成しません。"_sj);
        }
        if (type == AE_IFDIR) {
            if (!m_stage.MakeFolders(*rel)) {
                return Refuse(name, kErrorWrite, "フォルダを作成できません。"_sj);
            }
            return !Report(kStateEnd, info) || Stop(kErrorCancelled);
        }
        if (EntrySize(entry) > kMaxEntrySize) {
            return Refuse(name, kErrorTooLarge, ResultText(kErrorTooLarge));
        }
        if (FindIgnoringCase(m_request.rules.protectedNames, *rel)) {
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
        const int code = reader.ReadData([&](const char* data, std::size_t size) {
            if (written + size > kMaxEntrySize) {
                return kErrorTooLarge;
            }
            if (!file->Write(data, size)) {
                return kErrorWrite;
            }
            written += size;
            info.writeSize = Clamp32(written);
            return Report(kStateInProcess, info) ? kErrorCancelled : kOk;
        });
        if (code == kErrorTooLarge) {
            m_stage.Discard(file);
            return Refuse(name, kErrorTooLarge, ResultText(kErrorTooLarge));
        }
        if (code == kErrorCancelled) {
            return Stop(kErrorCancelled);
        }
        if (code != kOk) {
            return Stop(code, name, code == kErrorData ? reader.Detail() : std::string());
        }
        const std::optional<std::int64_t> modified =
            archive_entry_mtime_is_set(entry)
                ? std::optional<std::int64_t>(archive_entry_mtime(entry))
                : std::nullopt;
        if (!file->Finish(modified)) {
            return Stop(kErrorWrite, name);
        }
        m_stage.Add(file, target);
        info.fileSize = info.writeSize; // as written, for the report when it is put in place
        m_staged.push_back({info, target});
        return !Report(kStateEnd, info) || Stop(kErrorCancelled);
    }

    // Puts every finished file in place, or none.
    void Commit()
    {
        const std::optional<std::size_t> failed = m_stage.Commit([this](std::size_t i) {
            Report(kStateCopy, m_staged[i].info); // too late to stop: every file goes in place
        });
        if (failed) {
            Stop(kErrorWrite, m_staged[*failed].info.sourceFileName);
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

    const ExtractRequest& m_request;
    ExtractResult& m_result;
    const fs::path m_dest;
    FileBatch m_stage;
    // What each file added to m_stage is, for its report when it is put in place.
    struct Staged
    {
        ExtractingInfoEx info;
        fs::path target;
    };
    std::vector<Staged> m_staged;
    int m_firstRefusal = kOk;
    bool m_convertNames = true;
};

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
    // By code, from kErrorNotSupported to kErrorProtected.
    static constexpr const char* kTexts[] = {
        "この操作には対応していません（LHA "
        "書庫の作成・削除・更新・自己解凍書庫の作成はできません）。",
        "書庫ファイルを開けません。",
        "LHA 形式の書庫ではないか、書庫ファイルが空です。",
        "書庫ファイルが壊れているか、途中で切れています。",
        "格納ファイルのデータが壊れています。",
        "展開先フォルダの外を指す名前、またはリンクの格納ファイルは展開しません。",
        "256 MB を超える格納ファイルは展開しません。",
        "ファイルを書き込めません。",
        "展開を中止しました。",
        "指定したファイルは書庫にありません。",
        "格納ファイルがバッファに収まりません。",
        "書庫が開かれていません。",
        "書庫ファイル内のファイル名を読み取れません（Shift-JIS でも UTF-8 "
        "でもない名前があります）。",
        "プログラムのファイルは置き換えません。",
    };
    static_assert(std::size(kTexts) == kErrorProtected - kErrorNotSupported + 1);
    if (code == kOk) {
        return {};
    }
    const int index = code - kErrorNotSupported;
    const bool known = index >= 0 && index < static_cast<int>(std::size(kTexts));
    return ToCp932(known ? kTexts[index] : "書庫の処理に失敗しました。");
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

// Windows archivers store Shift-JIS names, so the headers are read as Shift-JIS. A name that is
// no valid Shift-JIS stops libarchive at its header; the headers are then read once more as
// stored (UTF-8, as some Unix archivers write them), and that reading counts when it gets to
// the end. Every later pass over the archive reads the names the way its listing did.
Listing ReadListing(const fs::path& path)
{
    if (const int code = CheckArchiveFile(path); code != kOk) {
        Listing none;
        none.endCode = code;
        return none;
    }
    Listing asShiftJis = ReadHeaders(path, true);
    if (asShiftJis.endCode != kErrorUnreadableName) {
        return asShiftJis;
    }
    Listing asStored = ReadHeaders(path, false);
    return asStored.endCode == kEndOfList ? std::move(asStored) : std::move(asShiftJis);
}

ExtractResult Extract(const ExtractRequest& request)
{
    ExtractResult result;
    Extraction(request, result).Run();
    return result;
}

int ReadEntry(const fs::path& archive, std::string_view wildcard, char* buffer, std::size_t size,
              std::size_t* written)
{
    if (written) {
        *written = 0;
    }
    const Listing listing = ReadListing(archive);
    if (listing.endCode == kErrorArchiveOpen || listing.endCode == kErrorNotArchive) {
        return listing.endCode;
    }
    Reader reader(archive, listing.convertedNames);
    archive_entry* entry = nullptr;
    int r = reader.Opened() ? kOk : kErrorNotArchive;
    while (r == kOk && (r = reader.Next(&entry)) == kOk) {
        if (archive_entry_filetype(entry) != AE_IFREG ||
            !MatchesWildcard(wildcard, reader.Name(entry))) {
            continue;
        }
        if (EntrySize(entry) > kMaxEntrySize) {
            return kErrorTooLarge;
        }
        // Read on past a full buffer, so that the CRC is still checked. A damaged entry can
        // give an empty block without data, which must not reach memcpy.
        std::uint64_t done = 0;
        const int code = reader.ReadData([&](const char* data, std::size_t n) {
            if (n > 0 && done < size) {
                std::memcpy(buffer + done, data, std::min<std::uint64_t>(n, size - done));
            }
            done += n;
            return kOk;
        });
        if (written) {
            *written = static_cast<std::size_t>(std::min<std::uint64_t>(done, size));
        }
        return code != kOk ? code : done > size ? kErrorBufferTooSmall : kOk;
    }
    return r == kEndOfList ? kErrorNoMatch : r;
}

bool UnlhaCheckArchive(const fs::path& path, int mode)
{
    const Listing listing = ReadListing(path);
    if (listing.endCode != kEndOfList || listing.entries.empty()) {
        return false;
    }
    if ((mode & kCheckFullCrc) == 0) {
        return true;
    }
    Reader reader(path, listing.convertedNames);
    archive_entry* entry = nullptr;
    int r = reader.Opened() ? kOk : kErrorNotArchive;
    while (r == kOk && (r = reader.Next(&entry)) == kOk) {
        r = reader.ReadData([](const char*, std::size_t) { return kOk; });
    }
    return r == kEndOfList;
}

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
