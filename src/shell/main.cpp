#include "AnimationClock.h"
#include "AppSettings.h"
#include "CatalogueCommandLine.h"
#include "ChannelClient.h"
#include "QuorlinApp.h"
#include "SceneGraphBackend.h"
#include "ShellCommandLine.h"
#include "UiTranslation.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QtQml/qqmlextensionplugin.h>

#include <cstring>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

int main(int argc, char* argv[]) {
    // A desktop's key binding runs "quorlin --toggle" on every press: that goes
    // to the running launcher before any of Qt starts, and the full start below
    // (which starts a launcher) follows only when none answers. Other arguments
    // may change what a start does, so only the bare command takes the short way.
    if (argc == 2 && std::strcmp(argv[1], "--toggle") == 0 &&
        ChannelClient::toggleRunningLauncher())
        return 0;
    CatalogueCommandLine::preferHeadlessPlatform(argc, argv);
    ShellCommandLine::prepareScreenshotPlatform(argc, argv);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("quorlin"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorlin.Quorlin")); // Wayland app id
    // Before anything builds a text, --help's included; LANG=de_DE.UTF-8 picks German.
    const std::unique_ptr<QTranslator> translation = loadUiTranslation(QLocale::system());
    if (translation)
        QCoreApplication::installTranslator(translation.get());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "Full-screen application launcher."));
    parser.addHelpOption();
    const CatalogueCommandLine catalogue(parser);
    const ShellCommandLine shell(parser);
    parser.process(app);
    if (const QString error = catalogue.error(); !error.isEmpty()) {
        std::fprintf(stderr, "quorlin: %s\n", qPrintable(error));
        return 2;
    }
    if (catalogue.listRequested())
        return catalogue.listApps(AppSettings::shared(), stdout);

    chooseSceneGraphBackend();
    installAnimationClock();
    QuorlinApp launcher(shell.options(catalogue.roots()));
    return launcher.exec();
}
