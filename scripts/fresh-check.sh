#!/usr/bin/env bash
# Tries the README's two commands as a new user would: on a minimal Debian 12 root
# (debootstrap, minbase) with the project cloned into it and no display, as root and
# as a user with sudo, in both orders, each command a second time at the end;
# .ci/run as CI runs it (scenario root-ci); and the quenbyconf package installed
# with apt as an administrator would on a server (scenario root-quenbyconf-deb: the
# newest quenbyconf_*.deb of the repository root, from scripts/package.sh, or the
# one QE_FRESH_DEB names), which must run and pull in no Qt package.
# Prints one line per command with its result and time; the full output of each is
# kept under the work folder. Needs root (debootstrap, chroot, mounts) and minutes
# per scenario (package install and two builds).
#
#   scripts/fresh-check.sh [SCENARIO...]      default: every scenario
#   scripts/fresh-check.sh --list             the scenarios
#   scripts/fresh-check.sh --tarball          only build the cached root tarball
#
# The minimal root is built once and kept as a tarball; the downloaded packages are
# shared between runs, nothing else is: every scenario unpacks a new root. Folders:
#   QE_FRESH_CACHE (default /var/cache/qe-fresh-check): tarball and .deb files;
#   QE_FRESH_WORK  (default /var/tmp/qe-fresh-check): one root per scenario (removed
#                  after it passed unless QE_FRESH_KEEP is set), logs.
# The project is cloned from this repository's committed HEAD.
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${QE_FRESH_CACHE:-/var/cache/qe-fresh-check}"
work="${QE_FRESH_WORK:-/var/tmp/qe-fresh-check}"
command_timeout="${QE_FRESH_TIMEOUT:-90m}"
suite=bookworm
user=dev

# scenario: who, then the commands in order.
declare -A scenarios=(
    [root-start-test]="root start test start"
    [root-test-start]="root test start test"
    [user-start-test]="user start test start"
    [user-test-start]="user test start test"
    [user-sudo-test]="user sudo-test test start"
    [root-ci]="root ci"
    [root-quenbyconf-deb]="root deb-quenbyconf"
)
order=(root-test-start user-start-test root-start-test user-test-start user-sudo-test root-ci
    root-quenbyconf-deb)

if [[ ${1:-} == --list ]]; then
    for name in "${order[@]}"; do printf '%-16s %s\n' "$name" "${scenarios[$name]}"; done
    exit 0
