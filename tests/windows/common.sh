# Shared by the Windows test drivers: a display for Wine's windows, simulated radios on Wine COM
# ports, and clean-up of everything started. Source it; it sets an EXIT trap.
prefix=${WINEPREFIX:-$HOME/.wine}
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
work=$(mktemp -d "${TMPDIR:-/tmp}/korvel-wine-XXXXXX")
started=()

cleanup() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# An X server of our own when there is no display (Wine needs one for any window). The server picks
# a free display number itself, so drivers running side by side do not collide.
need_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$work/display" > "$work/xvfb.out" 2>&1 &
  started+=($!)
  for _ in $(seq 1 100); do
    if [ -s "$work/display" ]; then
      export DISPLAY=":$(head -n 1 "$work/display")"
      return 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  cat "$work/xvfb.out" >&2
  return 1
}

# start_sim SIM PORT: korvel-sim on the pseudo-terminal that Wine's COM<PORT> leads to. Its own
# session, so that a signal meant for the test does not take the radio away first.
start_sim() {
  local sim=$1 port=$2 link="$prefix/dosdevices/com$2"
  mkdir -p "$prefix/dosdevices"
  rm -f "$link"
  setsid "$sim" --model 761 --link "$link" >> "$work/sim$port.out" 2>&1 &
  started+=($!)
  eval "sim_pid_$port=$!"
  for _ in $(seq 1 50); do [ -L "$link" ] && return 0; sleep 0.1; done
  echo "korvel-sim did not make $link" >&2
  cat "$work/sim$port.out" >&2
  return 1
}

stop_sim() {
  local port=$1 pid
  eval "pid=\${sim_pid_$port:-}"
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -f "$prefix/dosdevices/com$port"
}

# wait_for FILE TEXT SECONDS: until FILE holds TEXT.
wait_for() {
  local file=$1 text=$2 deciseconds=$(($3 * 10))
  for _ in $(seq 1 "$deciseconds"); do
    grep -qF -- "$text" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
