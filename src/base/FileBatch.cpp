#include "base/FileBatch.h"

#include "base/Encoding.h"
#include "base/Platform.h"

namespace furlox {

namespace fs = std::filesystem;

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
            return false;
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

std::optional<std::size_t> FileBatch::Commit(const std::function<void(std::size_t)>& beforeEach)
{
    struct Replaced
    {
        fs::path target;
        fs::path kept; // empty: there was no file before
    };
    std::vector<Replaced> done;
    auto undo = [&done] {
        for (auto it = done.rbegin(); it != done.rend(); ++it) {
            if (it->kept.empty()) {
                platform::RemoveFile(it->target);
            } else {
                platform::MoveReplacing(it->kept, it->target);
            }
        }
    };
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        const File& file = m_files[i];
        if (beforeEach) {
            beforeEach(i);
        }
        Replaced step{file.target, {}};
        if (platform::KindOf(file.target) == platform::EntryKind::File) {
            // A second name for the file being replaced; a copy where links cannot be made.
            step.kept = file.temp->Path();
            step.kept += ".kept";
            std::error_code ec;
            fs::create_hard_link(file.target, step.kept, ec);
            if (ec && !fs::copy_file(file.target, step.kept, ec)) {
                undo();
                return i;
            }
        }
        if (!platform::MoveReplacing(file.temp->Path(), file.target)) {
            if (!step.kept.empty()) {
                platform::RemoveFile(step.kept);
            }
            undo();
            return i;
        }
        file.temp->Keep(); // it is the target now
        done.push_back(step);
    }
    for (const Replaced& step : done) {
        if (!step.kept.empty()) {
            platform::RemoveFile(step.kept);
        }
    }
    m_createdFolders.clear(); // they stay, with what was put in them
    return std::nullopt;
}

} // namespace furlox
