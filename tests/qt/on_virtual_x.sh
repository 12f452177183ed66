#!/usr/bin/env bash
# Runs a command on an X server of its own, once a window manager owns its screen:
#   on_virtual_x.sh COMMAND...
# Xvfb picks a free display itself and says which (-displayfd), so two runs at once
# never race for one; only holders of a cookie made for this run may use it. The
# command starts when openbox says it manages the screen (its --startup command) and
# has announced itself on the root window (_NET_SUPPORTING_WM_CHECK). Both servers
# end with the command, whose status this returns; a server that ends or does not
# come up within a minute fails the run.
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
# The server's standard output is a pipe read here: it writes the display number
# there once it takes connections, and the pipe ends if the server dies first.
exec {xvfb_out}< <(exec Xvfb -displayfd 1 -auth "$XAUTHORITY" -nolisten tcp -noreset \
    -screen 0 1024x768x24 2>"$private/xvfb.log")
children+=($!)
read -r -t 60 -u "$xvfb_out" display || fail "Xvfb did not start" "$private/xvfb.log"
DISPLAY=":$display"
export DISPLAY
xauth -q add "$DISPLAY" . "$cookie"

# openbox runs its --startup command, whose output is openbox's, once it manages
# the screen.
exec {openbox_out}< <(exec openbox --sm-disable --startup "echo openbox-ready" \
    2>"$private/openbox.log")
children+=($!)
ready=""
while [[ $ready != openbox-ready ]]; do
    read -r -t 60 -u "$openbox_out" ready || fail "openbox did not start" "$private/openbox.log"
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
    fail "openbox did not take the screen" "$private/openbox.log"

status=0
"$@" || status=$?
exit "$status"
