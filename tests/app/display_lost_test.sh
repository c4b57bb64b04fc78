#!/bin/sh
# Starts vexmon --window, then --fullscreen, each on a virtual X server of its
# own, waits for its window and ends the server under it. vexmon must end
# within 5 s with a status that is not 0, say why on standard error, and leave
# its one-instance lock free for the next start. Sound is off, so its runtime
# folder must get no sound server's folder either.
# Usage: display_lost_test.sh path/to/vexmon path/to/vexmon_x_input output-directory
set -u
program=$1
input=$2
out=$3
mkdir -p "$out"
rm -rf "$out"/*

pid=
xvfb=
# Never leave a program running to hold the lock, nor a server.
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2> /dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null
  true
}
trap cleanup EXIT

fail() { echo "FAIL $*"; failures=$((failures + 1)); }
failures=0
for mode in window fullscreen; do
  runtime="$out/runtime-$mode"
  mkdir -m 700 "$runtime"
  # -displayfd: the server picks a free display and writes its number once it is ready.
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3> "$out/display-$mode" 2> "$out/xvfb-$mode.log" &
  xvfb=$!
  tries=0
  until [ -s "$out/display-$mode" ]; do
    tries=$((tries + 1)); [ $tries -gt 100 ] && break
    sleep 0.1
  done
  if [ ! -s "$out/display-$mode" ]; then fail "$mode: no X server"; cleanup; xvfb=; continue; fi
  display=":$(head -n 1 "$out/display-$mode")"

  DISPLAY=$display XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME="$out/settings" \
    "$program" "--$mode" --seed 7 --sound off > "$out/$mode.log" 2>&1 &
  pid=$!
  tries=0
  until DISPLAY=$display "$input" find Vexmon; do
    tries=$((tries + 1)); [ $tries -gt 300 ] && break
    sleep 0.1
  done
  [ $tries -gt 300 ] && fail "$mode: no window in 30 s"
  sleep 0.5

  kill "$xvfb"; wait "$xvfb" 2> /dev/null; xvfb=
  tries=0
  while kill -0 "$pid" 2> /dev/null && [ $tries -lt 50 ]; do tries=$((tries + 1)); sleep 0.1; done
  if kill -0 "$pid" 2> /dev/null; then
    fail "$mode: still running 5 s after its X server ended"
    kill -9 "$pid" 2> /dev/null
    wait "$pid" 2> /dev/null; pid=
    continue
  fi
  status=0
  wait "$pid" || status=$?
  pid=
  cat "$out/$mode.log"
  if [ $status -eq 0 ]; then fail "$mode: ended with status 0"; else echo "ok   $mode: ended, status $status"; fi
  if grep -qx "vexmon: the X display $display went away, so the program ends." "$out/$mode.log"; then
    echo "ok   $mode: says why"
  else
    fail "$mode: does not say the display went away"
  fi
  if [ -e "$runtime/vexmon.lock" ] && ! flock -n "$runtime/vexmon.lock" true; then
    fail "$mode: the one-instance lock is still held"
  fi
  [ -e "$runtime/pulse" ] && fail "$mode: sound off, yet a sound server was asked"
done
[ $failures -eq 0 ]
