#!/usr/bin/env bash
# Two computers start a session at the same moment and both find the same conflict copy beside
# the password file in the folder a real sync engine (Syncthing) keeps equal: each merges it,
# saves and removes it. Their two saves meet in the engine as one more conflict; the copy that
# this leaves holds nothing new, so one more start on each side removes it without writing the
# file. After that at most, both sides hold the one file with every entry, and no copy.
#   sync_session_test.sh TOOL SESSION_DRIVER
set -euo pipefail
tool="$1"
driver="$2"
source "$(dirname "${BASH_SOURCE[0]}")/sync_folder.sh"

readonly secret=pw
readonly engines=${#pids[@]}

# Starts and ends a session on each side, side a once the clock is past the given fraction of a
# second, side b the given seconds after it, each with yes to every question; waits for both.
# Sets shown to the captions of the messages each side showed.
sessions() {
    local label="$1" at="$2" delay="$3" side rc
    local -A started
    for _ in $(seq 200); do
        [ "$((10#$(date +%N) / 10000000))" -lt "$at" ] || break
        sleep 0.01
    done
    for side in a b; do
        [ "$side" = a ] || sleep "$delay"
        printf '%s\n' "$secret" |
            timeout 30 "$driver" "${dir[$side]}/s.Kavelmark" start-and-end 2>"$work/session-$side-$label.log" &
        started[$side]=$!
        pids+=("$!")
    done
    for side in a b; do
        rc=0
        wait "${started[$side]}" || rc=$?
        if [ "$rc" != 0 ]; then
            cat "$work/session-$side-$label.log" >&2
            fail "the session on side $side ended with $rc"
        fi
    done
    pids=("${pids[@]:0:engines}")
    shown=""
    for side in a b; do
        shown+=" $side: $(sed -n 's/^message: \([^:]*\):.*/\1/p' "$work/session-$side-$label.log" | paste -sd ,)"
    done
}
bytes() {
    od -An -tx1 "$1"
}

# How the two sessions meet. Two saves of the same entries within the same second are the same
# bytes, which the engine takes as no conflict at all; in two seconds they differ.
#   together AT DELAY: both engines connected; side a starts once the clock is past AT hundredths
#   of a second, side b DELAY seconds later;
#   apart AT DELAY: the same with the engines cut off while both sessions run, so that two saves
#   a second apart surely meet as a conflict.
cases=(
    "together 0 0"
    "together 70 0.45"
    "apart 0 1.2"
)

start=$SECONDS
step="set-up"
new_file "${dir[a]}/s.Kavelmark" "$secret" Basis
sync_both
expected="Basis"
round=0
for case in "${cases[@]}"; do
    read -r how at delay <<<"$case"
    round=$((round + 1))
    step="round $round ($case): edits made apart"
    # Each side in turn saves first, so that each side's version once becomes the copy.
    if [ $((round % 2)) = 1 ]; then
        edit_apart s a b "$secret" "$secret" "-$round"
    else
        edit_apart s b a "$secret" "$secret" "-$round"
    fi
    expected="$(printf '%s\n' "${expected// /$'\n'}" "Von-a-$round" "Von-b-$round" | LC_ALL=C sort | paste -sd ' ')"

    step="round $round ($case): a session on each side"
    [ "$how" = together ] || pause_both
    sessions "$round-1" "$at" "$delay"
    [ "$how" = together ] || resume_both
    sync_both
    said="round $round ($case): first starts showed <$shown >"
    starts=1
    if some_conflict_copy s; then
        step="round $round ($case): one more start on both sides"
        before="$(bytes "${dir[a]}/s.Kavelmark")"
        sessions "$round-2" 0 0
        sync_both
        said+=", second starts <$shown >"
        starts=2
        # The copy holds what the file holds: removing it must not write the file anew, which
        # would only be one more conflict.
        for side in a b; do
            [ "$(bytes "${dir[$side]}/s.Kavelmark")" = "$before" ] ||
                fail "the second start on side $side wrote the file"
        done
    elif [ "$how" = apart ]; then
        fail "two different saves made apart left no conflict copy"
    fi

    step="round $round ($case): after $starts starts on both sides"
    for side in a b; do
        got="$(listing "${dir[$side]}" | paste -sd ' ')"
        [ "$got" = "s.Kavelmark" ] || fail "side $side holds <$got>"
        expect_entries "$side" s.Kavelmark "$secret" "$expected"
    done
    cmp -s "${dir[a]}/s.Kavelmark" "${dir[b]}/s.Kavelmark" || fail "the two sides hold different files"
    echo "$said; one file of <$expected> on both sides after $starts starts"
done

echo "took $((SECONDS - start)) s"
