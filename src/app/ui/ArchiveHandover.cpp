#include "app/ui/ArchiveHandover.h"

#include <QApplication>
#include <QTimer>

namespace furlox::ui {
namespace {

// How soon a hand-over waiting for the window is tried again.
constexpr int kRetryMs = 300;

} // namespace

ArchiveHandover::ArchiveHandover(std::function<bool()> busy,
                                 std::function<void(const QString&)> open, QObject* parent)
    : QObject(parent), m_busy(std::move(busy)), m_open(std::move(open))
{}

void ArchiveHandover::Add(const QString& archive)
{
    m_pending << archive;
    OpenNext();
}

void ArchiveHandover::OpenNext()
{
    if (m_pending.isEmpty()) {
        return;
    }
    if (m_busy() || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        QTimer::singleShot(kRetryMs, this, &ArchiveHandover::OpenNext);
        return;
    }
    const QString next = m_pending.takeFirst();
    m_open(next);
    if (!m_pending.isEmpty()) {
        QTimer::singleShot(0, this, &ArchiveHandover::OpenNext);
    }
}

} // namespace furlox::ui
