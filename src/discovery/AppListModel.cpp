#include "AppListModel.h"

#include "AppIconSource.h"
#include "UuidText.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace {

QString rowKey(const AppItem& app) {
    return app.path + QChar(u'\0') + app.name;
}

// Positions (into `values`) of one longest strictly increasing subsequence.
std::vector<qsizetype> longestIncreasing(const std::vector<qsizetype>& values) {
    std::vector<qsizetype> tailValue;
    std::vector<qsizetype> tailIndex;
    std::vector<qsizetype> previous(values.size(), -1);
    for (size_t i = 0; i < values.size(); ++i) {
        const auto at = std::lower_bound(tailValue.begin(), tailValue.end(), values[i]);
        const size_t length = size_t(at - tailValue.begin());
        if (length > 0)
            previous[i] = tailIndex[length - 1];
        if (at == tailValue.end()) {
            tailValue.push_back(values[i]);
            tailIndex.push_back(qsizetype(i));
        } else {
            *at = values[i];
            tailIndex[length] = qsizetype(i);
        }
    }
    std::vector<qsizetype> chain;
    for (qsizetype i = tailIndex.empty() ? -1 : tailIndex.back(); i >= 0; i = previous[size_t(i)])
        chain.push_back(i);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

} // namespace

AppListModel::AppListModel(QObject* parent)
    : QAbstractListModel(parent) {}

int AppListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_apps.size());
}

QVariant AppListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const AppItem& app = m_apps.at(index.row());
    switch (role) {
    case AppIdRole:
        return uuidText(app.id);
    case Qt::DisplayRole:
    case NameRole:
        return app.name;
    case BundleIdentifierRole:
        return app.bundleIdentifier;
    case PathRole:
        return app.path;
    case IconSourceRole:
        return appIconSource(app);
    default:
        return {};
    }
}

QHash<int, QByteArray> AppListModel::roleNames() const {
    return {{AppIdRole, "appId"},
            {NameRole, "name"},
            {BundleIdentifierRole, "bundleIdentifier"},
            {PathRole, "path"},
            {IconSourceRole, "iconSource"}};
}

int AppListModel::indexOfId(const QString& appId) const {
    const std::optional<QUuid> id = parseUuidText(appId);
    if (!id)
        return -1;
    const auto found = std::find_if(m_apps.cbegin(), m_apps.cend(),
                                    [&id](const AppItem& app) { return app.id == *id; });
    return found == m_apps.cend() ? -1 : int(found - m_apps.cbegin());
}

void AppListModel::setApps(const AppList& apps) {
    const int oldCount = count();
    if (!transformTo(apps))
        resetTo(apps);
    if (count() != oldCount)
        Q_EMIT countChanged();
}

void AppListModel::resetTo(const AppList& apps) {
    beginResetModel();
    m_apps = apps;
    endResetModel();
}

bool AppListModel::transformTo(const AppList& apps) {
    QHash<QString, qsizetype> target;
    target.reserve(apps.size());
    for (qsizetype i = 0; i < apps.size(); ++i) {
        if (target.contains(rowKey(apps.at(i))))
            return false; // rows could not be told apart
        target.insert(rowKey(apps.at(i)), i);
    }
    QHash<QString, qsizetype> current;
    for (const AppItem& app : std::as_const(m_apps)) {
        if (current.contains(rowKey(app)))
            return false;
        current.insert(rowKey(app), 0);
    }

    // Rows on a longest run already in target order stay; every other kept row
    // moves once, in target order, to just after its target predecessor.
    std::vector<qsizetype> order;
    order.reserve(size_t(m_apps.size()));
    for (const AppItem& app : std::as_const(m_apps)) {
        const auto found = target.constFind(rowKey(app));
        if (found != target.constEnd())
            order.push_back(*found);
    }
    if (order.empty() && !m_apps.isEmpty() && !apps.isEmpty())
        return false; // unrelated lists: one reset says it best
    std::vector<bool> stays(order.size(), false);
    for (const qsizetype i : longestIncreasing(order))
        stays[size_t(i)] = true;
    const auto moving = qsizetype(std::count(stays.begin(), stays.end(), false));
    // A wholesale reorder (manual to alphabetical) is a new list, not a few moves.
    if (moving > std::max<qsizetype>(64, qsizetype(order.size()) / 2))
        return false;

    // Remove what goes, one contiguous run at a time, from the end.
    for (qsizetype row = m_apps.size() - 1; row >= 0;) {
        if (target.contains(rowKey(m_apps.at(row)))) {
            --row;
            continue;
        }
        qsizetype first = row;
        while (first > 0 && !target.contains(rowKey(m_apps.at(first - 1))))
            --first;
        beginRemoveRows({}, int(first), int(row));
        m_apps.remove(first, row - first + 1);
        endRemoveRows();
        row = first - 1;
    }

    std::vector<qsizetype> movers;
    for (size_t i = 0; i < order.size(); ++i) {
        if (!stays[i])
            movers.push_back(order[i]);
    }
    std::sort(movers.begin(), movers.end());
    // Kept rows whose target position is below a mover's are already in place
    // relative to each other by the time that mover is placed.
    std::vector<bool> placed(size_t(apps.size()), false);
    for (size_t i = 0; i < order.size(); ++i)
        placed[size_t(order[i])] = stays[i];
    for (const qsizetype targetRow : movers) {
        const QString key = rowKey(apps.at(targetRow));
        qsizetype from = 0;
        while (rowKey(m_apps.at(from)) != key)
            ++from;
        qsizetype to = 0; // the row after its nearest placed predecessor
        for (qsizetype t = targetRow - 1; t >= 0; --t) {
            if (!placed[size_t(t)])
                continue;
            const QString predecessor = rowKey(apps.at(t));
            while (rowKey(m_apps.at(to)) != predecessor)
                ++to;
            ++to;
            break;
        }
        if (from != to && from + 1 != to) {
            beginMoveRows({}, int(from), int(from), {}, int(to));
            m_apps.move(from, from < to ? to - 1 : to);
            endMoveRows();
        }
        placed[size_t(targetRow)] = true;
    }

    // Everything kept is now in target order; insert the newcomers in place.
    for (qsizetype row = 0; row < apps.size();) {
        if (row < m_apps.size() && rowKey(m_apps.at(row)) == rowKey(apps.at(row))) {
            ++row;
            continue;
        }
        qsizetype last = row;
        while (last + 1 < apps.size() && !current.contains(rowKey(apps.at(last + 1))))
            ++last;
        beginInsertRows({}, int(row), int(last));
        for (qsizetype i = row; i <= last; ++i)
            m_apps.insert(i, apps.at(i));
        endInsertRows();
        row = last + 1;
    }

    // Kept rows take the new record (a rescan gives new ids, so new icon URLs).
    qsizetype firstChanged = -1;
    qsizetype lastChanged = -1;
    for (qsizetype row = 0; row < apps.size(); ++row) {
        const AppItem& now = apps.at(row);
        AppItem& shown = m_apps[row];
        if (shown.id == now.id && shown.bundleIdentifier == now.bundleIdentifier &&
            shown.icon == now.icon)
            continue;
        shown = now;
        if (firstChanged < 0)
            firstChanged = row;
        lastChanged = row;
    }
    if (firstChanged >= 0)
        Q_EMIT dataChanged(index(int(firstChanged)), index(int(lastChanged)),
                           {AppIdRole, BundleIdentifierRole, IconSourceRole});
    return true;
}
