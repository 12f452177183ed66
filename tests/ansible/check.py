#!/usr/bin/python3
"""check.py fleet|ssh|secret|files|doc QUENBYCONF COLLECTION: runs a playbook and checks
the files. Exit 0 passed, 1 failed, 77 skipped (sshd cannot start here)."""
import base64
import fcntl
import grp
import os
import pwd
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
OWNED = {"parameters", "misc", "triggers", "display", "processor-usage", "rc5", "ogr", "buffers", "logging", "networking"}
FLEET = 50
SETTINGS = ["networking.firewall-type=http", "networking.firewall-host=proxy.example.org:3128", "networking.nettimeout=120",
            "processor-usage.priority=4", "triggers.restart-on-config-file-change=yes"]
# Files of the fleet: plain, CRLF with a foreign section and comments, and a foreign
# section first with no newline at the end.
SAMPLES = [
    "[parameters]\nid=host{n}@example.org\n[networking]\nnettimeout=60\n",
    "; client file of host {n}\r\n[parameters]\r\nid=host{n}@example.org\r\n\r\n"
    "[tool-{n}]\r\n; kept as it is\r\nsetting = value  \r\n\r\n[processor-usage]\r\npriority=1\r\n",
    "[Other]\nPath=C:\\client\\{n}\n# comment\n\n[misc]\nrun-work-limit=5\n[zzz]\nlast=1",
]


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


class Run:
    def __init__(self, program, collection):
        self.tmp = tempfile.mkdtemp(prefix="qe-ansible-")
        os.chmod(self.tmp, 0o755)
        self.bin = os.path.join(self.tmp, "bin")
        os.mkdir(self.bin)
        self.program = shutil.copy(program, self.bin)
        links = os.path.join(self.tmp, "collections", "ansible_collections", "quenby")
        os.makedirs(links)
        os.symlink(os.path.abspath(collection), os.path.join(links, "client"))
        self.env = dict(os.environ, ANSIBLE_CONFIG=self.write("ansible.cfg", CONFIG % self.tmp),
                        ANSIBLE_COLLECTIONS_PATH=os.path.join(self.tmp, "collections"),
                        ANSIBLE_NOCOLOR="1", ANSIBLE_FORCE_COLOR="0")

    def write(self, name, text):
        path = os.path.join(self.tmp, name)
        with open(path, "w", newline="") as f:
            f.write(text)
        return path

    def inventory(self, hosts, **common):
        lines = ["[all:vars]", "quenbyconf_dir=" + self.bin]
        lines += ["%s=%s" % item for item in common.items()] + ["[all]"]
        lines += [name + " " + " ".join("%s=%s" % item for item in v.items()) for name, v in hosts.items()]
        return self.write("hosts", "\n".join(lines) + "\n")

    def playbook(self, name, inventory, *options):
        args = ["ansible-playbook", "-i", inventory, os.path.join(HERE, name)] + list(options)
        started = time.time()
        done = subprocess.run(args, env=self.env, capture_output=True, text=True)
        recap = done.stdout[done.stdout.rfind("PLAY RECAP"):]
        print("$ " + " ".join(args[3:]) + "  (%.1f s, status %d)\n%s" % (time.time() - started, done.returncode, recap))
        return done, recap

    def quenbyconf(self, *args):
        return subprocess.run([self.program] + list(args), capture_output=True)


CONFIG = """[defaults]
forks = 10
interpreter_python = /usr/bin/python3
host_key_checking = False
retry_files_enabled = False
gathering = explicit
pipelining = True
local_tmp = %s/ansible-local
"""


def recap_total(recap, what):
    return sum(int(n) for n in re.findall(r"\b%s=(\d+)" % what, recap))


def snapshot(paths):
    return {p: (open(p, "rb").read(), os.stat(p).st_mtime_ns) for p in paths}


def foreign_blocks(text):
    """Lines before the first section and each section the editor does not own."""
    return [b for b in re.split(r"(?m)^(?=\[)", text) if re.match(r"\[?([^\]]*)", b).group(1).lower() not in OWNED]


def check_fleet_file(run, path, before):
    after = open(path, "rb").read().decode("latin-1")
    for block in foreign_blocks(before):
        if block.rstrip("\r\n") not in after:
            fail("%s lost foreign bytes %r" % (path, block))
    if "\r\n" in before and re.search(r"(?<!\r)\n", after):
        fail(path + ": a CRLF file got LF lines")
    expected = run.write(os.path.basename(path) + ".expected", before)
    if run.quenbyconf("set", expected, *SETTINGS).returncode != 0 or open(expected, "rb").read() != after.encode("latin-1"):
        fail(path + ": not the bytes quenbyconf set writes")


