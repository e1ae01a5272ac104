#!/usr/bin/env bash
# Renders every window and dialog offscreen to PNG files under build/screens/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target plovanex_screens
rm -rf build/screens
OSTREVANE_HOME="$(mktemp -d)" QT_QPA_PLATFORM=offscreen build/default/bin/plovanex_screens build/screens
