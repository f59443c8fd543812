#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "platform/gdi/gdi.h"

namespace settings::testing {
namespace {

class QtApplication : public ::testing::Environment {
 public:
  void SetUp() override {
    app_ = std::make_unique<QApplication>(argc_, argv_);
    // The test program stands outside the data folder the glyph layer looks beside.
    platform::gdi::SetFontAliasFile(VM_TEST_FONT_ALIAS_FILE);
  }
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
