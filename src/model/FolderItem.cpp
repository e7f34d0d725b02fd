#include "FolderItem.h"

#include "UuidText.h"

#include <QJsonArray>

QJsonObject FolderItem::toJson() const {
    return QJsonObject{
        {QStringLiteral("id"), uuidText(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("appBundleIds"), QJsonArray::fromStringList(appBundleIds)},
    };
}

std::optional<FolderItem> FolderItem::fromJson(const QJsonValue& value) {
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue id = object.value(QStringLiteral("id"));
    const QJsonValue name = object.value(QStringLiteral("name"));
    const QJsonValue members = object.value(QStringLiteral("appBundleIds"));
    if (!id.isString() || !name.isString() || !members.isArray())
        return std::nullopt;

    const std::optional<QUuid> uuid = parseUuidText(id.toString());
    if (!uuid)
        return std::nullopt;

    FolderItem folder{*uuid, name.toString(), {}};
    const QJsonArray array = members.toArray();
    folder.appBundleIds.reserve(array.size());
    for (const QJsonValue& member : array) {
        if (!member.isString())
            return std::nullopt;
        folder.appBundleIds.append(member.toString());
    }
    return folder;
}
