#include "base/AtomicFile.h"

#include "base/Encoding.h"
#include "base/Platform.h"

namespace furlox {

bool WriteFileAtomic(const std::filesystem::path& requested, std::string_view bytes)
{
    // Write through a symbolic link to the file it names, not over the link.
    std::error_code ec;
    std::filesystem::path target = std::filesystem::weakly_canonical(requested, ec);
    if (ec) {
        target = requested;
    }
    switch (platform::KindOf(target)) {
    case platform::EntryKind::Folder:
        return false;
    case platform::EntryKind::Other:
        // A device or pipe is written in place: renaming over it would replace the node.
        return platform::WriteInPlace(target, bytes);
    default:
        break;
    }
    const std::filesystem::path dir =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    const std::unique_ptr<platform::NewFile> file =
        platform::NewFile::Create(dir, "." + Utf8Text(target.filename()) + ".");
    if (!file) {
        return false;
    }
    // A new file gets the usual permissions; an existing one keeps its own.
    if (!file->Write(bytes.data(), bytes.size()) || !file->Finish(std::nullopt, target) ||
        !platform::MoveReplacing(file->Path(), target)) {
        return false;
    }
    file->Keep();
    return true;
}

} // namespace furlox
