#!/usr/bin/env bash
# Runs a test program on a private session bus of its own, with pellorin registered (or not)
# in a throw-away XDG_DATA_HOME, so the test neither needs nor touches the user's session.
# Usage: with_session_bus.sh <pellorin> registered|unregistered|no-display <test program> [args...]
# no-display: pellorin is registered, but the bus (and so every server it starts) has no display
# in its environment, as on a desktop whose bus started before the display was exported; the
# test finds a working X display of its own in TEST_CLIENT_DISPLAY (empty when Xvfb is missing).
set -euo pipefail
pellorin="$1"; mode="$2"; shift 2
data_home="$(mktemp -d)"
trap 'rm -rf "$data_home"' EXIT
export XDG_DATA_HOME="$data_home"
# Nor a pellorin installed system-wide: the bus looks for services in this run's folder only.
cat >"$data_home/session.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <servicedir>$data_home/dbus-1/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
export QT_QPA_PLATFORM=offscreen
export PELLORIN_TEST_HOOKS=1
export PELLORIN_PROGRAM="$pellorin"
export PELLORIN_BUS_MODE="$mode"
# Never reach the caller's own bus, whatever happens below.
unset DBUS_SESSION_BUS_ADDRESS
if [ "$mode" != unregistered ]; then
  "$pellorin" --regserver >/dev/null
fi
xvfb_pid=""
export TEST_CLIENT_DISPLAY=""
if [ "$mode" = no-display ]; then
  unset DISPLAY WAYLAND_DISPLAY XAUTHORITY QT_QPA_PLATFORM
  if command -v Xvfb >/dev/null; then
    exec 3>"$data_home/display"
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 50); do [ -s "$data_home/display" ] && break; sleep 0.1; done
    TEST_CLIENT_DISPLAY=":$(head -n1 "$data_home/display")"
  fi
fi
trap '[ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null; rm -rf "$data_home"' EXIT
# dbus-run-session ends the bus when the test ends; pellorin sees the bus go and ends too.
status=0
dbus-run-session --config-file="$data_home/session.conf" -- "$@" || status=$?
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
