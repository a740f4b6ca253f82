#!/usr/bin/env bash
# A password file in a folder that a real sync engine (Syncthing) keeps equal on two devices,
# both on this computer and connected only over 127.0.0.1. Edits on both sides must end in one
# file holding every entry, also when the engine meets two edits made apart and keeps one of
# them as a conflict copy that kavelmark-file merge then takes in.
#   sync_engine_test.sh TOOL
set -euo pipefail
tool="$1"
source "$(dirname "${BASH_SOURCE[0]}")/sync_folder.sh"

start=$SECONDS

step="a: edits one after the other"
new_file "${dir[a]}/a.Kavelmark" pw Anna
sync_both
expect_entries b a.Kavelmark pw "Anna"
add_entry "${dir[b]}/a.Kavelmark" pw Bert
sync_both
for side in a b; do
    expect_entries "$side" a.Kavelmark pw "Anna Bert"
done
echo "a: mode on side a $(stat -c %a "${dir[a]}/a.Kavelmark"), on side b $(stat -c %a "${dir[b]}/a.Kavelmark")"
[ -z "$(conflict_copies a a)$(conflict_copies b a)" ] || fail "edits one after the other made a conflict copy"

# Merges the copy into the file on the side that has both and lets the engine carry the result.
# Each side added one entry of its own name: one comes from the copy, none twice. The merged
# file is newer than anything the other side holds, so no further conflict copy may appear.
merge() {
    local file="$1" other="$2" input="$3" out before
    before="$(listing "${dir[a]}")"
    out="$(printf '%s' "$input" | tool_run merge "$file" "$other")" || fail "merge of $other into $file failed"
    [ "$out" = "merged: 1 from $other, 0 deleted there, 0 twice" ] || fail "merge said <$out>"
    [ -f "$other" ] || fail "the merge removed $other"
    sync_both
    local after
    after="$(listing "${dir[a]}")"
    [ "$after" = "$before" ] || fail "the merge turned the folder's files <${before//$'\n'/ }> into <${after//$'\n'/ }>"
}

step="b: edits made apart, one password"
new_file "${dir[a]}/b.Kavelmark" pw Basis
sync_both
edit_apart b a b pw pw
merge "${dir[$copy_side]}/b.Kavelmark" "${dir[$copy_side]}/$copy" $'pw\n'
for side in a b; do
    expect_entries "$side" b.Kavelmark pw "Basis Von-a Von-b"
done

step="c: edits made apart, side a also changes the password"
new_file "${dir[a]}/c.Kavelmark" alt Basis
sync_both
# Side a saves last here, so its version (with the new password) is expected to win.
edit_apart c b a alt neu
file="${dir[$copy_side]}/c.Kavelmark"
other="${dir[$copy_side]}/$copy"
file_password=alt
other_password=neu
if ! opens "$file" alt; then
    file_password=neu
    other_password=alt
fi
opens "$other" "$other_password" || fail "the conflict copy opens with neither password"
# The file's password alone does not open the copy: nothing is written.
before="$(od -An -tx1 "$file")"
rc=0
printf '%s\n' "$file_password" | tool_run merge "$file" "$other" >/dev/null 2>&1 || rc=$?
[ "$rc" = 1 ] || fail "merge with the wrong password for the copy ended with $rc"
[ "$(od -An -tx1 "$file")" = "$before" ] || fail "a refused merge changed the file"
merge "$file" "$other" "$file_password"$'\n'"$other_password"$'\n'
for side in a b; do
    expect_entries "$side" c.Kavelmark "$file_password" "Basis Von-a Von-b"
done

step="end"
# Nothing but the password files and the engine's conflict copies reached the other side: no
# temporary file of a save, no lock.
while read -r name; do
    [[ "$name" =~ ^[abc]\.Kavelmark$ ]] ||
        [[ "$name" =~ ^[bc]\.sync-conflict-[0-9]{8}-[0-9]{6}-(${id[a]:0:7}|${id[b]:0:7})\.Kavelmark$ ]] ||
        fail "unexpected file $name"
done < <(listing "${dir[a]}")

echo "took $((SECONDS - start)) s"