fi
tarball_only=""
[[ ${1:-} == --tarball ]] && tarball_only=1 && shift
selected=("$@")
((${#selected[@]} > 0)) || selected=("${order[@]}")
for name in "${selected[@]}"; do
    [[ -n ${scenarios[$name]:-} ]] || {
        echo "fresh-check: no scenario '$name' (--list shows them)" >&2
        exit 2
    }
done
if ((EUID != 0)); then
    echo "fresh-check: needs root (debootstrap, chroot, mounts)" >&2
    exit 2
fi
if ! command -v debootstrap >/dev/null; then
    echo "fresh-check: installing debootstrap"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
fi
for tool in debootstrap git chroot; do
    command -v "$tool" >/dev/null || {
        echo "fresh-check: needs $tool" >&2
        exit 2
    }
done
if [[ -n $(git -C "$repo_root" status --porcelain --untracked-files=no) ]]; then
    echo "fresh-check: note: uncommitted changes are not part of the check (it clones HEAD)"
fi

# This machine's Debian sources, as one-line entries: "URI SUITE" for every suite of
# this release, from sources.list and the deb822 files under sources.list.d.
debian_sources() {
    local files=()
    [[ -f /etc/apt/sources.list ]] && files+=(/etc/apt/sources.list)
    for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [[ -f $f ]] && files+=("$f")
    done
    awk -v suite="$suite" '
        /^[[:space:]]*deb[[:space:]]/ {
            i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
            if ($(i + 1) ~ "^" suite) print $i, $(i + 1); next
        }
        /^Types:/ { deb = ($0 ~ /[[:space:]]deb([[:space:]]|$)/) }
        /^URIs:/ { uri = $2 }
        /^Suites:/ { if (deb) for (i = 2; i <= NF; i++) if ($i ~ "^" suite) print uri, $i }
    ' "${files[@]}" | sort -u
}
mapfile -t sources < <(debian_sources)
mirror=""
for entry in "${sources[@]}"; do
    [[ ${entry#* } == "$suite" ]] && mirror="${entry% *}" && break
done
if [[ -z $mirror ]]; then
    echo "fresh-check: no Debian $suite mirror in /etc/apt/sources.list(.d)" >&2
    exit 2
fi

tarball="$cache/$suite-minbase.tar"
archives="$cache/archives"
mkdir -p "$cache/debootstrap" "$archives/partial" "$work"

build_tarball() {
    local root="$work/debootstrap"
    echo "fresh-check: building a minimal $suite root from $mirror (log: $work/debootstrap.log)"
    rm -rf "$root"
    debootstrap --variant=minbase --cache-dir="$cache/debootstrap" "$suite" "$root" "$mirror" \
        >"$work/debootstrap.log" 2>&1 || {
        tail -n 20 "$work/debootstrap.log"
        echo "fresh-check: debootstrap failed (log: $work/debootstrap.log)" >&2
        exit 1
    }
    printf 'deb %s main\n' "${sources[@]}" >"$root/etc/apt/sources.list"
    rm -rf "$root"/var/cache/apt/archives/*.deb "$root"/var/lib/apt/lists/*
    tar -C "$root" -cf "$tarball.part" . && mv "$tarball.part" "$tarball"
    rm -rf "$root"
}
[[ -f $tarball ]] || build_tarball
[[ -z $tarball_only ]] || exit 0

# The mounts of the root being used, unmounted on exit.
mounts=()
unmount_all() {
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" 2>/dev/null || true; done
    mounts=()
}
trap unmount_all EXIT
mount_in() { # mount_in ROOT TARGET MOUNT-ARGS...
    local target="$1$2"
    shift 2
    mkdir -p "$target"
    mount "$@" "$target"
    mounts+=("$target")
}

# Removes a root left by an earlier run, after unmounting what a killed run left
# mounted there (never following a mount into /dev or /proc of this machine).
remove_root() {
    local target targets
    mapfile -t targets < <(awk -v r="$1/" 'index($2, r) == 1 { print $2 }' /proc/self/mounts | sort -r)
    for target in "${targets[@]}"; do umount -l "$target"; done
    rm -rf --one-file-system "$1"
}

new_root() {
    local root="$1"
    remove_root "$root"
    mkdir -p "$root"
    tar -C "$root" -xf "$tarball"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    printf '127.0.1.1 %s\n' "$(hostname)" >>"$root/etc/hosts" # as the installer writes
    mount_in "$root" /proc -t proc proc
    mount_in "$root" /sys -t sysfs sysfs
    mount_in "$root" /dev --bind /dev
    mount_in "$root" /dev/pts --bind /dev/pts
    mount_in "$root" /dev/shm -t tmpfs tmpfs
    mount_in "$root" /var/cache/apt/archives --bind "$archives"
}

# The package file for a deb- scenario: QE_FRESH_DEB, or the newest PACKAGE_*.deb of
# the repository root.
package_file() {
    if [[ -n ${QE_FRESH_DEB:-} ]]; then
        echo "$QE_FRESH_DEB"
    else
        find "$repo_root" -maxdepth 1 -name "$1_*.deb" -printf '%T@ %p\n' | sort -n | tail -n 1 |
            cut -d' ' -f2-
    fi
}

# The commands run in the root for a deb- scenario: install PACKAGE from /tmp with
# apt, run it, and fail when a Qt package came along; the scenario adds its own.
deb_check_command() {
    cat <<SCRIPT
set -e
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y /tmp/$1.deb
dpkg-query -W -f='\${Package} \${Version} Depends: \${Depends}\n' $1
$1 --help
qt=\$(dpkg-query -W -f='\${db:Status-Status} \${Package}\n' | awk '\$1 == "installed" && \$2 ~ /^(libqt|qt6)/ { print \$2 }')
if [ -n "\$qt" ]; then echo "Qt came along:" \$qt; exit 1; fi
echo "no package named libqt* or qt6* is installed"
SCRIPT
}

# Runs one command of a scenario in ROOT as WHO; prints its line.
run_command() {
    local root="$1" who="$2" what="$3" log="$4"
    local home=/root run=() line
    [[ $who == user ]] && home="/home/$user"
    local cmd="cd $home/project && scripts/test.sh"
    case $what in
    start) cmd="cd $home/project && scripts/start.sh" ;;
    sudo-test) cmd="cd $home/project && sudo scripts/test.sh" ;;
    ci) cmd="cd $home/project && CI=true bash .ci/run" ;;
    deb-quenbyconf)
        cmd="$(deb_check_command quenbyconf)
quenbyconf --create set /root/client.ini networking.nettimeout=120
quenbyconf get /root/client.ini networking.nettimeout | grep -x networking.nettimeout=120"
        ;;
    esac
    if [[ $who == user ]]; then
        # A login shell of the user, in the same process group (as in a terminal,
        # where Ctrl-C reaches every process of the command).
        run=(chroot --userspec="$user:$user" "$root" env -i HOME="$home" USER="$user"
            LOGNAME="$user" SHELL=/bin/bash TERM=dumb LANG=C.UTF-8
            PATH=/usr/local/bin:/usr/bin:/bin bash -lc "$cmd")
    else
        run=(chroot "$root" env -i HOME=/root TERM=dumb LANG=C.UTF-8
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$cmd")
    fi

    local started=$SECONDS result=PASS note=""
    if [[ $what == start ]]; then
        # The editor runs until it is closed: pass when it is still up a while after
        # start.sh announced it, then stop start.sh as Ctrl-C would.
        setsid timeout "$command_timeout" "${run[@]}" </dev/null >"$log" 2>&1 &
        local pid=$!
        local up=""
        while kill -0 "$pid" 2>/dev/null; do
            if [[ -z $up ]] && grep -q '^start: starting the editor' "$log"; then up=$SECONDS; fi
            if [[ -n $up ]] && ((SECONDS - up >= 15)); then break; fi
            sleep 1
        done
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" || true
            result=FAIL note="start.sh ended by itself"
        else
            kill -INT -- "-$pid" 2>/dev/null || true
            for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
            kill -0 "$pid" 2>/dev/null && { result=FAIL note="still running after Ctrl-C"; kill -KILL -- "-$pid"; }
            wait "$pid" || true
            if grep -qE 'XDG_RUNTIME_DIR|QStandardPaths' "$log"; then
                result=FAIL note="runtime folder warning"
            fi
        fi
    elif ! timeout "$command_timeout" "${run[@]}" </dev/null >"$log" 2>&1; then
        result=FAIL
    fi
    # Nothing may outlive the command: list and end what still runs in the root.
    local pid left=()
    for pid in /proc/[0-9]*; do
        pid="${pid#/proc/}"
        [[ $(readlink "/proc/$pid/root" 2>/dev/null) == "$root" ]] && left+=("$pid")
    done
    if ((${#left[@]} > 0)); then
        result=FAIL note="${note:+$note; }left running: $(for p in "${left[@]}"; do cat "/proc/$p/comm"; done | sort -u | tr '\n' ' ')"
        kill -KILL "${left[@]}" 2>/dev/null || true
    fi
    if [[ $who == user ]]; then
        local foreign
        foreign=$(find "$root$home" ! -user "$(stat -c %u "$root$home")" -print -quit)
        [[ -n $foreign ]] && result=FAIL note="${note:+$note; }not the user's: ${foreign#"$root"}"
    fi
    local took=$((SECONDS - started))
    printf -v line '%-16s %-4s %-22s %s %3dm%02ds  %s' "$scenario" "$who" \
        "$what" "$result" $((took / 60)) $((took % 60)) "${note:-log: $log}"
    echo "$line" | tee -a "$work/results.txt"
    [[ $result == PASS ]]
}

commit="$(git -C "$repo_root" rev-parse HEAD)"
echo "fresh-check: $(date -u +%FT%TZ) HEAD ${commit:0:7}, mirror $mirror" |
    tee -a "$work/results.txt"
failures=0
for scenario in "${selected[@]}"; do
    read -r who commands <<<"${scenarios[$scenario]}"
    root="$work/$scenario/root"
    new_root "$root"
    home=/root
    if [[ $who == user ]]; then
        home="/home/$user"
        # A user who may use sudo, as on a desktop install (no password asked here,
        # as there is nobody to type it).
        chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
            sh -c "apt-get update -qq && apt-get install -y -qq sudo && useradd -m -s /bin/bash $user &&
                   echo '$user ALL=(ALL) NOPASSWD: ALL' >/etc/sudoers.d/$user" \
            >"$work/$scenario/user.log" 2>&1 || {
            echo "fresh-check: could not add the sudo user (log: $work/$scenario/user.log)" >&2
            exit 1
        }
        rm -rf "$root"/var/lib/apt/lists/*
    fi
    if [[ $commands == deb-* ]]; then
        package="${commands#deb-}"
        deb="$(package_file "$package")"
        if [[ ! -f $deb ]]; then
            echo "fresh-check: no ${package}_*.deb (scripts/package.sh makes it)" >&2
            exit 2
        fi
        echo "fresh-check: $scenario installs $deb"
        cp "$deb" "$root/tmp/$package.deb"
    else
        git clone -q "$repo_root" "$root$home/project"
        git -C "$root$home/project" checkout -q "$commit"
        [[ $who == user ]] && chroot "$root" chown -R "$user:$user" "$home/project"
    fi
    step=0 failed_before=$failures
    for what in $commands; do
        step=$((step + 1))
        run_command "$root" "$who" "$what" "$work/$scenario/$step-$what.log" || failures=$((failures + 1))
    done
    unmount_all
    # Kept for a look when something failed.
    if [[ -z ${QE_FRESH_KEEP:-} ]] && ((failures == failed_before)); then remove_root "$root"; fi
done
echo "fresh-check: $failures failed"
((failures == 0))
