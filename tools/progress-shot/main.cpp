// Photographs the extraction dialog half-way through a real extraction. Each progress report
// is held up a little here, in this tool only, so that the dialog stays on screen long enough;
// when the last entry is about half written the screen is taken with ImageMagick's import and
// cut to the dialog.
//
//   progress-shot ARCHIVE OUT.png [PERCENT]
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "app/OpenDataArchive.h"
#include "app/ui/Application.h"
#include "archive/ui/LHPRGDLG.h"
#include "base/ui/QtText.h"
#include "kol/RaceDay.h"
#include "skin/ui/dxfProgressBar.h"

using namespace furlox;
using namespace furlox::ui;

int main(int argc, char** argv)
{
    FurloxApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: progress-shot ARCHIVE OUT.png [PERCENT]\n");
        return 2;
    }
    const QString archivePath = args[1];
    const QString out = args[2];
    const int percent = args.size() > 3 ? args[3].toInt() : 50;

    QTemporaryDir work;
    bool taken = false;
    int code = 1;
    RunWithProgressDialog(nullptr, [&](TDlgArchiverProgress& dialog) {
        QObject::connect(&dialog, &TDlgArchiverProgress::progressShown, [&] {
            QThread::msleep(15);
            const bool lastEntry = dialog.Progress().EntryTotal() > 0 &&
                                   dialog.Progress().EntryIndex() == dialog.Progress().EntryTotal();
            if (taken || !lastEntry || dialog.ProgressBar1->Position() < percent) {
                return;
            }
            taken = true;
            for (int i = 0; i < 10; ++i) {
                QCoreApplication::processEvents();
                QThread::msleep(30);
            }
            const QRect area = dialog.frameGeometry();
            const QString crop = QStringLiteral("%1x%2+%3+%4")
                                     .arg(area.width())
                                     .arg(area.height())
                                     .arg(area.x())
                                     .arg(area.y());
            code =
                QProcess::execute(QStringLiteral("import"),
                                  {QStringLiteral("-window"), QStringLiteral("root"),
                                   QStringLiteral("-crop"), crop, QStringLiteral("+repage"), out});
        });
        try {
            app::OpenDataArchive(ui::PathOf(archivePath), ui::PathOf(work.path()),
                                 &dialog.Progress());
        } catch (const std::exception&) {
            std::fprintf(stderr, "progress-shot: the archive was not extracted\n");
        }
    });
    if (!taken) {
        std::fprintf(stderr, "progress-shot: the extraction ended before the picture\n");
        return 1;
    }
    return code;
}
