# Sourced by the Wine tests: one Wine prefix for the Windows programs' tests,
# inside the build tree, 64-bit, quiet, without .NET or Gecko prompts, with
# wineserver's socket folder in the build tree too. Needs WINE_TEST_ROOT.
export WINEPREFIX="$WINE_TEST_ROOT/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No sound device here: the audio drivers would only probe and time out.
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv=d"
export TMPDIR="$WINE_TEST_ROOT/tmp"
# The 64-bit loader itself: /usr/bin/wine picks the 32-bit one as soon as
# wine32 is installed, which a kernel without 32-bit support cannot start.
WINE=/usr/lib/wine/wine64
export WINELOADER=$WINE
mkdir -p "$TMPDIR"

# Where the Windows programs keep their settings inside the prefix.
wine_settings_file() {
  echo "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Vexmon/control.ini"
}

# colours FILE.xwd [GEOMETRY]: how many colours the screenshot (or its crop) holds.
colours() {
  if [ -n "${2:-}" ]; then
    /usr/bin/convert "$1" -crop "$2" +repage -format "%k" info:
  else
    /usr/bin/convert "$1" -format "%k" info:
  fi
}
