#include "archive/ArchiverProgress.h"

#include "base/Encoding.h"

namespace furlox::archive {

int ProgressPercent(std::uint64_t written, std::uint64_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::uint64_t percent = written * 100 / size;
    return percent > 100 ? 100 : static_cast<int>(percent);
}

void ArchiverProgress::ArchiveFileProgress(TArchiveFile&, int state, const ExtractingInfoEx* info,
                                           bool& abort)
{
    if (ProcessMessages) {
        ProcessMessages();
    }
    abort = m_cancelRequested;
    if (info != nullptr) {
        // Names come from the archive: a control byte in one is shown, never sent.
        m_view.lblSrcFileName1 = EscapeControlBytes(ShortSourceName(info->sourceFileName));
        if (state != kStateCount) {
            m_view.lblSrcFileName2 = EscapeControlBytes(info->destFileName);
            m_view.lblWriteSize = std::to_string(info->writeSize);
            m_view.ProgressBar1Position = ProgressPercent(info->writeSize, info->fileSize);
        }
        switch (state) {
        case kStateBegin:
            // Without a counting phase the counter stays empty.
            if (m_entryTotal > 0) {
                ++m_entryIndex;
                m_view.lblCount =
                    "[" + std::to_string(m_entryIndex) + "/" + std::to_string(m_entryTotal) + "]";
            }
            break;
        case kStateCopy:
            m_view.Label4Visible = false;
            m_view.Label5Visible = true;
            m_view.lblSrcFileName2Visible = false;
            m_view.cmdCancelEnabled = false;
            break;
        case kStateCount:
            ++m_entryTotal;
            m_view.lblCount = "[" + std::to_string(m_entryTotal) + "]";
            break;
        default:
            break;
        }
    }
    if (Updated) {
        Updated();
    }
}

TArchiverProgressEvent ArchiverProgress::Handler()
{
    return [this](TArchiveFile& sender, int state, const ExtractingInfoEx* info, bool& abort) {
        ArchiveFileProgress(sender, state, info, abort);
    };
}

void ArchiverProgress::FormShow()
{
    m_entryTotal = 0;
    m_entryIndex = 0;
    m_view.lblCount.clear();
    m_view.lblWriteSize.clear();
    m_view.lblSrcFileName2.clear();
    m_view.lblSrcFileName2Visible = true;
    m_view.Label4Visible = true;
    m_view.Label5Visible = false;
    m_view.ProgressBar1Position = 0;
    m_cancelRequested = false;
}

void ArchiverProgress::FormHide()
{
    m_view.cmdCancelEnabled = true;
}

} // namespace furlox::archive
