#!/usr/bin/env bash
# Runs a test executable on a real X server of its own: x11_test.sh TEST_EXECUTABLE
set -euo pipefail
if ! command -v xvfb-run >/dev/null; then
    echo "SKIP: xvfb-run is not installed (bash scripts/install-deps --test installs it)"
    exit 77
fi
export QT_QPA_PLATFORM=xcb
# Under LeakSanitizer: only the D-Bus library's own buffer is let through, by name.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/lsan.supp"
exec timeout 120 xvfb-run -a -n $((900 + $$ % 90)) -s "-screen 0 1024x768x24" "$1"
