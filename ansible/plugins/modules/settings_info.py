#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: QuenbyEditor developers
# GNU General Public License v3.0+ (see LICENSE or https://www.gnu.org/licenses/gpl-3.0.txt)

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: settings_info
short_description: Read the client's settings and the findings of the editor's check
version_added: 1.0.0
description:
  - Returns every key the editor owns, as the client uses it after the editor opens
    the file (a value that is not UTF-8 shown as Latin-1 and named in I(latin1)), and
    the findings of the editor's check of the file (values the check
    would change, lines of an owned section that a save would erase, a value that
    stops the load, and so on).
  - Runs C(quenbyconf check) once on the managed host, which must have the
    C(quenbyconf) package installed. Never changes anything.
options:
  path:
    description:
      - The client's configuration file on the managed host.
    type: path
    required: true
    aliases: [dest]
  keys:
    description:
      - Only these keys, written C(section.key) and matched without regard to letter
        case, in I(settings) and I(proxy_credential); every owned key when empty. A
        key the editor does not own fails the task.
    type: list
    elements: str
    default: []
attributes:
  check_mode:
    support: full
    description: Reads only, so it runs the same in check mode.
  diff_mode:
    support: none
    description: Changes nothing, so it has nothing to show.
seealso:
  - module: quenby.client.settings
author:
  - QuenbyEditor developers (@quenby)
"""

EXAMPLES = r"""
- name: Read the client's settings
  quenby.client.settings_info:
    path: /home/client/client.ini
  register: client

- name: Show what a save would change or erase
  ansible.builtin.debug:
    var: client.findings
  when: client.findings | length > 0

- name: The client's network timeout
  ansible.builtin.debug:
    msg: "{{ client.settings.networking.nettimeout }}"

- name: Only the proxy keys
  quenby.client.settings_info:
    path: /home/client/client.ini
    keys: [networking.firewall-type, networking.firewall-host]

- name: A log file name extended, its bytes kept whatever the file's code page
  quenby.client.settings:
    path: /home/client/client.ini
    settings:
      logging:
        log-file: "{{ client.settings.logging['log-file'] }}.old"
    latin1: "{{ client.latin1 | select('equalto', 'logging.log-file') | list }}"
"""

RETURN = r"""
settings:
  description:
    - Every owned key but the proxy credential (or those named in I(keys)) with its
      value, as C(quenbyconf get) gives it, in the shape of the I(settings) option of
      M(quenby.client.settings), section to key to value.
    - Given back to that module as it is, with I(latin1) and I(proxy_credential), it
      changes nothing.
  returned: always
  type: dict
  sample: {"networking": {"nettimeout": "60"}, "processor-usage": {"priority": "0"}}
proxy_credential:
  description:
    - The proxy credential C(user:password) with the password shown as C(********);
      empty when the file holds none, null when I(keys) leaves it out.
    - Given back to M(quenby.client.settings) as its I(proxy_credential), the file
      keeps its credential.
  returned: always
  type: str
  sample: "alice:********"
latin1:
  description:
    - The keys, written C(section.key), of I(settings) whose bytes are not UTF-8 (a
      file written in another code page) and are shown as Latin-1, one character a
      byte. Given with I(settings) to M(quenby.client.settings) as its I(latin1),
      they are saved as the same bytes again.
  returned: always
  type: list
  elements: str
  sample: ["logging.log-file"]
findings:
  description: The check's findings, one per key or line; empty when there are none.
  returned: always
  type: list
  elements: dict
  contains:
    key:
      description: The key, C(section.key), or empty for a finding about the file.
      type: str
    value:
      description: The value the finding is about.
      type: str
    message:
      description: What the editor's check found.
      type: str
  sample: [{"key": "processor-usage.priority", "value": "12", "message": "a save writes 9"}]
messages:
  description: The findings as lines, C(section.key=value) and the message.
  returned: always
  type: list
  elements: str
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.quenby.client.plugins.module_utils import quenbyconf

# check exits 1 when it found something; anything higher is a failure of the call.
CHECK_FOUND = 1


def selected(module, answer):
    """The answer with only the values the keys option names; every value without it."""
    wanted = [quenbyconf.folded(name) for name in module.params["keys"]]
    if not wanted:
        return answer
    values = answer.get("values") or {}
    unknown = [name for name in module.params["keys"] if quenbyconf.folded(name) not in values]
    if unknown:
        module.fail_json(msg="keys: not a key the editor owns: %s" % ", ".join(unknown))
    return dict(
        values=dict((name, values[name]) for name in wanted),
        latin1=[name for name in answer.get("latin1") or [] if name in wanted],
    )


def main():
    module = AnsibleModule(
        argument_spec=dict(
            path=dict(type="path", required=True, aliases=["dest"]),
            keys=dict(type="list", elements="str", default=[], no_log=False),
        ),
        supports_check_mode=True,
    )
    program = quenbyconf.find_program(module)
    status, checked, dummy = quenbyconf.run(module, program, "check", module.params["path"])
    if status > CHECK_FOUND:
        quenbyconf.fail_with_errors(module, status, checked)
    module.exit_json(
        changed=False,
        findings=checked.get("errors") or [],
        messages=quenbyconf.entry_lines(checked, "errors"),
        **quenbyconf.values_of(selected(module, checked))
    )


if __name__ == "__main__":
    main()
