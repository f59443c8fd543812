// The hack's line in the user's list of the X screensaver daemon. The daemon and its
// settings program build their list from the "programs" resource: the system-wide one of the
// daemon's own package, merged with the one in ~/.xscreensaver. Nothing else (no folder of
// entries) is read, so a hack from another package is listed only through the user's file.
//
// The file keeps the resource syntax of X: "key: value" lines, "!" or "#" comment lines, a
// value going on over the next line while a line ends in "\". In the programs value, the
// two characters "\n" end one entry; an entry is [-] [VISUAL:] ["Name"] command args,
// where "-" leaves it out of the random choice and the settings program shows "Name", or
// else the command's name with a capital.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace desktop {

enum class ListChange { kAdded, kAlreadyListed };

struct ProgramsEdit {
  std::string text;  // the whole file after the change
  ListChange change = ListChange::kAdded;
};

// `file` with `command` (e.g. "velmorandi --root") as the programs list's last entry, unless
// an entry already runs a program of the same file name as the command's, enabled or not:
// then the file is given back unchanged. Every line outside the programs value is kept
// byte for byte, and so are the value's lines but its last one (which gains the "\" that
// carries the value on when it holds an entry itself); a last line without its newline
// gets one. A file without a programs value (or an empty file) gets one at its end,
// holding only `command`.
ProgramsEdit AddToPrograms(std::string_view file, std::string_view command);

enum class AddOutcome { kAdded, kAlreadyListed, kFailed };

struct AddReport {
  AddOutcome outcome = AddOutcome::kFailed;
  std::string file;    // the path of the user's list
  std::string reason;  // why it failed
};

// Adds `command` to the list in `home`/.xscreensaver, which is made when missing. The file is
// replaced as a whole (atomically, keeping its permissions), and only when it changes.
AddReport AddToXscreensaverList(const std::string& home, std::string_view command);

// The list's entry for the program in `exeDir`: by its bare name when it is the package's
// /usr/bin one (the daemon finds it on its PATH, or in its own folder of hacks), else by
// its whole path, in single quotes when it holds other characters than letters, digits and
// "/._+-". Nothing for a path with a quote, a backslash or a control character.
std::optional<std::string> HackCommand(const std::string& exeDir);

// --add-to-xscreensaver: the running program added to the list of the user in $HOME (else
// the password database's home); what happened goes to standard output, a failure to
// standard error. Returns the exit status.
int RunAddToXscreensaver();

}  // namespace desktop
