#!/usr/bin/env bash
# Runs a command under its own Xvfb server; Xvfb picks a free display itself
# (-displayfd), so parallel runs never collide.
set -euo pipefail
if ! command -v Xvfb >/dev/null; then echo "Xvfb is not installed" >&2; exit 1; fi
tmp=$(mktemp -d)
fifo="$tmp/display"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xpid=$!
cleanup() {
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
"$@"
