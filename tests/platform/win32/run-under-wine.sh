#!/usr/bin/env bash
# Runs Windows test programs under Wine, sharing one prefix, one wineserver and
# one X display between them (each Wine start then costs about a second).
#
#   run-under-wine.sh start STATE        make the prefix (once) and start the server and display
#   run-under-wine.sh run STATE PROG.exe [ARGS...]
#   run-under-wine.sh stop STATE         stop the server, then the display we started
#
# STATE is a folder in the build tree: it holds the prefix, wineserver's
# socket folder and the display in use, so nothing is left outside the build.
# Without DISPLAY a virtual X server (Xvfb, 24-bit) is started; with one, it is used.
set -euo pipefail

mode=${1:?usage: run-under-wine.sh start|run|stop STATE [PROGRAM ARGS...]}
state=${2:?the state folder is missing}
shift 2
mkdir -p "$state/tmp"
state=$(cd "$state" && pwd)

export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# wineserver keeps its socket folder under TMPDIR.
export TMPDIR="$state/tmp"
unset WINELOADERNOEXEC

display_file="$state/display"

# /usr/bin/wine takes the 32-bit loader whenever it is installed, even for a
# 64-bit program on a kernel that cannot run 32-bit ones; so the loader is
# chosen here by the program's PE machine field.
loader_for() {  # loader_for PROGRAM.exe
  local pe machine
  pe=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  machine=$(od -An -t x2 -j $((pe + 4)) -N 2 "$1" | tr -d ' ')
  case "$machine" in
    8664) echo /usr/lib/wine/wine64 ;;
    14c) echo /usr/lib/wine/wine ;;
    *) echo wine ;;
  esac
}
# The prefix is made by the 64-bit half when it runs here (it runs 32-bit programs too).
boot_loader() {
  if /usr/lib/wine/wine64 --version > /dev/null 2>&1; then echo /usr/lib/wine/wine64; else echo wine; fi
}
xvfb_pid_file="$state/xvfb.pid"

start_display() {
  if [ -n "${DISPLAY:-}" ]; then
    echo "$DISPLAY" > "$display_file"
    return
  fi
  # -displayfd picks a free display and reports it once the server accepts clients.
  local fifo="$state/displayfd"
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$fifo" > "$state/xvfb.log" 2>&1 &
  echo $! > "$xvfb_pid_file"
  local number
  read -r -t 30 number < "$fifo" || { echo "Xvfb did not start (see $state/xvfb.log)" >&2; exit 1; }
  rm -f "$fifo"
  echo ":$number" > "$display_file"
}

case "$mode" in
  start)
    start_display
    export DISPLAY
    DISPLAY=$(cat "$display_file")
    started=$(date +%s)
    # A failed start leaves no display behind.
    trap '[ -f "$xvfb_pid_file" ] && kill "$(cat "$xvfb_pid_file")" 2> /dev/null; rm -f "$xvfb_pid_file"' ERR
    mkdir -p "$WINEPREFIX"
    # The server outlives this script: it must not hold the caller's output open.
    wineserver -p < /dev/null > /dev/null 2>&1
    loader=$(boot_loader)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$loader" wineboot -i > "$state/wineboot.log" 2>&1
      # Without a window manager, Wine waits for each managed window to close; unmanaged ones close at once.
      "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >> "$state/wineboot.log" 2>&1
      # A program that crashes is reported on its output and ends; no dialog waits for a click.
      "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >> "$state/wineboot.log" 2>&1
      echo "wine prefix made in $(( $(date +%s) - started )) s: $WINEPREFIX"
    else
      "$loader" wineboot > "$state/wineboot.log" 2>&1
    fi
    # Wine's own services now run, started here with their output in a file:
    # started by a test instead, they would hold its output open and keep
    # CTest waiting long after the test ended.
    echo "wine ready on display $DISPLAY"
    ;;
  run)
    program=${1:?the program is missing}
    shift
    [ -f "$display_file" ] || { echo "run-under-wine.sh start was not run for $state" >&2; exit 1; }
    DISPLAY=$(cat "$display_file")
    export DISPLAY
    exec "$(loader_for "$program")" "$program" "$@"
    ;;
  stop)
    wineserver -k 2> /dev/null || true
    wineserver -w 2> /dev/null || true
    if [ -f "$xvfb_pid_file" ]; then
      kill "$(cat "$xvfb_pid_file")" 2> /dev/null || true
      rm -f "$xvfb_pid_file"
    fi
    rm -f "$display_file"
    ;;
  *)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
