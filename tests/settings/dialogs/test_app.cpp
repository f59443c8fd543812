#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace settings::testing {
namespace {

class QtApplication : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[24] = "settings_dialogs_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace

QApplication& App() { return *static_cast<QApplication*>(QCoreApplication::instance()); }

}  // namespace settings::testing
