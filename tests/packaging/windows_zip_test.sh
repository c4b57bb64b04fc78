#!/bin/sh
# The Windows zip from the two cross builds: both screensavers, each with
# VexmonAbout.exe and the content beside it, and the text on installing.
# Each program must be a PE GUI program for its machine, read from its header.
#   windows_zip_test.sh CPACK_WINDOWS_CONFIG OUT BUILD_64 BUILD_32
# Exit 77 (skipped) when the cross builds have not made their programs, a
# failure when VEXMON_ZIP_REQUIRED=1 (scripts/test, after the cross builds).
set -eu
config=$1 out=$2 build64=$3 build32=$4
fail() { echo "windows_zip_test: $*"; exit 1; }

for build in "$build64" "$build32"; do
  if [ ! -f "$build/Vexmon/Vexmon.scr" ] || [ ! -f "$build/Vexmon/VexmonAbout.exe" ]; then
    message="no Vexmon.scr and VexmonAbout.exe in $build/Vexmon"
    [ "${VEXMON_ZIP_REQUIRED:-0}" = 1 ] && fail "$message"
    echo "windows_zip_test: $message; build the cross builds first"
    exit 77
  fi
done

rm -rf "$out"
mkdir -p "$out/package" "$out/unpacked"
"${CPACK:-cpack}" --config "$config" -B "$out/package" > "$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; fail "cpack failed"; }
set -- "$out"/package/Vexmon-*-windows.zip
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack wrote no single Vexmon-*-windows.zip: $*"
zip=$1
(cd "$out/unpacked" && "${CMAKE:-cmake}" -E tar xf "$zip") || fail "$zip does not unpack"
top=$out/unpacked/$(basename "$zip" .zip)
[ -d "$top" ] || fail "the zip has no top folder $(basename "$zip" .zip)"

# u16/u32 FILE OFFSET: a little-endian number from the file.
u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
# pe_gui FILE MACHINE: a PE image for MACHINE with the Windows GUI subsystem (2).
pe_gui() {
  [ "$(od -An -c -N2 "$1" | tr -d ' ')" = MZ ] || fail "$1 is not an MZ executable"
  pe=$(u32 "$1" 60)
  [ "$(od -An -tx1 -j "$pe" -N4 "$1" | tr -d ' ')" = 50450000 ] || fail "$1 has no PE header"
  [ "$(u16 "$1" $((pe + 4)))" = "$2" ] || fail "$1 is for machine $(u16 "$1" $((pe + 4))), not $2"
  [ "$(u16 "$1" $((pe + 24 + 68)))" = 2 ] || fail "$1 is not a GUI program (subsystem $(u16 "$1" $((pe + 24 + 68))))"
}

# 0x8664 and 0x14c: x86-64 and i386.
for pair in x86_64:34404 i686:332; do
  arch=${pair%%:*} machine=${pair#*:}
  for program in Vexmon.scr VexmonAbout.exe; do
    [ -f "$top/$arch/$program" ] || fail "the zip has no $arch/$program"
    pe_gui "$top/$arch/$program" "$machine"
  done
  for file in Planet-Ice.RCS Satellites.RCS Skins/Tiger.bmp; do
    [ -f "$top/$arch/$file" ] || fail "the zip has no $arch/$file beside Vexmon.scr"
  done
  [ -n "$(ls "$top/$arch/Sounds")" ] || fail "the zip has no sounds in $arch/Sounds"
  [ ! -e "$top/$arch/QUELLMOOR.stream" ] || fail "the main stream is shipped beside the program that carries it"
done
grep -q 'APPDATA%\\Vexmon\\control.ini' "$top/INSTALL.txt" || fail "INSTALL.txt does not say where the settings live"
grep -q 'Install' "$top/INSTALL.txt" || fail "INSTALL.txt does not say how to install"
echo "windows_zip_test: $(basename "$zip"), $(wc -c < "$zip") bytes: both screensavers are PE GUI programs"
