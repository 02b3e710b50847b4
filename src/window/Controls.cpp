#include "window/Controls.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QSet>
#include <QTableView>

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

int selectedRow(const QTableView& table) {
    const QItemSelectionModel* selection = table.selectionModel();
    if (selection == nullptr) return -1;
    QSet<int> rows;
    for (const QModelIndex& index : selection->selectedIndexes()) rows.insert(index.row());
    return rows.size() == 1 ? *rows.begin() : -1;
}

void deselectRow(QTableView& table, int row) {
    if (row < 0 || table.model() == nullptr) return;
    table.selectionModel()->select(table.model()->index(row, 0),
                                   QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void deselectAll(QTableView& table) { table.clearSelection(); }

}  // namespace salvora
