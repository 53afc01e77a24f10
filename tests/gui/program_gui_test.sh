#!/usr/bin/env bash
# Runs the shipped program as a user would, under 32-bit Wine on a display of
# its own: unpacked from the download ZIP into a download folder on a prefix
# where the host sits at its default location, answered by keystrokes, its
# window photographed. One run accepts every question and must copy the
# documents; the others dismiss the consent question by keyboard, start a
# second copy, and press Cancel by keyboard during a search at 144 and 192
# DPI, and must leave everything as it was. (What each other answer leads
# to is the driver suite's, on the same Win32 layer.)
#
#   program_gui_test.sh ZIP PREFIX SCREENSHOTS
set -uo pipefail
[ $# -eq 3 ] || { echo "usage: $0 ZIP PREFIX SCREENSHOTS" >&2; exit 2; }

# Keystrokes go to whichever window has the focus: no other test's window
# may share the display.
if [ -z "${LUMBREL_GUI_DISPLAY:-}" ]; then
  export LUMBREL_GUI_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shots=$3
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$2" "$shots"
export WINEPREFIX
WINEPREFIX=$(cd "$2" && pwd)
export WINEDEBUG=-all
wine=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver
"$source_dir/scripts/make-test-prefix" "$WINEPREFIX" || { echo "FAIL: no prefix" >&2; exit 1; }
# The documents as delivered, to compare against: a copy of their own.
pristine=$(mktemp -d "${TMPDIR:-/tmp}/lumbrel-gui.XXXXXX")
trap '"$wineserver" -k 2>/dev/null; rm -rf -- "$pristine"' EXIT
unzip -q "$zip" -d "$pristine" || { echo "FAIL: $zip cannot be unpacked" >&2; exit 1; }
docs=$pristine/Docs

drive_c=$WINEPREFIX/drive_c
host="$drive_c/Program Files/Quarnel"
utility="$drive_c/users/Public/Downloads/LumbrelRestore"
box_title='^Quarnel Lumbrel 1 Restore$'
window_title='^Quarnel Lumbrel Restore$'
wait_limit=90

failures=0
fail() {
  echo "FAIL $*" >&2
  failures=$((failures + 1))
}

# A fresh computer: the host with an old and an unrelated document, and the
# program delivered with its documents.
fresh_computer() {
  rm -rf -- "$host" "$utility"
  mkdir -p "$host/Packages/QUARN" "$host/Packages/My Documents" "$utility"
  printf 'host' > "$host/QUARN.exe"
  printf 'old page' > "$host/Packages/My Documents/Lumbrel.qdoc"
  printf 'my letter' > "$host/Packages/My Documents/Letter.qdoc"
  unzip -q "$zip" -d "$utility" || fail "$zip cannot be unpacked"
}

# untouched WHAT: the fresh computer's documents are still as they were.
untouched() {
  [ "$(cat "$host/Packages/My Documents/Lumbrel.qdoc")" = 'old page' ] || fail "$1 replaced a document"
  [ "$(find "$host/Packages/My Documents" -mindepth 1 | wc -l)" -eq 2 ] || fail "$1 added a document"
}

# A drive the search takes seconds over, so keys reach it while it runs.
bulk=$WINEPREFIX/drives/t/bulk
[ -d "$bulk" ] || for n in $(seq -w 1 30); do
  mkdir -p "$bulk/$n" && (cd "$bulk/$n" && seq -f 'file%04g.txt' 1000 | xargs touch)
done

# set_dpi DPI: the density each program started from now on finds.
set_dpi() {
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || fail "no $1 DPI"
}

visible() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1
}

