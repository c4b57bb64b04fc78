#!/bin/sh
# Starts `vexmon --window` on a virtual X server and looks at the screen: the
# show is there when the window's area holds the ship's many colours, not the
# black of an empty sky. The screen is taken until that shows (at most 15 s).
# Usage: window_test.sh path/to/vexmon output-directory
set -eu
program=$1
out=$2
mkdir -p "$out"
rm -f "$out/screen.xwd" "$out/screen.png" "$out/result" "$out/vexmon.log"
xvfb-run -a -s "-screen 0 800x600x24" sh -c '
  "$1" --window --seed 7 --sound off > "$2/vexmon.log" 2>&1 &
  pid=$!
  colours=0
  tries=0
  while [ $tries -lt 75 ]; do
    tries=$((tries + 1))
    sleep 0.2
    if ! kill -0 $pid 2> /dev/null; then echo "vexmon ended by itself" >> "$2/vexmon.log"; break; fi
    xwd -root -silent > "$2/screen.xwd"
    convert "$2/screen.xwd" "$2/screen.png"
    colours=$(convert "$2/screen.png" -crop 800x600+0+0 -format "%k" info:)
    [ "$colours" -gt 40 ] && break
  done
  echo "$colours" > "$2/result"
  kill -0 $pid 2> /dev/null && echo running >> "$2/result"
  kill $pid 2> /dev/null || true
  wait $pid || true
' sh "$program" "$out"
cat "$out/vexmon.log"
colours=$(head -n 1 "$out/result")
echo "colours on screen: $colours"
if ! grep -q running "$out/result"; then echo "FAIL vexmon did not keep running"; exit 1; fi
if [ "$colours" -le 40 ]; then echo "FAIL the screen does not show the show"; exit 1; fi
echo "ok   the show is on the screen"
