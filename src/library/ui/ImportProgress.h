#pragma once

#include <QDialog>
#include <QStringList>
#include <atomic>
#include <filesystem>
#include <vector>

#include "library/Library.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace furlox::ui {

// The progress of an import of many archives: file N of M and its name, a bar, and a cancel
// that lets the archive in hand finish and keeps every day imported so far. The import runs
// on a thread of its own with a library connection of its own; the window stays drawn.
class ImportProgress final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(ImportProgress)
public:
    ImportProgress(std::filesystem::path workDir, std::vector<std::filesystem::path> paths,
                   QWidget* parent = nullptr);
    ~ImportProgress() override;

    // Runs the import to its end (or its cancel) with the dialog shown.
    void Run();

    const std::vector<library::ImportItem>& Items() const { return m_items; }
    bool Cancelled() const { return m_cancel.load(); }
    // Why the import could not start (CP932); empty otherwise. A library fault met on the way
    // is the refusal of the archive it stopped at.
    const std::string& Failure() const { return m_failure; }

    QPushButton* CancelButton() const { return m_cancelButton; }
    QLabel* FileLabel() const { return m_file; }

signals:
    // Before each archive (done of total finished): the label and the bar already say so.
    void progressed(int done, int total);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Show(int done, int total, const QString& name);
    void Cancel();

    std::filesystem::path m_workDir;
    std::vector<std::filesystem::path> m_paths;
    std::vector<library::ImportItem> m_items;
    std::string m_failure;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    QLabel* m_count = nullptr;
    QLabel* m_file = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

// The summary of an import: what was added, replaced, already there, and each refusal with
// its reason.
QString ImportSummary(const std::vector<library::ImportItem>& items, bool cancelled,
                      const std::string& failure);

} // namespace furlox::ui
