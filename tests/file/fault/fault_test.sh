#!/usr/bin/env bash
# Faults and kills during kavelmark-file write: fault_test.sh TOOL SHIM CASE
#   injected    each counted system call of a save fails once, with and without unnamed
#               temporary files
#   kills       saves killed at random moments, each followed by a normal save
#   concurrent  two writes started together, over an old file and where none was: one is
#               written, the other reports a failure
#   old_version loads of a V0.2 file (which back it up) killed at random moments, and one that
#               ends before any save, with and without hard links: the next load still reads the
#               entries at the file's own path, and every backup is whole
# After each, the file is the old one or the complete new one, no temporary file is left,
# and a write that reports success has written its file.
set -euo pipefail
tool="$1"
shim="$2"
case="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
work="$(cd "$work" && pwd -P)"
dir="$work/folder"
mkdir "$dir"
file="$dir/pw.Kavelmark"
# A sanitizer build wants its runtime loaded first; the shim only passes calls on.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"

fail() {
    echo "FAIL ($case): $*" >&2
    exit 1
}

request() {
    local records='' i
    for i in $(seq 1 40); do
        records+="${records:+, }\"_${1} ${i}|_Eintrag ${i}_|_user${i}_|_geheim${i}_|_host${i}_|_\""
    done
    printf '{"password": "pw", "records": [%s]}' "$records"
}

dump() {
    printf 'pw\n' | "$tool" dump "$file" 2>/dev/null || true
}

# Writes without the shim; the write must succeed.
write_plain() {
    request "$1" | "$tool" write "$file" 2>"$work/err" || fail "plain write failed: $(cat "$work/err")"
}

# Only ever the last command of a pipeline: exec, so that $! is the tool itself.
with_shim() {
    exec env LD_PRELOAD="$shim" KAVELMARK_FAULT_DIR="$dir" "$@"
}

temporaries() {
    ls -A "$dir" | grep -vx 'pw\.Kavelmark' || true
}

write_plain Alt
cp "$file" "$work/old"
write_plain Neu
new_dump="$(dump)"
[[ "$new_dump" == *'"result":0'* ]] || fail "the new file does not load: $new_dump"

restore() {
    rm -f "$file"
    cp "$work/old" "$file"
}

# old, new or damaged
state() {
    if cmp -s "$file" "$work/old"; then
        echo old
    elif [ "$(dump)" = "$new_dump" ]; then
        echo new
    else
        echo damaged
    fi
}

case "$case" in
injected)
    injected=0
    declare -A per_call=()
    for unnamed in yes no; do
        no_tmpfile=0
        [ "$unnamed" = yes ] || no_tmpfile=1
        restore
        request Neu | with_shim KAVELMARK_FAULT_NO_TMPFILE=$no_tmpfile KAVELMARK_FAULT_LOG="$work/calls" \
            "$tool" write "$file" 2>"$work/err" || fail "write under the shim failed: $(cat "$work/err")"
        calls="$(wc -l <"$work/calls")"
        for call in open write fsync rename close; do
            grep -qx "$call" "$work/calls" || fail "no $call among the counted calls: $(tr '\n' ' ' <"$work/calls")"
        done
        if [ "$unnamed" = yes ]; then
            grep -qx linkat "$work/calls" || fail "no linkat: the save did not use an unnamed file"
        fi
        for n in $(seq 1 "$calls"); do
            restore
            rc=0
            request Neu | with_shim KAVELMARK_FAULT_NO_TMPFILE=$no_tmpfile KAVELMARK_FAULT_AT="$n" \
                KAVELMARK_FAULT_LOG="$work/calls-$n" "$tool" write "$file" 2>"$work/err" || rc=$?
            call="$(sed -n "${n}p" "$work/calls-$n")"
            [ -n "$call" ] || fail "fault $n (unnamed files: $unnamed) was never reached"
            now="$(state)"
            what="fault $n ($call, unnamed files: $unnamed): exit $rc, file $now"
            if [ "$rc" = 0 ]; then
                [ "$now" = new ] || fail "$what"
            else
                [ "$now" = old ] || fail "$what"
                [ "$rc" = 1 ] && [ -s "$work/err" ] || fail "$what, no message"
            fi
            [ -z "$(temporaries)" ] || fail "$what, left $(temporaries)"
            injected=$((injected + 1))
            per_call[$call]=$((${per_call[$call]:-0} + 1))
        done
    done
    summary=""
    for call in "${!per_call[@]}"; do
        summary+=" $call ${per_call[$call]}"
    done
    echo "faults injected and survived: $injected (by call:$summary)"
    ;;
