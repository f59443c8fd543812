// The strings the Win32 services hand to the system: the common dialogs' filter and the
// editor's command line.
#include <gtest/gtest.h>

#include "platform/ui/dialogs/windows/win_dialog_services.h"

namespace platform::ui {
namespace {

TEST(WinDialogServicesTest, FiltersBecomeNullSeparatedPairs) {
  using namespace std::string_literals;
  EXPECT_EQ(WinFileFilter("midiファイル(*.mid)|*.mid"), L"midiファイル(*.mid)\0*.mid\0\0"s);
  EXPECT_EQ(WinFileFilter("a|*.a|b|*.b; *.c"), L"a\0*.a\0b\0*.b; *.c\0\0"s);
}

TEST(WinDialogServicesTest, CommandLinePartsWithSpacesAreQuoted) {
  struct Case {
    std::vector<std::string> argv;
    std::wstring line;
  };
  const Case cases[] = {
      {{"C:/Windows/notepad.exe", "C:/Data/追加問題.txt"},
       L"C:\\Windows\\notepad.exe C:\\Data\\追加問題.txt"},
      {{"C:/Program Files/Editor/edit.exe", "C:/My Data/追加問題.txt"},
       L"\"C:\\Program Files\\Editor\\edit.exe\" \"C:\\My Data\\追加問題.txt\""},
      {{"edit.exe", "C:/a\tb.txt"}, L"edit.exe \"C:\\a\tb.txt\""},
  };
  for (const Case& c : cases) EXPECT_EQ(WinCommandLine(c.argv), c.line) << c.argv[0];
}

}  // namespace
}  // namespace platform::ui
