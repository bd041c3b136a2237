// The program entry: one running instance, the about window as a splash, the main window.
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>
#include <optional>

#include "app/WorkDir.h"
#include "app/ui/Application.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/uniAbout.h"
#include "app/ui/uniVelko.h"
#include "detail/ui/uniSyosai.h"

int main(int argc, char** argv)
{
    using namespace furlox;
    using namespace furlox::ui;
    FurloxApplication app(argc, argv);

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
    parser.addPositionalArgument(QStringLiteral("archive"),
                                 QStringLiteral("An LHA archive of race data to open."));
    parser.process(app);

    // A second start hands its archive to the running instance (which opens it) and ends.
    QString archive;
    if (!parser.positionalArguments().isEmpty()) {
        archive = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    }
    SingleInstance instance(InstanceName());
    if (!instance.Start(archive)) {
        return 0;
    }

    auto* splash = new TfrmAbout();
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->repaint();
    app.processEvents();

    TfrmVelko::Options options;
    const std::filesystem::path programFolder =
        QCoreApplication::applicationDirPath().toStdString();
    options.workDir = programFolder;
    if (parser.isSet(workDirOption)) {
        options.workDir = parser.value(workDirOption).toStdString();
    } else {
        // The per-user data folder may fail to be made: say so and start on the program's
        // folder, where each action reports what it cannot do.
        Guarded([&] { options.workDir = ChooseWorkDir(programFolder); }, ShowError);
    }
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
    QTimer::singleShot(2500, splash, &QWidget::close);
    return app.exec();
}
