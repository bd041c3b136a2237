#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace furlox::ui {

// The archives a second start hands over to the running window, opened one after the other
// as soon as the window is free: not while it opens another archive, nor under a dialog that
// reads the shown race (the preview, a message, a file dialog) or an open menu.
class ArchiveHandover final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ArchiveHandover)
public:
    // `busy` says whether the window is opening an archive; `open` opens one.
    ArchiveHandover(std::function<bool()> busy, std::function<void(const QString&)> open,
                    QObject* parent);

    void Add(const QString& archive);
    int Pending() const { return static_cast<int>(m_pending.size()); }

private:
    void OpenNext();

    std::function<bool()> m_busy;
    std::function<void(const QString&)> m_open;
    QStringList m_pending;
};

} // namespace furlox::ui
