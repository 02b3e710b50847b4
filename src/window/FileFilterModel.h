#pragma once

// The file table as the user narrows and orders it: a proxy over the controller's rows that
// keeps the rows whose path holds the filter text (letter case ignored) in the order of the
// chosen column. Paths are compared as they lie where they are ASCII (folded only where they are
// not), and a longer filter only searches the rows the shorter one kept, so typing stays
// instant on hundreds of thousands of rows.
#include <QAbstractProxyModel>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace salvora {

class MainController;

class FileFilterModel final : public QAbstractProxyModel {
    Q_OBJECT
  public:
    FileFilterModel(const MainController& controller, QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* source) override;

    // Keeps only the rows whose path holds `text`, letter case ignored; empty keeps all.
    void setFilterText(const QString& text);
    const QString& filterText() const { return filterText_; }

    // Column -1: the order the controller lists the rows in.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    void rebuild();
    // Puts every source row in the order of the sort column.
    void orderRows();
    // Changes the rows shown, keeping the selection on the rows that stay.
    void relayout(const std::function<void()>& change);
    void applyFilter(const std::vector<int>& candidates);
    // Makes the folded paths once the first sort by path needs them.
    void foldPaths();
    std::string_view foldedPath(int row) const;

    const MainController& controller_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    QString filterText_;
    std::string foldedFilter_;
    std::vector<int> ordered_;     // every source row, in the chosen order
    std::vector<int> shown_;       // the rows kept by the filter, in that order
    std::vector<int> shownRowOf_;  // source row to shown row, or -1
    // Every source row's path, UTF-8 with letter case folded, one after the other in one
    // block, and where each ends.
    std::string foldedPaths_;
    std::vector<std::size_t> foldedEnds_;
};

}  // namespace salvora
