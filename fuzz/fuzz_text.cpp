// The text helpers, the code tables, the encoding and the archiver command line on arbitrary
// input. Besides crashes it checks what each helper promises: the number readers agree with a
// plain reference reading, the pads and cuts keep their lengths, conversions give valid text,
// entry paths never leave their folder, and the command line keeps every name one argument.
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "analysis/GridRules.h"
#include "analysis/RaceAnalysis.h"
#include "analysis/RaceFormat.h"
#include "archive/ARCHIVES.h"
#include "archive/ArchiverProgress.h"
#include "archive/CmdOpt.h"
#include "archive/LhaBackend.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Settings.h"
#include "kol/KolHen.h"
#include "output/HtmlExport.h"

namespace {

using namespace furlox;
namespace fz = furlox::fuzz;

// ---------------------------------------------------------------------------------------------
// Numbers.

// The lenient number syntax read the slow, obvious way, in 128 bits; nullopt for a text that
// is no number or whose value is far outside 64 bits.
std::optional<__int128> ReferenceNumber(std::string_view t)
{
    std::size_t i = t.find_first_not_of(' ');
    if (i == std::string_view::npos) {
        return std::nullopt;
    }
    bool negative = false;
    if (t[i] == '+' || t[i] == '-') {
        negative = t[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= t.size()) {
        return std::nullopt;
    }
    __int128 value = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > (__int128{1} << 70)) {
            return std::nullopt; // far outside 64 bits; stop before 128 bits could overflow
        }
    }
    return negative ? -value : value;
}

template <typename Int>
std::optional<Int> Within(std::optional<__int128> value)
{
    if (!value || *value > std::numeric_limits<Int>::max() ||
        *value < std::numeric_limits<Int>::min()) {
        return std::nullopt;
    }
    return static_cast<Int>(*value);
}

void Numbers(const std::string& t, std::int64_t n)
{
    const std::optional<__int128> reference = ReferenceNumber(t);
    const std::optional<std::int32_t> parsed = kol::ParseNumber(t);
    FUZZ_CHECK(parsed == Within<std::int32_t>(reference),
               "ParseNumber of '" + fz::Printable(t) + "'");
    const std::optional<std::int64_t> parsed64 = kol::ParseNumber64(t);
    FUZZ_CHECK(parsed64 == Within<std::int64_t>(reference),
               "ParseNumber64 of '" + fz::Printable(t) + "'");
    try {
        FUZZ_CHECK(kol::StrictNumber64(t) == parsed64.value(), "StrictNumber64");
    } catch (const ConvertError&) {
        FUZZ_CHECK(!parsed64, "StrictNumber64 threw for a number");
    }
    FUZZ_CHECK(kol::LenientNumber(t) == parsed.value_or(0), "LenientNumber");
    bool threw = false;
    try {
        FUZZ_CHECK(kol::StrictNumber(t) == parsed.value(), "StrictNumber");
    } catch (const ConvertError& e) {
        threw = true;
        // what() ends at a NUL, so only a text without one can be looked for.
        FUZZ_CHECK(t.find('\0') != std::string::npos ||
                       std::string_view(e.what()).find(t) != std::string_view::npos,
                   "conversion message without the text");
    }
    FUZZ_CHECK(threw == !parsed.has_value(),
               "StrictNumber threw for a number or took a non-number");

    const auto n32 = static_cast<std::int32_t>(n);
    FUZZ_CHECK(kol::ParseNumber(std::to_string(n32)) == n32, "decimal round trip");
    FUZZ_CHECK(SettingNumber(std::optional<std::string_view>(t), 7) == parsed.value_or(7),
               "setting number");
    (void)FormatWeightCarried(n);
    (void)TotalText(MeanTenths(n, static_cast<int>(n >> 32)));
    const int percent =
        archive::ProgressPercent(static_cast<std::uint64_t>(n), static_cast<std::uint64_t>(n32));
    FUZZ_CHECK(percent >= 0 && percent <= 100, "progress percent out of the bar");
}

// ---------------------------------------------------------------------------------------------
// Pads, cuts and the code tables.

