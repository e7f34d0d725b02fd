#pragma once

#include "CatalogueRoots.h"

#include <QCommandLineOption>
#include <QString>

#include <cstdio>

class AppSettings;
class QCommandLineParser;

// The command-line options that concern the catalogue: "--list-apps" prints the
// published catalogue and exits; "--root DIR" looks for bundles under DIR
// instead of the file-system root.
class CatalogueCommandLine {
public:
    // Adds the options to `parser`, which must outlive this object.
    explicit CatalogueCommandLine(QCommandLineParser& parser);

    // For after the parser has processed the arguments.
    [[nodiscard]] bool listRequested() const;
    // What is wrong with the options given, or empty.
    [[nodiscard]] QString error() const;
    [[nodiscard]] CatalogueRoots roots() const;

    // Scans, publishes with the user's hidden set and order, and writes one line
    // per application, "name<TAB>bundle identifier<TAB>path", in display order.
    // Needs a running application object; blocks until the scan is published.
    [[nodiscard]] int listApps(AppSettings& settings, std::FILE* out) const;

    // Before the application object exists: listing (or printing help without a
    // display) must not need a display, so those use the off-screen platform
    // unless the user chose one.
    static void preferHeadlessPlatform(int argc, char** argv);

private:
    QCommandLineParser& m_parser;
    QCommandLineOption m_listApps;
    QCommandLineOption m_root;
    QCommandLineOption m_hidden;
};

// A field of a listing line, with backslashes and control characters (tabs and
// newlines in a name) written as C escapes so that each line keeps three fields.
[[nodiscard]] QString escapeListingField(const QString& field);
