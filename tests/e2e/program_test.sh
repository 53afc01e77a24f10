#!/usr/bin/env bash
# Runs the real Linux program as a user's process would: on private
# Wine-style prefixes, answers on stdin, its JSON transcript read from stdout,
# its exit status checked. Each scenario builds its own small computer.
#
#   program_test.sh PROGRAM
set -uo pipefail
[ $# -eq 1 ] || { echo "usage: $0 PROGRAM" >&2; exit 2; }
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/lumbrel-e2e.XXXXXX")
trap 'rm -rf -- "$work"' EXIT

failures=0
scenario=""
fail() {
  echo "FAIL [$scenario] $*" >&2
  failures=$((failures + 1))
}

# new_computer NAME LETTERS...: a prefix whose drives are fixed hard disks.
new_computer() {
  scenario=$1
  shift
  computer=$work/$scenario
  mkdir -p "$computer/prefix/dosdevices"
  printf 'WINE REGISTRY Version 2\n\n[Software\\\\Wine\\\\Drives]\n' > "$computer/prefix/system.reg"
  local letter
  for letter in "$@"; do
    mkdir -p "$computer/$letter"
    ln -s "$computer/$letter" "$computer/prefix/dosdevices/$letter:"
    printf '"%s:"="hd"\n' "$letter" >> "$computer/prefix/system.reg"
  done
}

# install FOLDER: the host with its package entry and an old document.
install() {
  mkdir -p "$1/Packages/QUARN" "$1/Packages/My Documents"
  printf 'host' > "$1/QUARN.exe"
  printf 'old' > "$1/Packages/My Documents/Lumbrel.qdoc"
}

# deliver FOLDER: the program and its documents in FOLDER.
deliver() {
  mkdir -p "$1/Docs"
  cp "$program" "$1/"
  printf 'new page' > "$1/Docs/Lumbrel.qdoc"
}

# run PROGRAM ANSWERS...: runs it with one answer per line on stdin.
run() {
  local exe=$1
  shift
  printf '%s\n' "$@" | WINEPREFIX=$computer/prefix "$exe" \
    > "$computer/out.jsonl" 2> "$computer/err.txt"
  status=$?
}

expect_status() {
  [ "$status" -eq "$1" ] || fail "exit status $status, expected $1"
}

# expect_line JSON: the transcript holds exactly this line.
expect_line() {
  grep -Fxq -- "$1" "$computer/out.jsonl" || fail "no line $1"
}

expect_no_line() {
  ! grep -Fq -- "$1" "$computer/out.jsonl" || fail "unexpected $1"
}

expect_content() {
  [ "$(cat "$1" 2>/dev/null)" = "$2" ] || fail "$1 holds '$(cat "$1" 2>/dev/null)', expected '$2'"
}

title='"title":"Quarnel Lumbrel 1 Restore"'
restored='The Quarnel Lumbrel document has been restored.'

# --- The default installation, accepted ---------------------------------------
new_computer default c d
install "$computer/c/Program Files/Quarnel"
install "$computer/d/Other/Quarnel"
deliver "$computer/d/Delivery"
run "$computer/d/Delivery/lumbrel-restore" yes ok yes
expect_status 0
expect_line '{"event":"window","state":"shown"}'
expect_line "{\"event\":\"box\",$title,\"style\":68,\"text\":\"The Quarnel program has been located on drive C in the following folder:\\r\\n\\r\\nC:\\\\Program Files\\\\Quarnel\\r\\n\\r\\nWe recommend that you click YES to continue normally and repair your Lumbrel page.\\r\\n\\r\\nYou may optionally click NO if you want this updater to search your computer for additional installations of the Quarnel program. We recommend that you do this only if you've already run this updater and found that your Lumbrel page was not repaired.\"}"
expect_line '{"event":"cancel-button","enabled":false}'
expect_line '{"event":"status","line":1,"text":"Copying New Documents...\r\n\r\nC:\\Program Files\\Quarnel"}'
expect_line "{\"event\":\"status\",\"line\":1,\"text\":\"Repair Successful... \\r\\n\\r\\n$restored (C-1)\"}"
expect_line '{"event":"window","state":"closed"}'
expect_line '{"event":"end","ending":"success"}'
expect_no_line 'is now searching drive'
expect_content "$computer/c/Program Files/Quarnel/Packages/My Documents/Lumbrel.qdoc" 'new page'
expect_content "$computer/d/Other/Quarnel/Packages/My Documents/Lumbrel.qdoc" 'old'

# --- Utility and host both in drive roots ---------------------------------------
new_computer roots c d e
install "$computer/d"
deliver "$computer/e"
run "$computer/e/lumbrel-restore" y ok
expect_status 0
expect_line '{"event":"status","line":1,"text":"Copying New Documents...\r\n\r\nD:"}'
expect_line "{\"event\":\"status\",\"line\":1,\"text\":\"Repair Successful... \\r\\n\\r\\n$restored (C-1)\"}"
expect_content "$computer/d/Packages/My Documents/Lumbrel.qdoc" 'new page'

# --- Searched on every drive; the error report on stderr ------------------------
# Drive D's stray executable has no package entry; A's document folder is gone.
new_computer error c d
install "$computer/d/A"
rm -r "$computer/d/A/Packages/My Documents"
mkdir -p "$computer/d/Stray" && printf 'host' > "$computer/d/Stray/quarn.EXE"
deliver "$computer/d/Delivery"
run "$computer/d/Delivery/lumbrel-restore" yes ok
expect_status 3
expect_line '{"event":"status","line":1,"text":"Welcome\r\n\r\nQuarnel Update is now searching drive D for all copies of the Quarnel program.\r\n\r\nPlease wait..."}'
expect_line '{"event":"error","number":76,"text":"Path not found"}'
expect_line '{"event":"end","ending":"error"}'
grep -Fq "Run-time error '76':" "$computer/err.txt" || fail "no error report on stderr"
[ ! -e "$computer/d/A/Packages/My Documents" ] || fail "the document folder was created"

# --- The user says no, or stops answering ---------------------------------------
new_computer declined c d
install "$computer/c/Program Files/Quarnel"
deliver "$computer/d/Delivery"
run "$computer/d/Delivery/lumbrel-restore" no
expect_status 1
expect_line '{"event":"end","ending":"consent-declined"}'
expect_no_line '"window"'
expect_content "$computer/c/Program Files/Quarnel/Packages/My Documents/Lumbrel.qdoc" 'old'

run "$computer/d/Delivery/lumbrel-restore" yes
expect_status 1
expect_line '{"event":"end","ending":"input-closed"}'

# --- A program outside every drive cannot find its documents ---------------------
new_computer outside c
mkdir -p "$computer/elsewhere"
deliver "$computer/elsewhere"
run "$computer/elsewhere/lumbrel-restore" yes ok
expect_status 3
grep -Fq '"event":"error","number":76' "$computer/out.jsonl" || fail "no error event"
grep -Fq "$computer/elsewhere is on no Wine drive" "$computer/err.txt" || fail "the folder is not named"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all scenarios passed"
