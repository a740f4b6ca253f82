#!/usr/bin/env bash
# One end-to-end case of kavelmark-file: tool_test.sh TOOL CASE
set -euo pipefail
# shellcheck source=SCRIPTDIR/../../support/tool_case.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../support/tool_case.sh" "$@"

# Runs the tool; sets out, err and rc. A run that does not end counts as a failure.
run() {
    local input="$1"
    shift
    rc=0
    out="$(printf '%s' "$input" | timeout 30 "$tool" "$@" 2>"$work/stderr")" || rc=$?
    err="$(cat "$work/stderr")"
    [ "$rc" != 124 ] || fail "the tool did not end"
}

expect() {
    [ "$1" = "$2" ] || fail "expected <$2>, got <$1>"
}

builtins='"_C__|_FTP_|_User_|_Password (*)_|_Host_|_","_C__|_DFÜ_|_User_|_Password (*)_|_Phone No_|_","_C__|_TELNET_|_User_|_Password (*)_|_Host_|_","_C__|_Web-Site_|_User_|_Password (*)_|_Host_|_","_C__|_PIN/TAN_|_Konto_|_PIN (*)_|_TAN (*)_|_","_C__|_Datenbank_|_User_|_Password (*)_|_Host_|_","_C__|_ Hmm?_|_Key_|_Password (*)_|_Details_|_"'

case "$case" in
round_trip)
    # Every cp1252 character, the five undefined bytes among them, survives write and dump.
    run '{"password": "Pässwort€", "records": ["_C__|_Grüße_|_€ ‚ƒ„…†‡ˆ‰Š‹ŒŽ_|_\u0081\u008d\u008f\u0090\u009d_|_ÿ_|_", "a\u0000b", ""]}' write "$file"
    expect "$rc" 0
    expect "$err" ""
    [ "$(stat -c %a "$file")" = 600 ] || fail "new file mode $(stat -c %a "$file")"
    run $'Pässwort€\n' dump "$file"
    expect "$rc" 0
    expect "$err" ""
    expect "$out" "{\"result\":0,\"version\":\"V0.3\",\"records\":[\"_C__|_Grüße_|_€ ‚ƒ„…†‡ˆ‰Š‹ŒŽ_|_$(printf '\302\201\302\215\302\217\302\220\302\235')_|_ÿ_|_\",\"a\\u0000b\",\"\",$builtins]}"
    # A Windows line end on the password line is not part of the password, nor is what follows it.
    run $'Pässwort€\r\nPässwort€\n' dump "$file"
    expect "$rc" 0
    run $'Pässwort€' dump "$file"
    expect "$rc" 0
    ;;
missing_file)
    run $'pw\n' dump "$file"
    expect "$rc" 1
    expect "$err" ""
    expect "$out" "{\"result\":2,\"version\":null,\"records\":[$builtins]}"
    ;;
wrong_password)
    run '{"password": "richtig", "records": ["x"]}' write "$file"
    expect "$rc" 0
    run $'falsch\n' dump "$file"
    expect "$rc" 1
    expect "$out" '{"result":-1,"version":"V0.3","records":[]}'
    expect "$err" "ERROR: Das Passwort ist falsch!"
    ;;
old_versions)
    printf '\x10\x00\x00\x00Kavelmark V0.1  old data' >"$file"
    run $'pw\n' dump "$file"
    expect "$rc" 0
    expect "$out" "{\"result\":0,\"version\":\"V0.1\",\"records\":[$builtins]}"
    # Only a save replaces it, and dump never saves: it stays, with its backup beside it.
    cmp -s "$file.old_1" "$file" || fail "V0.1 file not backed up to .old_1"
    [ "$(head -c 20 "$file" | tail -c 16)" = 'Kavelmark V0.1  ' ] || fail "the V0.1 file left its path"
    ;;
refused_input)
    run '{"password": "pw", "records": ["中"]}' write "$file"
    expect "$rc" 2
    [ -n "$err" ] || fail "no message for a character outside cp1252"
    run '{"password": "密码", "records": []}' write "$file"
    expect "$rc" 2
    run $'密码\n' dump "$file"
    expect "$rc" 2
    expect "$err" "kavelmark-file: the password holds a character that cp1252 cannot store"
    expect "$out" ""
    run '{"password": "pw", "records": [1]}' write "$file"
    expect "$rc" 2
    run 'not json' write "$file"
    expect "$rc" 2
    [ ! -e "$file" ] || fail "a refused request wrote a file"
    run '' frobnicate "$file"
    expect "$rc" 2
    ;;
