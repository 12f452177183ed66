#!/usr/bin/env bash
# Installs what is missing, builds the editor (Release, build/) and starts it.
# With a display: the window. Without one, on a terminal: the editor in the
# terminal (quenbyconf edit). Otherwise, or with --vnc: a virtual display (Xvfb,
# with a window manager when openbox is installed) served over VNC on 127.0.0.1
# only, behind a password made for this start. The editor, and everything started
# for it, stops with Ctrl-C.
#   scripts/start.sh [--vnc]
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"
# shellcheck source=scripts/virtual_x.sh
source "$(dirname "$0")/virtual_x.sh"
begin "$0" "$@"
cd "$repo_root"

vnc=""
case "${1:-}" in
--vnc) vnc=1 ;;
"") ;;
*)
    echo "usage: scripts/start.sh [--vnc]" >&2
    exit 2
    ;;
esac

if [[ -z $vnc && -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -t 0 && -t 1 ]]; then
    echo "start: building the editor for the terminal"
    if ! main_build --target quenbyconf; then
        echo "start: FAILED: quenbyconf did not build (log: ${failed_log#"$repo_root"/})" >&2
        exit 1
    fi
    echo "start: no display: the editor in this terminal (scripts/start.sh --vnc for the window over VNC)"
    exec "$repo_root/build/src/cli/quenbyconf" edit
fi

echo "start: building the editor"
if ! main_build --target quenbyeditor; then
    echo "start: FAILED: the editor did not build (log: ${failed_log#"$repo_root"/})" >&2
    exit 1
fi
editor="$repo_root/build/src/app/quenbyeditor"

# Everything started here, ended on exit; a private folder (mode 0700) for the X
# cookie, the VNC password, and the editor's runtime files when the session has no
# runtime folder (sudo and su drop XDG_RUNTIME_DIR).
children=()
private="$(mktemp -d "${TMPDIR:-/tmp}/quenbyeditor.XXXXXX")"
# Whether a process still runs (a child that ended stays a zombie until waited for;
# one that ends meanwhile takes its /proc entry along).
# shellcheck disable=SC2317 # called by the trap
alive() {
    local state
    state="$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null)" && [[ $state != Z* ]]
}
# shellcheck disable=SC2317 # called by the trap
finish() {
    # A second Ctrl-C must not cut this short and leave a server behind.
    trap '' INT TERM HUP
    local pid left
    for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
    for _ in $(seq 30); do
        left=""
        for pid in "${children[@]}"; do alive "$pid" && left=1; done
        [[ -n $left ]] || break
        sleep 0.1
    done
    for pid in "${children[@]}"; do
        if alive "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
    done
    wait 2>/dev/null || true
    rm -rf "$private"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
if [[ -z ${XDG_RUNTIME_DIR:-} || ! -d $XDG_RUNTIME_DIR || ! -O $XDG_RUNTIME_DIR ]]; then
    export XDG_RUNTIME_DIR="$private"
fi

# Runs the editor until it closes; a signal to this script ends it too.
run_editor() {
    echo "start: starting the editor"
    "$editor" &
    children+=($!)
    local status=0
    wait "${children[-1]}" || status=$?
    exit "$status"
}

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
    run_editor
fi

# No display: a virtual X display that only holders of its cookie may use, and a
# VNC server for it on the loopback address, with a fresh password. (Qt's own VNC
# platform of Qt 6.4 listens on every address, without a password, so it is not
# used.)
echo "start: no display (DISPLAY is not set): starting a virtual one served over VNC"
if ! virtual_x_start "$private" build/xvfb.log; then
    tail -n 5 build/xvfb.log
    echo "start: FAILED: no virtual display could be started, none free? (log: build/xvfb.log)" >&2
    exit 1
fi
if command -v openbox >/dev/null && ! window_manager_start build/openbox.log; then
    echo "start: the window manager did not start, the editor runs without one (log: build/openbox.log)"
fi

password="$(head -c 48 /dev/urandom | base64 | tr -dc 'A-Za-z0-9')"
password="${password:0:8}" # VNC passwords have 8 characters
(umask 077 && printf '%s\n' "$password" >"$private/vnc-password")
# x11vnc says the port it took on its standard output ("PORT=5900").
exec {vnc_out}< <(exec x11vnc -display "$DISPLAY" -localhost -noipv6 \
    -passwdfile "$private/vnc-password" -forever -shared -quiet 2>build/x11vnc.log)
children+=($!)
port=""
while [[ -z $port ]] && read -r -t 60 -u "$vnc_out" line; do
    [[ $line == PORT=* ]] && port="${line#PORT=}"
done
if [[ -z $port ]]; then
    tail -n 5 build/x11vnc.log
    echo "start: FAILED: the VNC server did not start, no free port from 5900? (log: build/x11vnc.log)" >&2
    exit 1
fi

echo "start: the editor is on VNC at 127.0.0.1:$port, password $password (for this start only)."
echo "start: connect with a VNC viewer on this machine, or from another through an SSH" \
    "tunnel: ssh -L $port:127.0.0.1:$port HOST, then view 127.0.0.1:$port there."
run_editor
