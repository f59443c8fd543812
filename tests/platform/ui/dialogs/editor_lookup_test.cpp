// Which editor the word-list button starts, the chooser filters, fonts and processes.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <map>
#include <set>

#include "platform/ui/dialogs/linux/child_process.h"
#include "platform/ui/dialogs/linux/editor_lookup.h"
#include "platform/ui/dialogs/linux/font_faces.h"
#include "platform/ui/dialogs/linux/qt_dialog_services.h"

namespace platform::ui {
namespace {

using Argv = std::vector<std::string>;

struct World {
  std::map<std::string, std::string> env;
  std::set<std::string> installed;
  std::optional<std::string> defaultEntry;
  std::map<std::string, std::string> entries;

  EditorProbe Probe() const {
    return {[this](const std::string& name) -> std::optional<std::string> {
              const auto it = env.find(name);
              if (it == env.end()) return std::nullopt;
              return it->second;
            },
            [this](const std::string& program) { return installed.count(program) > 0; },
            [this] { return defaultEntry; },
            [this](const std::string& id) -> std::optional<std::string> {
              const auto it = entries.find(id);
              if (it == entries.end()) return std::nullopt;
              return it->second;
            }};
  }
};

TEST(EditorLookupTest, PrefersTheDesktopDefaultThenTheVariablesThenCommonEditors) {
  const std::string file = "/d/VelmorandiScrData/追加問題.txt";
  const std::string entry = "[Desktop Entry]\nName=Text\nExec=texteditor --new-window %U\n";
  struct Case {
    const char* name;
    World world;
    std::optional<Argv> expected;
  };
  const Case cases[] = {
      {"desktop default",
       {{{"VISUAL", "vim"}},
        {"texteditor", "vim", "x-terminal-emulator", "gedit"},
        "te.desktop",
        {{"te.desktop", entry}}},
       Argv{"texteditor", "--new-window", file}},
      {"default entry whose program is missing",
       {{{"VISUAL", "vim"}}, {"vim", "x-terminal-emulator"}, "te.desktop", {{"te.desktop", entry}}},
       Argv{"x-terminal-emulator", "-e", "vim", file}},
      {"VISUAL with arguments",
       {{{"VISUAL", "emacs -nw"}, {"EDITOR", "nano"}},
        {"emacs", "nano", "x-terminal-emulator"},
        std::nullopt,
        {}},
       Argv{"x-terminal-emulator", "-e", "emacs", "-nw", file}},
      {"EDITOR when VISUAL is not installed",
       {{{"VISUAL", "vim"}, {"EDITOR", "nano"}}, {"nano", "x-terminal-emulator"}, std::nullopt, {}},
       Argv{"x-terminal-emulator", "-e", "nano", file}},
      {"no terminal: a common editor",
       {{{"EDITOR", "nano"}}, {"nano", "mousepad", "geany"}, std::nullopt, {}},
       Argv{"mousepad", file}},
      {"nothing at all", {{}, {}, std::nullopt, {}}, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindEditorCommand(file, c.world.Probe()), c.expected) << c.name;
  }
}

TEST(EditorLookupTest, ExecLinesBecomeArgumentListsWithTheFileInPlace) {
  const std::string file = "/a b/追加問題.txt";
  struct Case {
    const char* exec;
    std::optional<Argv> expected;
  };
  const Case cases[] = {
      {"gedit %U", Argv{"gedit", file}},
      {"kate -b %f --extra", Argv{"kate", "-b", file, "--extra"}},
      {"mousepad", Argv{"mousepad", file}},
      {"\"/opt/My Editor/bin/ed\" %F %i %c", Argv{"/opt/My Editor/bin/ed", file}},
      {"sh -c \"echo \\\"hi\\\" 100%%\" %f", Argv{"sh", "-c", "echo \"hi\" 100%", file}},
      {"  ", std::nullopt},
      {"\"unbalanced %f", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ExecLineToArgv(c.exec, file), c.expected) << c.exec;
}

TEST(EditorLookupTest, TheExecKeyComesFromTheMainGroupOnly) {
  EXPECT_EQ(DesktopEntryExec("[Desktop Entry]\r\nExec = gedit %U\r\n"), "gedit %U");
  EXPECT_EQ(DesktopEntryExec("[Desktop Action new]\nExec=other\n[Desktop Entry]\nExecutable=x\n"),
            std::nullopt);
  EXPECT_EQ(DesktopEntryExec("Exec=orphan\n"), std::nullopt);
}

TEST(FileFilterTest, WindowsFiltersBecomeQtNameFilters) {
  EXPECT_EQ(QtFileFilter("midiファイル(*.mid)|*.mid"),
            QStringLiteral("midiファイル(*.mid) (*.mid)"));
  EXPECT_EQ(QtFileFilter("ビットマップ (*.bmp),JPEG(*.jpeg,*.jpg)|*.bmp; *.jpeg; *.jpg"),
            QStringLiteral("ビットマップ (*.bmp),JPEG(*.jpeg,*.jpg) (*.bmp *.jpeg *.jpg)"));
  EXPECT_EQ(QtFileFilter("A|*.a|B|*.b"), QStringLiteral("A (*.a);;B (*.b)"));
}

TEST(FontFacesTest, WindowsFacesStandForTheirIpaFonts) {
  static int argc = 1;
  static char name[] = "platform_ui_dialogs_test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  EXPECT_EQ(ConcreteFamily("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
  const QFont font = MakeFont("ＭＳ Ｐゴシック", 13, kFontItalic | kFontStrikeOut);
  EXPECT_EQ(font.family(), QStringLiteral("IPAPGothic"));
  EXPECT_EQ(font.pixelSize(), 13);
  EXPECT_EQ(StyleBitsOf(font), kFontItalic | kFontStrikeOut);
}

TEST(ChildProcessTest, StartsAProgramAndSeesItEnd) {
  auto process = PosixChildProcess::Start({"true"});
  ASSERT_NE(process, nullptr);
  // Polled without blocking; "true" ends on its own.
  while (!process->HasEnded()) {
  }
  EXPECT_TRUE(process->HasEnded());
  EXPECT_EQ(PosixChildProcess::Start({"/nonexistent/editor", "x"}), nullptr);
  EXPECT_EQ(PosixChildProcess::Start({}), nullptr);
}

}  // namespace
}  // namespace platform::ui
