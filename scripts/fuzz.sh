#!/usr/bin/env bash
# Runs every fuzz target with clang's libFuzzer for FUZZ_SECONDS each (60 by
# default), starting from the checked-in corpus, and prints the executions and
# findings of each. New interesting inputs stay in build/fuzz/corpus/<target>;
# crashing inputs land in build/fuzz/findings/<target> and make the run fail.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
seconds="${FUZZ_SECONDS:-60}"
targets=(decoder round_trip pack_reader check)

CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -DQDX_FUZZ=ON -DQDX_TESTS=ON -DQDX_SANITIZE=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build build/fuzz -j2 --target $(printf 'fuzz_%s ' "${targets[@]}") >/dev/null || exit 1

failed=0
printf '%-12s %10s %8s %10s %s\n' target seconds execs "exec/s" findings
for target in "${targets[@]}"; do
  corpus="build/fuzz/corpus/$target"
  findings="build/fuzz/findings/$target"
  mkdir -p "$corpus" "$findings"
  cp -n tests/fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null
  log="build/fuzz/$target.log"
  start=$(date +%s)
  build/fuzz/tests/fuzz/fuzz_"$target" "$corpus" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" -timeout=20 -rss_limit_mb=2048 >"$log" 2>&1
  status=$?
  end=$(date +%s)
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  found=$(find "$findings" -type f | wc -l)
  printf '%-12s %10s %8s %10s %s\n' "$target" "$((end - start))" "${execs:-?}" "${rate:-?}" "$found"
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    echo "  $target: see $log and $findings/" >&2
  fi
done
exit $failed
