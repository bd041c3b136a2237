#pragma once

#include <string>
#include <string_view>

namespace furlox::test {

// The MD5 digest of bytes as 32 lower-case hex digits, to compare extracted files with the
// checksums published beside test archives.
std::string Md5Hex(std::string_view bytes);

} // namespace furlox::test
