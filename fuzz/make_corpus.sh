#!/usr/bin/env bash
# Writes the seed corpus of the fuzz targets with the program's own tool and, for the V0.4
# seed, the fuzz build's v04_seed (build both first; scripts/fuzz builds build-fuzz):
#   bash fuzz/make_corpus.sh build/src/kavelmark-file build-fuzz/v04_seed
# reader seeds are plain files read with "Kennwort"; reader_password seeds are the password,
# a line end, then the file. V0.2 files, which the program no longer writes, come from
# python3 with the old scrambling.
set -euo pipefail
tool="$(realpath "$1")"
v04_seed="$(realpath "$2")"
cd "$(dirname "$0")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
rm -rf corpus
mkdir -p corpus/reader corpus/reader_password

write() { # NAME PASSWORD RECORDS-JSON
    printf '{"password": "%s", "records": %s}' "$2" "$3" | "$tool" write "$work/$1"
}
write empty Kennwort '[]'
write entries Kennwort '["_C__|_FTP_|_User_|_Password (*)_|_Host_|_", "_E__|_FTP_|_server_|_$1 $3_|_anna_|_s3cr€t_|_ftp.example.org_|_", "", "_C__|_ Hmm?_|_Key_|_Password (*)_|_Details_|_"]'
write other-password anders '["_E__|_Web-Site_|_konto_|__|_x_|_y_|_z_|_"]'
write long-password 'ein Kennwort mit mehr als zweiunddreißig Zeichen' '["_E__|_PIN/TAN_|_bank_|__|_1234_|_5678_|_"]'
write cp1252-password 'Pässwort€' '["Grüße"]'
printf '\020\000\000\000Kavelmark V0.1  old data' >"$work/v01"
"$v04_seed" "$work/v04"
python3 - "$work/v02" <<'PY'
import struct, sys
password, records = b"Kennwort", [b"_C__|_FTP_|_User_|_Password (*)_|_Host_|_", b"_E__|_FTP_|_a_|__|_b_|_c_|_d_|_"]
seed = 42 + sum((i * (c - 256 if c > 127 else c)) & 0xFFFFFFFF for i, c in enumerate(password, 1))
a, b = 1, seed
def scramble(data):
    global a, b
    out = bytearray()
    for byte in data:
        out.append(byte ^ ((a % 256) * (b % 256) % 256))
        a, b = a + 1, b + 1
    return bytes(out)
tag = "4t8x\xe4p.\xf6*k7(]%-?".encode("latin-1")
body = struct.pack("<I", 16) + b"Kavelmark V0.2  " + struct.pack("<I", len(tag)) + scramble(tag)
body += struct.pack("<I", len(records))
for record in records:
    body += struct.pack("<I", len(record)) + scramble(record)
open(sys.argv[1], "wb").write(body)
PY

for name in empty entries other-password v01 v02 v04; do
    cp "$work/$name" "corpus/reader/$name"
    { printf 'Kennwort\n'; cat "$work/$name"; } >"corpus/reader_password/$name"
done
{ printf 'ein Kennwort mit mehr als zweiunddrei\337ig Zeichen\n'; cat "$work/long-password"; } >corpus/reader_password/long-password
{ printf 'P\344sswort\200\n'; cat "$work/cp1252-password"; } >corpus/reader_password/cp1252-password
