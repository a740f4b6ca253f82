#!/usr/bin/env bash
# Times `kavelmark-file dump` of 100,000 entries beside `keepassxc-cli export -f csv` of the
# same entries, and prints both medians of 5 runs and their ratio. Run by hand, never from CTest.
#   bench/dump_vs_peer.sh [KAVELMARK_FILE [OTHER_KAVELMARK_FILE]]
# KAVELMARK_FILE defaults to build/src/kavelmark-file; OTHER_KAVELMARK_FILE, say an older
# build, is timed on the same file as well.
set -euo pipefail
cd "$(dirname "$0")/.."
tool="$(realpath "${1:-build/src/kavelmark-file}")"
other="${2:+$(realpath "$2")}"
entries=100000
runs=5
password='Bench-Kennwort 2026'

command -v keepassxc-cli >/dev/null || {
    echo "bench/dump_vs_peer.sh: keepassxc-cli is missing (bash scripts/install-deps --test installs it)" >&2
    exit 1
}
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" QT_QPA_PLATFORM=offscreen
file="$work/bench.Kavelmark"
kdbx="$work/bench.kdbx"

# Entries shaped like those of bench/BenchSupport.h's web-site store.
echo "writing $entries entries with kavelmark-file ..."
{
    printf '{"password": "%s", "records": ["_C__|_Web-Site_|_User_|_Password (*)_|_Host_|_"' "$password"
    awk -v n="$entries" 'BEGIN {
        for (i = 0; i < n; i++)
            printf ",\"_E__|_Web-Site_|_Konto %d bei $3_|_Zugang Nummer %d_|_benutzer%d_|_Kennwort-%d-xY7#_|_www.beispiel-%d.de_|_\"", i, i, i, i, i
    }'
    printf ']}'
} | "$tool" write "$file"

# The same entries through the peer's own import of our KeePass XML export. 100 ms is the
# lowest key derivation time keepassxc-cli accepts: the least its open costs.
echo "importing them into keepassxc-cli with the minimum key derivation (-t 100) ..."
printf '%s\n' "$password" | "$tool" export --format keepass-xml "$file" >"$work/entries.xml" 2>/dev/null
printf '%s\n%s\n' "$password" "$password" |
    keepassxc-cli import -q -p -t 100 "$work/entries.xml" "$kdbx" >/dev/null 2>"$work/err" || {
    cat "$work/err" >&2
    exit 1
}
rm "$work/entries.xml"
kdf="$(printf '%s\n' "$password" | keepassxc-cli db-info -q "$kdbx" | sed -n 's/^KDF: //p')"

# The outputs hold every entry: one JSON record each (and the category), one CSV row each (and the header).
dumped="$(printf '%s\n' "$password" | "$tool" dump "$file" | grep -o '"_E__' | wc -l)"
exported="$(printf '%s\n' "$password" | keepassxc-cli export -q -f csv "$kdbx" | grep -c 'Kennwort-')"
if [ "$dumped" != "$entries" ] || [ "$exported" != "$entries" ]; then
    echo "bench/dump_vs_peer.sh: expected $entries entries, dump gave $dumped, the peer's export $exported" >&2
    exit 1
fi

kavelmark_run="printf '%s\\n' '$password' | '$tool' dump '$file' >/dev/null"
peer_run="printf '%s\\n' '$password' | keepassxc-cli export -q -f csv '$kdbx' >/dev/null"
other_run="printf '%s\\n' '$password' | '$other' dump '$file' >/dev/null"

# Median wall time of a shell command in milliseconds.
median_ms() {
    if command -v hyperfine >/dev/null; then
        hyperfine --style none --warmup 1 --runs "$runs" --export-csv "$work/times.csv" "$1" >/dev/null
        awk -F, 'NR == 2 { printf "%.1f\n", $4 * 1000 }' "$work/times.csv"
        return
    fi
    local times=() start
    bash -c "$1" # warm-up
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        bash -c "$1"
        times+=($((($(date +%s%N) - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk -v middle=$(((runs + 1) / 2)) 'NR == middle { printf "%.1f\n", $1 / 1000 }'
}

timer="$(command -v hyperfine >/dev/null && echo hyperfine || echo "date +%s%N")"
echo "median of $runs runs ($timer), $entries entries, peer KDF: $kdf"
kavelmark_ms="$(median_ms "$kavelmark_run")"
peer_ms="$(median_ms "$peer_run")"
printf '  kavelmark-file dump          %10.1f ms\n' "$kavelmark_ms"
printf '  keepassxc-cli export -f csv  %10.1f ms\n' "$peer_ms"
awk -v a="$kavelmark_ms" -v b="$peer_ms" \
    'BEGIN { printf "  dump / peer export           %10.3f   (the peer takes %.1f times as long)\n", a / b, b / a }'
if [ -n "$other" ]; then
    other_ms="$(median_ms "$other_run")"
    printf '  the other kavelmark-file dump %9.1f ms   (%s)\n' "$other_ms" "$other"
    awk -v a="$kavelmark_ms" -v b="$other_ms" 'BEGIN { printf "  dump / the other dump        %10.3f\n", a / b }'
fi
