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
tmp=$(mktemp -d /tmp/zs-install.XXXXXX)
failures=0
game_pid=""
# shellcheck source=tests/install/private_x.sh
source "$(dirname "${BASH_SOURCE[0]}")/private_x.sh"

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  stop_private_x
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

for tool in Xvfb openbox xdotool xprop import convert compare identify desktop-file-validate; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (scripts/install-deps test installs it)"
    exit 77
  fi
done

# The bottom 31 rows of the screen are the game's bar image once it draws with its own files; the
# middle of it carries no numbers.
bar_difference() {
  import -window root "$tmp/screen.png"
  convert "$tmp/screen.png" -crop 300x31+250+569 +repage "$tmp/bar.png"
  convert "$srcdir/assets/gfx/alt_menu.png" -crop 300x31+250+0 +repage "$tmp/bar-file.png"
  compare -metric RMSE "$tmp/bar.png" "$tmp/bar-file.png" null: 2>&1 |
    sed -E 's/.*\((.*)\).*/\1/'
}

# Starts GAME from an empty folder with nothing pointing at the data, waits for its picture,
# presses Escape and expects it gone with status 0 and nothing on its standard error.
play_to_escape() {
  local game=$1
  local elsewhere="$tmp/elsewhere"
  mkdir -p "$elsewhere"
  start_private_x "$tmp"
  (cd "$elsewhere" && exec env -u ZS_DATA_DIR -u ZS_WINDOWED SDL_AUDIODRIVER=dummy \
    "$game" 2>"$tmp/stderr.txt") &
  game_pid=$!
  local drawn="" d=1
  for i in $(seq 60); do
    d=$(bar_difference)
    if awk -v d="$d" 'BEGIN { exit !(d < 0.08) }'; then drawn=$i; break; fi
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.25
  done
  if [ -z "$drawn" ]; then
    fail "the installed game never drew its bar (difference $d)"
    cat "$tmp/stderr.txt"
    return
  fi
  pass "installed game drawing with its own files, started in $elsewhere (bar difference $d)"
  xdotool key Escape
  for _ in $(seq 40); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$game_pid" 2>/dev/null; then
    fail "still running 2 s after Escape"
    return
  fi
  wait "$game_pid"
  local status=$?
  game_pid=""
  check "exit status 0 after Escape (was $status)" [ "$status" -eq 0 ]
  check "nothing logged: no missing file, no failed sound" [ ! -s "$tmp/stderr.txt" ]
  [ -s "$tmp/stderr.txt" ] && cat "$tmp/stderr.txt"
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
  local entry="$p/share/applications/zombie-shooter.desktop"
  check "desktop entry validates" desktop-file-validate "$entry"
  check "desktop entry starts the installed name" grep -qx 'Exec=zombie-shooter' "$entry"
  check "desktop entry names the installed icon" grep -qx 'Icon=zombie-shooter' "$entry"
  for size in 64 256; do
    check "icon ${size}x${size}" png_size "$p/share/icons/hicolor/${size}x${size}/apps/zombie-shooter.png" \
      "${size}x${size}"
  done
  check "copyright in the documentation" grep -q 'License: Expat' "$p/share/doc/zombie-shooter/copyright"
  check "manual page" gzip -t "$p/share/man/man6/zombie-shooter.6.gz"
}

case "$mode" in
  prefix)
    cmake --install "$build" --prefix "$tmp/prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; exit 1; }
    check_layout "" "$tmp/prefix"
    play_to_escape "$tmp/prefix/bin/zombie-shooter"
    ;;
  deb)
    if ! command -v dpkg-deb >/dev/null; then
      echo "SKIP: dpkg-deb is missing (Debian's dpkg), so no .deb can be built or unpacked"
      exit 77
    fi
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 ||
      { cat "$tmp/cpack.log"; exit 1; }
    deb=$(ls "$tmp"/pkg/zombie-shooter_*.deb)
    echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libsdl2-2.0-0 libsdl2-image-2.0-0 libsdl2-mixer-2.0-0; do
      check "depends on $lib" grep -q "\b$lib\b" <<<"$depends"
    done
    check "section games" [ "$(dpkg-deb -f "$deb" Section)" = games ]
    dpkg-deb -c "$deb" >"$tmp/contents"
    check "every file owned by root" awk '$2 != "root/root" { exit 1 }' "$tmp/contents"
    check "nothing writable but by its owner" awk 'substr($1, 6, 1) == "w" || substr($1, 9, 1) == "w" { exit 1 }' "$tmp/contents"
    check "only the game is executable" \
      [ "$(awk '$1 ~ /^-..x/ { print $6 }' "$tmp/contents")" = ./usr/bin/zombie-shooter ]
    dpkg -x "$deb" "$tmp/root"
    check "the game is stripped" grep -q ', stripped' <(file -b "$tmp/root/usr/bin/zombie-shooter")
    check_layout "$tmp/root" /usr
    play_to_escape "$tmp/root/usr/bin/zombie-shooter"
    ;;
  *)
    echo "usage: $0 prefix|deb BUILD SOURCE" >&2
    exit 2
    ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
exit 0
