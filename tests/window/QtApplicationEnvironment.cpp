// The one QApplication every window test needs, alive for the whole run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <memory>

#include "support/TemporaryFolder.h"

namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        application_ = std::make_unique<QApplication>(argc_, argv_.data());
        // The window remembers folders in its settings; the run keeps them to itself.
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(settings_.path()));
    }
    void TearDown() override { application_.reset(); }

  private:
    char name_[13] = "window_tests";
    std::array<char*, 2> argv_{name_, nullptr};
    int argc_ = 1;
    std::unique_ptr<QApplication> application_;
    salvora::test::TemporaryFolder settings_;
};

[[maybe_unused]] const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
