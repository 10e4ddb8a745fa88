#!/usr/bin/env bash
# The window answers while a run works: for each stage of a run (reading,
# sorting, saving) in turn, that stage alone is made to last seconds by the
# slowing library put under the real program, and the probe, playing the
# window manager, pings the window every 50 ms and clicks "中止" during the
# stage. Every ping must be answered, and the abort's box shown, within
# 0.5 s. All three stages are tried before the verdict, so one run of the
# test gives every stage's figures.
# Usage: answers_during_run.sh QUELLOR SLOW_IO_LIBRARY PROBE WORK_FOLDER
#        (with DISPLAY set, best under a window manager)
set -uo pipefail
quellor=$1 slow=$2 probe=$3 work=$4
caption='Quellor－CSVﾌｧｲﾙ編集ツール　Ver.2.00'
say() { echo "answers: $*" >&2; }

export QT_QPA_PLATFORM=xcb
if ! rm -rf "$work" || ! mkdir -p "$work"; then
    say "cannot make $work"
    exit 2
fi

# The run is expected to read and write in pieces of at most 1 MiB and to
# look at the abort between them: at 8 MiB/s a piece takes 1/8 s, which
# leaves the abort's box time to come within 0.5 s. 24 MiB make each of
# the two stages last 3 s.
disk_rate=$((8 << 20))
# Records in order, so that the sort between reading and saving is quick.
big_file() {
    awk 'BEGIN { pad = sprintf("%240s", ""); gsub(/ /, "x", pad)
                 for (i = 0; i < 98304; i++) printf "%08d,%s\r\n", i, pad }'
}
# The sort compares records by the collator only when the weights of their
# first 64 characters tie: every key here begins with the same 70. 3000
# records take some 35000 comparisons, 3 to 4 s at 20 us each (a sleep
# that short takes some 100 us in all); the sort is expected to look at the
# abort at least every thousand comparisons or so.
sort_file() {
    awk 'BEGIN { for (i = 0; i < 3000; i++)
                     printf "a-shared-prefix-longer-than-seventy-characters-so-that-the-weights-tie-%06d,%d\r\n",
                            (i * 7919) % 100003, i }'
}

# Closes whatever box is shown, then the window, until the program has
# ended: the slowing library writes its figures only at a normal exit.
end_program() {
    local pid=$1 box wid
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        box=$(xdotool search --onlyvisible --name '^(quellor|情報|警告)$' 2>/dev/null | head -n 1)
        if [[ -n $box ]]; then
            xdotool windowfocus --sync "$box" 2>/dev/null && xdotool key Return
        else
            wid=$(xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null | head -n 1)
            [[ -n $wid ]] && xdotool windowfocus --sync "$wid" 2>/dev/null && xdotool key Escape
        fi
        sleep 0.2
    done
    kill -0 "$pid" 2>/dev/null && kill "$pid"
    wait "$pid" 2>/dev/null
}

# STAGE FILE_MAKER SLOWING_VARIABLE VALUE KIND ABORT_AFTER: runs one stage and
# leaves the probe's status in $status (2 also for a harness failure here).
try_stage() {
    local stage=$1 maker=$2 variable=$3 value=$4 kind=$5 abort_after=$6
    local dir="$work/$stage"
    mkdir -p "$dir"
    "$maker" >"$dir/in.csv"
    printf 'quellor-job 1\n--sort 1\n' >"$dir/sort.txt"
    # A fixed budget keeps the run on the path of loading the file whole,
    # whatever the machine's memory.
    env LD_PRELOAD="$slow" QUELLOR_SLOW_UNDER="$dir" "$variable=$value" \
        QUELLOR_SLOW_REPORT="$dir/slowed.txt" QUELLOR_MEMORY=512M \
        "$quellor" "$dir/in.csv" "$dir/sort.txt" &
    local pid=$!
    "$probe" 1 "$abort_after" >"$dir/probe.txt"
    status=$?
    end_program "$pid"
    sed "s/^probe:/answers: $stage:/" "$dir/probe.txt" >&2
    local line
    line=$(grep "^$kind " "$dir/slowed.txt" 2>/dev/null)
    [[ -n $line ]] || { say "$stage: the slowing library left no figures"; status=2; return; }
    say "$stage: slowed $line"
    ((status == 2)) && return
    # The click must fall while the stage works, or the figures say nothing of it.
    local clicked first last
    clicked=$(sed -n 's/^probe: clicked-abort-ns //p' "$dir/probe.txt")
    [[ $line =~ first_ns=([0-9]+) ]] && first=${BASH_REMATCH[1]}
    [[ $line =~ last_ns=([0-9]+) ]] && last=${BASH_REMATCH[1]}
    if ((${clicked:-0} < first || ${clicked:-0} > last + 100000000)); then
        say "$stage: the click on 中止 fell outside the slowed stage"
        status=2
    fi
}

verdict=0
while read -r stage maker variable value kind abort_after; do
    try_stage "$stage" "$maker" "$variable" "$value" "$kind" "$abort_after"
    case $status in
    0) say "$stage: answered throughout" ;;
    1) say "$stage: FAILED: the window was slow to answer" && ((verdict = verdict ? verdict : 1)) ;;
    *) say "$stage: the test could not be made" && verdict=2 ;;
    esac
done <<EOF
read big_file QUELLOR_SLOW_READ_BPS $disk_rate read 1.0
sort sort_file QUELLOR_SLOW_COLLATE_US 20 collate 1.0
save big_file QUELLOR_SLOW_WRITE_BPS $disk_rate write 1.5
EOF
((verdict == 0)) && rm -rf "$work"
exit "$verdict"
