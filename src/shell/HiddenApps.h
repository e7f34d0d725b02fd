#pragma once

#include "AppItem.h"
#include "AppListModel.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

class AppDiscovery;
class AppSettings;

// What the user hid, to bring back from edit mode: the catalogue's hidden
// applications by name, narrowed by a search of their own. An application
// unhidden is back in the grid at once, where the order puts it.
class HiddenApps : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The main screen owns the hidden applications")
    Q_PROPERTY(AppListModel* apps READ apps CONSTANT)
    // All of them, whatever the search.
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)

public:
    HiddenApps(AppSettings& settings, AppDiscovery& discovery, QObject* parent = nullptr);

    [[nodiscard]] AppListModel* apps() { return &m_model; }
    [[nodiscard]] int count() const { return int(m_all.size()); }
    [[nodiscard]] const QString& searchText() const { return m_searchText; }
    void setSearchText(const QString& text);

    Q_INVOKABLE void unhide(const QString& appId);

Q_SIGNALS:
    void countChanged();
    void searchTextChanged();

private:
    void refresh();

    AppSettings& m_settings;
    AppDiscovery& m_discovery;
    AppList m_all;
    QString m_searchText;
    AppListModel m_model;
};
