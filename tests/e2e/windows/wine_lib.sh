# Sourced by the end-to-end scripts under Wine (after tests/support/e2e.sh, with $wine_run set
# to scripts/wine-run): Wine's windows by their titles, the Wine user's own folders, and the
# program's debug output on stderr.
#
#   window_named TITLE SECONDS   waits for a shown window titled TITLE; its id on stdout
#   window_gone ID SECONDS       waits for window ID to go
#   wine_unix_path PATH          the Unix path of a Windows path ("C:\\windows\\system32")
#   wine_user_folder NAME        the Unix path of the Wine user's %NAME% (APPDATA, LOCALAPPDATA)
#   wine_forget_user_files       removes the program's folders there: the next run is a new
#                                user's, not one the last test left settings to
#   message_box_text LOG         the text of the message boxes Wine traced into LOG (the
#                                program ran with WINEDEBUG=+msgbox), one box a line
#   start_saver N FILE PROGRAM   PROGRAM /s writing its N-th frame to FILE, its output to
#                                $work/saver.log; its pid in $saver once FILE is there (30 s)

window_named() {
  for _ in $(seq $(($2 * 10))); do
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 | grep . && return 0
    sleep 0.1
  done
  return 1
}

window_gone() {
  for _ in $(seq $(($2 * 10))); do
    xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

wine_unix_path() {
  "$wine_run" winepath -u "$1" 2>/dev/null | tr -d '\r'
}

wine_user_folder() {
  wine_unix_path "$("$wine_run" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')"
}

wine_forget_user_files() {
  local name folder
  for name in APPDATA LOCALAPPDATA; do
    folder=$(wine_user_folder "$name")
    [ -n "$folder" ] && rm -rf "$folder/Velmorandi"
  done
}

# Wine traces a box's text as L"..." with \XXXX for each character outside ASCII, \\ for a
# backslash and \n for a line end (cut short after a few hundred characters).
message_box_text() {
  python3 -c 'import re, sys
escapes = {"\\": "\\", "n": " "}
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    m = re.search(r"msgbox:MSGBOX_OnInit L\"(.*)", line)
    if m:
        print(re.sub(r"\\(\\|n|[0-9a-f]{4})",
                     lambda c: escapes.get(c.group(1)) or chr(int(c.group(1), 16)), m.group(1)))' "$1"
}

start_saver() {
  rm -f "$2"
  VELMORANDI_COPY_FRAME=$1 VELMORANDI_COPY_FRAME_TO="Z:$2" "$wine_run" "$3" /s \
    >>"$work/saver.log" 2>&1 &
  saver=$!
  for _ in $(seq 300); do [ -s "$2" ] && break; sleep 0.1; done
}