def fleet(run):
    hosts, files = {}, {}
    for n in range(FLEET):
        files["host%02d" % n] = run.write("host%02d.ini" % n, SAMPLES[n % 3].format(n=n))
    files["stops-load"] = run.write("stops-load.ini", "[processor-usage]\nmax-threads=x\n")
    files["out-of-range"] = run.write("out-of-range.ini", SAMPLES[0].format(n=99))
    for name, path in files.items():
        hosts[name] = {"client_file": path, "ansible_connection": "local"}
    hosts["out-of-range"]["priority"] = 99
    inventory = run.inventory(hosts)
    originals = {p: open(p, "rb").read().decode("latin-1") for p in files.values()}
    bad = [files["stops-load"], files["out-of-range"]]
    untouched = snapshot(bad)

    done, recap = run.playbook("fleet.yml", inventory)
    if recap_total(recap, "changed") != FLEET or recap_total(recap, "failed") != 2:
        fail("first run: expected changed=%d and two failed hosts" % FLEET)
    if "'x' is not a valid integer value" not in done.stdout or "processor-usage.priority=99: 0 to 9" not in done.stdout:
        fail("first run: not the editor's messages")
    if snapshot(bad) != untouched:
        fail("a failing host's file was touched")
    good = [files[h] for h in files if h.startswith("host")]
    for path in good:
        check_fleet_file(run, path, originals[path])

    settled = snapshot(good)
    done, recap = run.playbook("fleet.yml", inventory, "--limit", "host*")
    if recap_total(recap, "changed") != 0 or done.returncode != 0 or snapshot(good) != settled:
        fail("second run: expected changed=0 and the same bytes and modification times")

    done, recap = run.playbook("fleet.yml", inventory, "--limit", "host*", "--check", "--diff", "-e", "nettimeout=90")
    if done.stdout.count("+nettimeout=90") != FLEET or recap_total(recap, "changed") != FLEET:
        fail("--check --diff: expected the diff of every host")
    if snapshot(good) != settled:
        fail("--check wrote a file")


def start_sshd(run, user):
    """sshd on a free port of 127.0.0.1 with keys made here; exits 77 where it cannot start."""
    keys = os.path.join(run.tmp, "ssh")
    os.mkdir(keys)
    for key in ("host", "user"):
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", os.path.join(keys, key)], check=True)
    shutil.copy(os.path.join(keys, "user.pub"), os.path.join(keys, "authorized_keys"))
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    config = run.write("sshd_config", SSHD % dict(port=port, keys=keys, user=user))
    if os.geteuid() == 0:
        os.makedirs("/run/sshd", mode=0o755, exist_ok=True)
    log = os.path.join(run.tmp, "sshd.log")
    try:
        sshd = subprocess.Popen(["/usr/sbin/sshd", "-D", "-e", "-f", config], stderr=open(log, "w"))
    except FileNotFoundError:
        print("SKIP: /usr/sbin/sshd is not installed")
        sys.exit(77)
    for _ in range(50):
        with socket.socket() as s:
            if s.connect_ex(("127.0.0.1", port)) == 0:
                return sshd, port, os.path.join(keys, "user")
        if sshd.poll() is not None:
            break
        time.sleep(0.1)
    sshd.kill()
    print("SKIP: sshd cannot start here: " + open(log).read().strip())
    sys.exit(77)


SSHD = """Port %(port)d
ListenAddress 127.0.0.1
HostKey %(keys)s/host
PidFile %(keys)s/sshd.pid
AuthorizedKeysFile %(keys)s/authorized_keys
AllowUsers %(user)s
StrictModes no
UsePAM no
PasswordAuthentication no
Subsystem sftp internal-sftp
"""


def ssh(run):
    """As root, through a user made for this run (password '*': a key is the only way in)."""
    user = "qe-ans%d" % os.getpid() if os.geteuid() == 0 else pwd.getpwuid(os.getuid()).pw_name
    if os.geteuid() == 0:
        subprocess.run(["useradd", "--no-create-home", "--shell", "/bin/sh", "-p", "*", user], check=True)
    try:
        home = os.path.join(run.tmp, "home")
        os.mkdir(home)
        shutil.chown(home, user)
        sshd, port, key = start_sshd(run, user)
        try:
            ssh_hosts(run, user, home, port, key)
        finally:
            sshd.kill()
    finally:
        if os.geteuid() == 0:
            subprocess.run(["userdel", user])


