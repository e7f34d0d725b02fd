#pragma once

#include "FolderItem.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

class DefaultsStore;

// Every user choice that outlives the process: the manual order, the hidden
// applications and the folders. Each assignment notifies its observers once and
// writes its key once, whether or not the value changed. Loading writes nothing.
class AppSettings : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppSettings is owned by the application")
    Q_PROPERTY(QStringList customAppOrder READ customAppOrder NOTIFY customAppOrderChanged)
    Q_PROPERTY(QStringList hiddenApps READ hiddenAppList NOTIFY hiddenAppsChanged)

public:
    static inline const QString customAppOrderKey = QStringLiteral("customAppOrder");
    static inline const QString hiddenAppsKey = QStringLiteral("hiddenApps");
    static inline const QString foldersKey = QStringLiteral("folders");

    explicit AppSettings(DefaultsStore& store, QObject* parent = nullptr);
    ~AppSettings() override;

    // The process-wide instance over the user's store, made on first use.
    [[nodiscard]] static AppSettings& shared();

    [[nodiscard]] const QStringList& customAppOrder() const { return m_customAppOrder; }
    void setCustomAppOrder(const QStringList& order);

    [[nodiscard]] const QSet<QString>& hiddenApps() const { return m_hiddenApps; }
    [[nodiscard]] QStringList hiddenAppList() const;
    void setHiddenApps(const QSet<QString>& hidden);

    [[nodiscard]] const FolderList& folders() const { return m_folders; }
    void setFolders(const FolderList& folders);
    [[nodiscard]] std::optional<FolderItem> folder(const QUuid& id) const;

    // Arrangement operations. None reports failure: an unknown folder id does
    // nothing (deleteFolder still re-saves), and nothing is validated.
    Q_INVOKABLE void hideApp(const QString& bundleId);
    // Saves even when the identifier was not hidden, as every assignment does.
    Q_INVOKABLE void unhideApp(const QString& bundleId);
    FolderItem createFolder(const QString& name, const QStringList& appBundleIds);
    void deleteFolder(const QUuid& id);
    void renameFolder(const QUuid& id, const QString& name);
    void addAppToFolder(const QUuid& folderId, const QString& bundleId);
    void removeAppFromFolder(const QUuid& folderId, const QString& bundleId);
    [[nodiscard]] Q_INVOKABLE bool isAppInFolder(const QString& bundleId) const;

Q_SIGNALS:
    void customAppOrderChanged();
    void hiddenAppsChanged();
    void foldersChanged();

private:
    void save(const QString& key, const QByteArray& data);
    void rebuildFolderMembers();

    DefaultsStore& m_store;
    QStringList m_customAppOrder;
    QSet<QString> m_hiddenApps;
    FolderList m_folders;
    // Every identifier any folder lists, so isAppInFolder does not walk all
    // folders for every application of the grid.
    QSet<QString> m_folderMembers;
    // Stored values that could not be read, by key; kept aside before the first
    // save would overwrite them.
    QHash<QString, QVariant> m_unreadable;
};
