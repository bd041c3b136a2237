#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "archive/ARCHIVES.h"

// The progress dialog's handler logic without a window: what the dialog shows for each
// progress report of an extraction, and whether it asks the extraction to stop. The dialog
// window only displays this state.
namespace furlox::archive {

// The texts and flags of the dialog's controls, named after the controls.
struct ProgressView
{
    std::string lblCount;        // "[3]" while counting, "[3/7]" while extracting
    std::string lblSrcFileName1; // the entry's short source name
    std::string lblSrcFileName2; // the destination name
    std::string lblWriteSize = "0";
    int ProgressBar1Position = 100; // 0 to 100
    bool Label4Visible = false;
    bool Label5Visible = false;
    bool lblSrcFileName2Visible = false;
    bool cmdCancelEnabled = true;
};

// written × 100 ÷ size in 64-bit arithmetic, truncated; 0 for an empty entry; kept within
// the bar's 0 to 100.
int ProgressPercent(std::uint64_t written, std::uint64_t size);

class ArchiverProgress
{
public:
    const ProgressView& View() const { return m_view; }
    int EntryTotal() const { return m_entryTotal; }
    int EntryIndex() const { return m_entryIndex; }
    bool CancelRequested() const { return m_cancelRequested; }

    // Lets the application process its pending events (repaint, the cancel button) at the
    // start of each report. Set by the window layer.
    std::function<void()> ProcessMessages;
    // Called after each report has been taken in, for front ends that show the state as it
    // changes (the CLI writes a progress line).
    std::function<void()> Updated;

    // The handler for TArchiveFile::SetOnProgress.
    void ArchiveFileProgress(TArchiveFile& sender, int state, const ExtractingInfoEx* info,
                             bool& abort);
    TArchiverProgressEvent Handler();

    // Each showing starts from an empty counter and a bar at 0.
    void FormShow();
    void FormHide();
    void cmdCancelClick() { m_cancelRequested = true; }

private:
    ProgressView m_view;
    int m_entryTotal = 0;
    int m_entryIndex = 0;
    bool m_cancelRequested = false;
};

} // namespace furlox::archive
