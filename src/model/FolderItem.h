#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// A user-made folder. Its JSON object ("id", "name", "appBundleIds") is the
// stored form inside the "folders" settings value and must stay readable by
// every build.
struct FolderItem {
    QUuid id;
    QString name;
    QStringList appBundleIds;

    friend bool operator==(const FolderItem&, const FolderItem&) = default;

    [[nodiscard]] QJsonObject toJson() const;
    // Fails unless all three keys are present with their JSON types and "id" is
    // UUID text; extra keys are ignored.
    [[nodiscard]] static std::optional<FolderItem> fromJson(const QJsonValue& value);
};

using FolderList = QList<FolderItem>;
