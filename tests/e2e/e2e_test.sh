#!/usr/bin/env bash
# Plays the real game in a private X server with real keys and mouse, and checks screenshots.
#
#   e2e_test.sh play  GAME   walk, aim, fire, switch weapons, wait for zombies, quit with Escape
#   e2e_test.sh death GAME   stand still until the zombies kill the soldier, then quit
#
# The X screen is 800x600, so the game's picture maps one to one onto the screen. Checks compare
# regions of screenshots (changed / unchanged, bright glyph pixels, the bar image), never whole
# golden pictures of a live game. Screenshots stay in $E2E_OUT (default: a temporary folder).
set -u
mode=$1
game=$2
assets="$(dirname "$game")/gfx"
out=${E2E_OUT:-$(mktemp -d /tmp/zs-e2e.XXXXXX)}
mkdir -p "$out"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

display=91
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  kill "$wm" "$xvfb" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

shot() { import -window root "$out/$1.png"; }
# Mean grey level (0..1) of a region of a screenshot.
mean() { convert "$out/$1.png" -crop "$4x$5+$2+$3" +repage -colorspace gray -format "%[fx:mean]" info:; }
# Fraction of a region's pixels brighter (or darker) than a grey threshold in percent.
bright() { convert "$out/$1.png" -crop "$4x$5+$2+$3" +repage -colorspace gray -threshold "$6%" -format "%[fx:mean]" info:; }
dark() { awk -v b="$(bright "$@")" 'BEGIN { print 1 - b }'; }
# Root-mean-square difference (0..1) of the same region in two screenshots.
# Crops a region of an image into a file of its own (ImageMagick's policy forbids /dev/fd).
crop() { convert "$1" -crop "$2" +repage "$3"; }
# Root-mean-square difference (0..1) of the same region in two screenshots.
rmse() {
  local g="$5x$6+$3+$4"
  crop "$out/$1.png" "$g" "$out/crop-a.png"
  crop "$out/$2.png" "$g" "$out/crop-b.png"
  compare -metric RMSE "$out/crop-a.png" "$out/crop-b.png" null: 2>&1 | sed -E 's/.*\((.*)\).*/\1/'
}
# Compares a region of a screenshot with a region of an image file.
rmse_file() {
  crop "$out/$1.png" "$5x$6+$3+$4" "$out/crop-a.png"
  crop "$2" "$5x$6+$7+$8" "$out/crop-b.png"
  compare -metric RMSE "$out/crop-a.png" "$out/crop-b.png" null: 2>&1 | sed -E 's/.*\((.*)\).*/\1/'
}
gt() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
lt() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# Waits until the bar is on screen (the game is up and drawing).
wait_for_game() {
  for i in $(seq 60); do
    shot ready
    local d
    d=$(rmse_file ready "$assets/alt_menu.png" 250 569 300 31 250 0)
    if lt "$d" 0.08; then
      pass "game drawing after ${i} tries (bar difference $d)"
      return 0
    fi
    if ! kill -0 "$game_pid" 2>/dev/null; then
      fail "game exited before drawing"
      return 1
    fi
    sleep 0.5
  done
  fail "the bar never appeared (last difference $d)"
  return 1
}

quit_with_escape() {
  xdotool key Escape
  for _ in $(seq 20); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$game_pid" 2>/dev/null; then
    fail "still running 1 s after Escape"
    return
  fi
  wait "$game_pid"
  local status=$?
  game_pid=""
  if [ "$status" -eq 0 ]; then pass "exit status 0 after Escape"; else fail "exit status $status"; fi
}

