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
#include "base/Error.h"
#include "base/FileBatch.h"
#include "base/Platform.h"

namespace furlox::archive {

namespace lha {
namespace {

namespace fs = std::filesystem;

// One pass over an archive. libarchive turns the Shift-JIS names of the archive into the
// charset of the current locale, so the reading runs in UTF-8 (for the calling thread only) and
// the names are turned back into CP932 here: a trail byte 0x5C then never reads as a folder
// separator on the way.
class Reader
{
public:
    Reader(const ArchiveBytes& archive, bool convertNames)
        : m_archive(archive_read_new()), m_size(static_cast<std::int64_t>(archive.bytes.size()))
    {
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
        m_opened = archive_read_open_memory(m_archive, archive.bytes.data(),
                                            archive.bytes.size()) == ARCHIVE_OK;
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
        return m_converted || !IsUtf8(stored) ? stored : Utf8NameToCp932(stored);
#else
        const char* name = archive_entry_pathname(entry);
        if (name == nullptr) {
            return {};
        }
        // Converted, the name comes as UTF-8; unconverted, a name that is UTF-8 (as Unix
        // archivers store them) is turned into CP932 like the others; anything else is kept
        // byte for byte.
        return m_converted || IsUtf8(name) ? Utf8NameToCp932(name) : std::string(name);
#endif
    }

