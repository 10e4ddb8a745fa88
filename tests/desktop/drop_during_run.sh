#!/usr/bin/env bash
# Drags a file from another program onto the window while a run goes on, in a
# real X server: the window refuses it and the program it came from learns so;
# once the run has ended, the same drag is taken.
# Usage: drop_during_run.sh QUELLOR DRAG_SOURCE WORK_FOLDER LINES  (with DISPLAY set)
set -uo pipefail
quellor=$1 source=$2 work=$3 lines=$4
caption='Quellor－CSVﾌｧｲﾙ編集ツール　Ver.2.00'
fail() { echo "drop: $*" >&2; exit 1; }

export QT_QPA_PLATFORM=xcb
rm -rf "$work" && mkdir -p "$work" || fail "cannot make $work"
# Sorted on disk in a small budget, to last some seconds.
seq "$lines" | awk '{ printf "%d,%d\r\n", ($1 * 7919) % 1000003, $1 }' >"$work/big.csv"
printf 'p,q\r\n' >"$work/small.csv"
printf 'quellor-job 1\n--sort 1\n' >"$work/sort.txt"

QUELLOR_MEMORY=64K "$quellor" "$work/big.csv" "$work/sort.txt" &
pid=$!
"$source" "$work/small.csv" >"$work/source.out" &
source_pid=$!
trap 'kill "$pid" "$source_pid" 2>/dev/null' EXIT

wid=$(timeout 60 xdotool search --sync --onlyvisible --name "^${caption}\$" | head -n 1)
[[ -n $wid ]] || fail "no window titled \"$caption\" was mapped"
for _ in $(seq 100); do
    grep -q ready "$work/source.out" && break
    sleep 0.1
done
grep -q ready "$work/source.out" || fail "the drag source did not start"
eval "$(xdotool getwindowgeometry --shell "$wid")"

# Presses in the source, moves over the file list and lets go; prints how the
# drag ended.
drag_onto_list() {
    local before
    before=$(grep -c dropped "$work/source.out")
    xdotool mousemove 50 50 mousedown 1
    sleep 0.3
    for step in 0 10 20; do
        xdotool mousemove $((X + 90 + step)) $((Y + 100))
        sleep 0.3
    done
    xdotool mouseup 1
    for _ in $(seq 100); do
        (($(grep -c dropped "$work/source.out") > before)) && break
        sleep 0.1
    done
    grep dropped "$work/source.out" | tail -n +$((before + 1)) | head -n 1
}

xdotool windowfocus --sync "$wid" || fail "cannot focus the window"
xdotool key Return
sleep 1
during=$(drag_onto_list)
xdotool search --onlyvisible --name '^情報$' >/dev/null &&
    fail "the run had ended before the drag was over"
[[ $during == "dropped ignore" ]] || fail "a drag during the run ended as \"$during\""

box=$(timeout 60 xdotool search --sync --onlyvisible --name '^情報$' | head -n 1)
[[ -n $box ]] || fail "the run did not end"
xdotool windowfocus --sync "$box" && xdotool key Return
for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^情報$' >/dev/null || break
    sleep 0.1
done
after=$(drag_onto_list)
[[ $after == "dropped copy" ]] || fail "a drag after the run ended as \"$after\""

xdotool windowfocus --sync "$wid" && xdotool key Escape
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Esc did not end the program"
wait "$pid" || fail "the program ended with status $?"
trap - EXIT
rm -rf "$work"
echo "drop: refused during the run, taken after it"
