#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: QuenbyEditor developers
# GNU General Public License v3.0+ (see LICENSE or https://www.gnu.org/licenses/gpl-3.0.txt)

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: settings
short_description: Set the client's settings by the editor's rules, in one write
version_added: 1.0.0
description:
  - Sets keys of the distributed-computing client's configuration file and brings
    others back to their defaults, all in one save, with the editor's own limits,
    interlocks and pre-save check.
  - The module runs C(quenbyconf apply) on the managed host, which must have the
    C(quenbyconf) package installed (or the editor's build installed with
    C(cmake --install)). The command decides everything; the module holds no rule of
    its own about keys or values.
  - What is set is what gets saved, or nothing is written. When any key would not be
    saved as given, the task fails with one message per refused key and the file is
    left as it was.
  - Sections the editor does not own, and their comments, are kept byte for byte; a
    CRLF file stays CRLF. When the new bytes equal the old nothing is written and the
    modification time stays.
options:
  path:
    description:
      - The client's configuration file on the managed host.
    type: path
    required: true
    aliases: [dest]
  settings:
    description:
      - A mapping of section to a mapping of key to value, for example
        C(networking.nettimeout) as C(networking) mapping to C(nettimeout). Sections and keys are matched without
        regard to letter case.
      - Texts are saved as UTF-8, or as Latin-1 for the keys in I(latin1).
      - Values may be strings, numbers or booleans. A boolean (YAML reads a bare
        C(yes) as one) is written in the flag key's own words, C(yes)/C(no) or
        C(true)/C(false), as the editor writes that key; a boolean for a key that is
        not a flag is refused.
      - Put the proxy credential in I(proxy_credential), not here, so that Ansible
        hides it; given here it is hidden from the task's output too.
    type: dict
    default: {}
  latin1:
    description:
      - Keys, written C(section.key), whose text in I(settings) is saved as Latin-1,
        one byte a character, instead of UTF-8, for files written in that code page.
        Give the C(latin1) list of M(quenby.client.settings_info) with its values and
        every byte comes back as it was. A key named here must be set to a text in
        I(settings), and its text may hold no character above U+00FF.
    type: list
    elements: str
    default: []
  absent:
    description:
      - Keys, written C(section.key), to bring back to the value the editor's reset
        gives.
    type: list
    elements: str
    default: []
  proxy_credential:
    description:
      - The proxy credential C(networking.firewall-auth), given as C(user:password).
        The file holds it as Base64; the module's output and diff show the password
        as C(********).
    type: str
  create:
    description:
      - Create the file when it does not exist (mode 0600 unless I(mode) says
        otherwise, since it may hold a credential).
      - When false, a missing file fails the task.
    type: bool
    default: false
  backup:
    description:
      - Keep a copy of the file beside it, named as Ansible names its backups, before
        a write that changes it. Nothing is copied when nothing changes.
      - C(quenbyconf) makes the copy under the same lock as the write, just before it
        replaces the file, so the copy holds exactly what the write replaced. It keeps
        the file's mode and owner, and lies beside the file itself when I(path) is a
        symbolic link.
    type: bool
    default: false
  lock_timeout:
    description:
      - Seconds to wait while another writer (the editor, C(quenbyconf), another
        task) holds the file's lock. When the lock is held longer, the task fails with
        C(rc) 6, names the file and how long it waited, and writes nothing.
    type: int
    default: 30
  strict:
    description:
      - Fail when the save would change a key that was not given (a warning
        otherwise), for example C(misc.project-priority), which a save always writes
        with DES and CSC disabled.
    type: bool
    default: false
extends_documentation_fragment:
  - ansible.builtin.files
attributes:
  check_mode:
    support: full
    description: Reports whether the file would change and writes nothing.
  diff_mode:
    support: full
    description: The whole file before and after, with the proxy password masked.
notes:
  - A symbolic link at I(path) that belongs to another user than the caller or root
    is not followed; the task fails and the link stays.
seealso:
  - module: quenby.client.settings_info
author:
  - QuenbyEditor developers
"""

EXAMPLES = r"""
- name: Route the client through the office proxy and lower its priority
  quenby.client.settings:
    path: /home/client/client.ini
    settings:
      networking:
        firewall-type: http
        firewall-host: proxy.example.org:3128
        nettimeout: 120
      processor-usage:
        priority: 2
      triggers:
        restart-on-config-file-change: yes
    proxy_credential: "{{ vault_proxy_user }}:{{ vault_proxy_password }}"
    backup: true

- name: Back to the defaults, in a file made for the client's user
  quenby.client.settings:
    path: /home/client/client.ini
    absent:
      - rc5.core
      - networking.nettimeout
    create: true
    owner: client
    group: client
    mode: "0600"
"""

RETURN = r"""
values:
  description:
    - Every key the editor owns, as C(quenbyconf get) gives it, after the task (before
      it, when the task failed). The proxy password is shown as C(********).
    - Read it as C(result['values']); C(result.values) is the mapping's own method.
  returned: always
  type: dict
  sample: {"networking.nettimeout": "120", "processor-usage.priority": "2"}
