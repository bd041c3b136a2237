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
namespace furlox {

class FileBatch
{
public:
    // Temporary files are made in root (so every rename stays on its file system) under names
    // that begin with tempPrefix.
    FileBatch(std::filesystem::path root, std::string tempPrefix);
    ~FileBatch();
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    // Removes the temporary files a killed run left in root.
    void RemoveLeftovers() const;

    // Makes the folders of rel ("/"-separated CP932 text) below root. False when a part exists as
    // something other than a real folder (a symbolic link is never followed) or cannot be made.
    bool MakeFolders(const std::string& rel);

    // A new temporary file in root; nullptr on failure. It belongs to the batch.
    platform::NewFile* NewTemp();
    void Discard(platform::NewFile* file);

    // The finished temporary file is to become target.
    void Add(platform::NewFile* file, std::filesystem::path target);

    // Puts every added file in place in the order added, or none. beforeEach(i) is called
    // before the i-th file. nullopt when all are in place; else the index of the file that
    // failed, with the earlier ones back as they were.
    std::optional<std::size_t> Commit(const std::function<void(std::size_t)>& beforeEach);

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
