#!/usr/bin/env bash
# Plays the real game in a private X server with real keys and mouse, and checks screenshots.
#
#   e2e_test.sh play  GAME   walk, aim, fire, switch weapons, wait for zombies, quit with Escape
#   e2e_test.sh death GAME   stand still until the zombies kill the soldier, then quit
#
# Checks compare regions of screenshots (changed / unchanged, bright glyph pixels, the bar image),
# never whole golden pictures of a live game. Screenshots stay in $E2E_OUT (default: a temporary
# folder). Exit status 77 means skipped.
set -u
mode=$1
game=$2
bar="$(dirname "$game")/gfx/alt_menu.png"
out=${E2E_OUT:-$(mktemp -d /tmp/zs-e2e.XXXXXX)}
mkdir -p "$out"
# shellcheck source=tests/install/private_x.sh
source "$(dirname "${BASH_SOURCE[0]}")/../install/private_x.sh"
need Xvfb openbox xdotool xprop import convert compare

start_game() {
  xdotool mousemove 400 100
  "$game" 2>"$out/stderr.txt" &
  game_pid=$!
  wait_for_bar "$bar" || { cat "$out/stderr.txt"; exit 1; }
}

start_private_x
start_game
if [ "$mode" = play ]; then
  # Standing still, the soldier is overrun within seconds: play first, look afterwards, and
  # start again if a slow machine let the zombies win before the last picture.
  for attempt in 1 2 3; do
    xdotool key 2; sleep 0.15; shot smg
    xdotool key 1; sleep 0.15; shot pistol
    xdotool mousemove 400 100; sleep 0.2; shot aim1
    xdotool mousemove 150 300; sleep 0.2; shot aim2
    xdotool keydown w; sleep 0.3; xdotool keyup w
    xdotool keydown d; sleep 0.3; xdotool keyup d
    shot walk1
    xdotool mousedown 1; sleep 0.4; xdotool mouseup 1
    shot fire1
    if ! holds "$(bright fire1 0 0 800 600 90) > 0.8"; then break; fi
    echo "attempt $attempt: the soldier died before the last picture; playing again"
    kill "$game_pid" 2>/dev/null; wait "$game_pid" 2>/dev/null
    start_game
  done
  quit_with_escape

  d1=$(rmse aim1 aim2 395 95 10 10)
  d2=$(rmse aim1 aim2 145 295 10 10)
  check "the crosshair follows the mouse ($d1, $d2)" holds "$d1 > 0.08 && $d2 > 0.08"
  # The kill and score text holds light glyph pixels; an empty stretch of ground does not.
  text=$(bright aim2 10 10 110 40 80)
  ground=$(bright aim2 250 60 110 40 80)
  check "HUD text glyphs ($text bright vs $ground on the ground)" \
    holds "$text > 0.05 && $text > 3 * $ground"
  d=$(rmse_file aim2 "$bar" 0 569 580 31 0 0)
  check "the bottom 31 rows are the bar (difference $d)" holds "$d < 0.12"
  # Walking moves the soldier: his old place and his new place both change.
  old=$(rmse aim2 walk1 380 280 40 40)
  new=$(rmse aim2 walk1 410 230 50 50)
  check "the soldier walked (old place $old, new place $new)" holds "$old > 0.05 && $new > 0.05"
  d=$(rmse walk1 fire1 640 570 50 28)
  check "firing changed the clip number ($d)" holds "$d > 0.03"
  # 2 shows the submachine gun's icon, 1 the pistol's again.
  to_smg=$(rmse ready smg 600 575 31 15)
  back=$(rmse ready pistol 600 575 31 15)
  check "the weapon icon switched ($to_smg, back $back)" holds "$to_smg > 0.05 && $back < 0.03"
  # Zombies come in from the corners: the upper field changes on either side of the crosshair's
  # column while the soldier stays below it.
  left=$(rmse ready fire1 0 40 380 190)
  right=$(rmse ready fire1 420 40 380 190)
  check "zombies moving on the field ($left, $right)" holds "$left + $right > 0.005"
else
  # Stand still until the death screen: a mostly white picture with dark text in the middle.
  dead=""
  for i in $(seq 90); do
    sleep 1
    shot death
    if holds "$(bright death 0 0 800 600 90) > 0.8"; then dead=$i; break; fi
  done
  if [ -z "$dead" ]; then
    fail "no death screen after 90 s"
  else
    centre=$(bright death 250 270 300 60 50)
    edge=$(bright death 0 0 200 100 50)
    check "death screen after ~${dead} s, dark text in the middle ($centre bright vs $edge at the edge)" \
      holds "$centre < 0.98 && $edge > 0.99"
  fi
  quit_with_escape
fi

echo "screenshots in $out"
[ "$failures" -ne 0 ] && { echo "--- game's standard error"; cat "$out/stderr.txt"; }
finish
