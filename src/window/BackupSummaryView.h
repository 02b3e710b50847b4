#pragma once

// The chosen backup at a glance, shown where previews appear before any file is chosen: what
// the device was, the backup's size, and each kind of data it holds with its count and a
// button for its File → Export action. Entries are filled in as they are read.
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "sources/summary/BackupSummary.h"

class QAction;
class QFormLayout;
class QLabel;
class QPushButton;

namespace salvora {

class BackupSummaryView final : public QWidget {
    Q_OBJECT
  public:
    explicit BackupSummaryView(QWidget* parent = nullptr);

    // The button of the kind `key` (as exportableKinds() names it) triggers `action`.
    void setExportAction(std::string_view key, QAction* action);

    // A device was chosen: its name now, every other entry once read.
    void showDevice(const QString& name);
    // No device, or one being listed: nothing to show.
    void clear();
    bool hasDevice() const { return hasDevice_; }

    void showFacts(const BackupFacts& facts);
    // `kind` indexes exportableKinds().
    void showCount(std::size_t kind, const HeldCount& count);
    void showSize(std::optional<std::uint64_t> bytes);

  private:
    struct KindRow {
        QLabel* title;
        QLabel* count;
        QPushButton* button;
        QAction* action = nullptr;
    };
    // A value label whose accessible name tells its caption with the value.
    QLabel* addFact(QFormLayout& form, const char* objectName, const QString& caption);
    void setFact(QLabel& label, const QString& text);

    QLabel* heading_;
    QLabel* model_ = nullptr;
    QLabel* iosVersion_ = nullptr;
    QLabel* date_ = nullptr;
    QLabel* encrypted_ = nullptr;
    QLabel* size_ = nullptr;
    QLabel* applications_ = nullptr;
    QLabel* files_ = nullptr;
    std::vector<QLabel*> facts_;
    std::vector<QString> captions_;
    std::vector<KindRow> kinds_;
    bool hasDevice_ = false;
};

}  // namespace salvora
