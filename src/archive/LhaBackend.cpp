#include "archive/LhaBackend.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <locale.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "kol/Encoding.h"

namespace furlox::archive::lha {
namespace {

// ---------------------------------------------------------------------------------------------
// Names. libarchive turns the Shift-JIS names of the archive into the charset of the current
// locale, so the reading runs in a UTF-8 locale of its own (for the calling thread only) and
// the names are turned back into CP932 here: a trail byte 0x5C then never reads as a folder
// separator on the way.

locale_t Utf8Locale()
{
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (locale_t l = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0))) {
                return l;
            }
        }
        return static_cast<locale_t>(0);
    }();
    return locale;
}

class ScopedUtf8Locale
{
public:
    ScopedUtf8Locale()
    {
        if (locale_t l = Utf8Locale()) {
            m_previous = uselocale(l);
        }
    }
    ~ScopedUtf8Locale()
    {
        if (m_previous) {
            uselocale(m_previous);
        }
    }
    ScopedUtf8Locale(const ScopedUtf8Locale&) = delete;
    ScopedUtf8Locale& operator=(const ScopedUtf8Locale&) = delete;

private:
    locale_t m_previous = static_cast<locale_t>(0);
};

// One pass over an archive.
class Reader
{
public:
    Reader(const std::string& path, bool convertNames) : m_archive(archive_read_new())
    {
        archive_read_support_format_lha(m_archive);
        // Without the conversion (not asked for, or a libarchive built without iconv) the
        // names come through as the library gives them.
        m_converted = convertNames && Utf8Locale() != static_cast<locale_t>(0) &&
                      archive_read_set_options(m_archive, "hdrcharset=CP932") == ARCHIVE_OK;
        m_opened = archive_read_open_filename(m_archive, path.c_str(), 64 * 1024) == ARCHIVE_OK;
    }
    ~Reader() { archive_read_free(m_archive); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    bool Opened() const { return m_opened; }
    ::archive* Get() const { return m_archive; }

    // kOk with the next entry, kEndOfList at the end mark, kErrorBroken when a header is
    // damaged or the archive breaks off.
    int Next(archive_entry** entry)
    {
        const int r = archive_read_next_header(m_archive, entry);
        if (r == ARCHIVE_OK || r == ARCHIVE_WARN) {
            return kOk;
        }
        return r == ARCHIVE_EOF ? kEndOfList : kErrorBroken;
    }

    bool SkipData() { return archive_read_data_skip(m_archive) == ARCHIVE_OK; }

    std::string Name(archive_entry* entry) const
    {
        const char* name = archive_entry_pathname(entry);
        if (name == nullptr) {
            return {};
        }
        return m_converted ? ToCp932(name) : std::string(name);
    }

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
};

// Windows archivers store Shift-JIS names, so names are read as Shift-JIS. A name that is no
// valid Shift-JIS stops libarchive at its header; when the archive then reads to its end
// without the conversion (names in UTF-8, as some Unix archivers store them), its names are
// taken unconverted instead.
bool ReadsAsCp932(const std::string& path)
{
    auto readsToEnd = [&path](bool convertNames) {
        Reader reader(path, convertNames);
        if (!reader.Opened()) {
            return false;
        }
        archive_entry* entry = nullptr;
        int r;
        while ((r = reader.Next(&entry)) == kOk) {
            if (!reader.SkipData()) {
                return false;
            }
        }
        return r == kEndOfList;
    };
    return readsToEnd(true) || !readsToEnd(false);
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

// ---------------------------------------------------------------------------------------------
// Output text and progress.

class OutputText
{
public:
    void Line(const std::string& cp932) { m_text += cp932 + "\r\n"; }
    void Entry(const std::string& name, const std::string& what) { Line(name + ": " + what); }

    // Cut to the buffer at a whole character and ended by a NUL; the buffer keeps its size.
    void WriteTo(std::string& buffer) const
    {
        if (buffer.empty()) {
            return;
        }
        std::size_t n = std::min(buffer.size() - 1, m_text.size());
        if (n < m_text.size() && n > 0 && IsLeadByte(static_cast<unsigned char>(m_text[n - 1])) &&
            !IsTrailByteAt(m_text, n - 1)) {
            --n;
        }
        std::copy_n(m_text.data(), n, buffer.data());
        buffer[n] = '\0';
    }

private:
    std::string m_text;
};

thread_local ProgressWindow* t_owner = nullptr;

// True when the owner asks to stop.
bool Report(int state, const ExtractingInfoEx& info)
{
    return t_owner != nullptr && t_owner->ReportProgress(state, &info);
}

// Letters compare without case, and the two folder separators alike.
char FoldAscii(char c)
{
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c == '\\' ? '/' : c;
}

// ---------------------------------------------------------------------------------------------
// The command line as BuildCommandLine writes it.

struct Command
{
    std::string letter; // empty when the line has none
    bool replace = false;
    std::string archive;
    std::string destination; // empty: the current folder
    std::vector<std::string> patterns;
};

// Splits at spaces; double quotes group and are removed. False on an unbalanced quote.
bool Tokenize(std::string_view line, std::vector<std::string>& tokens)
{
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        std::string token;
        bool quoted = false;
        for (; i < line.size() && (quoted || line[i] != ' '); ++i) {
            if (line[i] == '"') {
                quoted = !quoted;
            } else {
                token += line[i];
            }
        }
        if (quoted) {
            return false;
        }
        tokens.push_back(token);
    }
    return true;
}

bool ReadResponseFile(const std::string& path, std::vector<std::string>& names)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<std::string> tokens;
        if (!Tokenize(line, tokens)) {
            return false;
        }
        names.insert(names.end(), tokens.begin(), tokens.end());
    }
    return true;
}

