#pragma once

// The rows and cells of one table, asked of the controller each time the table wants them:
// nothing is copied, and a reload is a model reset.
#include <QAbstractTableModel>
#include <QString>
#include <vector>

class QAbstractProxyModel;
class QTableView;

namespace salvora {

class MainController;

// The header data role under which each column carries its identifier.
inline constexpr int ColumnIdentifierRole = Qt::UserRole;

struct TableColumn {
    QString title;
    QString identifier;
};

class ControllerTableModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    ControllerTableModel(MainController& controller, const QTableView& table,
                         std::vector<TableColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The table asks again for its rows and every cell it shows.
    void reload();

  private:
    MainController& controller_;
    const QTableView& table_;
    std::vector<TableColumn> columns_;
};

// Makes the controller the data source and the delegate of the table, as the window layout
// does for each of its three tables; `shownThrough`, when given, is a proxy the table shows
// the rows through, which the table then owns.
void bindTable(MainController& controller, QTableView& table, std::vector<TableColumn> columns,
               QAbstractProxyModel* shownThrough = nullptr);

// Reloads a table bound to the controller.
void reloadData(QTableView& table);

}  // namespace salvora
