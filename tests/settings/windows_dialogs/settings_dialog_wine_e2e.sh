#!/usr/bin/env bash
# The settings dialog under Wine on a virtual X server, with a Japanese system code page:
# its caption and controls on screen (the screenshots stay in BUILD/e2e for people to look at),
# the wallpaper dialog opened and edited from the keyboard, and the Settei.ini that closing
# both writes: the user's own in %APPDATA%, started from the one an older copy kept beside the
# program (which stays as it was), in the code page (CP932 bytes), the edited list and the
# closing keys in it. Then a standard user (another Linux user with a Wine prefix of their
# own, for whom the install is read-only) changes a setting: no error, the change is in
# their own Settei.ini and is still there when the dialog opens again.
#
# usage: settings_dialog_wine_e2e.sh WINE-RUN BUILD PROGRAM [ARGUMENT...]
# BUILD is the Windows build folder: its Wine prefix is used, the pictures go to BUILD/e2e.
# PROGRAM (with its ARGUMENTs) shows the settings dialog: velmorandi.scr /c, or the probe. It
# runs from a folder of its own, with only Settei.ini in its VelmorandiScrData.
# Exits 77 (skipped) when Xvfb, xdotool, ImageMagick or python3 are missing. The standard
# user needs root (to act as "nobody") and setpriv: without them that part is skipped, and
# under CI it fails.
set -u
wine_run=$1
build=$(cd "$2" && pwd)
out=$build/e2e
program=$3
shift 3
arguments=("$@")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../support/e2e.sh"
. "$here/../../e2e/windows/wine_lib.sh"
e2e_require Xvfb xdotool import convert python3
dialog=
e2e_begin dialog
mkdir -p "$out"
. "$here/../../../scripts/xvfb.sh"
start_xvfb 140 199 1024x768x24 || { echo "FAIL: no X server could be started"; exit 1; }
export VM_WINE_DISPLAY=$DISPLAY
# Wine's processes of this prefix run on this display alone while the test runs.
prefix=$build/wineprefix
WINEPREFIX=$prefix wineserver -k 2>/dev/null
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null; e2e_cleanup' EXIT
# Without a window manager Wine draws the dialog's frame and caption itself only for
# windows it does not leave to one.
name=$(basename "$program")
"$wine_run" reg add "HKCU\\Software\\Wine\\AppDefaults\\$name\\X11 Driver" /v Managed /d N /f \
  >/dev/null 2>&1

app="$work/app"
mkdir -p "$app/VelmorandiScrData"
cp "$program" "$app/"
# Two wallpapers stored by an earlier run, in the code page as the system writes them.
python3 -c 'import sys; open(sys.argv[1], "wb").write(
  "[Picture]\r\nAdd=1\r\nCount=2\r\n3=Z:\\壁紙\\朝.jpg\r\n4=Z:\\壁紙\\夜.jpg\r\n".encode("cp932"))' \
  "$app/VelmorandiScrData/Settei.ini"

wine_forget_user_files
settings=$(wine_user_folder APPDATA)/Velmorandi/Settei.ini
cp "$app/VelmorandiScrData/Settei.ini" "$work/old_settings.ini"

"$wine_run" "$app/$name" "$@" >"$work/dialog.log" 2>&1 &
dialog=$!
if settei=$(window_named "ヴェルモランディの設定" 60); then
  ok "the settings dialog is on screen with its caption"
  sleep 1
  import -window root "$out/settings_dialog.png" 2>/dev/null
  python3 "$here/dialog_colours.py" "$out/settings_dialog.png" &&
    ok "its controls are drawn in their colours" || fail "the dialog's colours are not on screen"
else
  fail "no window titled ヴェルモランディの設定"
fi

# The first control is 四文字言葉の追加; the next one, 壁紙の選択, opens the wallpaper list.
xdotool key Tab space
if pictures=$(window_named "壁紙の選択" 20); then
  ok "the wallpaper dialog opens with its caption"
  # To the list, its first entry, back to 削除 (enabled by the selection), and press it.
  xdotool key Tab && sleep 0.3 && xdotool key Down && sleep 0.5
  xdotool key shift+Tab && sleep 0.3 && xdotool key space && sleep 0.5
  import -window root "$out/picture_select_dialog.png" 2>/dev/null
  xdotool key alt+F4
  window_gone "$pictures" 10 && ok "the wallpaper dialog closes" || fail "the wallpaper dialog stays"
