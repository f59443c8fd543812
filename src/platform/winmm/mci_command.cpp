#include "platform/winmm/mci_command.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace platform {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Splits at blanks; a double-quoted run is one token without its quotes. Unclosed quote:
// MCIERR_NO_CLOSING_QUOTE.
std::variant<std::vector<std::string>, MCIERROR> Tokenize(const std::string& text) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    if (text[i] == '"') {
      const std::size_t close = text.find('"', i + 1);
      if (close == std::string::npos) return MCIERR_NO_CLOSING_QUOTE;
      tokens.push_back(text.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i]) && text[i] != '"') ++i;
    tokens.push_back(text.substr(start, i - start));
  }
  return tokens;
}

std::optional<MciVerb> FindVerb(const std::string& word) {
  static const std::array<std::pair<const char*, MciVerb>, 6> kVerbs = {{
      {"open", MciVerb::kOpen},
      {"play", MciVerb::kPlay},
      {"stop", MciVerb::kStop},
      {"seek", MciVerb::kSeek},
      {"status", MciVerb::kStatus},
      {"close", MciVerb::kClose},
  }};
  for (const auto& [name, verb] : kVerbs) {
    if (EqualsIgnoringAsciiCase(word, name)) return verb;
  }
  return std::nullopt;
}

// The words after the device name, checked per verb.
MCIERROR CheckArguments(MciCommand& command, const std::vector<std::string>& rest) {
  switch (command.verb) {
    case MciVerb::kOpen:
      command.element = command.device;
      if (rest.empty()) return 0;
      if (!EqualsIgnoringAsciiCase(rest[0], "alias")) return MCIERR_UNRECOGNIZED_KEYWORD;
      if (rest.size() < 2 || rest[1].empty()) return MCIERR_MISSING_STRING_ARGUMENT;
      if (rest.size() > 2) return MCIERR_UNRECOGNIZED_KEYWORD;
      command.device = rest[1];
      return 0;
    case MciVerb::kSeek:
      if (rest.empty()) return MCIERR_MISSING_PARAMETER;
      if (!EqualsIgnoringAsciiCase(rest[0], "to")) return MCIERR_UNRECOGNIZED_KEYWORD;
      if (rest.size() < 2) return MCIERR_MISSING_PARAMETER;
      if (rest.size() > 2) return MCIERR_UNRECOGNIZED_KEYWORD;
      // MIDI playback can only restart, so the start is the one position there is.
      if (rest[1] != "0" && !EqualsIgnoringAsciiCase(rest[1], "start")) {
        return MCIERR_OUTOFRANGE;
      }
      return 0;
    case MciVerb::kStatus:
      if (rest.empty()) return MCIERR_MISSING_PARAMETER;
      if (rest.size() > 1 || !EqualsIgnoringAsciiCase(rest[0], "mode")) {
        return MCIERR_UNSUPPORTED_FUNCTION;
      }
      return 0;
    case MciVerb::kPlay:
    case MciVerb::kStop:
    case MciVerb::kClose:
      return rest.empty() ? 0 : MCIERR_UNRECOGNIZED_KEYWORD;
  }
  return MCIERR_UNRECOGNIZED_COMMAND;
}

}  // namespace

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::variant<MciCommand, MCIERROR> ParseMciCommand(const char* text) {
  if (!text) return MCIERR_MISSING_COMMAND_STRING;
  auto tokenized = Tokenize(text);
  if (const auto* error = std::get_if<MCIERROR>(&tokenized)) return *error;
  const auto& tokens = std::get<std::vector<std::string>>(tokenized);
  if (tokens.empty()) return MCIERR_MISSING_COMMAND_STRING;
  const std::optional<MciVerb> verb = FindVerb(tokens[0]);
  if (!verb) return MCIERR_UNRECOGNIZED_COMMAND;
  if (tokens.size() < 2 || tokens[1].empty()) return MCIERR_MISSING_DEVICE_NAME;
  MciCommand command;
  command.verb = *verb;
  command.device = tokens[1];
  const std::vector<std::string> rest(tokens.begin() + 2, tokens.end());
  if (const MCIERROR error = CheckArguments(command, rest)) return error;
  return command;
}

}  // namespace platform
