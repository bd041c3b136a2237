#include "app/ui/OpenArchiveDialog.h"

#include <memory>

#include "app/KeepDay.h"

namespace furlox::ui {

void RunWithProgressDialog(QWidget* owner,
                           const std::function<void(TDlgArchiverProgress& dialog)>& extract)
{
    // Destroyed on every way out, also when the extraction throws.
    const std::unique_ptr<TDlgArchiverProgress> dialog =
        std::make_unique<TDlgArchiverProgress>(owner);
    extract(*dialog);
}

archive::OpenedDay OpenDataArchiveWithProgress(QWidget* owner,
                                               const std::filesystem::path& archivePath,
                                               const std::filesystem::path& workDir)
{
    archive::OpenedDay opened;
    RunWithProgressDialog(owner, [&](TDlgArchiverProgress& dialog) {
        opened = app::OpenDataArchive(archivePath, workDir, &dialog.Progress());
    });
    return opened;
}

std::optional<archive::OpenedDay>
OpenLibraryDayWithProgress(QWidget* owner, const std::filesystem::path& workDir, library::Date date)
{
    std::optional<archive::OpenedDay> opened;
    RunWithProgressDialog(owner, [&](TDlgArchiverProgress& dialog) {
        opened = app::OpenLibraryDay(workDir, date, &dialog.Progress());
    });
    return opened;
}

} // namespace furlox::ui
