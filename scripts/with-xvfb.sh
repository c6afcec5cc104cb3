#!/usr/bin/env bash
# Runs a command under its own Xvfb server; Xvfb picks a free display itself.
set -euo pipefail
if ! command -v Xvfb >/dev/null; then echo "Xvfb is not installed" >&2; exit 1; fi
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xpid=$!
trap 'kill $xpid 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r disp <"$fifo"
export DISPLAY=":$disp"
"$@"