std::optional<Command> ParseCommand(std::string_view line)
{
    std::vector<std::string> tokens;
    if (!Tokenize(line, tokens)) {
        return std::nullopt;
    }
    Command command;
    std::size_t i = 0;
    if (i < tokens.size() && !tokens[i].empty() && tokens[i][0] != '-') {
        command.letter = tokens[i++];
        for (char& c : command.letter) {
            c = FoldAscii(c);
        }
    }
    for (; i < tokens.size() && !tokens[i].empty() && tokens[i][0] == '-'; ++i) {
        // Only the replace switch changes what this library does; the others are accepted
        // and have no effect here (no dialogs, no own progress window).
        if (tokens[i] == "-c" || tokens[i] == "-c1") {
            command.replace = true;
        } else if (tokens[i] == "-c0") {
            command.replace = false;
        }
    }
    if (i >= tokens.size() || tokens[i].empty()) {
        return std::nullopt;
    }
    command.archive = tokens[i++];
    // The destination is the name after the archive that ends in a folder separator; the
    // separator added by the command line builder is dropped.
    if (i < tokens.size() && !tokens[i].empty() &&
        (tokens[i].back() == '\\' || tokens[i].back() == '/')) {
        command.destination = tokens[i++];
        command.destination.pop_back();
        if (command.destination.empty()) {
            command.destination = "/";
        }
    }
    for (; i < tokens.size(); ++i) {
        if (tokens[i].size() > 1 && tokens[i][0] == '@') {
            if (!ReadResponseFile(tokens[i].substr(1), command.patterns)) {
                return std::nullopt;
            }
        } else if (!tokens[i].empty()) {
            command.patterns.push_back(tokens[i]);
        }
    }
    return command;
}

bool Selected(const Command& command, const std::string& name)
{
    if (command.patterns.empty()) {
        return true;
    }
    return std::any_of(command.patterns.begin(), command.patterns.end(),
                       [&](const std::string& p) { return MatchesWildcard(p, name); });
}

// ---------------------------------------------------------------------------------------------
// Checks on the archive file itself, for clear messages before libarchive is asked.

