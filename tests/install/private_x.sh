# shellcheck shell=bash
# Sourced by the tests that play the real game in a private X server with real input. Xvfb picks a
# free display itself (-displayfd), so runs side by side never collide; desktop fullscreen needs a
# window manager to honour it, hence openbox. The screen is 800x600, so the game's picture maps one
# to one onto it. Screenshots and crops go to $out, which the caller sets; the game it starts goes
# in $game_pid. On exit the game, the server and the window manager are ended.
#   need TOOL...                      exits with 77 (skipped) when a tool is missing
#   start_private_x                   the server and the window manager; exports DISPLAY
#   shot NAME                         a screenshot, $out/NAME.png
#   rmse_file NAME FILE X Y W H FX FY root-mean-square difference (0..1) of a region of a screenshot
#                                     and the same-sized region at (FX, FY) of an image file
#   rmse A B X Y W H                  the same for one region of two screenshots
#   bright NAME X Y W H PERCENT       fraction of a region's pixels brighter than a grey level
#   wait_for_bar BAR                  until the bottom rows show the bar image BAR: the game is up
#                                     and draws with its own files; false when it ends first
#   quit_with_escape                  a real Escape: the game must be gone in 2 s with status 0
#   finish                            exits, with status 1 when a check failed
failures=0
game_pid=""
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
# Whether an arithmetic comparison of measured numbers holds: holds "$d < 0.08".
holds() { awk "BEGIN { exit !($1) }"; }

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/install-deps test installs it)"; exit 77; }
  done
}

private_x_pids=()
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ ${#private_x_pids[@]} -gt 0 ] && kill "${private_x_pids[@]}" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
start_private_x() {
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$out/display" 2>/dev/null &
  private_x_pids+=($!)
  for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.05; done
  DISPLAY=":$(head -n1 "$out/display")"
  export DISPLAY
  openbox >/dev/null 2>&1 &
  private_x_pids+=($!)
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
}
shot() { import -window root "$out/$1.png"; }
# Crops into files of their own: ImageMagick's policy forbids /dev/fd.
rmse_file() {
  convert "$out/$1.png" -crop "$5x$6+$3+$4" +repage "$out/crop-a.png"
  convert "$2" -crop "$5x$6+$7+$8" +repage "$out/crop-b.png"
  compare -metric RMSE "$out/crop-a.png" "$out/crop-b.png" null: 2>&1 | sed -E 's/.*\((.*)\).*/\1/'
}
rmse() { rmse_file "$1" "$out/$2.png" "$3" "$4" "$5" "$6" "$3" "$4"; }
bright() { convert "$out/$1.png" -crop "$4x$5+$2+$3" +repage -colorspace gray -threshold "$6%" -format "%[fx:mean]" info:; }

wait_for_bar() {
  local d=1
  for i in $(seq 60); do
    shot ready
    # The middle of the bar carries no numbers.
    d=$(rmse_file ready "$1" 250 569 300 31 250 0)
    if holds "$d < 0.08"; then
      pass "game drawing with its own files after $i tries (bar difference $d)"
      return 0
    fi
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.5
  done
  fail "the game never drew its bar (difference $d)"
  return 1
}

quit_with_escape() {
  xdotool key Escape
  for _ in $(seq 40); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$game_pid" 2>/dev/null; then
    fail "still running 2 s after Escape"
    return 1
  fi
  wait "$game_pid"
  local status=$?
  game_pid=""
  check "exit status 0 after Escape (was $status)" [ "$status" -eq 0 ]
}

finish() { [ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }; exit 0; }
