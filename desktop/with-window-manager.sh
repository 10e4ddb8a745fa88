#!/usr/bin/env bash
# Runs a command on a fresh Xvfb display with a window manager (openbox), so
# that windows get the frames and title bars a user sees.
# Usage: with-window-manager.sh COMMAND [ARG...]
set -uo pipefail
if [[ ${1:-} != --inside ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside "$@"
fi
shift
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null' EXIT
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
"$@"
