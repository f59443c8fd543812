#include "platform/winmm/mci_errors.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/log/log.h"
#include "platform/winmm/mci.h"

namespace platform {
namespace {

struct ErrorText {
  MCIERROR code;
  const char* name;
  const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {0, "MMSYSERR_NOERROR", "The specified command was carried out."},
    {MCIERR_UNRECOGNIZED_KEYWORD, "MCIERR_UNRECOGNIZED_KEYWORD",
     "The specified command contains an unknown keyword."},
    {MCIERR_UNRECOGNIZED_COMMAND, "MCIERR_UNRECOGNIZED_COMMAND", "Unknown command."},
    {MCIERR_INVALID_DEVICE_NAME, "MCIERR_INVALID_DEVICE_NAME", "The specified device is not open."},
    {MCIERR_MISSING_COMMAND_STRING, "MCIERR_MISSING_COMMAND_STRING", "No command was given."},
    {MCIERR_PARAM_OVERFLOW, "MCIERR_PARAM_OVERFLOW",
     "The answer does not fit in the return buffer."},
    {MCIERR_MISSING_STRING_ARGUMENT, "MCIERR_MISSING_STRING_ARGUMENT", "A keyword lacks its text."},
    {MCIERR_MISSING_PARAMETER, "MCIERR_MISSING_PARAMETER",
     "The command requires a parameter that is missing."},
    {MCIERR_UNSUPPORTED_FUNCTION, "MCIERR_UNSUPPORTED_FUNCTION",
     "The device does not support this request."},
    {MCIERR_FILE_NOT_FOUND, "MCIERR_FILE_NOT_FOUND", "The file does not exist."},
    {MCIERR_OUTOFRANGE, "MCIERR_OUTOFRANGE", "The position is out of range."},
    {MCIERR_DUPLICATE_ALIAS, "MCIERR_DUPLICATE_ALIAS", "The alias is already in use."},
    {MCIERR_MISSING_DEVICE_NAME, "MCIERR_MISSING_DEVICE_NAME", "No device name was given."},
    {MCIERR_NO_CLOSING_QUOTE, "MCIERR_NO_CLOSING_QUOTE", "A closing quote is missing."},
    {MCIERR_INVALID_FILE, "MCIERR_INVALID_FILE", "The file is not a playable MIDI file."},
    {MCIERR_SEQ_NOMIDIPRESENT, "MCIERR_SEQ_NOMIDIPRESENT",
     "No audio device or MIDI synthesiser is available."},
};

const ErrorText* FindErrorText(MCIERROR code) {
  for (const ErrorText& entry : kErrorTexts) {
    if (entry.code == code) return &entry;
  }
  return nullptr;
}

}  // namespace

void CopyCut(const std::string& text, char* buffer, UINT length) {
  if (!buffer || length == 0) return;
  std::size_t count = std::min<std::size_t>(text.size(), length - 1);
  while (count > 0 && count < text.size() &&
         (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80) {
    --count;
  }
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
}

const char* MciErrorText(MCIERROR code) {
  const ErrorText* entry = FindErrorText(code);
  return entry ? entry->text : nullptr;
}

std::string MciErrorName(MCIERROR code) {
  const ErrorText* entry = FindErrorText(code);
  return entry ? entry->name : std::to_string(code);
}

// Never a window: a saver that ends on input must not stop behind a modal box.
BOOL mciExecute(const char* command) {
  const MCIERROR error = mciSendStringA(command, nullptr, 0, nullptr);
  if (error == 0) return 1;
  char text[128];
  mciGetErrorStringA(error, text, sizeof text);
  const std::string line = std::string("mciExecute \"") + (command ? command : "") +
                           "\" failed: " + text + " (" + MciErrorName(error) + ")";
  std::fprintf(stderr, "velmorandi: %s\n", line.c_str());
  platform::Log(line);
  return 0;
}

}  // namespace platform
