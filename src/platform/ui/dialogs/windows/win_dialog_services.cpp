#include "platform/ui/dialogs/windows/win_dialog_services.h"

#include <windows.h>
// The common dialogs and the shell after windows.h.
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
// commdlg.h names ChooseFontA/W ChooseFont, as the contract's method is called.
#undef ChooseFont

#include <algorithm>

#include "platform/text/text.h"
#include "platform/ui/dialogs/windows/win_child_process.h"

namespace platform::ui {
namespace {

// Room for the paths of a multiple selection: the folder and every file name.
constexpr DWORD kSelectionChars = 32768;

std::wstring Wide(const std::string& utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string Utf8(const std::wstring& wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// Program paths come with "/" from the file layer; the shell and editors expect "\".
std::wstring SystemPath(const std::string& utf8) {
  std::wstring path = Wide(utf8);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

HWND Owner(NativeWindow owner) { return static_cast<HWND>(owner); }

std::wstring Caption(NativeWindow owner) {
  wchar_t caption[256] = {};
  if (owner) GetWindowTextW(Owner(owner), caption, 256);
  return caption;
}

OPENFILENAMEW FileDialog(NativeWindow owner, const std::wstring& title, const std::wstring& filter,
                         std::wstring& buffer) {
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Owner(owner);
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  return dialog;
}

}  // namespace

std::wstring WinFileFilter(const std::string& filter) {
  std::wstring result = Wide(filter);
  std::replace(result.begin(), result.end(), L'|', L'\0');
  result.push_back(L'\0');
  result.push_back(L'\0');
  return result;
}

std::wstring WinCommandLine(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const std::string& part : argv) {
    if (!line.empty()) line += L' ';
    const std::wstring wide = SystemPath(part);
    const bool quote = wide.find_first_of(L" \t") != std::wstring::npos;
    line += quote ? L"\"" + wide + L"\"" : wide;
  }
  return line;
}

WinDialogServices::WinDialogServices()
    : comStarted_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

WinDialogServices::~WinDialogServices() {
  if (comStarted_) CoUninitialize();
}

std::optional<std::string> WinDialogServices::OpenFile(NativeWindow owner,
                                                       const FileDialogSpec& request) {
  std::wstring buffer(MAX_PATH * 4, L'\0');
  const std::wstring title = Wide(request.title);
  const std::wstring filter = WinFileFilter(request.filter);
  OPENFILENAMEW dialog = FileDialog(owner, title, filter, buffer);
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return Utf8(buffer.c_str());
}

std::vector<std::string> WinDialogServices::OpenFiles(NativeWindow owner,
                                                      const FileDialogSpec& request) {
  std::wstring buffer(kSelectionChars, L'\0');
  const std::wstring title = Wide(request.title);
  const std::wstring filter = WinFileFilter(request.filter);
  OPENFILENAMEW dialog = FileDialog(owner, title, filter, buffer);
  dialog.Flags |= OFN_ALLOWMULTISELECT | OFN_ENABLESIZING;
  std::vector<std::string> paths;
  if (!GetOpenFileNameW(&dialog)) return paths;
  // One file: its full path. Several: the folder, then each name, each ended by a null.
  std::vector<std::wstring> parts;
  for (const wchar_t* part = buffer.c_str(); *part; part += wcslen(part) + 1) parts.push_back(part);
  if (parts.size() == 1) {
    paths.push_back(Utf8(parts[0]));
    return paths;
  }
  std::wstring folder = parts[0];
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(Utf8(folder + parts[i]));
  return paths;
}

std::optional<std::string> WinDialogServices::BrowseForFolder(NativeWindow owner,
                                                              const std::string& caption) {
  const std::wstring title = Wide(caption);
  BROWSEINFOW browse{};
  browse.hwndOwner = Owner(owner);
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (!chosen) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  const bool found = SHGetPathFromIDListW(chosen, path) != 0;
  CoTaskMemFree(chosen);
  if (!found) return std::nullopt;
  return Utf8(path);
}

std::optional<FontChoice> WinDialogServices::ChooseFont(NativeWindow owner,
                                                        const FontChoice& initial) {
  LOGFONTW font{};
  font.lfHeight = -initial.pixelSize;
  font.lfWeight = initial.style & kFontBold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (initial.style & kFontItalic) != 0;
  font.lfUnderline = (initial.style & kFontUnderline) != 0;
  font.lfStrikeOut = (initial.style & kFontStrikeOut) != 0;
  font.lfCharSet = SHIFTJIS_CHARSET;
  const std::wstring face = Wide(initial.face);
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  CHOOSEFONTW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Owner(owner);
  dialog.lpLogFont = &font;
  dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  if (!::ChooseFontW(&dialog)) return std::nullopt;
  FontChoice choice;
  choice.face = Utf8(font.lfFaceName);
  choice.pixelSize = initial.pixelSize;
  if (font.lfWeight >= FW_BOLD) choice.style |= kFontBold;
  if (font.lfItalic) choice.style |= kFontItalic;
  if (font.lfUnderline) choice.style |= kFontUnderline;
  if (font.lfStrikeOut) choice.style |= kFontStrikeOut;
  return choice;
}

void WinDialogServices::ShowMessage(NativeWindow owner, const std::string& text) {
  MessageBoxW(Owner(owner), Wide(text).c_str(), Caption(owner).c_str(), MB_OK);
}

void WinDialogServices::ShowError(NativeWindow owner, const std::string& text) {
  MessageBoxW(Owner(owner), Wide(text).c_str(), L"エラー", MB_OK | MB_ICONERROR);
}

bool WinDialogServices::AskYesNo(NativeWindow owner, const std::string& text) {
  return MessageBoxW(Owner(owner), Wide(text).c_str(), L"確認", MB_YESNO | MB_ICONQUESTION) ==
         IDYES;
}

void WinDialogServices::ShowModal(ModalDialog& dialog) { dialog.Exec(); }

std::optional<std::vector<std::string>> WinDialogServices::FindEditor(const std::string& file) {
  // The program the file's type is opened with, else Notepad in the Windows folder.
  wchar_t program[MAX_PATH] = {};
  const auto found =
      reinterpret_cast<INT_PTR>(FindExecutableW(SystemPath(file).c_str(), nullptr, program));
  if (found > 32) return std::vector<std::string>{Utf8(program), file};
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  return std::vector<std::string>{Utf8(std::wstring(windows) + L"\\notepad.exe"), file};
}

std::unique_ptr<ChildProcess> WinDialogServices::StartProcess(
    const std::vector<std::string>& argv) {
  if (argv.empty()) return nullptr;
  return WinChildProcess::Start(WinCommandLine(argv));
}

bool WinDialogServices::OpenWithDefaultProgram(const std::string& target) {
  const bool address = target.find("://") != std::string::npos;
  const std::wstring file = address ? Wide(target) : SystemPath(target);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace platform::ui
