#!/usr/bin/env bash
# Installs what the build needs, checks the format, then builds and runs the
# whole suite under the default and the sanitizer presets.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-format.sh
export QT_QPA_PLATFORM=offscreen
for preset in default asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
if [ -x scripts/fuzz.sh ]; then
    bash scripts/fuzz.sh
fi
