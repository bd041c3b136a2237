#include "base/FileBatch.h"

#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Platform.h"

namespace furlox {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kJournalHeader = "furlox commit journal 1";
constexpr std::string_view kForward = "forward";
constexpr std::string_view kBack = "back";
constexpr std::string_view kEnd = "end";
constexpr std::size_t kMaxJournalSize = 1024 * 1024;

// One file of a commit, as the journal names it: paths relative to the batch's root.
struct JournalEntry
{
    fs::path temp;   // the finished new file
    fs::path kept;   // the second name of the file it replaces; empty when there was none
    fs::path target; // where the new file goes
};

// A path of the journal, relative to the root: no absolute path, no way out of the root.
std::optional<fs::path> RelativePathOf(std::string_view text)
{
    const fs::path path = Utf8Path(text);
    if (text.empty() || path.is_absolute() || path.has_root_name() || path.has_root_directory()) {
        return std::nullopt;
    }
    for (const fs::path& part : path) {
        if (part == "..") {
            return std::nullopt;
        }
    }
    return path;
}

std::string JournalText(std::string_view direction, const std::vector<JournalEntry>& entries)
{
    std::string text = std::string(kJournalHeader) + "\n" + std::string(direction) + "\n";
    for (const JournalEntry& e : entries) {
        text += Utf8Text(e.temp.generic_u8string()) + "\t" + Utf8Text(e.kept.generic_u8string()) +
                "\t" + Utf8Text(e.target.generic_u8string()) + "\n";
    }
    return text + std::string(kEnd) + "\n";
}

// Writes the journal whole or not at all: a temporary file, flushed, renamed over the journal,
// and the folder's names flushed after it, so the journal is on the disk before a file moves.
bool WriteJournal(const fs::path& root, const std::string& tempPrefix, const fs::path& journal,
                  std::string_view direction, const std::vector<JournalEntry>& entries)
{
    const std::string text = JournalText(direction, entries);
    const std::unique_ptr<platform::NewFile> file = platform::NewFile::Create(root, tempPrefix);
    if (!file || !file->Write(text.data(), text.size()) || !file->Finish(std::nullopt) ||
        !platform::MoveReplacing(file->Path(), journal)) {
        return false;
    }
    file->Keep();
    platform::SyncFolder(root);
    return true;
}

struct ReadJournal
{
    bool forward = true;
    std::vector<JournalEntry> entries;
};

std::string JournalMessage(const fs::path& journal, const std::string& what)
{
    return "作業フォルダの展開記録 "_sj + EscapeControlBytes(PathText(journal)) + " "_sj + what;
}

ReadJournal ParseJournal(const fs::path& journal)
{
    std::string bytes;
    const int failure =
        platform::ReadInPieces(journal, 64 * 1024, [&bytes](std::string_view piece) {
            bytes.append(piece);
            return bytes.size() <= kMaxJournalSize;
        });
    const Error unreadable(JournalMessage(
        journal, "を読み取れないため、作業フォルダのファイルがそろっているかわかりません。\r\n"
                 "作業フォルダの kol_den1.kd2・kol_den2.kd2・kol_uma.kd2 を確かめてから、"
                 "この記録ファイルを削除してください。"_sj));
    if (failure != 0 || bytes.size() > kMaxJournalSize) {
        throw unreadable;
    }
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            throw unreadable; // cut off: never written this way
        }
        lines.emplace_back(std::string_view(bytes).substr(start, end - start));
        start = end + 1;
    }
    if (lines.size() < 3 || lines.front() != kJournalHeader || lines.back() != kEnd ||
        (lines[1] != kForward && lines[1] != kBack)) {
        throw unreadable;
    }
    ReadJournal read;
    read.forward = lines[1] == kForward;
    for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos) {
            throw unreadable;
        }
        const std::string_view keptText = line.substr(tab1 + 1, tab2 - tab1 - 1);
        const std::optional<fs::path> temp = RelativePathOf(line.substr(0, tab1));
        const std::optional<fs::path> kept = RelativePathOf(keptText);
        const std::optional<fs::path> target = RelativePathOf(line.substr(tab2 + 1));
        if (!temp || !target || (!keptText.empty() && !kept)) {
            throw unreadable;
        }
        read.entries.push_back({*temp, kept.value_or(fs::path()), *target});
    }
    return read;
}