void Helpers(const std::string& t, std::size_t width)
{
    const std::size_t expected = std::max(t.size(), width);
    const std::string left = kol::PadLeft(t, width);
    const std::string right = kol::PadRight(t, width);
    const std::string zero = kol::PadZero(t, width);
    FUZZ_CHECK(left.size() == expected && right.size() == expected && zero.size() == expected,
               "padded length");
    FUZZ_CHECK(left.substr(expected - t.size()) == t && right.substr(0, t.size()) == t &&
                   zero.substr(expected - t.size()) == t,
               "padding changed the text");
    const std::string dropped = kol::DropTail(t, width);
    FUZZ_CHECK(dropped == (t.size() <= width ? "" : t.substr(0, t.size() - width)), "DropTail");

    const std::string_view trimmed = kol::Trim(t);
    FUZZ_CHECK(trimmed.empty() || (static_cast<unsigned char>(trimmed.front()) > ' ' &&
                                   static_cast<unsigned char>(trimmed.back()) > ' '),
               "Trim left a blank");
    FUZZ_CHECK(trimmed.empty() || std::string_view(t).find(trimmed) != std::string_view::npos,
               "Trim is not a part of its text");

    // Every table gives its row or its fall-back, whatever the code.
    const std::string_view two = std::string_view(t).substr(0, 2);
    const std::string_view three = std::string_view(t).substr(0, 3);
    (void)kol::WeekdayText(two);
    (void)kol::RaceKindText(t);
    (void)kol::GradeText(t);
    (void)kol::WeightTermsText(two);
    (void)kol::SexText(t);
    (void)kol::GoingText(t);
    (void)kol::SurfaceText(t.substr(0, 1), t.substr(std::min<std::size_t>(1, t.size()), 1));
    (void)kol::ClassText(t);
    (void)kol::PastClassText(t, two);
    (void)kol::CourseName(two);
    (void)kol::CoatColourText(two);
    (void)kol::HorseMarkText(two);
    (void)kol::CircledNumber(t);
    (void)kol::CircledNumber(two);
    (void)kol::BreedingAreaText(three);
    const kol::GradeLabel label =
        kol::MakeGradeLabel(kol::ReadGradeCode(t.substr(0, 1)), kol::ReadClassCode(t));
    (void)kol::GradeLabelText(label);
    (void)FigureThreshold(label);
    (void)FigureBackground(label, static_cast<int>(width) - 100, 0x123456);
}

// ---------------------------------------------------------------------------------------------
// Encoding and the texts built from stored names.

void Encoding(const std::string& t)
{
    const std::string utf8 = ToUtf8(t);
    FUZZ_CHECK(IsUtf8(utf8), "ToUtf8 gave invalid UTF-8 for " + fz::Printable(t));
    (void)ToCp932(t);
    (void)ToCp932(utf8);

    // The trail-byte test against one forward walk over the text.
    std::vector<bool> trail(t.size(), false);
    for (std::size_t i = 0; i < t.size();) {
        if (IsLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size()) {
            trail[i + 1] = true;
            i += 2;
        } else {
            i += 1;
        }
    }
    for (std::size_t i = 0; i < t.size(); ++i) {
        FUZZ_CHECK(IsTrailByteAt(t, i) == trail[i], "IsTrailByteAt at " + std::to_string(i));
    }

    const std::string escaped = HtmlEscape(t);
    FUZZ_CHECK(escaped.find_first_of("<>\"") == std::string::npos, "HtmlEscape left markup");

    const std::string shortName = archive::ShortSourceName(t);
    FUZZ_CHECK(shortName.size() <= t.size() &&
                   t.compare(t.size() - shortName.size(), shortName.size(), shortName) == 0,
               "short source name is not the end of the name");
}

// An entry path below the destination: no "..", no empty or "." part, no leading separator.
void EntryPath(const std::string& name, const std::string& pattern)
{
    const std::optional<std::string> rel = archive::lha::SafeRelativePath(name);
    if (rel) {
        std::size_t start = 0;
        while (start <= rel->size() && !rel->empty()) {
            std::size_t end = rel->find('/', start);
            if (end == std::string::npos) {
                end = rel->size();
            }
            const std::string part = rel->substr(start, end - start);
            FUZZ_CHECK(!part.empty() && part != "." && part != "..",
                       "unsafe part '" + fz::Printable(part) + "' of " + fz::Printable(name));
            start = end + 1;
        }
    }
    FUZZ_CHECK(archive::lha::MatchesWildcard("*.*", name), "*.* must match every name");
    if (name.find_first_of("*?") == std::string::npos) {
        FUZZ_CHECK(archive::lha::MatchesWildcard(name, name), "a name must match itself");
    }
    (void)archive::lha::MatchesWildcard(pattern, name);
}

// ---------------------------------------------------------------------------------------------
// The command line.