def ssh_hosts(run, user, home, port, key):
    hosts = {}
    for name in ("ssh1", "ssh2"):
        path = run.write("home/%s.ini" % name, "[parameters]\nid=%s@example.org\n[foreign]\nkept=1\n" % name)
        shutil.chown(path, user)
        hosts[name] = {"client_file": path, "ansible_host": "127.0.0.1", "ansible_port": port}
    options = "-o UserKnownHostsFile=/dev/null -o StrictHostKeyChecking=no -o IdentitiesOnly=yes"
    inventory = run.inventory(hosts, ansible_user=user, ansible_ssh_private_key_file=key,
                              ansible_remote_tmp=home + "/.ansible-tmp", ansible_ssh_common_args='"%s"' % options)
    run.env["ANSIBLE_SSH_ARGS"] = "-o ControlMaster=no"  # no session left when sshd stops
    done, recap = run.playbook("ssh.yml", inventory)
    if done.returncode != 0 or recap_total(recap, "changed") != 2:
        fail("over SSH: expected changed=2 and no failure\n" + done.stdout[-3000:])


def secret(run):
    path = run.write("secret.ini", SAMPLES[0].format(n=1))
    inventory = run.inventory({"local": {"client_file": path, "ansible_connection": "local"}})
    done, recap = run.playbook("secret.yml", inventory, "--diff", "-vvv")
    if done.returncode != 0 or "+firewall-auth=******** (changed)" not in done.stdout:
        fail("the credential playbook failed or its diff showed no changed credential\n" + done.stdout[-3000:])
    for credential in ("alice:Hunter2first", "alice:Hunter2second"):
        encoded = base64.b64encode(credential.encode()).decode()
        for leak in (credential, encoded, credential.partition(":")[2]):
            if leak in done.stdout + done.stderr:
                fail("the output shows " + leak)
    if base64.b64encode(b"alice:Hunter2second").decode() not in open(path).read():
        fail("the credential was not written")


def count_calls(run):
    """Puts a script that counts its calls in front of quenbyconf; returns the count's file."""
    calls = os.path.join(run.tmp, "calls")
    real = run.program + ".real"
    os.rename(run.program, real)
    run.write("bin/quenbyconf", '#!/bin/sh\necho >>"%s"\nexec "%s" "$@"\n' % (calls, real))
    os.chmod(run.program, 0o755)
    return calls


def files(run):
    path = os.path.join(run.tmp, "new.ini")
    owner = ("nobody", "nogroup") if os.geteuid() == 0 else (
        pwd.getpwuid(os.getuid()).pw_name, grp.getgrgid(os.getgid()).gr_name)
    inventory = run.inventory({"local": {"client_file": path, "ansible_connection": "local",
                                         "file_owner": owner[0], "file_group": owner[1]}})
    calls = count_calls(run)
    done, recap = run.playbook("file_options.yml", inventory)
    if done.returncode != 0:
        fail("file options\n" + done.stdout[-3000:])
    if len(open(calls).readlines()) != 4:
        fail("expected one quenbyconf call for each of the 4 tasks, backups included")
    with open(path) as held:
        fcntl.flock(held, fcntl.LOCK_EX)
        done, recap = run.playbook("locked.yml", inventory)
    if done.returncode != 0:
        fail("a lock held past lock_timeout\n" + done.stdout[-3000:])


def doc(run):
    for module in ("settings", "settings_info"):
        done = subprocess.run(["ansible-doc", "quenby.client." + module], env=run.env, capture_output=True, text=True)
        for part in ("> QUENBY.CLIENT." + module.upper(), "= path", "EXAMPLES:", "RETURN VALUES:"):
            if part not in done.stdout:
                fail("ansible-doc %s: no %r\n%s" % (module, part, done.stdout + done.stderr))


def main():
    scenario, program, collection = sys.argv[1:4]
    run = Run(program, collection)
    try:
        globals()[scenario](run)
    finally:
        shutil.rmtree(run.tmp, ignore_errors=True)
    print("passed: " + scenario)


if __name__ == "__main__":
    main()
