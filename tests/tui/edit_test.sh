#!/usr/bin/env bash
# quenbyconf edit in a real terminal: tmux runs it at a fixed size, each scenario
# sends keys and reads the screen, waiting for what it expects to appear.
#   edit_test.sh QUENBYCONF CONTROLS_DEF SCENARIO
set -euo pipefail
bin="$1" controls="$2" scenario="$3"
dir="$(mktemp -d)"
socket="qe-tui-$$"
t() { LC_ALL=C.UTF-8 tmux -L "$socket" -f /dev/null "$@"; }
trap 't kill-server 2>/dev/null || true; rm -rf "$dir"' EXIT

screen() { t capture-pane -p; }
fail() {
    echo "FAIL: $*" >&2
    screen >&2
    exit 1
}
# Waits, at most 20 s, until the screen holds text (or, with !, no longer does).
until_screen() {
    local absent="" text
    [[ $1 == ! ]] && absent=1 && shift
    text="$1"
    for _ in $(seq 400); do
        if screen | grep -qF -- "$text"; then [[ -z $absent ]] && return 0
        elif [[ -n $absent ]]; then return 0; fi
        sleep 0.05
    done
    fail "waited for ${absent:+the end of }'$text'"
}
# The editor at WIDTH x HEIGHT in the test's folder, with FILE when given; its pane
# stays, with the exit status, until the test ends and stops the tmux server.
start() {
    t new-session -d -x "$1" -y "$2" -c "$dir" -e LANG=C.UTF-8 -e NO_COLOR=1 \
        "$bin edit ${3:-}; echo EXITED \$?; exec sleep infinity"
    until_screen "^C Close"
}
keys() { t send-keys -- "$@"; }
# A press and release of the first button at column X, line Y (from 0), as a
# terminal reports them in the X10 form curses asked tmux for.
click() {
    local at
    at="$(printf '\\x%x\\x%x' $((33 + $1)) $((33 + $2)))"
    t send-keys -l "$(printf "\e[M %b" "$at")" && t send-keys -l "$(printf "\e[M#%b" "$at")"
}
# Fails when a caption of the window stands cut on the screen: once every whole
# caption is struck out (the longest first), no first 8 characters of one remain.
no_caption_cut() {
    sed -n 's/^QE_CONTROL([^,]*, *\(Label\|Check\|Radio\|Page\|Box\|Button\), *[^,]*, *"\([^"]\+\)".*/\2/p' \
        "$controls" | tr -d '&' | sed 's/^ *//; s/ *$//' |
        awk '{ print length($0) "\t" $0 }' | sort -rn | cut -f2- >"$dir/captions"
    screen | awk 'NR == FNR { cap[++n] = $0; next }
        { line = $0
          for (i = 1; i <= n; i++)
              while ((k = index(line, cap[i])) > 0) {
                  struck = cap[i]; gsub(/./, "#", struck)
                  line = substr(line, 1, k - 1) struck substr(line, k + length(cap[i]))
              }
          for (i = 1; i <= n; i++)
              if (index(line, substr(cap[i], 1, 8))) { print "cut: " cap[i]; bad = 1 } }
        END { exit bad }' "$dir/captions" - || fail "a caption is cut"
}
# Every shown page in turn (Ctrl+PgDn, told by a text of its own), each checked
# for cut captions. OGR is the page after RC5 without its "Blocksize:".
all_pages_whole() {
    local mark
    for mark in "Restart on ini change" "Hide Client" "Project Priority" "Run buffers only" \
        "Network:" "UUE Encoding" "Velmora keyserver" "Blocksize:" "! Blocksize:" "System:" \
        "Log type:" "Use mail logging" "E-Mail ID:"; do
        keys C-PageDown
        if [[ $mark == "! "* ]]; then until_screen ! "${mark#! }"; else until_screen "$mark"; fi
        no_caption_cut
    done
}

printf '[parameters]\nid=me@example.org\n' >"$dir/a.ini"
printf '[processor-usage]\npriority=high\n' >"$dir/bad.ini"
printf '%s\n' '[triggers]' 'pause-on-high-cpu-temp=yes' '[logging]' 'log-file-type=rotate' \
    'mail-log-max=5000' '[buffers]' 'frequent-threshold-checks=1' '[networking]' \
    'firewall-type=http' 'firewall-host=proxy.example.org:3128' 'dialup-watcher=active' \
    'autofindkeyserver=no' 'keyserver=keys.example.org' '[processor-usage]' 'max-threads=4' >"$dir/full.ini"

case "$scenario" in
accelerator-reaches-its-page)
    start 80 24 a.ini
    keys M-m && until_screen "Project Priority"
    keys M-l && until_screen "Log type:"
    keys M-e && until_screen "[me@example.org"
    ;;
each-kind-of-field-changes)
    start 80 24 a.ini
    keys X && until_screen "[me@example.orgX"
    keys M-m && until_screen "Project Priority"
    keys Tab Space && until_screen "[x] Disable"
    keys Tab Tab Tab 1 2 x && until_screen "[012 "
    keys Up && until_screen "[13 "
    keys M-t Tab Tab Tab Tab Tab Tab Space && until_screen "(*) Kelvin"
    keys Tab Tab Right && until_screen "(*) Celcius"
    ;;
