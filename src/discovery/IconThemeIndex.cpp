#include "IconThemeIndex.h"

#include "BoundedFileRead.h"
#include "DirectoryListing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr qint64 maxIndexThemeBytes = 4 * 1024 * 1024;
// More themes than this in one chain is a cycle or a broken theme.
constexpr int maxThemes = 16;

const QStringList iconSuffixes = {QStringLiteral(".png"), QStringLiteral(".svg"),
                                  QStringLiteral(".svgz"), QStringLiteral(".xpm")};

using IniGroups = QHash<QString, QHash<QString, QString>>;

// The names in `folder` that may be icon files, in byte order. A large theme
// holds thousands; what each one is, and whether it can be read, is asked
// only of the file chosen for an icon shown (isReadableFile).
QStringList filesIn(const QString& folder) {
    QStringList files;
    for (const DirectoryEntry& entry : listDirectory(QFile::encodeName(folder).toStdString())) {
        if (!entry.isDirectory)
            files.append(QString::fromStdString(entry.name));
    }
    return files;
}

// A file, or a link to one, that this user may read.
bool isReadableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

// The desktop-entry style key file of index.theme, without locale keys.
IniGroups parseIni(const QByteArray& data) {
    IniGroups groups;
    QString group;
    for (const QByteArray& rawLine : data.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        groups[group].insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return groups;
}

QStringList listValue(const QString& value) {
    QStringList items;
    for (const QString& item : value.split(u',', Qt::SkipEmptyParts)) {
        const QString trimmed = item.trimmed();
        if (!trimmed.isEmpty())
            items.append(trimmed);
    }
    return items;
}

int intValue(const QHash<QString, QString>& keys, const QString& key, int fallback) {
    bool ok = false;
    const int value = keys.value(key).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

QString stripIconSuffix(const QString& name) {
    for (const QString& suffix : iconSuffixes) {
        if (name.endsWith(suffix))
            return name.chopped(suffix.size());
    }
    return name;
}

} // namespace

IconThemeIndex::IconThemeIndex(const QStringList& themeFolders, const QStringList& pixmapFolders,
                               const QString& themeName)
    : m_themeFolders(themeFolders)
    , m_pixmapFolders(pixmapFolders) {
    // The lookup chain: the theme and its parents depth first, then the themes
    // of the big desktops, which draw most applications' icons when the
    // theme is a sparse one or not installed, and hicolor last whatever the
    // parents say. A theme that is not installed is left out.
    QStringList pending{themeName, QStringLiteral("Adwaita"), QStringLiteral("breeze")};
    QSet<QString> seen;
    QList<Theme> themes;
    while (!pending.isEmpty() && seen.size() < maxThemes) {
        const QString name = pending.takeFirst();
        if (name.isEmpty() || name.contains(u'/') || seen.contains(name) ||
            name == QStringLiteral("hicolor"))
            continue;
        seen.insert(name);
        Theme theme = readTheme(name);
        pending = theme.inherits + pending;
        if (theme.directories.isEmpty())
            continue;
        m_themeChain.append(name);
        themes.append(std::move(theme));
    }
    m_themeChain.append(QStringLiteral("hicolor"));
    themes.append(readTheme(QStringLiteral("hicolor")));

    m_icons.resize(themes.size());
    for (int i = 0; i < themes.size(); ++i)
        indexTheme(i, themes.at(i));

    for (const QString& folder : m_pixmapFolders) {
        for (const QString& file : filesIn(folder)) {
            const QString name = stripIconSuffix(file);
            if (name != file)
                m_pixmaps[name].append(folder + u'/' + file);
        }
    }
}

IconThemeIndex::Theme IconThemeIndex::readTheme(const QString& name) const {
    // The first index.theme found describes the theme; its directories are then
    // looked for under every base folder.
    for (const QString& base : m_themeFolders) {
        const std::optional<QByteArray> data = readBoundedFile(
            base + u'/' + name + QStringLiteral("/index.theme"), maxIndexThemeBytes);
        if (!data)
            continue;
        const IniGroups groups = parseIni(*data);
        const QHash<QString, QString> header = groups.value(QStringLiteral("Icon Theme"));
        Theme theme;
        theme.described = true;
        theme.inherits = listValue(header.value(QStringLiteral("Inherits")));
        const QStringList dirs = listValue(header.value(QStringLiteral("Directories"))) +
                                 listValue(header.value(QStringLiteral("ScaledDirectories")));
        for (const QString& dir : dirs) {
            if (theme.relativePaths.contains(dir) || !groups.contains(dir))
                continue;
            const QHash<QString, QString> keys = groups.value(dir);
            Directory directory;
            directory.size = intValue(keys, QStringLiteral("Size"), 0);
            if (directory.size == 0)
                continue;
            directory.scale = intValue(keys, QStringLiteral("Scale"), 1);
            directory.threshold = intValue(keys, QStringLiteral("Threshold"), 2);
            directory.minSize = intValue(keys, QStringLiteral("MinSize"), directory.size);
            directory.maxSize = intValue(keys, QStringLiteral("MaxSize"), directory.size);
            const QString type = keys.value(QStringLiteral("Type"));
            directory.type = type == QStringLiteral("Fixed")      ? SizeType::Fixed
                             : type == QStringLiteral("Scalable") ? SizeType::Scalable
                                                                  : SizeType::Threshold;
            theme.directories.append(directory);
            theme.relativePaths.append(dir);
        }
        return theme;
    }
    // Without an index.theme (hicolor on a system without its package, or a
    // theme folder added just for a few icons), sizes are read from the usual
    // folder names: "48x48/apps", "48x48@2/apps", "scalable/apps".
    for (const QString& base : m_themeFolders) {
        const Theme inferred = inferTheme(base + u'/' + name);
        if (!inferred.directories.isEmpty())
            return inferred;
    }
    return {};
}

IconThemeIndex::Theme IconThemeIndex::inferTheme(const QString& themeFolder) {
    static const QRegularExpression sizeName(QStringLiteral("^(\\d+)x\\1(?:@(\\d+))?$"));
    Theme theme;
    const QDir root(themeFolder);
    for (const QString& sizeDir : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        Directory directory;
        const QRegularExpressionMatch match = sizeName.match(sizeDir);
        if (match.hasMatch()) {
            directory.size = match.captured(1).toInt();
            directory.scale = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
            directory.type = SizeType::Fixed;
        } else if (sizeDir == QStringLiteral("scalable")) {
            directory.size = 128;
            directory.type = SizeType::Scalable;
        } else {
            continue;
        }
        if (directory.size <= 0 || directory.scale <= 0)
            continue;
        directory.minSize = directory.type == SizeType::Scalable ? 1 : directory.size;
        directory.maxSize = directory.type == SizeType::Scalable ? 1024 : directory.size;
        const QDir sized(root.filePath(sizeDir));
        for (const QString& context :
             sized.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            theme.directories.append(directory);
            theme.relativePaths.append(sizeDir + u'/' + context);
        }
    }
    return theme;
}

void IconThemeIndex::indexTheme(int themeIndex, const Theme& theme) {
    QHash<QString, QList<Candidate>>& icons = m_icons[themeIndex];
    const QString& themeName = m_themeChain.at(themeIndex);
    for (int i = 0; i < theme.directories.size(); ++i) {
        const int directoryIndex = int(m_directories.size());
        m_directories.append(theme.directories.at(i));
        for (const QString& base : m_themeFolders) {
            const QString folder = base + u'/' + themeName + u'/' + theme.relativePaths.at(i);
            const QStringList files = filesIn(folder);
            // Within one folder the standard extension order decides: png, svg, xpm.
            for (const QString& suffix : iconSuffixes) {
                for (const QString& file : files) {
                    if (file.endsWith(suffix) && file.size() > suffix.size())
                        icons[file.chopped(suffix.size())].append(
                            {directoryIndex, folder + u'/' + file});
                }
            }
        }
    }
}

int IconThemeIndex::score(const Directory& directory, int pixels) {
    // A folder made for the size comes first, then larger pictures from the
    // smallest up (they scale down cleanly), then smaller ones from the largest
    // down (they blur when scaled up).
    const int lowest = directory.type == SizeType::Fixed ? directory.size
                       : directory.type == SizeType::Scalable
                           ? directory.minSize
                           : directory.size - directory.threshold;
    const int highest = directory.type == SizeType::Fixed ? directory.size
                        : directory.type == SizeType::Scalable
                            ? directory.maxSize
                            : directory.size + directory.threshold;
    const int scale = directory.scale;
    if (scale == 1 && lowest <= pixels && pixels <= highest)
        return 0;
    const int actual = directory.size * scale;
    if (actual >= pixels)
        return 1 + (actual - pixels);
    constexpr int smallerPenalty = 1 << 20;
    return smallerPenalty + (pixels - actual);
}

QString IconThemeIndex::find(const QString& iconName, int pixels) const {
    if (iconName.isEmpty())
        return {};
    if (QDir::isAbsolutePath(iconName))
        return iconName;
    // Old entries name the file ("foo.png"); themes hold it by its bare name.
    const QString name = stripIconSuffix(iconName);
    for (const QHash<QString, QList<Candidate>>& theme : m_icons) {
        const auto found = theme.constFind(name);
        if (found == theme.constEnd())
            continue;
        // Best first; among equals, the order of the lookup. The first that
        // can be read wins: a dangling link gives way to the next best.
        std::vector<std::pair<int, const Candidate*>> ranked;
        for (const Candidate& candidate : *found)
            ranked.emplace_back(score(m_directories.at(candidate.directory), pixels), &candidate);
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [bestScore, candidate] : ranked) {
            if (isReadableFile(candidate->path))
                return candidate->path;
        }
    }
    for (const QString& file : m_pixmaps.value(name)) {
        if (isReadableFile(file))
            return file;
    }
    return {};
}
