#include "archive/LhaWriter.h"

#include <array>
#include <limits>
#include <stdexcept>

namespace furlox::archive {
namespace {

void Put16(std::string& out, std::uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Set16(std::string& out, std::size_t at, std::uint32_t v)
{
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

std::uint32_t Size32(std::size_t size)
{
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("LHA entry of 4 GB or more");
    }
    return static_cast<std::uint32_t>(size);
}

// One extended header: type and data (the size of the next one is added by Chain).
std::string ExtendedHeader(char type, std::string_view data)
{
    std::string h(1, type);
    h += data;
    return h;
}

std::vector<std::string> ExtendedHeaders(const LhaEntry& e, bool withName)
{
    std::vector<std::string> headers;
    if (e.level == 2) {
        headers.push_back(ExtendedHeader(0x00, std::string(2, '\0'))); // header CRC, filled later
    }
    if (withName) {
        headers.push_back(ExtendedHeader(0x01, e.name));
    }
    if (!e.dirName.empty()) {
        std::string dir = e.dirName;
        for (char& c : dir) {
            if (c == '/') {
                c = '\xFF';
            }
        }
        if (dir.back() != '\xFF') {
            dir += '\xFF';
        }
        headers.push_back(ExtendedHeader(0x02, dir));
    }
    if (e.unixMode) {
        std::string mode;
        Put16(mode, *e.unixMode);
        headers.push_back(ExtendedHeader(0x50, mode));
    }
    return headers;
}

// The chain of extended headers: each is followed by the 16-bit size of the next one.
std::string Chain(const std::vector<std::string>& headers)
{
    std::string out;
    Put16(out, headers.empty() ? 0 : Size32(headers.front().size() + 2));
    for (std::size_t i = 0; i < headers.size(); ++i) {
        out += headers[i];
        Put16(out, i + 1 < headers.size() ? Size32(headers[i + 1].size() + 2) : 0);
    }
    return out;
}

std::string Method(const LhaEntry& e)
{
    return e.directory ? "-lhd-" : "-lh0-";
}

std::string Level0Or1(const LhaEntry& e)
{
    const std::uint16_t crc = e.crc.value_or(Crc16(e.data));
    std::string extended;
    if (e.level == 1) {
        extended = Chain(ExtendedHeaders(e, false));
        extended.erase(0, 2); // the first size lives in the base header
    }
    std::string h(2, '\0');
    h += Method(e);
    Put32(h, Size32(e.data.size() + extended.size()));
    Put32(h, e.originalSize.value_or(Size32(e.data.size())));
    Put32(h, e.time);
    h += '\x20';
    h += static_cast<char>(e.level);
    h += static_cast<char>(e.name.size());
    h += e.name;
    Put16(h, crc);
    if (e.level == 1) {
        h += e.osId;
        const std::vector<std::string> headers = ExtendedHeaders(e, false);
        Put16(h, headers.empty() ? 0 : Size32(headers.front().size() + 2));
    }
    if (h.size() - 2 > 255) {
        throw std::length_error("LHA base header too long");
    }
    h[0] = static_cast<char>(h.size() - 2);
    unsigned sum = 0;
    for (std::size_t i = 2; i < h.size(); ++i) {
        sum += static_cast<unsigned char>(h[i]);
    }
    h[1] = static_cast<char>(sum & 0xFF);
    return h + extended + e.data;
}

std::string Level2(const LhaEntry& e)
{
    const std::uint16_t crc = e.crc.value_or(Crc16(e.data));
    std::string h(2, '\0');
    h += Method(e);
    Put32(h, Size32(e.data.size()));
    Put32(h, e.originalSize.value_or(Size32(e.data.size())));
    Put32(h, e.time);
    h += '\x20';
    h += '\x02';
    Put16(h, crc);
    h += e.osId;
    const std::size_t crcAt = h.size() + 2 + 1; // after the first size and the type byte
    h += Chain(ExtendedHeaders(e, true));
    if ((h.size() & 0xFF) == 0) {
        h += '\0'; // a header size with a zero low byte would read as the end mark
    }
    if (h.size() > 0xFFFF) {
        throw std::length_error("LHA header too long");
    }
    Set16(h, 0, static_cast<std::uint32_t>(h.size()));
    Set16(h, crcAt, Crc16(h));
    return h + e.data;
}

constexpr std::array<std::uint16_t, 256> MakeCrcTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned crc = b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        }
        table[b] = static_cast<std::uint16_t>(crc);
    }
    return table;
}
constexpr std::array<std::uint16_t, 256> kCrcTable = MakeCrcTable();

} // namespace

std::uint16_t Crc16(std::string_view bytes, std::uint16_t crc)
{
    // A byte at a time from a table: a season of full days is a few hundred megabytes.
    for (unsigned char b : bytes) {
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ b) & 0xFF]);
    }
    return crc;
}

std::string MakeLha(const std::vector<LhaEntry>& entries)
{
    std::string out;
    for (const LhaEntry& e : entries) {
        out += e.level == 2 ? Level2(e) : Level0Or1(e);
    }
    out += '\0';
    return out;
}

std::string MakeLhaFiles(const std::vector<std::pair<std::string, std::string>>& files,
                         std::uint32_t time)
{
    std::vector<LhaEntry> entries;
    for (const auto& [name, data] : files) {
        LhaEntry e;
        e.name = name;
        e.data = data;
        e.time = time;
        entries.push_back(e);
    }
    return MakeLha(entries);
}

} // namespace furlox::archive