bool IsFile(const fs::path& path)
{
    return platform::KindOf(path) == platform::EntryKind::File;
}

} // namespace

FileBatch::FileBatch(fs::path root, std::string tempPrefix)
    : m_root(std::move(root)), m_tempPrefix(std::move(tempPrefix))
{}

FileBatch::~FileBatch()
{
    m_temps.clear(); // removes the temporary files not put in place
    for (auto it = m_createdFolders.rbegin(); it != m_createdFolders.rend(); ++it) {
        std::error_code ec;
        fs::remove(*it, ec); // only when still empty
    }
}

void FileBatch::RemoveLeftovers() const
{
    std::error_code ec;
    for (fs::directory_iterator it(m_root, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        const platform::EntryKind kind = platform::KindOf(path);
        if (Utf8Text(path.filename()).rfind(m_tempPrefix, 0) == 0 &&
            (kind == platform::EntryKind::File || kind == platform::EntryKind::Link)) {
            platform::RemoveFile(path);
        }
    }
}

bool FileBatch::MakeFolders(const std::string& rel)
{
    const std::size_t before = m_createdFolders.size();
    const auto undo = [&] {
        while (m_createdFolders.size() > before) {
            std::error_code ec;
            fs::remove(m_createdFolders.back(), ec);
            m_createdFolders.pop_back();
        }
        return false;
    };
    fs::path path = m_root;
    std::size_t start = 0;
    while (start < rel.size()) {
        std::size_t end = rel.find('/', start);
        if (end == std::string::npos) {
            end = rel.size();
        }
        path /= Cp932Path(rel.substr(start, end - start));
        start = end + 1;
        const platform::EntryKind kind = platform::KindOf(path);
        if (kind == platform::EntryKind::Folder) {
            continue;
        }
        if (kind != platform::EntryKind::None || !platform::MakeFolder(path)) {
            return undo();
        }
        m_createdFolders.push_back(path);
    }
    return true;
}

platform::NewFile* FileBatch::NewTemp()
{
    std::unique_ptr<platform::NewFile> file = platform::NewFile::Create(m_root, m_tempPrefix);
    if (!file) {
        return nullptr;
    }
    m_temps.push_back(std::move(file));
    return m_temps.back().get();
}

void FileBatch::Discard(platform::NewFile* file)
{
    std::erase_if(m_temps, [file](const auto& t) { return t.get() == file; });
}

void FileBatch::Add(platform::NewFile* file, fs::path target)
{
    m_files.push_back({file, std::move(target)});
}

std::optional<std::size_t> FileBatch::Commit(const std::function<void(std::size_t)>& beforeEach,
                                             const CommitJournal* journal)
{
    int stepNumber = 0;
    const auto step = [&] {
        if (journal && journal->beforeStep) {
            journal->beforeStep(stepNumber);
        }
        ++stepNumber;
    };
    std::vector<JournalEntry> entries;
    const auto removeKept = [&](bool stepping) {
        for (const JournalEntry& e : entries) {
            if (!e.kept.empty()) {
                if (stepping) {
                    step();
                }
                platform::RemoveFile(m_root / e.kept);
            }
        }
    };

    // A second name for each file being replaced; a copy where links cannot be made.
    for (const File& file : m_files) {
        JournalEntry entry{file.temp->Path().lexically_relative(m_root),
                           {},
                           file.target.lexically_relative(m_root)};
        if (IsFile(file.target)) {
            step();
            fs::path kept = file.temp->Path();
            kept += ".kept";
            std::error_code ec;
            fs::create_hard_link(file.target, kept, ec);
            if (ec && !fs::copy_file(file.target, kept, ec)) {
                removeKept(false);
                return 0;
            }
            entry.kept = kept.lexically_relative(m_root);
        }
        entries.push_back(std::move(entry));
    }
    if (journal) {
        step();
        if (!WriteJournal(m_root, m_tempPrefix, journal->path, kForward, entries)) {
            removeKept(false);
            return 0;
        }
        // From here the journal owns the new files: whatever ends this call, they stay for
        // Recover, which needs every one of them to finish the commit.
        for (const File& file : m_files) {
            file.temp->Keep();
        }
    }

    std::size_t done = 0;
    for (; done < m_files.size(); ++done) {
        const File& file = m_files[done];
        if (beforeEach) {
            try {
                beforeEach(done);
            } catch (...) {
                // Only a report: the files go in place all the same.
            }
        }
        step();
        if (!platform::MoveReplacing(file.temp->Path(), file.target)) {
            break;
        }
        file.temp->Keep(); // it is the target now
    }
    if (done < m_files.size()) {
        // Undone in the journal first, so that a kill while the earlier files come back
        // goes on undoing; a journal that cannot say so is left as it is, with its files, and
        // the next Recover settles the commit.
        if (journal) {
            step();
            if (!WriteJournal(m_root, m_tempPrefix, journal->path, kBack, entries)) {
                return done;
            }
        }
        for (std::size_t i = done; i-- > 0;) {
            step();
            if (entries[i].kept.empty()) {
                platform::RemoveFile(m_files[i].target);
            } else {
                platform::MoveReplacing(m_root / entries[i].kept, m_files[i].target);
            }
        }
        if (journal) {
            step();
            platform::RemoveFile(journal->path);
            for (std::size_t i = done; i < m_files.size(); ++i) {
                platform::RemoveFile(m_files[i].temp->Path());
            }
        }
        removeKept(false);
        return done;
    }
    if (journal) {
        // No flush needed: a journal that comes back after a power loss names files that are
        // all in place already, and Recover finds nothing left to do.
        step();
        platform::RemoveFile(journal->path);
    }
    removeKept(journal != nullptr);
    m_createdFolders.clear(); // they stay, with what was put in them
    return std::nullopt;
}

FileBatch::Recovery FileBatch::Recover(const fs::path& root, const fs::path& journal)
{
    if (platform::KindOf(journal) == platform::EntryKind::None) {
        return Recovery::Nothing;
    }
    const ReadJournal read = ParseJournal(journal);
    const auto cannot = [&journal](const fs::path& file) {
        return Error(JournalMessage(
            journal, "にある前回の展開を終えられません（"_sj + EscapeControlBytes(PathText(file)) +
                         "）。\r\nファイルを使っているプログラムを閉じてから、もう一度お試し"
                         "ください。"_sj));
    };
    bool forward = read.forward;
    if (forward) {
        // Every new file was whole before the journal was written: the ones not yet moved go
        // in place now.
        for (const JournalEntry& e : read.entries) {
            if (IsFile(root / e.temp) && !platform::MoveReplacing(root / e.temp, root / e.target)) {
                // This one cannot go in place (now or ever): the commit is undone instead,
                // said first in the journal, as the commit itself does.
                if (!WriteJournal(root, kStagePrefix, journal, kBack, read.entries)) {
                    throw cannot(e.target);
                }
                forward = false;
                break;
            }
        }
    }
    if (!forward) {
        for (auto it = read.entries.rbegin(); it != read.entries.rend(); ++it) {
            if (!it->kept.empty()) {
                if (IsFile(root / it->kept) &&
                    !platform::MoveReplacing(root / it->kept, root / it->target)) {
                    throw cannot(it->target);
                }
            } else if (!IsFile(root / it->temp)) {
                platform::RemoveFile(root / it->target); // it had been put in place
            }
        }
    }
    platform::SyncFolder(root);
    platform::RemoveFile(journal);
    for (const JournalEntry& e : read.entries) {
        platform::RemoveFile(root / e.temp);
        if (!e.kept.empty()) {
            platform::RemoveFile(root / e.kept);
        }
    }
    return forward ? Recovery::Finished : Recovery::RolledBack;
}

} // namespace furlox
