#!/usr/bin/env bash
# Runs the shipped program as a user would, under 32-bit Wine on a display of
# its own: unpacked from the download ZIP into a download folder on a prefix
# where the host sits at its default location, answered by keystrokes, its
# window photographed. The run accepts every question and must copy the
# documents. (What each other answer leads to is the driver suite's, on the
# same Win32 layer.)
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
rm -rf -- "$host" "$utility"
mkdir -p "$host/Packages/QUARN" "$host/Packages/My Documents" "$utility"
printf 'host' > "$host/QUARN.exe"
printf 'old page' > "$host/Packages/My Documents/Lumbrel.qdoc"
printf 'my letter' > "$host/Packages/My Documents/Letter.qdoc"
unzip -q "$zip" -d "$utility" || fail "$zip cannot be unpacked"

visible() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1
}

# await_box PREVIOUS: the id of the next visible box other than PREVIOUS.
await_box() {
  local id deadline=$((SECONDS + wait_limit))
  while [ $SECONDS -lt $deadline ]; do
    id=$(visible "$box_title")
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

# await_exit: waits for the program's end; sets status.
await_exit() {
  local deadline=$((SECONDS + wait_limit))
  while kill -0 "$pid" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      fail "program still running"
      kill "$pid" 2>/dev/null
      break
    fi
    sleep 0.2
  done
  wait "$pid"
  status=$?
}

# Accepted throughout: the default installation is repaired.
(cd "$utility" && exec "$wine" LumbrelRestore.exe) >"$shots/program.log" 2>&1 &
pid=$!
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
window=$(visible "$window_title")
if [ -n "$window" ]; then
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shots/window.png" ||
    fail "no window screenshot"
else
  fail "window gone before the success box was answered"
fi
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

[ $failures -eq 0 ] || exit 1
echo "ok: screenshots in $shots"
