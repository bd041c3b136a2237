#include "base/ui/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QUrl>
#include <optional>

#include "base/ui/DesktopOpen.h"

namespace furlox::ui {
namespace {

Dialogs::Answers& PresetAnswers()
{
    static Dialogs::Answers answers;
    return answers;
}

std::optional<QString>& NextFileName()
{
    static std::optional<QString> name;
    return name;
}

// The file dialog's "date modified" column in Japanese whatever the system's locale: Qt's
// own dialog formats it in the system locale, which under a C or English locale gives
// English month names in an otherwise Japanese dialog.
class JapaneseDates final : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole && index.column() == kDateColumn) {
            if (const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel())) {
                const QDateTime modified = files->lastModified(mapToSource(index));
                if (modified.isValid()) {
                    return QLocale(QLocale::Japanese, QLocale::Japan)
                        .toString(modified, QStringLiteral("yyyy/MM/dd H:mm"));
                }
            }
        }
        return QIdentityProxyModel::data(index, role);
    }

private:
    static constexpr int kDateColumn = 3; // QFileSystemModel: name, size, type, date
};

// A message box that can stand centred on a place of its own choosing. It knows its size
// only once it is shown, so it moves there then.
class MessageBox final : public QMessageBox
{
public:
    MessageBox(Icon icon, const QString& title, const QString& text, QWidget* parent)
        : QMessageBox(icon, title, text, QMessageBox::Ok, parent)
    {}

    void CentreOn(const QRect& place) { m_place = place; }

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        if (m_place.isValid()) {
            // The frame's centre on the place's (a window moves by its frame's corner).
            const QRect frame = frameGeometry();
            move(m_place.center() - QPoint(frame.width() / 2, frame.height() / 2));
        }
    }

private:
    QRect m_place;
};

} // namespace

QString NoPrinterText()
{
    return QStringLiteral("プリンタが設定されていないため、印刷できません。\n"
                          "プリンタを設定してから、もう一度印刷してください。");
}

bool PrinterCanBeChosen()
{
#ifdef Q_OS_WIN
    // The system's print dialog does not open at all without a printer.
    return !QPrinterInfo::availablePrinterNames().isEmpty();
#else
    // Qt's own dialog always offers printing to a PDF file.
    return true;
#endif
}

void Dialogs::Message(QWidget* parent, const QString& text, MessageKind kind, const QString& title)
{
    const QString shownTitle = title.isEmpty() ? QStringLiteral("Furlox") : title;
    if (PresetAnswers().message) {
        PresetAnswers().message(parent, shownTitle, text, kind);
        return;
    }
    const QMessageBox::Icon icon = kind == MessageKind::Critical  ? QMessageBox::Critical
                                   : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                  : QMessageBox::Information;
    MessageBox box(icon, shownTitle, text, parent);
    if (parent && !parent->window()->isVisible()) {
        // A window still being made (the main window while the start-up opens an archive)
        // has its place but is not on the screen, and the system cannot centre a box on it:
        // the box goes over that place, where the splash is, not elsewhere on the screen.
        box.CentreOn(parent->window()->geometry());
    }
    box.exec();
}

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const FileQuestion& question)
{
    auto dialog =
        std::make_unique<QFileDialog>(parent, QString(), question.folder, question.filter);
#ifndef Q_OS_WIN
    // Qt's own dialog, in Japanese with Qt's translations (a desktop's native dialog would
    // speak the system's language); Windows has dialogs of its own.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setProxyModel(new JapaneseDates(dialog.get()));
#endif
    if (question.save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setDefaultSuffix(question.suffix);
        dialog->selectFile(question.name);
    } else if (question.chooseFolder) {
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog->setFileMode(question.many ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    return dialog;
}

QString Dialogs::AskFile(QWidget* parent, const FileQuestion& question)
{
    if (std::optional<QString>& next = NextFileName(); next) {
        const QString name = *next;
        next.reset();
        return name;
    }
    if (PresetAnswers().file) {
        return PresetAnswers().file(question);
    }
    const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(parent, question);
    return dialog->exec() == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
}

bool Dialogs::Confirm(QWidget* parent, const QString& text, const QString& title)
{
    const QString shownTitle = title.isEmpty() ? QStringLiteral("Furlox") : title;
    if (PresetAnswers().confirm) {
        return PresetAnswers().confirm(shownTitle, text);
    }
    QMessageBox box(QMessageBox::Question, shownTitle, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QStringList Dialogs::AskFiles(QWidget* parent, const FileQuestion& question)
{
    if (PresetAnswers().files) {
        return PresetAnswers().files(question);
    }
    const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(parent, question);
    return dialog->exec() == QDialog::Accepted ? dialog->selectedFiles() : QStringList();
}

PrintAnswer Dialogs::Print(QWidget* parent, QPrinter& printer, int pageCount, int& from, int& to)
{
    if (PresetAnswers().print) {
        return PresetAnswers().print(printer, pageCount, from, to);
    }
    if (!PrinterCanBeChosen()) {
        return PrintAnswer::NoPrinter;
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, pageCount);
    dialog.setFromTo(from, to);
    if (dialog.exec() != QDialog::Accepted) {
        from = to = 0;
        return PrintAnswer::Cancelled;
    }
    if (printer.printRange() == QPrinter::PageRange) {
        from = printer.fromPage();
        to = printer.toPage();
    }
    return PrintAnswer::Print;
}

void Dialogs::RunModal(QDialog& dialog)
{
    if (PresetAnswers().modal) {
        PresetAnswers().modal(dialog);
        return;
    }
    dialog.exec();
}

QString Dialogs::OpenInBrowser(const QUrl& url)
{
    if (PresetAnswers().browser) {
        return PresetAnswers().browser(url);
    }
    return furlox::ui::OpenInBrowser(url);
}

Dialogs::Answers& Dialogs::Preset()
{
    return PresetAnswers();
}

void Dialogs::SetNextFileName(const QString& name)
{
    NextFileName() = name;
}

} // namespace furlox::ui
