#!/bin/sh
# Runs Vexmon.scr under Wine on a virtual X server and checks one mode:
#   debug      /d: the 640 x 480 window shows the show (pixels), ends with status 0
#   run        /s: the full screen shows the show, a second /s gives way, a
#              mouse movement ends it with status 0
#   preview    /p HWND inside PreviewHost.exe's window, ending with that window;
#              a /s started meanwhile closes it; a handle that is no window
#              ends it with 1, one that is no number with 2
#   configure  /c starts VexmonAbout.exe, which saves the choices it is given;
#              /a 99 stops at once
# Usage: wine_program_test.sh CASE WINE_TEST_ROOT PROGRAM_DIR PreviewHost.exe X_INPUT
# (X_INPUT: the native build's vexmon_x_input, which moves the pointer)
set -eu
if [ -z "${VEXMON_INSIDE_XVFB:-}" ]; then
  VEXMON_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
case_name=$1
WINE_TEST_ROOT=$2
programs=$3
host_exe=$4
x_input=$5
. "$(dirname "$0")/wine_env.sh"
out="$WINE_TEST_ROOT/$case_name"
rm -rf "$out"
mkdir -p "$out"
log="$out/log.txt"
windows_path() { echo "Z:$1" | tr / '\\'; }
export VEXMON_LOG="$(windows_path "$log")"
scr="$programs/Vexmon.scr"
trap 'wineserver -k 2> /dev/null || true' EXIT
failed=0
fail() { echo "FAIL $*"; failed=1; }
ok() { echo "ok   $*"; }
started=$(date +%s)

# shoot NAME GEOMETRY: screenshot until the area holds more than 40 colours (15 s at most); prints the count.
shoot() {
  n=0
  c=0
  while [ $n -lt 30 ]; do
    n=$((n + 1))
    sleep 0.5
    xwd -root -silent > "$out/$1.xwd"
    c=$(colours "$out/$1.xwd" "$2")
    [ "$c" -gt 40 ] && break
  done
  /usr/bin/convert "$out/$1.xwd" "$out/$1.png"
  echo "$c"
}

# ends PID SECONDS: waits for the process to end; sets `s` to its status, or
# "running". Not in a subshell: only this shell can reap its child.
ends() {
  n=0
  while [ $n -lt $(($2 * 10)) ]; do
    if ! kill -0 "$1" 2> /dev/null || [ "$(ps -o stat= -p "$1" 2> /dev/null | cut -c1)" = Z ]; then break; fi
    sleep 0.1
    n=$((n + 1))
  done
  if kill -0 "$1" 2> /dev/null && [ "$(ps -o stat= -p "$1" 2> /dev/null | cut -c1)" != Z ]; then s=running; return; fi
  s=0
  wait "$1" || s=$?
}

case $case_name in
debug)
  VEXMON_QUIT_AFTER_MS=7000 "$WINE" "$scr" /d &
  pid=$!
  c=$(shoot debug 640x480+0+0)
  [ "$c" -gt 40 ] && ok "/d shows the show ($c colours in its window)" || fail "/d shows $c colours"
  ends $pid 20
  [ "$s" = 0 ] && ok "/d ended with status 0" || fail "/d ended with $s"
  grep -q "showing 640x480" "$log" && ok "/d composed at 640x480" || fail "/d did not compose at 640x480"
  ;;
run)
  "$WINE" "$scr" /s &
  pid=$!
  c=$(shoot run 800x600+0+0)
  corner=$(colours "$out/run.xwd" 200x150+600+450)
  [ "$c" -gt 40 ] && ok "/s shows the show ($c colours)" || fail "/s shows $c colours"
  [ "$corner" -gt 1 ] && ok "/s covers the screen ($corner colours in the far corner)" || fail "/s left the far corner plain"
  grep -q "showing 800x600" "$log" && ok "/s composed at the screen's size" || fail "/s did not compose at 800x600"
  s=0
  timeout 20 "$WINE" "$scr" /s || s=$?
  [ "$s" = 0 ] && grep -q "giving way" "$log" && ok "a second /s gave way" || fail "a second /s did not give way ($s)"
  kill -0 $pid 2> /dev/null && ok "the first /s still runs" || fail "the first /s ended"
  flag=0
  "$WINE" "$host_exe" --running-flag || flag=$?
  [ "$flag" = 1 ] && ok "the running flag stays set after the second gave way" || fail "the running flag reads $flag"
  ends $pid 1
  [ "$s" = running ] && ok "/s keeps running without input" || fail "/s ended by itself ($s)"
  # The pointer starts at the screen's centre: a drift of up to 5 pixels from
  # where it was first seen is no input, more is.
  for at in "401 301" "403 302" "404 303"; do
    "$x_input" move $at
    sleep 0.3
  done
  ends $pid 1
  [ "$s" = running ] && ok "/s keeps running after a drift of 5 pixels" || fail "/s ended on a small drift ($s)"
  for at in "420 320" "500 420"; do
    "$x_input" move $at
    sleep 0.3
  done
  ends $pid 10
  [ "$s" = 0 ] && ok "/s ended on a mouse movement with status 0" || fail "/s after a mouse movement: $s"
  flag=0
  "$WINE" "$host_exe" --running-flag || flag=$?
  [ "$flag" = 0 ] && ok "the run cleared the running flag it set" || fail "after the run the running flag reads $flag"
  ;;
