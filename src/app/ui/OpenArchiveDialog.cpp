#include "app/ui/OpenArchiveDialog.h"

#include <memory>

namespace furlox::ui {

void RunWithProgressDialog(QWidget* owner,
                           const std::function<void(TDlgArchiverProgress& dialog)>& extract)
{
    // Destroyed on every way out, also when the extraction throws.
    const std::unique_ptr<TDlgArchiverProgress> dialog =
        std::make_unique<TDlgArchiverProgress>(owner);
    extract(*dialog);
}

app::OpenArchiveResult OpenDataArchiveWithProgress(QWidget* owner, const std::string& archivePath,
                                                   const std::filesystem::path& workDir,
                                                   kol::RaceDay& day)
{
    app::OpenArchiveResult result;
    RunWithProgressDialog(owner, [&](TDlgArchiverProgress& dialog) {
        result = app::OpenDataArchive(archivePath, workDir, day, &dialog.Progress());
    });
    return result;
}

} // namespace furlox::ui
