#include "window/ControllerTableModel.h"

#include <QAbstractProxyModel>
#include <QItemSelectionModel>
#include <QTableView>

#include "window/Controls.h"
#include "window/MainController.h"

namespace salvora {

ControllerTableModel::ControllerTableModel(MainController& controller,
                                           std::vector<TableColumn> columns)
    : controller_(controller), columns_(std::move(columns)) {}

int ControllerTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows();
}

int ControllerTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ControllerTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columnCount()) return {};
    return value(columns_[static_cast<std::size_t>(index.column())].identifier, index.row(), role);
}

QVariant ControllerTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    const TableColumn& column = columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return column.title;
    if (role == ColumnIdentifierRole) return column.identifier;
    return {};
}

void ControllerTableModel::reload() {
    beginResetModel();
    endResetModel();
}

void bindTable(MainController& controller, QTableView& table, ControllerTableModel* model,
               QAbstractProxyModel* shownThrough) {
    model->setParent(&table);
    if (shownThrough != nullptr) {
        shownThrough->setParent(&table);
        shownThrough->setSourceModel(model);
        table.setModel(shownThrough);
    } else {
        table.setModel(model);
    }
    QObject::connect(table.selectionModel(), &QItemSelectionModel::selectionChanged, &controller,
                     [model, &table] { model->selected(selectedRow(table)); });
}

void reloadData(QTableView& table) {
    QAbstractItemModel* shown = table.model();
    if (auto* proxy = qobject_cast<QAbstractProxyModel*>(shown)) shown = proxy->sourceModel();
    if (auto* model = qobject_cast<ControllerTableModel*>(shown)) model->reload();
}

}  // namespace salvora
