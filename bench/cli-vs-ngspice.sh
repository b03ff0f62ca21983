#!/usr/bin/env bash
# Whole-process time of corvanta-cli computing the Bench curve, then a 30-node
# netlist's curve, at High (445 points) against ngspice's AC analysis of the
# same circuit at the same 445 frequencies, side by side with hyperfine. Run
# from the source folder after a build; prints two Markdown tables.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/cli/corvanta-cli}
hyperfine -N --warmup 10 --runs 100 --style none --export-markdown /dev/stdout \
  -n corvanta-cli "$cli --tab Bench --resolution high" \
  -n ngspice "ngspice -b bench/bench-high.cir" 2>/dev/null

# The same for the 30-node netlist and ngspice's run of its exported deck.
deck=$(mktemp --suffix=.cir)
trap 'rm -f "$deck"' EXIT
"$cli" bench/thirty-nodes.cir --export-spice "$deck" > /dev/null
hyperfine -N --warmup 10 --runs 100 --style none --export-markdown /dev/stdout \
  -n corvanta-cli "$cli bench/thirty-nodes.cir --resolution high" \
  -n ngspice "ngspice -b $deck" 2>/dev/null
