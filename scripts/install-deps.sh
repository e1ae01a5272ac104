#!/usr/bin/env bash
# Installs the Debian packages the build needs. Safe to run again.
set -euo pipefail
packages=(
    cmake ninja-build pkg-config git g++ clang clang-format libclang-rt-14-dev
    qt6-base-dev
    libsqlite3-dev libsqlitecpp-dev
    libpugixml-dev
    libcli11-dev
    libre2-dev
    libicu-dev
    libgtest-dev libgmock-dev libbenchmark-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
