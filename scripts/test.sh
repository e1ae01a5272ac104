#!/usr/bin/env bash
# Installs what the build needs, checks the format, then builds and runs the
# whole suite under the default and the sanitizer presets, and the tests of
# the threaded code under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-format.sh
export QT_QPA_PLATFORM=offscreen

# Runs every test binary of a build once more, each as one process, eight at
# a time: an earlier test may leave something behind that breaks a later one.
# Prints the binaries that fail, with the end of their output.
run_each_binary_whole() {
    local logs="$1/whole"
    rm -rf "$logs" && mkdir -p "$logs"
    local failed
    failed=$(find "$1/bin" -maxdepth 1 -type f -name '*_tests' -perm -u+x -print0 | sort -z |
        xargs -0 -r -P8 -I{} sh -c '"$1" >"$2/$(basename "$1").log" 2>&1 || basename "$1"' _ {} "$logs")
    if [ -n "$failed" ]; then
        for name in $failed; do
            echo "== $name failed as one process; the end of $logs/$name.log:"
            tail -n 30 "$logs/$name.log"
        done
        echo "Failed as one process: $failed" >&2
        return 1
    fi
}

for preset in default asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
    if [ "$preset" = default ]; then
        run_each_binary_whole build/default
    fi
done
# The threaded code (the log, the mail store, the sinks, the reaping of the
# builders) under ThreadSanitizer: only the test binaries that cover it.
cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan
# The window sink's tests alone of the windows' binary: the others drive Qt's
# windows, which this build of Qt does not let the sanitizer follow.
TSAN_OPTIONS="halt_on_error=1:suppressions=$PWD/scripts/tsan.supp" \
    build/tsan/bin/host_windows_tests --gtest_filter='WindowSinkTest.*'
if [ -x scripts/fuzz.sh ]; then
    bash scripts/fuzz.sh
fi
