# Set-up shared by the shell cases of kavelmark-file, which are run as SCRIPT TOOL CASE.
# Source it with the script's arguments:
#   . "$(dirname "${BASH_SOURCE[0]}")/../../support/tool_case.sh" "$@"
# It sets tool and case, makes work, a temporary folder removed when the script exits, names
# file, a password file in it, and defines fail.
# shellcheck disable=SC2034 # the sourcing script uses them
tool="$1"
case="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
file="$work/pw.Kavelmark"

fail() {
    echo "FAIL ($case): $*" >&2
    exit 1
}
