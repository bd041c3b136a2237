#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Platform.h"

// Several files written under temporary names in one folder and put in place all or none: the
// many-file form of WriteFileAtomic. Each file replaced keeps a second name until the last
// file is in place, and comes back when one fails. What a batch leaves unfinished (its
// temporary files, the folders it made) is removed when it is destroyed uncommitted.
//
// With a commit journal, even a process killed while the files are put in place leaves a
// whole batch: before the first file moves, the journal names every file of the commit, and
// Recover (run before the folder is used again) finishes the commit it records, or undoes it
// when the commit had already begun to undo itself after a failure.
namespace furlox {

// The name prefix of the files an extraction stages in its destination (and of the journal's
// own temporary file): what a killed run left under it is removed by the next one.
inline constexpr const char* kStagePrefix = ".extract-";

struct CommitJournal
{
    std::filesystem::path path; // a file in the batch's root
    // Called before each step of the commit with the step's number (0, 1, 2 …); the tests end
    // the process there, one step after another.
    std::function<void(int step)> beforeStep;
};

class FileBatch
{
public:
    // Temporary files are made in root (so every rename stays on its file system) under names
    // that begin with tempPrefix.
    FileBatch(std::filesystem::path root, std::string tempPrefix);
    ~FileBatch();
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    // Removes the temporary files a killed run left in root. Run Recover first when the root
    // may hold a commit journal: the files it names are not leftovers.
    void RemoveLeftovers() const;

    // Makes the folders of rel ("/"-separated CP932 text) below root. False when a part exists as
    // something other than a real folder (a symbolic link is never followed) or cannot be made;
    // the folders this call made are then removed again.
    bool MakeFolders(const std::string& rel);

    // A new temporary file in root; nullptr on failure. It belongs to the batch.
    platform::NewFile* NewTemp();
    void Discard(platform::NewFile* file);

    // The finished temporary file is to become target.
    void Add(platform::NewFile* file, std::filesystem::path target);

    // Puts every added file in place in the order added, or none. beforeEach(i) is called
    // before the i-th file. nullopt when all are in place; else the index of the file that
    // failed, with the earlier ones back as they were. With a journal, the commit is recorded
    // in it first (a journal that cannot be written fails the commit at file 0).
    std::optional<std::size_t> Commit(const std::function<void(std::size_t)>& beforeEach,
                                      const CommitJournal* journal = nullptr);

    enum class Recovery
    {
        Nothing,    // no journal: no commit was cut short
        Finished,   // a commit cut short was finished: every file of it is in place
        RolledBack, // a commit that was undoing itself was undone: the earlier files are back
    };

    // Finishes or undoes the commit that the journal in root records, then removes the
    // journal. Throws furlox::Error (naming the journal) when the journal cannot be read or a
    // file cannot be moved; the journal then stays for the next try.
    static Recovery Recover(const std::filesystem::path& root,
                            const std::filesystem::path& journal);

private:
    struct File
    {
        platform::NewFile* temp;
        std::filesystem::path target;
    };

    std::filesystem::path m_root;
    std::string m_tempPrefix;
    std::vector<std::unique_ptr<platform::NewFile>> m_temps;
    std::vector<std::filesystem::path> m_createdFolders;
    std::vector<File> m_files;
};

} // namespace furlox
