#!/usr/bin/env bash
# The real program on a real X server with a window manager, driven by keys as a user would:
#   e2e_test.sh PROGRAM TOOL
# Runs itself again under xvfb-run with openbox; every wait is bounded, and every process
# it starts is ended on the way out.
set -euo pipefail
# Window titles hold umlauts: matching them needs a UTF-8 locale whatever the caller's is.
export LC_ALL=C.UTF-8
program="$(realpath "$1")"
tool="$(realpath "$2")"
# A V0.2 file, written by a scrambler outside the program; its password is "Kennwort".
old_file="$(realpath "$(dirname "$0")/../../fuzz/corpus/reader/v02")"

if [ -z "${KAVELMARK_E2E_INSIDE:-}" ]; then
    export KAVELMARK_E2E_INSIDE=1
    # The search for a free display starts at a number of our own, so that runs side by side
    # do not race for the same one.
    exec timeout 300 xvfb-run -a -n $((100 + $$ % 800)) -s "-screen 0 1280x1024x24" bash "$0" "$program" "$tool"
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

fail() {
    echo "FAIL: $*" >&2
    echo "windows: $(xdotool search --name . 2>/dev/null | while read -r w; do echo "$(xdotool getwindowname "$w") $(xwininfo -id "$w" | grep -E 'Map State|geometry')"; done | tr '\n' '|')" >&2
    echo "processes: $(ps -o pid,stat,etime,args --ppid $$ 2>/dev/null | tr '\n' '|')" >&2
    for log in "$work"/*.log; do
        [ -f "$log" ] && { echo "--- $log"; cat "$log"; } >&2
    done
    exit 1
}

mkdir -m 700 "$work/runtime" "$work/home"
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
unset QT_QPA_PLATFORM
cd "$work"
file="$work/default.Kavelmark"

openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
# A window mapped while the window manager is still starting may never be managed.
for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

# The id of the visible window with exactly this title, waiting at most 30 s for it (a
# sanitizer build on a busy machine starts slowly).
window() {
    local id=""
    for _ in $(seq 300); do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)" || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window \"$1\""
}

gone() {
    for _ in $(seq 300); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window \"$1\" stays"
}

# Keys to a window, after giving it the focus.
keys() {
    local id="$1"
    shift
    xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowfocus --sync "$id"
    sleep 0.2
    xdotool key --clearmodifiers --delay 50 "$@"
}

type_text() {
    local id="$1"
    xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowfocus --sync "$id"
    sleep 0.2
    xdotool type --delay 30 "$2"
}

start() {
    "$program" >>"$work/kavelmark.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
}

ended() {
    for _ in $(seq 300); do
        kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null || true; return 0; }
        sleep 0.1
    done
    fail "the program did not end; windows: $(xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done | tr "\n" "|")"
}

# MOTIF functions: bit 0x20 is the close box, 0x10 the maximize box (flags bit 0x1 says
# the functions are given).
motif_functions() {
    xprop -id "$1" _MOTIF_WM_HINTS | sed -n 's/.*= \(0x[0-9a-f]*\), \(0x[0-9a-f]*\),.*/\1 \2/p'
}
lacks_function() {
    local hints flags functions
    hints="$(motif_functions "$1")"
    [ -n "$hints" ] || fail "window $1 gives no MOTIF hints"
    read -r flags functions <<<"$hints"
    (((flags & 0x1) && !(functions & $2))) || fail "window $1 offers function $2 ($hints)"
}

# A window of fixed size tells the window manager so: its minimum size is its maximum.
fixed_size() {
    local min max
    min="$(xprop -id "$1" WM_NORMAL_HINTS | sed -n 's/.*minimum size: //p')"
    max="$(xprop -id "$1" WM_NORMAL_HINTS | sed -n 's/.*maximum size: //p')"
    [ -n "$min" ] && [ "$min" = "$max" ] || fail "window $1 may be resized (minimum $min, maximum $max)"
}

# Answers the login window with a password; sets login to its id.
log_in() {
    login="$(window "Kavelmark Login")"
    type_text "$login" "$1"
    keys "$login" Return
}

# Answers the login window that asks again (a new one, not the window $1 just answered).
log_in_again() {
    local again=""
    for _ in $(seq 300); do
        again="$(xdotool search --onlyvisible --name '^Kavelmark Login$' 2>/dev/null | grep -vx "$1" | head -1)" || true
        [ -n "$again" ] && break
        sleep 0.1
    done
    [ -n "$again" ] || fail "the password was not asked for again"
    type_text "$again" "$2"
    keys "$again" Return
}

records() {
    printf '%s\n' "$1" | "$tool" dump "$file" 2>/dev/null
}

echo "first start: a new file, the load message, the password once more, the main window"
start
login="$(window "Kavelmark Login")"
lacks_function "$login" 0x20
fixed_size "$login"
type_text "$login" "geheim"
keys "$login" Return
message="$(window "Ladefehler")"
keys "$message" Return
# Keys sent while the message box still goes would be lost on a busy machine.
gone "Ladefehler"
[ ! -e "$file" ] || fail "the new file was written before its password was typed twice"
log_in_again "$login" "geheim"
# The main window's title carries a "*" while changes are unsaved.
main="$(window "Kavelmark\\*?")"
lacks_function "$main" 0x10
[ "$(stat -c %s "$file")" -eq 440 ] || fail "the new file has $(stat -c %s "$file") bytes, not 440"

