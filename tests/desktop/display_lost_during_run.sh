#!/usr/bin/env bash
# The display goes away while a run sorts on disk: the program ends at once
# with status 1, as the toolkit ends it, without touching freed memory (the
# sanitizer build shows that), and the folder holds only what it held before.
# Usage: display_lost_during_run.sh QUELLOR WORK_FOLDER LINES
set -uo pipefail
quellor=$1 work=$2 lines=$3
caption='Quellor－CSVﾌｧｲﾙ編集ツール　Ver.2.00'
fail() { echo "display lost: $*" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work/in" || fail "cannot make $work"
seq "$lines" | awk '{ printf "%d,%d\r\n", ($1 * 7919) % 1000003, $1 }' >"$work/in/big.csv"
printf 'quellor-job 1\n--sort 1\n' >"$work/in/sort.txt"
before=$(ls -A "$work/in")

# A server of its own, since this test ends it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" 2>/dev/null &
server=$!
trap 'kill "$server" "${pid:-}" 2>/dev/null' EXIT
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || fail "the X server did not start"
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb

QUELLOR_MEMORY=64K "$quellor" "$work/in/big.csv" "$work/in/sort.txt" &
pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name "^${caption}\$" | head -n 1)
[[ -n $wid ]] || fail "no window titled \"$caption\" was mapped"
xdotool windowfocus --sync "$wid" && xdotool key Return
sleep 1
xdotool search --onlyvisible --name '^情報$' >/dev/null && fail "the run had ended already"
kill "$server" && wait "$server" 2>/dev/null

for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program went on without its display"
wait "$pid"
status=$?
((status == 1)) || fail "the program ended with status $status"
[[ $(ls -A "$work/in") == "$before" ]] || fail "the folder now holds: $(ls -A "$work/in")"
trap - EXIT
rm -rf "$work"
echo "display lost: the program ended with status 1 and left the folder as it was"
