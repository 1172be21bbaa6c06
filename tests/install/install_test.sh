#!/usr/bin/env bash
# Installs the built suite twice into a temporary folder and checks it as a user would meet it:
# staged under DESTDIR with prefix /usr as a package is built (layout, desktop entries, paths
# that must not name the staging folder), and under a plain prefix where the programs run (a
# file round trip with velmora-cli, pellorin started by a private session bus from the
# installed activation file, the menu launcher's working folder).
# Usage: install_test.sh <build folder> <source folder> <1 when velmora is built, else 0>
set -euo pipefail
build="$1"; source="$2"; with_main="$3"

tmp="$(mktemp -d)"
cleanup() {
  # No pellorin started from this folder may outlive the test.
  local deadline=$((SECONDS + 5))
  while pgrep -f "^$tmp/prefix/bin/pellorin" >/dev/null; do
    [ "$SECONDS" -ge "$deadline" ] && { echo "FAIL: pellorin outlived the test" >&2; break; }
    sleep 0.1
  done
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check_file() { [ -f "$1" ] || fail "missing $1"; }
check_program() { [ -x "$1" ] && [ -f "$1" ] || fail "missing program $1"; }

# --- Staged as a package: prefix /usr under DESTDIR --------------------------------------------
stage="$tmp/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$tmp/install-stage.log"
usr="$stage/usr"
programs=(velmora-cli pellorin velmora-tools)
entries=(velmora-tools)
if [ "$with_main" = 1 ]; then
  programs+=(velmora)
  entries+=(velmora)
  check_program "$usr/libexec/velmora/velmora-launch"
fi
for p in "${programs[@]}"; do check_program "$usr/bin/$p"; done
check_file "$usr/share/icons/hicolor/scalable/apps/velmora.svg"
check_file "$usr/share/man/man1/velmora-cli.1"
check_file "$usr/share/velmora/Help.lib"
cmp -s "$usr/share/velmora/Help.lib" "$build/help/Help.lib" || fail "installed Help.lib differs"

for e in "${entries[@]}"; do
  entry="$usr/share/applications/$e.desktop"
  check_file "$entry"
  [ -f "$entry" ] || continue
  desktop-file-validate "$entry" || fail "$e.desktop does not validate"
  grep -qx 'Icon=velmora' "$entry" || fail "$e.desktop names another icon"
done
expect_line() {  # file, exact line
  [ -f "$1" ] && grep -qxF "$2" "$1" || fail "$1 lacks the line: $2"
}
expect_line "$usr/share/applications/velmora-tools.desktop" "Exec=/usr/bin/velmora-tools"
if [ "$with_main" = 1 ]; then
  expect_line "$usr/share/applications/velmora.desktop" "Exec=/usr/libexec/velmora/velmora-launch"
fi
service="$usr/share/dbus-1/services/org.velmora.Pellorin.service"
expect_line "$service" "Name=org.velmora.Pellorin"
expect_line "$service" "Exec=/usr/bin/pellorin"
if grep -rqF "$stage" "$usr/share"; then fail "an installed file names the staging folder"; fi

# --- Under a plain prefix, run what was installed -----------------------------------------------
prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >"$tmp/install-prefix.log"
expect_line "$prefix/share/dbus-1/services/org.velmora.Pellorin.service" "Exec=$prefix/bin/pellorin"

# velmora-cli: a file past the progress threshold comes back byte for byte.
mkdir -p "$tmp/files/out" "$tmp/files/back"
head -c 700001 /dev/urandom >"$tmp/files/data.bin"
export XDG_STATE_HOME="$tmp/state"
echo "install test" | "$prefix/bin/velmora-cli" encrypt -q --password-stdin \
  -o "$tmp/files/out" "$tmp/files/data.bin" || fail "velmora-cli encrypt failed"
echo "install test" | "$prefix/bin/velmora-cli" decrypt -q --password-stdin \
  -o "$tmp/files/back" "$tmp/files/out/data.bin.jmw" || fail "velmora-cli decrypt failed"
cmp -s "$tmp/files/data.bin" "$tmp/files/back/data.bin" || fail "velmora-cli round trip differs"

# pellorin: a private session bus that knows only the installed activation file starts it.
mkdir -p "$tmp/empty-data-home"
activation=$(
  env -u DBUS_SESSION_BUS_ADDRESS XDG_DATA_HOME="$tmp/empty-data-home" \
    XDG_DATA_DIRS="$prefix/share" QT_QPA_PLATFORM=offscreen \
    dbus-run-session -- sh -c '
      dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.StartServiceByName string:org.velmora.Pellorin uint32:0 >/dev/null
      pid=$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus \
        /org/freedesktop/DBus org.freedesktop.DBus.GetConnectionUnixProcessID \
        string:org.velmora.Pellorin | awk "{print \$2}")
      echo "exe $(readlink "/proc/$pid/exe")"
      dbus-send --session --print-reply=literal --dest=org.velmora.Pellorin /Class1 \
        org.velmora.Vesk._Class1.CFhz
    ' 2>&1
) || true
grep -qxF "exe $prefix/bin/pellorin" <<<"$activation" ||
  fail "the bus did not start the installed pellorin: $activation"
grep -qE 'int32 -?[0-9]+' <<<"$activation" || fail "the installed pellorin did not answer: $activation"

# The menu launcher: a working folder per user holding a link to the installed help file, and a
# help file of the user's own left alone. A stand-in velmora reports where it was started.
fake="$tmp/fake"
mkdir -p "$fake/libexec/velmora" "$fake/bin" "$fake/share/velmora"
cp "$source/data/velmora-launch" "$fake/libexec/velmora/"
cp "$build/help/Help.lib" "$fake/share/velmora/Help.lib"
printf '#!/bin/sh\necho "cwd $(pwd)"\necho "help $(readlink Help.lib)"\n' >"$fake/bin/velmora"
chmod +x "$fake/bin/velmora"
out=$(DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent XDG_DATA_HOME="$tmp/xdg" \
  "$fake/libexec/velmora/velmora-launch")
grep -qxF "cwd $tmp/xdg/velmora" <<<"$out" || fail "launcher started elsewhere: $out"
grep -qxF "help $fake/share/velmora/Help.lib" <<<"$out" || fail "launcher linked: $out"
out=$(DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent XDG_DATA_HOME= HOME="$tmp/home" \
  "$fake/libexec/velmora/velmora-launch")
grep -qxF "cwd $tmp/home/.local/share/velmora" <<<"$out" || fail "launcher default folder: $out"
rm "$tmp/xdg/velmora/Help.lib"
echo "my own notes" >"$tmp/xdg/velmora/Help.lib"
DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent XDG_DATA_HOME="$tmp/xdg" \
  "$fake/libexec/velmora/velmora-launch" >/dev/null
[ "$(cat "$tmp/xdg/velmora/Help.lib")" = "my own notes" ] || fail "launcher replaced a user's file"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install layout, desktop entries, velmora-cli, pellorin activation and launcher: all good"