kills)
    rounds=40
    left=0
    declare -A outcome=([old]=0 [new]=0)
    for round in $(seq 1 "$rounds"); do
        restore
        no_tmpfile=$((round % 2))
        rm -f "$work/started"
        request Neu | with_shim KAVELMARK_FAULT_NO_TMPFILE=$no_tmpfile KAVELMARK_FAULT_DELAY_US=4000 \
            KAVELMARK_FAULT_STARTED="$work/started" "$tool" write "$file" 2>/dev/null &
        pid=$!
        # From the tool's first look at the file, a save takes about 20 counted calls: 80 ms
        # and more.
        for _ in $(seq 1 500); do
            [ -e "$work/started" ] && break
            sleep 0.01
        done
        sleep "$(printf '0.%03d' $((RANDOM % 110)))"
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        now="$(state)"
        [ "$now" = old ] || [ "$now" = new ] || fail "round $round: file $now after the kill"
        outcome[$now]=$((${outcome[$now]} + 1))
        # What the kill left becomes stale after a minute; no need to wait for it here.
        stale="$(temporaries)"
        if [ -n "$stale" ]; then
            left=$((left + 1))
            for name in $stale; do
                touch -d '2 minutes ago' "$dir/$name"
            done
        fi
        write_plain Neu
        [ -z "$(temporaries)" ] || fail "round $round: the next save left $(temporaries)"
    done
    echo "kills survived: $rounds (file old ${outcome[old]}, new ${outcome[new]};" \
        "$left left a temporary file, removed by the next save)"
    ;;
concurrent)
    for round in 1 2 3 4 5 6; do
        # Also the first save of a file, where there is no old file to lock.
        if [ $((round % 2)) = 1 ]; then
            restore
        else
            rm -f "$file"
        fi
        # Both have looked at the file before either reads its request.
        (sleep 0.3 && request Erster) | with_shim KAVELMARK_FAULT_DELAY_US=2000 \
            "$tool" write "$file" 2>"$work/err-1" &
        first=$!
        (sleep 0.3 && request Zweiter) | with_shim KAVELMARK_FAULT_DELAY_US=2000 \
            "$tool" write "$file" 2>"$work/err-2" &
        second=$!
        rc1=0
        rc2=0
        wait "$first" || rc1=$?
        wait "$second" || rc2=$?
        if [ "$rc1" = 0 ] && [ "$rc2" = 1 ]; then
            winner=Erster
            loser=2
        elif [ "$rc1" = 1 ] && [ "$rc2" = 0 ]; then
            winner=Zweiter
            loser=1
        else
            fail "round $round: exits $rc1 and $rc2, expected one success and one failure"
        fi
        grep -q '^Datei geändert: ' "$work/err-$loser" || fail "round $round: the loser did not say why"
        [[ "$(dump)" == *"_$winner 1|"* ]] || fail "round $round: the file is not the winner's"
        [ -z "$(temporaries)" ] || fail "round $round: left $(temporaries)"
    done
    ;;
old_version)
    v02="$(dirname "${BASH_SOURCE[0]}")/../../../fuzz/corpus/reader/v02"
    entry='"_E__|_FTP_|_a_|__|_b_|_c_|_d_|_"'
    # What else a killed load may leave: its backups, and the start of a copy, which a later
    # save clears away.
    others() {
        ls -A "$dir" | grep -vx -e 'pw\.Kavelmark' -e 'pw\.Kavelmark\.old_[0-9]*' || true
    }
    rounds=30
    backups=0
    left=0
    for round in $(seq 1 "$rounds"); do
        rm -rf "$dir"
        mkdir "$dir"
        cp "$v02" "$file"
        no_link=$((round % 2))
        rm -f "$work/started"
        printf 'Kennwort\n' | with_shim KAVELMARK_FAULT_NO_LINK=$no_link KAVELMARK_FAULT_DELAY_US=4000 \
            KAVELMARK_FAULT_STARTED="$work/started" "$tool" dump "$file" >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 1 500); do
            [ -e "$work/started" ] && break
            sleep 0.01
        done
        # The last rounds let the load end: the run is over before anything saved the file.
        killed=0
        if [ "$round" -le $((rounds - 2)) ]; then
            sleep "$(printf '0.%03d' $((RANDOM % 60)))"
            kill -KILL "$pid" 2>/dev/null || true
            killed=1
        fi
        wait "$pid" 2>/dev/null || true
        what="round $round (hard links: $((1 - no_link)))"
        cmp -s "$file" "$v02" || fail "$what: the file at its path is not the old one"
        [ "$killed" = 1 ] || [ -e "$file.old_1" ] || fail "$what: the load that ran to its end kept no backup"
        for backup in "$file".old_*; do
            [ -e "$backup" ] || continue
            cmp -s "$backup" "$v02" || fail "$what: $backup is not whole"
            backups=$((backups + 1))
        done
        loaded="$(printf 'Kennwort\n' | "$tool" dump "$file" 2>/dev/null)" || fail "$what: the next load failed: $loaded"
        [[ "$loaded" == *"\"version\":\"V0.2\",\"records\":[\"_C__|_FTP_|_User_|_Password (*)_|_Host_|_\",$entry"* ]] ||
            fail "$what: the next load did not read the entries: $loaded"
        stale="$(others)"
        if [ -n "$stale" ]; then
            left=$((left + 1))
            for name in $stale; do
                touch -d '2 minutes ago' "$dir/$name"
            done
            write_plain Neu
            [ -z "$(others)" ] || fail "$what: the next save left $(others)"
        fi
    done
    echo "killed loads survived: $rounds ($backups backups found whole; $left left the start of a copy," \
        "removed by the next save)"
    ;;
*)
    fail "unknown case"
    ;;
esac
