#!/usr/bin/env bash
# Installs what is missing, builds the editor (Release, build/) and starts it. With
# no display, it starts a virtual one and serves it over VNC on 127.0.0.1 only.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"
cd "$repo_root"

bash "$repo_root/scripts/setup.sh"
as_invoker mkdir -p build
echo "start: building the editor"
quietly build/configure.log configure_main_build
quietly build/build.log as_invoker cmake --build build -j "$build_jobs" --target quenbyeditor
editor="$repo_root/build/src/app/quenbyeditor"

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
    as_invoker "$editor"
    exit
fi

# No display: a virtual X display, and a VNC server for it that listens on the
# loopback address only. (Qt's own VNC platform of Qt 6.4 listens on every address
# and has no option to change that, so it is not used.)
free_display() {
    local n
    for n in $(seq 90 140); do
        if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then
            echo "$n"
            return
        fi
    done
    return 1
}
port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
free_port() {
    local port
    for port in $(seq 5900 5999); do
        if ! port_in_use "$port"; then
            echo "$port"
            return
        fi
    done
    return 1
}

display=":$(free_display)"
port="$(free_port)"
helpers=()
stop_helpers() {
    local pid
    for pid in "${helpers[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap stop_helpers EXIT

"${invoker[@]}" Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
helpers+=($!)
for _ in $(seq 50); do
    [[ -e /tmp/.X11-unix/X${display#:} ]] && break
    sleep 0.1
done
"${invoker[@]}" x11vnc -display "$display" -localhost -rfbport "$port" -nopw -forever -shared \
    -quiet >/dev/null 2>&1 &
helpers+=($!)
for _ in $(seq 50); do
    port_in_use "$port" && break
    sleep 0.1
done
if ! port_in_use "$port"; then
    echo "start: the VNC server did not start on 127.0.0.1:$port" >&2
    exit 1
fi

echo "No display found: the editor is on VNC at 127.0.0.1:$port (connect with a VNC" \
    "viewer on this machine, or through an SSH tunnel: ssh -L $port:127.0.0.1:$port HOST)."
as_invoker env DISPLAY="$display" "$editor"
