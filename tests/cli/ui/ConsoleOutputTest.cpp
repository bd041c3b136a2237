// furlox-cli.exe printing straight to a console. A program of the window tests, as Wine's
// console is a window of its own and needs the display those tests have; elsewhere there are
// no consoles, and it skips.
#include <QApplication>
#include <QtTest>
#include <filesystem>
#include <string>

#include "base/Encoding.h"
#include "support/HeadlessPlatform.h"
#include "support/System.h"
#include "support/TempDir.h"

using namespace furlox;

class ConsoleOutputTest : public QObject
{
    Q_OBJECT

private slots:
    // Printed to a console (not piped), the Japanese text reads as it does through a pipe:
    // the program hands the console whole text, not one byte at a time (which the console
    // showed as three "?" a character, even after chcp 65001).
    void aConsoleShowsTheJapaneseText()
    {
        test::TempDir dir;
        QCOMPARE(test::RunCliIn(dir.path(), {"sample", "--seed", "3", "--races", "3", "--out",
                                             Utf8Text(dir.path())})
                     .exitCode,
                 0);
        std::string shown;
        if (!test::RunOnConsole(FURLOX_CLI, {"--workdir", Utf8Text(dir.path()), "races"}, shown)) {
            QSKIP("no console here (POSIX has none, or none could be made)");
        }
        // The texts the pipe gets, each on its line of the console (a tab shows as blanks).
        const std::string piped = test::RunCliIn(dir.path(), {"races"}).out;
        for (const char* text : {"東京01R", "東京02R", "東京03R"}) {
            QVERIFY2(piped.find(text) != std::string::npos, piped.c_str());
            QVERIFY2(shown.find(text) != std::string::npos, shown.c_str());
        }
        QVERIFY2(shown.find("\xEF\xBF\xBD") == std::string::npos, shown.c_str()); // U+FFFD
        QVERIFY2(shown.find('?') == std::string::npos, shown.c_str());
    }
};

int main(int argc, char** argv)
{
    furlox::test::ChooseHeadlessPlatform();
    QApplication app(argc, argv); // takes the -platform the Wine run names
    ConsoleOutputTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ConsoleOutputTest.moc"
