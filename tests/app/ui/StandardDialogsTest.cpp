// Qt's own dialogs speak Japanese like the rest of the program, and the file dialogs show each
// filter pattern once.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeView>
#include <QtTest>
#include <filesystem>

#include "app/ui/Application.h"
#include "app/ui/QtTranslations.h"
#include "app/ui/uniVelko.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtText.h"
#include "support/HeadlessPlatform.h"

using namespace furlox;
using namespace furlox::ui;

class StandardDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString loaded = InstallQtTranslations(*QCoreApplication::instance());
        QVERIFY2(!loaded.isEmpty(), qPrintable(QStringLiteral("no qt_ja.qm in ") +
                                               QtTranslationFolders().join(QStringLiteral(", "))));
    }

    void messageBoxButtonsReadJapanese()
    {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("題"), QStringLiteral("本文"),
                        QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
    }

    void fileDialogLabelsReadJapanese()
    {
        QFileDialog dialog(nullptr, QString(), QDir::tempPath());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        const auto labels = dialog.findChildren<QLabel*>();
        QStringList texts;
        for (const QLabel* label : labels) {
            texts << label->text();
        }
        QVERIFY2(!texts.contains(QStringLiteral("Look in:")), qPrintable(texts.join('|')));
        QVERIFY2(!texts.contains(QStringLiteral("File &name:")), qPrintable(texts.join('|')));
        const auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    }

    void filterPatternsAppearOnce()
    {
        QCOMPARE(
            FileDialogFilter(QStringLiteral("テキスト ファイル(*.txt)"), QStringLiteral("*.txt")),
            QStringLiteral("テキスト ファイル(*.txt)"));
        QCOMPARE(FileDialogFilter(QStringLiteral("PDF ファイル"), QStringLiteral("*.pdf")),
                 QStringLiteral("PDF ファイル (*.pdf)"));
    }

    void openDialogOffersArchivesOnce()
    {
        QTemporaryDir dir;
        TfrmVelko::Options options;
        options.workDir = PathOf(dir.path());
        TfrmVelko window(options);
        Dialogs::Preset().message = [](QWidget*, const QString&, const QString&, MessageKind) {};
        QString asked;
        Dialogs::Preset().file = [&asked](const FileQuestion& question) {
            asked = question.filter;
            return QString();
        };
        window.EzRgnBtn1Click();
        Dialogs::Preset() = {};
        QCOMPARE(asked, QStringLiteral("圧縮データファイル(*.lzh)"));
        QCOMPARE(asked.count(QStringLiteral("*.lzh")), 1);
    }

    void fileDialogDatesReadJapaneseUnderAnyLocale()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has dialogs of its own, which date files as the system is set");
#endif
        // main() runs this program under the C locale, whose dates are English.
        QCOMPARE(QLocale::system().language(), QLocale::C);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("010527.lzh")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QDateTime modified(QDate(2001, 5, 27), QTime(16, 15));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        file.close();
        FileQuestion question;
        question.folder = dir.path();
        question.filter = QStringLiteral("圧縮データファイル(*.lzh)");
        const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(nullptr, question);
        dialog->setViewMode(QFileDialog::Detail);
        dialog->show();
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(view);
        QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 1);
        const QModelIndex date = view->model()->index(0, 3, view->rootIndex());
        QCOMPARE(date.data().toString(), QStringLiteral("2001/05/27 16:15"));
        dialog->hide();
    }
};

int main(int argc, char** argv)
{
    // The C locale, as a system without a Japanese one has: the dialogs are Japanese all
    // the same.
    qputenv("LC_ALL", "C");
    furlox::test::ChooseHeadlessPlatform();
    FurloxApplication app(argc, argv);
    StandardDialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StandardDialogsTest.moc"
