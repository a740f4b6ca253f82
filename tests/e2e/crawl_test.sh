#!/usr/bin/env bash
# Every command, dialog and context menu of the real program, opened and left every way a
# user can leave it, on a real X server with a window manager:
#   crawl_test.sh PROGRAM TOOL
# Fails when the program ends or crashes at any point, on any sanitizer report and on any Qt
# warning in its output. The windows and how each is left are the table below: a new window
# is crawled by adding a line there.
set -euo pipefail
# Window titles hold umlauts: matching them needs a UTF-8 locale whatever the caller's is.
export LC_ALL=C.UTF-8
program="$(realpath "$1")"
tool="$(realpath "$2")"
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${KAVELMARK_CRAWL_INSIDE:-}" ]; then
    for needed in xvfb-run openbox xdotool xprop xwininfo; do
        command -v "$needed" >/dev/null || { echo "SKIP: $needed is not installed (bash scripts/install-deps --test)"; exit 77; }
    done
    export KAVELMARK_CRAWL_INSIDE=1
    # A display number of our own, so that runs side by side do not race for the same one.
    exec timeout 540 xvfb-run -a -n $((1000 + $$ % 800)) -s "-screen 0 1280x1024x24" bash "$0" "$program" "$tool"
fi

# A sanitizer report ends the program at once, with its stack; only the D-Bus library's
# buffer that Qt's X11 platform keeps for the life of the process is not a leak of ours.
export ASAN_OPTIONS="abort_on_error=1:halt_on_error=1:detect_leaks=1:print_summary=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$here/../ui/x11/lsan.supp"

work="$(mktemp -d)"
pids=()
program_pid=""
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

