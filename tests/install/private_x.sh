# shellcheck shell=bash
# Sourced: a private X server with a window manager, for running the real game with real input.
#   start_private_x FOLDER   starts them (FOLDER holds the display number), exports DISPLAY
#   stop_private_x           ends them
# Xvfb picks a free display itself (-displayfd), so runs side by side never collide; desktop
# fullscreen needs a window manager to honour it, hence openbox.
private_x_pids=()

start_private_x() {
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$1/display" 2>/dev/null &
  private_x_pids+=($!)
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.05; done
  DISPLAY=":$(head -n1 "$1/display")"
  export DISPLAY
  openbox >/dev/null 2>&1 &
  private_x_pids+=($!)
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
}

stop_private_x() {
  [ ${#private_x_pids[@]} -gt 0 ] && kill "${private_x_pids[@]}" 2>/dev/null
  private_x_pids=()
}
