#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/OpenDataArchive.h"
#include "archive/ui/LHPRGDLG.h"
#include "library/DayRecords.h"

// The application's open-archive flow with its progress dialog: the dialog is the archive
// subsystem's window, the flow (check, extract, load) the application's.
namespace furlox::ui {

// Runs `extract` with a progress dialog owned by `owner`. The dialog appears with the first
// progress report (an archive that is refused before extracting shows none) and is destroyed
// when `extract` returns or throws. While it is up, the program's other windows take no mouse
// or keyboard input: the extraction is one synchronous call, and an action started from them
// in its middle (another archive, closing the main window) would run inside it.
void RunWithProgressDialog(QWidget* owner,
                           const std::function<void(TDlgArchiverProgress& dialog)>& extract);

// The open-archive flow of the core (check, extract, load) with the progress dialog shown
// during the extraction. Errors of the flow are thrown on, after the dialog is gone.
archive::OpenedDay OpenDataArchiveWithProgress(QWidget* owner,
                                               const std::filesystem::path& archivePath,
                                               const std::filesystem::path& workDir);

// A day of the library put into the work directory through the same flow (app::OpenLibraryDay)
// with the same dialog; nullopt when the library holds no day of that date.
std::optional<archive::OpenedDay> OpenLibraryDayWithProgress(QWidget* owner,
                                                             const std::filesystem::path& workDir,
                                                             library::Date date);

} // namespace furlox::ui
