# shellcheck shell=bash
# Sourced by the sync engine's tests, with tool set to kavelmark-file: two Syncthing instances on
# this computer, each with its own folder, connected only over 127.0.0.1, and what the tests do
# with them. Skips (77) when syncthing is missing; every process it starts ends at exit.
: "${tool:?the path of kavelmark-file}"
if ! command -v syncthing >/dev/null; then
    echo "SKIP: syncthing is not installed (bash scripts/install-deps --test installs it)"
    exit 77
fi
for command in curl jq; do
    command -v "$command" >/dev/null || {
        echo "FAIL: $command is missing (bash scripts/install-deps --test installs it)" >&2
        exit 1
    }
done

# Generous for a loaded two-core machine; every wait polls and ends by this bound.
readonly wait_limit=40
readonly folder_id=kavelmark

work="$(mktemp -d)"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.2
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

step="set-up"
fail() {
    echo "FAIL ($step): $*" >&2
    local side
    for side in a b; do
        if [ -f "$work/$side.log" ]; then
            echo "--- last lines of the engine's log on side $side:" >&2
            tail -n 15 "$work/$side.log" >&2
        fi
        if [ -d "$work/$side/data" ]; then
            echo "--- folder on side $side:" >&2
            ls -la "$work/$side/data" >&2
        fi
    done
    exit 1
}

# Waits until the command succeeds; polled, bounded.
wait_for() {
    local what="$1"
    shift
    local deadline=$((SECONDS + wait_limit))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "gave up waiting: $what"
        sleep 0.2
    done
}

# A port nobody listens on and not yet handed out here: sets port.
handed_out=" "
free_port() {
    for _ in $(seq 200); do
        port=$((20000 + RANDOM % 40000))
        case "$handed_out" in *" $port "*) continue ;; esac
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            handed_out+="$port "
            return 0
        fi
    done
    fail "no free port found"
}

declare -A id key gui listen dir
for side in a b; do
    home="$work/$side"
    dir[$side]="$home/data"
    mkdir -p "${dir[$side]}/.stfolder"
    syncthing generate --home="$home/config" --no-default-folder >"$work/$side.log" 2>&1 ||
        fail "syncthing generate failed on side $side"
    config="$home/config/config.xml"
    id[$side]="$(sed -n 's/.*<device id="\([A-Z0-9-]*\)".*/\1/p' "$config" | head -n 1)"
    key[$side]="$(sed -n 's/.*<apikey>\(.*\)<\/apikey>.*/\1/p' "$config")"
    if [ -z "${id[$side]}" ] || [ -z "${key[$side]}" ]; then
        fail "no device id or API key in $config"
    fi
    free_port
    gui[$side]=$port
    free_port
    listen[$side]=$port
done

# Only the two devices, only over loopback: nothing is announced, looked up, relayed, mapped,
# reported or upgraded. The folder is watched and rescanned often; the test also asks for scans.
write_config() {
    local side="$1" peer="$2"
    local config="$work/$side/config/config.xml"
    local version
    version="$(sed -n 's/.*<configuration version="\([0-9]*\)".*/\1/p' "$config")"
    cat >"$config" <<EOF
<configuration version="$version">
    <folder id="$folder_id" label="$folder_id" path="${dir[$side]}" type="sendreceive" rescanIntervalS="10" fsWatcherEnabled="true" fsWatcherDelayS="1" ignorePerms="false" autoNormalize="true">
        <filesystemType>basic</filesystemType>
        <device id="${id[$side]}" introducedBy=""></device>
        <device id="${id[$peer]}" introducedBy=""></device>
        <minDiskFree unit="%">0</minDiskFree>
        <maxConflicts>10</maxConflicts>
    </folder>
    <device id="${id[$side]}" name="$side" compression="metadata" introducer="false">
        <address>dynamic</address>
    </device>
    <device id="${id[$peer]}" name="$peer" compression="metadata" introducer="false">
        <address>tcp://127.0.0.1:${listen[$peer]}</address>
    </device>
    <gui enabled="true" tls="false" debugging="false">
        <address>127.0.0.1:${gui[$side]}</address>
        <apikey>${key[$side]}</apikey>
    </gui>
    <options>
        <listenAddress>tcp://127.0.0.1:${listen[$side]}</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <announceLANAddresses>false</announceLANAddresses>
        <startBrowser>false</startBrowser>
        <urAccepted>-1</urAccepted>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <crashReportingEnabled>false</crashReportingEnabled>
        <reconnectionIntervalS>1</reconnectionIntervalS>
        <minHomeDiskFree unit="%">0</minHomeDiskFree>
    </options>
</configuration>
EOF
}
write_config a b
write_config b a

api() {
    local side="$1" method="$2" path="$3"
    curl -fsS --max-time 20 -X "$method" -H "X-API-Key: ${key[$side]}" "http://127.0.0.1:${gui[$side]}$path"
}
peer_of() { if [ "$1" = a ]; then echo b; else echo a; fi; }

for side in a b; do
    HOME="$work/$side" STNODEFAULTFOLDER=1 STNORESTART=1 STNOUPGRADE=1 \
        syncthing serve --home="$work/$side/config" --no-browser --no-restart --no-upgrade \
        --logflags=0 >>"$work/$side.log" 2>&1 &
    pids+=($!)
done

answers() { api "$1" GET /rest/system/ping >/dev/null 2>&1; }
connected() {
    api "$1" GET /rest/system/connections 2>/dev/null |
        jq -e --arg peer "${id[$(peer_of "$1")]}" '.connections[$peer].connected == true' >/dev/null
}
disconnected() {
    api "$1" GET /rest/system/connections 2>/dev/null |
        jq -e --arg peer "${id[$(peer_of "$1")]}" '.connections[$peer].connected == false' >/dev/null
}
for side in a b; do
    wait_for "the engine on side $side answers" answers "$side"