damaged_file)
    printf '\x0f\x00\x00\x00Kavelmark V0.3 ' >"$file"
    before="$(od -An -tx1 "$file")"
    run $'pw\n' dump "$file"
    expect "$rc" 1
    expect "$out" "{\"result\":-2,\"version\":null,\"records\":[$builtins]}"
    expect "$err" "Ladefehler: Die Passwortdatei ist beschädigt und wird nicht gelesen:
$file"
    expect "$(od -An -tx1 "$file")" "$before"
    ;;
short_read)
    # The program reads what is there and says nothing; the tool says why the load failed.
    run '{"password": "pw", "records": ["x"]}' write "$file"
    expect "$rc" 0
    truncate -s 50 "$file"
    run $'pw\n' dump "$file"
    expect "$rc" 1
    expect "$out" "{\"result\":-1,\"version\":\"V0.3\",\"records\":[$builtins]}"
    expect "$err" "kavelmark-file: $file ends before its own lengths say: it is damaged or cut short, and only the records before its end could be read"
    # Too short to name a version (0 to 19 bytes): no password file at all.
    for size in 0 4 19; do
        head -c "$size" "$file" >"$file.head"
        run $'pw\n' dump "$file.head"
        expect "$rc" 1
        expect "$err" "kavelmark-file: $file.head is not a password file: it is too short to be one"
    done
    ;;
not_a_file)
    # Neither the tool nor the load may wait for a writer of a FIFO.
    mkfifo "$file"
    run $'pw\n' dump "$file"
    expect "$rc" 1
    expect "$out" "{\"result\":-2,\"version\":null,\"records\":[$builtins]}"
    expect "$err" "Ladefehler: Unter diesem Namen liegt keine gewöhnliche Datei; sie wird nicht gelesen:
$file"
    [ -p "$file" ] || fail "the FIFO was moved"
    ;;
v04)
    # The hardened format: written when asked, kept by later writes and imports, refused as
    # V0.3 refuses a wrong password, and read by dump and export.
    magic() { dd if="$file" bs=1 skip=4 count=16 2>/dev/null; }
    run '{"password": "Pässwort€", "records": ["_C__|_Grüße_|_A_|_B (*)_|_C_|_", "a\u0000b"]}' write --format v0.4 "$file"
    expect "$rc" 0
    expect "$(magic)" "Kavelmark V0.4  "
    expect "$(stat -c %a "$file")" 600
    run $'Pässwort€\n' dump "$file"
    expect "$rc" 0
    expect "$out" "{\"result\":0,\"version\":\"V0.4\",\"records\":[\"_C__|_Grüße_|_A_|_B (*)_|_C_|_\",\"a\\u0000b\",$builtins]}"
    run $'Pässwort\n' dump "$file"
    expect "$rc" 1
    expect "$out" '{"result":-1,"version":"V0.4","records":[]}'
    expect "$err" "ERROR: Das Passwort ist falsch!"
    run '{"password": "pw", "records": ["x"]}' write "$file"
    expect "$rc" 0
    expect "$(magic)" "Kavelmark V0.4  "
    run $'pw\nGroup,Title,Password\nGrüße,web,geheim\n' import --format csv "$file"
    expect "$rc" 0
    expect "$(magic)" "Kavelmark V0.4  "
    run $'pw\n' export --format csv "$file"
    expect "$rc" 0
    case "$out" in *geheim*) ;; *) fail "export of a V0.4 file lacks the imported entry" ;; esac
    run '{"password": "pw", "records": []}' write --format v0.3 "$file"
    expect "$(magic)" "Kavelmark V0.3  "
    # One byte of the body changed: refused whole, the file as it was.
    run '{"password": "pw", "records": ["x"]}' write --format v0.4 "$file"
    printf '\xff' | dd of="$file" bs=1 seek=120 conv=notrunc 2>/dev/null
    before="$(od -An -tx1 "$file")"
    run $'pw\n' dump "$file"
    expect "$rc" 1
    expect "$out" "{\"result\":-2,\"version\":\"V0.4\",\"records\":[$builtins]}"
    expect "$err" "Ladefehler: Die Passwortdatei ist beschädigt und wird nicht gelesen:
$file"
    expect "$(od -An -tx1 "$file")" "$before"
    run '' write --format v0.5 "$file"
    expect "$rc" 2
    ;;
