// The one QApplication every window test needs, alive for the whole run.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override { application_ = std::make_unique<QApplication>(argc_, argv_.data()); }
    void TearDown() override { application_.reset(); }

  private:
    char name_[13] = "window_tests";
    std::array<char*, 2> argv_{name_, nullptr};
    int argc_ = 1;
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
