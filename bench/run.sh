#!/usr/bin/env bash
# make bench: an optimised qdxpack of its own (no sanitizers, no tests), then
# the measurements of bench/bench.py. Results go to build/bench/.
#   BENCH_RUNS=N        timed runs per measurement (median taken), default 5
#   BENCH_CALLGRIND=0   skip the instruction counts under callgrind
set -euo pipefail
cd "$(dirname "$0")/.."
RELEASE=build/release
cmake -S . -B "$RELEASE" -DCMAKE_BUILD_TYPE=Release -DQDX_SANITIZE=OFF -DQDX_TESTS=OFF >/dev/null
cmake --build "$RELEASE" --target qdxpack -j"${JOBS:-2}" >/dev/null
# The system's python, which has matplotlib from Debian (scripts/install_deps.sh).
exec /usr/bin/python3 bench/bench.py --qdxpack "$RELEASE/qdxpack" --out build/bench "$@"
