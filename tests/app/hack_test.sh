#!/bin/sh
# Runs vexmon as an XScreenSaver hack inside a window the test makes, once
# named by -window-id and once by XSCREENSAVER_WINDOW with -root: the show
# must appear in that window (many colours, not the black it was made with)
# and SIGTERM must end the hack with status 0.
# Usage: hack_test.sh path/to/vexmon path/to/vexmon_x_input output-directory
set -eu
program=$1
input=$2
out=$3
mkdir -p "$out"
rm -f "$out"/*.log "$out"/result-* "$out"/*.xwd "$out"/*.png "$out"/host-id

xvfb-run -a -s "-screen 0 800x600x24" sh -c '
  program=$1; input=$2; out=$3
  "$input" host 640 480 "$out/host-id" &
  hostpid=$!
  tries=0
  until [ -s "$out/host-id" ]; do tries=$((tries + 1)); [ $tries -gt 50 ] && break; sleep 0.1; done
  id=$(cat "$out/host-id")
  upper=0x$(echo "$id" | cut -c3- | tr a-f A-F)
  for how in window-id variable; do
    if [ $how = window-id ]; then
      "$program" --window-id "$id" --seed 7 > "$out/$how.log" 2>&1 &
    else
      XSCREENSAVER_WINDOW=$upper "$program" -root --seed 7 > "$out/$how.log" 2>&1 &
    fi
    pid=$!
    colours=0
    tries=0
    while [ $tries -lt 50 ]; do
      tries=$((tries + 1))
      sleep 0.2
      kill -0 $pid 2> /dev/null || break
      xwd -id "$id" -silent > "$out/$how.xwd"
      convert "$out/$how.xwd" "$out/$how.png"
      colours=$(convert "$out/$how.png" -format "%k" info:)
      [ "$colours" -gt 40 ] && break
    done
    if [ "$colours" -gt 40 ]; then echo "ok   $how: the show is in the host window ($colours colours)" >> "$out/result-$how"
    else echo "FAIL $how: the host window shows $colours colours" >> "$out/result-$how"; fi
    kill -TERM $pid 2> /dev/null || true
    status=0
    wait $pid || status=$?
    if [ $status -eq 0 ]; then echo "ok   $how: SIGTERM ends it with status 0" >> "$out/result-$how"
    else echo "FAIL $how: ended with status $status" >> "$out/result-$how"; fi
  done
  kill $hostpid 2> /dev/null || true
' sh "$program" "$input" "$out"
cat "$out"/*.log "$out"/result-* 2> /dev/null || true
if grep -q FAIL "$out"/result-* || [ "$(cat "$out"/result-* | grep -c '^ok')" -ne 4 ]; then exit 1; fi
