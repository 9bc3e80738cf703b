#!/usr/bin/env bash
# Puts each deliberate fault of scripts/faults/ into the product code in turn,
# builds, runs the whole suite and tells whether some test caught it. The
# suite is only worth its lines if it fails for every one of these faults.
#
#   scripts/fault-check.sh [BUILD_DIR]    (default: build/)
#
# The build dir must already be configured. Prints one row per fault and
# exits non-zero when a fault was missed or did not build.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
logs="$(mktemp -d)"
applied=""

# Whatever happens, the product code is left as it was found.
revert() {
  if [ -n "$applied" ]; then
    git -C "$root" apply -R "$applied" || echo "could not revert $applied: revert it by hand" >&2
    applied=""
  fi
}
trap revert EXIT
trap 'exit 130' INT TERM

rows=()
failed=0
start_all=$SECONDS
for patch in "$root"/scripts/faults/*.patch; do
  name="$(basename "$patch" .patch)"
  # A fault put on top of other changes would revert them with it.
  if [ -n "$(git -C "$root" status --porcelain -- core cli gui)" ]; then
    echo "core/, cli/ or gui/ has changes: commit or stash them first" >&2
    exit 2
  fi
  start=$SECONDS
  if ! git -C "$root" apply "$patch"; then
    rows+=("$name|ERROR|does not apply|0"); failed=1; continue
  fi
  applied="$patch"
  # A fault that does not compile proves nothing about the tests.
  if ! ninja -C "$build" -j2 >"$logs/$name.build" 2>&1; then
    result="ERROR"; detail="build failed (log: $logs/$name.build)"; failed=1
  elif QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -j2 --timeout 600 >"$logs/$name.ctest" 2>&1; then
    result="MISSED"; detail="every test passed"; failed=1
  else
    result="CAUGHT"
    # ctest lists the failed tests as "  <n> - <name> (Failed)" at the end.
    failing="$(sed -n '/The following tests FAILED/,$p' "$logs/$name.ctest" |
      sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (.*)$/\1/p')"
    count="$(printf '%s\n' "$failing" | grep -c .)"
    detail="$count failed: $(printf '%s\n' "$failing" | head -3 | paste -sd ' ')"
    [ "$count" -gt 3 ] && detail+=" ..."
  fi
  revert
  rows+=("$name|$result|$detail|$((SECONDS - start))")
done

# Leave the build dir matching the clean tree for whoever uses it next.
ninja -C "$build" -j2 >"$logs/clean.build" 2>&1 ||
  echo "the clean tree did not build again (log: $logs/clean.build)" >&2

printf '%-36s %-7s %5s  %s\n' FAULT RESULT SECS "FAILING TESTS"
for row in "${rows[@]}"; do
  IFS='|' read -r name result detail secs <<<"$row"
  printf '%-36s %-7s %5s  %s\n' "$name" "$result" "$secs" "$detail"
done
echo "total: $((SECONDS - start_all)) s; logs in $logs"
exit "$failed"
