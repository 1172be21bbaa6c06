#!/usr/bin/env bash
# Runs a test program as an ordinary user when started as root, so that tests of permission
# failures run instead of skipping (root reads and writes everything). Without a way to drop
# to one (no setpriv, or the program out of that user's reach) it runs as it was started.
# Usage: as_user.sh <test program> [args...]
set -euo pipefail
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null &&
   setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$1"; then
  cd /tmp
  exec setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
fi
exec "$@"
