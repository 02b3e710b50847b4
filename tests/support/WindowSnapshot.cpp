#include "support/WindowSnapshot.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <sstream>

#include "window/Controls.h"
#include "window/MainController.h"

namespace salvora::test {
namespace {

void write(std::ostream& out, const QLabel& caption) {
    out << caption.objectName().toStdString()
        << " colour=" << captionColour(caption).name().toStdString() << '\n';
}

void write(std::ostream& out, const QProgressBar& indicator) {
    out << indicator.objectName().toStdString() << " hidden=" << indicator.isHidden()
        << " spinning=" << isSpinning(indicator) << '\n';
}

void write(std::ostream& out, const QPushButton& button) {
    out << button.objectName().toStdString() << " hidden=" << button.isHidden()
        << " enabled=" << button.isEnabled() << '\n';
}

void write(std::ostream& out, const QTableView& table, bool withSelection) {
    out << table.objectName().toStdString() << " enabled=" << table.isEnabled() << " selected=";
    if (withSelection)
        out << selectedRow(table);
    else
        out << '?';
    out << " rows=";
    const QAbstractItemModel& model = *table.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column)
            out << model.index(row, column).data().toString().toStdString() << ';';
        out << '|';
    }
    out << '\n';
}

template <typename Record>
void write(std::ostream& out, const char* name, const std::shared_ptr<Record>& record) {
    out << name << '=';
    if (record)
        out << record.get();
    else
        out << "none";
    out << '\n';
}

}  // namespace

std::string snapshotOf(const MainController& c, const QTableView* withoutSelectionOf) {
    std::ostringstream out;
    for (const QLabel* caption : {c.step1Label, c.step2Label, c.step3Label}) write(out, *caption);
    for (const QProgressBar* indicator : {c.step1Progress, c.step2Progress, c.step3Progress})
        write(out, *indicator);
    for (const QTableView* table : {c.deviceTable, c.applicationTable, c.fileTable})
        write(out, *table, table != withoutSelectionOf);
    for (const QPushButton* button : {c.donateButton, c.saveAllButton, c.saveFileButton})
        write(out, *button);
    out << "allDevices=" << c.allDevices().size() << '\n';
    write(out, "selectedDevice", c.selectedDevice());
    write(out, "selectedApplication", c.selectedApplication());
    write(out, "selectedFile", c.selectedFile());
    out << "applicationsArray=";
    if (c.applicationsArray())
        out << c.applicationsArray()->size();
    else
        out << "absent";
    out << '\n';
    return out.str();
}

}  // namespace salvora::test
