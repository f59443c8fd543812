#!/usr/bin/env bash
# velmorandi.scr under Wine on a 640 x 480 virtual X server (with GLX, for Wine's Direct3D):
# "/s" draws the board and the walker, on the screen and in its own back buffer; a key ends
# it with status 0, and so does a mouse movement of more than 10 pixels, while the system's
# request to start a screensaver is swallowed; the chime of the first completed idiom is
# heard through Wine's sound device, and nothing before it; "/p" draws its still into a
# window of another program and ends when that window goes. Without its data folder "/s"
# gives the screen back and says why in one message box. The installer installs without
# asking, the saver runs from where it put it, and the uninstaller takes it away again. The
# .scr carries its name, icon, version and manifest. On a 1280 x 720 screen without a
# 640 x 480 mode the frame is shown scaled between black bars, and the 10-pixel rule counts
# frame pixels. The screenshots stay in OUTDIR for people to look at.
#
# usage: saver_wine_e2e.sh WINE-RUN VELMORANDI.scr DESKTOP_HOST.exe LEAF.bmp SETUP.exe OUTDIR
# Exits 77 (skipped) when Xvfb, xdotool, ImageMagick, python3 or wrestool are missing.
set -u
wine_run=$1
scr=$2
desktop_host=$3
leaf=$4
setup=$5
out=$6
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../support/e2e.sh"
. "$here/wine_lib.sh"
e2e_require Xvfb xdotool import convert python3 wrestool
saver=
e2e_begin saver
mkdir -p "$out"
. "$here/../../../scripts/xvfb.sh"
start_xvfb 140 199 640x480x24 +extension GLX || { echo "FAIL: no X server could be started"; exit 1; }
export VM_WINE_DISPLAY=$DISPLAY
# Wine's processes of this prefix run on this display alone while the test runs.
prefix=$(dirname "$scr")/../wineprefix
WINEPREFIX=$(cd "$prefix" && pwd) wineserver -k 2>/dev/null
trap 'WINEPREFIX=$(cd "$prefix" && pwd) wineserver -k 2>/dev/null; e2e_cleanup' EXIT

# Wine reaches the host's files through drive Z:.
winepath_of() { echo "Z:$1"; }
# The saver reads a user's own Settei.ini before the one beside it: none is left from before.
wine_forget_user_files

shot() {
  import -window root "$work/$1.png" 2>/dev/null && convert "$work/$1.png" "$work/$1.ppm" &&
    cp "$work/$1.png" "$out/$1.png"
}

# --- "/s": a frame on the screen and in the back buffer, then a key ends it ---------------
xdotool mousemove 200 150
start_saver 20 "$work/frame.ppm" "$scr"
if [ -s "$work/frame.ppm" ]; then
  cp "$work/frame.ppm" "$out/back_buffer.ppm"
  python3 "$here/../check_frame.py" "$work/frame.ppm" "$leaf" &&
    ok "the back buffer holds the board" || fail "the back buffer does not hold the board"
else
  fail "no frame was read back from the back buffer"
fi
sleep 0.5
if shot saver && python3 "$here/../check_frame.py" "$work/saver.ppm" "$leaf"; then
  ok "the screen shows the board"
  colours=$(python3 "$here/../colours.py" "$work/saver.ppm")
  [ "$colours" -ge 1000 ] && ok "$colours colours on the screen" || fail "only $colours colours on the screen"
  python3 "$here/same_scene.py" "$work/saver.ppm" "$work/frame.ppm" &&
    ok "the screen shows the back buffer's frame" || fail "the screen and the back buffer differ"
else
  fail "no saver frame on the screen"
fi
xdotool key space
expect_end "$saver" 10 "a key ends it" "a key press did not end the saver"
saver=

# --- Ten pixels in each axis keep it running, eleven end it --------------------------------
# The first position seen is the reference: the pointer's place when the window appears
# (Windows may report it at once) or the first movement, 5 pixels on. Every position below
# is within 10 pixels of both in each axis, but the last, which is 11 pixels from the second.
# The first frame's copy tells that the window is up.
xdotool mousemove 200 150
start_saver 1 "$work/up.ppm" "$scr"
for position in "205 155" "210 160" "195 145"; do
  xdotool mousemove $position
  sleep 0.5
done
if kill -0 "$saver" 2>/dev/null; then ok "10 pixels keep it"; else fail "a movement of 10 pixels ended the saver"; fi
"$wine_run" "$desktop_host" screensave >"$work/desktop.log" 2>&1 ||
  fail "the screensaver command was not swallowed"
sed 's/^/  desktop: /' "$work/desktop.log"
sleep 0.5
kill -0 "$saver" 2>/dev/null || fail "the screensaver command ended the saver"
xdotool mousemove 216 155
expect_end "$saver" 10 "11 pixels end it" "a movement of 11 pixels did not end the saver"
saver=