int CheckArchiveFile(const std::string& path)
{
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return kErrorArchiveOpen;
    }
    if (::access(path.c_str(), R_OK) != 0) {
        return kErrorArchiveOpen;
    }
    return st.st_size == 0 ? kErrorNotArchive : kOk;
}

std::string JoinPath(const std::string& dir, const std::string& rel)
{
    if (rel.empty()) {
        return dir;
    }
    if (!dir.empty() && dir.back() == '/') {
        return dir + rel;
    }
    return dir + "/" + rel;
}

// ---------------------------------------------------------------------------------------------
// Staging: finished files wait under temporary names until the whole archive has been read.

class Stage
{
public:
    struct File
    {
        std::string temp;
        std::string target;
        std::string source;
        std::uint64_t size = 0;
    };

    ~Stage()
    {
        if (!m_committed) {
            Rollback();
        }
    }

    // Makes the folders of rel below dest. False when a part exists as something other than
    // a real folder (a symbolic link is never followed) or cannot be made.
    bool MakeFolders(const std::string& dest, const std::string& rel)
    {
        std::string path = dest;
        std::size_t start = 0;
        while (start < rel.size()) {
            std::size_t end = rel.find('/', start);
            if (end == std::string::npos) {
                end = rel.size();
            }
            path = JoinPath(path, rel.substr(start, end - start));
            start = end + 1;
            struct stat st = {};
            if (::lstat(path.c_str(), &st) == 0) {
                if (!S_ISDIR(st.st_mode)) {
                    return false;
                }
                continue;
            }
            if (errno != ENOENT || ::mkdir(path.c_str(), 0777) != 0) {
                return false;
            }
            m_createdFolders.push_back(path);
        }
        return true;
    }

    // Opens a new temporary file in folder; -1 on failure.
    int CreateTemp(const std::string& folder, std::string& tempPath)
    {
        tempPath = JoinPath(folder, ".extract-XXXXXX");
        int fd = ::mkstemp(tempPath.data());
        if (fd >= 0) {
            m_temps.push_back(tempPath);
        }
        return fd;
    }

    void Discard(const std::string& tempPath)
    {
        ::unlink(tempPath.c_str());
        m_temps.erase(std::remove(m_temps.begin(), m_temps.end(), tempPath), m_temps.end());
    }

    void Add(File file) { m_files.push_back(std::move(file)); }

    // Puts every staged file in place. Returns kOk or kErrorWrite.
    int Commit(OutputText& out)
    {
        m_committed = true;
        int result = kOk;
        for (const File& file : m_files) {
            ExtractingInfoEx info;
            info.fileSize = Clamp32(file.size);
            info.writeSize = info.fileSize;
            info.sourceFileName = file.source;
            info.destFileName = file.target;
            Report(kStateCopy, info); // too late to stop: every file goes in place
            if (::rename(file.temp.c_str(), file.target.c_str()) != 0) {
                ::unlink(file.temp.c_str());
                out.Entry(file.source, "ファイルを書き込めません。"_sj);
                result = kErrorWrite;
            }
        }
        m_temps.clear();
        return result;
    }

private:
    void Rollback()
    {
        for (const std::string& temp : m_temps) {
            ::unlink(temp.c_str());
        }
        for (auto it = m_createdFolders.rbegin(); it != m_createdFolders.rend(); ++it) {
            ::rmdir(it->c_str());
        }
    }

    std::vector<std::string> m_temps;
    std::vector<std::string> m_createdFolders;
    std::vector<File> m_files;
    bool m_committed = false;
};

// Closes the file on every way out.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