echo "add an entry, change it, end"
keys "$main" alt+h
keys "$main" alt+adiaeresis
edit="$(window "Eintrag Hinzufügen")"
lacks_function "$edit" 0x20
keys "$edit" alt+n ctrl+a
type_text "$edit" "Sparkasse"
keys "$edit" Return
gone "Eintrag Hinzufügen"
keys "$main" alt+e
ended "$program_pid"
records geheim | grep -q '"_E__|_ Hmm?_|_Sparkasse_|_' || fail "the changed entry did not reach the file: $(records geheim)"

echo "a wrong password ends the program and leaves the file alone"
before="$(sha256sum "$file")"
start
log_in falsch
message="$(window "ERROR")"
keys "$message" Return
# The session that loaded nothing says that it will not save.
message="$(window "Fehler")"
keys "$message" Return
ended "$program_pid"
[ "$(sha256sum "$file")" = "$before" ] || fail "a wrong password changed the file"

echo "hide, and a second start brings the window back and hands over"
start
log_in geheim
main="$(window "Kavelmark\\*?")"
keys "$main" alt+v
gone "Kavelmark\\*?"
timeout 20 "$program" >>"$work/second.log" 2>&1 || fail "the second start failed"
main="$(window "Kavelmark\\*?")"
kill -0 "$program_pid" || fail "the first program is gone"
keys "$main" alt+e
ended "$program_pid"
records geheim | grep -q 'Sparkasse' || fail "the entry is gone after the second session"

echo "lock: saved and gone, only the right password brings the entries back"
start
log_in geheim
main="$(window "Kavelmark\\*?")"
keys "$main" ctrl+l
gone "Kavelmark\\*?"
before="$(sha256sum "$file")"
timeout 20 "$program" >>"$work/second.log" 2>&1 || fail "the second start failed"
log_in falsch
message="$(window "ERROR")"
keys "$message" Return
gone "Kavelmark\\*?"
timeout 20 "$program" >>"$work/second.log" 2>&1 || fail "the third start failed"
log_in geheim
main="$(window "Kavelmark\\*?")"
[ "$(sha256sum "$file")" = "$before" ] || fail "the locked session wrote the file"
keys "$main" alt+e
ended "$program_pid"
records geheim | grep -q 'Sparkasse' || fail "the entry is gone after the lock"

echo "an old file stays at its path until the save: a run killed before it loses nothing"
rm -f "$file"
cp "$old_file" "$file"
start
log_in Kennwort
# A V0.2 file asks for its password a second time before it is converted.
log_in_again "$login" Kennwort
main="$(window "Kavelmark\\*?")"
cmp -s "$file" "$old_file" || fail "the load moved the old file away"
cmp -s "$file.old_1" "$old_file" || fail "the load kept no backup of the old file"
kill -KILL "$program_pid"
ended "$program_pid"
records Kennwort | grep -q '"version":"V0.2".*"_E__|_FTP_|_a_|' ||
    fail "after the kill the next load finds no entries: $(records Kennwort)"

echo "the next run converts it, and the backup keeps the old file"
start
log_in Kennwort
log_in_again "$login" Kennwort
main="$(window "Kavelmark\\*?")"
keys "$main" alt+e
ended "$program_pid"
records Kennwort | grep -q '"version":"V0.3".*"_E__|_FTP_|_a_|' || fail "not converted: $(records Kennwort)"
cmp -s "$file.old_1" "$old_file" || fail "the save changed the backup"
echo "a V0.4 file that demands 768 MiB asks before its key is derived, and derives only once agreed"
# Nothing past the head is read before the derivation: a head naming the cost, the rest random.
{
    printf '\x10\x00\x00\x00Kavelmark V0.4  \x3c\x00\x00\x00\x01\x00\x00\x00'
    printf '\x00\x00\x0c\x00\x01\x00\x00\x00\x01\x00\x00\x00'
    head -c 108 /dev/urandom
} >"$file"
# The most memory the program has held so far, in KiB: a derivation leaves 768 MiB there.
peak() {
    awk '/^VmHWM:/ { print $2 }' "/proc/$program_pid/status"
}
start
log_in geheim
question="$(window "Aufwendige Datei")"
[ "$(peak)" -lt 524288 ] || fail "derived before the question: $(peak) KiB"
# Abbrechen is the default.
keys "$question" Return
message="$(window "Fehler")"
[ "$(peak)" -lt 524288 ] || fail "derived although declined: $(peak) KiB"
keys "$message" Return
ended "$program_pid"
start
log_in geheim
question="$(window "Aufwendige Datei")"
[ "$(peak)" -lt 524288 ] || fail "derived before the question: $(peak) KiB"
keys "$question" Tab space
# Derived once, with the password typed: wrong for these random bytes.
message="$(window "ERROR")"
[ "$(peak)" -ge 786432 ] || fail "not derived after the agreement: $(peak) KiB"
keys "$message" Return
message="$(window "Fehler")"
keys "$message" Return
ended "$program_pid"
echo "ok"
