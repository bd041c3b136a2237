#include "support/LhaWriter.h"

#include <stdexcept>

namespace furlox::test {
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

// One extended header: type, data and the size of the next one (patched by the caller).
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
    Put16(out, headers.empty() ? 0 : headers.front().size() + 2);
    for (std::size_t i = 0; i < headers.size(); ++i) {
        out += headers[i];
        Put16(out, i + 1 < headers.size() ? headers[i + 1].size() + 2 : 0);
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
    Put32(h, static_cast<std::uint32_t>(e.data.size() + extended.size()));
    Put32(h, e.originalSize.value_or(static_cast<std::uint32_t>(e.data.size())));
    Put32(h, e.time);
    h += '\x20';
    h += static_cast<char>(e.level);
    h += static_cast<char>(e.name.size());
    h += e.name;
    Put16(h, crc);
    if (e.level == 1) {
        h += e.osId;
        const std::vector<std::string> headers = ExtendedHeaders(e, false);
        Put16(h, headers.empty() ? 0 : headers.front().size() + 2);
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
    Put32(h, static_cast<std::uint32_t>(e.data.size()));
    Put32(h, e.originalSize.value_or(static_cast<std::uint32_t>(e.data.size())));
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
    Set16(h, 0, static_cast<std::uint32_t>(h.size()));
    Set16(h, crcAt, Crc16(h));
    return h + e.data;
}

} // namespace

std::uint16_t Crc16(std::string_view bytes, std::uint16_t crc)
{
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
        }
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

std::string MakeLhaFiles(const std::vector<std::pair<std::string, std::string>>& files)
{
    std::vector<LhaEntry> entries;
    for (const auto& [name, data] : files) {
        LhaEntry e;
        e.name = name;
        e.data = data;
        entries.push_back(e);
    }
    return MakeLha(entries);
}

} // namespace furlox::test
