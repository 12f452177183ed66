#!/usr/bin/env bash
# The bash completion of quenbyconf, as bash-completion runs it: each row is what
# is typed after "quenbyconf" up to the cursor, and a word the completion must
# offer there ("" when it must offer nothing).
# Usage: completion_test.sh BASH_COMPLETION COMPLETION QUENBYCONF
set -uo pipefail
# shellcheck source=/dev/null
source "$1" || exit 1
# shellcheck source=data/quenbyconf.bash-completion
source "$2" || exit 1
# shellcheck disable=SC2317 # called by the completion
compopt() { :; } # a completion's options need a real completion
program=$3
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
cd "$dir" && touch client.ini || exit 1

rows=(
    "|schema"
    "ge|get"
    "--js|--json"
    "--wait 5 ch|check"
    "set cl|client.ini"
    "get client.ini networking.nett|networking.nettimeout"
    "diff client.ini networking.nett|networking.nettimeout="
    "--wait |"
)
failed=0
for row in "${rows[@]}"; do
    typed=${row%|*} expected=${row##*|}
    COMP_LINE="$program $typed" COMP_POINT=${#COMP_LINE}
    read -ra COMP_WORDS <<<"$COMP_LINE"
    [[ -z $typed || $typed == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMPREPLY=()
    _quenbyconf "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    if [[ -z $expected && ${#COMPREPLY[@]} -ne 0 ]] ||
        [[ -n $expected && " ${COMPREPLY[*]-} " != *" $expected "* ]]; then
        echo "quenbyconf $typed<TAB>: offered '${COMPREPLY[*]-}', expected '$expected'"
        failed=1
    fi
done
exit "$failed"
