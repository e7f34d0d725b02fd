#include "BundleReader.h"

#include "BoundedFileRead.h"
#include "InfoPlist.h"

#include <QFileInfo>

namespace {

// Real Info.plist files are a few kilobytes; anything near this is not one.
constexpr qint64 maxInfoPlistBytes = 8 * 1024 * 1024;

QString iconPathFor(const QString& bundlePath, const QString& iconFile) {
    // The key names a file inside Resources; a path could point anywhere on disk.
    if (iconFile.isEmpty() || iconFile.contains(u'/') || iconFile == QStringLiteral(".") ||
        iconFile == QStringLiteral(".."))
        return {};
    const QString resources = bundlePath + QStringLiteral("/Contents/Resources/");
    const QString withExtension =
        iconFile.endsWith(QStringLiteral(".icns")) ? iconFile : iconFile + QStringLiteral(".icns");
    // The extension may be left out of the key; a name with some other extension
    // is taken as written when no ".icns" file of that name exists.
    if (withExtension != iconFile && !QFileInfo(resources + withExtension).isFile() &&
        QFileInfo(resources + iconFile).isFile())
        return resources + iconFile;
    return resources + withExtension;
}

} // namespace

QString bundleName(const QString& bundlePath) {
    QString name = bundlePath.section(u'/', -1, -1, QString::SectionSkipEmpty);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    return name;
}

std::optional<BundleRecord> readBundle(const QString& bundlePath) {
    const std::optional<QByteArray> data =
        readBoundedFile(bundlePath + QStringLiteral("/Contents/Info.plist"), maxInfoPlistBytes);
    if (!data)
        return std::nullopt;
    const std::optional<InfoPlist> info = InfoPlist::parse(*data);
    if (!info || info->bundleIdentifier.isEmpty())
        return std::nullopt;
    return BundleRecord{bundlePath, bundleName(bundlePath), info->bundleIdentifier,
                        iconPathFor(bundlePath, info->iconFile)};
}
