#!/usr/bin/env bash
# Runs a command on an X server of its own, once a window manager owns its screen:
#   on_virtual_x.sh COMMAND...
# Xvfb picks a free display itself and says which (-displayfd), so two runs at once
# never race for one; only holders of a cookie made for this run may use it. The
# command starts when openbox has announced itself on the root window
# (_NET_SUPPORTING_WM_CHECK). Both servers end with the command, whose status this
# returns; a server that does not come up within a minute fails the run.
set -euo pipefail

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

# Polls a condition until it holds; false when the process pid has ended or a
# minute has passed.
wait_for() {
    local pid="$1" deadline=$((SECONDS + 60))
    shift
    until "$@"; do
        if ! kill -0 "$pid" 2>/dev/null || ((SECONDS >= deadline)); then return 1; fi
        sleep 0.05
    done
}

fail() {
    echo "on_virtual_x: $1" >&2
    tail -n 20 "$2" >&2
    exit 1
}

export XAUTHORITY="$private/Xauthority"
cookie="$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
: >"$XAUTHORITY"
xauth -q add :0 . "$cookie"
# -noreset: the server would reset when its last client leaves, and refuse the
# clients that come meanwhile.
Xvfb -displayfd 3 -auth "$XAUTHORITY" -nolisten tcp -noreset -screen 0 1024x768x24 \
    3>"$private/display" >"$private/xvfb.log" 2>&1 &
children+=($!)
wait_for "${children[-1]}" test -s "$private/display" ||
    fail "Xvfb did not start" "$private/xvfb.log"
DISPLAY=":$(head -n 1 "$private/display")"
export DISPLAY
xauth -q add "$DISPLAY" . "$cookie"

# shellcheck disable=SC2317 # called by wait_for
server_answers() { xprop -root >/dev/null 2>&1; }
wait_for "${children[-1]}" server_answers || fail "Xvfb does not answer" "$private/xvfb.log"

# shellcheck disable=SC2317 # called by wait_for
wm_owns_screen() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
openbox --sm-disable >"$private/openbox.log" 2>&1 &
children+=($!)
wait_for "${children[-1]}" wm_owns_screen || fail "openbox did not take the screen" "$private/openbox.log"

status=0
"$@" || status=$?
exit "$status"
