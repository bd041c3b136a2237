#pragma once

#include <filesystem>
#include <string_view>

namespace furlox {

// Writes the whole file or nothing: the bytes go to a temporary file beside the target, are
// flushed to disk and renamed over it, so a failure never leaves a half-written or emptied
// file. Returns false (and leaves the target as it was) when any step fails.
bool WriteFileAtomic(const std::filesystem::path& target, std::string_view bytes);

} // namespace furlox
