#!/usr/bin/env bash
# Runs a test program on a private session bus of its own, with pellorin registered (or not)
# in a throw-away XDG_DATA_HOME, so the test neither needs nor touches the user's session.
# Usage: with_session_bus.sh <pellorin> registered|unregistered <test program> [args...]
set -euo pipefail
pellorin="$1"; mode="$2"; shift 2
data_home="$(mktemp -d)"
trap 'rm -rf "$data_home"' EXIT
export XDG_DATA_HOME="$data_home"
# Nor an installed suite's activation file under /usr/share: only this build's registration counts.
export XDG_DATA_DIRS="$data_home"
export QT_QPA_PLATFORM=offscreen
export PELLORIN_TEST_HOOKS=1
# Never reach the caller's own bus, whatever happens below.
unset DBUS_SESSION_BUS_ADDRESS
if [ "$mode" = registered ]; then
  "$pellorin" --regserver >/dev/null
fi
# dbus-run-session ends the bus when the test ends; pellorin sees the bus go and ends too.
status=0
dbus-run-session -- "$@" || status=$?
# No pellorin of this run may outlive it: it checks the bus once a second, so give it a few.
strays() {
  local pid
  for pid in $(pgrep -x pellorin || true); do
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null |
         grep -qxF "XDG_DATA_HOME=$data_home" &&
       ! grep -q '^State:.*Z' "/proc/$pid/status" 2>/dev/null; then
      echo "$pid"
    fi
  done
}
deadline=$((SECONDS + 5))
while [ -n "$(strays)" ]; do
  if [ "$SECONDS" -ge "$deadline" ]; then
    echo "with_session_bus.sh: pellorin outlived the test: $(strays)" >&2
    exit 1
  fi
  sleep 0.1
done
exit "$status"
