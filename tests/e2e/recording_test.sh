#!/usr/bin/env bash
# A recording that survives what ends a game badly, checked on the real game:
#   recording_test.sh GAME
# - played in a real window (private X server, real keys and mouse) and ended by SIGKILL, then by
#   SIGSEGV sent to it as a crash would raise it: the .part left behind verifies up to its cut, and
#   the play it keeps is within a few seconds of the play there was;
# - a folder that does not exist: refused before the window opens (status 2, one line, nothing
#   created);
# - a full disk mid-game (a 4 KiB file system of its own, in a user namespace): the game plays to
#   its end, says in one line what was kept and where, and what was kept verifies.
# Exit status 77 means skipped.
set -u
game=$1
bar="$(dirname "$game")/gfx/alt_menu.png"
out=${E2E_OUT:-$(mktemp -d /tmp/zs-recording.XXXXXX)}
mkdir -p "$out"
# shellcheck source=tests/install/private_x.sh
source "$(dirname "${BASH_SOURCE[0]}")/../install/private_x.sh"
need Xvfb openbox xdotool xprop import convert compare

# Seconds of play the verify line says a file holds ("... up to frame N, 41.3 s: ...").
kept_seconds() { sed -n 's/.* up to frame [0-9]*, \([0-9.]*\) s: the recording was cut short.*/\1/p' "$1"; }

# Plays for about PLAY seconds, walking and firing, then sends SIGNAL to the game.
play_and_end_with() {
  local signal=$1 play=$2 file=$out/$1.zsr launched drawn played most
  # The play there was: at most from the launch (the first frame comes after the start-up), at
  # least from when the screen first showed the game, to the end.
  launched=$(date +%s.%N)
  "$game" --record "$file" 2>"$out/$signal.err" &
  game_pid=$!
  wait_for_bar "$bar" || return
  drawn=$(date +%s.%N)
  xdotool mousemove 600 200 mousedown 1
  xdotool keydown d; sleep "$play"; xdotool keyup d
  played=$(awk -v a="$drawn" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
  most=$(awk -v a="$launched" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
  kill "-$signal" "$game_pid"
  wait "$game_pid" 2>/dev/null
  game_pid=""
  xdotool mouseup 1
  check "SIG$signal: nothing but the .part is left" test -s "$file.part" -a ! -e "$file"
  "$game" --verify "$file.part" >"$out/$signal.verify" 2>&1
  check "SIG$signal: what was written verifies ($(cat "$out/$signal.verify"))" test $? -eq 0
  local kept
  kept=$(kept_seconds "$out/$signal.verify")
  # A block is at most a second of play, written within 50 ms of its end.
  check "SIG$signal: ${kept:-no} s kept of $played to $most s played" \
    holds "${kept:-0} > $played - 2 && ${kept:-0} <= $most"
}

start_private_x
play_and_end_with KILL 6
play_and_end_with SEGV 6

"$game" --record /nonexistent/zs-folder/game.zsr >"$out/missing.out" 2>"$out/missing.err" &
game_pid=$!
for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
windows=$(xdotool search --name 'Zombie Shooter' 2>/dev/null | wc -l)
wait "$game_pid"
status=$?
game_pid=""
check "a missing folder: status 2 ($status), one line ($(cat "$out/missing.err")), no window ($windows)" \
  test "$status" -eq 2 -a "$(wc -l <"$out/missing.err")" -eq 1 -a "$windows" -eq 0
check "a missing folder: nothing created" test ! -e /nonexistent/zs-folder

# No display is needed to fill a disk: the game runs headless, on the dummy drivers.
if unshare -rm true 2>/dev/null; then
  full=$out/full
  mkdir -p "$full"
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy unshare -rm sh -c '
    mount -t tmpfs -o size=4k tmpfs "$1" || exit 3
    "$2" --windowed --record "$1/game.zsr" 2>"$3/full.err" & pid=$!
    sleep 8; kill -TERM $pid; wait $pid; echo $? >"$3/full.status"
    cp "$1/game.zsr.part" "$3/full-kept.zsr"' sh "$full" "$game" "$out"
  check "a full disk: the game played to its end and said so ($(cat "$out/full.err"))" \
    grep -q "cannot record all of the game to $full/game.zsr (No space left on device): $full/game.zsr.part keeps" "$out/full.err"
  check "a full disk: status 1 ($(cat "$out/full.status"))" test "$(cat "$out/full.status")" -eq 1
  "$game" --verify "$out/full-kept.zsr" >"$out/full.verify" 2>&1
  check "a full disk: what was kept verifies ($(cat "$out/full.verify"))" test $? -eq 0
else
  echo "SKIP: no user namespaces here to mount a small file system in (the full-disk case)"
fi
finish
