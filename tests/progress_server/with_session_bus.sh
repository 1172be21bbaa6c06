#!/usr/bin/env bash
# Runs a test program on a private session bus of its own, with pellorin registered (or not)
# in a throw-away XDG_DATA_HOME, so the test neither needs nor touches the user's session.
# Usage: with_session_bus.sh <pellorin> registered|unregistered <test program> [args...]
set -euo pipefail
pellorin="$1"; mode="$2"; shift 2
data_home="$(mktemp -d)"
trap 'rm -rf "$data_home"' EXIT
export XDG_DATA_HOME="$data_home"
export QT_QPA_PLATFORM=offscreen
export PELLORIN_TEST_HOOKS=1
# Never reach the caller's own bus, whatever happens below.
unset DBUS_SESSION_BUS_ADDRESS
if [ "$mode" = registered ]; then
  "$pellorin" --regserver >/dev/null
fi
# dbus-run-session ends the bus when the test ends; pellorin sees the bus go and ends too.
dbus-run-session -- "$@"
