#include "AppSettings.h"

#include "DefaultsStore.h"
#include "QSettingsDefaultsStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

#include <algorithm>

namespace {

// A stored value is usable only when it is a data blob holding a JSON array.
std::optional<QJsonArray> readArray(const QVariant& stored) {
    if (stored.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(stored.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    return document.array();
}

std::optional<QStringList> decodeStrings(const QVariant& stored) {
    const std::optional<QJsonArray> array = readArray(stored);
    if (!array)
        return std::nullopt;
    QStringList strings;
    strings.reserve(array->size());
    for (const QJsonValue& value : *array) {
        if (!value.isString())
            return std::nullopt;
        strings.append(value.toString());
    }
    return strings;
}

std::optional<FolderList> decodeFolders(const QVariant& stored) {
    const std::optional<QJsonArray> array = readArray(stored);
    if (!array)
        return std::nullopt;
    FolderList folders;
    folders.reserve(array->size());
    for (const QJsonValue& value : *array) {
        std::optional<FolderItem> folder = FolderItem::fromJson(value);
        if (!folder)
            return std::nullopt;
        folders.append(std::move(*folder));
    }
    return folders;
}

QByteArray encode(const QJsonArray& array) {
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

void printLine(const QString& line) {
    QTextStream out(stdout);
    out << line << Qt::endl;
}

} // namespace

AppSettings::AppSettings(DefaultsStore& store, QObject* parent)
    : QObject(parent)
    , m_store(store) {
    // Each key loads on its own; a value that is present but unreadable loads as
    // empty and is remembered so that the first save can keep it aside.
    const auto load = [this](const QString& key, auto decode, auto& target) {
        const QVariant stored = m_store.value(key);
        if (!stored.isValid())
            return;
        if (auto decoded = decode(stored))
            target = std::move(*decoded);
        else
            m_unreadable.insert(key, stored);
    };

    load(customAppOrderKey, decodeStrings, m_customAppOrder);
    QStringList hidden;
    load(hiddenAppsKey, decodeStrings, hidden);
    m_hiddenApps = QSet<QString>(hidden.cbegin(), hidden.cend());
    load(foldersKey, decodeFolders, m_folders);
    rebuildFolderMembers();
}

AppSettings::~AppSettings() = default;

AppSettings& AppSettings::shared() {
    // Function-local statics are initialised once, thread-safely, and live to
    // the end of the process.
    static QSettingsDefaultsStore store;
    static AppSettings settings(store);
    return settings;
}

void AppSettings::setCustomAppOrder(const QStringList& order) {
    m_customAppOrder = order;
    Q_EMIT customAppOrderChanged();
    save(customAppOrderKey, encode(QJsonArray::fromStringList(m_customAppOrder)));
}

QStringList AppSettings::hiddenAppList() const {
    QStringList list(m_hiddenApps.cbegin(), m_hiddenApps.cend());
    // Set order carries no meaning; sorting keeps the stored file stable.
    std::sort(list.begin(), list.end());
    return list;
}

void AppSettings::setHiddenApps(const QSet<QString>& hidden) {
    m_hiddenApps = hidden;
    Q_EMIT hiddenAppsChanged();
    save(hiddenAppsKey, encode(QJsonArray::fromStringList(hiddenAppList())));
}

void AppSettings::setFolders(const FolderList& folders) {
    m_folders = folders;
    rebuildFolderMembers();
    Q_EMIT foldersChanged();
    QJsonArray array;
    for (const FolderItem& folder : m_folders)
        array.append(folder.toJson());
    save(foldersKey, encode(array));
}

std::optional<FolderItem> AppSettings::folder(const QUuid& id) const {
    for (const FolderItem& folder : m_folders) {
        if (folder.id == id)
            return folder;
    }
    return std::nullopt;
}

void AppSettings::hideApp(const QString& bundleId) {
    QSet<QString> hidden = m_hiddenApps;
    hidden.insert(bundleId);
    setHiddenApps(hidden);
}

void AppSettings::unhideApp(const QString& bundleId) {
    QSet<QString> hidden = m_hiddenApps;
    hidden.remove(bundleId);
    setHiddenApps(hidden);
}

FolderItem AppSettings::createFolder(const QString& name, const QStringList& appBundleIds) {
    const FolderItem folder{QUuid::createUuid(), name, appBundleIds};
    FolderList folders = m_folders;
    folders.append(folder);
    setFolders(folders);
    return folder;
}

void AppSettings::deleteFolder(const QUuid& id) {
    FolderList folders = m_folders;
    folders.removeIf([&id](const FolderItem& folder) { return folder.id == id; });
    setFolders(folders);
}

void AppSettings::renameFolder(const QUuid& id, const QString& name) {
    FolderList folders = m_folders;
    const auto it = std::find_if(folders.begin(), folders.end(),
                                 [&id](const FolderItem& folder) { return folder.id == id; });
    if (it == folders.end())
        return;
    it->name = name;
    setFolders(folders);
}

void AppSettings::addAppToFolder(const QUuid& folderId, const QString& bundleId) {
    FolderList folders = m_folders;
    const auto it = std::find_if(folders.begin(), folders.end(),
                                 [&folderId](const FolderItem& f) { return f.id == folderId; });
    if (it == folders.end() || it->appBundleIds.contains(bundleId))
        return;
    it->appBundleIds.append(bundleId);
    setFolders(folders);
}

void AppSettings::removeAppFromFolder(const QUuid& folderId, const QString& bundleId) {
    FolderList folders = m_folders;
    const auto it = std::find_if(folders.begin(), folders.end(),
                                 [&folderId](const FolderItem& f) { return f.id == folderId; });
    if (it == folders.end())
        return;
    it->appBundleIds.removeAll(bundleId);
    setFolders(folders);

    const std::optional<FolderItem> after = folder(folderId);
    if (after && after->appBundleIds.isEmpty())
        deleteFolder(folderId);
}

bool AppSettings::isAppInFolder(const QString& bundleId) const {
    return m_folderMembers.contains(bundleId);
}

void AppSettings::rebuildFolderMembers() {
    m_folderMembers.clear();
    for (const FolderItem& folder : m_folders) {
        for (const QString& member : folder.appBundleIds)
            m_folderMembers.insert(member);
    }
}

void AppSettings::save(const QString& key, const QByteArray& data) {
    const auto unreadable = m_unreadable.constFind(key);
    if (unreadable != m_unreadable.cend()) {
        // Never overwrite a value we could not read without keeping it: pick the
        // first free backup key so earlier backups survive too.
        QString backupKey = key + QStringLiteral(".unreadable");
        for (int n = 2; m_store.value(backupKey).isValid(); ++n)
            backupKey = key + QStringLiteral(".unreadable.") + QString::number(n);
        if (!m_store.setValue(backupKey, unreadable.value())) {
            printLine(QStringLiteral("Could not keep the unreadable \"%1\" setting; it is left "
                                     "untouched")
                          .arg(key));
            return;
        }
        printLine(QStringLiteral("The stored \"%1\" setting could not be read; it was kept as "
                                 "\"%2\"")
                      .arg(key, backupKey));
        m_unreadable.erase(unreadable);
    }
    if (!m_store.setValue(key, data))
        printLine(QStringLiteral("Could not save the \"%1\" setting").arg(key));
}