using SwitchField = archive::TArchiverOptions::Switch archive::TArchiverOptions::*;
constexpr SwitchField kSwitches[] = {
    &archive::TArchiverOptions::mz,  &archive::TArchiverOptions::a,
    &archive::TArchiverOptions::c,   &archive::TArchiverOptions::e,
    &archive::TArchiverOptions::f,   &archive::TArchiverOptions::h,
    &archive::TArchiverOptions::i,   &archive::TArchiverOptions::l,
    &archive::TArchiverOptions::m,   &archive::TArchiverOptions::n,
    &archive::TArchiverOptions::o,   &archive::TArchiverOptions::p,
    &archive::TArchiverOptions::r,   &archive::TArchiverOptions::s,
    &archive::TArchiverOptions::t,   &archive::TArchiverOptions::u,
    &archive::TArchiverOptions::x,   &archive::TArchiverOptions::y,
    &archive::TArchiverOptions::z,   &archive::TArchiverOptions::jc,
    &archive::TArchiverOptions::jd,  &archive::TArchiverOptions::je,
    &archive::TArchiverOptions::jf,  &archive::TArchiverOptions::jh,
    &archive::TArchiverOptions::ji,  &archive::TArchiverOptions::jm,
    &archive::TArchiverOptions::jn,  &archive::TArchiverOptions::jp,
    &archive::TArchiverOptions::jr,  &archive::TArchiverOptions::jss,
    &archive::TArchiverOptions::jw,  &archive::TArchiverOptions::jwe,
    &archive::TArchiverOptions::jyc, &archive::TArchiverOptions::jyd,
    &archive::TArchiverOptions::jyk, &archive::TArchiverOptions::jyn,
    &archive::TArchiverOptions::jyo, &archive::TArchiverOptions::ga,
    &archive::TArchiverOptions::gd,  &archive::TArchiverOptions::ge,
    &archive::TArchiverOptions::gf,  &archive::TArchiverOptions::gj,
    &archive::TArchiverOptions::gm,  &archive::TArchiverOptions::gn,
    &archive::TArchiverOptions::go,  &archive::TArchiverOptions::gp,
    &archive::TArchiverOptions::gs,  &archive::TArchiverOptions::gu,
    &archive::TArchiverOptions::gw,
};

std::string MaybeUnset(FuzzedDataProvider& in, std::size_t maxLength)
{
    return in.ConsumeBool() ? archive::UnsetText() : in.ConsumeRandomLengthString(maxLength);
}

// How an archiver library reads a command line: split at blanks, double quotes group and
// vanish. False when a quote is left open. The line is only ever written for the record; this
// reading of it is the contract the fuzzing holds the builder to.
bool SplitCommandLine(std::string_view line, std::vector<std::string>& tokens)
{
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        std::string token;
        bool quoted = false;
        for (; i < line.size() && (quoted || line[i] != ' '); ++i) {
            if (line[i] == '"') {
                quoted = !quoted;
            } else {
                token += line[i];
            }
        }
        if (quoted) {
            return false;
        }
        tokens.push_back(token);
    }
    return true;
}

bool Plain(const std::string& s)
{
    return s.find_first_of(" \"") == std::string::npos;
}

