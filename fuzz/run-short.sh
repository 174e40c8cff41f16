#!/usr/bin/env bash
# A short, repeatable fuzzing run: the seed corpus, then a fixed number of inputs from a fixed
# seed. New inputs go to a scratch folder, never into the committed corpus.
# Usage: run-short.sh FUZZER SEED_CORPUS RUNS
set -euo pipefail
fuzzer=$1
seeds=$2
runs=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/corpus" "$scratch/tmp"
export TMPDIR=$scratch/tmp
"$fuzzer" -runs="$runs" -seed=1 -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$scratch/" "$scratch/corpus" "$seeds" 2>"$scratch/log" || {
    tail -n 60 "$scratch/log" >&2
    exit 1
}
tail -n 1 "$scratch/log"