# await_box PREVIOUS [TITLE]: the id of the next visible box (of the
# driver's title, or TITLE) other than PREVIOUS.
await_box() {
  local id deadline=$((SECONDS + wait_limit))
  while [ $SECONDS -lt $deadline ]; do
    id=$(visible "${2:-$box_title}")
    if [ -n "$id" ] && [ "$id" != "$1" ]; then
      sleep 0.5  # let it paint before it is photographed or answered
      echo "$id"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

# With no window manager keys go to the window under the pointer: point at
# the box and focus it first.
answer() {
  xdotool mousemove --window "$1" 20 20 2>/dev/null
  xdotool windowfocus --sync "$1" 2>/dev/null
  xdotool key "$2"
}

shoot() {
  import -window root "$shots/$1.png" || fail "no screenshot $1"
}

# photograph_window NAME: the main window alone; sets WIDTH and HEIGHT.
photograph_window() {
  local window
  window=$(visible "$window_title")
  [ -n "$window" ] || { fail "no window to photograph as $1"; WIDTH=0 HEIGHT=0; return; }
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shots/$1.png" || fail "no screenshot $1"
}

# await_exit [PID]: waits for the program's end (or PID's); sets status.
await_exit() {
  local waited=${1:-$pid} deadline=$((SECONDS + wait_limit))
  while kill -0 "$waited" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      fail "program still running"
      kill "$waited" 2>/dev/null
      break
    fi
    sleep 0.2
  done
  wait "$waited"
  status=$?
}

launch() {
  (cd "$utility" && exec "$wine" LumbrelRestore.exe) >>"$shots/program.log" 2>&1 &
  pid=$!
}

# logo_width PHOTO DPI: the columns the logo inks in its box (163x43+8+4 at 96 DPI).
logo_width() {
  convert "$1" -crop "$(($2 * 163 / 96))x$(($2 * 43 / 96))+$(($2 * 8 / 96))+$(($2 * 4 / 96))" +repage \
    -fuzz 10% -trim -format %w info:
}

: >"$shots/program.log"
fresh_computer
set_dpi 96

# The consent question dismissed by keyboard (Escape, then Alt+F4) ends the
# run with nothing touched. While it is asked, a second copy brings it to the
# front and ends at once.
for key in Escape alt+F4; do
  launch
  box=$(await_box "") || fail "no consent box"
  if [ "$key" = Escape ]; then
    (cd "$utility" && exec "$wine" LumbrelRestore.exe) >>"$shots/program.log" 2>&1 &
    await_exit $!
    [ "$status" -eq 4 ] || fail "second copy: exit status $status, expected 4"
    [ "$(xdotool search --onlyvisible --name "$box_title" | wc -l)" -eq 1 ] || fail "second copy asked"
  fi
  answer "$box" "$key"
  await_exit
  [ "$status" -eq 1 ] || fail "$key on the consent question: exit status $status, expected 1"
  untouched "$key on the consent question"
done

# Accepted throughout: the default installation is repaired.
launch
box=$(await_box "") || fail "no consent box"
[ -z "$(visible "$window_title")" ] || fail "window shown before consent"
shoot 1-consent
answer "$box" y
box=$(await_box "$box") || fail "no reminder box"
[ -z "$(visible "$window_title")" ] || fail "window shown before the reminder was accepted"
shoot 2-reminder
answer "$box" Return
box=$(await_box "$box") || fail "no default-location box"
[ -n "$(visible "$window_title")" ] || fail "window hidden while the default location is asked"
shoot 3-default-location
answer "$box" y
box=$(await_box "$box") || fail "no success box"
# Out of the way, so that the window's final text can be seen.
xdotool windowmove --sync "$box" 0 0 2>/dev/null
sleep 0.5
shoot 4-success
photograph_window window
answer "$box" Return
await_exit
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
for document in "$docs"/*; do
  cmp -s -- "$document" "$host/Packages/My Documents/${document##*/}" || fail "${document##*/} not copied"
done
[ "$(cat "$host/Packages/My Documents/Letter.qdoc")" = 'my letter' ] || fail "unrelated document changed"
expected=$(( $(find "$docs" -maxdepth 1 -type f | wc -l) + 1 ))
actual=$(find "$host/Packages/My Documents" -mindepth 1 | wc -l)
[ "$actual" -eq "$expected" ] || fail "$actual entries in My Documents, expected $expected"
diff -r -- "$docs" "$utility/Docs" >/dev/null || fail "delivered documents changed"
[ -z "$(visible "$window_title")$(visible "$box_title")" ] || fail "a window outlived the program"

# At 144 and 192 DPI the window and its logo grow; during the search Enter
# on the window asks "Cancel Repair?", and after that box Space does again.
for dpi in 144 192; do
  fresh_computer
  set_dpi "$dpi"
  launch
  # Consent, reminder, default location (each box a new window): the search begins.
  for key in y Return n; do
    box=$(await_box "$box") || fail "no box to answer $key at $dpi DPI"
    answer "$box" "$key"
  done
  for _ in $(seq 50); do [ -z "$(visible "$box_title")" ] && break; sleep 0.2; done  # photographed without it
  photograph_window "window-$dpi"
  [ "${WIDTH}x${HEIGHT}" = "$((324 * dpi / 96))x$((300 * dpi / 96))" ] ||
    fail "window ${WIDTH}x${HEIGHT} at $dpi DPI"
  logo=$(logo_width "$shots/window-$dpi.png" "$dpi")
  # The logo's width, in percent of what the density asks of it.
  grown=$((logo * 96 * 100 / ($(logo_width "$shots/window.png" 96) * dpi)))
  [ "$grown" -ge 95 ] && [ "$grown" -le 105 ] || fail "logo $logo pixels wide at $dpi DPI, grown $grown %"
  window=$(visible "$window_title")
  answer "$window" Return
  box=$(await_box "" '^Cancel Repair\?$') || fail "Enter on the window at $dpi DPI asked nothing"
  answer "$box" y
  sleep 0.5
  answer "$window" space
  box=$(await_box "$box" '^Cancel Repair\?$') || fail "Space on the window at $dpi DPI asked nothing"
  answer "$box" n
  await_exit
  [ "$status" -eq 1 ] || fail "cancel confirmed at $dpi DPI: exit status $status, expected 1"
  untouched "a cancelled search"
done

[ $failures -eq 0 ] || exit 1
echo "ok: screenshots in $shots"
