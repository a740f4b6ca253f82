#!/usr/bin/env bash
# A second kavelmark hands over to the running one and ends without touching the password
# file: single_instance_test.sh PROGRAM
set -euo pipefail
program="$1"
work="$(mktemp -d)"
first=""
cleanup() {
    if [ -n "$first" ]; then
        kill "$first" 2>/dev/null || true
        wait "$first" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

mkdir -m 700 "$work/runtime" "$work/home"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
export XDG_CONFIG_HOME="$work/home/.config"
cd "$work"

# The first program waits in its login dialog; the password file does not exist yet.
"$program" >"$work/first.log" 2>&1 &
first=$!
for _ in $(seq 100); do
    ls "$work/runtime"/kavelmark-*.socket >/dev/null 2>&1 && break
    sleep 0.1
done
ls "$work/runtime"/kavelmark-*.socket >/dev/null 2>&1 || fail "the first program never listened"

rc=0
timeout 20 "$program" >"$work/second.log" 2>&1 || rc=$?
[ "$rc" -eq 0 ] || fail "the second program ended with $rc: $(cat "$work/second.log")"
kill -0 "$first" 2>/dev/null || fail "the first program is gone"
[ ! -e "$work/default.Kavelmark" ] || fail "a password file was written"

# Once the first is gone, the next program runs a session of its own again.
kill "$first"
wait "$first" 2>/dev/null || true
first=""
"$program" >"$work/third.log" 2>&1 &
first=$!
sleep 1
kill -0 "$first" 2>/dev/null || fail "the next program did not stay: $(cat "$work/third.log")"
echo "ok"
