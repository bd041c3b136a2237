#include "archive/ARCHIVES.h"

#include <algorithm>
#include <filesystem>

#include "base/Encoding.h"

namespace furlox::archive {

namespace {

std::filesystem::path FullPath(const std::string& fileName)
{
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(Utf8Path(fileName), ec);
    return ec ? Utf8Path(fileName) : full;
}

// ---------------------------------------------------------------------------------------------
// The LHA switch order, as data. A row names a switch option or a string option; the rows with
// neither (n, jx) are spelled by BuildCommandLine itself.

using O = TArchiverOptions;

struct SwitchRow
{
    const char* name;
    O::Switch O::*switchField = nullptr;
    std::string O::*stringField = nullptr;
};

const SwitchRow kLhaSwitchOrder[] = {
    {"a", &O::a, {}},     {"c", &O::c, {}},     {"e", &O::e, {}},     {"f", &O::f, {}},
    {"h", &O::h, {}},     {"i", &O::i, {}},     {"l", &O::l, {}},     {"m", &O::m, {}},
    {"n", {}, {}},        {"o", &O::o, {}},     {"p", &O::p, {}},     {"r", &O::r, {}},
    {"s", &O::s, {}},     {"t", &O::t, {}},     {"u", &O::u, {}},     {"w", {}, &O::w},
    {"x", &O::x, {}},     {"y", &O::y, {}},     {"z", &O::z, {}},     {"jc", &O::jc, {}},
    {"jd", &O::jd, {}},   {"je", &O::je, {}},   {"jf", &O::jf, {}},   {"jh", &O::jh, {}},
    {"ji", &O::ji, {}},   {"jm", &O::jm, {}},   {"jn", &O::jn, {}},   {"jo", {}, &O::jo},
    {"job", {}, &O::job}, {"jp", &O::jp, {}},   {"jr", &O::jr, {}},   {"jss", &O::jss, {}},
    {"jw", &O::jw, {}},   {"jwe", &O::jwe, {}}, {"jx", {}, {}},       {"jyc", &O::jyc, {}},
    {"jyd", &O::jyd, {}}, {"jyk", &O::jyk, {}}, {"jyn", &O::jyn, {}}, {"jyo", &O::jyo, {}},
    {"jz", {}, &O::jz},   {"ga", &O::ga, {}},   {"gd", &O::gd, {}},   {"ge", &O::ge, {}},
    {"gf", &O::gf, {}},   {"gj", &O::gj, {}},   {"gm", &O::gm, {}},   {"gn", &O::gn, {}},
    {"go", &O::go, {}},   {"gp", &O::gp, {}},   {"gr", {}, &O::gr},   {"gs", &O::gs, {}},
    {"gu", &O::gu, {}},   {"gw", &O::gw, {}},
};

// ---------------------------------------------------------------------------------------------
// The archiver table: the message of each format whose library is missing, and the extensions
// of every format.

// By type ordinal; atLha's library is in process.
constexpr const char* kNeededMessages[] = {
    nullptr,
    "Zip 形式書庫を扱うには UNZIP32.DLL が 必要です。",
    "Cab 形式書庫を扱うには CAB32.DLL が 必要です。",
    "Arj 形式書庫を扱うには UNARJ32J.DLL が 必要です。",
    "Tar 形式書庫を扱うには tar32.dll が 必要です。",
    "Tgz 形式書庫を扱うには tar32.dll が 必要です。",
    "BZ2 形式書庫を扱うには tar32.dll が 必要です。",
    "Rar 形式書庫を扱うには UNRAR32.DLL が 必要です。",
    "Bga 形式書庫を扱うには BGA32.DLL が 必要です。",
    "Yz1 形式書庫を扱うには YYZ32.DLL または YZ1.DLL が 必要です。",
    "Gca 形式書庫を扱うには UnGCA32.DLL が 必要です。",
};

template <class Archiver>
std::unique_ptr<TArchiver> Make()
{
    return std::make_unique<Archiver>();
}

// By type ordinal, atLha to atGca.
constexpr std::unique_ptr<TArchiver> (*kArchiverClasses[])() = {
    Make<TLha32>, Make<TZip32>, Make<TCab32>, Make<TArj32>, Make<TTar32>, Make<TTgz32>,
    Make<TBZ232>, Make<TRar32>, Make<TBGA32>, Make<TYZ1>,   Make<TGCA32>,
};

struct ExtensionRow
{
    std::string_view extension;
    TArchiverType type;
};

constexpr ExtensionRow kExtensions[] = {
    {".lzh", atLha}, {".cab", atCab}, {".zip", atZip}, {".arj", atArj}, {".rar", atRar},
    {".gca", atGca}, {".yz1", atYz1}, {".gza", atBga}, {".bza", atBga}, {".bz2", atBZ2},
    {".tar", atTar}, {".z", atTgz},   {".gz", atTgz},  {".tgz", atTgz}, {".taz", atTgz},
};

// The extension of the name's file part, from its last dot, with ASCII letters in lower case.
std::string LowerExtension(const std::string& fileName)
{
    const std::string file = ShortSourceName(fileName);
    const std::size_t dot = file.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : file.substr(dot);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return ext;
}

// Of the content tests (LHA, CAB, YZ1, BGA, ZIP, ARJ, RAR, then the TAR library's type answer)
// only the LHA one has its library: every other one meets a missing library and answers no.
TArchiverType DetectByContent(const std::string& fileName)
{
    return IsLhaArchive(fileName) ? atLha : atNone;
}

// The library's output text into the caller's buffer without changing its size, cut to fit at
// a whole character and ended by a NUL; an empty buffer gets nothing.
void WriteOutput(const std::string& text, std::string& buffer)
{
    if (buffer.empty()) {
        return;
    }
    std::size_t n = std::min(buffer.size() - 1, text.size());
    if (n < text.size() && n > 0 && IsLeadByte(static_cast<unsigned char>(text[n - 1])) &&
        !IsTrailByteAt(text, n - 1)) {
        --n;
    }
    std::copy_n(text.data(), n, buffer.data());
    buffer[n] = '\0';
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TArchiver: the base behaviours of the slots.

TArchiver::~TArchiver() = default;

void TArchiver::LoadDLL()
{
    throw EArchiver("Abstract method 'TArchiver.LoadDLL' was called");
}

void TArchiver::FreeDLL()
{
    throw EArchiver("Abstract method 'TArchiver.FreeDLL' was called");
}

ArchiveHandle TArchiver::OpenArchive(const std::string&, unsigned)
{
    return 0;
}

int TArchiver::FindFirst(ArchiveHandle, EntryInfo&, std::string_view)
{
    return -1;
}

int TArchiver::FindNext(ArchiveHandle, EntryInfo&)
{
    return -1;
}

int TArchiver::CloseArchive(ArchiveHandle)
{
    return 0;
}

int TArchiver::Pack(const std::string&, std::string&, bool, const FileList&, const std::string&,
                    const TArchiverOptions&)
{
    throw EArchiver("この形式では書庫ファイルの作成をサポートしておりません。"_sj);
}

int TArchiver::Remove(const std::string&, std::string&, bool, const FileList&, const std::string&,
                      const TArchiverOptions&)
{
    throw EArchiver("この形式の書庫ではファイルの削除をサポートしておりません。"_sj);
}

int TArchiver::Update(const std::string&, std::string&, bool, const FileList&, const std::string&,
                      const TArchiverOptions&)
{
    throw EArchiver("この形式の書庫では書庫の更新をサポートしておりません。"_sj);
}

int TArchiver::MakeSFX(const std::string&, std::string&, const std::string&,
                       const TArchiverOptions&)
{
    throw EArchiver("この形式では自己解凍書庫の作成をサポートしておりません。"_sj);
}

int TArchiver::ExtractMem(const std::string&, const std::string&, char*, std::size_t,
                          const TArchiverOptions&)
{
    throw EArchiver("この形式ではメモリへの展開をサポートしておりません。"_sj);
}

bool TArchiver::CheckArchive(const std::string&, int)
{
    throw EArchiver("この形式では書庫チェック機能をサポートしておりません。"_sj);
}

bool TArchiver::SetOwnerWindow(ProgressWindow* window)
{
    m_ownerWindow = window;
    return false;
}

bool TArchiver::KillOwnerWindow(ProgressWindow*)
{
    m_ownerWindow = nullptr;
    return false;
}

void TArchiver::LoadPackDLL()
{
    LoadDLL();
}

// ---------------------------------------------------------------------------------------------
// TLha32

ArchiveHandle TLha32::OpenArchive(const std::string& fileName, unsigned /*mode*/)
{
    auto open = std::make_unique<OpenListing>();
    lha::ArchiveSnapshot snapshot;
    if (lha::ReadArchiveFile(FullPath(fileName), &snapshot) != lha::kOk) {
        return 0;
    }
    open->listing = lha::ReadListing(*snapshot);
    const lha::Listing& listing = open->listing;
    // An archive whose names cannot be read is still an archive: its listing says so.
    if (listing.entries.empty() && listing.endCode != lha::kEndOfList &&
        listing.endCode != lha::kErrorUnreadableName) {
        return 0;
    }
    // The extraction of the same archive that follows reads these bytes again, not the file.
    m_snapshot = std::move(snapshot);
    const auto handle = reinterpret_cast<ArchiveHandle>(open.get());
    m_listings[handle] = std::move(open);
    return handle;
}

int TLha32::FindFirst(ArchiveHandle handle, EntryInfo& info, std::string_view wildcard)
{
    return FindFrom(handle, &wildcard, info);
}

int TLha32::FindNext(ArchiveHandle handle, EntryInfo& info)
{
    return FindFrom(handle, nullptr, info);
}

// 0 and the record filled when an entry matches; kEndOfList at a clean end; an error code
// (kErrorBroken, kErrorUnreadableName) when the archive breaks off before its end.
int TLha32::FindFrom(ArchiveHandle handle, const std::string_view* wildcard, EntryInfo& info)
{
    const auto it = m_listings.find(handle);
    if (it == m_listings.end()) {
        return lha::kErrorHandle;
    }
    OpenListing& open = *it->second;
    if (wildcard != nullptr) {
        open.pattern = std::string(*wildcard);
        open.next = 0;
    }
    while (open.next < open.listing.entries.size()) {
        const EntryInfo& entry = open.listing.entries[open.next++];
        if (open.pattern.empty() || lha::MatchesWildcard(open.pattern, entry.fileName)) {
            info = entry;
            return lha::kOk;
        }
    }
    return open.listing.endCode;
}

int TLha32::CloseArchive(ArchiveHandle handle)
{
    return m_listings.erase(handle) == 1 ? lha::kOk : lha::kErrorHandle;
}

std::string TLha32::BuildCommandLine(std::string_view command, const std::string& archive,
                                     bool useResponseFile, const FileList& files,
                                     const std::string& destination,
                                     const TArchiverOptions& options)
{
    TCmdOpt cmd;
    cmd.AddRaw("-+");
    for (const SwitchRow& row : kLhaSwitchOrder) {
        const std::string_view name = row.name;
        if (row.switchField != nullptr) {
            cmd.AddSwitch(name, options.*row.switchField);
        } else if (name == "w") {
            cmd.AddDirectory(name, options.w);
        } else if (row.stringField != nullptr) {
            cmd.AddString(name, options.*row.stringField);
        } else if (name == "n") {
            // The progress reports need the library's own progress window out of the way.
            cmd.AddSwitch(name, m_ownerWindow != nullptr ? 1 : options.n);
        } else {
            cmd.AddFiles(name, FileList{options.jx});
        }
    }
    cmd.AddRaw(options.UserOptions);
    cmd.AddString("", archive);
    cmd.AddDirectory("", destination);
    if (useResponseFile && !options.ResFileName.empty() && !IsUnset(options.ResFileName)) {
        cmd.AddResponseFile(files, options.ResFileName);
    } else {
        cmd.AddFiles("", files);
    }
    cmd.AddRaw(options.UserFileList);
    m_commandLine = std::string(command) + cmd.CommandText();
    return m_commandLine;
}

int TLha32::Run(std::string_view command, const std::string& archive, std::string& output,
                bool useResponseFile, const FileList& files, const std::string& destination,
                const TArchiverOptions& options)
{
    // The line is built for the record (CommandLine) and writes the response file when one is
    // asked for; the library is called with the facts themselves.
    BuildCommandLine(command, archive, useResponseFile, files, destination, options);
    m_lastResult = {};
    if (command != "x") {
        // libarchive has no LHA writer.
        m_lastResult.code = lha::kErrorNotSupported;
        m_lastResult.error = lha::ResultText(lha::kErrorNotSupported);
    } else {
        lha::ExtractRequest request;
        request.archive = FullPath(archive);
        if (m_snapshot && m_snapshot->path == request.archive) {
            request.snapshot = m_snapshot;
        }
        request.destination = Utf8Path(destination);
        request.replaceExisting = options.c == 1;
        request.wildcards = FlattenFileList(files);
        request.rules = m_rules;
        if (m_ownerWindow != nullptr) {
            request.progress = [owner = m_ownerWindow](int state, const ExtractingInfoEx& info) {
                return owner->ReportProgress(state, &info);
            };
        }
        m_lastResult = lha::Extract(request);
    }
    WriteOutput(m_lastResult.Text(), output);
    return m_lastResult.code;
}

int TLha32::Extract(const std::string& archive, std::string& output, bool useResponseFile,
                    const FileList& files, const std::string& destination,
                    const TArchiverOptions& options)
{
    return Run("x", archive, output, useResponseFile, files, destination, options);
}

int TLha32::Pack(const std::string& archive, std::string& output, bool useResponseFile,
                 const FileList& files, const std::string& destination,
                 const TArchiverOptions& options)
{
    return Run("u", archive, output, useResponseFile, files, destination, options);
}

int TLha32::Remove(const std::string& archive, std::string& output, bool useResponseFile,
                   const FileList& files, const std::string&, const TArchiverOptions& options)
{
    return Run("d", archive, output, useResponseFile, files, "", options);
}

int TLha32::Update(const std::string& archive, std::string& output, bool useResponseFile,
                   const FileList& files, const std::string& destination,
                   const TArchiverOptions& options)
{
    return Run("f", archive, output, useResponseFile, files, destination, options);
}

int TLha32::MakeSFX(const std::string& archive, std::string& output, const std::string& destination,
                    const TArchiverOptions& options)
{
    return Run("s", archive, output, false, {}, destination, options);
}

int TLha32::ExtractMem(const std::string& archive, const std::string& entryName, char* buffer,
                       std::size_t size, const TArchiverOptions& options)
{
    BuildCommandLine("", archive, false, {entryName}, "", options);
    return lha::ReadEntry(FullPath(archive), entryName, buffer, size, nullptr);
}

bool TLha32::CheckArchive(const std::string& fileName, int mode)
{
    return lha::UnlhaCheckArchive(FullPath(fileName), mode);
}

bool TLha32::SetOwnerWindow(ProgressWindow* window)
{
    m_ownerWindow = window;
    return window != nullptr;
}

bool TLha32::KillOwnerWindow(ProgressWindow* window)
{
    const bool killed = window != nullptr && m_ownerWindow == window;
    m_ownerWindow = nullptr;
    return killed;
}

// ---------------------------------------------------------------------------------------------
// The archivers of the other formats.

TForeignArchiver::TForeignArchiver(TArchiverType type) : m_type(type)
{
    LoadDLL();
}

void TForeignArchiver::LoadDLL()
{
    throw EArchiver(ToCp932(kNeededMessages[m_type]));
}

int TForeignArchiver::Extract(const std::string&, std::string&, bool, const FileList&,
                              const std::string&, const TArchiverOptions&)
{
    LoadDLL();
    return -1;
}

TArj32::TArj32()
{
    LoadDLL();
}

void TArj32::LoadDLL()
{
    throw EArchiver(ToCp932(kNeededMessages[atArj]));
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<TArchiver> CreateArchiver(TArchiverType type)
{
    if (type < atLha || type > atGca) {
        throw EArchiver("書庫の形式を特定できませんでした。"_sj);
    }
    return kArchiverClasses[type]();
}

TArchiverType DetectArchiverType(const std::string& fileName, bool byExtension)
{
    if (!byExtension) {
        return DetectByContent(fileName);
    }
    const std::string ext = LowerExtension(fileName);
    if (ext == ".exe") {
        return DetectByContent(fileName); // a self-extracting archive, perhaps
    }
    for (const ExtensionRow& row : kExtensions) {
        if (ext == row.extension) {
            return row.type;
        }
    }
    return atNone;
}

bool IsLhaArchive(const std::string& fileName)
{
    // A sound archive always gives a listing handle too, so the check alone answers.
    return lha::UnlhaCheckArchive(FullPath(fileName), 16);
}

// ---------------------------------------------------------------------------------------------
// TArchiveFile

bool TArchiveFile::ReportProgress(int state, const ExtractingInfoEx* info)
{
    bool abort = false;
    if (m_onProgress) {
        m_onProgress(*this, state, info, abort);
    }
    return abort;
}

TArchiveFile::TArchiveFile() : m_fileName(UnsetText()) {}

TArchiveFile::~TArchiveFile()
{
    if (m_archiver && m_archiveHandle != 0) {
        m_archiver->CloseArchive(m_archiveHandle);
    }
}

void TArchiveFile::SetFileName(const std::string& path)
{
    SetArchiverType(DetectArchiverType(path, true));
    m_fileName = path;
}

void TArchiveFile::SetOutputSize(int n)
{
    m_outputBuffer.assign(static_cast<std::size_t>(std::max(n, 0)), ' ');
    if (n > 0) {
        m_outputBuffer[0] = '\0';
    }
}

void TArchiveFile::SetArchiverType(TArchiverType type)
{
    if (type == atNone) {
        return;
    }
    if (type != atAutoDetect) {
        std::unique_ptr<TArchiver> fresh = CreateArchiver(type); // raises for other values
        if (m_archiver && m_archiveHandle != 0) {
            m_archiver->CloseArchive(m_archiveHandle);
            m_archiveHandle = 0;
        }
        m_archiver = std::move(fresh);
    }
    m_archiverType = type;
}

TArchiver& TArchiveFile::RequireArchiver() const
{
    if (!m_archiver) {
        throw EArchiver("書庫の形式を判別できません。"_sj);
    }
    return *m_archiver;
}

int TArchiveFile::OpenArchive(unsigned mode)
{
    if (m_archiverType == atAutoDetect) {
        SetArchiverType(DetectArchiverType(m_fileName, false));
    }
    TArchiver& archiver = RequireArchiver();
    if (m_archiveHandle != 0) {
        archiver.CloseArchive(m_archiveHandle);
    }
    m_archiveHandle = archiver.OpenArchive(m_fileName, mode);
    return m_archiveHandle != 0 ? 0 : 1;
}

int TArchiveFile::FindFirst(std::string_view wildcard, EntryInfo& info)
{
    return RequireArchiver().FindFirst(m_archiveHandle, info, wildcard);
}

int TArchiveFile::FindNext(EntryInfo& info)
{
    return RequireArchiver().FindNext(m_archiveHandle, info);
}

void TArchiveFile::CloseArchive()
{
    if (m_archiver) {
        m_archiver->CloseArchive(m_archiveHandle);
    }
    m_archiveHandle = 0;
}

int TArchiveFile::Extract(const TArchiverOptions* options, const FileList& files,
                          const std::string& destination)
{
    TArchiver& archiver = RequireArchiver();
    const bool reporting = static_cast<bool>(m_onProgress);
    if (reporting) {
        try {
            archiver.SetOwnerWindow(this);
        } catch (const std::exception&) {
            // Without a receiver the extraction runs without progress reports.
        }
    }
    archiver.SetRules(m_rules);
    auto afterwards = [&] {
        m_commandLine = archiver.CommandLine();
        m_lastResult = archiver.LastResult();
        if (reporting) {
            try {
                archiver.KillOwnerWindow(this);
            } catch (const std::exception&) {
            }
        }
    };
    const TArchiverOptions& used = options != nullptr ? *options : m_options;
    int result = 0;
    try {
        result = archiver.Extract(m_fileName, m_outputBuffer,
                                  used.ResFileUsage.Contains(ruOnUnpack), files, destination, used);
    } catch (...) {
        afterwards();
        throw;
    }
    afterwards();
    return result;
}

std::string TArchiveFile::OutputText() const
{
    return m_outputBuffer.substr(0, m_outputBuffer.find('\0'));
}

} // namespace furlox::archive
