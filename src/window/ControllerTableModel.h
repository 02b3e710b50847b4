#pragma once

// What the three tables' models share: the columns, told apart by their identifiers, and a
// reload that is a model reset. Each table has a model of its own over the controller's
// answers for that table, asked each time the table wants them: nothing is copied.
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

class ControllerTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    ControllerTableModel(MainController& controller, std::vector<TableColumn> columns);

    int rowCount(const QModelIndex& parent = {}) const final;
    int columnCount(const QModelIndex& parent = {}) const final;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const final;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const final;

    // The table asks again for its rows and every cell it shows.
    void reload();
    // The table's selection changed: `row` alone is selected, or -1.
    virtual void selected(int row) = 0;

  protected:
    // Queries only: Qt asks them at any time, as often as it likes.
    virtual int rows() const = 0;
    // What the row's cell in the column with this identifier shows in the role.
    virtual QVariant value(const QString& columnIdentifier, int row, int role) const = 0;

    MainController& controller() const { return controller_; }

  private:
    MainController& controller_;
    std::vector<TableColumn> columns_;
};

// Shows the table's rows through `model` (which the table then owns) and tells the model when
// its selection changes, as the window layout does for each of its three tables;
// `shownThrough`, when given, is a proxy the table shows the rows through, which the table
// owns too.
void bindTable(MainController& controller, QTableView& table, ControllerTableModel* model,
               QAbstractProxyModel* shownThrough = nullptr);

// Reloads a table bound to the controller.
void reloadData(QTableView& table);

}  // namespace salvora
