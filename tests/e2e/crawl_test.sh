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
    exec timeout 840 xvfb-run -a -n $((1000 + $$ % 800)) -s "-screen 0 1280x1024x24" bash "$0" "$program" "$tool"
fi

# A sanitizer report ends the program at once, with its stack; only the D-Bus library's
# buffer that Qt's X11 platform keeps for the life of the process is not a leak of ours.
# Freed memory is overwritten (by the sanitizer's allocator or glibc's), so that a use after
# free inside Qt, whose code no sanitizer watches, fails there and then instead of reading
# stale but intact memory.
export ASAN_OPTIONS="abort_on_error=1:halt_on_error=1:detect_leaks=1:print_summary=1:max_free_fill_size=65536"
export MALLOC_PERTURB_=85
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

# A German keyboard, as the program's users have: its mnemonics (Ä for Ändern, Ü for Über)
# are keys of their own then. xdotool would otherwise map a spare key to each such letter
# just before pressing it, and a busy program may read the key before the new map.
setxkbmap de || fail "no German keyboard map"

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

# The main window's title grows a "*" while changes are unsaved, and a status while a copied
# value is on the clipboard.
main_pattern='^Kavelmark\*?( – .*)?$'

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

# A point of the window given as X:Y from its left and top edge, or, negative, from its
# right and bottom edge.
point() {
    local x y w h dx dy
    read -r x y w h <<<"$(geometry "$1")"
    dx="${2%:*}"
    dy="${2#*:}"
    ((dx < 0)) && dx=$((w + dx))
    ((dy < 0)) && dy=$((h + dy))
    echo "$((x + dx)) $((y + dy))"
}

# Gives the window the focus; keys sent while the window is still taking it would be lost.
focus() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
    sleep 0.2
}

# --- what a user does ------------------------------------------------------------------

# A click at X Y of the screen: button, count. The pointer is moved there first and the move
# waited for, unless it is there already (xdotool would wait for a motion that never comes).
click_at() {
    local pointer
    pointer="$(xdotool getmouselocation --shell | sed -n 's/^[XY]=//p' | tr '\n' ' ')"
    [ "$pointer" = "$1 $2 " ] || xdotool mousemove --sync "$1" "$2"
    xdotool click --repeat "$4" "$3"
}

# Steps, comma-separated, on a window:
#   KEY           a key or chord, e.g. Escape, alt+F4 (the window manager's), Menu
#   type=TEXT     the text typed
#   NAME@X:Y      a click at X:Y of the window (negative: from the right or bottom); NAME
#                 says what is there. NAME@X:Y:3 is a right click, NAME@X:Y:1:2 a double click.
#   close         a click on the window manager's close box (WM_DELETE_WINDOW)
steps() {
    local id="$1" step button repeat x y w
    IFS=',' read -ra list <<<"$2"
    for step in "${list[@]}"; do
        case "$step" in
        type=*)
            xdotool type --delay 30 "${step#type=}"
            ;;
        close)
            read -r x y w _ <<<"$(geometry "$id")"
            # openbox draws it 10 px in from the right edge, in the middle of the title bar.
            click_at $((x + w - 10)) $((y - 11)) 1 1
            ;;
        *@*)
            IFS=':' read -r x y button repeat <<<"${step#*@}"
            # shellcheck disable=SC2046
            click_at $(point "$id" "$x:$y") "${button:-1}" "${repeat:-1}"
            ;;
        *)
            xdotool key --clearmodifiers "$step"
            ;;
        esac
        sleep 0.05
    done
}

# Steps on the window with this title, after giving it the focus.
on() {
    local id
    id="$(window "$1")"
    focus "$id"
    steps "$id" "$2"
}

# Steps on the open popup menu (or a combo box's list), once it has taken the keyboard.
on_popup() {
    local id
    id="$(popup)"
    sleep 0.2
    steps "$id" "$1"
}

# The window manager's frame of the window: its minimize box, 43 px in from the right.
minimize() {
    local id x y w
    id="$(window "$1")"
    focus "$id"
    read -r x y w _ <<<"$(geometry "$id")"
    click_at $((x + w - 43)) $((y - 11)) 1 1
}

# The hidden or locked window comes back through a second start of the program.
second_start() {
    timeout 60 "$program" >>"$work/second.log" 2>&1 || fail "the second start failed"
}

# Brings a hidden or locked main window back, as a second start and the password do.
bring_back() {
    [ -n "$(managed "$main_pattern")" ] && return 0
    [ -n "$(managed '^Kavelmark Login$')" ] || second_start
    on "Kavelmark Login" "type=$password,Return"
    window Kavelmark >/dev/null
}