    // The name's bytes as the archive holds them (read unconverted).
    std::string RawName(archive_entry* entry) const
    {
#ifdef _WIN32
        return StoredName(entry);
#else
        const char* name = archive_entry_pathname(entry);
        return name ? std::string(name) : std::string();
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

// The headers of an archive in one pass; `utf8Names` (only when read unconverted) tells whether
// the names as stored are UTF-8.
Listing ReadHeaders(const ArchiveBytes& archive, bool convertNames, bool* utf8Names = nullptr)
{
    Listing listing;
    listing.convertedNames = convertNames;
    Reader reader(archive, convertNames);
    archive_entry* entry = nullptr;
    std::vector<std::string> rawNames;
    int r = reader.Opened() ? kOk : kErrorNotArchive;
    while (r == kOk && (r = reader.Next(&entry)) == kOk) {
        EntryInfo info;
        info.fileName = reader.Name(entry);
        info.originalSize = EntrySize(entry);
        info.time = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0;
        info.method = MethodOf(reader.Get());
        info.directory = archive_entry_filetype(entry) == AE_IFDIR;
        listing.entries.push_back(std::move(info));
        if (utf8Names) {
            rawNames.push_back(reader.RawName(entry));
        }
        r = reader.SkipData() ? kOk : kErrorBroken;
    }
    listing.endCode = r;
    listing.detail = reader.Detail();
    if (utf8Names) {
        *utf8Names = NamesAreUtf8(rawNames);
    }
    return listing;
}

// ---------------------------------------------------------------------------------------------
// Extraction.

class Extraction
{
public:
    Extraction(const ExtractRequest& request, ExtractResult& result)
        : m_request(request), m_result(result),
          m_dest(request.destination.empty() ? fs::path(".") : request.destination),
          m_stage(m_dest, kStagePrefix)
    {}

    void Run()
    {
        m_archive = m_request.snapshot;
        if (!m_archive) {
            if (const int code = ReadArchiveFile(m_request.archive, &m_archive); code != kOk) {
                Stop(code);
                return;
            }
        }
        if (!Count()) {
            return;
        }
        std::error_code ec;
        fs::create_directories(m_dest, ec);
        if (!m_request.rules.journal.path.empty()) {
            // The files an unfinished commit names are no leftovers: that commit ends first.
            try {
                FileBatch::Recover(m_dest, m_request.rules.journal.path);
            } catch (const Error& e) {
                m_result.code = kErrorWrite;
                m_result.error = e.what();
                return;
            }
        }
        m_stage.RemoveLeftovers();
        Reader reader(*m_archive, m_convertNames);
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
    // an unreadable name is found before anything is written, and so is an archive whose
    // entries claim more than kMaxTotalSize together. Then every selected entry is reported
    // once.
    bool Count()
    {
        const Listing listing = ReadListing(*m_archive);
        m_convertNames = listing.convertedNames;
        if (listing.endCode != kEndOfList) {
            return Stop(listing.endCode, {}, listing.detail);
        }
        // An entry over kMaxEntrySize is refused on its own and counts for nothing here.
        std::uint64_t claimed = 0;
        for (const EntryInfo& entry : listing.entries) {
            if (Selected(entry.fileName) && !entry.directory &&
                entry.originalSize <= kMaxEntrySize) {
                claimed += entry.originalSize;
            }
        }
        if (claimed > kMaxTotalSize) {
            return Stop(kErrorTotalTooLarge);
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

    // The refusal of an entry by its name alone, before anything of it is written; kOk when
    // the name may be written. `why` gets the reason.
    int RefusedName(const std::optional<std::string>& rel, bool directory, std::string& why) const
    {
        if (!rel || (rel->empty() && !directory)) {
            why = "展開先フォルダの外を指す名前のため展開しません。"_sj;
            return kErrorUnsafeEntry;
        }
        if (NamesADevice(*rel)) {
            why = "Windows の装置名（CON、NUL など）の格納ファイルは展開しません。"_sj;
            return kErrorUnsafeEntry;
        }
        // Windows drops dots and blanks at the end of a name when it stores it, so the file
        // would land on another one, past the checks of its name (a program file, an
        // executable); such names are refused on every system alike.
        if (EndsAPartInDotOrBlank(*rel)) {
            why = "ピリオドか空白で終わる名前の格納ファイルは展開しません。"_sj;
            return kErrorUnsafeEntry;
        }
        if (NamesAShortAlias(*rel)) {
            why = "Windows の短い名前（8.3 形式）に見える格納ファイルは展開しません。"_sj;
            return kErrorUnsafeEntry;
        }
        // No folder takes a data file's name.
        const std::string folderRel = directory ? *rel : FolderOf(*rel);
        if (!folderRel.empty() && FindIgnoringCase(m_request.rules.fixedNames,
                                                   folderRel.substr(0, folderRel.find('/')))) {
            why = "データファイルと同じ名前のフォルダは作成しません。"_sj;
            return kErrorUnsafeEntry;
        }
        if (NamesProgramState(*rel) ||
            (!directory && FindIgnoringCase(m_request.rules.protectedNames, *rel))) {
            why = ResultText(kErrorProtected);
            return kErrorProtected;
        }
        if (!directory && NamesSomethingThatRuns(*rel)) {
            why = ResultText(kErrorRunnable);
            return kErrorRunnable;
        }
        return kOk;
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
        std::string why;
        if (const int code = RefusedName(rel, type == AE_IFDIR, why); code != kOk) {
            return Refuse(name, code, why);
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
        return WriteEntry(reader, entry, name, *rel, target, info);
    }

    bool WriteEntry(Reader& reader, archive_entry* entry, const std::string& name,
                    const std::string& rel, const fs::path& target, ExtractingInfoEx& info)
    {
        platform::NewFile* file = m_stage.NewTemp();
        if (file == nullptr) {
            return Stop(kErrorWrite, name);
        }
        std::uint64_t written = 0;
        std::string head; // the first bytes, which tell a program
        constexpr std::size_t kHead = 4;
        const int code = reader.ReadData([&](const char* data, std::size_t size) {
            if (written + size > kMaxEntrySize) {
                return kErrorTooLarge;
            }
            if (m_total + size > kMaxTotalSize) {
                return kErrorTotalTooLarge;
            }
            if (head.size() < kHead) {
                head.append(data, std::min(size, kHead - head.size()));
                if (head.size() == kHead && LooksLikeAProgram(head)) {
                    return kErrorRunnable; // not a byte of it is written
                }
            }
            if (!file->Write(data, size)) {
                return kErrorWrite;
            }
            written += size;
            m_total += size;
            info.writeSize = Clamp32(written);
            return Report(kStateInProcess, info) ? kErrorCancelled : kOk;
        });
        if (code == kErrorTooLarge || code == kErrorRunnable ||
            (code == kOk && LooksLikeAProgram(head))) {
            m_stage.Discard(file);
            return Refuse(name, code == kOk ? kErrorRunnable : code,
                          ResultText(code == kOk ? kErrorRunnable : code));
        }
        if (code == kErrorCancelled || code == kErrorTotalTooLarge) {
            return Stop(code);
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
        // The folders are made once the file is whole, so a refused entry leaves none.
        if (!m_stage.MakeFolders(FolderOf(rel))) {
            m_stage.Discard(file);
            return Refuse(name, kErrorUnsafeEntry, "展開先のフォルダを作成できません。"_sj);
        }
        m_stage.Add(file, target);
        info.fileSize = info.writeSize; // as written, for the report when it is put in place
        m_staged.push_back({info, target, file->Path()});
        return !Report(kStateEnd, info) || Stop(kErrorCancelled);
    }

    // Puts every finished file in place, or none.
    void Commit()
    {
        if (m_request.rules.beforeCommit) {
            std::vector<StagedFile> files;
            for (const Staged& staged : m_staged) {
                files.push_back({staged.info.sourceFileName, staged.target, staged.path});
            }
            // A throw leaves every file where it is.
            m_request.rules.beforeCommit(files, m_result.Text());
        }
        const CommitJournal& journal = m_request.rules.journal;
        const std::optional<std::size_t> failed = m_stage.Commit(
            [this](std::size_t i) {
                Report(kStateCopy, m_staged[i].info); // too late to stop: every file goes
            },
            journal.path.empty() ? nullptr : &journal);
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
    ArchiveSnapshot m_archive;
    FileBatch m_stage;
    // What each file added to m_stage is, for its report when it is put in place.
    struct Staged
    {
        ExtractingInfoEx info;
        fs::path target;
        fs::path path; // the temporary file
    };
    std::vector<Staged> m_staged;
    std::uint64_t m_total = 0; // bytes written by the whole extraction
    int m_firstRefusal = kOk;
    bool m_convertNames = true;
};

} // namespace

// ---------------------------------------------------------------------------------------------

std::string ResultText(int code)
{
    // By code, from kErrorNotSupported to kErrorTotalTooLarge.
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
        "プログラムやライブラリとして読み込まれるおそれのあるファイル（.exe、.dll、qt.conf "
        "など）は展開しません。",
        "書庫ファイルが大きすぎます（64 MB を超える書庫は読み込みません）。",
        "格納ファイルを合わせると 256 MB を超えるため、展開しません。",
    };
    static_assert(std::size(kTexts) == kErrorTotalTooLarge - kErrorNotSupported + 1);
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

int ReadArchiveFile(const fs::path& path, ArchiveSnapshot* snapshot)
{
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxArchiveSize) {
        return kErrorArchiveTooLarge;
    }
    auto archive = std::make_shared<ArchiveBytes>();
    archive->path = path;
    bool tooLarge = false;
    const int failure = platform::ReadInPieces(path, 256 * 1024, [&](std::string_view piece) {
        tooLarge = archive->bytes.size() + piece.size() > kMaxArchiveSize;
        if (!tooLarge) {
            archive->bytes.append(piece);
        }
        return !tooLarge;
    });
    if (failure != 0) {
        return kErrorArchiveOpen;
    }
    if (tooLarge) {
        return kErrorArchiveTooLarge;
    }
    if (archive->bytes.empty()) {
        return kErrorNotArchive;
    }
    *snapshot = std::move(archive);
    return kOk;
}

// Names stored as UTF-8 (a Unix archiver) are taken as UTF-8, also where the same bytes would
// read as Shift-JIS too; Windows archivers store Shift-JIS names, so the headers are read as
// Shift-JIS otherwise. A name that is no valid Shift-JIS stops libarchive at its header; the
// names as stored count then when that reading gets to the end. Every later pass over the
// archive reads the names the way its listing did.
Listing ReadListing(const ArchiveBytes& archive)
{
    bool utf8Names = false;
    Listing asStored = ReadHeaders(archive, false, &utf8Names);
    if (asStored.endCode == kEndOfList && utf8Names) {
        return asStored;
    }
    Listing asShiftJis = ReadHeaders(archive, true);
    if (asShiftJis.endCode != kErrorUnreadableName) {
        return asShiftJis;
    }
    return asStored.endCode == kEndOfList ? std::move(asStored) : std::move(asShiftJis);
}

Listing ReadListing(const fs::path& path)
{
    ArchiveSnapshot archive;
    if (const int code = ReadArchiveFile(path, &archive); code != kOk) {
        Listing none;
        none.endCode = code;
        return none;
    }
    return ReadListing(*archive);
}

ExtractResult Extract(const ExtractRequest& request)
{
    ExtractResult result;
    Extraction(request, result).Run();
    return result;
}

int ReadEntry(const fs::path& path, std::string_view wildcard, char* buffer, std::size_t size,
              std::size_t* written)
{
    if (written) {
        *written = 0;
    }
    ArchiveSnapshot archive;
    if (const int code = ReadArchiveFile(path, &archive); code != kOk) {
        return code;
    }
    const Listing listing = ReadListing(*archive);
    Reader reader(*archive, listing.convertedNames);
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
    ArchiveSnapshot archive;
    if (ReadArchiveFile(path, &archive) != kOk) {
        return false;
    }
    const Listing listing = ReadListing(*archive);
    if (listing.endCode != kEndOfList || listing.entries.empty()) {
        return false;
    }
    if ((mode & kCheckFullCrc) == 0) {
        return true;
    }
    Reader reader(*archive, listing.convertedNames);
    archive_entry* entry = nullptr;
    int r = reader.Opened() ? kOk : kErrorNotArchive;
    while (r == kOk && (r = reader.Next(&entry)) == kOk) {
        r = reader.ReadData([](const char*, std::size_t) { return kOk; });
    }
    return r == kEndOfList;
}

} // namespace lha
} // namespace furlox::archive
