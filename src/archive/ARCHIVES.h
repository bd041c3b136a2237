#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ArchiverOptions.h"
#include "archive/CmdOpt.h"
#include "archive/LhaBackend.h"
#include "base/Error.h"

// The archive component: one archiver object per archive type, each driving its library with
// one command line per operation, and TArchiveFile, which lists and extracts one archive.
// Only the LHA library is part of this program; the other archiver classes exist so that an
// archive of another format is reported clearly ("... が 必要です。").
namespace furlox::archive {

// The ordinals are fixed: atLha 0 … atGca 10, atNone 11, atAutoDetect 12.
enum TArchiverType : int
{
    atLha,
    atZip,
    atCab,
    atArj,
    atTar,
    atTgz,
    atBZ2,
    atRar,
    atBga,
    atYz1,
    atGca,
    atNone,
    atAutoDetect,
};

// The error of the archive component; the message is CP932 text for the user.
class EArchiver : public Error
{
public:
    using Error::Error;
};

// The base of the archiver classes. An operation a format does not support raises its
// EArchiver message; the slot order and base behaviours follow the archiver library family.
class TArchiver
{
public:
    virtual ~TArchiver();
    TArchiver(const TArchiver&) = delete;
    TArchiver& operator=(const TArchiver&) = delete;

    // The receiver of progress reports while one is registered, else nullptr.
    ProgressWindow* OwnerWindow() const { return m_ownerWindow; }
    // The last command line built.
    const std::string& CommandLine() const { return m_commandLine; }
    // What the last extraction placed and refused, beyond its result code.
    const lha::ExtractResult& LastResult() const { return m_lastResult; }
    void SetRules(ExtractRules rules) { m_rules = std::move(rules); }

    virtual void LoadDLL();
    virtual void FreeDLL();
    virtual ArchiveHandle OpenArchive(const std::string& fileName, unsigned mode);
    virtual int FindFirst(ArchiveHandle handle, EntryInfo& info, std::string_view wildcard);
    virtual int FindNext(ArchiveHandle handle, EntryInfo& info);
    virtual int CloseArchive(ArchiveHandle handle);
    virtual int Extract(const std::string& archive, std::string& output, bool useResponseFile,
                        const FileList& files, const std::string& destination,
                        const TArchiverOptions& options) = 0;
    virtual int Pack(const std::string& archive, std::string& output, bool useResponseFile,
                     const FileList& files, const std::string& destination,
                     const TArchiverOptions& options);
    virtual int Remove(const std::string& archive, std::string& output, bool useResponseFile,
                       const FileList& files, const std::string& destination,
                       const TArchiverOptions& options);
    virtual int Update(const std::string& archive, std::string& output, bool useResponseFile,
                       const FileList& files, const std::string& destination,
                       const TArchiverOptions& options);
    virtual int MakeSFX(const std::string& archive, std::string& output,
                        const std::string& destination, const TArchiverOptions& options);
    virtual int ExtractMem(const std::string& archive, const std::string& entryName, char* buffer,
                           std::size_t size, const TArchiverOptions& options);
    virtual bool CheckArchive(const std::string& fileName, int mode);
    virtual bool SetOwnerWindow(ProgressWindow* window);
    virtual bool KillOwnerWindow(ProgressWindow* window);
    virtual void LoadPackDLL();

protected:
    TArchiver() = default;

    ProgressWindow* m_ownerWindow = nullptr;
    std::string m_commandLine;
    ExtractRules m_rules;
    lha::ExtractResult m_lastResult;
};

// The LHA archiver, over the in-process LHA library (always present, so making one never
// fails). Packing, removing, updating and self-extracting archives reach the library, which
// answers that it cannot do them.
class TLha32 : public TArchiver
{
public:
    TLha32() = default;

