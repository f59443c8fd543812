#include "desktop/xscreensaver_list.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/fs/fs.h"

namespace desktop {
namespace {

constexpr std::string_view kKey = "programs";
constexpr char kProgram[] = "velmorandi";
constexpr char kPackageBin[] = "/usr/bin/";
constexpr std::string_view kBlanks = " \t";
// The daemon's settings program indents the entries it writes with tabs; ours looks alike.
constexpr std::string_view kIndent = "\t\t\t\t";

struct Line {
  std::string_view text;  // without its end
  std::string_view end;   // "\n" or "\r\n"
};

std::vector<Line> SplitLines(std::string_view file) {
  std::vector<Line> lines;
  while (!file.empty()) {
    const std::size_t newline = file.find('\n');
    std::string_view text = file.substr(0, newline);
    std::string_view end;
    if (newline != std::string_view::npos) {
      end = file.substr(newline, 1);
      if (text.ends_with('\r')) {
        text.remove_suffix(1);
        end = file.substr(newline - 1, 2);
      }
    }
    lines.push_back({text, end});
    file.remove_prefix(newline == std::string_view::npos ? file.size() : newline + 1);
  }
  return lines;
}

std::string_view TrimLeft(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimRight(std::string_view text) {
  const std::size_t last = text.find_last_not_of(kBlanks);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

bool IsComment(std::string_view text) {
  text = TrimLeft(text);
  return text.starts_with('!') || text.starts_with('#');
}

// The value after "programs:" when `text` is that key's line ("*programs:" too).
std::optional<std::string_view> ProgramsValue(std::string_view text) {
  text = TrimLeft(text);
  if (text.starts_with('*')) text.remove_prefix(1);
  if (!text.starts_with(kKey)) return std::nullopt;
  text = TrimLeft(text.substr(kKey.size()));
  if (!text.starts_with(':')) return std::nullopt;
  return text.substr(1);
}

// The file name of the program an entry runs ("velmorandi" of
// `- GL: "Velmorandi" /usr/bin/velmorandi --root`); empty for an empty entry.
std::string_view ProgramName(std::string_view entry) {
  entry = TrimLeft(entry);
  if (entry.starts_with('-')) entry = TrimLeft(entry.substr(1));
  // A visual ("GL:", "default:") is one word ending in a colon.
  const std::size_t wordEnd = entry.find_first_of(" \t\"'");
  const std::string_view word = entry.substr(0, wordEnd);
  if (word.ends_with(':') && word.find('/') == std::string_view::npos) {
    entry = TrimLeft(entry.substr(word.size()));
  }
  if (entry.starts_with('"')) {
    const std::size_t close = entry.find('"', 1);
    entry =
        close == std::string_view::npos ? std::string_view() : TrimLeft(entry.substr(close + 1));
  }
  std::string_view program;
  if (entry.starts_with('\'')) {
    program = entry.substr(1, entry.find('\'', 1) - 1);
  } else {
    program = entry.substr(0, entry.find_first_of(kBlanks));
  }
  const std::size_t slash = program.rfind('/');
  return slash == std::string_view::npos ? program : program.substr(slash + 1);
}

// True when one of the entries of the value runs a program named `name`.
bool Lists(const std::string& value, std::string_view name) {
  std::string_view rest = value;
  while (!rest.empty()) {
    const std::size_t separator = rest.find("\\n");
    if (ProgramName(rest.substr(0, separator)) == name) return true;
    rest.remove_prefix(separator == std::string_view::npos ? rest.size() : separator + 2);
  }
  return false;
}

std::string Join(const std::vector<Line>& lines, std::size_t first, std::size_t last) {
  std::string text;
  for (std::size_t i = first; i < last; ++i) {
    text.append(lines[i].text);
    text.append(lines[i].end);
  }
  return text;
}

}  // namespace

ProgramsEdit AddToPrograms(std::string_view file, std::string_view command) {
  // The file's last line gets its end first: the line after it is new either way, and a
  // line is read the same before and after the change (a last "\r" then ends it as CR LF).
  std::string ended(file);
  if (!ended.empty() && !ended.ends_with('\n')) ended += '\n';
  const std::vector<Line> lines = SplitLines(ended);
  // The last programs value wins, as a later resource does; lines `first`..`last` hold it.
  // A line ending in "\" carries a value on, a comment line outside a value nothing.
  std::optional<std::size_t> first;
  std::size_t last = 0;
  bool continued = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = lines[i].text;
    if (!continued && ProgramsValue(text)) {
      first = last = i;
    } else if (continued && first && last + 1 == i) {
      last = i;
    }
    continued = (continued || !IsComment(text)) && text.ends_with('\\');
  }

  const std::string entry = std::string(kIndent) + std::string(command) + " \\n";
  if (!first) {
    std::string text = ended;
    // A value running on over the file's end would swallow the new key.
    if (continued) text += '\n';
    text += std::string(kKey) + ":\t\\\n" + entry + "\n";
    return {text, ListChange::kAdded};
  }

  std::string value;
  for (std::size_t i = *first; i <= last; ++i) {
    std::string_view part = i == *first ? *ProgramsValue(lines[i].text) : lines[i].text;
    if (part.ends_with('\\')) part.remove_suffix(1);
    value.append(part);
  }
  if (Lists(value, ProgramName(command))) return {std::string(file), ListChange::kAlreadyListed};

  const Line& end = lines[last];
  const std::string newline(end.end);
  const std::string_view content = last == *first ? *ProgramsValue(end.text) : end.text;
  const bool blank = TrimLeft(content).empty();
  std::string text = Join(lines, 0, last);
  // A new line after the value's carried-on lines joins their text: it opens with the end
  // of an entry when the value's last entry has none.
  const std::string_view valueEnd = TrimRight(value);
  const std::string joined = (valueEnd.empty() || valueEnd.ends_with("\\n") ? "" : "\\n") + entry;
  if (end.text.ends_with('\\')) {
    // The value runs on to the file's end: the entry becomes its last line.
    text += std::string(end.text) + newline + joined + newline;
  } else if (blank && last != *first) {
    // The blank line that ends the value stays its end, after the new entry.
    text += joined + "\\" + newline + std::string(end.text) + std::string(end.end);
  } else {
    // The value's last line holds an entry, or is the key's own: it now carries on.
    std::string carried(blank ? end.text : TrimRight(end.text));
    if (!blank && !carried.ends_with("\\n")) carried += " \\n";
    text += carried + "\\" + newline + entry + newline;
  }
  text += Join(lines, last + 1, lines.size());
  return {text, ListChange::kAdded};
}

AddReport AddToXscreensaverList(const std::string& home, std::string_view command) {
  AddReport report;
  report.file = home + (home.ends_with('/') ? "" : "/") + ".xscreensaver";
  std::string text;
  if (platform::PathExists(report.file)) {
    const std::optional<std::string> read = platform::ReadWholeFile(report.file);
    if (!read) {
      report.reason = "the file cannot be read";
      return report;
    }
    text = *read;
  }
  const ProgramsEdit edit = AddToPrograms(text, command);
  if (edit.change == ListChange::kAlreadyListed) {
    report.outcome = AddOutcome::kAlreadyListed;
  } else if (platform::WriteWholeFileAtomic(report.file, edit.text)) {
    report.outcome = AddOutcome::kAdded;
  } else {
    report.reason = "the file cannot be written";
  }
  return report;
}

std::optional<std::string> HackCommand(const std::string& exeDir) {
  if (exeDir == kPackageBin) return std::string(kProgram) + " --root";
  const std::string path = exeDir + kProgram;
  if (path.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                             "/._+-") == std::string::npos) {
    return path + " --root";
  }
  // Quotes and backslashes mean something both to the shell and to the list's reader.
  for (const char c : path) {
    if (c == '\'' || c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20) {
      return std::nullopt;
    }
  }
  return "'" + path + "' --root";
}

int RunAddToXscreensaver() {
  std::string home;
  if (const char* variable = std::getenv("HOME"); variable && *variable) {
    home = variable;
  } else if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) {
    home = entry->pw_dir;
  }
  if (home.empty()) {
    std::fputs("velmorandi: no home folder to find ~/.xscreensaver in\n", stderr);
    return 1;
  }
  const std::optional<std::string> command = HackCommand(platform::ExeDir());
  if (!command) {
    std::fprintf(stderr,
                 "velmorandi: the path %s holds a quote, a backslash or a control "
                 "character, which the list cannot carry\n",
                 platform::ExeDir().c_str());
    return 1;
  }
  const AddReport report = AddToXscreensaverList(home, *command);
  switch (report.outcome) {
    case AddOutcome::kAdded:
      std::printf(
          "velmorandi: added to the list in %s; xscreensaver-settings shows it as "
          "\"Velmorandi\"\n",
          report.file.c_str());
      return 0;
    case AddOutcome::kAlreadyListed:
      std::printf("velmorandi: already in the list in %s; nothing changed\n", report.file.c_str());
      return 0;
    case AddOutcome::kFailed:
      break;
  }
  std::fprintf(stderr, "velmorandi: %s: %s\n", report.file.c_str(), report.reason.c_str());
  return 1;
}

}  // namespace desktop
