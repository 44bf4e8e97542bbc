#!/usr/bin/env bash
# Plays a few seconds of the game in a private X server, firing along the diagonals the zombies
# come in on, and keeps a screenshot every few tenths of a second; docs/screenshot.png was picked
# from these by hand.
#
#   docs/make-screenshot.sh GAME OUTDIR
set -eu
game=$1
out=$2
mkdir -p "$out"
# shellcheck source=tests/install/private_x.sh
source "$(dirname "${BASH_SOURCE[0]}")/../tests/install/private_x.sh"
start_private_x "$out"
SDL_AUDIODRIVER=dummy "$game" 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null; stop_private_x; wait 2>/dev/null' EXIT
timeout 20 xdotool search --sync --onlyvisible --name 'Zombie Shooter' >/dev/null
sleep 0.3
xdotool key 2  # the submachine gun
xdotool mousedown 1
# Zombies walk in from the corners: fire along each diagonal in turn, shooting the screen meanwhile.
n=0
for _ in 1 2 3 4; do
  for aim in "250 170" "550 170" "550 430" "250 430"; do
    # shellcheck disable=SC2086
    xdotool mousemove $aim
    for _ in 1 2 3; do
      n=$((n + 1))
      import -window root "$out/shot-$(printf %02d $n).png" &
      sleep 0.15
    done
  done
done
xdotool mouseup 1
sleep 0.5  # the last screenshots finish
xdotool key Escape