latin1:
  description:
    - The keys of I(values) whose bytes are not UTF-8 and are shown as Latin-1, one
      character a byte.
  returned: always
  type: list
  elements: str
  sample: ["logging.log-file"]
backup_file:
  description: The copy made before the change.
  returned: when I(backup) is true and the file changed
  type: str
  sample: /home/client/client.ini.2034.2026-12-09@02:10:00~
rc:
  description:
    - The exit status of C(quenbyconf) when the task failed. 1 a value refused, 3 the
      file missing or unreadable, 4 the file not writable, 5 the file holds a value
      that stops the load, 6 another writer kept the file locked for longer than
      I(lock_timeout) (nothing written).
  returned: failure
  type: int
  sample: 6
errors:
  description: The command's messages, one per refused key, C(section.key=value) and why.
  returned: failure
  type: list
  elements: str
  sample: ["processor-usage.priority=99: 0 to 9"]
"""

import base64
import os

from ansible.module_utils import basic
from ansible.module_utils.basic import AnsibleModule
from ansible_collections.quenby.client.plugins.module_utils import quenbyconf

CREDENTIAL_SECTION = "networking"
CREDENTIAL_KEY = "firewall-auth"

ARGUMENT_SPEC = dict(
    path=dict(type="path", required=True, aliases=["dest"]),
    settings=dict(type="dict", default={}),
    absent=dict(type="list", elements="str", default=[]),
    latin1=dict(type="list", elements="str", default=[]),
    proxy_credential=dict(type="str", no_log=True),
    create=dict(type="bool", default=False),
    backup=dict(type="bool", default=False),
    lock_timeout=dict(type="int", default=30),
    strict=dict(type="bool", default=False),
)


def credential_values(settings):
    """The credentials a settings mapping carries (section and key in any letter case)."""
    found = []
    if not isinstance(settings, dict):
        return found
    for section, keys in settings.items():
        if str(section).lower() != CREDENTIAL_SECTION or not isinstance(keys, dict):
            continue
        found += [value for key, value in keys.items() if str(key).lower() == CREDENTIAL_KEY]
    return found


def hide(module, credential):
    """Masks a credential, its password and the Base64 the file holds, in all output."""
    text = str(credential)
    hidden = {text, text.partition(":")[2]}
    for encoding in ("utf-8", "latin-1"):
        try:
            hidden.add(base64.b64encode(text.encode(encoding)).decode("ascii"))
        except UnicodeEncodeError:
            pass
    module.no_log_values.update(value for value in hidden if value)


def new_module():
    """The module; its invocation goes unlogged when the settings carry the credential."""
    raw = basic._load_params()
    return AnsibleModule(
        argument_spec=ARGUMENT_SPEC,
        add_file_common_args=True,
        supports_check_mode=True,
        no_log=bool(credential_values(raw.get("settings"))),
    )


def settings_of(module):
    """The settings mapping with proxy_credential in it; every credential hidden first."""
    settings = module.params["settings"]
    credential = module.params["proxy_credential"]
    given = credential_values(settings)
    for value in given + [credential]:
        if value is not None:
            hide(module, value)
    for section, keys in settings.items():
        if not isinstance(keys, dict):
            module.fail_json(msg="settings.%s: a mapping of key to value is needed" % section)
    if credential is None:
        return settings
    if given:
        module.fail_json(msg="networking.firewall-auth is given twice: in settings and as proxy_credential")
    settings = dict(settings)
    settings[CREDENTIAL_SECTION] = dict(settings.get(CREDENTIAL_SECTION) or {}, **{CREDENTIAL_KEY: credential})
    return settings


def request_of(module, settings):
    return dict(
        settings=settings,
        absent=module.params["absent"],
        latin1=module.params["latin1"],
        create=module.params["create"],
        strict=module.params["strict"],
        check_mode=module.check_mode,
        backup=module.params["backup"],
        wait=module.params["lock_timeout"],
        show_secrets=False,
    )


def apply(module, program, request):
    status, answer, dummy = quenbyconf.run(module, program, "apply", module.params["path"], request=request)
    if status != 0:
        quenbyconf.fail_with_errors(module, status, answer)
    return answer


def apply_file_options(module, changed):
    """owner, group and mode as the other file modules apply them."""
    if module.check_mode and not os.path.exists(module.params["path"]):
        return changed
    file_args = module.load_file_common_arguments(module.params)
    return module.set_fs_attributes_if_different(file_args, changed)


def main():
    module = new_module()
    settings = settings_of(module)
    program = quenbyconf.find_program(module)
    answer = apply(module, program, request_of(module, settings))
    for line in quenbyconf.entry_lines(answer, "warnings"):
        module.warn(line)
    result = dict(
        changed=apply_file_options(module, bool(answer.get("changed"))),
        values=answer.get("values") or {},
        latin1=answer.get("latin1") or [],
    )
    if answer.get("backup_file"):
        result["backup_file"] = answer["backup_file"]
    if module._diff and answer.get("diff"):
        result["diff"] = dict(answer["diff"], before_header=module.params["path"], after_header=module.params["path"])
    module.exit_json(**result)


if __name__ == "__main__":
    main()
