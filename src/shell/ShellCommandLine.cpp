#include "ShellCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTemporaryFile>

#include <cstring>
#include <memory>

ShellCommandLine::ShellCommandLine(QCommandLineParser& parser)
    : m_parser(parser)
    , m_toggle(QStringLiteral("toggle"),
               QCoreApplication::translate(
                   "CommandLine", "Show or hide the running launcher (starts it when none runs)."))
    , m_background(
          QStringLiteral("background"),
          QCoreApplication::translate(
              "CommandLine", "Start resident and hidden; F4 or --toggle shows the launcher."))
    , m_screenshot(QStringLiteral("screenshot"),
                   QCoreApplication::translate("CommandLine",
                                               "Render the launcher to a PNG file and exit; works "
                                               "without a display."),
                   QCoreApplication::translate("CommandLine", "file")) {
    m_parser.addOption(m_toggle);
    m_parser.addOption(m_background);
    m_parser.addOption(m_screenshot);
}

LaunchOptions ShellCommandLine::options(const CatalogueRoots& roots) const {
    LaunchOptions options;
    options.roots = roots;
    options.toggle = m_parser.isSet(m_toggle);
    options.background = m_parser.isSet(m_background);
    options.screenshotPath = m_parser.value(m_screenshot);
    return options;
}

void ShellCommandLine::prepareScreenshotPlatform(int argc, char** argv) {
    bool screenshot = false;
    for (int i = 1; i < argc && !screenshot; ++i)
        screenshot = std::strcmp(argv[i], "--screenshot") == 0 ||
                     std::strncmp(argv[i], "--screenshot=", 13) == 0;
    if (!screenshot)
        return;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool hasDisplay =
        qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    const bool headless = platform.isEmpty() ? !hasDisplay : platform == "offscreen";
    if (!headless)
        return;
    // The platform reads its screens from a file when the application starts; the
    // file lives as long as the process.
    static std::unique_ptr<QTemporaryFile> config;
    config = std::make_unique<QTemporaryFile>();
    if (!config->open())
        return;
    config->write(
        QStringLiteral(
            R"({"windowFrameMargins": false, "screens": [{"name": "screenshot", "x": 0, "y": 0,
        "width": %1, "height": %2, "logicalDpiX": 96, "logicalDpiY": 96, "dpr": 1}]})")
            .arg(headlessScreenSize.width())
            .arg(headlessScreenSize.height())
            .toUtf8());
    config->flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config->fileName().toLocal8Bit());
}
