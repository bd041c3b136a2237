#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <string>

#include "archive/ARCHIVES.h"
#include "archive/ArchiverProgress.h"

// The small skinned window shown while an archive is extracted: the written size, an entry
// counter and a percentage bar. What it shows is the core's progress state
// (archive::ArchiverProgress); the window displays it after every progress report and lets
// the application process its events there, so it repaints during the extraction.
namespace furlox::ui {

class TdxfLabel;
class TdxfProgressBar;

class TDlgArchiverProgress final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TDlgArchiverProgress)
public:
    // A frameless 240 × 104 window above `owner`, centred on the screen, not yet shown.
    explicit TDlgArchiverProgress(QWidget* owner = nullptr);
    ~TDlgArchiverProgress() override;

    // The state the core's open-archive flow and TArchiveFile report into.
    archive::ArchiverProgress& Progress() { return m_progress; }
    const archive::ArchiverProgress& Progress() const { return m_progress; }

    // The handler for TArchiveFile::SetOnProgress (also Progress().Handler()).
    void ArchiveFileProgress(archive::TArchiveFile& sender, int state,
                             const archive::ExtractingInfoEx* info, bool& abort);

    void cmdCancelClick();

    // Components, named as the window was designed. The labels from Label1 to Label4 lie
    // below the window's area: they are kept up to date but never seen.
    QLabel* Label1 = nullptr;
    QLabel* lblArchiveFileName = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblSrcFileName1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* lblSrcFileName2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* imgForm = nullptr;
    QLabel* lblWriteSize = nullptr;
    QLabel* lblCount = nullptr;
    TdxfLabel* dxfLabel1 = nullptr;
    QPushButton* cmdCancel = nullptr;
    TdxfProgressBar* ProgressBar1 = nullptr;

signals:
    // After the controls took in a progress report.
    void progressShown();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void ProcessMessages();
    // Copies the progress state into the controls.
    void ShowState();

    archive::ArchiverProgress m_progress;
    bool m_blockingInput = false;
};

} // namespace furlox::ui
