#!/usr/bin/env bash
# Runs a command under its own Xvfb server and an openbox window manager, as a desktop
# would; Xvfb picks a free display itself (-displayfd), so parallel runs never collide.
# TALLIVAR_TEST_SCREEN gives the screen size (default 1366x768).
set -euo pipefail
if ! command -v Xvfb >/dev/null; then echo "Xvfb is not installed" >&2; exit 1; fi
if ! command -v openbox >/dev/null; then echo "openbox is not installed" >&2; exit 1; fi
size="${TALLIVAR_TEST_SCREEN:-1366x768}"
if ! [[ "$size" =~ ^[0-9]+x[0-9]+$ ]]; then echo "bad TALLIVAR_TEST_SCREEN: $size" >&2; exit 1; fi
tmp=$(mktemp -d)
fifo="$tmp/display"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xpid=$!
wpid=""
cleanup() {
  if [ -n "$wpid" ]; then kill "$wpid" 2>/dev/null || true; wait "$wpid" 2>/dev/null || true; fi
  kill "$xpid" 2>/dev/null || true
  wait "$xpid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP
if ! read -r disp <"$fifo" || [ -z "$disp" ]; then
  echo "Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$disp"
# The window manager signals once it manages the screen; nothing runs before that.
ready="$tmp/wm-ready"
mkdir -p "$tmp/config/openbox"
XDG_CONFIG_HOME="$tmp/config" openbox --sm-disable --startup "touch $ready" >/dev/null 2>&1 &
wpid=$!
for _ in $(seq 1 600); do
  [ -e "$ready" ] && break
  if ! kill -0 "$wpid" 2>/dev/null; then echo "openbox did not start" >&2; exit 1; fi
  sleep 0.1
done
if [ ! -e "$ready" ]; then echo "openbox did not start" >&2; exit 1; fi
"$@"
