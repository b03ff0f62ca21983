#!/usr/bin/env bash
# Whole-process time of corvanta-cli computing the Bench curve at High (445
# points) against ngspice's AC analysis of the same netlist at the same 445
# frequencies, side by side with hyperfine. Run from the source folder after
# a build; prints a Markdown table.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/cli/corvanta-cli}
hyperfine -N --warmup 10 --runs 100 --style none --export-markdown /dev/stdout \
  -n corvanta-cli "$cli --tab Bench --resolution high" \
  -n ngspice "ngspice -b bench/bench-high.cir" 2>/dev/null