void CommandLine(FuzzedDataProvider& in)
{
    archive::TArchiverOptions options;
    for (SwitchField field : kSwitches) {
        if (in.ConsumeBool()) {
            options.*field = in.ConsumeIntegral<std::int8_t>();
        }
    }
    options.w = MaybeUnset(in, 32);
    options.jo = MaybeUnset(in, 16);
    options.job = MaybeUnset(in, 16);
    options.jz = MaybeUnset(in, 16);
    options.gr = MaybeUnset(in, 16);
    for (int k = in.ConsumeIntegralInRange(0, 3); k > 0; --k) {
        options.jx.push_back(in.ConsumeRandomLengthString(16));
    }
    const bool rawParts = in.ConsumeBool();
    if (rawParts) {
        options.UserOptions = in.ConsumeRandomLengthString(16);
        options.UserFileList = in.ConsumeRandomLengthString(16);
    }

    const std::string archiveName = in.ConsumeRandomLengthString(48);
    const std::string destination = in.ConsumeRandomLengthString(48);
    archive::FileList files;
    std::vector<std::string> names;
    for (int k = in.ConsumeIntegralInRange(0, 4); k > 0; --k) {
        if (in.ConsumeBool()) {
            std::vector<std::string> group;
            for (int g = in.ConsumeIntegralInRange(0, 3); g > 0; --g) {
                group.push_back(in.ConsumeRandomLengthString(24));
                names.push_back(group.back());
            }
            files.emplace_back(group);
        } else {
            files.emplace_back(in.ConsumeRandomLengthString(24));
            names.push_back(std::get<std::string>(files.back()));
        }
    }
    FUZZ_CHECK(archive::FlattenFileList(files) == names, "flattened file list");

    const bool useResponseFile = in.ConsumeBool();
    if (useResponseFile) {
        // Only ever a file of ours: the name is not taken from the input.
        options.ResFileName = (fz::ScratchRoot() / "response.txt").string();
    }
    archive::TLha32 lha;
    const std::string line =
        lha.BuildCommandLine("x", archiveName, useResponseFile, files, destination, options);
    FUZZ_CHECK(line.rfind("x -+", 0) == 0, "command letter and -+ first");
    FUZZ_CHECK(lha.CommandLine() == line, "the last command line kept");

    // With names free of blanks and quotes, the archive, the destination and every name come
    // back as arguments of their own, in order, at the end of the line.
    if (rawParts || useResponseFile || !Plain(archiveName) || !Plain(destination) ||
        archiveName.empty() || archive::IsUnset(archiveName) || archive::IsUnset(destination)) {
        return;
    }
    for (const std::string& name : names) {
        if (!Plain(name) || archive::IsUnset(name)) {
            return;
        }
    }
    // The switch values are the program's own; only a quote in one could shift the line.
    std::vector<std::string> values = {options.w, options.jo, options.job, options.jz, options.gr};
    values.insert(values.end(), options.jx.begin(), options.jx.end());
    for (const std::string& value : values) {
        if (value.find('"') != std::string::npos) {
            return;
        }
    }
    std::vector<std::string> expected = {archiveName};
    if (!destination.empty()) {
        const bool endsInBackslash =
            destination.back() == '\\' && !IsTrailByteAt(destination, destination.size() - 1);
        expected.push_back(endsInBackslash ? destination : destination + '\\');
    }
    expected.insert(expected.end(), names.begin(), names.end());
    std::vector<std::string> tokens;
    FUZZ_CHECK(SplitCommandLine(line, tokens), "open quote: " + fz::Printable(line));
    FUZZ_CHECK(tokens.size() >= expected.size() + 2, "arguments lost: " + fz::Printable(line));
    for (std::size_t k = 0; k < expected.size(); ++k) {
        FUZZ_CHECK(tokens[tokens.size() - expected.size() + k] == expected[k],
                   "argument changed: " + fz::Printable(line));
    }
}

void CmdOptOperations(FuzzedDataProvider& in)
{
    archive::TCmdOpt cmd;
    for (int k = in.ConsumeIntegralInRange(0, 8); k > 0; --k) {
        const std::string before = cmd.CommandText();
        const std::string name = in.ConsumeRandomLengthString(8);
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0:
            cmd.AddRaw(name);
            break;
        case 1:
            cmd.AddSwitch(name, in.ConsumeIntegral<std::int8_t>());
            break;
        case 2:
            cmd.AddFlag(name, in.ConsumeBool());
            break;
        case 3:
            cmd.AddString(name, MaybeUnset(in, 24));
            break;
        case 4:
            cmd.AddDirectory(name, MaybeUnset(in, 24));
            break;
        case 5:
            cmd.AddFiles(name, {in.ConsumeRandomLengthString(24),
                                std::vector<std::string>{in.ConsumeRandomLengthString(24)}});
            break;
        case 6:
            cmd.SetSeparateValue(in.ConsumeBool());
            break;
        default:
            cmd.SetNameConverter([](const std::string& s) { return "<" + s + ">"; });
            break;
        }
        FUZZ_CHECK(cmd.CommandText().compare(0, before.size(), before) == 0,
                   "an operation changed what was already written");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string text = in.ConsumeRandomLengthString(96);
    const std::string other = in.ConsumeRandomLengthString(32);
    const auto width = in.ConsumeIntegralInRange<std::size_t>(0, 80);
    const auto n = in.ConsumeIntegral<std::int64_t>();

    Numbers(text, n);
    Numbers(other, n >> 7);
    Helpers(text, width);
    Helpers(other, width / 3);
    Encoding(text);
    EntryPath(text, other);
    CmdOptOperations(in);
    CommandLine(in);
    return 0;
}