xdotool mousemove 400 100
"$game" 2>"$out/stderr.txt" &
game_pid=$!
wait_for_game || { cat "$out/stderr.txt"; exit 1; }

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
    if ! gt "$(bright fire1 0 0 800 600 90)" 0.8; then break; fi
    echo "attempt $attempt: the soldier died before the last picture; playing again"
    kill "$game_pid" 2>/dev/null; wait "$game_pid" 2>/dev/null
    xdotool mousemove 400 100
    "$game" 2>"$out/stderr.txt" &
    game_pid=$!
    wait_for_game || exit 1
  done
  quit_with_escape

  # The crosshair follows the mouse: the boxes at two mouse positions change between them.
  d1=$(rmse aim1 aim2 395 95 10 10)
  d2=$(rmse aim1 aim2 145 295 10 10)
  if gt "$d1" 0.08 && gt "$d2" 0.08; then pass "crosshair at the mouse ($d1, $d2)"
  else fail "crosshair does not follow the mouse ($d1, $d2)"; fi

  # The kill and score text holds light glyph pixels; an empty stretch of ground does not.
  text=$(bright aim2 10 10 110 40 80)
  ground=$(bright aim2 250 60 110 40 80)
  if gt "$text" 0.05 && gt "$text" "$(awk -v g="$ground" 'BEGIN { print 3 * g }')"; then
    pass "HUD text glyphs ($text bright vs $ground on the ground)"
  else fail "no HUD text glyphs ($text bright vs $ground on the ground)"; fi

  # The bottom 31 rows are the bar.
  bar=$(rmse_file aim2 "$assets/alt_menu.png" 0 569 580 31 0 0)
  if lt "$bar" 0.12; then pass "bar at the bottom (difference $bar)"; else fail "bar differs ($bar)"; fi

  # Walking moves the soldier: his old place and his new place both change.
  old=$(rmse aim2 walk1 380 280 40 40)
  new=$(rmse aim2 walk1 410 230 50 50)
  if gt "$old" 0.05 && gt "$new" 0.05; then pass "soldier walked (old place $old, new place $new)"
  else fail "soldier did not walk (old place $old, new place $new)"; fi

  # Firing changes the clip number.
  clip=$(rmse walk1 fire1 640 570 50 28)
  if gt "$clip" 0.03; then pass "clip number changed ($clip)"; else fail "clip number unchanged ($clip)"; fi

  # 2 shows the submachine gun's icon, 1 the pistol's again.
  to_smg=$(rmse ready smg 600 575 31 15)
  back=$(rmse ready pistol 600 575 31 15)
  if gt "$to_smg" 0.05 && lt "$back" 0.03; then pass "weapon icon switched ($to_smg, back $back)"
  else fail "weapon icon did not switch ($to_smg, back $back)"; fi

  # Zombies come in from the corners: the upper field changes on both sides of the crosshair's
  # column while the soldier stays below it.
  left=$(rmse ready fire1 0 40 380 190)
  right=$(rmse ready fire1 420 40 380 190)
  if gt "$(awk -v a="$left" -v b="$right" 'BEGIN { print a + b }')" 0.005; then
    pass "zombies moving on the field ($left, $right)"
  else fail "nothing moves on the field ($left, $right)"; fi
else
  # Stand still until the death screen: a mostly white picture with dark text in the middle.
  dead=""
  for i in $(seq 90); do
    sleep 1
    shot wait
    if gt "$(bright wait 0 0 800 600 90)" 0.8; then dead=$i; break; fi
  done
  if [ -z "$dead" ]; then
    fail "no death screen after 90 s"
  else
    cp "$out/wait.png" "$out/death.png"
    centre=$(dark death 250 270 300 60 50)
    edge=$(dark death 0 0 200 100 50)
    if gt "$centre" 0.02 && lt "$edge" 0.01; then
      pass "death screen after ~${dead} s, text in the middle ($centre dark vs $edge at the edge)"
    else fail "death screen without centred text ($centre dark vs $edge at the edge)"; fi
  fi
  quit_with_escape
fi

echo "screenshots in $out"
if [ "$failures" -ne 0 ]; then
  echo "--- game's standard error"; cat "$out/stderr.txt"
  echo "$failures check(s) failed"
  exit 1
fi
exit 0
