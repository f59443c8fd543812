#include "shell/linux/linux_options.h"

#include <charconv>

namespace shell {
namespace {

enum class Value { kNone, kNumber, kText };

struct KnownOption {
  const char* name;
  Value value;
};

constexpr KnownOption kOptions[] = {
    {"root", Value::kNone},
    {"window-id", Value::kText},
    {"speed", Value::kNumber},
    {"wait", Value::kNumber},
    {"destination", Value::kNone},
    {"no-destination", Value::kNone},
    {"meaning", Value::kNone},
    {"no-meaning", Value::kNone},
    {"user-first", Value::kNone},
    {"no-user-first", Value::kNone},
    {"chime", Value::kNone},
    {"no-chime", Value::kNone},
    {"music", Value::kText},
    {"no-music", Value::kNone},
    {"help", Value::kNone},
    {"version", Value::kNone},
    {"add-to-xscreensaver", Value::kNone},
};

const KnownOption* Find(const std::string& name) {
  for (const KnownOption& known : kOptions)
    if (name == known.name) return &known;
  return nullptr;
}

std::optional<int> SliderValue(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < kSliderMin || value > kSliderMax) return std::nullopt;
  return value;
}

bool IsPreviewArgument(const std::string& arg) { return arg == "/p" || arg == "/P"; }

// Why "/p" with `modeArgs[1]` (if any) shows no preview.
std::string PreviewRefusal(const std::vector<std::string>& modeArgs) {
  if (modeArgs.size() < 2)
    return "velmorandi: " + modeArgs[0] + " needs the id of the window to show the preview in";
  return "velmorandi: \"" + modeArgs[1] + "\" is not a decimal window id; no preview";
}

LinuxRequest Fail(std::string message) {
  LinuxRequest request;
  request.action = LinuxAction::kError;
  request.error = std::move(message);
  return request;
}

}  // namespace

std::optional<std::uint32_t> ParseXWindowId(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  std::uint32_t id = 0;
  const auto [end, error] = std::from_chars(first, last, id, hex ? 16 : 10);
  if (first == last || error != std::errc() || end != last || id == 0) return std::nullopt;
  return id;
}

LinuxRequest ParseLinuxCommandLine(const std::vector<std::string>& args) {
  LinuxRequest request;
  // The mode argument, and after "/p" the window id, whatever that looks like.
  std::vector<std::string> modeArgs;
  bool anyOption = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!arg.starts_with('-')) {
      if (!modeArgs.empty()) return Fail("unexpected argument \"" + arg + "\"");
      modeArgs.push_back(arg);
      if (IsPreviewArgument(arg) && i + 1 < args.size()) modeArgs.push_back(args[++i]);
      continue;
    }
    anyOption = true;
    if (arg.size() < 2) return Fail("unexpected argument \"" + arg + "\"");
    std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
    std::optional<std::string> value;
    if (const std::size_t equals = name.find('='); equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (name == "h") name = "help";
    const KnownOption* known = Find(name);
    if (known == nullptr) return Fail("unknown option " + arg);
    if (known->value == Value::kNone && value) return Fail("option --" + name + " takes no value");
    if (known->value != Value::kNone && !value) {
      if (i + 1 >= args.size()) return Fail("option --" + name + " needs a value");
      value = args[++i];
    }
    if (name == "help" || name == "version") {
      request.action = name == "help" ? LinuxAction::kHelp : LinuxAction::kVersion;
      return request;
    }
    if (name == "add-to-xscreensaver") {
      request.action = LinuxAction::kAddToXscreensaver;
      return request;
    }
    SettingOverrides& o = request.overrides;
    if (name == "root") {
      request.root = true;
    } else if (name == "window-id") {
      request.windowId = ParseXWindowId(*value);
      if (!request.windowId) return Fail("--window-id: \"" + *value + "\" is not a window id");
    } else if (name == "speed" || name == "wait") {
      const std::optional<int> n = SliderValue(*value);
      if (!n) return Fail("--" + name + ": \"" + *value + "\" is not a number from 1 to 10");
      (name == "speed" ? o.speed : o.wait) = n;
    } else if (name == "music") {
      if (value->empty()) return Fail("--music needs a file or folder");
      o.music = *value;
    } else if (name == "no-music") {
      o.music = std::string();
    } else if (name == "chime" || name == "no-chime") {
      o.chimeOff = name == "no-chime";
    } else {
      const bool on = !name.starts_with("no-");
      const std::string what = on ? name : name.substr(3);
      (what == "destination" ? o.destination : what == "meaning" ? o.meaning : o.userFirst) = on;
    }
  }
  if (modeArgs.empty()) {
    request.run.mode = anyOption ? RunMode::kSaver : RunMode::kSettings;
    return request;
  }
  request.run = ParseCommandLine(modeArgs);
  if (request.run.mode == RunMode::kNone) {
    // The desktop's own forms that name no mode end quietly; beside options, a word that is
    // no mode is a mistake of the user's.
    if (IsPreviewArgument(modeArgs[0])) {
      request.notice = PreviewRefusal(modeArgs);
    } else if (anyOption) {
      return Fail("unexpected argument \"" + modeArgs[0] + "\"");
    }
  }
  return request;
}

std::string Usage() {
  return "usage: velmorandi [OPTION]...\n"
         "       velmorandi /s | /c | /p WINDOW\n"
         "Shows the idiom saver full screen on every monitor, or draws it into a window.\n"
         "\n"
         "  --root               draw into $XSCREENSAVER_WINDOW, or the root window\n"
         "  --window-id ID       draw into window ID (hex 0x... or decimal)\n"
         "  --speed N            walker step interval, 1 (300 ms) to 10 (1200 ms)\n"
         "  --wait N             time a completed idiom stays, 1 (1 s) to 10 (5.5 s)\n"
         "  --destination        show the walker's destination in red\n"
         "  --no-destination     do not\n"
         "  --meaning            show the meaning from the first landed character\n"
         "  --no-meaning         show it once the idiom is complete\n"
         "  --user-first         ask the user's own idioms first\n"
         "  --no-user-first      mix them with the built-in ones\n"
         "  --chime              play the chime on a completed idiom\n"
         "  --no-chime           stay silent\n"
         "  --music PATH         background music: a MIDI/audio file, or a folder of MIDI files\n"
         "  --no-music           no background music\n"
         "  --help               show this list and exit\n"
         "  --version            show the version and exit\n"
         "  --add-to-xscreensaver\n"
         "                       add the saver to your list of the xscreensaver daemon\n"
         "                       (~/.xscreensaver) and exit; other lines stay as they are\n"
         "\n"
         "Options override the user's Settei.ini for this run. Without --root or\n"
         "--window-id the saver runs full screen, as with /s. With no argument, or /c,\n"
         "the settings dialog opens.\n";
}

}  // namespace shell
