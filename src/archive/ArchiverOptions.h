#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// The switches of one archive component, spelled into a library command line by TCmdOpt.
// The meaning of each switch is the archiver library's; this object only holds them.
namespace furlox::archive {

// A string option that holds this text is not set; the empty string is a value. It is one
// NUL character, so it can never be a real path or switch value.
const std::string& UnsetText();
bool IsUnset(const std::string& value);

// A switch option at this value is not set.
inline constexpr std::int8_t kSwitchUnset = -1;

enum TPackFilter
{
    pfArchiver,
    pfComponent,
};

enum TResFileUse
{
    ruOnPack,
    ruOnUnpack,
    ruOnRemoveItem,
    ruOnUpdate,
};

// A set of TResFileUse, bit n standing for the value n.
class TResFileUsage
{
public:
    TResFileUsage() = default;
    TResFileUsage(std::initializer_list<TResFileUse> uses);

    bool Contains(TResFileUse use) const { return (m_bits >> use) & 1u; }
    void Include(TResFileUse use) { m_bits |= static_cast<std::uint8_t>(1u << use); }
    void Exclude(TResFileUse use) { m_bits &= static_cast<std::uint8_t>(~(1u << use)); }
    std::uint8_t Bits() const { return m_bits; }

    friend bool operator==(const TResFileUsage&, const TResFileUsage&) = default;

private:
    std::uint8_t m_bits = 0;
};

// The fields keep the library's switch letters as names and their declaration order, which
// is also the order in which the command line builders read them.
class TArchiverOptions
{
public:
    using Switch = std::int8_t;

    TArchiverOptions() { Reset(); }

    void Reset();
    void Assign(const TArchiverOptions& source) { *this = source; }

    Switch mz;
    Switch a, c, e, f, h, i, l, m, n, o, p, r, s, t, u;
    std::string w;
    Switch x, y, z, jc, jd, je, jf, jh, ji, jm, jn;
    std::string jo, job;
    Switch jp, jr, jss, jw, jwe;
    std::vector<std::string> jx; // one switch per line
    Switch jyc, jyd, jyk, jyn, jyo;
    std::string jz;
    Switch ga, gd, ge, gf, gj, gm, gn, go, gp;
    std::string gr;
    Switch gs, gu, gw;
    std::string UserOptions;  // appended unchanged after the switches
    std::string UserFileList; // appended unchanged after the file list
    TPackFilter PackFilter;
    std::string ResFileName;
    TResFileUsage ResFileUsage; // operations that pass their file list in a response file
};

} // namespace furlox::archive
