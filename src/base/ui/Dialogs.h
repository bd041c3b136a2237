#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QDialog;
class QFileDialog;
class QPrinter;
class QUrl;
class QWidget;

// Every question a window puts to the user goes through here: a message, the open and save
// file dialogs, the print dialog, a modal window of the program's own (the previews) and the
// browser. The windows never open these themselves, so a test answers for the user in one
// place (Preset, SetNextFileName) instead of each window carrying hooks of its own.
namespace furlox::ui {

enum class MessageKind
{
    Information,
    Warning,
    Critical,
};

// What the print dialog came back with.
enum class PrintAnswer
{
    Print,     // confirmed; `from` and `to` hold the pages to print
    Cancelled, // the user cancelled: nothing is printed
    NoPrinter, // no printer is set up, so no dialog could open
};

// An open or save question for a file.
struct FileQuestion
{
    bool save = false;
    QString folder;            // where the dialog starts
    QString name;              // the suggested name (save)
    QString filter;            // "テキスト ファイル(*.txt) (*.txt)" and the like
    QString suffix;            // added to a saved name without one
    bool many = false;         // open: several files may be chosen (AskFiles)
    bool chooseFolder = false; // open: a folder is chosen in place of files (AskFiles)
};

// The text that says no printer is set up (shown for PrintAnswer::NoPrinter).
QString NoPrinterText();

// Whether the print dialog can offer anything to print on: false on Windows without a
// printer, where the system's dialog would not even open. Qt's own dialog elsewhere always
// offers a PDF file.
bool PrinterCanBeChosen();

// The file dialog AskFile shows (Qt's own, where the system has none), made but not shown.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const FileQuestion& question);

class Dialogs final
{
public:
    // A message box with an OK button, titled "Furlox" unless another title is given. A box
    // whose window is not on the screen yet (an error of the start-up) is centred on where
    // that window will be.
    static void Message(QWidget* parent, const QString& text,
                        MessageKind kind = MessageKind::Information, const QString& title = {});
    // A yes/no question (the answer "いいえ" is the default); true for "はい".
    static bool Confirm(QWidget* parent, const QString& text, const QString& title = {});
    // The chosen file, empty when the user cancelled.
    static QString AskFile(QWidget* parent, const FileQuestion& question);
    // The chosen files or folder (`many`, `chooseFolder`), empty when the user cancelled.
    static QStringList AskFiles(QWidget* parent, const FileQuestion& question);
    // The print dialog for `pageCount` pages, offering `from` to `to`; on Print they hold the
    // chosen range (both 1-based).
    static PrintAnswer Print(QWidget* parent, QPrinter& printer, int pageCount, int& from, int& to);
    // Shows a modal window of the program and returns when it closes.
    static void RunModal(QDialog& dialog);
    // Hands a page to the browser: empty when handed over, else what is missing (Japanese).
    static QString OpenInBrowser(const QUrl& url);

    // What a test answers in place of the user. Each one that is set replaces its dialog;
    // the others stay real.
    struct Answers
    {
        std::function<void(QWidget* parent, const QString& title, const QString& text,
                           MessageKind kind)>
            message;
        std::function<bool(const QString& title, const QString& text)> confirm;
        std::function<QString(const FileQuestion& question)> file;
        std::function<QStringList(const FileQuestion& question)> files;
        std::function<PrintAnswer(QPrinter& printer, int pageCount, int& from, int& to)> print;
        std::function<void(QDialog& dialog)> modal;
        std::function<QString(const QUrl& url)> browser;
    };
    // The answers in force, for a test to set; `Preset() = {}` brings the real dialogs back.
    static Answers& Preset();
    // The next file question only (open or save) gets this name without a dialog; an empty
    // name answers as a cancelled dialog.
    static void SetNextFileName(const QString& name);
};

} // namespace furlox::ui
