#!/usr/bin/env bash
# How the window answers while it runs a real job on a large file: the
# probe of the desktop tests pings the window every 50 ms as a window
# manager does and clicks "中止" at the given moments (seconds after
# "ｽﾀｰﾄ"; choose them inside the reading, the sort and the saving of the
# file), then once lets the run end. Prints the longest wait for an answer
# and the abort box's delay for each. Never part of the test suite.
#
#   bench/window_answers.sh BUILD IN [SECONDS...]   e.g. build /data/d5m.csv 0.3 2.5 5.3
#
# The job sorts on field 3 with repeated records aside (or is JOB, job lines
# joined by ";", as "--fields 3,1;--sort 1"), in memory (the budget is 4G, or
# MEMORY: 16M sorts on disk and streams); outputs land beside IN.
set -uo pipefail
if [[ ${1:-} != --inside ]]; then
    here=$(dirname "$(realpath "$0")")
    exec "$here/../desktop/with-window-manager.sh" bash "$0" --inside "$@"
fi
shift
build=$(realpath "$1")
in=$(realpath "$2")
shift 2
job=$(mktemp --suffix=.txt)
trap 'rm -f "$job"' EXIT
printf 'quellor-job 1\n%s\n' "${JOB:---sort 3;--duplicates}" | tr ';' '\n' >"$job"
export QT_QPA_PLATFORM=xcb QUELLOR_MEMORY=${MEMORY:-4G}

once() {
    local label=$1 after=$2
    "$build/quellor" "$in" "$job" &
    local pid=$!
    "$build/tests/desktop/quellor_ping_probe" 1 "$after" 2>&1 | sed "s/^probe:/$label:/" |
        grep -v -e idle -e clicked-abort -e 'before the click' -e 'too short'
    # The run's own box (the error box or 情報) waits for Return; then the window.
    for _ in 1 2; do
        sleep 0.5
        xdotool key Return 2>/dev/null
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    rm -f "$in.new" "$in.w"
}

for after in "$@"; do once "abort at ${after}s" "$after"; done
once "no abort" 600
