#!/bin/sh
# Starts `vexmon --fullscreen` on a virtual X server and ends it with input:
# S and F4 leave it running, a key ends it; a mouse movement of 5 pixels from
# where the pointer was first seen leaves it running, 6 end it.
# Usage: fullscreen_test.sh path/to/vexmon path/to/vexmon_x_input output-directory
set -eu
program=$1
input=$2
out=$3
mkdir -p "$out"
rm -f "$out"/*.log "$out"/result-*

xvfb-run -a -s "-screen 0 800x600x24" sh -c '
  program=$1; input=$2; out=$3
  start() {  # name
    "$program" --fullscreen --seed 7 --sound off > "$out/$1.log" 2>&1 &
    pid=$!
    tries=0
    until "$input" find Vexmon; do
      tries=$((tries + 1))
      if [ $tries -gt 300 ]; then
        echo "no window" >> "$out/result-$1"
        kill $pid 2> /dev/null || true  # never left running to hold the one-instance lock
        return 1
      fi
      sleep 0.1
    done
    sleep 0.5
  }
  running() { kill -0 $pid 2> /dev/null; }
  ended_within() {  # tenths of a second
    tries=0
    while running; do
      tries=$((tries + 1)); [ $tries -gt $1 ] && return 1
      sleep 0.1
    done
    wait $pid
  }
  finish() { kill $pid 2> /dev/null || true; wait $pid 2> /dev/null || true; }

  if start keys; then
    "$input" key Vexmon s; "$input" key Vexmon F4; sleep 1
    if running; then echo "ok   S and F4 leave it running" >> "$out/result-keys"
    else echo "FAIL S or F4 ended it" >> "$out/result-keys"; fi
    "$input" key Vexmon a
    if ended_within 50; then echo "ok   a key ends it, status 0" >> "$out/result-keys"
    else echo "FAIL a key did not end it" >> "$out/result-keys"; fi
    finish
  fi

  if start mouse; then
    "$input" move 400 300; sleep 0.3
    "$input" move 403 304; sleep 0.3
    "$input" move 400 295; sleep 0.5
    if running; then echo "ok   5 pixels leave it running" >> "$out/result-mouse"
    else echo "FAIL 5 pixels ended it" >> "$out/result-mouse"; fi
    "$input" move 406 300
    if ended_within 50; then echo "ok   6 pixels end it, status 0" >> "$out/result-mouse"
    else echo "FAIL 6 pixels did not end it" >> "$out/result-mouse"; fi
    finish
  fi
' sh "$program" "$input" "$out"
cat "$out"/*.log "$out"/result-* 2> /dev/null || true
if grep -q FAIL "$out"/result-* || [ "$(cat "$out"/result-* | grep -c '^ok')" -ne 4 ]; then exit 1; fi
