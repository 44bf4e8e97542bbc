#!/usr/bin/env bash
# The Windows package the way a player gets it, played under Wine in a private X server:
#   wine_test.sh ZIP
# Unpacks the zip, checks that every DLL the executable and its DLLs import is in the package or
# is one of Windows' own, starts the game from another folder, checks the bar, the HUD text and a
# step with W, and quits with Escape (status 0). Then a copy without the crosshair image must log
# one line naming it and play on. Then the command line: --version redirected and in a console,
# a mistyped option, and a start that fails showing its message box. Screenshots stay in $E2E_OUT
# (default: a temporary folder).
set -u
zip=$(realpath "$1")
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
wine_run="$here/../../scripts/wine-run"
out=${E2E_OUT:-$(mktemp -d /tmp/zs-wine.XXXXXX)}
mkdir -p "$out"
# shellcheck source=tests/install/private_x.sh
source "$here/../install/private_x.sh"
need Xvfb openbox xdotool xprop import convert compare x86_64-w64-mingw32-objdump

rm -rf "$out/pkg" && mkdir -p "$out/pkg" "$out/elsewhere"
(cd "$out/pkg" && cmake -E tar xf "$zip")
pkg=$(echo "$out"/pkg/zombie-shooter-*-windows-x64)
[ -f "$pkg/zombie-shooter.exe" ] || { echo "FAIL: no zombie-shooter.exe in $zip"; exit 1; }

# Windows' own DLLs are the ones Wine implements.
system=$(dirname "$(find /usr/lib -path '*wine/x86_64-windows/kernel32.dll' -print -quit)")
missing=""
for pe in "$pkg"/*.exe "$pkg"/*.dll; do
  for dll in $(x86_64-w64-mingw32-objdump -p "$pe" | sed -n 's/^\s*DLL Name: //p'); do
    lower=${dll,,}
    [ -n "$(find "$pkg" "$system" -maxdepth 1 -iname "$lower" -print -quit)" ] ||
      missing="$missing $(basename "$pe"):$dll"
  done
done
check "every imported DLL is in the package or Windows' own${missing:+ (missing:$missing)}" \
  [ -z "$missing" ]

# start_game FOLDER NAME: starts the unpacked game in FOLDER from another working folder, its
# standard error in $out/NAME.txt (a file per run: Wine's helper processes outlive the game).
start_game() {
  stderr="$out/$2.txt"
  xdotool mousemove 400 100
  (cd "$out/elsewhere" && exec "$wine_run" "$1/zombie-shooter.exe") 2>"$stderr" &
  game_pid=$!
  # When Wine itself cannot start, wine-run's message is in the game's standard error.
  wait_for_bar "$1/gfx/alt_menu.png" || { cat "$stderr"; finish; }
}

start_private_x
# The zombies reach a soldier who stands still within seconds; on a busy machine Wine can be slow
# enough that he is dead before the step with W, so the game is started again (three times at
# most) until both pictures show it playing.
for attempt in 1 2 3; do
  start_game "$pkg" whole
  shot still
  xdotool keydown w; sleep 0.4; xdotool keyup w
  shot walked
  quit_with_escape
  playing=$(rmse_file walked "$pkg/gfx/alt_menu.png" 0 569 580 31 0 0)
  holds "$playing < 0.12" && break
  echo "attempt $attempt: the game had ended before the step with W was seen (bar $playing)"
done
text=$(bright still 10 10 110 40 80)
ground=$(bright still 250 60 110 40 80)
check "HUD text glyphs ($text bright vs $ground on the ground)" holds "$text > 0.05 && $text > 3 * $ground"
d=$(rmse_file still "$pkg/gfx/alt_menu.png" 0 569 580 31 0 0)
check "the bottom 31 rows are the bar (difference $d)" holds "$d < 0.12"
# 0.4 s of W walks him 40 pixels up: his middle from 300 to about 260, so the box of his new
# place reaches down to 270 to hold most of him.
old=$(rmse still walked 380 280 40 40)
new=$(rmse still walked 380 220 40 50)
bar=$(rmse_file walked "$pkg/gfx/alt_menu.png" 0 569 580 31 0 0)
check "W walked the soldier up (old place $old, new place $new; still playing: bar $bar)" \
  holds "$old > 0.05 && $new > 0.05 && $bar < 0.12"
# The game's own lines start with its name; Wine and ALSA add lines of their own.
logged_in() { grep '^zombie-shooter:' "$1" | grep -v 'no sound device'; }
logged() { logged_in "$stderr"; }
check "nothing logged about the whole package's files" [ -z "$(logged)" ]

# A damaged copy: the crosshair image is gone.
rm -rf "$out/damaged" && cp -r "$pkg" "$out/damaged" && rm "$out/damaged/gfx/nisangah.png"
start_game "$out/damaged" damaged
quit_with_escape
one_line_naming() { [ "$(logged | wc -l)" -eq 1 ] && logged | grep -q "$1"; }
check "one line logged for the missing image, naming it ($(logged))" one_line_naming gfx/nisangah.png

# The command line from a prompt: printed where the prompt is, redirected when asked.
(cd "$pkg" && "$wine_run" zombie-shooter.exe --version) >"$out/version.txt" 2>&1
status=$?
check "--version redirected to a file, status $status ($(tr -d '\r' <"$out/version.txt"))" \
  grep -q '^zombie-shooter [0-9]' "$out/version.txt"
(cd "$pkg" && "$wine_run" zombie-shooter.exe --windowd) >/dev/null 2>"$out/typo.txt"
status=$?
check "a mistyped option: one line in the file 2> names, status $status" \
  holds "$status == 2 && $(grep -c "^zombie-shooter: unknown option '--windowd'" "$out/typo.txt") == 1"
# In a terminal, cmd gets a console of its own; the game's lines must reach it. Wine draws the
# console with cursor moves between the letters, so those are taken out before looking.
(cd "$pkg" && script -qec "'$wine_run' cmd /c zombie-shooter.exe --version" /dev/null) |
  sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | tr -d '\r' >"$out/console.txt"
check "--version from cmd in a console shows in that console" \
  grep -q 'zombie-shooter *[0-9]' "$out/console.txt"

# A game that cannot start says why in a message box, and exits with status 1 once it is closed.
(cd "$out/elsewhere" && SDL_VIDEODRIVER=no_such_driver exec "$wine_run" "$pkg/zombie-shooter.exe") \
  2>"$out/no-start.txt" &
game_pid=$!
box=""
for _ in $(seq 60); do
  box=$(xdotool search --name '^Zombie Shooter$' 2>/dev/null | head -n1)
  [ -n "$box" ] && break
  sleep 0.5
done
check "a message box titled Zombie Shooter when the game cannot start" [ -n "$box" ]
shot no-start-box
[ -n "$box" ] && xdotool windowactivate --sync "$box" key Return 2>/dev/null
for _ in $(seq 40); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.25; done
wait "$game_pid"
status=$?
game_pid=""
check "the game that could not start exits with status $status after one line ($(logged_in "$out/no-start.txt"))" \
  holds "$status == 1 && $(logged_in "$out/no-start.txt" | wc -l) == 1"

echo "screenshots in $out"
finish
