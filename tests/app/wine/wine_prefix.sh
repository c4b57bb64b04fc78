#!/bin/sh
# Makes the Wine prefix the program tests share (once; about 15 s), so each
# test starts Wine in about a second. Usage: wine_prefix.sh WINE_TEST_ROOT
set -eu
WINE_TEST_ROOT=$1
. "$(dirname "$0")/wine_env.sh"
if [ -f "$WINEPREFIX/.vexmon-ready" ]; then echo "ok   the Wine prefix is there"; exit 0; fi
rm -rf "$WINEPREFIX"
start=$(date +%s)
DISPLAY= "$WINE" wineboot -i > "$WINE_TEST_ROOT/wineboot.log" 2>&1
# Without a window manager, managed windows wait 2 s each before they close.
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null 2>&1
wineserver -w
touch "$WINEPREFIX/.vexmon-ready"
echo "ok   the Wine prefix was made in $(( $(date +%s) - start )) s"