mode_t NewFileMode(const std::string& target)
{
    struct stat st = {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        return st.st_mode & 0777;
    }
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// ---------------------------------------------------------------------------------------------
// Extraction.

class Extraction
{
public:
    Extraction(const Command& command, bool withFolders, OutputText& out)
        : m_command(command), m_withFolders(withFolders), m_out(out),
          m_dest(command.destination.empty() ? std::string(".") : command.destination)
    {}

    int Run()
    {
        if (int code = CheckArchiveFile(m_command.archive); code != kOk) {
            m_out.Line(ResultText(code));
            return code;
        }
        m_convertNames = ReadsAsCp932(m_command.archive);
        if (int code = Count(); code != kOk) {
            return code;
        }
        std::error_code ec;
        std::filesystem::create_directories(m_dest, ec);
        Reader reader(m_command.archive, m_convertNames);
        if (!reader.Opened()) {
            return Fail(kErrorNotArchive, reader);
        }
        archive_entry* entry = nullptr;
        int r;
        while ((r = reader.Next(&entry)) == kOk) {
            const std::string name = reader.Name(entry);
            if (!Selected(m_command, name)) {
                continue;
            }
            if (int code = ExtractEntry(reader, entry, name); code != kOk) {
                return code;
            }
        }
        if (r != kEndOfList) {
            return Fail(kErrorBroken, reader);
        }
        const int committed = m_stage.Commit(m_out);
        return m_firstRefusal != kOk ? m_firstRefusal : committed;
    }

private:
    // The first pass: every selected entry is reported once, and a damaged header or a
    // truncated archive is found before anything is written.
    int Count()
    {
        Reader reader(m_command.archive, m_convertNames);
        if (!reader.Opened()) {
            return Fail(kErrorNotArchive, reader);
        }
        archive_entry* entry = nullptr;
        int r;
        while ((r = reader.Next(&entry)) == kOk) {
            const std::string name = reader.Name(entry);
            if (Selected(m_command, name)) {
                ExtractingInfoEx info = Info(name, entry);
                if (Report(kStateCount, info)) {
                    return Cancel();
                }
            }
            if (!reader.SkipData()) {
                return Fail(kErrorBroken, reader);
            }
        }
        return r == kEndOfList ? kOk : Fail(kErrorBroken, reader);
    }

    std::optional<std::string> Relative(const std::string& name) const
    {
        std::optional<std::string> rel = SafeRelativePath(name);
        if (rel && !m_withFolders) {
            rel = rel->substr(rel->rfind('/') == std::string::npos ? 0 : rel->rfind('/') + 1);
        }
        return rel;
    }

    ExtractingInfoEx Info(const std::string& name, archive_entry* entry) const
    {
        ExtractingInfoEx info;
        info.fileSize = Clamp32(EntrySize(entry));
        info.sourceFileName = name;
        if (std::optional<std::string> rel = Relative(name)) {
            info.destFileName = JoinPath(m_dest, *rel);
        }
        return info;
    }

    int ExtractEntry(Reader& reader, archive_entry* entry, const std::string& name)
    {
        ExtractingInfoEx info = Info(name, entry);
        if (Report(kStateBegin, info)) {
            return Cancel();
        }
        const mode_t type = archive_entry_filetype(entry);
        if (archive_entry_hardlink(entry) != nullptr || type == AE_IFLNK ||
            (type != AE_IFREG && type != AE_IFDIR)) {
            Refuse(name, kErrorUnsafeEntry,
                   "リンクなど通常のファイルでない格納ファイルは展開しません。"_sj);
            return kOk;
        }
        const std::optional<std::string> rel = Relative(name);
        if (!rel || (rel->empty() && type != AE_IFDIR)) {
            Refuse(name, kErrorUnsafeEntry, "展開先フォルダの外を指す名前のため展開しません。"_sj);
            return kOk;
        }
        if (type == AE_IFDIR) {
            if (m_withFolders && !m_stage.MakeFolders(m_dest, *rel)) {
                Refuse(name, kErrorWrite, "フォルダを作成できません。"_sj);
                return kOk;
            }
            return Report(kStateEnd, info) ? Cancel() : kOk;
        }
        if (EntrySize(entry) > kMaxEntrySize) {
            Refuse(name, kErrorTooLarge, ResultText(kErrorTooLarge));
            return kOk;
        }
        const std::size_t slash = rel->rfind('/');
        const std::string folderRel = slash == std::string::npos ? "" : rel->substr(0, slash);
        if (!m_stage.MakeFolders(m_dest, folderRel)) {
            Refuse(name, kErrorUnsafeEntry, "展開先のフォルダを作成できません。"_sj);
            return kOk;
        }
        const std::string target = JoinPath(m_dest, *rel);
        struct stat st = {};
        if (::lstat(target.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) {
                Refuse(name, kErrorWrite, "同じ名前のフォルダがあるため展開しません。"_sj);
                return kOk;
            }
            if (!m_command.replace) {
                m_out.Entry(name, "同じ名前のファイルがあるため展開しません。"_sj);
                return kOk;
            }
        }
        return WriteEntry(reader, entry, name, JoinPath(m_dest, folderRel), target, info);
    }

    int WriteEntry(Reader& reader, archive_entry* entry, const std::string& name,
                   const std::string& folder, const std::string& target, ExtractingInfoEx& info)
    {
        std::string temp;
        FileDescriptor file(m_stage.CreateTemp(folder, temp));
        if (file.Get() < 0) {
            m_out.Entry(name, "ファイルを書き込めません。"_sj);
            return kErrorWrite;
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
                m_out.Entry(name, ResultText(kErrorData) + " (" + reader.Detail() + ")");
                return kErrorData;
            }
            if (written + size > kMaxEntrySize) {
                file.Close();
                m_stage.Discard(temp);
                Refuse(name, kErrorTooLarge, ResultText(kErrorTooLarge));
                return kOk;
            }
            if (!WriteAll(file.Get(), static_cast<const char*>(block), size)) {
                m_out.Entry(name, "ファイルを書き込めません。"_sj);
                return kErrorWrite;
            }
            written += size;
            info.writeSize = Clamp32(written);
            if (Report(kStateInProcess, info)) {
                return Cancel();
            }
        }
        bool ok = ::fchmod(file.Get(), NewFileMode(target)) == 0;
        if (archive_entry_mtime_is_set(entry)) {
            struct timespec times[2];
            times[0].tv_sec = 0;
            times[0].tv_nsec = UTIME_OMIT;
            times[1].tv_sec = archive_entry_mtime(entry);
            times[1].tv_nsec = 0;
            ::futimens(file.Get(), times); // a time stamp that cannot be set is no failure
        }
        ok = ::fsync(file.Get()) == 0 && ok;
        ok = file.Close() && ok;
        if (!ok) {
            m_out.Entry(name, "ファイルを書き込めません。"_sj);
            return kErrorWrite;
        }
        m_stage.Add({temp, target, name, written});
        return Report(kStateEnd, info) ? Cancel() : kOk;
    }

    void Refuse(const std::string& name, int code, const std::string& why)
    {
        m_out.Entry(name, why);
        if (m_firstRefusal == kOk) {
            m_firstRefusal = code;
        }
    }

    int Fail(int code, const Reader& reader)
    {
        const std::string detail = reader.Detail();
        m_out.Line(detail.empty() ? ResultText(code) : ResultText(code) + " (" + detail + ")");
        return code;
    }

    int Cancel()
    {
        m_out.Line(ResultText(kErrorCancelled));
        return kErrorCancelled;
    }

    const Command& m_command;
    const bool m_withFolders;
    OutputText& m_out;
    const std::string m_dest;
    Stage m_stage;
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

bool SplitCommandLine(std::string_view line, std::vector<std::string>& tokens)
{
    return Tokenize(line, tokens);
}

// ---------------------------------------------------------------------------------------------

std::string ResultText(int code)
{
    switch (code) {
    case kOk:
        return {};
    case kErrorCommandLine:
        return "コマンド行を解釈できません。"_sj;
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
    default:
        return "書庫の処理に失敗しました。"_sj;
    }
}

int Unlha(std::string_view commandLine, std::string& output)
{
    OutputText out;
    int result = kErrorCommandLine;
    const std::optional<Command> command = ParseCommand(commandLine);
    if (!command || command->letter.empty()) {
        out.Line(ResultText(kErrorCommandLine));
    } else if (command->letter == "x" || command->letter == "e") {
        ScopedUtf8Locale locale;
        Extraction extraction(*command, command->letter == "x", out);
        result = extraction.Run();
    } else if (command->letter == "a" || command->letter == "u" || command->letter == "m" ||
               command->letter == "d" || command->letter == "f" || command->letter == "s") {
        // libarchive has no LHA writer.
        result = kErrorNotSupported;
        out.Line(ResultText(result));
    } else {
        out.Line(ResultText(kErrorCommandLine));
    }
    out.WriteTo(output);
    return result;
}

int UnlhaExtractMem(std::string_view commandLine, char* buffer, std::size_t size,
                    std::size_t* written)
{
    if (written) {
        *written = 0;
    }
    const std::optional<Command> command = ParseCommand(commandLine);
    if (!command || command->patterns.size() != 1) {
        return kErrorCommandLine;
    }
    if (int code = CheckArchiveFile(command->archive); code != kOk) {
        return code;
    }
    ScopedUtf8Locale locale;
    Reader reader(command->archive, ReadsAsCp932(command->archive));
    if (!reader.Opened()) {
        return kErrorNotArchive;
    }
    archive_entry* entry = nullptr;
    int r;
    while ((r = reader.Next(&entry)) == kOk) {
        if (archive_entry_filetype(entry) != AE_IFREG ||
            !MatchesWildcard(command->patterns.front(), reader.Name(entry))) {
            continue;
        }
        const std::uint64_t entrySize = EntrySize(entry);
        if (entrySize > kMaxEntrySize) {
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
            // Read on past a full buffer, so that the CRC is still checked. A damaged entry can
            // give an empty block without data, which must not reach memcpy.
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
    return r == kEndOfList ? kErrorNoMatch : kErrorBroken;
}

ArchiveHandle UnlhaOpenArchive(const std::string& path, unsigned /*mode*/)
{
    if (CheckArchiveFile(path) != kOk) {
        return 0;
    }
    ScopedUtf8Locale locale;
    auto listing = std::make_unique<Listing>();
    {
        Reader reader(path, ReadsAsCp932(path));
        if (!reader.Opened()) {
            return 0;
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
            if (listing->entries.empty()) {
                return 0;
            }
            listing->endCode = kErrorBroken;
        }
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

bool UnlhaCheckArchive(const std::string& path, int mode)
{
    if (CheckArchiveFile(path) != kOk) {
        return false;
    }
    ScopedUtf8Locale locale;
    Reader reader(path, ReadsAsCp932(path));
    if (!reader.Opened()) {
        return false;
    }
    archive_entry* entry = nullptr;
    int r;
    int entries = 0;
    while ((r = reader.Next(&entry)) == kOk) {
        ++entries;
        if ((mode & kCheckFullCrc) == 0) {
            if (!reader.SkipData()) {
                return false;
            }
            continue;
        }
        const void* block = nullptr;
        std::size_t n = 0;
        la_int64_t offset = 0;
        int rb;
        while ((rb = archive_read_data_block(reader.Get(), &block, &n, &offset)) == ARCHIVE_OK) {
        }
        if (rb != ARCHIVE_EOF) {
            return false;
        }
    }
    return r == kEndOfList && entries > 0;
}

bool UnlhaSetOwnerWindowEx(ProgressWindow* window)
{
    t_owner = window;
    return window != nullptr;
}

bool UnlhaKillOwnerWindowEx(ProgressWindow* window)
{
    if (window == nullptr || t_owner != window) {
        return false;
    }
    t_owner = nullptr;
    return true;
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
