#!/usr/bin/env bash
# Times quellor-cli on one large file against the usual shell pipeline, with
# peak memory from /usr/bin/time -v. Never part of the test suite.
#
#   bench/bigfile.sh CLI IN [MEMORY]    e.g. build/cli/quellor-cli /data/g10.csv 1G
#
# Outputs land beside IN (IN.new, IN.w), so IN should be a copy in a folder
# of its own. Rows: the whole run (sort by field 3, duplicates aside, field 8
# contains 至急, fields 3,1) with --memory MEMORY, then with --memory 16M
# (the sort on disk) and with the default budget; extraction only; and the
# same jobs as `LC_ALL=C sort -S MEMORY -t, -k3,3 -f | mawk` and mawk alone.
# Set ONLY to a regex on the row names to run some of them.
set -euo pipefail

cli=$(realpath "$1")
in=$(realpath "$2")
memory=${3:-1G}
pattern=$(printf '至急' | iconv -f UTF-8 -t CP932)
scratch=$(dirname "$in")/bench-out
mkdir -p "$scratch"

row() {
    local name=$1
    shift
    [[ -n ${ONLY:-} && ! $name =~ $ONLY ]] && return 0
    rm -f "$in.new" "$in.w" "$scratch"/*
    local report
    report=$(mktemp)
    /usr/bin/time -v -o "$report" bash -c "$*" >/dev/null
    local wall rss
    wall=$(awk -F': ' '/Elapsed/ {print $2}' "$report")
    rss=$(awk -F': ' '/Maximum resident/ {printf "%.0f", $2 / 1024}' "$report")
    printf '%-44s %12s %8s MB\n' "$name" "$wall" "$rss"
    rm -f "$report"
}

whole="--sort 3 --duplicates --where 8:contains:至急 --fields 3,1"
extract="--where 8:contains:至急 --fields 3,1"
# The pipeline's own parts: adjacent repeats aside, the condition, the fields.
dedup_filter_cut='BEGIN { FS = OFS = ","; ORS = "\r\n" }
{ sub(/\r$/, "") }
$0 == last { print > dup; next }
{ last = $0 }
index($8, ENVIRON["P"]) { print $3, $1 }'
filter_cut='BEGIN { FS = OFS = ","; ORS = "\r\n" }
{ sub(/\r$/, "") }
index($8, ENVIRON["P"]) { print $3, $1 }'

echo "# $(date -u +%FT%TZ) $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); $in ($(stat -c %s "$in") bytes)"
row "quellor whole run --memory $memory" "'$cli' --memory $memory $whole '$in'"
row "quellor whole run --memory 16M" "'$cli' --memory 16M $whole '$in'"
row "quellor whole run, default budget" "'$cli' $whole '$in'"
row "LC_ALL=C sort -S $memory | mawk" \
    "LC_ALL=C sort -S $memory -T '$scratch' -t, -k3,3 -f '$in' | P='$pattern' LC_ALL=C mawk -v dup='$scratch/dup' '$dedup_filter_cut' > '$scratch/out'"
row "quellor extraction only" "'$cli' $extract '$in'"
row "mawk extraction only" "P='$pattern' LC_ALL=C mawk '$filter_cut' '$in' > '$scratch/out'"
rm -rf "$scratch" "$in.new" "$in.w"
