#!/usr/bin/env bash
# Shows that a change to the readers and writers changed no output: builds
# quillon-cli of REVISION (default: origin's main, else HEAD) next to the one
# of the working tree, runs both over every fixture module, the damaged
# fixtures, the sample and the generated large module, and compares what they
# write byte for byte: scan and show JSON, projects, side files,
# dictionaries, dictionary listings and built targets.
#
#   scripts/compare-outputs.sh [REVISION]
#
# Keys a newer CLI adds to the JSON (listed in ADDED_KEYS) are removed before
# comparing. Both runs see the same frozen clock (faketime), so the times stored in
# projects agree. Exit status 0 when everything is identical.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
revision=${1:-$(git rev-parse --verify -q origin/main || git rev-parse HEAD)}
ADDED_KEYS=${ADDED_KEYS:-path}
scratch=${COMPARE_SCRATCH:-/tmp/quillon-compare}
jobs=${JOBS:-2}

./scripts/setup.sh compare >/dev/null

build_cli() { # SOURCE BUILD
    cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_BUILD_GUI=OFF \
        -DQUILLON_BUILD_BENCH=ON >/dev/null
    cmake --build "$2" --target quillon-cli quillon_bench_inputs -j"$jobs" >/dev/null
}

rm -rf "$scratch/old-src"
mkdir -p "$scratch"
git worktree prune
git worktree add -f --detach "$scratch/old-src" "$revision" >/dev/null 2>&1
trap 'git -C "$root" worktree remove --force "$scratch/old-src" >/dev/null 2>&1 || true' EXIT
echo "compare: building $(git rev-parse --short "$revision") and the working tree"
build_cli "$scratch/old-src" "$scratch/old-build"
build_cli "$root" "$scratch/new-build"

# The inputs, written once and shared by both runs.
inputs=$scratch/inputs
rm -rf "$inputs"
mkdir -p "$inputs/generated"
cp tests/data/modules/*.exe tests/data/modules/*.dll tests/data/modules/corrupt/*.exe samples/quillpad.exe "$inputs/"
"$scratch/new-build/bench/quillon_bench_inputs" "$inputs/generated" >/dev/null
cp "$inputs/generated/large-ui.dll" "$inputs/"
glossary=$root/samples/quillpad-de.txt

# Runs one CLI over every input in the same folder, so that the paths the
# projects store agree, and leaves what it wrote in OUT.
snapshot() { # CLI OUT
    local cli=$1 out=$2 work=$scratch/work
    rm -rf "$work" "$out"
    mkdir -p "$work" "$out"
    (
        cd "$work"
        for module in "$inputs"/*.exe "$inputs"/*.dll; do
            local name
            name=$(basename "$module")
            cp "$module" "$name"
            faketime -f '2026-01-02 03:04:05' "$cli" scan "$name" --json >"$name.scan.json" 2>&1 || true
            faketime -f '2026-01-02 03:04:05' "$cli" new "$name.prj" --module "$name" --translator Tester \
                --email t@example.org --language German --dictionary "$name.dic" >"$name.log" 2>&1 || continue
            for step in "import $name.prj --text $glossary" "translate $name.prj" \
                "dict add $name.prj Cancel Abbrechen --kind CONTROL" "build $name.prj --target $name.de"; do
                # shellcheck disable=SC2086
                faketime -f '2026-01-02 03:04:05' "$cli" $step >>"$name.log" 2>&1 || true
            done
            "$cli" show "$name.prj" --json >"$name.show.json" 2>&1 || true
            "$cli" dict "$name.prj" --json >"$name.dict.json" 2>&1 || true
        done
    )
    mv "$work"/* "$out"/
    for key in $ADDED_KEYS; do
        find "$out" -name '*.json' -exec sed -i -E "s/,\"$key\":\"[^\"]*\"//g; s/\"$key\":\"[^\"]*\",?//g" {} +
    done
}

snapshot "$scratch/old-build/cli/quillon-cli" "$scratch/old"
snapshot "$scratch/new-build/cli/quillon-cli" "$scratch/new"
count=$(find "$scratch/new" -type f | wc -l)
if diff -rq "$scratch/old" "$scratch/new"; then
    echo "compare: all $count outputs identical"
else
    echo "compare: outputs differ (old: $scratch/old, new: $scratch/new)" >&2
    exit 1
fi
