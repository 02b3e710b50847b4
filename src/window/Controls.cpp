#include "window/Controls.h"

#include <QAbstractProxyModel>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QTableView>
#include <algorithm>

namespace salvora {

QColor openStepColour() { return QColor(Qt::black); }

QColor unreachableStepColour() {
    constexpr double level = 2.0 / 3.0;
    return QColor::fromRgbF(level, level, level);
}

void setCaptionColour(QLabel& caption, const QColor& colour) {
    QPalette palette = caption.palette();
    palette.setColor(QPalette::WindowText, colour);
    caption.setPalette(palette);
}

QColor captionColour(const QLabel& caption) {
    return caption.palette().color(QPalette::WindowText);
}

void startSpinning(QProgressBar& indicator) { indicator.setRange(0, 0); }

void stopSpinning(QProgressBar& indicator) {
    indicator.setRange(0, 1);
    indicator.setValue(0);
}

bool isSpinning(const QProgressBar& indicator) {
    return indicator.minimum() == 0 && indicator.maximum() == 0;
}

namespace {

// A table may show the controller's rows through a proxy that narrows and orders them; the
// controller counts in its own rows.
const QAbstractProxyModel* proxyOf(const QTableView& table) {
    return qobject_cast<const QAbstractProxyModel*>(table.model());
}

QModelIndex controllerIndex(const QTableView& table, const QModelIndex& shown) {
    const QAbstractProxyModel* proxy = proxyOf(table);
    return proxy != nullptr ? proxy->mapToSource(shown) : shown;
}

}  // namespace

int selectedRow(const QTableView& table) {
    const std::vector<int> rows = selectedRows(table);
    return rows.size() == 1 ? rows.front() : -1;
}

std::vector<int> selectedRows(const QTableView& table) {
    const QItemSelectionModel* selection = table.selectionModel();
    if (selection == nullptr) return {};
    std::vector<int> rows;
    for (const QModelIndex& index : selection->selectedIndexes())
        rows.push_back(controllerIndex(table, index).row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void deselectRow(QTableView& table, int row) {
    if (row < 0 || table.model() == nullptr) return;
    const QAbstractProxyModel* proxy = proxyOf(table);
    const QModelIndex shown = proxy != nullptr
                                  ? proxy->mapFromSource(proxy->sourceModel()->index(row, 0))
                                  : table.model()->index(row, 0);
    // A row the filter hides is not selected.
    if (!shown.isValid()) return;
    table.selectionModel()->select(shown,
                                   QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void deselectAll(QTableView& table) { table.clearSelection(); }

}  // namespace salvora
