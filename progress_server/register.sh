#!/usr/bin/env bash
# Registers the built pellorin for activation on the session bus (writes
# $XDG_DATA_HOME/dbus-1/services/org.velmora.Pellorin.service naming its absolute path).
# Usage: progress_server/register.sh [build folder] [--unregister]
set -euo pipefail
build="${1:-build}"
program="$(cd "$(dirname "$0")/.." && pwd)/$build/progress_server/pellorin"
if [ ! -x "$program" ]; then
  echo "register.sh: $program is not built" >&2
  exit 1
fi
if [ "${2:-}" = "--unregister" ]; then
  exec "$program" --unregserver
fi
exec "$program" --regserver
