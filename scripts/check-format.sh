#!/usr/bin/env bash
# Fails when a C++ file of the project differs from .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
[ ${#files[@]} -eq 0 ] || clang-format --dry-run --Werror "${files[@]}"
echo "format: ${#files[@]} files checked"