http-shows-the-proxy-fields)
    start 80 24
    keys M-x Enter && until_screen "SOCKS5"
    keys Down Enter && until_screen "[8080"
    until_screen "Username:"
    ;;
file-name-refused-and-focus-stays)
    start 80 24 a.ini
    keys M-t Tab Tab Tab Tab "a*b" Tab && until_screen "not allowed to be used in filenames"
    keys Enter && until_screen ! "not allowed"
    keys C-PageDown && until_screen "not allowed to be used in filenames"
    keys Enter && until_screen ! "not allowed"
    keys c && until_screen "[a*bc"
    until_screen "Pause when this file is found:"
    ;;
save-checks-asks-the-id-and-writes)
    start 80 24
    keys C-s && until_screen "Please insert a valid ID"
    keys "mé@example.org" Enter && until_screen "Save as"
    keys out Enter && until_screen ! "Save as"
    grep -qx "id=mé@example.org" "$dir/out.ini" || fail "out.ini: $(cat "$dir/out.ini")"
    ;;
save-over-a-changed-file-asks-first)
    start 80 24 a.ini
    printf '[parameters]\nid=me@example.org\n[processor-usage]\npriority=7\n' >"$dir/a.ini"
    keys C-s && until_screen "Save as"
    keys a.ini Enter && until_screen "changed by another program"
    keys Enter && until_screen ! "changed by another program" # Cancel
    grep -qx "priority=7" "$dir/a.ini" || fail "Cancel wrote a.ini: $(cat "$dir/a.ini")"
    keys C-s && until_screen "Save as"
    keys C-u a.ini Enter && until_screen "changed by another program"
    keys Right Enter && until_screen ! "changed by another program" # Overwrite
    ! grep -q "priority=7" "$dir/a.ini" || fail "Overwrite kept priority=7"
    ;;
open-of-a-bad-file-shows-the-error)
    start 80 24
    keys C-o && until_screen "File to open"
    keys bad Enter && until_screen "'high' is not a valid integer value."
    ;;
small-terminal-then-the-editor)
    t new-session -d -x 60 -y 20 -c "$dir" "$bin edit a.ini; exec sleep infinity"
    until_screen "at least 80x24"
    t resize-window -x 80 -y 24 && until_screen "^C Close"
    ;;
no-caption-cut-at-80x24)
    start 80 24 full.ini && all_pages_whole
    ;;
no-caption-cut-at-200x60)
    start 200 60 full.ini && all_pages_whole
    ;;
clicks-reach-tabs-and-fields)
    start 80 24 a.ini
    click 24 1 && until_screen "[ ] Hide Client" # the tab "Display"
    click 4 6 && until_screen "[x] Hide Client"
    click 3 0 && until_screen "Ctrl+O"            # the File menu
    ;;
ctrl-c-closes)
    start 80 24 a.ini
    keys C-c && until_screen "EXITED 0"
    ;;
no-terminal-status-2)
    status=0
    "$bin" edit "$dir/a.ini" </dev/null >"$dir/out" 2>&1 || status=$?
    if [[ $status != 2 ]] || ! grep -q "must be a terminal" "$dir/out"; then fail "status $status"; fi
    ;;
*)
    fail "no scenario $scenario"
    ;;
esac
