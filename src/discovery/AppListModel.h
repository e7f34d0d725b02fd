#pragma once

#include "AppItem.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

// A list of applications for QML views. setApps() turns the old list into the
// new one by removing, moving and inserting rows, so views keep their delegates
// (and can animate) when the catalogue is filtered, reordered or rescanned;
// rows are matched by path and name, which survive a rescan.
class AppListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        AppIdRole = Qt::UserRole + 1,
        NameRole,
        BundleIdentifierRole,
        PathRole,
        IconSourceRole,
    };
    Q_ENUM(Role)

    explicit AppListModel(QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] int count() const { return int(m_apps.size()); }
    [[nodiscard]] const AppList& apps() const { return m_apps; }
    // Row of the application with this UUID text, or -1.
    [[nodiscard]] Q_INVOKABLE int indexOfId(const QString& appId) const;

    void setApps(const AppList& apps);

Q_SIGNALS:
    void countChanged();

private:
    void resetTo(const AppList& apps);
    [[nodiscard]] bool transformTo(const AppList& apps);

    AppList m_apps;
};
