#!/usr/bin/env bash
# The settings dialog and the preview on a real X server (Xvfb): "/c", "/c:4711" and no
# argument open the dialog; closing it writes the slider, display and word-list keys; the
# wallpaper dialog previews the selected picture; "/p ID" fills a 152 x 112 window with the
# shrunk still and ends when that window is destroyed; unusable preview ids end at once.
#
# The program runs from a temporary copy of its folder with a home folder of its own, where
# the dialog writes the user's Settei.ini. Screenshots are kept in SHOTS for people to look at.
#
# usage: config_e2e.sh VELMORANDI X11_HELPER STILL.jpg SHOTS
# Exits 77 (skipped) when Xvfb, xdotool, ImageMagick, xwininfo, xprop or python3 are missing.
set -u
velmorandi=$1
helper=$2
still=$3
shots=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/e2e.sh"
e2e_require Xvfb xdotool xwininfo xprop import convert python3
mkdir -p "$shots"

program=
parent_pid=
e2e_begin program parent_pid
app=$work/app
mkdir "$app"
cp "$velmorandi" "$app/velmorandi"
cp -r "$(dirname "$velmorandi")/VelmorandiScrData" "$app/"
rm -f "$app/VelmorandiScrData/Settei.ini" "$app/VelmorandiScrData/record.dat"
export HOME=$work/home
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME
ini=$HOME/.config/velmorandi/Settei.ini

e2e_display 800x600x24

# Prints the id of the visible window titled $1, waiting up to 10 seconds for it.
find_window() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.05
  done
  return 1
}

key() { python3 "$here/check_config.py" ini "$ini" "$1" "$2"; }
expect_key() {
  local value
  value=$(key "$1" "$2")
  [ "$value" = "$3" ] || fail "$4: $1/$2 is '$value', not '$3'"
}

shoot() {  # window, name: the window's picture as SHOTS/name.png and work/name.ppm
  import -window "$1" "$shots/$2.png" && convert "$shots/$2.png" "$work/$2.ppm"
}

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }

