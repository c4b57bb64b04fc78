#!/bin/sh
# Runs stage-demo in an SDL window on a virtual X server and checks pixels of a
# screenshot of one known frame: the demo holds still after 40 moves of its
# ship (2 pixels each, so the ship stands at x = 80) and writes a ready file;
# the test waits for that file, not for a guessed time. Done once presenting
# whole frames, once presenting only the reported changes.
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
  rm -f "$shot.xwd" "$shot.png" "$shot.ready"
  # The screen is taken until the frozen frame shows (the ship's body at
  # (100, 108)); the ready file says the frame was drawn, the X server may
  # show it a moment later.
  xvfb-run -a -s "-screen 0 640x480x24" sh -c '
    "$1" --seconds 60 --freeze-after 40 --ready-file "$2.ready" $3 > "$2.log" 2>&1 &
    pid=$!
    tries=0
    until [ -f "$2.ready" ]; do
      tries=$((tries + 1))
      if [ $tries -gt 300 ] || ! kill -0 $pid 2> /dev/null; then
        echo "no ready file after $tries tries of 0.1 s" >> "$2.log"; break
      fi
      sleep 0.1
    done
    for try in 1 2 3 4 5 6 7 8 9 10; do
      xwd -root -silent > "$2.xwd"
      convert "$2.xwd" "$2.png"
      [ "$(convert "$2.png" -format "%[hex:p{100,108}]" info: | cut -c1-6)" = B4B4BE ] && break
      sleep 0.1
    done
    kill $pid 2> /dev/null || true
    wait $pid || true
  ' sh "$demo" "$shot" "$flag"

  check() {  # x y expected-RRGGBB what
    actual=$(convert "$shot.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6)
    if [ "$actual" = "$3" ]; then
      echo "ok   $mode ($1,$2) $4 $actual"
    else
      echo "FAIL $mode ($1,$2) $4: expected $3, got $actual"
      failed=1
    fi
  }
  if [ -f "$shot.ready" ]; then
    echo "ok   $mode ready file: $(cat "$shot.ready")"
  else
    echo "FAIL $mode: the demo never wrote its ready file"
    failed=1
  fi
  check 150 30 283CA0 "sky"
  check 10 230 1E7828 "meadow"
  check 48 48 FAD228 "sun"
  check 26 26 283CA0 "sky through the sun's see-through corner"
  check 205 145 C82828 "house"
  check 250 150 146414 "tree in front of the house"
  check 212 154 F0E68C "house window"
  check 400 300 000000 "outside the window"
  check 20 108 283CA0 "sky where the ship started"
  check 100 108 B4B4BE "the ship after 40 moves"
  check 124 108 283CA0 "sky just past the ship's nose"
  cat "$shot.log"
done
exit $failed
