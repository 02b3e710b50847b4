#include "window/ControllerTableModel.h"

#include <QAbstractProxyModel>
#include <QItemSelectionModel>
#include <QTableView>

#include "window/DeviceDetails.h"
#include "window/MainController.h"
#include "window/QtText.h"

namespace salvora {

ControllerTableModel::ControllerTableModel(MainController& controller, const QTableView& table,
                                           std::vector<TableColumn> columns, QObject* parent)
    : QAbstractTableModel(parent),
      controller_(controller),
      table_(table),
      columns_(std::move(columns)) {}

int ControllerTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return controller_.numberOfRowsInTableView(&table_);
}

int ControllerTableModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(columns_.size());
}

QVariant ControllerTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columnCount()) return {};
    // The application table's icon and tooltip come with the look of its rows.
    if (role != Qt::DisplayRole && &table_ == controller_.applicationTable)
        return controller_.applicationRowLook(index.row(), role);
    const QString identifier =
        headerData(index.column(), Qt::Horizontal, ColumnIdentifierRole).toString();
    if (role == Qt::ToolTipRole) return controller_.toolTipForRow(&table_, index.row());
    // The lock of an encrypted backup goes before its name.
    const bool locked =
        identifier == toQString(DeviceName) && controller_.isEncryptedRow(&table_, index.row());
    if (role == Qt::DecorationRole && locked) return lockIcon();
    if (role == Qt::AccessibleDescriptionRole && locked) return tr("Encrypted");
    if (role != Qt::DisplayRole) return {};
    std::optional<QString> value =
        controller_.objectValueForTableColumn(&table_, identifier, index.row());
    if (!value) return {};
    return *value;
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

void bindTable(MainController& controller, QTableView& table, std::vector<TableColumn> columns,
               QAbstractProxyModel* shownThrough) {
    auto* model = new ControllerTableModel(controller, table, std::move(columns), &table);
    if (shownThrough != nullptr) {
        shownThrough->setParent(&table);
        shownThrough->setSourceModel(model);
        table.setModel(shownThrough);
    } else {
        table.setModel(model);
    }
    QObject::connect(table.selectionModel(), &QItemSelectionModel::selectionChanged, &controller,
                     [&controller, &table] { controller.tableViewSelectionDidChange(&table); });
}

void reloadData(QTableView& table) {
    QAbstractItemModel* shown = table.model();
    if (auto* proxy = qobject_cast<QAbstractProxyModel*>(shown)) shown = proxy->sourceModel();
    if (auto* model = qobject_cast<ControllerTableModel*>(shown)) model->reload();
}

}  // namespace salvora
