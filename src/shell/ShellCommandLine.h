#pragma once

#include "LaunchOptions.h"

#include <QCommandLineOption>
#include <QSize>

class QCommandLineParser;

// The command-line options of the launcher itself: "--toggle" shows or hides the
// running launcher (for desktops where the user binds the key), "--background"
// starts it hidden (the login autostart entry), "--screenshot FILE" renders the
// launcher to a PNG file and exits.
class ShellCommandLine {
public:
    // The screen a screenshot is rendered for when there is no display.
    static constexpr QSize headlessScreenSize{1920, 1080};

    // Adds the options to `parser`, which must outlive this object.
    explicit ShellCommandLine(QCommandLineParser& parser);

    // For after the parser has processed the arguments.
    [[nodiscard]] LaunchOptions options(const CatalogueRoots& roots) const;

    // Before the application object exists: a screenshot without a display is
    // rendered off screen, on a screen of headlessScreenSize rather than the
    // off-screen platform's small default one.
    static void prepareScreenshotPlatform(int argc, char** argv);

private:
    QCommandLineParser& m_parser;
    QCommandLineOption m_toggle;
    QCommandLineOption m_background;
    QCommandLineOption m_screenshot;
};
