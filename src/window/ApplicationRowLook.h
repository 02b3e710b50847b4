#pragma once

// How the application table shows a row beyond its text: a modern backup's application with
// its icon (the one its backup's Info.plist holds, else a generic one), and every application
// with its name and number of files in a tooltip.
#include <QHash>
#include <QIcon>
#include <QString>
#include <QVariant>
#include <optional>
#include <string>

#include "catalog/model/Records.h"
#include "catalog/naming/ApplicationNames.h"

namespace salvora {

class ApplicationRowLook {
  public:
    // Forgets the icons of the backup shown before.
    void forget();

    // The row's value for Qt::DecorationRole or Qt::ToolTipRole; nothing for other roles. The
    // icons are read from the backup in `directory` when the first is asked for.
    QVariant value(const ApplicationRecord& application, const std::string& directory, int role);

  private:
    QIcon iconOf(const ApplicationRecord& application, const std::string& directory);

    std::optional<ApplicationIcons> icons_;
    QHash<QString, QIcon> decoded_;
};

// The tooltip: the application's name, and its number of files.
QString applicationToolTip(const ApplicationRecord& application);

}  // namespace salvora
