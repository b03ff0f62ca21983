#!/usr/bin/env bash
# Whole-process time of corvanta-cli computing the tolerance band of the
# Bench page at High (1000 runs of 445 points) against ngspice doing the same
# 1000 runs in its own control loop (alter and ac per run), side by side with
# hyperfine. Run from the source folder after a build; prints a Markdown table.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/cli/corvanta-cli}
hyperfine -N --warmup 2 --runs ${RUNS:-10} --style none --export-markdown /dev/stdout \
  -n corvanta-cli "$cli --tab Bench --resolution high --tolerance --runs 1000" \
  -n ngspice "ngspice -b bench/bench-tolerance.cir" 2>/dev/null
