#!/usr/bin/env bash
# The Debian package: built by cpack, checked as Debian checks a package (lintian at its
# pedantic level, the AppStream metainfo, a stripped program, the Installed-Size dpkg would
# give), unpacked with dpkg -x into a scratch root that is then made read-only; the files the
# desktop looks for; the installed hack run the way MATE runs its hacks (only HOME, DISPLAY,
# PATH, LANG, from /) into a window the test makes: it draws there with no window of its own,
# follows the window's size, ends with the window, goes on after SIGSTOP/SIGCONT, ends with
# status 0 on SIGTERM, prints nothing and leaves nothing behind.
# Then, as root, the package installed into this machine (and removed again unless it was
# installed before), as the user nobody meets it: MATE's daemon runs it from its theme and
# its preferences list and preview it; --add-to-xscreensaver puts it into xscreensaver's
# list, keeping ~/.xscreensaver whole, and xscreensaver-settings lists and previews it.
#
# usage: package_e2e.sh BUILD_DIR X11_HELPER
# Exits 77 (skipped; under CI a failure) when a tool is missing or it cannot run as root.
set -u
build=$1
helper=$2
e2e_dir=$(cd "$(dirname "$0")" && pwd)
. "$e2e_dir/desktop_lib.sh"
e2e_require cpack dpkg dpkg-deb apt-get lintian appstreamcli readelf Xvfb xdotool xwininfo \
  import convert python3 desktop-file-validate runuser flock dbus-run-session gsettings \
  mate-screensaver mate-screensaver-command mate-screensaver-preferences xscreensaver \
  xscreensaver-settings xscreensaver-command

