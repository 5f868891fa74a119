# Shared by the Windows test drivers: a Wine prefix and a display of the test's own, simulated
# radios on Wine COM ports, and clean-up of everything started. Source it; it sets an EXIT trap.
#
# Why a prefix of its own: a prefix has one Wine server, and that server one desktop, which takes
# the display of whichever Wine program started the server. A test without windows (the unit test
# shards) that starts it first leaves a desktop with no display, and a window test joining it cannot
# open a window ("cannot open a window (0)" or "(1400)"); two window tests would put their windows
# on the first one's display, and the server goes down with that display. So every test that opens
# windows runs in a copy of the build's prefix, with its own server, desktop and X server.
template=${WINEPREFIX:-$HOME/.wine}
export WINEDEBUG=${WINEDEBUG:--all}
work=$(mktemp -d "${TMPDIR:-/tmp}/korvel-wine-XXXXXX")
started=()
prefix=""

cleanup() {
  local pid
  # The prefix's Wine server first, while its display is still there; it takes its programs along.
  [ -z "$prefix" ] || WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -z "$prefix" ] || rm -rf "$prefix"
  rm -rf "$work"
}
trap cleanup EXIT

# own_prefix: a copy of the build's prefix beside it, exported as WINEPREFIX. Its program files
# (about 660 MB of dll, exe, drv and sys files, which Wine only reads) are hard links, the rest (the
# registry, the .ini files, about 30 MB that Wine may rewrite) copies of their own.
own_prefix() {
  [ -f "$template/system.reg" ] || { echo "no Wine prefix at $template (scripts/korvel-windows makes it)" >&2; return 1; }
  prefix=$(mktemp -d "$template.test-XXXXXX")
  cp -al "$template/." "$prefix/"
  local file
  while IFS= read -r -d '' file; do
    cp --remove-destination "$template/$file" "$prefix/$file"
  done < <(cd "$template" && find . -type f ! -name '*.dll' ! -name '*.exe' ! -name '*.drv' ! -name '*.sys' -print0)
  rm -f "$prefix"/dosdevices/com*
  export WINEPREFIX=$prefix
}

# need_display: a prefix of the test's own and an X server of its own for Wine's windows, even
# when the caller has a display (keys sent with xdotool then reach only this test's windows). The
# X server picks a free display number itself, so drivers running side by side do not collide.
need_display() {
  own_prefix || return 1
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