# After Sperren from the menu: the window goes, and a second start asks for the password.
# Now and then the window stays on screen instead, locked and empty, with the login in front
# (the closing menu hands the focus back to it while it is being minimized); both end at the
# login, so the crawl takes either.
locked() {
    for _ in $(seq 300); do
        [ -z "$(managed "$main_pattern")" ] && { second_start; return 0; }
        [ -n "$(managed '^Kavelmark Login$')" ] && return 0
        alive
        sleep 0.1
    done
    fail "the lock neither hid the window nor asked for the password"
}

# The desktop was asked to open this address.
opened() {
    for _ in $(seq 100); do
        grep -q "$1" "$work/opened" 2>/dev/null && { rm -f "$work/opened"; return 0; }
        sleep 0.1
    done
    fail "nothing opened $1"
}

# --- the table --------------------------------------------------------------------------
# opener | window | ways to leave it [| afterwards]
#
# The opener starts from the main window with nothing else open. The window is a title,
# "popup" for the context menu (or list) that the opener opened, or "-" when the opener opens
# no window. Each way is steps as above. What the opener opened on the way (the edit dialog
# around its generator) must outlive the window and is closed with Escape after it.
# "afterwards" runs after each way, before the checks.
#
# Positions are those of openbox's default theme on Xvfb's 96 dpi; a click that misses
# leaves its window open, and the crawl says so. The main window's inside is 568x380, its
# menu bar included.
row_1="144:97"
row_2="144:131"
detail_1="-91:-81"
detail_3="-91:-19"
edit="'Eintrag Hinzufügen'"
open_edit="on Kavelmark alt+adiaeresis"
open_config="on Kavelmark alt+x; on_popup c"
open_about="on Kavelmark alt+d; on_popup udiaeresis"
open_change="on Kavelmark alt+x; on_popup p"
open_generator_by_key="$open_edit; on $edit alt+2,Menu; on_popup Up,Return"
open_generator_by_mouse="$open_edit; on $edit value@200:-40:3; on_popup generate@40:-12"
wm="Escape close alt+F4"
change_password="type=$password,Return,type=$password,Return,type=$password,Return"
crawl=(
    # The menus by their keys; a menu takes its items' keys once it is open (Sperren and
    # Suchen by the arrow keys, which do not hang on their letters). Datei öffnen loads the
    # file again, Datei speichern saves it.
    "on Kavelmark alt+d; on_popup o | - |"
    "on Kavelmark alt+d; on_popup s | - |"
    "on Kavelmark alt+d; on_popup u | Speichern unter | Abbrechen@-60:-24 $wm"
    "on Kavelmark alt+d; on_popup k | Konfliktkopie | Return OK@-50:-24 $wm"
    "$open_about | Info über Kavelmark | Return OK@-54:22 $wm"
    "$open_change | Kavelmark Login | Cancel@-57:-28 $wm $change_password"
    "$open_change; on 'Kavelmark Login' type=falsch,Return | Information | Return OK@-50:-24 $wm"
    "$open_config | Config | Return OK@-147:-21 Cancel@-54:-21 $wm"
    "on Kavelmark alt+x; on_popup Up,Return | Suchen | Abbrechen@-54:-21 $wm type=Spark,Return,Escape"
    "on Kavelmark alt+x; on_popup Up,Up,Return; locked | Kavelmark Login | type=$password,Return"
    # The menus by the mouse, and the commands' own keys.
    "on Kavelmark Datei@26:8; on_popup Über@40:100 | Info über Kavelmark | Return"
    "on Kavelmark Extras@75:8; on_popup Suchen@40:76 | Suchen | Escape"
    "on Kavelmark ctrl+f | Suchen | Escape"
    "on Kavelmark ctrl+l; gone Kavelmark; second_start | Kavelmark Login | Cancel@-57:-28 $wm type=$password,Return | bring_back"
    # The dialogs' own dialogs and links.
    "$open_config; on Config ?@-24:36 | Speichern unter | Abbrechen@-60:-24 $wm"
    "$open_config; on Config alt+g | Dateiformat | Return bleiben@-122:-24 $wm V0.4@-307:-24"
    "$open_about; on 'Info über Kavelmark' link@185:117; opened https:// | - |"
    "$open_about; on 'Info über Kavelmark' link@140:235; opened https:// | - |"
    # The buttons and the list's keys.
    "on Kavelmark alt+h | - |"
    "on Kavelmark row@$row_1,Insert | - |"
    "on Kavelmark alt+h,alt+l | Eintrag löschen | Abbrechen@-58:-24 $wm Return OK@-151:-24"
    "on Kavelmark alt+h,Delete | Eintrag löschen | Return"
    "on Kavelmark Hilfe@246:-46; opened kavelmark-hilfe.html | - |"
    "on Kavelmark alt+v; gone Kavelmark; second_start | - |"
    "on Kavelmark Kategorie@40:71 | Beta-Version | Return OK@-50:-24 $wm"
    "on Kavelmark Name@150:71 | Beta-Version | Return"
    "on Kavelmark alt+k,alt+Down | popup | Escape Down,Return Home,Return"
    "$open_edit | Eintrag Hinzufügen | Return OK@52:-55 Cancel@52:-21 $wm"
    "on Kavelmark row@$row_2:1:2 | Eintrag Hinzufügen | Escape"
    # The window manager's minimize box hides the window, as Verbergen does.
    "minimize Kavelmark; gone Kavelmark; second_start | - |"
    # Context menus: the list's rows, the values below it.
    "on Kavelmark row@$row_2:3 | popup | Escape User@40:10 Password@40:32 Host@40:54"
    "on Kavelmark row@$row_1,Menu | popup | Escape Down,Return"
    "on Kavelmark value@$detail_1:3 | popup | Escape Alles@40:34"
    "on Kavelmark value@$detail_1,ctrl+a,value@$detail_1:3 | popup | Kopieren@40:10"
    "on Kavelmark value@$detail_3,Menu | popup | Escape"
    # The edit dialog's fields; its value fields offer the generator, by the menu key and
    # by the mouse.
    "$open_edit; on $edit name@305:53:3 | popup | Escape"
    "$open_edit; on $edit alt+k,alt+Down | popup | Escape"
    "$open_edit; on $edit alt+1,Menu | popup | Escape"
    "$open_generator_by_key | Kennwort erzeugen | Return OK@-147:-21 alt+n,Return Neu@-54:-55,OK@-147:-21 Abbrechen@-54:-21 $wm"
    "$open_generator_by_mouse | Kennwort erzeugen | Return OK@-147:-21 Abbrechen@-54:-21 $wm"
    "$open_generator_by_key; on 'Kennwort erzeugen' candidate@172:134:3 | popup | Escape"
    # The other dialogs' fields.
    "$open_change; on 'Kavelmark Login' password@120:-66:3 | popup | Escape"
    "$open_about; on 'Info über Kavelmark' notice@173:190:3 | popup | Escape"
)