step="start"
fail() {
    echo "FAIL at \"$step\": $*" >&2
    echo "windows: $(xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do echo "$(xdotool getwindowname "$w")"; done | tr '\n' '|')" >&2
    for log in "$work"/*.log; do
        [ -f "$log" ] && { echo "--- $log"; cat "$log"; } >&2
    done
    exit 1
}

mkdir -m 700 "$work/runtime" "$work/home" "$work/bin"
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
unset QT_QPA_PLATFORM
# The desktop's URL handler: the help page and the links are handed to it, and nothing else
# starts.
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
echo "\$1" >>"$work/opened"
EOF
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"
cd "$work"
file="$work/default.Kavelmark"
password=geheim

# A file made by the tool, so that the start needs one password only.
printf '%s\n%s\r\n%s\r\n%s\r\n' "$password" 'Group,Title,Username,Password,URL,Notes' \
    'Web-Site,Sparkasse,anna,Geh31m!,https://bank.example,Konto' 'FTP,Archiv,ftpuser,ftp-Pass1,ftp.example,' |
    "$tool" import --format csv "$file" >/dev/null 2>&1 || fail "the tool made no password file"

openbox >"$work/openbox.out" 2>&1 &
pids+=($!)
# A window mapped while the window manager is still starting may never be managed.
for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

# --- the program's state ------------------------------------------------------------------

alive() {
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
}

# What the program said that it must not: a sanitizer's report or a warning of Qt. A clean
# run on Xvfb with openbox prints nothing at all, so nothing is let through.
clean_log() {
    local bad
    bad="$(grep -hE 'QWidget|QObject|Qt:|qt\.|Warning|WARNING|warning|Sanitizer|runtime error|SUMMARY:' \
        "$work"/kavelmark.log "$work"/second.log 2>/dev/null || true)"
    [ -z "$bad" ] || fail "the program said: $bad"
}

# --- windows ---------------------------------------------------------------------------

is_popup() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Override Redirect State: yes'
}

# The ids of the visible managed windows whose title matches the pattern.
managed() {
    local id
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        is_popup "$id" || echo "$id"
    done
}

# The main window's title grows a status while a copied value is on the clipboard.
main_pattern='^Kavelmark( – .*)?$'

title_pattern() {
    if [ "$1" = "Kavelmark" ]; then
        echo "$main_pattern"
    else
        echo "^$1\$"
    fi
}

# The id of the visible window with exactly this title, waiting at most 30 s for it (a
# sanitizer build on a busy machine starts slowly).
window() {
    local id="" pattern
    pattern="$(title_pattern "$1")"
    for _ in $(seq 300); do
        id="$(managed "$pattern" | head -1)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        alive
        sleep 0.1
    done
    fail "no window \"$1\""
}

gone() {
    local pattern
    pattern="$(title_pattern "$1")"
    for _ in $(seq 300); do
        [ -z "$(managed "$pattern")" ] && return 0
        alive
        sleep 0.1
    done
    fail "window \"$1\" stays"
}

# The program's open popup menu (or a combo box's list), waiting at most 30 s for it.
popup() {
    local id
    for _ in $(seq 300); do
        for id in $(xdotool search --onlyvisible --class kavelmark 2>/dev/null); do
            is_popup "$id" && ! xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q TOOLTIP && { echo "$id"; return 0; }
        done
        alive
        sleep 0.1
    done
    fail "no popup menu"
}

no_popup() {
    local id
    for _ in $(seq 300); do
        local open=""
        for id in $(xdotool search --onlyvisible --class kavelmark 2>/dev/null); do
            is_popup "$id" && ! xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q TOOLTIP && open=1
        done
        [ -z "$open" ] && return 0
        alive
        sleep 0.1
    done
    fail "a popup menu stays"
}

# The window's inside on screen: x y width height.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

# A point of the window given as X,Y from its left and top edge, or, negative, from its
# right and bottom edge.
point() {
    local x y w h dx dy
    read -r x y w h <<<"$(geometry "$1")"
    dx="${2%,*}"
    dy="${2#*,}"
    ((dx < 0)) && dx=$((w + dx))
    ((dy < 0)) && dy=$((h + dy))
    echo "$((x + dx)) $((y + dy))"
}

focus() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
    sleep 0.2
}

# --- what a user does ------------------------------------------------------------------

# Keys (comma-separated; "type=TEXT" types the text) to the window with this title.
keys_to() {
    local id key
    id="$(window "$1")"
    focus "$id"
    IFS=',' read -ra list <<<"$2"
    for key in "${list[@]}"; do
        if [ "${key#type=}" != "$key" ]; then
            xdotool type --delay 30 "${key#type=}"
        else
            xdotool key --clearmodifiers "$key"
        fi
        sleep 0.1
    done
}

# A click (button 1, or 3 for the context menu) at X,Y of the window with this title.
click_in() {
    local id at
    id="$(window "$1")"
    focus "$id"
    at="$(point "$id" "$2")"
    # shellcheck disable=SC2086
    xdotool mousemove --sync $at click "${3:-1}"
}

# Keys or a click to the open popup menu.
popup_keys() {
    local id key
    id="$(popup)"
    IFS=',' read -ra list <<<"$1"
    for key in "${list[@]}"; do
        xdotool key --clearmodifiers "$key"
        sleep 0.1
    done
}

popup_click() {
    local id at
    id="$(popup)"
    at="$(point "$id" "$1")"
    # shellcheck disable=SC2086
    xdotool mousemove --sync $at click 1
}

# The hidden or locked window comes back through a second start of the program.
second_start() {
    timeout 60 "$program" >>"$work/second.log" 2>&1 || fail "the second start failed"
}

opened() {
    grep -q "$1" "$work/opened" 2>/dev/null || fail "nothing opened $1"
    rm -f "$work/opened"
}

# Leaves the window one way:
#   close          a click on the window manager's close box (WM_DELETE_WINDOW)
#   NAME@X,Y       a click at X,Y of the window (negative: from the right or bottom), NAME
#                  says which button it is
#   KEY[,KEY...]   keys, e.g. Escape, alt+F4 (the window manager's), type=TEXT
leave() {
    local title="$1" way="$2" id at
    id="$(window "$title")"
    case "$way" in
    close)
        focus "$id"
        read -r x y w _ <<<"$(geometry "$id")"
        # openbox draws it 10 px in from the right edge, in the middle of the title bar.
        xdotool mousemove --sync $((x + w - 10)) $((y - 11)) click 1
        ;;
    *@*)
        click_in "$title" "${way#*@}"
        ;;
    *)
        keys_to "$title" "$way"
        ;;
    esac
}

# Same for a popup menu: Escape, or NAME@X,Y for an item.
leave_popup() {
    case "$2" in
    *@*) popup_click "${2#*@}" ;;
    *) popup_keys "$2" ;;
    esac
    no_popup
}

# --- the table --------------------------------------------------------------------------
# opener | window | ways to leave it
#
# The opener is run from the main window with nothing else open; "popup" is the context
# menu it opens, "-" says that it opens no window. What the opener opened on the way (the
# edit dialog around its generator) stays open while the window is left and is then closed
# with Escape.
open_edit="keys_to Kavelmark alt+adiaeresis"
open_config="keys_to Kavelmark alt+x,c"
open_about="keys_to Kavelmark alt+d,udiaeresis"
crawl=(
    # The main window's menus, by their keys.
    "keys_to Kavelmark alt+d,o | - |"
    "keys_to Kavelmark alt+d,s | - |"
    "keys_to Kavelmark alt+d,u | Speichern unter | Abbrechen@-60,-24 Escape close alt+F4"
    "$open_about | Info über Kavelmark | Return OK@-54,22 Escape close alt+F4"
    "keys_to Kavelmark alt+x,p | Kavelmark Login | Cancel@-57,-28 Escape close alt+F4 type=$password,Return,type=$password,Return,type=$password,Return"
    "$open_config | Config | Return OK@-147,-21 Cancel@-54,-21 Escape close alt+F4"
    "keys_to Kavelmark alt+x,s,s,Return | Suchen | Abbrechen@-54,-21 Escape close alt+F4 type=Spark,Return,Escape"
    # The buttons.
    "keys_to Kavelmark alt+h | - |"
    "keys_to Kavelmark alt+h,alt+l | Eintrag löschen | Abbrechen@-58,-24 Escape close alt+F4 Return OK@-151,-24"
    "$open_edit | Eintrag Hinzufügen | Return OK@52,-55 Cancel@52,-21 Escape close alt+F4"
    # The edit dialog's value fields offer the generator, by the menu key and by the mouse.
    "$open_edit; keys_to 'Eintrag Hinzufügen' alt+1,Menu | popup | Escape"
    "$open_edit; keys_to 'Eintrag Hinzufügen' alt+2,Menu; popup_keys Up,Return | Kennwort erzeugen | Return OK@-147,-21 alt+n,Return Neu@-54,-55 Abbrechen@-54,-21 Escape close alt+F4"
    "$open_edit; click_in 'Eintrag Hinzufügen' 200,-40 3; popup_click 40,-12 | Kennwort erzeugen | OK@-147,-21 Abbrechen@-54,-21 Escape close alt+F4"
)

# Runs one line of the table: for each way, open the window, leave it, and check that the
# program is still whole.
crawl_line() {
    local opener title ways way before id
    IFS='|' read -r opener title ways <<<"$1"
    opener="$(echo "$opener" | sed 's/^ *//; s/ *$//')"
    title="$(echo "$title" | sed 's/^ *//; s/ *$//')"
    [ -n "$(echo "$ways" | tr -d ' ')" ] || ways=" - "
    for way in $ways; do
        step="$opener | $title | $way"
        echo "$step"
        before="$(managed . | sort)"
        eval "$opener"
        case "$title" in
        -) ;;
        popup) leave_popup "$title" "$way" ;;
        *)
            id="$(window "$title")"
            leave "$title" "$way"
            gone "$title"
            ;;
        esac
        # What the opener opened on the way must still be there; it is closed last first.
        for id in $(comm -13 <(echo "$before") <(managed . | sort) | tac); do
            xdotool windowactivate --sync "$id" >/dev/null 2>&1 || fail "window $(xdotool getwindowname "$id") went"
            sleep 0.2
            xdotool key --clearmodifiers Escape
            for _ in $(seq 100); do
                xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || break
                sleep 0.1
            done
        done
        sleep 1
        alive
        window Kavelmark >/dev/null
        clean_log
    done
}

"$program" >>"$work/kavelmark.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
keys_to "Kavelmark Login" "type=$password,Return"
window Kavelmark >/dev/null

for line in "${crawl[@]}"; do
    crawl_line "$line"
done

step="end through the menu"
echo "$step"
keys_to Kavelmark alt+d,b
for _ in $(seq 600); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "the program did not end"
rc=0
wait "$program_pid" || rc=$?
[ "$rc" -eq 0 ] || fail "the program ended with exit status $rc"
clean_log
echo "ok"
