// The program entry: one running instance, the about window as a splash, the main window.
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "app/WorkDir.h"
#include "app/ui/Application.h"
#include "app/ui/PdfCommand.h"
#include "app/ui/QtTranslations.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/uniAbout.h"
#include "app/ui/uniVelko.h"
#include "base/ui/QtText.h"
#include "detail/ui/uniSyosai.h"

namespace {

// On an X11 or Wayland desktop the windows need a display to connect to; without one Qt
// would abort with an English message about its platform plugin. A chosen platform
// (QT_QPA_PLATFORM=offscreen …) is the caller's business.
bool DisplayMissing()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
           qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    using namespace furlox;
    using namespace furlox::ui;
    // A PDF written from a script needs no display: the platform is chosen before the
    // application object exists.
#ifndef Q_OS_WIN
    // (On Windows the system's own platform always works without showing a window, and the
    // Windows Qt has no "offscreen".)
    if (PdfRequested(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    if (DisplayMissing()) {
        std::fputs("furlox: 画面（ディスプレイ）が見つからないため、ウィンドウを開けません。\n"
                   "デスクトップから起動するか、画面のない環境では furlox-cli を使ってください。\n",
                   stderr);
        return 1;
    }
    FurloxApplication app(argc, argv);
    InstallQtTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Furlox Plus"));
    parser.addHelpOption();
    QCommandLineOption workDirOption(QStringLiteral("workdir"),
                                     QStringLiteral("Folder that holds the race data."),
                                     QStringLiteral("DIR"));
    parser.addOption(workDirOption);
    QCommandLineOption raceOption(QStringLiteral("race"),
                                  QStringLiteral("Show this race (0-based index) at start."),
                                  QStringLiteral("RACE"));
    parser.addOption(raceOption);
    QCommandLineOption horseOption(QStringLiteral("horse"),
                                   QStringLiteral("Open the detail window of this horse number."),
                                   QStringLiteral("K"));
    parser.addOption(horseOption);
    QCommandLineOption pdfOption(QStringLiteral("pdf"),
                                 QStringLiteral("Write the race card of --race RACE or of --all "
                                                "races to this PDF file and exit."),
                                 QStringLiteral("FILE"));
    parser.addOption(pdfOption);
    QCommandLineOption allOption(QStringLiteral("all"), QStringLiteral("With --pdf: every race."));
    parser.addOption(allOption);
    parser.addPositionalArgument(QStringLiteral("archive"),
                                 QStringLiteral("An LHA archive of race data to open."));
    // A script's usage error exits 2, as furlox-cli does; process() would exit 1.
    if (PdfRequested(argc, argv) && !parser.parse(app.arguments())) {
        std::fprintf(stderr, "furlox: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    parser.process(app);
    const bool pdf = parser.isSet(pdfOption);
    const std::filesystem::path programFolder =
        furlox::ui::PathOf(QCoreApplication::applicationDirPath());
    std::filesystem::path workDir = programFolder;
    if (parser.isSet(workDirOption)) {
        workDir = furlox::ui::PathOf(parser.value(workDirOption));
    } else {
        // The per-user data folder may fail to be made: say so (on stderr for a script) and
        // go on with the program's folder, where each action reports what it cannot do.
        const auto toStderr = [](const QString& text) {
            std::fprintf(stderr, "furlox: %s\n", qPrintable(text));
        };
        Guarded([&] { workDir = ChooseWorkDir(programFolder); },
                pdf ? std::function<void(const QString&)>(toStderr) : ShowError);
    }
    if (pdf) {
        return RunPdfCommand(workDir, parser.value(pdfOption), parser.isSet(allOption),
                             parser.isSet(raceOption)
                                 ? std::optional<QString>(parser.value(raceOption))
                                 : std::nullopt);
    }

    // A second start for the same work directory hands its archive to the instance running on
    // it (which opens it) and ends; a start for another folder runs on its own.
    QString archive;
    if (!parser.positionalArguments().isEmpty()) {
        archive = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    }
    SingleInstance instance(InstanceName(workDir));
    if (!instance.Start(archive)) {
        if (instance.HandedOver()) {
            return 0;
        }
        // Never end without a word: another start holds the name and does not answer.
        QMessageBox::warning(
            nullptr, QStringLiteral("Furlox Plus"),
            QStringLiteral("Furlox Plus はすでに起動していますが、応答がありません。\n"
                           "起動中のウィンドウを閉じるか、しばらく待ってから"
                           "もう一度起動してください。"));
        return 1;
    }

    // The splash closes (and deletes itself) when it loses the activation, which may happen
    // while the start-up archive is opened: the guarded pointer then turns null.
    const QPointer<TfrmAbout> splash = new TfrmAbout();
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->repaint();
    app.processEvents();

    TfrmVelko::Options options;
    options.workDir = workDir;
    options.archive = archive;
    TfrmVelko main(options);
    TfrmSyosai detail;
    main.AttachDetailWindow(&detail);
    QObject::connect(&instance, &SingleInstance::activationRequested, &main, [&main] {
        if (main.isMinimized()) {
            main.showNormal();
        }
        main.raise();
        main.activateWindow();
    });
    QObject::connect(&instance, &SingleInstance::archiveRequested, &main,
                     &TfrmVelko::OpenHandedArchive);
    main.show();
    main.activateWindow();
    // Start-up options are user actions too: an error is reported and the program runs on.
    std::optional<int> race;
    std::optional<int> horse;
    if (parser.isSet(raceOption)) {
        race = parser.value(raceOption).toInt();
    }
    if (parser.isSet(horseOption)) {
        horse = parser.value(horseOption).toInt();
    }
    main.ApplyStartOptions(race, horse);
    // Without a window manager nothing takes the activation away from the splash.
    if (splash) {
        QTimer::singleShot(2500, splash.data(), &QWidget::close);
    }
    return app.exec();
}
