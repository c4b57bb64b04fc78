#!/bin/sh
# Runs stage-demo in an SDL window on a virtual X server, takes a screenshot of
# the whole screen while it runs, and checks pixels of the pictures in it:
# once presenting whole frames, once presenting only the reported changes.
# Usage: display_test.sh path/to/stage-demo output-directory
set -eu
demo=$1
out=$2
mkdir -p "$out"

failed=0
for mode in whole dirty; do
  flag=""
  [ "$mode" = dirty ] && flag="--dirty-only"
  shot="$out/screen-$mode"
  rm -f "$shot.xwd" "$shot.png"
  xvfb-run -a -s "-screen 0 640x480x24" sh -c '
    "$1" --seconds 4 $3 > "$2.log" 2>&1 &
    pid=$!
    sleep 2
    xwd -root -silent > "$2.xwd"
    wait $pid
  ' sh "$demo" "$shot" "$flag"
  convert "$shot.xwd" "$shot.png"

  check() {  # x y expected-RRGGBB what
    actual=$(convert "$shot.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6)
    if [ "$actual" = "$3" ]; then
      echo "ok   $mode ($1,$2) $4 $actual"
    else
      echo "FAIL $mode ($1,$2) $4: expected $3, got $actual"
      failed=1
    fi
  }
  check 150 30 283CA0 "sky"
  check 10 230 1E7828 "meadow"
  check 48 48 FAD228 "sun"
  check 26 26 283CA0 "sky through the sun's see-through corner"
  check 205 145 C82828 "house"
  check 250 150 146414 "tree in front of the house"
  check 212 154 F0E68C "house window"
  check 400 300 000000 "outside the window"
  check 20 108 283CA0 "sky where the ship started"
  cat "$shot.log"
done
exit $failed
