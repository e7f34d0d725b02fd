#pragma once

#include "GridPageModel.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

#include <vector>

// The pages of the grid, one row per page, each row handing out its page's
// cell model. A page model lives as long as its page exists, so the page keeps
// its hover state across updates of the grid.
class GridPageListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Pages are made by PagedGrid")

public:
    enum Role { PageRole = Qt::UserRole + 1, PageIndexRole };

    explicit GridPageListModel(QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    // Adds or removes pages at the end; the pages that stay keep their models.
    void resize(int pageCount);
    [[nodiscard]] int count() const { return static_cast<int>(m_pages.size()); }
    [[nodiscard]] GridPageModel* page(int index) const;
    [[nodiscard]] const std::vector<GridPageModel*>& pages() const { return m_pages; }

private:
    // Owned through the QObject tree; removed pages are deleted later because
    // views may still hold them while they take their delegates down.
    std::vector<GridPageModel*> m_pages;
};
