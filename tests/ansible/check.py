#!/usr/bin/python3
"""check.py sanity|TARGET QUENBYCONF COLLECTION: runs ansible-test on a copy of the
collection, offline. TARGET is one of ansible/tests/integration/targets, run with
`ansible-test integration --local`, quenbyconf first on PATH. Exit 0 passed,
1 failed, 77 skipped (the ssh target without sshd)."""
import json
import os
import shutil
import subprocess
import sys
import tempfile

PYTHON = "%d.%d" % sys.version_info[:2]
# Sanity tests that ansible-test runs in a virtual environment it fills with pip,
# which needs the network; validate-modules, yamllint and pep8 run below through
# Debian's packages instead. pylint is not in the list of Debian packages we use.
NEED_PIP = ["ansible-doc", "import", "pep8", "pylint", "pslint", "runtime-metadata",
            "shellcheck", "validate-modules", "yamllint"]
# ansible-test's pep8 settings: its ignore list and line length.
PEP8_IGNORED = "E402,W503,W504,E741"
SANITY_ROOT = "/usr/lib/python3/dist-packages/ansible_test/_util/controller/sanity"


def copy_collection(collection, tmp):
    """ansible-test works in ansible_collections/NAMESPACE/NAME and writes tests/output there."""
    root = os.path.join(tmp, "ansible_collections", "quenby", "client")
    shutil.copytree(collection, root, ignore=shutil.ignore_patterns("output", "*.tar.gz", "__pycache__"))
    return root


def environment(program, tmp):
    bin_dir = os.path.join(tmp, "bin")
    os.mkdir(bin_dir)
    shutil.copy(program, bin_dir)  # in a folder every user may enter: the ssh target's user runs it
    home = os.path.join(tmp, "home")
    os.mkdir(home)
    # HOME and TMPDIR inside the tree, which goes when the test ends, passed or not
    return dict(os.environ, PATH=bin_dir + ":/usr/bin:/bin:/usr/sbin:/sbin", HOME=home, TMPDIR=tmp,
                ANSIBLE_COLLECTIONS_PATH=tmp, ANSIBLE_NOCOLOR="1", ANSIBLE_FORCE_COLOR="0")


def run(args, root, env, show=True):
    print("$ " + " ".join(args), flush=True)
    done = subprocess.run(args, cwd=root, env=env, stdout=None if show else subprocess.PIPE, text=True)
    if done.returncode != 0 and not show:
        print(done.stdout)
    return done.returncode == 0


def yamllint(root, env):
    """The YAML files and the modules' documentation, by ansible-test's own yamllint rules."""
    files = [os.path.relpath(os.path.join(folder, name), root) for folder, dummy, names in os.walk(root)
             for name in names if name.endswith((".yml", ".py"))]
    print("$ yamllinter.py " + " ".join(files), flush=True)
    done = subprocess.run([sys.executable, SANITY_ROOT + "/yamllint/yamllinter.py"] + files,
                          cwd=root, env=env, capture_output=True, text=True)
    passed = done.returncode == 0 and json.loads(done.stdout)["messages"] == []
    if not passed:
        print(done.stdout + done.stderr)
    return passed


def sanity(root, env):
    python = ["--python", PYTHON, "--python-interpreter", sys.executable]
    skipped = [arg for test in NEED_PIP for arg in ("--skip-test", test)]
    modules = ["plugins/modules/" + name for name in sorted(os.listdir(os.path.join(root, "plugins/modules")))]
    # "--arg", the one option of validate-modules with that start, loads each module
    # and checks the arguments it declares against its documentation.
    checks = [
        ["ansible-test", "sanity", "--local", "--color", "no"] + python + skipped,
        [sys.executable, SANITY_ROOT + "/validate-modules/validate.py", "--format", "plain", "--arg",
         "--collection", "ansible_collections/quenby/client", "--collection-version", "1.0.0"] + modules,
        [sys.executable, "-m", "pycodestyle", "--max-line-length", "160", "--ignore", PEP8_IGNORED, "plugins"],
        ["ansible-doc", "quenby.client.settings", "quenby.client.settings_info"],
    ]
    shown = [run(args, root, env) for args in checks[:-1]]
    return all(shown + [run(checks[-1], root, env, show=False), yamllint(root, env)])


def integration(target, root, env):
    if target == "ssh" and not os.path.exists("/usr/sbin/sshd"):
        print("SKIP: /usr/sbin/sshd is not installed")
        sys.exit(77)
    return run(["ansible-test", "integration", "--local", "--color", "no", "--python", PYTHON,
                "--python-interpreter", sys.executable, "--allow-destructive", target], root, env)


def main():
    target, program, collection = sys.argv[1:4]
    tmp = tempfile.mkdtemp(prefix="qe-ansible-")
    try:
        os.chmod(tmp, 0o755)
        root = copy_collection(collection, tmp)
        env = environment(program, tmp)
        passed = sanity(root, env) if target == "sanity" else integration(target, root, env)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    print(("passed: " if passed else "FAIL: ") + target)
    sys.exit(0 if passed else 1)


if __name__ == "__main__":
    main()
