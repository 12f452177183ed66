# -*- coding: utf-8 -*-
# Copyright: QuenbyEditor developers
# GNU General Public License v3.0+ (see LICENSE or https://www.gnu.org/licenses/gpl-3.0.txt)
"""Runs the headless command quenbyconf and reads its JSON answer.

The command holds every rule about the client's file; this code only finds it,
passes it a request and turns its answer into what a module returns.
"""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json

from ansible.module_utils.common.text.converters import to_text

PROGRAM = "quenbyconf"
MISSING = (
    "quenbyconf is not installed on this host: install the quenbyconf package "
    "(or run cmake --install on a build of the editor) on the managed machine"
)
# Exit status 2 is a wrong command line: the only one without a JSON answer.
USAGE_STATUS = 2
# The proxy credential, which the modules take and return apart from the settings.
CREDENTIAL_SECTION = "networking"
CREDENTIAL_KEY = "firewall-auth"


def folded(name):
    """A section or key name as the command compares it: ASCII letters without regard
    to case, every other character as it is."""
    return "".join(c.lower() if "A" <= c <= "Z" else c for c in to_text(name))


def find_program(module):
    """The path of quenbyconf, or a failed task with one line that names the package."""
    path = module.get_bin_path(PROGRAM)
    if not path:
        module.fail_json(msg=MISSING)
    return path


def run(module, program, verb, path, extra=(), request=None):
    """Runs `quenbyconf VERB --json -- PATH EXTRA...`; returns (status, answer, stderr)."""
    args = [program, verb, "--json", "--", path] + list(extra)
    data = None if request is None else json.dumps(request)
    status, out, err = module.run_command(
        args, data=data, binary_data=True, expand_user_and_vars=False
    )
    answer = parse_answer(out)
    if answer is None:
        lines = [line for line in err.splitlines() if line.strip()]
        module.fail_json(
            msg="quenbyconf %s gave no answer (exit status %d): %s"
            % (verb, status, "; ".join(lines) or "no message"),
            rc=status,
            stderr=err,
        )
    return status, answer, err


def parse_answer(out):
    """The JSON object the command printed, or None when it printed none."""
    try:
        answer = json.loads(out)
    except ValueError:
        return None
    return answer if isinstance(answer, dict) else None


def entry_line(entry):
    """One entry of `errors` or `warnings` as the command writes it on stderr."""
    key = entry.get("key") or ""
    message = entry.get("message") or ""
    if not key:
        return message
    return "%s=%s: %s" % (key, entry.get("value", ""), message)


def entry_lines(answer, name):
    return [entry_line(entry) for entry in answer.get(name) or []]


def values_of(answer):
    """The answer's values as the settings module takes them: `settings` maps section to
    key to value, `proxy_credential` (password masked) stands apart, `latin1` names the
    values shown as Latin-1. Given back as they are, they change nothing."""
    settings, credential = {}, None
    for name, value in (answer.get("values") or {}).items():
        section, dummy, key = name.partition(".")
        if (section, key) == (CREDENTIAL_SECTION, CREDENTIAL_KEY):
            credential = value
        else:
            settings.setdefault(section, {})[key] = value
    return dict(settings=settings, proxy_credential=credential, latin1=answer.get("latin1") or [])


def fail_with_errors(module, status, answer, **extra):
    """Fails the task with the command's own messages, one per refused key."""
    errors = entry_lines(answer, "errors") or ["quenbyconf failed with exit status %d" % status]
    result = dict(values_of(answer), **extra)
    module.fail_json(msg="; ".join(errors), errors=errors, rc=status, **result)