    void LoadDLL() override {}
    void FreeDLL() override {}
    ArchiveHandle OpenArchive(const std::string& fileName, unsigned mode) override;
    int FindFirst(ArchiveHandle handle, EntryInfo& info, std::string_view wildcard) override;
    int FindNext(ArchiveHandle handle, EntryInfo& info) override;
    int CloseArchive(ArchiveHandle handle) override;
    int Extract(const std::string& archive, std::string& output, bool useResponseFile,
                const FileList& files, const std::string& destination,
                const TArchiverOptions& options) override;
    int Pack(const std::string& archive, std::string& output, bool useResponseFile,
             const FileList& files, const std::string& destination,
             const TArchiverOptions& options) override;
    int Remove(const std::string& archive, std::string& output, bool useResponseFile,
               const FileList& files, const std::string& destination,
               const TArchiverOptions& options) override;
    int Update(const std::string& archive, std::string& output, bool useResponseFile,
               const FileList& files, const std::string& destination,
               const TArchiverOptions& options) override;
    int MakeSFX(const std::string& archive, std::string& output, const std::string& destination,
                const TArchiverOptions& options) override;
    int ExtractMem(const std::string& archive, const std::string& entryName, char* buffer,
                   std::size_t size, const TArchiverOptions& options) override;
    bool CheckArchive(const std::string& fileName, int mode) override;
    bool SetOwnerWindow(ProgressWindow* window) override;
    bool KillOwnerWindow(ProgressWindow* window) override;

    // The library command line: the command letter, then the switches in the library's
    // order, the archive, the destination and the files. Also kept as CommandLine().
    std::string BuildCommandLine(std::string_view command, const std::string& archive,
                                 bool useResponseFile, const FileList& files,
                                 const std::string& destination, const TArchiverOptions& options);

private:
    // An open listing, with the place FindNext goes on from.
    struct OpenListing
    {
        lha::Listing listing;
        std::string pattern;
        std::size_t next = 0;
    };

    int FindFrom(ArchiveHandle handle, const std::string_view* wildcard, EntryInfo& info);
    int Run(std::string_view command, const std::string& archive, std::string& output,
            bool useResponseFile, const FileList& files, const std::string& destination,
            const TArchiverOptions& options);

    std::map<ArchiveHandle, std::unique_ptr<OpenListing>> m_listings; // by handle
    // The archive as the last OpenArchive read it: one archive is read once for its listing
    // and its extraction.
    lha::ArchiveSnapshot m_snapshot;
};

// The archivers of the formats whose library this program does not carry. Making one raises
// its "library needed" message, as a missing library would, so no object of these classes ever
// exists and they need no operation of their own beyond the abstract one.
class TForeignArchiver : public TArchiver
{
public:
    void LoadDLL() override;
    void FreeDLL() override {}
    int Extract(const std::string& archive, std::string& output, bool useResponseFile,
                const FileList& files, const std::string& destination,
                const TArchiverOptions& options) override;

protected:
    explicit TForeignArchiver(TArchiverType type);

private:
    TArchiverType m_type;
};

class TZip32 final : public TForeignArchiver
{
public:
    TZip32() : TForeignArchiver(atZip) {}
};

class TCab32 final : public TForeignArchiver
{
public:
    TCab32() : TForeignArchiver(atCab) {}
};

// Derived from the LHA class: what it does not do itself goes to the LHA library.
class TArj32 final : public TLha32
{
public:
    TArj32();
    void LoadDLL() override;
};

class TTar32 : public TForeignArchiver
{
public:
    TTar32() : TForeignArchiver(atTar) {}

protected:
    using TForeignArchiver::TForeignArchiver;
};

class TTgz32 final : public TTar32
{
public:
    TTgz32() : TTar32(atTgz) {}
};

class TBZ232 final : public TTar32
{
public:
    TBZ232() : TTar32(atBZ2) {}
};

class TRar32 final : public TForeignArchiver
{
public:
    TRar32() : TForeignArchiver(atRar) {}
};

class TBGA32 final : public TForeignArchiver
{
public:
    TBGA32() : TForeignArchiver(atBga) {}
};

class TYZ1 final : public TForeignArchiver
{
public:
    TYZ1() : TForeignArchiver(atYz1) {}
};

class TGCA32 final : public TForeignArchiver
{
public:
    TGCA32() : TForeignArchiver(atGca) {}
};

// Makes the archiver object of a type (atLha … atGca); raises its library message when the
// library is missing, and "書庫の形式を特定できませんでした。" for any other value.
std::unique_ptr<TArchiver> CreateArchiver(TArchiverType type);

// The type of an archive: by the extension of its name (ASCII case ignored; ".exe" by
// content), or by content when byExtension is false. Unknown gives atNone.
TArchiverType DetectArchiverType(const std::string& fileName, bool byExtension);

// The LHA content test: a sound LHA archive that can be listed.
bool IsLhaArchive(const std::string& fileName);

class TArchiveFile;

// Progress handler: (the component, state, the progress record or nullptr, abort answer).
using TArchiverProgressEvent =
    std::function<void(TArchiveFile& sender, int state, const ExtractingInfoEx* info, bool& abort)>;

// Lists and extracts one archive. Owns its archiver object and options, and receives the
// progress reports of its extractions itself.
class TArchiveFile final : private ProgressWindow
{
public:
    TArchiveFile();
    ~TArchiveFile();
    TArchiveFile(const TArchiveFile&) = delete;
    TArchiveFile& operator=(const TArchiveFile&) = delete;

