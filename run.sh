#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main program velmora on the display, inside
# a session bus of its own when none is running (the progress server is activated through it).
# Without a display it runs a short velmora-cli demonstration instead and prints the commands
# that do the same by hand.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build

# The progress server is started on demand by the session bus: register this build's pellorin.
progress_server/register.sh build

has_display() { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }

if has_display; then
  # velmora keeps its settings, generator state and help file in the folder it starts in.
  velmora="$PWD/build/frontend/velmora"
  mkdir -p build/run
  ln -sfn ../help/Help.lib build/run/Help.lib
  cd build/run
  if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    exec dbus-run-session -- "$velmora" "$@"
  fi
  exec "$velmora" "$@"
fi

echo "No display found (DISPLAY and WAYLAND_DISPLAY are empty): the windows cannot be shown."
echo "Here is what velmora-cli does instead."
echo

cli="$PWD/build/cli/velmora-cli"
demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
export XDG_STATE_HOME="$demo/state"
mkdir -p "$demo/out"
printf 'A short letter, kept private.\n%.0s' $(seq 1 2000) > "$demo/letter.txt"

echo "\$ velmora-cli encrypt letter.txt --password-stdin -o out/"
echo "demo-password" | "$cli" encrypt "$demo/letter.txt" --password-stdin -o "$demo/out/"
echo "\$ velmora-cli decrypt out/letter.txt.jmw --password-stdin -o out/"
echo "demo-password" | "$cli" decrypt "$demo/out/letter.txt.jmw" --password-stdin -o "$demo/out/"
echo
ls -l "$demo/letter.txt" "$demo/out"
if cmp -s "$demo/letter.txt" "$demo/out/letter.txt"; then
  echo "The decrypted file is identical to the original."
else
  echo "The decrypted file differs from the original." >&2
  exit 1
fi
echo
echo "By hand (the password is asked on the terminal without echo):"
echo "  $cli encrypt FILE... [-o FOLDER]"
echo "  $cli decrypt FILE.jmw... [-o FOLDER]"
echo "  $cli --help"
echo
echo "On a display, ./run.sh opens the main window; the key-file tools are build/tools/velmora-tools."
