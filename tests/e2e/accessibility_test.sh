#!/usr/bin/env bash
# The real program read through the accessibility bus, as a screen reader reads it:
#   accessibility_test.sh PROGRAM TOOL
# Runs itself again under xvfb-run and a D-Bus session of its own, starts the accessibility
# bus and openbox there, and hands over to accessibility_check.py, which starts the program,
# drives it by keys and reads the tree and the events. Every process it starts is ended.
set -euo pipefail
export LC_ALL=C.UTF-8
program="$(realpath "$1")"
tool="$(realpath "$2")"
here="$(cd "$(dirname "$0")" && pwd)"
launcher=/usr/libexec/at-spi-bus-launcher

if [ -z "${KAVELMARK_A11Y_INSIDE:-}" ]; then
    for needed in xvfb-run dbus-run-session openbox xdotool setxkbmap; do
        command -v "$needed" >/dev/null || { echo "SKIP: $needed is not installed (bash scripts/install-deps --test)"; exit 77; }
    done
    [ -x "$launcher" ] || { echo "SKIP: at-spi2-core is not installed (bash scripts/install-deps --test)"; exit 77; }
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
        { echo "SKIP: python3-pyatspi is not installed (bash scripts/install-deps --test)"; exit 77; }
    export KAVELMARK_A11Y_INSIDE=1
    # A display number of our own, so that runs side by side do not race for the same one.
    exec timeout 300 xvfb-run -a -n $((1900 + $$ % 800)) -s "-screen 0 1280x1024x24" \
        dbus-run-session -- bash "$0" "$program" "$tool"
fi

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -m 700 "$work/runtime" "$work/home" "$work/bin"
# The desktop's URL handler: the links are handed to it, and nothing else starts.
cat >"$work/bin/xdg-open" <<EOS
#!/bin/sh
echo "\$1" >>"$work/opened"
EOS
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
unset QT_QPA_PLATFORM
cd "$work"

# The entries: a web site, an FTP login and a card, each with its secrets.
printf '%s\n%s\r\n%s\r\n%s\r\n%s\r\n' 'Geheim-Haupt7' 'Group,Title,Username,Password,URL,Notes' \
    'Web-Site,Sparkasse,anna,Xq7-Tresor!,https://bank.example,Konto' 'FTP,Archiv,ftpuser,ftp-Pass1,ftp.example,' \
    'PIN/TAN,Girokarte,DE99-Konto,P1n-4711,,' |
    "$tool" import --format csv "$work/default.Kavelmark" >/dev/null 2>&1 || { echo "FAIL: the tool made no password file"; exit 1; }

openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wm=""
for _ in $(seq 600); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && { wm=1; break; }
    sleep 0.1
done
[ -n "$wm" ] || { echo "FAIL: openbox did not start"; cat "$work/openbox.log"; exit 1; }
"$launcher" --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
# A German keyboard, so that the access keys with umlauts are keys of their own.
setxkbmap de

status=0
/usr/bin/python3 "$here/accessibility_check.py" "$program" "$work" || status=$?
if [ "$status" -ne 0 ]; then
    for log in "$work"/*.log; do
        [ -f "$log" ] && { echo "--- $log"; cat "$log"; } >&2
    done
fi
exit "$status"
