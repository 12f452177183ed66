#!/usr/bin/env bash
# 10 settings on 20 simulated hosts (ansible_connection=local, forks=10), side by
# side in one run: community.general.ini_file, one task per key, against
# quenby.client.settings, one task. Each run starts from fresh copies of a typical
# client file; prints every run's wall time, both medians of RUNS (3) runs and the
# ratio. Installs Debian's ansible package (it bundles community.general) when
# community.general is missing.
#
#   bench/ansible/fleet_bench.sh [QUENBYCONF]   (default: build/src/cli/quenbyconf)
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
program="$(realpath "${1:-$repo/build/src/cli/quenbyconf}")"
runs="${RUNS:-3}"
hosts=20

if [[ ! -x "$program" ]]; then
    echo "fleet_bench: no quenbyconf at $program (build it: ninja -C build quenbyconf)" >&2
    exit 1
fi
if ! ansible-doc community.general.ini_file >/dev/null 2>&1; then
    as_root=()
    ((EUID == 0)) || as_root=(sudo)
    echo "fleet_bench: installing Debian's ansible package for community.general"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q ansible >/dev/null
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/collections/ansible_collections/quenby"
cp "$program" "$work/bin/quenbyconf"
ln -s "$repo/ansible" "$work/collections/ansible_collections/quenby/client"
cat >"$work/ansible.cfg" <<EOF
[defaults]
forks = 10
interpreter_python = /usr/bin/python3
gathering = explicit
retry_files_enabled = False
local_tmp = $work/ansible-local
EOF
export ANSIBLE_CONFIG="$work/ansible.cfg" ANSIBLE_NOCOLOR=1
export ANSIBLE_COLLECTIONS_PATH="$work/collections:/usr/share/ansible/collections:/usr/lib/python3/dist-packages"
export PATH="$work/bin:$PATH"

{
    echo "[all]"
    for ((n = 0; n < hosts; n++)); do
        echo "host$n ansible_connection=local client_file=$work/files/host$n.ini"
    done
} >"$work/hosts"

# A typical client file: owned sections, a foreign section with comments.
typical() {
    cat <<EOF
; client configuration of host $1
[parameters]
id=host$1@example.org

[misc]
project-priority=OGR,RC5,DES=0,CSC=0

[scheduler]
; not the editor's: kept byte for byte
window = 22:00-06:00
days = mon,tue,wed,thu,fri

[processor-usage]
priority=1

[networking]
nettimeout=60
autofindkeyserver=yes

[buffers]
buffer-file-basename=buff-in
EOF
}

# Ten keys: section, key, value.
settings=(
    "networking nettimeout 120" "networking firewall-type http"
    "networking firewall-host proxy.example.org:3128" "processor-usage priority 4"
    "processor-usage max-threads 2" "triggers restart-on-config-file-change yes"
    "display detached yes" "misc run-work-limit 50"
    "buffers buffer-file-basename buff-fleet" "rc5 preferred-blocksize 30"
)
{
    echo "- hosts: all"
    echo "  tasks:"
    for setting in "${settings[@]}"; do
        read -r section key value <<<"$setting"
        printf '    - community.general.ini_file: {path: "{{ client_file }}", section: %s, option: %s, value: "%s", no_extra_spaces: true}\n' \
            "$section" "$key" "$value"
    done
} >"$work/ini_file.yml"
{
    echo "- hosts: all"
    echo "  tasks:"
    echo "    - quenby.client.settings:"
    echo '        path: "{{ client_file }}"'
    echo "        settings:"
    previous=""
    for setting in "${settings[@]}"; do
        read -r section key value <<<"$setting"
        [[ "$section" == "$previous" ]] || echo "          $section:"
        echo "            $key: \"$value\""
        previous="$section"
    done
} >"$work/settings.yml"

fresh_files() {
    rm -rf "$work/files"
    mkdir "$work/files"
    for ((n = 0; n < hosts; n++)); do
        typical "$n" >"$work/files/host$n.ini"
    done
}

# Wall time of one playbook run on fresh files, in seconds; fails on a failed run.
timed_run() {
    fresh_files
    local started ended
    started="$(date +%s.%N)"
    ansible-playbook -i "$work/hosts" "$work/$1.yml" >"$work/$1.log" 2>&1 ||
        { tail -n 20 "$work/$1.log" >&2; return 1; }
    ended="$(date +%s.%N)"
    grep -q "changed=1 " "$work/$1.log" || grep -q "changed=10 " "$work/$1.log" ||
        { echo "fleet_bench: $1 changed nothing" >&2; return 1; }
    awk -v a="$started" -v b="$ended" 'BEGIN { print b - a }'
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$(((${#} + 1) / 2))p"; }

ini_times=()
settings_times=()
for ((run = 1; run <= runs; run++)); do
    ini_times+=("$(timed_run ini_file)")
    settings_times+=("$(timed_run settings)")
    printf 'run %d: ini_file %.2f s, quenby.client.settings %.2f s\n' \
        "$run" "${ini_times[-1]}" "${settings_times[-1]}"
done
ini_median="$(median "${ini_times[@]}")"
settings_median="$(median "${settings_times[@]}")"
printf 'median of %d runs, %d hosts, 10 settings, forks=10:\n' "$runs" "$hosts"
printf '  community.general.ini_file (10 tasks): %.2f s\n' "$ini_median"
printf '  quenby.client.settings (1 task):       %.2f s\n' "$settings_median"
printf '  ratio: %.1f times faster (goal: at least 5)\n' \
    "$(awk -v a="$ini_median" -v b="$settings_median" 'BEGIN { print a / b }')"