# The caption the window manager shows for window $1 must be exactly $2.
expect_title() {
  local name
  name=$(xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
  [ "$name" = "$2" ] || fail "a window is titled '$name', not '$2'"
}

# The pointer at ($2, $3) of window $1: the home-page label must then be colour $4.
expect_link_colour() {
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.3
  shoot "$1" "link_$4" && python3 "$here/check_config.py" link "$work/link_$4.ppm" "$4" ||
    fail "with the pointer at ($2, $3) the home-page label is not $4 (see $shots/link_$4.png)"
}

# Asks the dialog to close as a window manager would, and waits for the program's end.
close_dialog() {
  local window=$1 what=$2
  "$helper" close "$window" || fail "$what: the close request could not be sent"
  expect_end "$program" 10 "$what: closing ends it with 0" \
    "$what: the dialog did not end when asked to close"
  program=
}

settings_title="ヴェルモランディの設定"

# --- "/c" without a settings file: the dialog, then its keys on closing -------------------
"$app/velmorandi" /c 2>>"$work/program.log" &
program=$!
if dialog=$(find_window "$settings_title"); then
  ok "/c shows the dialog"
  sleep 0.5
  if shoot "$dialog" settings_dialog && python3 "$here/check_config.py" dialog "$work/settings_dialog.ppm"; then
    ok "the dialog's controls and texts are on screen"
  else
    fail "the dialog does not look right (see $shots/settings_dialog.png)"
  fi
  expect_title "$dialog" "$settings_title"
  expect_link_colour "$dialog" 300 463 purple
  expect_link_colour "$dialog" 245 380 green
  click "$dialog" 330 253  # 書体の変更
  if chooser=$(find_window "書体の変更"); then
    expect_title "$chooser" "書体の変更"
    shoot "$chooser" font_chooser
    "$helper" close "$chooser"
    sleep 0.3
  else
    fail "the font button showed no window titled 書体の変更"
  fi
  click "$dialog" 40 175  # 行き先の文字を赤く表示する: ticked at the start, now clear
  close_dialog "$dialog" "/c"
  expect_key Settei Speed 5 "/c"
  expect_key Settei WaitTime 5 "/c"
  expect_key Settei IkisakiHyoji 0 "/c"
  expect_key Settei ImiHyoji 1 "/c"
  expect_key TuikaJukugo Yusen 0 "/c"
  expect_key TuikaJukugo Quarnel 0 "/c"
  expect_key TuikaJukugo Brisolt 0 "/c"
else
  fail "/c showed no window titled $settings_title"
fi

# --- "/c:4711" loads the file, shows the wallpaper dialog and writes back -----------------
sed -i 's/^Speed=.*/Speed=3/' "$ini"
printf '[Picture]\nAdd=1\nCount=1\n3=%s\n' "$app/VelmorandiScrData/Kabe_1.jpg" >>"$ini"
"$app/velmorandi" /c:4711 2>>"$work/program.log" &
program=$!
if dialog=$(find_window "$settings_title"); then
  ok "/c:4711 shows the dialog"
  sleep 0.3
  click "$dialog" 412 66  # 壁紙の選択
  if pictures=$(find_window "壁紙の選択"); then
    expect_title "$pictures" "壁紙の選択"
    click "$pictures" 150 82  # the first entry
    sleep 0.3
    if shoot "$pictures" wallpaper_dialog && python3 "$here/check_config.py" pictures "$work/wallpaper_dialog.ppm"; then
      ok "the wallpaper dialog previews the selected picture"
    else
      fail "the wallpaper dialog does not look right (see $shots/wallpaper_dialog.png)"
    fi
    "$helper" close "$pictures"
    sleep 0.5
  else
    fail "the wallpaper button showed no wallpaper dialog"
  fi
  close_dialog "$dialog" "/c:4711"
  expect_key Settei Speed 3 "/c:4711"
  expect_key Settei IkisakiHyoji 0 "/c:4711"
  expect_key Picture Count 1 "/c:4711"
  expect_key Picture Add 1 "/c:4711"
else
  fail "/c:4711 showed no window titled $settings_title"
fi

# --- No argument --------------------------------------------------------------------------
"$app/velmorandi" 2>>"$work/program.log" &
program=$!
if dialog=$(find_window "$settings_title"); then
  ok "no argument shows the dialog"
  close_dialog "$dialog" "no argument"
else
  fail "no argument showed no window titled $settings_title"
fi

# --- "/p ID": the still shrunk into a 152 x 112 window, ended with the window -------------
coproc PARENT { "$helper" window 152 112; }
parent_pid=$PARENT_PID
parent_in=${PARENT[1]}
if read -r -t 10 -u "${PARENT[0]}" parent; then
  "$app/velmorandi" /p "$parent" 2>>"$work/program.log" &
  program=$!
  child=
  for _ in $(seq 200); do
    child=$(xwininfo -children -id "$parent" 2>/dev/null | grep -E '^ +0x' | head -1)
    [ -n "$child" ] && break
    sleep 0.05
  done
  if [[ "$child" == *"152x112+0+0"* ]]; then ok "the preview fills its parent at (0, 0)"; else fail "preview child: '$child'"; fi
  sleep 0.8
  convert "$still" -resize '152x112!' "$work/still.ppm"
  import -window root -crop 152x112+10+10 +repage "$shots/preview.png" &&
    convert "$shots/preview.png" "$work/preview.ppm"
  if python3 "$here/check_config.py" preview "$work/preview.ppm" "$work/still.ppm"; then
    ok "the preview shows the still shrunk to 152 x 112"
  else
    fail "the preview does not show the still (see $shots/preview.png)"
  fi
  echo destroy >&"$parent_in"
  expect_end "$program" 5 "the preview ends with its parent" "the preview outlived its parent window"
  program=
else
  fail "the helper made no parent window"
fi
exec {parent_in}>&-
wait "$parent_pid" 2>/dev/null
parent_pid=

# --- Preview ids that cannot be used end at once with a line on stderr ---------------------
for args in "/p" "/P 12ab" "/p -5" "/p 4294967296" "/p 4294967295" "/p 0"; do
  # shellcheck disable=SC2086
  timeout 10 "$app/velmorandi" $args 2>"$work/refusal.log" >/dev/null
  code=$?
  [ $code -eq 0 ] || fail "velmorandi $args ended with $code"
  [ "$(wc -l <"$work/refusal.log" | tr -d ' ')" -ge 1 ] && grep -q velmorandi "$work/refusal.log" ||
    fail "velmorandi $args said nothing on stderr"
done
ok "unusable preview ids end at once with a reason"

e2e_end "$work/program.log" "all settings and preview checks passed"