work=$(mktemp -d)
# The user nobody runs the daemons in homes below it.
chmod 755 "$work"
xvfb=
hack=
installed=
cleanup() {
  [ -n "$hack" ] && kill "$hack" 2>/dev/null
  [ -n "${window_PID:-}" ] && kill "$window_PID" 2>/dev/null
  [ -n "${window2_PID:-}" ] && kill "$window2_PID" 2>/dev/null
  [ -n "${helper1:-}" ] && kill "$helper1" 2>/dev/null
  [ -n "${mate_PID:-}" ] && kill "$mate_PID" 2>/dev/null
  [ -n "${settings:-}" ] && kill "$settings" 2>/dev/null
  [ -n "${daemon:-}" ] && kill "$daemon" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  [ -n "$installed" ] && apt-get -o DPkg::Lock::Timeout=600 remove -y velmorandi >/dev/null 2>&1
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

if ! (cd "$build" && cpack -G DEB -B "$work/pkg") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
fi
deb=$(echo "$work"/pkg/*.deb)
root=$work/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x"; exit 1; }
chmod -R a-w "$root"
usr=$root/usr

# --- The package as Debian's tools see it ----------------------------------------------
echo "dpkg -c:"
dpkg -c "$deb"
lintian --pedantic --display-info --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1
sed 's/^/lintian: /' "$work/lintian.txt"
grep -q '^[EW]: ' "$work/lintian.txt" && fail "lintian reports errors or warnings"
grep -q 'hardening-no-' "$work/lintian.txt" && fail "lintian finds the program not hardened"
metainfo=$usr/share/metainfo/org.example.velmorandi.metainfo.xml
appstreamcli validate --pedantic --no-net "$metainfo" >"$work/appstream.txt" 2>&1 ||
  fail "appstreamcli refuses the metainfo"
sed 's/^/appstreamcli: /' "$work/appstream.txt"
grep -q '^[EWIP]: ' "$work/appstream.txt" && fail "appstreamcli has remarks on the metainfo"
readelf -S "$usr/bin/velmorandi" | grep -q '\.debug_\|\.symtab' &&
  fail "the program keeps its debug information or symbols"
echo "stripped program: $(stat -c %s "$usr/bin/velmorandi") bytes"
# dpkg's count: each file's size in KiB, rounded up, and 1 KiB for each folder and link.
counted=$(find "$root" \( -type f -printf '%s\n' \) -o -printf 'other\n' |
  awk '{ kib += $1 == "other" ? 1 : int(($1 + 1023) / 1024) } END { print kib }')
declared=$(dpkg-deb -f "$deb" Installed-Size)
[ "$declared" -eq "$counted" ] && ok "Installed-Size $declared KiB, as dpkg counts the files" ||
  fail "Installed-Size is $declared KiB for $counted KiB of files"
dpkg-deb -f "$deb" Recommends | grep -qw xdg-utils || fail "the package does not recommend xdg-utils"

# --- What is installed where --------------------------------------------------------
[ "$(ls "$usr/bin")" = velmorandi ] || fail "bin/ holds: $(ls "$usr/bin" | tr '\n' ' ')"
[ "$(readlink -f "$usr/libexec/xscreensaver/velmorandi")" = "$(readlink -f "$usr/bin/velmorandi")" ] ||
  fail "libexec/xscreensaver/velmorandi is not the program"
for f in velmorandi/data.qda velmorandi/Kabe_0.jpg velmorandi/Kabe_2.jpg velmorandi/seikai.wav \
  velmorandi/ReadMe.txt velmorandi/fonts.conf velmorandi/追加問題.txt \
  xscreensaver/config/velmorandi.xml man/man6/velmorandi.6.gz doc/velmorandi/copyright \
  doc/velmorandi/changelog.gz icons/hicolor/scalable/apps/velmorandi.svg; do
  [ -f "$usr/share/$f" ] || fail "share/$f is missing"
done
desktop-file-validate "$usr/share/applications/screensavers/velmorandi.desktop" \
  "$usr/share/applications/velmorandi.desktop" || fail "a .desktop file is not valid"
grep -qx 'Exec=velmorandi --root' "$usr/share/applications/screensavers/velmorandi.desktop" ||
  fail "the screensaver entry does not run the hack"
# Every option the settings page passes is one the program takes.
"$usr/bin/velmorandi" --help >"$work/help.txt" || fail "--help did not exit with 0"
python3 - "$usr/share/xscreensaver/config/velmorandi.xml" "$work/help.txt" <<'PY' || fail "velmorandi.xml"
import re, sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
help_text = open(sys.argv[2]).read()
assert root.tag == "screensaver" and root.get("name") == "velmorandi", "root element"
assert root.find("command").get("arg") == "--root", "command"
for e in root.iter():
    for key in ("arg", "arg-set", "arg-unset"):
        if e.get(key):
            option = e.get(key).split()[0]
            assert re.search(r"\s" + re.escape(option) + r"\b", help_text), option
PY
"$usr/bin/velmorandi" --no-such-option 2>"$work/bad.txt"
[ $? -eq 2 ] && [ "$(wc -l <"$work/bad.txt")" -gt 3 ] || fail "a bad option does not exit 2 with the usage"

# --- The installed hack in a window of the test's ------------------------------------
. "$e2e_dir/../../scripts/xvfb.sh"
start_xvfb 140 199 640x480x24 || { echo "FAIL: no X server could be started"; exit 1; }
mkdir "$work/home"
run_hack() {  # ARG...: the installed hack in MATE's environment
  stripped_env "$work/home" ${XSCREENSAVER_WINDOW:+XSCREENSAVER_WINDOW=$XSCREENSAVER_WINDOW} \
    "$usr/libexec/xscreensaver/velmorandi" "$@" 2>>"$work/hack.err" &
  hack=$!
}

coproc window { "$helper" window 320 240; }
helper1=$window_PID
read -r wid <&"${window[0]}"
top_windows=$(xwininfo -root -children | grep -c '^ *0x')
XSCREENSAVER_WINDOW=$(printf '0x%x' "$wid") run_hack --root
if wait_picture first 320x240+10+10; then
  ok "the hack draws into \$XSCREENSAVER_WINDOW"
  moves first 320x240+10+10 && ok "the picture moves" || fail "the picture does not move"
else
  fail "nothing drawn into the window"; cat "$work/hack.err"
fi
[ "$(xwininfo -root -children | grep -c '^ *0x')" = "$top_windows" ] ||
  fail "the hack made a window of its own"
echo "resize 400 200" >&"${window[1]}"
sleep 2
# 400 x 200: the frame is 266 x 200 in the middle, with black bars of 67 pixels each side.
[ "$(colours leftbar 60x200+12+10)" -le 2 ] && [ "$(colours middle 200x200+110+10)" -gt 100 ] &&
  ok "follows the window's size, letterboxed" || fail "not letterboxed in the resized window"
echo destroy >&"${window[1]}"
if wait_end "$hack" 20; then
  [ "$status" -eq 0 ] && ok "ends with 0 when its window is destroyed" ||
    fail "status $status after the window was destroyed"
else
  fail "still running after its window was destroyed"
fi
hack=
kill "$helper1" 2>/dev/null
wait "$helper1" 2>/dev/null

coproc window2 { "$helper" window 200 150; }
read -r wid2 <&"${window2[0]}"
run_hack --window-id "$wid2" --speed 1 --no-chime
wait_picture before 200x150+10+10 || fail "nothing drawn into --window-id"
kill -STOP "$hack"
sleep 1
kill -CONT "$hack"
sleep 1
colours after 200x150+10+10 >/dev/null
moves after 200x150+10+10 && ok "goes on after SIGSTOP and SIGCONT" || fail "stopped moving after SIGCONT"
kill -TERM "$hack"
if wait_end "$hack" 20; then
  [ "$status" -eq 0 ] && ok "ends with 0 on SIGTERM" || fail "status $status on SIGTERM"
else
  fail "SIGTERM did not end it"
fi
hack=
[ -z "$(find "$root" -newer "$work/help.txt" -print -quit)" ] || fail "something was written into the installation"
[ ! -s "$work/hack.err" ] && ok "the hack prints nothing" ||
  fail "the hack printed: $(head -3 "$work/hack.err")"
leftovers=$(left_behind "$work/home")
[ -z "$leftovers" ] && ok "the hack starts no session bus and leaves no file behind" ||
  fail "the hack left behind: $leftovers"
[ "$failures" -eq 0 ] || exit 1

# --- Installed into this machine, as the user nobody meets it -------------------------
[ "$(id -u)" -eq 0 ] || e2e_skip "installing the package needs root"
id nobody >/dev/null 2>&1 || e2e_skip "no user nobody to run the screensaver daemons as"
# One checkout's run at a time may have its package installed.
exec 9>/tmp/velmorandi-package-e2e.lock
flock -w 900 9 || { echo "FAIL: another run kept the package installed"; exit 1; }
dpkg-query -W -f='${Status}' velmorandi 2>/dev/null | grep -q 'install ok installed' || installed=yes
if ! apt-get -o DPkg::Lock::Timeout=600 install --reinstall -y --no-install-recommends "$deb" \
  >"$work/apt.log" 2>&1; then
  cat "$work/apt.log"
  echo "FAIL: the package does not install"
  exit 1
fi
[ -z "$installed" ] && echo "note: velmorandi was installed before; this build's package stays"

# MATE: a session bus of its own (dbus-run-session) with a shell in it, as nobody.
mkdir "$work/mate"
chown nobody "$work/mate"
coproc mate {
  runuser -u nobody -- env -i HOME="$work/mate" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin \
    LANG=C.UTF-8 XDG_CURRENT_DESKTOP=MATE dbus-run-session -- bash -s 2>>"$work/mate.log"
}
in_mate() {  # COMMAND: runs it in the MATE session's shell; returns its status
  echo "{ $1 ; } >>\"\$HOME/session.log\" 2>&1; echo \"done \$?\"" >&"${mate[1]}"
  local reply
  read -r -t 120 reply <&"${mate[0]}" || return 1
  return "${reply#done }"
}
# mate_child PARENT-PID-FILE: the velmorandi that the process in that file of the MATE home
# runs (up to 30 s); prints its pid.
mate_child() {
  local child
  for _ in $(seq 60); do
    child=$(pgrep -u nobody -x velmorandi -P "$(cat "$work/mate/$1" 2>/dev/null)" 2>/dev/null |
      head -1)
    [ -n "$child" ] && { echo "$child"; return 0; }
    sleep 0.5
  done
  return 1
}
in_mate "gsettings set org.mate.screensaver mode single &&
  gsettings set org.mate.screensaver themes \"['screensavers-velmorandi']\" &&
  gsettings set org.mate.screensaver lock-enabled false" || fail "gsettings cannot choose the theme"
in_mate 'mate-screensaver --no-daemon >"$HOME/daemon.log" 2>&1 & echo $! >"$HOME/daemon.pid"'
for _ in $(seq 40); do in_mate 'mate-screensaver-command --query' && break; sleep 0.25; done
in_mate 'mate-screensaver-command --activate' || fail "mate-screensaver-command --activate failed"
if hack=$(mate_child daemon.pid); then
  wait_picture mate 640x480+0+0 && moves mate 640x480+0+0 &&
    ok "mate-screensaver runs the theme screensavers-velmorandi, which draws" ||
    fail "the hack under mate-screensaver draws no moving picture"
  in_mate 'mate-screensaver-command --deactivate'
  gone "$hack" 20 && ok "deactivating mate-screensaver ends the hack" ||
    fail "the hack outlives mate-screensaver's deactivation"
else
  fail "mate-screensaver ran no velmorandi: $(cat "$work/mate/daemon.log")"
fi
hack=
grep -q 'Could not find information for theme' "$work/mate/daemon.log" &&
  fail "mate-screensaver cannot find the theme"
# What the hack printed would be in the daemon's log among the daemon's own lines.
grep -v -e '^$' -e 'mate-screensaver' "$work/mate/daemon.log" &&
  fail "the hack printed on stderr under mate-screensaver"
in_mate 'mate-screensaver-preferences >"$HOME/prefs.log" 2>&1 & echo $! >"$HOME/prefs.pid"'
if preview=$(mate_child prefs.pid); then
  ok "mate-screensaver-preferences lists the theme and previews it"
  in_mate 'kill $(cat "$HOME/prefs.pid")'
  gone "$preview" 20 || fail "the preview outlives mate-screensaver-preferences"
else
  fail "mate-screensaver-preferences does not preview the theme"
fi
in_mate 'kill $(cat "$HOME/daemon.pid")'
exec {mate[1]}>&-
wait "$mate_PID" 2>/dev/null

# xscreensaver: the user adds it to the list, which xscreensaver-settings then shows, the
# daemon's own hacks with it. First a user with a list of their own: the file's bytes
# stay the start of the file, and a second run changes nothing.
daemon_home "$work/listed" "Deco=deco"
cp "$home/.xscreensaver" "$work/list-before"
as_nobody velmorandi --add-to-xscreensaver >"$work/add.txt" 2>&1 &&
  cmp -s -n "$(stat -c %s "$work/list-before")" "$work/list-before" "$home/.xscreensaver" &&
  [ "$(grep -c velmorandi "$home/.xscreensaver")" -eq 1 ] &&
  ok "--add-to-xscreensaver adds one line and keeps the user's list" ||
  fail "--add-to-xscreensaver: $(cat "$work/add.txt"; cat "$home/.xscreensaver")"
cp "$home/.xscreensaver" "$work/list-after"
as_nobody velmorandi --add-to-xscreensaver >"$work/add.txt" 2>&1 &&
  cmp -s "$work/list-after" "$home/.xscreensaver" && ok "a second run changes nothing" ||
  fail "a second --add-to-xscreensaver changed the list: $(cat "$work/add.txt")"

# A user without ~/.xscreensaver, as after a fresh installation.
home=$work/fresh
mkdir "$home"
chown nobody "$home"
as_nobody velmorandi --add-to-xscreensaver >"$work/add.txt" 2>&1 ||
  fail "--add-to-xscreensaver without a list: $(cat "$work/add.txt")"
as_nobody xscreensaver --no-splash >/dev/null 2>&1 &
daemon=$!
# Without its daemon the settings program opens with a question in front of the list.
for _ in $(seq 40); do as_nobody xscreensaver-command -version >/dev/null 2>&1 && break; sleep 0.25; done
# A session bus of its own, which ends with it.
as_nobody dbus-run-session -- xscreensaver-settings >"$work/settings.log" 2>&1 &
settings=$!
# settings_child NAME: the program NAME that xscreensaver-settings runs (up to 20 s).
settings_child() {
  local parent
  for _ in $(seq 40); do
    parent=$(pgrep -u nobody -x xscreensaver-se | head -1)
    [ -n "$parent" ] && pgrep -u nobody -x "$1" -P "$parent" >/dev/null && return 0
    sleep 0.5
  done
  return 1
}
# Its window is up once it previews the hack it starts with.
if settings_child '.*'; then
  # The list takes the keys: typing a name selects it, and the selection runs in the preview.
  xdotool mousemove 150 300 click 1
  sleep 1
  xdotool type --delay 100 velm
  settings_child velmorandi && ok "xscreensaver-settings lists Velmorandi and previews it" ||
    fail "xscreensaver-settings does not run velmorandi"
  xdotool key Escape type --delay 100 deco
  settings_child deco && ok "the daemon's own hacks stay in the list" ||
    fail "xscreensaver-settings lost the daemon's own hacks"
else
  fail "xscreensaver-settings previews nothing: $(cat "$work/settings.log")"
fi
kill "$settings" 2>/dev/null
as_nobody xscreensaver-command -exit >/dev/null 2>&1
wait_end "$daemon" 20 || kill "$daemon" 2>/dev/null
wait "$settings" 2>/dev/null
settings=
daemon=

[ "$failures" -eq 0 ] || exit 1
echo "package: all checks passed"
