#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a fixed short
# time. A crash, a leak or a slow input fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-20}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers
shopt -s nullglob
targets=(build/fuzz/bin/fuzz_*)
for target in "${targets[@]}"; do
    name=$(basename "$target")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds=()
    [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
    echo "fuzz: $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -timeout=2 -rss_limit_mb=2048 -print_final_stats=0 \
        "$corpus" "${seeds[@]}" 2>&1 | tail -n 3
done
echo "fuzz: ${#targets[@]} targets run"