    const std::string& FileName() const { return m_fileName; }
    // Detects the type by extension first (which may make a new archiver object, or raise
    // for a format whose library is missing), then stores the path.
    void SetFileName(const std::string& path);

    int OutputSize() const { return static_cast<int>(m_outputBuffer.size()); }
    void SetOutputSize(int n);

    TArchiverOptions& Options() { return m_options; }
    const TArchiverOptions& Options() const { return m_options; }
    void SetOptions(const TArchiverOptions& options) { m_options.Assign(options); }

    TArchiverType ArchiverType() const { return m_archiverType; }
    // atLha … atGca: a fresh archiver object of that type; atAutoDetect: only the type;
    // atNone: nothing changes; other values raise.
    void SetArchiverType(TArchiverType type);

    const TArchiverProgressEvent& OnProgress() const { return m_onProgress; }
    void SetOnProgress(TArchiverProgressEvent handler) { m_onProgress = std::move(handler); }

    // 0 when a listing handle was obtained, 1 when not.
    int OpenArchive(unsigned mode);
    int FindFirst(std::string_view wildcard, EntryInfo& info);
    int FindNext(EntryInfo& info);
    void CloseArchive();
    // Extracts with the given options (nullptr: the component's own); returns the library's
    // result code.
    int Extract(const TArchiverOptions* options, const FileList& files,
                const std::string& destination);

    // The last command line run.
    const std::string& CommandLine() const { return m_commandLine; }
    // The placement rules handed to every extraction.
    ExtractRules& Rules() { return m_rules; }
    // What the last extraction placed and refused.
    const lha::ExtractResult& LastResult() const { return m_lastResult; }
    // The library's output text of the last command, up to its NUL.
    std::string OutputText() const;
    TArchiver* Archiver() const { return m_archiver.get(); }
    ArchiveHandle Handle() const { return m_archiveHandle; }

private:
    // Stands where the component's hidden progress window was: each report of the library
    // becomes a call of OnProgress, whose abort answer goes back to the library.
    bool ReportProgress(int state, const ExtractingInfoEx* info) override;

    TArchiver& RequireArchiver() const;

    std::string m_fileName;
    std::string m_outputBuffer;
    TArchiverOptions m_options;
    TArchiverType m_archiverType = atAutoDetect;
    TArchiverProgressEvent m_onProgress;
    std::unique_ptr<TArchiver> m_archiver;
    std::string m_commandLine;
    ExtractRules m_rules;
    lha::ExtractResult m_lastResult;
    ArchiveHandle m_archiveHandle = 0;
};

} // namespace furlox::archive
