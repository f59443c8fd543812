#include "platform/ui/dialogs/linux/editor_lookup.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/fs/fs.h"

extern char** environ;

namespace platform::ui {
namespace {

constexpr std::array kCommonEditors = {"gnome-text-editor", "gedit", "kate", "kwrite",
                                       "mousepad",          "pluma", "xed",  "featherpad",
                                       "leafpad",           "geany"};
constexpr const char* kTerminal = "x-terminal-emulator";

std::vector<std::string> SplitWords(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::optional<std::vector<std::string>> InTerminal(const std::string& editor,
                                                   const std::string& file,
                                                   const EditorProbe& probe) {
  std::vector<std::string> words = SplitWords(editor);
  if (words.empty() || !probe.isInstalled(kTerminal) || !probe.isInstalled(words.front())) {
    return std::nullopt;
  }
  std::vector<std::string> argv = {kTerminal, "-e"};
  argv.insert(argv.end(), words.begin(), words.end());
  argv.push_back(file);
  return argv;
}

// Runs `argv` and returns its standard output, nothing when it fails or prints nothing.
std::optional<std::string> CaptureOutput(const std::vector<std::string>& argv) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int error = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  std::string output;
  if (error == 0) {
    char chunk[512];
    for (ssize_t got; (got = ::read(pipeFds[0], chunk, sizeof chunk)) != 0;) {
      if (got < 0) {
        if (errno == EINTR) continue;
        break;
      }
      output.append(chunk, static_cast<std::size_t>(got));
    }
  }
  ::close(pipeFds[0]);
  if (error != 0) return std::nullopt;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  while (!output.empty() &&
         (output.back() == '\n' || output.back() == '\r' || output.back() == ' ')) {
    output.pop_back();
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || output.empty()) return std::nullopt;
  return output;
}

std::vector<std::string> ApplicationFolders() {
  std::vector<std::string> folders;
  const char* home = std::getenv("HOME");
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && *dataHome) {
    folders.push_back(std::string(dataHome) + "/applications/");
  } else if (home && *home) {
    folders.push_back(std::string(home) + "/.local/share/applications/");
  }
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  std::string dirs = dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share";
  std::istringstream in(dirs);
  for (std::string dir; std::getline(in, dir, ':');) {
    if (!dir.empty()) folders.push_back(dir + "/applications/");
  }
  return folders;
}

}  // namespace

std::optional<std::vector<std::string>> ExecLineToArgv(const std::string& exec,
                                                       const std::string& file) {
  std::vector<std::string> argv;
  bool placedFile = false;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < exec.size()) {
        word += exec[++i];
      } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
        word += exec[++i];
      } else {
        word += c;
      }
      continue;
    }
    if (c == '"') {
      quoted = true;
      inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) argv.push_back(word);
      word.clear();
      inWord = false;
    } else if (c == '%' && i + 1 < exec.size()) {
      const char code = exec[++i];
      if (code == '%') {
        word += '%';
        inWord = true;
      } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
        if (!placedFile) word += file;
        placedFile = true;
        inWord = true;
      }
      // Every other field code (%i %c %k and the deprecated ones) expands to nothing.
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) return std::nullopt;
  if (inWord && !word.empty()) argv.push_back(word);
  if (argv.empty()) return std::nullopt;
  if (!placedFile) argv.push_back(file);
  return argv;
}

std::optional<std::string> DesktopEntryExec(const std::string& entryText) {
  std::istringstream in(entryText);
  bool inMainGroup = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      inMainGroup = line == "[Desktop Entry]";
      continue;
    }
    if (!inMainGroup || line.rfind("Exec", 0) != 0) continue;
    std::size_t pos = 4;
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size() || line[pos] != '=') continue;
    ++pos;
    while (pos < line.size() && line[pos] == ' ') ++pos;
    return line.substr(pos);
  }
  return std::nullopt;
}

std::optional<std::vector<std::string>> FindEditorCommand(const std::string& file,
                                                          const EditorProbe& probe) {
  if (const auto id = probe.defaultTextEditorEntry()) {
    if (const auto entry = probe.readDesktopEntry(*id)) {
      if (const auto exec = DesktopEntryExec(*entry)) {
        auto argv = ExecLineToArgv(*exec, file);
        if (argv && probe.isInstalled(argv->front())) return argv;
      }
    }
  }
  for (const char* variable : {"VISUAL", "EDITOR"}) {
    if (const auto editor = probe.getEnv(variable)) {
      if (auto argv = InTerminal(*editor, file, probe)) return argv;
    }
  }
  for (const char* editor : kCommonEditors) {
    if (probe.isInstalled(editor)) return std::vector<std::string>{editor, file};
  }
  return std::nullopt;
}

EditorProbe SystemEditorProbe() {
  EditorProbe probe;
  probe.getEnv = [](const std::string& name) -> std::optional<std::string> {
    const char* value = std::getenv(name.c_str());
    if (!value || !*value) return std::nullopt;
    return std::string(value);
  };
  probe.isInstalled = [](const std::string& program) {
    if (program.find('/') != std::string::npos) return ::access(program.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::istringstream in(path ? path : "/usr/local/bin:/usr/bin:/bin");
    for (std::string dir; std::getline(in, dir, ':');) {
      const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
      if (platform::FileExists(candidate) && ::access(candidate.c_str(), X_OK) == 0) return true;
    }
    return false;
  };
  probe.defaultTextEditorEntry = []() {
    return CaptureOutput({"xdg-mime", "query", "default", "text/plain"});
  };
  probe.readDesktopEntry = [](const std::string& id) -> std::optional<std::string> {
    if (id.find('/') != std::string::npos) return std::nullopt;
    for (const std::string& folder : ApplicationFolders()) {
      if (auto text = platform::ReadWholeFile(folder + id)) return text;
    }
    return std::nullopt;
  };
  return probe;
}

}  // namespace platform::ui