else
  fail "no window titled 壁紙の選択"
fi
xdotool key alt+F4
expect_end "$dialog" 20 "closing the settings dialog ends the program" \
  "the settings dialog did not close"
dialog=

cmp -s "$app/VelmorandiScrData/Settei.ini" "$work/old_settings.ini" &&
  ok "the Settei.ini beside the program is left as it was" ||
  fail "the Settei.ini beside the program was changed"
python3 - "$settings" <<'PY' && ok "the user's Settei.ini holds the edited list and the closing keys, in CP932" || fail "the user's Settei.ini is not as expected"
import sys
data = open(sys.argv[1], "rb").read()
want = [b"Count=1\r\n", "3=Z:\\壁紙\\夜.jpg\r\n".encode("cp932"), b"Speed=5\r\n", b"WaitTime=5\r\n",
        b"IkisakiHyoji=1\r\n", b"ImiHyoji=1\r\n", b"Yusen=0\r\n"]
missing = [line for line in want if line not in data]
utf8 = "壁紙".encode("utf-8") in data
if missing or utf8:
    print("missing:", missing, "UTF-8 found:", utf8)
    print(data.decode("cp932", "replace"))
    sys.exit(1)
PY
cp "$settings" "$out/Settei.ini"
wine_forget_user_files

# --- A standard user: the install read-only to them, their files in their own %APPDATA% -----
if [ "$(id -u)" -ne 0 ] || ! command -v setpriv >/dev/null; then
  [ "${CI:-}" = true ] && fail "no standard user can be played (root and setpriv are needed)" ||
    echo "skipped: the standard user (root and setpriv are needed)"
  e2e_end "$work/dialog.log" "all settings dialog checks under Wine passed"
fi
WINEPREFIX=$prefix wineserver -k 2>/dev/null
chmod 755 "$work"
install=$work/install
mkdir -p "$install/VelmorandiScrData"
cp "$program" "$install/"
printf '[Settei]\r\nSpeed=2\r\n' >"$install/VelmorandiScrData/Settei.ini"
home=$work/standard
mkdir -p "$home"
cp -a "$prefix" "$home/prefix"
# Debian's Wine keeps there the name of the server's folder, which is this user's (root's).
rm -f "$home/prefix/wineserver"
chown -R nobody "$home"
as_user() {
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME="$home" VM_WINEPREFIX="$home/prefix" "$@"
}
trap 'as_user env WINEPREFIX="$home/prefix" wineserver -k 2>/dev/null; WINEPREFIX=$prefix wineserver -k 2>/dev/null; e2e_cleanup' EXIT
user_appdata=$(as_user "$wine_run" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
user_settings=$(as_user "$wine_run" winepath -u "$user_appdata" 2>/dev/null | tr -d '\r')/Velmorandi/Settei.ini
as_user touch "$install/VelmorandiScrData/Settei.ini" 2>/dev/null &&
  fail "the install is writable for the standard user"
standard_dialog() {  # opens the dialog as the standard user, runs $1 in it, closes it
  as_user "$wine_run" "$install/$name" "${arguments[@]}" >>"$work/dialog.log" 2>&1 &
  dialog=$!
  if window_named "ヴェルモランディの設定" 60 >/dev/null; then
    sleep 1
    eval "$1"
    window_named "エラー" 1 >/dev/null && fail "an error box came up"
    xdotool key alt+F4
    expect_end "$dialog" 20 "the standard user's dialog closes" "the standard user's dialog stays"
  else
    fail "the standard user sees no settings dialog"
    kill "$dialog" 2>/dev/null
  fi
  dialog=
}
# Backwards from the first control is the last: 最初から意味を表示する, ticked by default.
standard_dialog "xdotool key shift+Tab space"
grep -q "ImiHyoji=0" "$user_settings" 2>/dev/null && grep -q "Speed=2" "$user_settings" &&
  ok "the change is in the user's own Settei.ini, started from the one beside the program" ||
  fail "the user's Settei.ini lacks the change ($(cat "$user_settings" 2>/dev/null))"
standard_dialog ":"
grep -q "ImiHyoji=0" "$user_settings" 2>/dev/null && ok "the change is kept when the dialog opens again" ||
  fail "reopening the dialog lost the change"
e2e_end "$work/dialog.log" "all settings dialog checks under Wine passed"
