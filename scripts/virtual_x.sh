# shellcheck shell=bash
# A virtual X display of its own and a window manager on it, for start.sh and the
# window tests; sourced. Each server started is added to the caller's children
# array, for the caller to stop. Each function waits for the server to say it is
# ready, through a pipe that ends if the server dies first, for a minute at most.
# The pipes stay open: a server that wrote into a closed one would end.

# Starts Xvfb on a free display (it picks one itself: -displayfd) that only holders
# of a cookie made here may use, and exports DISPLAY and XAUTHORITY (a file in
# FOLDER). False when the server did not come up.
#   virtual_x_start FOLDER LOG
virtual_x_start() {
    local folder="$1" log="$2" cookie display out
    export XAUTHORITY="$folder/Xauthority"
    cookie="$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
    : >"$XAUTHORITY"
    xauth -q add :0 . "$cookie"
    # The display number comes on the server's standard output once it takes
    # connections. -noreset: the server would reset when its last client leaves,
    # and refuse the clients that come meanwhile.
    exec {out}< <(exec Xvfb -displayfd 1 -auth "$XAUTHORITY" -nolisten tcp -noreset \
        -screen 0 1024x768x24 2>"$log")
    children+=($!)
    read -r -t 60 -u "$out" display || return 1
    export DISPLAY=":$display"
    xauth -q add "$DISPLAY" . "$cookie"
}

# Starts openbox on DISPLAY and returns once it manages the screen: it runs its
# --startup command then, whose output is openbox's. False when it did not.
#   window_manager_start LOG
window_manager_start() {
    local log="$1" out ready=""
    exec {out}< <(exec openbox --sm-disable --startup "echo openbox-ready" 2>"$log")
    children+=($!)
    while [[ $ready != openbox-ready ]]; do
        read -r -t 60 -u "$out" ready || return 1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
