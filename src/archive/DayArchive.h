#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "base/Error.h"
#include "kol/RaceDay.h"

// A race day's archive taken in whole or not at all: read once, checked for the KOL data
// files, extracted under temporary names, checked to be a whole day and loaded from those
// files, and only then put in place (under a commit journal). The open-archive flow uses it
// for the work directory; anything that takes a day from an archive uses it the same way.
namespace furlox::archive {

class ArchiverProgress;

// An archive that holds no whole race day: no data file, a data file missing or empty, or a
// race file without a race. Nothing was put in place. (The command line's `open` exits 2.)
class NotADayError : public Error
{
public:
    using Error::Error;
};

struct OpenedDay
{
    kol::LoadedDay loaded; // the new day, read from the very files put in place
    // CP932 with CR LF line breaks: the entries that were left out ("name: reason" lines,
    // under a first sentence); empty when every entry was extracted.
    std::string refusals;
};

// "指定した書庫ファイルにデータは含まれておりません。…" with its line breaks.
const std::string& NoDataMessage();

// Checks that the path names an archive file that can be read: throws furlox::Error naming it
// when it does not exist, is a folder, a device or a pipe, is empty or too large. Nothing
// about archive formats or their libraries is said before this.
void CheckArchivePath(const std::filesystem::path& archive);

// Opens the archive with an archive component that lives for this call, in the order of the
// archive opening (file name, the replace switch, the output buffer, the LHA type, the switch
// without the library's own window; the listing; the extraction with the progress state),
// into `destination` (made when missing).
//
// Only names at the archive's top level, exactly "kol_den1.kd2" or "kol_uma.kd2", let the
// archive in; then every data file must come out whole, and the day is loaded before a file
// is put in place. Throws NotADayError (the no-data text of the archive opening, or the
// missing, empty or raceless data file named), furlox::Error for an archive that cannot be
// read, is damaged or was stopped, or a destination that cannot be written, and
// archive::EArchiver for the component's own errors (an archive of another format): in every
// case the destination is as it was. A commit that is cut off (the process killed) is
// finished by kol::RecoverWorkDir; commitStep is the tests' seam into it (CommitJournal).
OpenedDay ExtractDayArchive(const std::filesystem::path& archive,
                            const std::filesystem::path& destination, ArchiverProgress* progress,
                            const std::function<void(int step)>& commitStep = {});

} // namespace furlox::archive
