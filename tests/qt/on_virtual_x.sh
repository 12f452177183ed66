#!/usr/bin/env bash
# Runs a command on an X server of its own, once a window manager owns its screen:
#   on_virtual_x.sh COMMAND...
# Xvfb picks a free display itself, so two runs at once never race for one; only
# holders of a cookie made for this run may use it. The command starts when
# openbox manages the screen and has announced itself on the root window
# (_NET_SUPPORTING_WM_CHECK). Both servers end with the command, whose status this
# returns; a server that ends or does not come up within a minute fails the run.
set -euo pipefail
# shellcheck source=scripts/virtual_x.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/virtual_x.sh"

private="$(mktemp -d "${TMPDIR:-/tmp}/qe-x11.XXXXXX")"
children=()
# shellcheck disable=SC2317 # called by the trap
finish() {
    local pid
    for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$private"
}
trap finish EXIT

fail() {
    echo "on_virtual_x: $1" >&2
    tail -n 20 "$2" >&2
    exit 1
}

virtual_x_start "$private" "$private/xvfb.log" || fail "Xvfb did not start" "$private/xvfb.log"
window_manager_start "$private/openbox.log" ||
    fail "openbox did not take the screen" "$private/openbox.log"

status=0
"$@" || status=$?
exit "$status"
