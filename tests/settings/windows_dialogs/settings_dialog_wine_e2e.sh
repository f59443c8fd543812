#!/usr/bin/env bash
# The settings dialog under Wine on a virtual X server, with a Japanese system code page:
# its caption and controls on screen (the screenshots stay in BUILD/e2e for people to look at),
# the wallpaper dialog opened and edited from the keyboard, and the Settei.ini that closing
# both writes: in the code page (CP932 bytes), the edited list and the closing keys in it.
#
# usage: settings_dialog_wine_e2e.sh WINE-RUN BUILD PROGRAM [ARGUMENT...]
# BUILD is the Windows build folder: its Wine prefix is used, the pictures go to BUILD/e2e.
# PROGRAM (with its ARGUMENTs) shows the settings dialog: velmorandi.scr /c, or the probe. It
# runs from a folder of its own, with only Settei.ini in its VelmorandiScrData.
# Exits 77 (skipped) when Xvfb, xdotool, ImageMagick or python3 are missing.
set -u
wine_run=$1
build=$(cd "$2" && pwd)
out=$build/e2e
program=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../support/e2e.sh"
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

window_named() {  # waits up to $2 seconds for a window titled $1; its id on stdout
  for _ in $(seq $(($2 * 10))); do
    xdotool search --name "^$1\$" 2>/dev/null | head -1 | grep . && return 0
    sleep 0.1
  done
  return 1
}
gone() {  # waits up to $2 seconds for window $1 to go
  for _ in $(seq $(($2 * 10))); do
    xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

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
  gone "$pictures" 10 && ok "the wallpaper dialog closes" || fail "the wallpaper dialog stays"
else
  fail "no window titled 壁紙の選択"
fi
xdotool key alt+F4
expect_end "$dialog" 20 "closing the settings dialog ends the program" \
  "the settings dialog did not close"
dialog=

python3 - "$app/VelmorandiScrData/Settei.ini" <<'PY' && ok "Settei.ini holds the edited list and the closing keys, in CP932" || fail "Settei.ini is not as expected"
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
cp "$app/VelmorandiScrData/Settei.ini" "$out/Settei.ini"
e2e_end "$work/dialog.log" "all settings dialog checks under Wine passed"
