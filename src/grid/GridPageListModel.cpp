#include "GridPageListModel.h"

GridPageListModel::GridPageListModel(QObject* parent)
    : QAbstractListModel(parent) {}

int GridPageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant GridPageListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case PageRole:
        return QVariant::fromValue(static_cast<QObject*>(m_pages.at(index.row())));
    case PageIndexRole:
        return index.row();
    default:
        return {};
    }
}

QHash<int, QByteArray> GridPageListModel::roleNames() const {
    return {{PageRole, "page"}, {PageIndexRole, "pageIndex"}};
}

void GridPageListModel::resize(int pageCount) {
    const int current = count();
    if (pageCount > current) {
        beginInsertRows({}, current, pageCount - 1);
        for (int i = current; i < pageCount; ++i)
            m_pages.push_back(new GridPageModel(this));
        endInsertRows();
    } else if (pageCount < current) {
        beginRemoveRows({}, std::max(pageCount, 0), current - 1);
        for (int i = current - 1; i >= std::max(pageCount, 0); --i) {
            m_pages.back()->deleteLater();
            m_pages.pop_back();
        }
        endRemoveRows();
    }
}

GridPageModel* GridPageListModel::page(int index) const {
    if (index < 0 || index >= count())
        return nullptr;
    return m_pages.at(static_cast<size_t>(index));
}
