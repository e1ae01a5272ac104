#!/usr/bin/env bash
# Installs what the build needs, builds, and runs the host's demo on a fresh
# home with the embedded default profile.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
export OSTREVANE_HOME="${OSTREVANE_HOME:-$(mktemp -d)}"
exec build/default/bin/ostrevane demo
