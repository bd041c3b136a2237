#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace furlox::library {

// SHA-256 over bytes given in pieces: the name of a kept archive and what tells two imports of
// the same archive apart from two different archives.
class Sha256
{
public:
    Sha256();
    void Add(std::string_view bytes);
    // The digest as 64 lowercase hexadecimal digits. The object is spent afterwards.
    std::string HexDigest();

private:
    void Block(const unsigned char* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<unsigned char, 64> m_buffer{};
    std::size_t m_buffered = 0;
    std::uint64_t m_length = 0;
};

// The digest of one whole text.
std::string Sha256Hex(std::string_view bytes);

} // namespace furlox::library
