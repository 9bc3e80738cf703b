#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one
# for SECONDS (default 60), JOBS at a time (default: the number of cores).
# Corpora live in fuzz/corpus/<target>/ (seeded by seed-corpora.sh on first
# use, grown by every run); crashes, leaks, timeouts and out-of-memory inputs
# land in build-fuzz/artifacts/<target>/ and are listed at the end.
#
# Usage: fuzz/run-fuzzers.sh [SECONDS] [TARGET...]
#   JOBS=N          fuzzers run at once
#   KEEP_GOING=1    fork mode: keep fuzzing after a finding, to collect several
#
# To turn a finding into a regression input:
#   build-fuzz/fuzz/fuzz_<target> -minimize_crash=1 -runs=20000 \
#       -exact_artifact_path=fuzz/regressions/<target>/<short-name> <artifact>
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$root/build-fuzz
seconds=${1:-60}
shift $(($# > 0 ? 1 : 0))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(module string_block menu dialog version project dictionary glossary build_roundtrip module_icon xliff po tmx)
jobs=${JOBS:-$(nproc)}

# Largest input worth trying per target: whole modules and projects are a
# few KiB to a few tens of KiB; single templates and glossaries far less.
max_len() {
    case $1 in
    module | build_roundtrip | module_icon) echo 32768 ;;
    project | xliff | po | tmx) echo 16384 ;;
    dictionary) echo 8192 ;;
    *) echo 4096 ;;
    esac
}
dict_for() {
    case $1 in
    project | dictionary) echo "$here/dicts/archive.dict" ;;
    version) echo "$here/dicts/version.dict" ;;
    glossary) echo "$here/dicts/glossary.dict" ;;
    xliff) echo "$here/dicts/xliff.dict" ;;
    po) echo "$here/dicts/po.dict" ;;
    tmx) echo "$here/dicts/tmx.dict" ;;
    esac
}

if ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    echo "run-fuzzers: installing clang's fuzzer runtime" >&2
    apt-get install -y libclang-rt-14-dev >/dev/null || exit 1
fi
if ! grep -q 'add_subdirectory(fuzz)' "$root/CMakeLists.txt"; then
    echo "run-fuzzers: the top-level CMakeLists.txt does not add fuzz/ (see fuzz/CMakeLists.txt)" >&2
    exit 1
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLON_FUZZ=ON -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF -DQUILLON_BUILD_GUI=OFF >/dev/null || exit 1
ninja -C "$build" "${targets[@]/#/fuzz_}" || exit 1

[ -d "$here/corpus/module" ] || "$here/seed-corpora.sh" || exit 1

run_one() {
    local t=$1 artifacts=$build/artifacts/$1 dict
    mkdir -p "$artifacts" "$here/corpus/$t"
    dict=$(dict_for "$t")
    local args=(-max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=1 -rss_limit_mb=512
        -artifact_prefix="$artifacts/" -print_final_stats=1 ${dict:+-dict="$dict"})
    [ "${KEEP_GOING:-0}" = 1 ] && args+=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)
    "$build/fuzz/fuzz_$t" "${args[@]}" "$here/corpus/$t" >"$build/fuzz_$t.log" 2>&1
    echo $? >"$build/fuzz_$t.rc"
}

# ASan keeps 256 MiB of freed memory in quarantine by default, which alone
# walks a long run into the 512 MiB limit; a smaller quarantine keeps the
# limit meaningful for what the code under test allocates.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=32:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

running=0
for t in "${targets[@]}"; do
    echo "run-fuzzers: fuzz_$t for ${seconds}s"
    run_one "$t" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

status=0
printf '\n%-16s %10s %8s %8s %6s  %s\n' target runs exec/s cov ft findings
for t in "${targets[@]}"; do
    log=$build/fuzz_$t.log
    last=$(grep -E '^#[0-9]+' "$log" | tail -1)
    runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1)
    rate=$(grep -oE 'stat::average_exec_per_sec: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1)
    # Fork mode prints no final stats; its progress lines carry the numbers.
    [ -n "$runs" ] || runs=$(grep -oE '^#[0-9]+' <<<"$last" | tr -d '#')
    [ -n "$rate" ] || rate=$(( ${runs:-0} / (seconds > 0 ? seconds : 1) ))
    cov=$(grep -oE 'cov: [0-9]+' <<<"$last" | grep -oE '[0-9]+')
    ft=$(grep -oE 'ft: [0-9]+' <<<"$last" | grep -oE '[0-9]+')
    # -timeout is wall-clock time: a fuzzer starved of CPU (a loaded machine,
    # a paused process) reports inputs that are not slow. Each timeout is
    # replayed alone; one that finishes within the limit is set aside.
    for slow in "$build"/artifacts/"$t"/timeout-* "$build"/artifacts/"$t"/slow-unit-*; do
        [ -f "$slow" ] || continue
        if "$build/fuzz/fuzz_$t" -timeout=1 -rss_limit_mb=512 "$slow" >/dev/null 2>&1; then
            mkdir -p "$build/not-reproduced/$t"
            mv "$slow" "$build/not-reproduced/$t/"
            echo "    $(basename "$slow"): finishes within 1 s when run alone (kept in $build/not-reproduced/$t)"
        fi
    done
    findings=$(find "$build/artifacts/$t" -type f 2>/dev/null | wc -l)
    printf '%-16s %10s %8s %8s %6s  %s\n' "$t" "${runs:--}" "${rate:--}" "${cov:--}" "${ft:--}" "$findings"
    if [ "$findings" -gt 0 ] || [ "$(cat "$build/fuzz_$t.rc")" != 0 ]; then
        status=1
        grep -hE '^(==[0-9]+==ERROR|SUMMARY:)|runtime error:' "$log" | sort | uniq -c | head -5 | sed 's/^/    /'
        find "$build/artifacts/$t" -type f | sed 's/^/    artifact: /'
        echo "    log: $log"
    fi
done
exit $status
