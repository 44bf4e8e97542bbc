#!/usr/bin/env bash
# Installs the game the ways a player gets it and plays the installed copy to Escape.
#
#   install_test.sh prefix BUILD SOURCE   `cmake --install` into a temporary prefix
#   install_test.sh deb    BUILD SOURCE   `cpack -G DEB`, then the package unpacked with `dpkg -x`
#
# The installed game is started from an empty folder, so it must find its files from its own
# location. It runs in a private X server (sound on SDL's dummy driver) and quits on a real
# Escape key. Exit status 77 means skipped.
set -u
mode=$1
build=$2
srcdir=$3
out=$(mktemp -d /tmp/zs-install.XXXXXX)
# shellcheck source=tests/install/private_x.sh
source "$(dirname "${BASH_SOURCE[0]}")/private_x.sh"
trap 'cleanup; rm -rf "$out"' EXIT

need Xvfb openbox xdotool xprop import convert compare identify desktop-file-validate appstreamcli

# Starts GAME from an empty folder with nothing pointing at the data, waits for its picture,
# presses Escape and expects it gone with status 0 and nothing on its standard error.
play_to_escape() {
  mkdir -p "$out/elsewhere"
  start_private_x
  (cd "$out/elsewhere" && exec env -u ZS_DATA_DIR -u ZS_WINDOWED SDL_AUDIODRIVER=dummy \
    "$1" 2>"$out/stderr.txt") &
  game_pid=$!
  wait_for_bar "$srcdir/assets/gfx/alt_menu.png" || { cat "$out/stderr.txt"; return; }
  quit_with_escape
  check "nothing logged: no missing file, no failed sound" [ ! -s "$out/stderr.txt" ]
  cat "$out/stderr.txt"
}

same_listing() { diff <(cd "$1" && ls) <(cd "$2" && ls) >/dev/null; }
png_size() { [ "$(identify -format '%m %wx%h' "$1" 2>/dev/null)" = "PNG $2" ]; }

# The layout the engine and the desktop expect, under the root ROOT with the prefix PREFIX.
check_layout() {
  local root=$1 prefix=$2
  local p="$root$prefix" share="$root$prefix/share/zombie-shooter"
  check "executable $prefix/bin/zombie-shooter" [ -x "$p/bin/zombie-shooter" ]
  check "every image in $prefix/share/zombie-shooter/gfx" same_listing "$srcdir/assets/gfx" "$share/gfx"
  check "every sound in $prefix/share/zombie-shooter/sfx" same_listing "$srcdir/assets/sfx" "$share/sfx"
  local entry="$p/share/applications/org.example.zombie_shooter.desktop"
  check "desktop entry validates" desktop-file-validate "$entry"
  check "software-centre metadata validates" \
    appstreamcli validate --no-net "$p/share/metainfo/org.example.zombie_shooter.metainfo.xml"
  check "desktop entry starts the installed name" grep -qx 'Exec=zombie-shooter' "$entry"
  check "desktop entry names the installed icon" grep -qx 'Icon=zombie-shooter' "$entry"
  for size in 64 128 256; do
    check "icon ${size}x${size}" png_size "$p/share/icons/hicolor/${size}x${size}/apps/zombie-shooter.png" \
      "${size}x${size}"
  done
  check "copyright in the documentation" grep -q 'License: Expat' "$p/share/doc/zombie-shooter/copyright"
  check "manual page" gzip -t "$p/share/man/man6/zombie-shooter.6.gz"
}

case "$mode" in
  prefix)
    cmake --install "$build" --prefix "$out/prefix" >"$out/install.log" || { cat "$out/install.log"; exit 1; }
    check_layout "" "$out/prefix"
    play_to_escape "$out/prefix/bin/zombie-shooter"
    ;;
  deb)
    if ! command -v dpkg-deb >/dev/null; then
      echo "SKIP: dpkg-deb is missing (Debian's dpkg), so no .deb can be built or unpacked"
      exit 77
    fi
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out/pkg" >"$out/cpack.log" 2>&1 ||
      { cat "$out/cpack.log"; exit 1; }
    deb=$(ls "$out"/pkg/zombie-shooter_*.deb)
    echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libsdl2-2.0-0 libsdl2-image-2.0-0 libsdl2-mixer-2.0-0; do
      check "depends on $lib" grep -q "\b$lib\b" <<<"$depends"
    done
    check "section games" [ "$(dpkg-deb -f "$deb" Section)" = games ]
    dpkg-deb -c "$deb" >"$out/contents"
    check "every file owned by root" awk '$2 != "root/root" { exit 1 }' "$out/contents"
    check "nothing writable but by its owner" awk 'substr($1, 6, 1) == "w" || substr($1, 9, 1) == "w" { exit 1 }' "$out/contents"
    check "only the game is executable" \
      [ "$(awk '$1 ~ /^-..x/ { print $6 }' "$out/contents")" = ./usr/bin/zombie-shooter ]
    dpkg -x "$deb" "$out/root"
    check "the game is stripped" grep -q ', stripped' <(file -b "$out/root/usr/bin/zombie-shooter")
    check_layout "$out/root" /usr
    play_to_escape "$out/root/usr/bin/zombie-shooter"
    ;;
  *)
    echo "usage: $0 prefix|deb BUILD SOURCE" >&2
    exit 2
    ;;
esac
finish
