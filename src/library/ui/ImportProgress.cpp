#include "library/ui/ImportProgress.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "base/Error.h"
#include "base/ui/QtText.h"
#include "library/LibraryTexts.h"
#include "library/ui/LibraryStyle.h"

namespace furlox::ui {

ImportProgress::ImportProgress(std::filesystem::path workDir,
                               std::vector<std::filesystem::path> paths, QWidget* parent)
    : QDialog(parent), m_workDir(std::move(workDir)), m_paths(std::move(paths))
{
    setObjectName(QStringLiteral("ImportProgress"));
    setWindowTitle(QStringLiteral("ライブラリに取り込み中"));
    setModal(true);
    setFont(ProportionalFont(12));
    ApplyLibraryStyle(this);
    setMinimumWidth(460);
    auto* layout = new QVBoxLayout(this);
    m_count = new QLabel(QStringLiteral("書庫を数えています..."), this);
    m_count->setObjectName(QStringLiteral("title"));
    m_file = new QLabel(this);
    m_file->setTextFormat(Qt::PlainText);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 1);
    m_bar->setValue(0);
    m_cancelButton = new QPushButton(QStringLiteral("中止"), this);
    m_cancelButton->setToolTip(
        QStringLiteral("今の書庫が終わったところで止めます（取り込んだ日は残ります）"));
    // Only a deliberate click, Space or Esc cancels: an Enter meant for the dialog that
    // chose the folder must not stop the import.
    m_cancelButton->setAutoDefault(false);
    m_cancelButton->setDefault(false);
    connect(m_cancelButton, &QPushButton::clicked, this, &ImportProgress::Cancel);
    layout->addWidget(m_count);
    layout->addWidget(m_file);
    layout->addWidget(m_bar);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
}

ImportProgress::~ImportProgress() = default;

void ImportProgress::Run()
{
    m_running = true;
    show();
    QEventLoop loop;
    // The import has a connection of its own on its own thread. Each progress call waits
    // until the dialog has shown it, so a cancel pressed by then stops before the next
    // archive.
    QThread* worker = QThread::create([this] {
        try {
            library::Library library = library::Library::Open(m_workDir);
            m_items = library.ImportMany(
                m_paths,
                [this](int done, int total, const std::filesystem::path& path) {
                    const QString name = PathQ(path.filename());
                    QMetaObject::invokeMethod(
                        this, [this, done, total, name] { Show(done, total, name); },
                        Qt::BlockingQueuedConnection);
                },
                &m_cancel);
        } catch (const Error& e) {
            m_failure = e.what();
        } catch (const std::exception&) {
            m_failure = ToCp932("ライブラリに取り込めませんでした。");
        }
    });
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
    m_running = false;
    hide();
}

void ImportProgress::Show(int done, int total, const QString& name)
{
    m_count->setText(QStringLiteral("%1 / %2 件目").arg(std::min(done + 1, total)).arg(total));
    m_file->setText(done < total ? name : QString());
    m_bar->setRange(0, std::max(1, total));
    m_bar->setValue(done);
    emit progressed(done, total);
}

void ImportProgress::Cancel()
{
    m_cancel.store(true);
    m_cancelButton->setEnabled(false);
    m_cancelButton->setText(QStringLiteral("中止しています..."));
}

void ImportProgress::closeEvent(QCloseEvent* event)
{
    // Closing the dialog is a cancel: it goes away when the archive in hand is finished.
    if (m_running) {
        Cancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ImportProgress::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString ImportSummary(const std::vector<library::ImportItem>& items, bool cancelled,
                      const std::string& failure)
{
    int added = 0;
    int replaced = 0;
    int there = 0;
    QStringList refused;
    for (const library::ImportItem& item : items) {
        if (!item.result) {
            refused << PathQ(item.path.filename()) + QStringLiteral(": ") + Q(item.refusal);
            continue;
        }
        switch (item.result->outcome) {
        case library::ImportOutcome::Added:
            ++added;
            break;
        case library::ImportOutcome::Replaced:
            ++replaced;
            break;
        case library::ImportOutcome::AlreadyThere:
            ++there;
            break;
        }
    }
    QString text = QStringLiteral("取り込んだ日: %1（新しい日 %2、置き換えた日 %3）\n"
                                  "すでにライブラリにあった書庫: %4")
                       .arg(added + replaced)
                       .arg(added)
                       .arg(replaced)
                       .arg(there);
    if (!refused.isEmpty()) {
        text += QStringLiteral("\n\n取り込めなかった書庫: %1\n").arg(refused.size()) +
                refused.join(QLatin1Char('\n'));
    }
    if (cancelled) {
        text += QStringLiteral("\n\n途中で中止しました。それまでに取り込んだ日は残っています。");
    }
    if (!failure.empty()) {
        text += QStringLiteral("\n\n取り込みを続けられませんでした: ") + Q(failure);
    }
    return text;
}

} // namespace furlox::ui
