#pragma once

// The model of each of the three tables, each over the controller's answers for its table.
#include "window/ControllerTableModel.h"

namespace salvora {

// Each backup's name (with a lock when it is encrypted), date, version and model, and its
// folder as the tooltip, with why it lists nothing once built.
class DeviceTableModel final : public ControllerTableModel {
  public:
    using ControllerTableModel::ControllerTableModel;

    void selected(int row) override;

  private:
    int rows() const override;
    QVariant value(const QString& columnIdentifier, int row, int role) const override;
};

// Each application's display name, with its icon and tooltip.
class ApplicationTableModel final : public ControllerTableModel {
  public:
    using ControllerTableModel::ControllerTableModel;

    void selected(int row) override;

  private:
    int rows() const override;
    QVariant value(const QString& columnIdentifier, int row, int role) const override;
};

// Each file's path, size, date and application.
class FileTableModel final : public ControllerTableModel {
  public:
    using ControllerTableModel::ControllerTableModel;

    void selected(int row) override;

  private:
    int rows() const override;
    QVariant value(const QString& columnIdentifier, int row, int role) const override;
};

}  // namespace salvora