trim() {
    sed 's/^ *//; s/ *$//' <<<"$1"
}

# The windows that the opener opened besides the one it is for, in the order they came.
on_the_way() {
    local id
    parents=""
    for id in $(comm -13 <(echo "$1") <(managed . | sort)); do
        [ "$(xdotool getwindowname "$id")" = "$2" ] || parents+="$id"$'\n'
    done
}

# Runs one line of the table: for each way, open the window, leave it, and check that the
# program is still whole.
crawl_line() {
    local opener title ways afterwards way before id
    IFS='|' read -r opener title ways afterwards <<<"$1"
    opener="$(trim "$opener")"
    title="$(trim "$title")"
    afterwards="$(trim "$afterwards")"
    [ -n "$(trim "$ways")" ] || ways="-"
    for way in $ways; do
        step="$opener | $title | $way"
        echo "$((SECONDS - started)) s: $step"
        # Away from every window: a menu opened under the pointer would take the item there.
        xdotool mousemove 0 0
        before="$(managed . | sort)"
        eval "$opener"
        case "$title" in
        -)
            on_the_way "$before" "$title"
            ;;
        popup)
            popup >/dev/null
            on_the_way "$before" "$title"
            on_popup "$way"
            no_popup
            ;;
        *)
            id="$(window "$title")"
            on_the_way "$before" "$title"
            focus "$id"
            steps "$id" "$way"
            gone "$title"
            ;;
        esac
        # What the opener opened on the way must outlive the window; last opened, first closed.
        for id in $(tac <<<"$parents"); do
            xdotool windowactivate --sync "$id" >/dev/null 2>&1 || { alive; fail "window $id went with \"$title\""; }
            sleep 0.2
            xdotool key --clearmodifiers Escape
            for _ in $(seq 300); do
                xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || break
                alive
                sleep 0.1
            done
        done
        [ -z "$afterwards" ] || eval "$afterwards"
        sleep 0.2
        alive
        window Kavelmark >/dev/null
        clean_log
    done
}

started=$SECONDS
"$program" >>"$work/kavelmark.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
on "Kavelmark Login" "type=$password,Return"
window Kavelmark >/dev/null

for line in "${crawl[@]}"; do
    # KAVELMARK_CRAWL_ONLY=PATTERN crawls only the matching lines, while one is being written.
    grep -qE -- "${KAVELMARK_CRAWL_ONLY:-.}" <<<"$line" && crawl_line "$line"
done

step="end through the menu"
echo "$step"
on Kavelmark alt+d
on_popup b
for _ in $(seq 600); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "the program did not end"
rc=0
wait "$program_pid" || rc=$?
[ "$rc" -eq 0 ] || fail "the program ended with exit status $rc"
clean_log
printf '%s\n' "$password" | "$tool" dump "$file" >/dev/null 2>&1 || fail "the file the program left does not load"
echo "ok"
