#include "CatalogueCommandLine.h"

#include "AppDiscovery.h"
#include "AppSettings.h"
#include "FreedesktopTrash.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>

#include <cstring>

CatalogueCommandLine::CatalogueCommandLine(QCommandLineParser& parser)
    : m_parser(parser)
    , m_listApps(QStringLiteral("list-apps"),
                 QCoreApplication::translate(
                     "CommandLine", "Print the launcher's applications, one per line as "
                                    "name<TAB>identifier<TAB>path in display order, and exit."))
    , m_root(QStringLiteral("root"),
             QCoreApplication::translate(
                 "CommandLine",
                 "Look for application bundles in <dir>/Applications, "
                 "<dir>/System/Applications and <dir>/System/Applications/Utilities instead of "
                 "the same folders at the file-system root. Desktop entries and settings still "
                 "follow the XDG variables."),
             QCoreApplication::translate("CommandLine", "dir"))
    , m_hidden(QStringLiteral("hidden"),
               QCoreApplication::translate("CommandLine",
                                           "With --list-apps, print the applications hidden "
                                           "from the launcher instead, by name.")) {
    m_parser.addOption(m_listApps);
    m_parser.addOption(m_root);
    m_parser.addOption(m_hidden);
}

bool CatalogueCommandLine::listRequested() const {
    return m_parser.isSet(m_listApps);
}

QString CatalogueCommandLine::error() const {
    if (!m_parser.isSet(m_root))
        return {};
    const QString root = m_parser.value(m_root);
    if (!QFileInfo(root).isDir())
        return QCoreApplication::translate("CommandLine", "--root: %1 is not a folder").arg(root);
    return {};
}

CatalogueRoots CatalogueCommandLine::roots() const {
    return CatalogueRoots::system(
        m_parser.isSet(m_root) ? QFileInfo(m_parser.value(m_root)).absoluteFilePath() : QString());
}

int CatalogueCommandLine::listApps(AppSettings& settings, std::FILE* out) const {
    FreedesktopTrash trash;
    AppDiscovery discovery(settings, roots(), trash);
    QEventLoop loop;
    QObject::connect(&discovery, &AppDiscovery::scanFinished, &loop, &QEventLoop::quit);
    discovery.setIsLoading(true);
    discovery.loadApplications();
    loop.exec();

    QByteArray text;
    const AppList apps =
        m_parser.isSet(m_hidden) ? discovery.hiddenApplications() : discovery.applications();
    for (const AppItem& app : apps) {
        text += escapeListingField(app.name).toUtf8() + '\t' +
                escapeListingField(app.bundleIdentifier).toUtf8() + '\t' +
                escapeListingField(app.path).toUtf8() + '\n';
    }
    const bool written =
        std::fwrite(text.constData(), 1, size_t(text.size()), out) == size_t(text.size()) &&
        std::fflush(out) == 0;
    return written ? 0 : 1;
}

void CatalogueCommandLine::preferHeadlessPlatform(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    const bool hasDisplay =
        qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool listing = std::strcmp(arg, "--list-apps") == 0;
        const bool help = std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0 ||
                          std::strcmp(arg, "--help-all") == 0 || std::strcmp(arg, "-?") == 0;
        if (listing || (help && !hasDisplay)) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            return;
        }
    }
}

QString escapeListingField(const QString& field) {
    QString escaped;
    escaped.reserve(field.size());
    for (const QChar c : field) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        case u'\t':
            escaped += QStringLiteral("\\t");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        case u'\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                escaped += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    return escaped;
}