preview)
  # The host's window stays 10 s: the opening (2 s of Screen1, the fade to
  # Screen2) and then the show; taken at 4.5 s (kept to look at) and at 9 s.
  timeout 30 "$WINE" "$host_exe" "$(windows_path "$scr")" 10000 &
  pid=$!
  sleep 4.5
  xwd -root -silent > "$out/opening.xwd"
  sleep 4.5
  xwd -root -silent > "$out/preview.xwd"
  # Inside the host's client area (Wine draws its frame around it).
  /usr/bin/convert "$out/opening.xwd" -crop 140x90+26+50 +repage "$out/opening.png"
  /usr/bin/convert "$out/preview.xwd" -crop 140x90+26+50 +repage "$out/preview.png"
  c=$(colours "$out/preview.xwd" 140x90+26+50)
  [ "$c" -gt 40 ] && ok "/p draws into the host's window ($c colours)" || fail "/p: the host's window shows $c colours"
  ends $pid 30
  cat "$log"
  [ "$s" = 0 ] && ok "/p ran in the host's window and ended with it, status 0" || fail "/p: the host says $s"
  grep -q "the saver's window is inside ours" "$log" && ok "/p made its window a child of the host's" || fail "/p window not in the host"
  grep -q "showing" "$log" && ok "/p showed the show" || fail "/p did not show"
  # A run closes the preview it finds (the preview's window is a child, so it publishes its handle).
  timeout 40 "$WINE" "$host_exe" "$(windows_path "$scr")" 20000 &
  pid=$!
  n=0
  while [ "$(grep -c "^showing 608x448" "$log")" -lt 2 ] && [ $n -lt 150 ]; do sleep 0.1; n=$((n + 1)); done
  VEXMON_QUIT_AFTER_MS=4000 timeout 30 "$WINE" "$scr" /s &
  run=$!
  ends $pid 30
  [ "$s" = 3 ] && ok "a /s closed the running preview" || fail "the preview's host says $s with a /s started"
  ends $run 30
  [ "$s" = 0 ] && ok "that /s ran and ended with status 0" || fail "that /s ended with $s"
  s=0
  timeout 20 "$WINE" "$scr" /p 12345678 || s=$?
  [ "$s" = 1 ] && ok "/p with no such window ends with status 1" || fail "/p with no such window: $s"
  s=0
  timeout 20 "$WINE" "$scr" /p 12ab || s=$?
  [ "$s" = 2 ] && ok "/p with no number ends with status 2" || fail "/p with no number: $s"
  ;;
configure)
  settings=$(wine_settings_file)
  rm -f "$settings"
  s=0
  VEXMON_ABOUT_PICK="Tiger,2,0" timeout 20 "$WINE" "$scr" /c || s=$?
  [ "$s" = 0 ] && grep -q "configure: started" "$log" && ok "/c started VexmonAbout.exe" || fail "/c: status $s"
  n=0
  while ! grep -q "about: saved" "$log" && [ $n -lt 150 ]; do sleep 0.1; n=$((n + 1)); done
  grep -q "about: shown" "$log" && ok "VexmonAbout.exe showed its window" || fail "VexmonAbout.exe showed nothing"
  timeout 10 wineserver -w || fail "VexmonAbout.exe did not end after OK"
  # The password change has no dialog on NT (nor under Wine): the program simply stops.
  s=0
  timeout 20 "$WINE" "$scr" /a 99 || s=$?
  [ "$s" = 0 ] && grep -q "mode change password 99" "$log" && ok "/a 99 stops with status 0" || fail "/a 99: $s"
  cat "$log"
  if grep -q "^Skin=Tiger" "$settings" && grep -q "^Engine=2" "$settings" && grep -q "^Sound=0" "$settings"; then
    ok "OK wrote the choices to $(basename "$(dirname "$settings")")/control.ini"
  else
    fail "the settings file does not hold the choices"; cat "$settings" 2> /dev/null || true
  fi
  ;;
*) echo "unknown case $case_name"; exit 2 ;;
esac
echo "($case_name took $(( $(date +%s) - started )) s)"
[ $failed = 0 ]