convert)
    magic() { dd if="$file" bs=1 skip=4 count=16 2>/dev/null; }
    run '{"password": "pw", "records": ["_E__|_FTP_|_s_|__|_a_|_b_|_c_|_"]}' write "$file"
    expect "$(magic)" "Kavelmark V0.3  "
    for to in v0.4 v0.3 v0.4; do
        run $'pw\n' convert --to "$to" "$file"
        expect "$rc" 0
        expect "$err" "kavelmark-file: $file is now a ${to^^} file"
        expect "$(magic)" "Kavelmark ${to^^}  "
        run $'pw\n' dump "$file"
        expect "$out" "{\"result\":0,\"version\":\"${to^^}\",\"records\":[\"_E__|_FTP_|_s_|__|_a_|_b_|_c_|_\",$builtins]}"
    done
    expect "$(ls "$work" | grep -v "^stderr$")" "pw.Kavelmark"
    before="$(od -An -tx1 "$file")"
    run $'falsch\n' convert --to v0.3 "$file"
    expect "$rc" 1
    expect "$err" "ERROR: Das Passwort ist falsch!"
    expect "$(od -An -tx1 "$file")" "$before"
    run $'pw\n' convert --to v0.4 "$work/missing"
    expect "$rc" 1
    [ ! -e "$work/missing" ] || fail "convert created a file"
    run $'pw\n' convert --to v0.2 "$file"
    expect "$rc" 2
    ;;
merge)
    # FILE changed a and kept b; OTHER, under another password, holds the other a and adds c.
    a1='"_E__|_FTP_|_a_|__|_1_|__|__|_"'
    a2='"_E__|_FTP_|_a_|__|_2_|__|__|_"'
    b='"_E__|_FTP_|_b_|__|_1_|__|__|_"'
    c='"_E__|_FTP_|_c_|__|_1_|__|__|_"'
    other="$work/pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark"
    run "{\"password\": \"eins\", \"records\": [$builtins,$a1,$b]}" write "$file"
    run "{\"password\": \"zwei\", \"records\": [$a2,$b,$c]}" write --format v0.4 "$other"
    before="$(od -An -tx1 "$file")"
    for refused in $'eins\neins\n' $'eins\n' $'falsch\nzwei\n'; do
        run "$refused" merge "$file" "$other"
        expect "$rc" 1
        expect "$(od -An -tx1 "$file")" "$before"
    done
    printf '\x10\x00\x00\x00Kavelmark V0.1  old data' >"$work/old"
    head -c 300 "$other" >"$work/cut"
    head -c 50 "$file" >"$work/short" # a V0.3 file that ends inside its header
    for refused in "$work/old" "$work/cut" "$work/short" "$work/missing"; do
        run $'eins\n\n' merge "$file" "$refused"
        expect "$rc" 1
        expect "$(od -An -tx1 "$file")" "$before"
    done
    [ -e "$work/old" ] || fail "the older file was moved"
    run $'eins\nzwei\n' merge "$file" "$other"
    expect "$rc" 0
    expect "$out" "merged: 2 from $other, 0 deleted there, 1 twice"
    run $'eins\n' dump "$file"
    expect "$out" "{\"result\":0,\"version\":\"V0.3\",\"records\":[$builtins,$a1,$a2,$b,$c]}"
    [ -e "$other" ] || fail "the merged file was removed"
    # Merging again changes nothing: every record is there already.
    run $'eins\nzwei\n' merge "$file" "$other"
    expect "$out" "merged: 0 from $other, 0 deleted there, 0 twice"
    ;;
no_core)
    # A crash must leave no core file with the secrets: abort a dump that waits for its
    # password. The core pattern is the system's; an ordinary process aborted the same way
    # shows whether cores land in the working folder here at all.
    ulimit -c unlimited
    mkdir "$work/control" "$work/tool"
    (cd "$work/control" && exec sleep 60) &
    control=$!
    sleep 0.2
    kill -ABRT "$control"
    wait "$control" || true
    cores_land_here=no
    if [ -n "$(ls "$work/control")" ]; then
        cores_land_here=yes
    fi
    mkfifo "$work/password"
    exec 3<>"$work/password" # held open: the dump waits for a line that never comes
    (cd "$work/tool" && exec "$tool" dump "$file" <"$work/password" >/dev/null 2>&1) &
    pid=$!
    limit=""
    for _ in $(seq 100); do
        limit="$(awk '/^Max core file size/ {print $5 " " $6}' "/proc/$pid/limits" 2>/dev/null || true)"
        if [ "$limit" = "0 0" ]; then
            break
        fi
        sleep 0.05
    done
    sleep 0.2
    kill -ABRT "$pid"
    wait "$pid" || true
    exec 3>&-
    expect "$limit" "0 0"
    expect "$(ls "$work/tool")" ""
    echo "cores land in the working folder: $cores_land_here"
    ;;
*)
    fail "unknown case"
    ;;
esac
