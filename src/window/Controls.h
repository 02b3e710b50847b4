#pragma once

// What the controller does to its captions, busy indicators and tables, in Qt's terms.
#include <QColor>
#include <vector>

class QLabel;
class QProgressBar;
class QTableView;

namespace salvora {

// Caption colours: black while a step is open, light grey (grey level 2/3) while it is not yet
// reachable.
QColor openStepColour();
QColor unreachableStepColour();
void setCaptionColour(QLabel& caption, const QColor& colour);
QColor captionColour(const QLabel& caption);

// A busy indicator spins while its range is 0 to 0; stopped, it is an empty bar.
void startSpinning(QProgressBar& indicator);
void stopSpinning(QProgressBar& indicator);
bool isSpinning(const QProgressBar& indicator);

// The one selected row of a table, or -1 when none (or more than one) is selected.
int selectedRow(const QTableView& table);
// Every selected row, ascending, in the controller's rows.
std::vector<int> selectedRows(const QTableView& table);
// Removes the row from the selection; -1 does nothing.
void deselectRow(QTableView& table, int row);
void deselectAll(QTableView& table);

}  // namespace salvora
