#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "kol/RaceDay.h"

namespace furlox::archive {
class ArchiverProgress;
}

// Opening an archive of race data: check that it holds the KOL data files, extract it into
// the work directory while the progress state follows, and load the race day. The caller
// (main window, CLI) then analyses and shows race index 0.
namespace furlox::app {

struct OpenArchiveResult
{
    enum class Status
    {
        NoData,    // neither kol_den1.kd2 nor kol_uma.kd2 at the archive's top level
        Extracted, // extracted; `load` tells whether the race day was replaced
        Failed,    // the archive could not be read or extracted; the race day is as it was
    };

    Status status = Status::Failed;
    // CP932, with CR LF line breaks: the no-data text, the failure, or (when extracted) the
    // entries that were not extracted. Empty when there is nothing to tell.
    std::string message;
    kol::LoadOutcome load;
    int extractResult = 0; // the library's result code of the extraction
};

// "指定した書庫ファイルにデータは含まれておりません。…" with its line breaks.
const std::string& NoDataMessage();

// Opens archivePath with an archive component that lives for this call.
//
// The library's result is not just ignored: an archive that is missing, empty, damaged or
// truncated, or an extraction that fails or is stopped, gives Failed with a clear message and
// leaves `day` and the KOL files untouched (the extraction puts no file in place unless the
// whole archive was read with every CRC right). When some entries were refused (a name
// outside the work directory, a link, an entry over the size cap) but KOL data files were
// replaced, the race day is loaded and the message lists the refused entries.
//
// Errors of the component itself (an archive of another format, whose library this program
// does not carry) are thrown as archive::EArchiver; LoadKolFiles may throw furlox::Error.
//
// One open at a time per work directory: the work directory's lock (LockWorkDir) is held
// from the check to the end of the load; when another open holds it for longer than
// lockPatience, the result is Failed with a message that says so.
//
// Entries named like a KOL data file in other capitals are written under its own name, and
// no entry replaces a program file or an executable (WorkDir.h, ProgramFileNames).
OpenArchiveResult OpenDataArchive(const std::string& archivePath,
                                  const std::filesystem::path& workDir, kol::RaceDay& day,
                                  archive::ArchiverProgress* progress,
                                  std::chrono::milliseconds lockPatience = std::chrono::seconds(5));

} // namespace furlox::app
