#!/bin/sh
# The Debian package, seen as a user gets it. Three steps, one per test:
#   deb_test.sh build    CPACK_CONFIG OUT   cpack writes the .deb, unpacked into OUT/root
#   deb_test.sh run      OUT GIF_CHECK      the unpacked program records the show from
#                                           OUT/root/usr/share/vexmon, not the build's content
#   deb_test.sh lintian  OUT                no lintian errors (exit 77: lintian absent)
set -eu
step=$1
fail() { echo "deb_test: $*"; exit 1; }

case $step in
build)
  config=$2 out=$3
  rm -rf "$out"
  mkdir -p "$out/package"
  "${CPACK:-cpack}" --config "$config" -B "$out/package" > "$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; fail "cpack failed"; }
  set -- "$out"/package/vexmon_*.deb
  [ $# -eq 1 ] && [ -f "$1" ] || fail "cpack wrote no single vexmon_*.deb: $*"
  cp "$1" "$out/vexmon.deb"
  dpkg-deb -x "$out/vexmon.deb" "$out/root"
  echo "deb_test: $(basename "$1"), $(wc -c < "$1") bytes, unpacked into $out/root"
  ;;
run)
  out=$2 check=$3 root=$2/root
  [ -d "$root" ] || fail "no unpacked package in $out (the build step failed)"
  share=$root/usr/share
  for file in usr/bin/vexmon usr/share/vexmon/Planet-Ice.RCS usr/share/vexmon/Skins/Tiger.bmp \
              usr/share/xscreensaver/config/vexmon.xml usr/share/applications/vexmon.desktop \
              usr/share/applications/screensavers/vexmon.desktop usr/share/icons/hicolor/48x48/apps/vexmon.png \
              usr/share/icons/hicolor/128x128/apps/vexmon.png usr/share/man/man6/vexmon.6.gz \
              usr/share/doc/vexmon/copyright usr/share/doc/vexmon/changelog.gz; do
    [ -f "$root/$file" ] || fail "the package has no /$file"
  done
  [ -x "$root/usr/bin/vexmon" ] || fail "/usr/bin/vexmon is not executable"
  [ "$(readlink "$root/usr/libexec/xscreensaver/vexmon")" = ../../bin/vexmon ] ||
    fail "/usr/libexec/xscreensaver/vexmon is not a link to ../../bin/vexmon"
  grep -qx 'Categories=Screensaver;' "$share/applications/screensavers/vexmon.desktop" ||
    fail "the screensaver entry is not in Categories=Screensaver;"
  [ ! -e "$share/vexmon/QUELLMOOR.stream" ] || fail "the main stream is shipped beside the program that carries it"
  depends=$(dpkg-deb -f "$out/vexmon.deb" Depends)
  case $depends in *libsdl2*) ;; *) fail "Depends does not name the libraries linked: $depends" ;; esac

  # A scene only the unpacked tree has: playing it proves whose content was used.
  cp "$share/vexmon/Planet-Ice.RCS" "$share/vexmon/Unpacked-Only.RCS"
  export XDG_CONFIG_HOME="$out/settings"
  unset XSCREENSAVER_WINDOW || true
  "$root/usr/bin/vexmon" --record "$out/show.gif" --seconds 2 --seed 7 --scene Unpacked-Only.RCS > "$out/record.log" 2>&1 ||
    { cat "$out/record.log"; fail "the installed vexmon could not record from $share/vexmon"; }
  grep -qx "vexmon: 50 frames (2 s) written to $out/show.gif" "$out/record.log" ||
    { cat "$out/record.log"; fail "unexpected output from the recording"; }
  "$check" "$out/show.gif" 2 || fail "the recording does not show the show"
  # The hack, started by its own path, finds the same folder.
  listed=$("$root/usr/libexec/xscreensaver/vexmon" --list-scenes | head -n 1)
  case $listed in *" scenes in $share/vexmon") ;; *) fail "the hack lists: $listed" ;; esac
  config=$("$root/usr/bin/vexmon" --config | grep '^Dir=')
  [ "$config" = "Dir=$share/vexmon  (not set: the default)" ] || fail "vexmon --config says $config"
  echo "deb_test: the unpacked vexmon recorded Unpacked-Only.RCS from $share/vexmon"
  ;;
lintian)
  out=$2
  [ -f "$out/vexmon.deb" ] || fail "no package in $out (the build step failed)"
  if ! command -v lintian > /dev/null; then
    echo "deb_test: lintian is not installed (scripts/setup installs it); the package was not checked"
    exit 77
  fi
  lintian --info --fail-on error "$out/vexmon.deb" > "$out/lintian.log" 2>&1 && status=0 || status=$?
  grep -v 'running with root privileges' "$out/lintian.log" || true
  [ $status -eq 0 ] && ! grep -q '^E: ' "$out/lintian.log" || fail "lintian reports errors"
  echo "deb_test: lintian: $(grep -c '^E: ' "$out/lintian.log") errors, $(grep -c '^W: ' "$out/lintian.log") warnings"
  ;;
*)
  fail "unknown step $step"
  ;;
esac
