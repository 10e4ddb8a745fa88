#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz) and runs each for a
# bounded time: FUZZ_SECONDS per target (default 60). Inputs that break an
# invariant or trip a sanitizer are kept in build-fuzz/artifacts/ and make the
# script fail. The corpus grows in build-fuzz/corpus/ from seeds that
# tests/fuzz/make_corpus.py writes. Standard input is empty: a job named
# /dev/stdin by the fuzzer must not wait for a terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
seconds="${FUZZ_SECONDS:-60}"
# A fixed FUZZ_SEED makes a run repeat the same inputs (CI sets one, so that
# a green run here is a green run there); without it each run explores anew.
seed_option=()
[[ -n "${FUZZ_SEED:-}" ]] && seed_option=(-seed="$FUZZ_SEED")
jobs="${JOBS:-2}"
targets=(field_codec_fuzz line_files_fuzz record_list_fuzz run_fuzz run_paths_fuzz
         job_options_fuzz)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DQUELLOR_FUZZ=ON -DQUELLOR_BUILD_UI=OFF -DQUELLOR_WERROR=ON \
    -DQUELLOR_FUZZ_SKIP_CHECKS="${FUZZ_SKIP_CHECKS:-}"
cmake --build build-fuzz --target fuzz_targets -j "$jobs"

python3 tests/fuzz/make_corpus.py build-fuzz/seeds
mkdir -p build-fuzz/artifacts
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=()
for t in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$t"
    echo "== $t: ${seconds}s"
    if ! "build-fuzz/tests/fuzz/$t" "${seed_option[@]}" -max_total_time="$seconds" -max_len=4096 -timeout=30 \
            -rss_limit_mb=2560 -print_final_stats=1 \
            -artifact_prefix="build-fuzz/artifacts/$t-" \
            "build-fuzz/corpus/$t" "build-fuzz/seeds/$t" 2>"build-fuzz/$t.log" </dev/null; then
        failed+=("$t")
        tail -n 60 "build-fuzz/$t.log"
    fi
    grep -m1 '^stat::number_of_executed_units' "build-fuzz/$t.log" || true
done
if ((${#failed[@]})); then
    echo "fuzz targets that failed: ${failed[*]} (inputs in build-fuzz/artifacts/)"
    exit 1
fi
echo "all fuzz targets ran clean"
