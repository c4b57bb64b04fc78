#!/bin/sh
# Runs stage-demo in an SDL window on a virtual X server, takes a screenshot of
# the whole screen while it runs, and checks pixels of the pictures in it.
# Usage: display_test.sh path/to/stage-demo output-directory
set -eu
demo=$1
out=$2
mkdir -p "$out"
rm -f "$out/screen.xwd" "$out/screen.png"

xvfb-run -a -s "-screen 0 640x480x24" sh -c '
  "$1" --seconds 4 > "$2/demo.log" 2>&1 &
  pid=$!
  sleep 2
  xwd -root -silent > "$2/screen.xwd"
  wait $pid
' sh "$demo" "$out"
convert "$out/screen.xwd" "$out/screen.png"

failed=0
check() {  # x y expected-RRGGBB what
  actual=$(convert "$out/screen.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6)
  if [ "$actual" = "$3" ]; then
    echo "ok   ($1,$2) $4 $actual"
  else
    echo "FAIL ($1,$2) $4: expected $3, got $actual"
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
cat "$out/demo.log"
exit $failed