done
for side in a b; do
    wait_for "side $side is connected" connected "$side"
done

# The regular files of a folder, apart from the engine's own.
listing() {
    (cd "$1" && find . -maxdepth 1 -type f ! -name '.syncthing.*' -printf '%f\n' | sort)
}
# Both engines are idle with nothing to fetch, each knows the other complete, and both
# folders hold the same files with the same bytes.
settled() {
    local side
    for side in a b; do
        api "$side" GET "/rest/db/status?folder=$folder_id" 2>/dev/null |
            jq -e '.state == "idle" and .needFiles == 0 and .needDeletes == 0 and .pullErrors == 0' >/dev/null ||
            return 1
        api "$side" GET "/rest/db/completion?folder=$folder_id&device=${id[$(peer_of "$side")]}" 2>/dev/null |
            jq -e '.completion == 100 and .needItems == 0' >/dev/null || return 1
    done
    [ "$(listing "${dir[a]}")" = "$(listing "${dir[b]}")" ] || return 1
    local name
    while read -r name; do
        cmp -s "${dir[a]}/$name" "${dir[b]}/$name" || return 1
    done < <(listing "${dir[a]}")
}
scan() { api "$1" POST "/rest/db/scan?folder=$folder_id" >/dev/null; }
sync_both() {
    scan a
    scan b
    wait_for "both folders are the same" settled
}

# A tool run that does not end counts as a failure.
tool_run() {
    timeout 30 "$tool" "$@"
}
# Prints the dump of a file as JSON; fails the test if the password does not open it.
dump() {
    local file="$1" password="$2"
    printf '%s\n' "$password" | tool_run dump "$file" || fail "dump of $file with $password failed"
}
opens() {
    printf '%s\n' "$2" | tool_run dump "$1" >/dev/null 2>&1
}
# Adds an entry the way a user's edit does: load, one record more, save.
add_entry() {
    local file="$1" password="$2" name="$3" new_password="${4:-$2}"
    dump "$file" "$password" |
        jq -c --arg password "$new_password" --arg record "_E__|_Web-Site_|_${name}_|_von Hand_|_nutzer_|_geheim_|_example.org_|_" \
            '{password: $password, records: (.records + [$record])}' |
        tool_run write "$file" || fail "write of $file failed"
}
new_file() {
    local file="$1" password="$2" name="$3"
    jq -cn --arg password "$password" --arg record "_E__|_Web-Site_|_${name}_|_von Hand_|_nutzer_|_geheim_|_example.org_|_" \
        '{password: $password, records: [$record]}' | tool_run write "$file" || fail "write of $file failed"
}
# The names of the entries, sorted, on one line.
entries() {
    dump "$1" "$2" | jq -r '[.records[] | select(startswith("_E__|_")) | split("_|_")[2]] | sort | join(" ")'
}
expect_entries() {
    local side="$1" name="$2" password="$3" expected="$4" got
    got="$(entries "${dir[$side]}/$name" "$password")"
    [ "$got" = "$expected" ] || fail "side $side, $name: expected entries <$expected>, got <$got>"
}
conflict_copies() {
    local side="$1" stem="$2"
    (cd "${dir[$side]}" && find . -maxdepth 1 -type f -name "$stem.sync-conflict-*.Kavelmark" -printf '%f\n' | sort)
}
some_conflict_copy() {
    [ -n "$(conflict_copies a "$1")$(conflict_copies b "$1")" ]
}
pause_both() {
    api a POST /rest/system/pause >/dev/null
    api b POST /rest/system/pause >/dev/null
    wait_for "side a is cut off" disconnected a
    wait_for "side b is cut off" disconnected b
}
resume_both() {
    api a POST /rest/system/resume >/dev/null
    api b POST /rest/system/resume >/dev/null
    wait_for "side a is connected again" connected a
    wait_for "side b is connected again" connected b
}

# Both sides save while they cannot see each other; the engine then keeps the newer version under
# the name and the other as a conflict copy, which it carries to both sides. Sets copy_side (a
# side where the copy appeared first) and copy (its name). The entries added are named Von-SIDE,
# with the tag after it when one is given.
edit_apart() {
    local name="$1" first="$2" second="$3" password="$4" second_new_password="$5" tag="${6:-}"
    pause_both
    add_entry "${dir[$first]}/$name.Kavelmark" "$password" "Von-$first$tag"
    add_entry "${dir[$second]}/$name.Kavelmark" "$password" "Von-$second$tag" "$second_new_password"
    scan a
    scan b
    resume_both
    wait_for "a conflict copy of $name.Kavelmark" some_conflict_copy "$name"
    copy_side=a
    [ -n "$(conflict_copies a "$name")" ] || copy_side=b
    local seen="$copy_side"
    [ -z "$(conflict_copies a "$name")" ] || [ -z "$(conflict_copies b "$name")" ] || seen="a and b"
    sync_both
    # Both sides may keep the losing version, each under its own name: it is one version still.
    local copies
    copies="$(conflict_copies "$copy_side" "$name")"
    copy="$(head -n 1 <<<"$copies")"
    while read -r other; do
        cmp -s "${dir[$copy_side]}/$copy" "${dir[$copy_side]}/$other" ||
            fail "conflict copies with different contents: $copies"
    done <<<"$copies"
    echo "$name: conflict copies <$(tr '\n' ' ' <<<"$copies")> first seen on side $seen" \
        "(a is ${id[a]:0:7}, b is ${id[b]:0:7}; $first saved first)"
}
