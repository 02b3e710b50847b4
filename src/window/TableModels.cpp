#include "window/TableModels.h"

#include "window/DeviceDetails.h"
#include "window/MainController.h"
#include "window/QtText.h"

namespace salvora {

int DeviceTableModel::rows() const { return controller().deviceRowCount(); }

void DeviceTableModel::selected(int row) { controller().deviceRowSelected(row); }

QVariant DeviceTableModel::value(const QString& columnIdentifier, int row, int role) const {
    if (role == Qt::DisplayRole) {
        std::optional<QString> text = controller().deviceCell(columnIdentifier, row);
        return text ? QVariant(*text) : QVariant();
    }
    if (role == Qt::ToolTipRole) return controller().deviceToolTip(row);
    // The lock of an encrypted backup goes before its name.
    const bool locked =
        columnIdentifier == toQString(DeviceName) && controller().isEncryptedDevice(row);
    if (role == Qt::DecorationRole && locked) return lockIcon();
    if (role == Qt::AccessibleDescriptionRole && locked) return tr("Encrypted");
    return {};
}

int ApplicationTableModel::rows() const { return controller().applicationRowCount(); }

void ApplicationTableModel::selected(int row) { controller().applicationRowSelected(row); }

QVariant ApplicationTableModel::value(const QString& /*columnIdentifier*/, int row,
                                      int role) const {
    if (role == Qt::DisplayRole) return controller().applicationCell(row);
    return controller().applicationRowLook(row, role);
}

int FileTableModel::rows() const { return controller().fileRowCount(); }

void FileTableModel::selected(int row) { controller().fileRowSelected(row); }

QVariant FileTableModel::value(const QString& columnIdentifier, int row, int role) const {
    // A path too long for its column is cut in the middle; the tooltip shows it whole.
    const bool wholePath =
        role == Qt::ToolTipRole && columnIdentifier == toQString(DeviceApplicationFileRealName);
    if (role != Qt::DisplayRole && !wholePath) return {};
    return controller().fileCell(columnIdentifier, row);
}

}  // namespace salvora