# --- The chime at the first completed idiom, through Wine's sound device -----------------
# A copy of the saver beside a data folder of its own, whose Settei.ini has the walker step
# every 300 ms, and a fixed seed: the first idiom is completed a few seconds in. Nothing may
# be heard by frame 15 (the walker's first step comes 3.3 s after the start), and the chime
# must be heard afterwards.
chime=$work/chime
mkdir -p "$chime/home"
cp -r "$(dirname "$scr")/VelmorandiScrData" "$chime/"
ln "$scr" "$chime/velmorandi.scr" 2>/dev/null || cp "$scr" "$chime/velmorandi.scr"
printf '[Settei]\r\nSpeed=1\r\n' >"$chime/VelmorandiScrData/Settei.ini"
# The loudest sample the sink has recorded (raw 16-bit little-endian); 0 before it exists.
sink_peak() {
  python3 -c 'import array, os, sys
data = open(sys.argv[1], "rb").read() if os.path.exists(sys.argv[1]) else b""
print(max(map(abs, array.array("h", data[: len(data) // 2 * 2])), default=0))' "$chime/sink.raw"
}
started=$(date +%s%N)
HOME=$chime/home VELMORANDI_SEED=20 VELMORANDI_COPY_FRAME=15 \
  VELMORANDI_COPY_FRAME_TO="$(winepath_of "$chime/early.ppm")" \
  "$(dirname "$wine_run")/wine-sound-sink" "$chime/sink.raw" "$chime/velmorandi.scr" /s \
  >>"$work/saver.log" 2>&1 &
saver=$!
for _ in $(seq 300); do [ -s "$chime/early.ppm" ] && break; sleep 0.1; done
if [ ! -s "$chime/early.ppm" ]; then
  fail "the chime's saver drew no frame"
elif peak=$(sink_peak) && [ "$peak" -lt 100 ]; then
  ok "nothing heard before the walker's first step"
else
  fail "sound (peak $peak) before the walker's first step"
fi
peak=0
for _ in $(seq 150); do
  peak=$(sink_peak)
  [ "$peak" -ge 1000 ] && break
  sleep 0.1
done
[ "$peak" -ge 1000 ] &&
  ok "the chime is heard (peak $peak), $((($(date +%s%N) - started) / 1000000)) ms after the start" ||
  fail "no chime was heard (peak $peak)"
xdotool key space
expect_end "$saver" 10 "a key ends the chiming saver" "a key press did not end the chiming saver"
saver=

# --- "/p": the still in another program's window, ended with that window -----------------
VELMORANDI_COPY_FRAME=1 VELMORANDI_COPY_FRAME_TO="$(winepath_of "$work/preview.ppm")" \
  "$wine_run" "$desktop_host" preview "$scr" >"$work/preview.log" 2>&1 &
host=$!
if wait_end "$host" 30; then
  sed 's/^/  preview host: /' "$work/preview.log"
  [ "$status" -eq 0 ] || fail "the preview host's checks failed"
else
  kill "$host" 2>/dev/null
  fail "the preview host did not end"
fi
if [ -s "$work/preview.ppm" ]; then
  convert "$work/preview.ppm" "$out/preview.png"
  colours=$(python3 "$here/../colours.py" "$work/preview.ppm")
  size=$(head -c 20 "$work/preview.ppm" | sed -n 2p)
  [ "$size" = "320 240" ] && ok "the preview is drawn at the window's size" ||
    fail "the preview was drawn at $size"
  [ "$colours" -ge 1000 ] && ok "$colours colours in the preview" ||
    fail "only $colours colours in the preview"
else
  fail "the preview drew nothing"
fi

# --- The resources Windows shows of the .scr -------------------------------------------
version=$(basename "$setup" .exe)
version=${version#velmorandi-setup-}
python3 "$here/scr_resources.py" "$scr" "$version" &&
  ok "the name, icon, version and manifest are in the .scr, tagged Japanese" ||
  fail "the .scr lacks resources"

# --- Without its data folder: the screen given back, then one box that says why ---------
mkdir "$work/nodata"
cp "$scr" "$work/nodata/"
WINEDEBUG=+msgbox "$wine_run" "$work/nodata/velmorandi.scr" /s >"$work/nodata.log" 2>&1 &
saver=$!
for _ in $(seq 300); do grep -q "MSGBOX_OnInit" "$work/nodata.log" && break; sleep 0.1; done
text=$(message_box_text "$work/nodata.log")
if [[ "$text" == スクリーンセーバーを開始できませんでした。*data.qda* ]]; then
  ok "a message box names the archive: ${text:0:100}"
else
  fail "no message box naming the archive (${text:-none})"
fi
sleep 0.5
shown=$(xdotool search --onlyvisible --name "^ヴェルモランディ\$" 2>/dev/null | wc -l)
[ "$shown" -eq 1 ] && ok "only the box is on the screen" ||
  fail "$shown windows of the saver are on the screen with the box"
xdotool key Return
if wait_end "$saver" 10; then
  [ "$status" -eq 1 ] && ok "closing the box ends the saver with status 1" ||
    fail "the saver ended with status $status"
else
  fail "the saver did not end when the box was closed"
fi
saver=

# --- The installer: silent, the saver runs from the system folder, the uninstaller -------
system32=$(wine_unix_path 'C:\windows\system32')
"$wine_run" "$(winepath_of "$setup")" /S >>"$work/saver.log" 2>&1 &&
  [ -f "$system32/velmorandi.scr" ] && [ -f "$system32/VelmorandiScrData/data.qda" ] &&
  ok "the installer puts the saver and its data into the system folder" ||
  fail "the silent install did not put the saver in place"
registered=$("$wine_run" reg query \
  'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmorandi' 2>/dev/null | tr -d '\r')
for value in DisplayName "DisplayVersion.*$version" Publisher EstimatedSize DisplayIcon \
  UninstallString; do
  grep -q "$value" <<<"$registered" || fail "Programs and Features lacks $value"
done
start_saver 2 "$work/installed.ppm" 'C:\windows\system32\velmorandi.scr'
python3 "$here/../check_frame.py" "$work/installed.ppm" "$leaf" &&
  ok "the installed saver draws the board" || fail "the installed saver drew no board"
xdotool key space
expect_end "$saver" 10 "a key ends the installed saver" "the installed saver did not end"
saver=
settings=$(wine_user_folder APPDATA)/Velmorandi/Settei.ini
mkdir -p "$(dirname "$settings")" && printf '[Settei]\r\nSpeed=3\r\n' >"$settings"
"$wine_run" 'C:\Program Files\Velmorandi\uninstall.exe' /S >>"$work/saver.log" 2>&1
# The uninstaller runs on from a copy of itself in the temporary folder.
installed() { [ -e "$system32/velmorandi.scr" ] || [ -e "$system32/VelmorandiScrData" ]; }
for _ in $(seq 200); do installed || break; sleep 0.1; done
if installed; then
  fail "the uninstaller left the saver in the system folder"
elif "$wine_run" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmorandi' \
  >/dev/null 2>&1; then
  fail "the uninstaller left its entry in Programs and Features"
else
  ok "the uninstaller removes the saver, its data and its entry"
fi
[ -f "$settings" ] && ok "the user's settings stay" || fail "the uninstaller removed the user's settings"
wine_forget_user_files

# --- A screen without a 640 x 480 mode: the frame scaled between black bars ---------------
# 1280 x 720 is the server's only mode: the frame is 960 x 720 at x = 160, 1.5 screen pixels
# a frame pixel. 15 screen pixels are 10 frame pixels, 17 are 11.
WINEPREFIX=$(cd "$prefix" && pwd) wineserver -k 2>/dev/null
first_xvfb=$xvfb
start_xvfb 200 259 1280x720x24 +extension GLX || { fail "no wide X server"; e2e_end "$work/saver.log" ""; }
wide_xvfb=$xvfb
xvfb=$first_xvfb
trap 'WINEPREFIX=$(cd "$prefix" && pwd) wineserver -k 2>/dev/null; kill "$wide_xvfb" 2>/dev/null; e2e_cleanup' EXIT
export VM_WINE_DISPLAY=$DISPLAY
xdotool mousemove 600 300
start_saver 10 "$work/scaled.ppm" "$scr"
sleep 0.5
import -window root "$work/wide.png" 2>/dev/null && cp "$work/wide.png" "$out/scaled.png"
convert "$work/wide.png" -crop 960x720+160+0 +repage -resize 640x480! "$work/inner.ppm"
python3 "$here/../check_frame.py" "$work/inner.ppm" "$leaf" &&
  ok "the board is drawn scaled to 960 x 720 in the middle" || fail "no scaled board in the middle"
python3 "$here/same_scene.py" "$work/inner.ppm" "$work/scaled.ppm" >/dev/null &&
  ok "the middle shows the back buffer's frame" || fail "the middle is not the frame"
bars=$(convert "$work/wide.png" \( +clone -crop 160x720+0+0 \) \( -clone 0 -crop 160x720+1120+0 \) \
  -delete 0 -append -format '%[fx:maxima]' info: 2>/dev/null)
[ "$bars" = 0 ] && ok "the bars beside it are black" || fail "the bars are not black ($bars)"
xdotool mousemove 615 315
sleep 0.5
kill -0 "$saver" 2>/dev/null && ok "10 frame pixels (15 screen pixels) keep it" ||
  fail "10 frame pixels ended the scaled saver"
xdotool key space
expect_end "$saver" 10 "a key ends the scaled saver" "a key did not end the scaled saver"
xdotool mousemove 600 300
start_saver 1 "$work/scaled.ppm" "$scr"
sleep 0.5
xdotool mousemove 617 300
expect_end "$saver" 10 "11 frame pixels end it" "11 frame pixels did not end the scaled saver"
saver=

e2e_end "$work/saver.log" "all Windows end-to-end checks passed"
