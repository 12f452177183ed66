#!/usr/bin/env python3
"""Reads the editor's window over AT-SPI from outside its process, as a screen
reader does, and fails unless every field, check box, radio button, button and
page tab has a name, and the page tab list shows the shown pages with exactly
one selected.

Usage: atspi_names.py EDITOR TITLE   (starts its own X server and D-Bus session bus;
exits 77, "skipped", when it cannot or when Python has no AT-SPI)
"""
import os
import shutil
import subprocess
import sys
import time

SKIP = 77
PRIVATE = "QE_ATSPI_PRIVATE_SESSION"
PAGES = ["Email ID", "Triggers", "Display", "Miscellaneous", "Buffers", "Network",
         "Proxy Server", "Keyserver", "RC5", "OGR", "Processor Usage", "Logging",
         "Mail Logging"]


def run_in_private_session():
    """Runs this script again on an X server and a session bus of its own, so that
    neither a desktop nor a screen reader of the person running it is touched."""
    tools = [shutil.which("dbus-run-session"), shutil.which("Xvfb")]
    if None in tools:
        print("skipped: needs dbus-run-session and Xvfb")
        return SKIP
    on_x = os.path.join(os.path.dirname(os.path.abspath(__file__)), "on_virtual_x.sh")
    command = [tools[0], "--", "bash", on_x, sys.executable] + sys.argv
    result = subprocess.run(command, env=dict(os.environ, **{PRIVATE: "1"}))
    if result.returncode not in (0, 1, SKIP):
        print(f"skipped: no private X server and session bus ({result.returncode})")
        return SKIP
    return result.returncode


def find_frame(pyatspi, deadline):
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for frame in app:
                if frame is not None and frame.name == sys.argv[2]:
                    return frame
        time.sleep(0.2)
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def reader_name(pyatspi, node):
    """The name, or for a combo box the name of the label it is labelled by."""
    if node.getRole() == pyatspi.ROLE_COMBO_BOX:
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                return relation.getTarget(0).name
    return node.name


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    if not os.environ.get(PRIVATE):
        return run_in_private_session()
    try:
        import pyatspi
    except ImportError:
        print("skipped: python3-pyatspi is not installed")
        return SKIP

    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    editor = subprocess.Popen([sys.argv[1]], env=env)
    try:
        frame = find_frame(pyatspi, time.time() + 20)
        if frame is None:
            print("the editor's window did not appear over AT-SPI")
            return 1
        roles = {pyatspi.ROLE_TEXT: "text", pyatspi.ROLE_PASSWORD_TEXT: "password",
                 pyatspi.ROLE_SPIN_BUTTON: "spin", pyatspi.ROLE_CHECK_BOX: "check",
                 pyatspi.ROLE_RADIO_BUTTON: "radio", pyatspi.ROLE_COMBO_BOX: "choice",
                 pyatspi.ROLE_PUSH_BUTTON: "button", pyatspi.ROLE_PAGE_TAB: "tab"}
        unnamed, seen, tabs = [], 0, []
        for node in walk(frame):
            role = node.getRole()
            if role == pyatspi.ROLE_PAGE_TAB_LIST:
                tabs = [(t.name, t.getState().contains(pyatspi.STATE_SELECTED)) for t in node]
            if role not in roles:
                continue
            # The line edit inside a spin box is the spin box's own part; a memo
            # that takes no focus is read as its text.
            if role == pyatspi.ROLE_TEXT and (
                    node.parent.getRole() == pyatspi.ROLE_SPIN_BUTTON
                    or not node.getState().contains(pyatspi.STATE_FOCUSABLE)):
                continue
            seen += 1
            name = reader_name(pyatspi, node)
            print(f"{roles[role]:8} {name!r}")
            if not name.strip():
                unnamed.append(f"{roles[role]} in {node.parent.name or node.parent.getRoleName()}")
        failures = [f"unnamed: {u}" for u in unnamed]
        if [name for name, _ in tabs] != PAGES:
            failures.append(f"page tabs: {tabs}")
        if [name for name, selected in tabs if selected] != ["Email ID"]:
            failures.append(f"selected tab: {tabs}")
        if seen < 80:
            failures.append(f"only {seen} controls seen")
        for failure in failures:
            print("FAIL:", failure)
        return 1 if failures else 0
    finally:
        editor.terminate()
        editor.wait(10)


if __name__ == "__main__":
    sys.exit(main())
