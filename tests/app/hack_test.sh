#!/bin/sh
# Runs vexmon as an XScreenSaver hack inside a window the test makes, once
# named by -window-id and once by XSCREENSAVER_WINDOW with -root, and then on
# the root window itself (-root alone): the show must appear in that window
# (many colours, not the black it was made with), follow the host window when
# it grows, and SIGTERM must end the hack with status 0.
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
  # colours WINDOW [CROP]: how many colours the window shows (in the crop).
  colours() {
    xwd -id "$1" -silent > "$out/shot.xwd" && convert "$out/shot.xwd" ${2:+-crop "$2"} "$out/shot.png" &&
      convert "$out/shot.png" -format "%k" info:
  }
  root=$(xwininfo -root | sed -n "s/.*Window id: \(0x[0-9a-f]*\).*/\1/p")
  for how in window-id variable root; do
    target=$id
    if [ $how = window-id ]; then
      "$program" --window-id "$id" --seed 7 > "$out/$how.log" 2>&1 &
    elif [ $how = variable ]; then
      XSCREENSAVER_WINDOW=$upper "$program" -root --seed 7 > "$out/$how.log" 2>&1 &
    else
      # The host goes, so only the root window shows what is drawn.
      kill $hostpid 2> /dev/null || true
      target=$root
      env -u XSCREENSAVER_WINDOW "$program" -root --seed 7 > "$out/$how.log" 2>&1 &
    fi
    pid=$!
    count=0
    tries=0
    while [ $tries -lt 50 ]; do
      tries=$((tries + 1))
      sleep 0.2
      kill -0 $pid 2> /dev/null || break
      count=$(colours "$target")
      [ "$count" -gt 40 ] && break
    done
    cp "$out/shot.png" "$out/$how.png" 2> /dev/null || true
    if [ "$count" -gt 40 ]; then echo "ok   $how: the show is in its window ($count colours)" >> "$out/result-$how"
    else echo "FAIL $how: the window shows $count colours" >> "$out/result-$how"; fi
    if [ $how = window-id ]; then
      # The host is white where nobody draws: the strip it gains must turn to
      # the dark sky of the show.
      "$input" resize "$id" 780 560
      mean=1
      tries=0
      while [ $tries -lt 50 ]; do
        tries=$((tries + 1))
        sleep 0.2
        xwd -id "$id" -silent > "$out/shot.xwd" && convert "$out/shot.xwd" -crop 140x560+640+0 "$out/resize.png"
        mean=$(convert "$out/resize.png" -format "%[fx:int(mean*100)]" info:)
        [ "$mean" -lt 20 ] && break
      done
      if [ "$mean" -lt 20 ]; then echo "ok   resize: the grown window is painted dark, not left white" >> "$out/result-resize"
      else echo "FAIL resize: the strip the window gained stays at $mean% brightness" >> "$out/result-resize"; fi
    fi
    kill -TERM $pid 2> /dev/null || true
    status=0
    wait $pid || status=$?
    if [ $status -eq 0 ]; then echo "ok   $how: SIGTERM ends it with status 0" >> "$out/result-$how"
    else echo "FAIL $how: ended with status $status" >> "$out/result-$how"; fi
  done
  kill $hostpid 2> /dev/null || true
' sh "$program" "$input" "$out"
cat "$out"/*.log "$out"/result-* 2> /dev/null || true
if grep -q FAIL "$out"/result-* || [ "$(cat "$out"/result-* | grep -c '^ok')" -ne 7 ]; then exit 1; fi
